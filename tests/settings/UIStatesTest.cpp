#include "settings/UIStates.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

struct StepCase {
    const char* name;
    qint64 start;
    void (UIStates::*step)();
    qint64 (UIStates::*read)() const;
    void (UIStates::*signal)();
    qint64 expected;
    int notifications;
};

class UIStatesSteps : public ::testing::TestWithParam<StepCase> { };

TEST_P(UIStatesSteps, StayWithinTwoToEightAndNotifyOnlyOnChange)
{
    UIStates states;
    states.setTileGridRowCount(GetParam().start);
    states.setTileGridColumnCount(GetParam().start);
    QSignalSpy spy(&states, GetParam().signal);
    (states.*GetParam().step)();
    EXPECT_EQ((states.*GetParam().read)(), GetParam().expected);
    EXPECT_EQ(spy.count(), GetParam().notifications);
}

INSTANTIATE_TEST_SUITE_P(UIStates, UIStatesSteps,
    ::testing::Values(StepCase { "rowUpAtEight", 8, &UIStates::incrementTileGridRowCount, &UIStates::tileGridRowCount,
                          &UIStates::tileGridRowCountChanged, 8, 0 },
        StepCase { "rowDownAtTwo", 2, &UIStates::decrementTileGridRowCount, &UIStates::tileGridRowCount,
            &UIStates::tileGridRowCountChanged, 2, 0 },
        StepCase { "columnDown", 5, &UIStates::decrementTileGridColumnCount, &UIStates::tileGridColumnCount,
            &UIStates::tileGridColumnCountChanged, 4, 1 },
        StepCase { "columnUpAtEight", 8, &UIStates::incrementTileGridColumnCount, &UIStates::tileGridColumnCount,
            &UIStates::tileGridColumnCountChanged, 8, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
