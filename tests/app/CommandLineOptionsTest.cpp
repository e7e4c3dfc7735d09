#include "app/CommandLineOptions.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

struct OptionsCase {
    const char* name;
    QStringList arguments;
    CommandLineOptions::Action action;
};

class CommandLine : public ::testing::TestWithParam<OptionsCase> { };

TEST_P(CommandLine, ChoosesWhatThisStartDoes)
{
    const CommandLineOptions options = CommandLineOptions::parse(GetParam().arguments);
    EXPECT_EQ(options.action, GetParam().action);
    EXPECT_EQ(options.error.isEmpty(), options.action != CommandLineOptions::Action::invalid);
}

using A = CommandLineOptions::Action;

INSTANTIATE_TEST_SUITE_P(CommandLineOptions, CommandLine,
    ::testing::Values(OptionsCase { "none", {}, A::run }, OptionsCase { "toggle", { "--toggle" }, A::toggle },
        OptionsCase { "help", { "--help" }, A::help }, OptionsCase { "shortHelp", { "-h" }, A::help },
        OptionsCase { "version", { "--version" }, A::version },
        OptionsCase { "helpWinsOverToggle", { "--toggle", "--help" }, A::help },
        OptionsCase { "versionWinsOverToggle", { "--version", "--toggle" }, A::version },
        OptionsCase { "unknown", { "--tile" }, A::invalid },
        OptionsCase { "unknownAfterHelp", { "--help", "extra" }, A::invalid }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
