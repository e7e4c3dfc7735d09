#include "placement/WindowPlacementService.h"
#include "platform/sim/SimDesktop.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

const WindowPlacementRegion topLeftOf2x2 { 2, 2, { 0, 0 }, { 0, 0 } };
const WindowPlacementRegion bottomRightOf2x2 { 2, 2, { 1, 1 }, { 1, 1 } };
// Below the 1440 × 900 primary, whose visible frame ends 25 points below its top.
const Screen screenBelow { 2, Rect(200, -1080, 1920, 1080), Rect(200, -1080, 1920, 1040), QStringLiteral("below") };

// One 1440 × 900 primary screen with a 25-point bar at the top, and a terminal with a window.
class WindowPlacementServiceTest : public ::testing::Test {
protected:
    WindowPlacementServiceTest()
        : m_service(m_desktop.platform().accessibility, m_desktop.platform().screens, m_desktop.platform().workspace,
              m_desktop.platform().logSink)
    {
        m_pid = m_desktop.addApplication(QStringLiteral("Terminal"));
        m_target = m_desktop.application(m_pid);
        m_screen = m_desktop.screens().first();
    }

    int addWindow(SimWindowSpec spec = {}) { return m_windowID = m_desktop.addWindow(m_pid, spec); }
    bool place(const WindowPlacementRegion& region) { return m_service.placeFocusedWindow(m_target, m_screen, region); }
    QStringList logLines() { return m_desktop.log().messages(QStringLiteral("WindowPlacementController")); }

    SimDesktop m_desktop;
    WindowPlacementService m_service;
    pid_t m_pid = 0;
    int m_windowID = 0;
    std::optional<RunningApplication> m_target;
    Screen m_screen;
};

struct PlacedCase {
    const char* name;
    SimWindowSpec spec;
    bool onScreenBelow;
    WindowPlacementRegion region;
    Rect expectedFrame; // accessibility space: y down from the primary's top
};

class WindowPlacementPlaced : public WindowPlacementServiceTest, public ::testing::WithParamInterface<PlacedCase> { };

TEST_P(WindowPlacementPlaced, WindowEndsOnTheBlockOrKeepsItsOwnSizeInsideTheVisibleFrame)
{
    const PlacedCase& c = GetParam();
    addWindow(c.spec);
    if (c.onScreenBelow) {
        m_desktop.setScreens({ m_screen, screenBelow });
        m_screen = screenBelow;
    }
    EXPECT_TRUE(place(c.region));
    EXPECT_EQ(m_desktop.windowFrame(m_windowID), c.expectedFrame);
    EXPECT_TRUE(logLines().isEmpty()) << qPrintable(logLines().join(u'\n'));
    EXPECT_FALSE(m_service.failure());
}

INSTANTIATE_TEST_SUITE_P(WindowPlacementService, WindowPlacementPlaced,
    ::testing::Values(
        // The block's top edge is at y = 875 in the window-system space: 25 points below the top.
        PlacedCase { "topLeftOf2x2", {}, false, topLeftOf2x2, Rect(0, 25, 720, 437.5) },
        // The flip is about the primary's top (900), whichever screen the window goes to.
        PlacedCase { "screenBelowThePrimary", {}, true, bottomRightOf2x2, Rect(1160, 1460, 960, 520) },
        // 1000 points wide on a 720-point block at the right edge: shifted left to end at 1440.
        PlacedCase { "minimumWidthAtTheRightEdge", SimWindowSpec { .minimumSize = { 1000, 0 } }, false, bottomRightOf2x2,
            Rect(440, 462.5, 1000, 437.5) },
        // Larger than the visible frame both ways: left edge and bottom edge on the visible frame's.
        PlacedCase { "largerThanTheVisibleFrame", SimWindowSpec { .minimumSize = { 2000, 1200 } }, false, topLeftOf2x2,
            Rect(0, -300, 2000, 1200) },
        // Size increments round down: the window stays where it was put, a little smaller.
        PlacedCase { "sizeIncrementsRoundDown", SimWindowSpec { .sizeIncrement = { 7, 13 }, .baseSize = { 4, 4 } }, false,
            topLeftOf2x2, Rect(0, 25, 718, 433) }),
    [](const auto& info) { return std::string(info.param.name); });

SimFault fault(const char* operation, const char* attribute = "", AXError error = AXError::CannotComplete, int skip = 0,
    int count = -1)
{
    return SimFault { QString::fromLatin1(operation), QString::fromLatin1(attribute), qint32(error), skip, count };
}

// What stands in the way of a placement besides the injected faults.
enum class Obstacle { None, NoWindow, NoTarget, OwnProcess, NoScreens };

using Kind = PlacementFailure::Kind;

struct FailureCase {
    const char* name;
    Kind kind;
    // Logged, and the failure's messages.
    QStringList expectedLog;
    Obstacle obstacle = Obstacle::None;
    QList<SimFault> faults = {};
    const char* overriddenAttribute = nullptr; // a read of it returns `value`
    AXObjectRef value = nullptr;
    SimWindowSpec spec = {};
    bool windowMoved = false; // the failure came after the frame writes
};

