#include "hotkeys/HotKeyService.h"
#include "platform/sim/SimDesktop.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

const KeyboardShortcut controlOptionSpace { 49, controlKey | optionKey };
const KeyboardShortcut commandK { 40, cmdKey };

class HotKeyServiceTest : public ::testing::Test {
protected:
    HotKeyServiceTest()
        : m_service(std::make_unique<HotKeyService>(m_desktop.platform().hotKeys, m_desktop.platform().logSink))
    {
        m_service->setHotKeyHandler(tilingPanelHotKeyID, [this] { ++m_presses; });
    }

    // Types the shortcut and lets the event loop deliver it; true when it reached a hot key.
    bool press(const KeyboardShortcut& shortcut)
    {
        const bool matched = m_desktop.pressHotKey(shortcut.keyCode, shortcut.modifiers);
        SimDesktop::processEvents();
        return matched;
    }

    QStringList log() { return m_desktop.log().messages(QStringLiteral("HotKeyService")); }

    SimDesktop m_desktop;
    std::unique_ptr<HotKeyService> m_service;
    int m_presses = 0;
};

struct FailureCase {
    const char* name;
    SimFault fault;
    bool registeredFirst;
    QStringList expectedLog;
    bool stillRegistered;
};

class HotKeyServiceFailures : public HotKeyServiceTest, public ::testing::WithParamInterface<FailureCase> { };

TEST_P(HotKeyServiceFailures, LogTheCauseAndKeepTheRightState)
{
    if (GetParam().registeredFirst) {
        ASSERT_TRUE(m_service->registerOrUpdateHotKey(1, commandK));
    }
    m_desktop.injectFault(GetParam().fault);
    EXPECT_FALSE(m_service->registerOrUpdateHotKey(1, controlOptionSpace));
    EXPECT_EQ(log(), GetParam().expectedLog);
    EXPECT_EQ(m_service->isRegistered(1), GetParam().stillRegistered);
    EXPECT_EQ(press(commandK), GetParam().stillRegistered);
}

INSTANTIATE_TEST_SUITE_P(HotKeyService, HotKeyServiceFailures,
    ::testing::Values(
        FailureCase { "handlerNotInstallable", { "installEventHandler", "", -108 }, false,
            { "Failed to install hot key event handler, status=-108",
                "registerOrUpdateHotKey failed\uFF1AFailed to install event handler: id=1" },
            false },
        FailureCase { "previousNotReleased", { "unregisterEventHotKey", "", -9879 }, true,
            { "unregisterHotKey failed\uFF1Ahotkey: id=1, status=-9879",
                "registerOrUpdateHotKey failed\uFF1AFailed to unregister previous hotkey: id=1" },
            true },
        // Also what a shortcut another program holds gets.
        FailureCase { "registrationRefused", { "registerEventHotKey", "", -9878 }, true,
            { "registerOrUpdateHotKey failed\uFF1AFailed to register hot key: id=1, keyCode=49, modifiers=6144, "
              "status=-9878" },
            false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotKeyServiceTest, HandlerInstallIsRetriedAfterAFailure)
{
    m_desktop.injectFault({ QStringLiteral("installEventHandler"), {}, -108, 0, 1 });
    EXPECT_FALSE(m_service->registerOrUpdateHotKey(1, commandK));
    EXPECT_TRUE(m_service->registerOrUpdateHotKey(1, commandK));
    EXPECT_TRUE(press(commandK));
    EXPECT_EQ(m_desktop.installedEventHandlerCount(), 1);
}

TEST_F(HotKeyServiceTest, UnregisterKeepsTheHandlerAndTouchesNothingWhenIdle)
{
    EXPECT_TRUE(m_service->unregisterHotKey(1));
    EXPECT_TRUE(m_desktop.calls().isEmpty());

    ASSERT_TRUE(m_service->registerOrUpdateHotKey(1, commandK));
    EXPECT_TRUE(m_service->unregisterHotKey(1));
    EXPECT_FALSE(press(commandK));
    ASSERT_TRUE(m_service->registerOrUpdateHotKey(1, commandK));
    EXPECT_TRUE(press(commandK));
    EXPECT_EQ(m_presses, 1);

    m_desktop.injectFault({ QStringLiteral("unregisterEventHotKey"), {}, -9879, 0, 1 });
    EXPECT_FALSE(m_service->unregisterHotKey(1));
    EXPECT_TRUE(press(commandK));
    EXPECT_EQ(m_presses, 2);
}

struct EventCase {
    const char* name;
    HotKeyEvent event;
    std::optional<SimFault> fault;
    QString expectedLog;
};

class HotKeyEvents : public HotKeyServiceTest, public ::testing::WithParamInterface<EventCase> { };

TEST_P(HotKeyEvents, StrayPressesAreLoggedAndRunNothing)
{
    ASSERT_TRUE(m_service->registerOrUpdateHotKey(1, commandK));
    // ID 2 has a hot key but never had a handler.
    ASSERT_TRUE(m_service->registerOrUpdateHotKey(2, KeyboardShortcut { 40, cmdKey | shiftKey }));
    if (GetParam().fault)
        m_desktop.injectFault(*GetParam().fault);
    m_desktop.deliverHotKeyEvent(GetParam().event);
    SimDesktop::processEvents();
    EXPECT_EQ(m_presses, 0);
    EXPECT_EQ(log(), QStringList({ GetParam().expectedLog }));
}

INSTANTIATE_TEST_SUITE_P(HotKeyService, HotKeyEvents,
    ::testing::Values(
        EventCase { "foreignSignature", { kEventClassKeyboard, kEventHotKeyPressed, { fourCharCode("ABCD"), 1 } },
            std::nullopt, "Received hot key with unexpected signature: 1094861636" },
        EventCase { "noHandler", { kEventClassKeyboard, kEventHotKeyPressed, { HotKeyService::signature, 2 } },
            std::nullopt, "No handler found for hot key id=2" },
        EventCase { "unreadableID", { kEventClassKeyboard, kEventHotKeyPressed, { HotKeyService::signature, 1 } },
            SimFault { "getEventHotKeyID", "", -9870 }, "GetEventParameter failed, status=-9870" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotKeyServiceTest, DestroyedServiceReleasesItsHotKeysAndHandler)
{
    ASSERT_TRUE(m_service->registerOrUpdateHotKey(1, commandK));
    m_desktop.pressHotKey(commandK.keyCode, commandK.modifiers); // queued, not yet delivered
    m_service.reset();
    SimDesktop::processEvents();
    EXPECT_EQ(m_presses, 0);
    EXPECT_EQ(m_desktop.registeredHotKeyCount(), 0);
    EXPECT_EQ(m_desktop.installedEventHandlerCount(), 0);
}

TEST_F(HotKeyServiceTest, HandlerMayReplaceItselfWhileRunning)
{
    ASSERT_TRUE(m_service->registerOrUpdateHotKey(1, commandK));
    m_service->setHotKeyHandler(1, [this] {
        m_service->setHotKeyHandler(1, [this] { m_presses += 10; });
        ++m_presses;
    });
    press(commandK);
    press(commandK);
    EXPECT_EQ(m_presses, 11);
}

} // namespace
