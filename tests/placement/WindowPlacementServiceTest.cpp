#include "placement/WindowPlacementService.h"
#include "platform/sim/SimDesktop.h"

#include <gtest/gtest.h>

#include <functional>

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

struct EnhancedCase {
    const char* name;
    std::optional<bool> flag;
    bool framesFail;
    bool flagUnreadable;
    QStringList expectedFlagWrites;
};

class WindowPlacementEnhancedUserInterface : public WindowPlacementServiceTest,
                                             public ::testing::WithParamInterface<EnhancedCase> { };

// Applications with the enhanced user interface on animate or refuse frame changes: it is off
// during every frame write and restored on every path, and never written when it was not on.
TEST_P(WindowPlacementEnhancedUserInterface, IsOffDuringTheFrameWritesAndRestoredAfter)
{
    const EnhancedCase& c = GetParam();
    SimWindowSpec spec;
    spec.refusesFrames = c.framesFail;
    addWindow(spec);
    m_desktop.setEnhancedUserInterface(m_pid, c.flag);
    if (c.flagUnreadable)
        m_desktop.injectFault({ QStringLiteral("copyAttributeValue"), kAXEnhancedUserInterfaceAttribute });
    EXPECT_EQ(place(topLeftOf2x2), !c.framesFail);

    const QStringList flagWritesBeforeFrames = c.expectedFlagWrites.mid(0, 1);
    QStringList flagWrites;
    int frameWrites = 0;
    for (const SimCall& call : m_desktop.calls()) {
        if (call.operation != QLatin1String("setAttributeValue"))
            continue;
        if (call.attribute == kAXEnhancedUserInterfaceAttribute) {
            flagWrites.append(call.detail);
        } else {
            ++frameWrites;
            EXPECT_EQ(flagWrites, flagWritesBeforeFrames) << "frame write " << frameWrites << " with the flag on";
        }
    }
    EXPECT_GT(frameWrites, 0);
    EXPECT_EQ(flagWrites, c.expectedFlagWrites);
    EXPECT_EQ(m_desktop.enhancedUserInterface(m_pid), c.flag);
}

INSTANTIATE_TEST_SUITE_P(WindowPlacementService, WindowPlacementEnhancedUserInterface,
    ::testing::Values(EnhancedCase { "onAndPlaced", true, false, false, { "false", "true" } },
        EnhancedCase { "onAndFramesRefused", true, true, false, { "false", "true" } },
        EnhancedCase { "off", false, false, false, {} }, EnhancedCase { "unreadable", true, false, true, {} }),
    [](const auto& info) { return std::string(info.param.name); });

SimFault fault(const char* operation, const char* attribute = "", AXError error = AXError::CannotComplete, int skip = 0,
    int count = -1)
{
    return SimFault { QString::fromLatin1(operation), QString::fromLatin1(attribute), qint32(error), skip, count };
}

using Arrange = std::function<void(WindowPlacementServiceTest&, SimDesktop&)>;

struct FailureCase {
    const char* name;
    Arrange arrange;
    QStringList expectedLog;
    bool windowMoved = false; // the failure came after the frame writes
};

class WindowPlacementFailures : public WindowPlacementServiceTest, public ::testing::WithParamInterface<FailureCase> {
public:
    using WindowPlacementServiceTest::addWindow;
    using WindowPlacementServiceTest::m_screen;
    using WindowPlacementServiceTest::m_target;
};

// One case per message: each failure answers false, logs its cause and leaves the window where
// it was unless the failure came after the frame writes.
TEST_P(WindowPlacementFailures, ReportFalseWithTheirCause)
{
    GetParam().arrange(*this, m_desktop);
    EXPECT_FALSE(place(bottomRightOf2x2));
    EXPECT_EQ(logLines(), GetParam().expectedLog);
    if (m_windowID && !GetParam().windowMoved) {
        EXPECT_EQ(m_desktop.windowFrame(m_windowID), SimWindowSpec().frame);
    }
}

Arrange windowWith(std::initializer_list<SimFault> faults, SimWindowSpec spec = {})
{
    return [faults = QList<SimFault>(faults), spec](WindowPlacementServiceTest& test, SimDesktop& desktop) {
        static_cast<WindowPlacementFailures&>(test).addWindow(spec);
        for (const SimFault& f : faults)
            desktop.injectFault(f);
    };
}

