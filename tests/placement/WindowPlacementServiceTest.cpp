#include "placement/WindowPlacementService.h"
#include "platform/sim/SimDesktop.h"

#include <gtest/gtest.h>

#include <functional>

using namespace gridlume;

namespace {

const QString category = QStringLiteral("WindowPlacementController");
const WindowPlacementRegion topLeftOf2x2 { 2, 2, { 0, 0 }, { 0, 0 } };
const WindowPlacementRegion bottomRightOf2x2 { 2, 2, { 1, 1 }, { 1, 1 } };

// One 1440 × 900 primary screen with a 25-point bar at the top, and a terminal with a window.
class WindowPlacementServiceTest : public ::testing::Test {
protected:
    WindowPlacementServiceTest()
        : m_platform(m_desktop.platform())
        , m_service(m_platform.accessibility, m_platform.screens, m_platform.workspace, m_platform.logSink)
    {
        m_pid = m_desktop.addApplication(QStringLiteral("Terminal"));
    }

    int addWindow(SimWindowSpec spec = {}) { return m_windowID = m_desktop.addWindow(m_pid, spec); }

    bool place(const WindowPlacementRegion& region)
    {
        return m_service.placeFocusedWindow(m_desktop.application(m_pid), m_desktop.screens().first(), region);
    }

    QStringList frameCalls() const
    {
        QStringList calls = m_desktop.callNames();
        calls.removeIf([](const QString& call) { return call.contains(QLatin1String("EnhancedUserInterface")); });
        return calls;
    }

    QStringList logLines() { return m_desktop.log().messages(category); }