class WindowPlacementFailures : public WindowPlacementServiceTest,
                                public ::testing::WithParamInterface<FailureCase> { };

// One case per message: each failure answers false, logs its cause and leaves the window where
// it was unless the failure came after the frame writes.
TEST_P(WindowPlacementFailures, ReportFalseWithTheirCause)
{
    const FailureCase& c = GetParam();
    if (c.obstacle != Obstacle::NoWindow)
        addWindow(c.spec);
    if (c.obstacle == Obstacle::NoTarget)
        m_target = std::nullopt;
    if (c.obstacle == Obstacle::OwnProcess)
        m_desktop.setCurrentProcessIdentifier(m_pid);
    if (c.obstacle == Obstacle::NoScreens)
        m_desktop.setScreens({});
    for (const SimFault& f : c.faults)
        m_desktop.injectFault(f);
    if (c.overriddenAttribute)
        m_desktop.overrideAttributeValue(QString::fromLatin1(c.overriddenAttribute), c.value);

    EXPECT_FALSE(place(bottomRightOf2x2));
    EXPECT_EQ(logLines(), c.expectedLog);
    ASSERT_TRUE(m_service.failure());
    EXPECT_EQ(m_service.failure()->kind, c.kind);
    EXPECT_EQ(m_service.failure()->messages, c.expectedLog);
    if (m_windowID && !c.windowMoved) {
        EXPECT_EQ(m_desktop.windowFrame(m_windowID), SimWindowSpec().frame);
    }
}

const QString cannotComplete = QStringLiteral("kAXErrorCannotComplete (-25204)");
const QString readBackFailed = QStringLiteral("Unable to read adjusted window frame");
// Wider than its block at the right edge: the position is adjusted after the frame writes.
const SimWindowSpec wide { .minimumSize = { 1000, 0 } };

INSTANTIATE_TEST_SUITE_P(WindowPlacementService, WindowPlacementFailures,
    ::testing::Values(FailureCase { .name = "noTarget", .kind = Kind::NoTargetApplication,
                          .expectedLog = { "No target application is available" },
                          .obstacle = Obstacle::NoTarget },
        FailureCase { .name = "ownProcess", .kind = Kind::OwnWindow,
            .expectedLog = { "Refusing to move Gridlume's own window" },
            .obstacle = Obstacle::OwnProcess },
        FailureCase { .name = "screensGone", .kind = Kind::NoScreen,
            .expectedLog = { "No screen is connected to place the window on" },
            .obstacle = Obstacle::NoScreens },
        FailureCase { .name = "noWindow", .kind = Kind::NoFocusedWindow,
            .expectedLog
            = { "Unable to read focused window attribute: kAXErrorNoValue (-25212)", "No focused window is available" },
            .obstacle = Obstacle::NoWindow },
        FailureCase { .name = "focusedWindowOfAnotherType", .kind = Kind::NoFocusedWindow,
            .expectedLog = { "Focused window attribute is not an AX window element", "No focused window is available" },
            .overriddenAttribute = "AXFocusedWindow",
            .value = std::make_shared<AXOtherValue>() },
        FailureCase { .name = "valueNotCreatable", .kind = Kind::ValuesNotCreated,
            .expectedLog = { "Unable to create accessibility frame values" },
            .faults = { fault("createSizeValue") } },
        // The three writes are reported in their order: position, first size, second size.
        FailureCase { .name = "secondSizeWriteFails", .kind = Kind::FrameNotSet,
            .expectedLog = { QStringLiteral("Unable to set window frame. position: %2, size1: %2, size2: %1")
                                 .arg(cannotComplete, "kAXErrorSuccess (0)") },
            .faults = { fault("setAttributeValue", "AXSize", AXError::CannotComplete, 1, 1) },
            .windowMoved = true },
        FailureCase { .name = "positionUnreadable", .kind = Kind::FrameNotRead,
            .expectedLog = { QStringLiteral("Unable to read point attribute: %1").arg(cannotComplete), readBackFailed },
            .faults = { fault("copyAttributeValue", "AXPosition") },
            .windowMoved = true },
        FailureCase { .name = "sizeUnreadable", .kind = Kind::FrameNotRead,
            .expectedLog = { QStringLiteral("Unable to read size attribute: %1").arg(cannotComplete), readBackFailed },
            .faults = { fault("copyAttributeValue", "AXSize") },
            .windowMoved = true },
        FailureCase { .name = "adjustedPositionNotCreatable", .kind = Kind::ValuesNotCreated,
            .expectedLog = { "Unable to create adjusted accessibility position" },
            .faults = { fault("createPointValue", "", AXError::Failure, 1) },
            .spec = wide,
            .windowMoved = true },
        FailureCase { .name = "adjustedPositionWriteFails", .kind = Kind::FrameNotSet,
            .expectedLog = { "Unable to adjust window position: kAXErrorInvalidUIElement (-25202)" },
            .faults = { fault("setAttributeValue", "AXPosition", AXError::InvalidUIElement, 1) },
            .spec = wide,
            .windowMoved = true }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