Arrange windowWithOverride(const char* attribute, AXObjectRef value)
{
    return [attribute, value](WindowPlacementServiceTest& test, SimDesktop& desktop) {
        static_cast<WindowPlacementFailures&>(test).addWindow();
        desktop.overrideAttributeValue(QString::fromLatin1(attribute), value);
    };
}

const QString cannotComplete = QStringLiteral("kAXErrorCannotComplete (-25204)");
const QString success = QStringLiteral("kAXErrorSuccess (0)");
const QString readBackFailed = QStringLiteral("Unable to read adjusted window frame");

INSTANTIATE_TEST_SUITE_P(WindowPlacementService, WindowPlacementFailures,
    ::testing::Values(
        FailureCase { "noTarget",
            [](WindowPlacementServiceTest& test, SimDesktop&) {
                static_cast<WindowPlacementFailures&>(test).m_target = std::nullopt;
            },
            { "No target application is available" } },
        FailureCase { "ownProcess",
            [](WindowPlacementServiceTest& test, SimDesktop& desktop) {
                static_cast<WindowPlacementFailures&>(test).addWindow();
                desktop.setCurrentProcessIdentifier(static_cast<WindowPlacementFailures&>(test).m_target->processIdentifier());
            },
            { "Refusing to move Gridlume's own window" } },
        FailureCase { "screensGone",
            [](WindowPlacementServiceTest& test, SimDesktop& desktop) {
                static_cast<WindowPlacementFailures&>(test).addWindow();
                desktop.setScreens({});
            },
            { "No screen is connected to place the window on" } },
        FailureCase { "noWindow", [](WindowPlacementServiceTest&, SimDesktop&) {},
            { "Unable to read focused window attribute: kAXErrorNoValue (-25212)", "No focused window is available" } },
        FailureCase { "focusedWindowOfAnotherType",
            windowWithOverride("AXFocusedWindow", std::make_shared<AXOtherValue>()),
            { "Focused window attribute is not an AX window element", "No focused window is available" } },
        FailureCase { "valueNotCreatable", windowWith({ fault("createSizeValue") }),
            { "Unable to create accessibility frame values" } },
        // The three writes are reported in their order: position, first size, second size.
        FailureCase { "secondSizeWriteFails",
            windowWith({ fault("setAttributeValue", "AXSize", AXError::CannotComplete, 1, 1) }),
            { QStringLiteral("Unable to set window frame. position: %2, size1: %2, size2: %1")
                    .arg(cannotComplete, success) }, true },
        FailureCase { "positionUnreadable", windowWith({ fault("copyAttributeValue", "AXPosition") }),
            { QStringLiteral("Unable to read point attribute: %1").arg(cannotComplete), readBackFailed }, true },
        FailureCase { "sizeUnreadable", windowWith({ fault("copyAttributeValue", "AXSize") }),
            { QStringLiteral("Unable to read size attribute: %1").arg(cannotComplete), readBackFailed }, true },
        FailureCase { "positionNotAValue", windowWithOverride("AXPosition", std::make_shared<AXBoolean>(true)),
            { "Point attribute is not an AX value", readBackFailed }, true },
        FailureCase { "positionHoldsASize", windowWithOverride("AXPosition", std::make_shared<AXValue>(Size { 1, 2 })),
            { "Unable to decode point attribute", readBackFailed }, true },
        FailureCase { "sizeNotAValue", windowWithOverride("AXSize", std::make_shared<AXOtherValue>()),
            { "Size attribute is not an AX value", readBackFailed }, true },
        FailureCase { "sizeHoldsAPoint", windowWithOverride("AXSize", std::make_shared<AXValue>(Point { 1, 2 })),
            { "Unable to decode size attribute", readBackFailed }, true },
        FailureCase { "adjustedPositionNotCreatable",
            windowWith({ fault("createPointValue", "", AXError::Failure, 1) }, SimWindowSpec { .minimumSize = { 1000, 0 } }),
            { "Unable to create adjusted accessibility position" }, true },
        FailureCase { "adjustedPositionWriteFails",
            windowWith({ fault("setAttributeValue", "AXPosition", AXError::InvalidUIElement, 1) }, SimWindowSpec { .minimumSize = { 1000, 0 } }),
            { "Unable to adjust window position: kAXErrorInvalidUIElement (-25202)" }, true }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
