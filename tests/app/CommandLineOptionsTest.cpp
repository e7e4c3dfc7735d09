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

struct PlaceCase {
    const char* name;
    QStringList arguments;
    // None: exit status 2 with a usage message.
    std::optional<PlacementRequest> request;
};

class PlaceCommandLine : public ::testing::TestWithParam<PlaceCase> { };

TEST_P(PlaceCommandLine, ReadsGridBlockAndMonitorOrRefusesThem)
{
    const CommandLineOptions options = CommandLineOptions::parse(GetParam().arguments);
    if (!GetParam().request) {
        EXPECT_EQ(options.action, A::invalid);
        EXPECT_FALSE(options.error.isEmpty());
        return;
    }
    EXPECT_EQ(options.action, A::place) << qPrintable(options.error);
    EXPECT_EQ(options.placement, *GetParam().request);
}

PlacementRequest request(WindowPlacementRegion region, QString monitor = QStringLiteral("current"))
{
    return PlacementRequest { region, monitor };
}

INSTANTIATE_TEST_SUITE_P(CommandLineOptions, PlaceCommandLine,
    ::testing::Values(PlaceCase { "blockInEitherOrder", { "place", "3x2", "1,1:0,0", "--monitor", "HDMI-1" },
                          request({ 2, 3, { 0, 0 }, { 1, 1 } }, "HDMI-1") },
        PlaceCase {
            "monitorFirst", { "place", "--monitor=1", "64x1", "63,0" }, request({ 1, 64, { 0, 63 }, { 0, 63 } }, "1") },
        PlaceCase { "tooManyRows", { "place", "2x65", "0,0" }, std::nullopt },
        PlaceCase { "tileOutsideTheGrid", { "place", "2x2", "0,0:2,1" }, std::nullopt },
        PlaceCase { "notABlock", { "place", "2x2", "left" }, std::nullopt },
        PlaceCase { "missingBlock", { "place", "2x2" }, std::nullopt },
        PlaceCase { "monitorWithoutName", { "place", "2x2", "0,0", "--monitor" }, std::nullopt },
        PlaceCase { "oddMonitorName", { "place", "2x2", "0,0", "--monitor", "a b" }, std::nullopt }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