    SimDesktop m_desktop;
    Platform m_platform;
    WindowPlacementService m_service;
    pid_t m_pid = 0;
    int m_windowID = 0;
};

TEST_F(WindowPlacementServiceTest, AcceptedFrameTakesThreeWritesAndOneReadBack)
{
    addWindow();
    EXPECT_TRUE(place(topLeftOf2x2));
    EXPECT_EQ(frameCalls(),
        QStringList({ "copyAttributeValue AXFocusedWindow", "createPointValue", "createSizeValue",
            "setAttributeValue AXSize", "setAttributeValue AXPosition", "setAttributeValue AXSize",
            "copyAttributeValue AXPosition", "copyAttributeValue AXSize" }));
    // The block's top edge is at y = 875 in the window-system space: 25 points below the
    // primary screen's top in accessibility coordinates.
    EXPECT_EQ(m_desktop.windowFrame(m_windowID), Rect(0, 25, 720, 437.5));
    EXPECT_TRUE(logLines().isEmpty());
}

struct ClampCase {
    const char* name;
    SimWindowSpec spec;
    WindowPlacementRegion region;
    Rect expectedFrame; // accessibility space
    bool adjusted;
};

class WindowPlacementClamping : public WindowPlacementServiceTest, public ::testing::WithParamInterface<ClampCase> { };

TEST_P(WindowPlacementClamping, WindowKeepsItsOwnSizeInsideTheVisibleFrame)
{
    addWindow(GetParam().spec);
    EXPECT_TRUE(place(GetParam().region));
    EXPECT_EQ(m_desktop.windowFrame(m_windowID), GetParam().expectedFrame);
    EXPECT_EQ(m_desktop.callNames().count(QStringLiteral("setAttributeValue AXPosition")), GetParam().adjusted ? 2 : 1);
    EXPECT_TRUE(logLines().isEmpty());
}

SimWindowSpec withMinimumSize(double width, double height)
{
    SimWindowSpec spec;
    spec.minimumSize = { width, height };
    return spec;
}

SimWindowSpec withIncrements()
{
    SimWindowSpec spec;
    spec.sizeIncrement = { 7, 13 };
    spec.baseSize = { 4, 4 };
    return spec;
}

INSTANTIATE_TEST_SUITE_P(WindowPlacementService, WindowPlacementClamping,
    ::testing::Values(
        // 1000 points wide on a 720-point block at the right edge: shifted left to end at 1440.
        ClampCase { "minimumWidthAtTheRightEdge", withMinimumSize(1000, 0), bottomRightOf2x2,
            Rect(440, 462.5, 1000, 437.5), true },
        // Larger than the visible frame both ways: left edge and bottom edge on the visible frame's.
        ClampCase { "largerThanTheVisibleFrame", withMinimumSize(2000, 1200), topLeftOf2x2,
            Rect(0, -300, 2000, 1200), true },
        // Size increments round down: the window stays where it was put, a little smaller.
        ClampCase { "sizeIncrementsRoundDown", withIncrements(), topLeftOf2x2, Rect(0, 25, 718, 433), false }),
    [](const auto& info) { return std::string(info.param.name); });

struct EnhancedCase {
    const char* name;
    std::optional<bool> flag;
    bool framesFail;
    QStringList expectedFlagWrites;
};

class WindowPlacementEnhancedUserInterface : public WindowPlacementServiceTest,
                                             public ::testing::WithParamInterface<EnhancedCase> { };

TEST_P(WindowPlacementEnhancedUserInterface, RestoredOnEveryPathAndNeverWrittenWhenOff)
{
    SimWindowSpec spec;
    spec.refusesFrames = GetParam().framesFail;
    addWindow(spec);
    m_desktop.setEnhancedUserInterface(m_pid, GetParam().flag);
    EXPECT_EQ(place(topLeftOf2x2), !GetParam().framesFail);

    // Every frame write comes while the flag is off: after the write that turns it off (when it
    // was on) and before the one that restores it.
    const QStringList flagWritesBeforeFrames = GetParam().expectedFlagWrites.mid(0, 1);
    QStringList flagWrites;
    int frameWrites = 0;
    for (const SimCall& call : m_desktop.calls()) {
        if (call.operation != QLatin1String("setAttributeValue"))
            continue;
        if (call.attribute == kAXEnhancedUserInterfaceAttribute) {
            flagWrites.append(call.detail);
        } else if (call.attribute == kAXSizeAttribute || call.attribute == kAXPositionAttribute) {
            ++frameWrites;
            EXPECT_EQ(flagWrites, flagWritesBeforeFrames) << "frame write " << frameWrites << " with the flag on";
        }
    }
    EXPECT_GT(frameWrites, 0);
    EXPECT_EQ(flagWrites, GetParam().expectedFlagWrites);
    EXPECT_EQ(m_desktop.enhancedUserInterface(m_pid), GetParam().flag);
}

INSTANTIATE_TEST_SUITE_P(WindowPlacementService, WindowPlacementEnhancedUserInterface,
    ::testing::Values(EnhancedCase { "onAndPlaced", true, false, { "false", "true" } },
        EnhancedCase { "onAndFramesRefused", true, true, { "false", "true" } },
        EnhancedCase { "off", false, false, {} }, EnhancedCase { "unsupported", std::nullopt, false, {} },
        EnhancedCase { "offAndFramesRefused", false, true, {} }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowPlacementServiceTest, UnreadableEnhancedUserInterfaceIsNeverWritten)
{
    addWindow();
    m_desktop.setEnhancedUserInterface(m_pid, true);
    m_desktop.injectFault({ QStringLiteral("copyAttributeValue"), kAXEnhancedUserInterfaceAttribute });
    EXPECT_TRUE(place(topLeftOf2x2));
    EXPECT_FALSE(m_desktop.callNames().contains(QStringLiteral("setAttributeValue AXEnhancedUserInterface")));
}

struct FailureCase {
    const char* name;
    std::function<void(WindowPlacementServiceTest&, SimDesktop&)> arrange;
    QStringList expectedLog;
    // Calls that must not have happened.
    QStringList forbiddenCalls;
};

class WindowPlacementFailures : public WindowPlacementServiceTest, public ::testing::WithParamInterface<FailureCase> {
public:
    using WindowPlacementServiceTest::addWindow;
};

TEST_P(WindowPlacementFailures, ReportFalseWithTheirCause)
{
    GetParam().arrange(*this, m_desktop);
    EXPECT_FALSE(place(m_windowID ? bottomRightOf2x2 : topLeftOf2x2));
    EXPECT_EQ(logLines(), GetParam().expectedLog);
    for (const QString& call : GetParam().forbiddenCalls)
        EXPECT_FALSE(m_desktop.callNames().contains(call)) << qPrintable(call);
    // The accessibility error codes print by name and number, never as a bare number.
    EXPECT_FALSE(logLines().join(QLatin1Char('\n')).contains(QLatin1String(": -252")));
}

SimFault fault(const char* operation, const char* attribute = "", AXError error = AXError::CannotComplete, int skip = 0,
    int count = -1)
{
    return SimFault { QString::fromLatin1(operation), QString::fromLatin1(attribute), qint32(error), skip, count };
}

const QString cannotComplete = QStringLiteral("kAXErrorCannotComplete (-25204)");
const QString success = QStringLiteral("kAXErrorSuccess (0)");

std::function<void(WindowPlacementServiceTest&, SimDesktop&)> windowWith(std::initializer_list<SimFault> faults,
    SimWindowSpec spec = {})
{
    return [faults = QList<SimFault>(faults), spec](WindowPlacementServiceTest& test, SimDesktop& desktop) {
        static_cast<WindowPlacementFailures&>(test).addWindow(spec);
        for (const SimFault& f : faults)
            desktop.injectFault(f);
    };
}

std::function<void(WindowPlacementServiceTest&, SimDesktop&)> windowWithOverride(const char* attribute, AXObjectRef value)
{
    return [attribute, value](WindowPlacementServiceTest& test, SimDesktop& desktop) {
        static_cast<WindowPlacementFailures&>(test).addWindow();
        desktop.overrideAttributeValue(QString::fromLatin1(attribute), value);
    };
}

INSTANTIATE_TEST_SUITE_P(WindowPlacementService, WindowPlacementFailures,
    ::testing::Values(
        FailureCase { "focusedWindowUnreadable",
            windowWith({ fault("copyAttributeValue", "AXFocusedWindow", AXError::NoValue) }),
            { "Unable to read focused window attribute: kAXErrorNoValue (-25212)", "No focused window is available" },
            { "setAttributeValue AXSize" } },
        FailureCase { "noWindowAtAll", [](WindowPlacementServiceTest&, SimDesktop&) {},
            { "Unable to read focused window attribute: kAXErrorNoValue (-25212)", "No focused window is available" },
            {} },
        FailureCase { "focusedWindowOfAnotherType",
            windowWithOverride("AXFocusedWindow", std::make_shared<AXOtherValue>()),
            { "Focused window attribute is not an AX window element", "No focused window is available" },
            { "createPointValue" } },
        FailureCase { "focusedWindowNull", windowWithOverride("AXFocusedWindow", nullptr),
            { "Focused window attribute is not an AX window element", "No focused window is available" }, {} },
        FailureCase { "pointValueNotCreatable", windowWith({ fault("createPointValue") }),
            { "Unable to create accessibility frame values" }, { "setAttributeValue AXSize" } },
        FailureCase { "sizeValueNotCreatable", windowWith({ fault("createSizeValue") }),
            { "Unable to create accessibility frame values" }, { "setAttributeValue AXSize" } },
        FailureCase { "positionWriteFails", windowWith({ fault("setAttributeValue", "AXPosition") }),
            { QStringLiteral("Unable to set window frame. position: %1, size1: %2, size2: %2")
                    .arg(cannotComplete, success) },
            { "copyAttributeValue AXPosition" } },
        FailureCase { "firstSizeWriteFails", windowWith({ fault("setAttributeValue", "AXSize", AXError::CannotComplete, 0, 1) }),
            { QStringLiteral("Unable to set window frame. position: %2, size1: %1, size2: %2")
                    .arg(cannotComplete, success) },
            { "copyAttributeValue AXPosition" } },
        FailureCase { "secondSizeWriteFails",
            windowWith({ fault("setAttributeValue", "AXSize", AXError::CannotComplete, 1, 1) }),
            { QStringLiteral("Unable to set window frame. position: %2, size1: %2, size2: %1")
                    .arg(cannotComplete, success) },
            { "copyAttributeValue AXPosition" } },
        FailureCase { "windowRefusesFrames", windowWith({}, SimWindowSpec { {}, {}, {}, {}, true }),
            { QStringLiteral("Unable to set window frame. position: %1, size1: %1, size2: %1").arg(cannotComplete) },
            {} },
        FailureCase { "positionUnreadable", windowWith({ fault("copyAttributeValue", "AXPosition") }),
            { QStringLiteral("Unable to read point attribute: %1").arg(cannotComplete),
                "Unable to read adjusted window frame" },
            { "copyAttributeValue AXSize" } },
        FailureCase { "sizeUnreadable", windowWith({ fault("copyAttributeValue", "AXSize") }),
            { QStringLiteral("Unable to read size attribute: %1").arg(cannotComplete),
                "Unable to read adjusted window frame" },
            {} },
        FailureCase { "positionNull", windowWithOverride("AXPosition", nullptr),
            { QStringLiteral("Unable to read point attribute: %1").arg(success), "Unable to read adjusted window frame" },
            {} },
        FailureCase { "positionNotAValue", windowWithOverride("AXPosition", std::make_shared<AXBoolean>(true)),
            { "Point attribute is not an AX value", "Unable to read adjusted window frame" }, {} },
        FailureCase { "positionHoldsASize", windowWithOverride("AXPosition", std::make_shared<AXValue>(Size { 1, 2 })),
            { "Unable to decode point attribute", "Unable to read adjusted window frame" }, {} },
        FailureCase { "sizeNotAValue", windowWithOverride("AXSize", std::make_shared<AXOtherValue>()),
            { "Size attribute is not an AX value", "Unable to read adjusted window frame" }, {} },
        FailureCase { "sizeHoldsAPoint", windowWithOverride("AXSize", std::make_shared<AXValue>(Point { 1, 2 })),
            { "Unable to decode size attribute", "Unable to read adjusted window frame" }, {} },
        FailureCase { "adjustedPositionNotCreatable",
            windowWith({ fault("createPointValue", "", AXError::Failure, 1) }, withMinimumSize(1000, 0)),
            { "Unable to create adjusted accessibility position" }, {} },
        FailureCase { "adjustedPositionWriteFails",
            windowWith({ fault("setAttributeValue", "AXPosition", AXError::InvalidUIElement, 1) }, withMinimumSize(1000, 0)),
            { "Unable to adjust window position: kAXErrorInvalidUIElement (-25202)" }, {} },
        FailureCase { "windowVanishesBeforeTheWrites",
            [](WindowPlacementServiceTest& test, SimDesktop& desktop) {
                const int id = static_cast<WindowPlacementFailures&>(test).addWindow();
                desktop.setBeforeCallHook([&desktop, id](const SimCall& call) {
                    if (call.operation == QLatin1String("createSizeValue"))
                        desktop.destroyWindow(id);
                });
            },
            { QStringLiteral("Unable to set window frame. position: %1, size1: %1, size2: %1")
                    .arg(QStringLiteral("kAXErrorInvalidUIElement (-25202)")) },
            {} }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowPlacementServiceTest, MissingOrOwnTargetTouchesNoAccessibilityElement)
{
    addWindow();
    EXPECT_FALSE(m_service.placeFocusedWindow(std::nullopt, m_desktop.screens().first(), topLeftOf2x2));
    m_desktop.setCurrentProcessIdentifier(m_pid);
    EXPECT_FALSE(place(topLeftOf2x2));
    EXPECT_EQ(logLines(), QStringList({ "No target application is available", "Refusing to move Gridlume's own window" }));
    EXPECT_TRUE(m_desktop.calls().isEmpty());
}

TEST_F(WindowPlacementServiceTest, ScreensGoneDuringThePlacementFailCleanly)
{
    addWindow();
    const Screen screen = m_desktop.screens().first();
    m_desktop.setScreens({});
    EXPECT_FALSE(m_service.placeFocusedWindow(m_desktop.application(m_pid), screen, topLeftOf2x2));
    EXPECT_EQ(logLines(), QStringList({ "No screen is connected to place the window on" }));
    EXPECT_EQ(m_desktop.windowFrame(m_windowID), SimWindowSpec().frame);
}

TEST_F(WindowPlacementServiceTest, SecondaryScreenBelowThePrimaryUsesThePrimaryForTheFlip)
{
    addWindow();
    const Screen below { 2, Rect(200, -1080, 1920, 1080), Rect(200, -1080, 1920, 1040), QStringLiteral("below") };
    m_desktop.setScreens({ m_desktop.screens().first(), below });
    EXPECT_TRUE(m_service.placeFocusedWindow(m_desktop.application(m_pid), below, bottomRightOf2x2));
    // Bottom-right quarter of the lower screen's visible frame, y measured down from the
    // primary's top (900).
    EXPECT_EQ(m_desktop.windowFrame(m_windowID), Rect(1160, 1460, 960, 520));
}

} // namespace
