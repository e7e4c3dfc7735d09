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
    ::testing::Values(StepCase { "rowUp", 2, &UIStates::incrementTileGridRowCount, &UIStates::tileGridRowCount,
                          &UIStates::tileGridRowCountChanged, 3, 1 },
        StepCase { "rowUpAtEight", 8, &UIStates::incrementTileGridRowCount, &UIStates::tileGridRowCount,
            &UIStates::tileGridRowCountChanged, 8, 0 },
        StepCase { "rowDownAtTwo", 2, &UIStates::decrementTileGridRowCount, &UIStates::tileGridRowCount,
            &UIStates::tileGridRowCountChanged, 2, 0 },
        StepCase { "columnDown", 5, &UIStates::decrementTileGridColumnCount, &UIStates::tileGridColumnCount,
            &UIStates::tileGridColumnCountChanged, 4, 1 },
        StepCase { "columnUpAtEight", 8, &UIStates::incrementTileGridColumnCount, &UIStates::tileGridColumnCount,
            &UIStates::tileGridColumnCountChanged, 8, 0 },
        // A count set out of range by the plain setter comes back into range on the next step.
        StepCase { "rowUpFromTwenty", 20, &UIStates::incrementTileGridRowCount, &UIStates::tileGridRowCount,
            &UIStates::tileGridRowCountChanged, 8, 1 },
        StepCase { "columnDownFromZero", 0, &UIStates::decrementTileGridColumnCount, &UIStates::tileGridColumnCount,
            &UIStates::tileGridColumnCountChanged, 2, 1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UIStates, StartsAtTwoByTwoWithNoDrag)
{
    UIStates states;
    EXPECT_EQ(states.tileGridRowCount(), 2);
    EXPECT_EQ(states.tileGridColumnCount(), 2);
    EXPECT_EQ(states.draggingTileGridID(), std::nullopt);
    EXPECT_EQ(states.tileGridCancelDragRequestID(), 0);
}

TEST(UIStates, OnlyTheDraggingGridEndsItsDrag)
{
    UIStates states;
    QSignalSpy spy(&states, &UIStates::draggingTileGridIDChanged);
    states.setDraggingTileGridID(7);
    states.setDraggingTileGridID(7);
    states.endTileGridDrag(8);
    EXPECT_EQ(states.draggingTileGridID(), 7u);
    states.endTileGridDrag(7);
    EXPECT_EQ(states.draggingTileGridID(), std::nullopt);
    EXPECT_EQ(spy.count(), 2);
}

TEST(UIStates, EveryCancelRequestIsSeen)
{
    UIStates states;
    QSignalSpy spy(&states, &UIStates::tileGridCancelDragRequestIDChanged);
    states.requestTileGridDragCancel();
    states.requestTileGridDragCancel();
    EXPECT_EQ(states.tileGridCancelDragRequestID(), 2);
    EXPECT_EQ(spy.count(), 2);
}

} // namespace
