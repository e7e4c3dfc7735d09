#include "hotkeys/HotKeyService.h"
#include "platform/sim/SimDesktop.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

const KeyboardShortcut commandK { 40, cmdKey };

class HotKeyServiceTest : public ::testing::Test {
protected:
    HotKeyServiceTest()
        : m_service(std::make_unique<HotKeyService>(m_desktop.platform().hotKeys, m_desktop.platform().logSink))
    {
        m_service->setHotKeyHandler(tilingPanelHotKeyID, [this] { ++m_presses; });
    }

    bool press(const KeyboardShortcut& shortcut) { return m_desktop.pressHotKey(shortcut.keyCode, shortcut.modifiers); }

    SimDesktop m_desktop;
    std::unique_ptr<HotKeyService> m_service;
    int m_presses = 0;
};

// Registering, releasing (also when idle) and registering again under a kept handler are the
// settings store's tests' (clearing the shortcut), as is a shortcut another program holds: on the
// X11 and KWin backends, installing a handler and releasing a hot key never fail.
TEST_F(HotKeyServiceTest, DestroyedServiceReleasesItsHotKeysAndHandler)
{
    ASSERT_TRUE(m_service->registerOrUpdateHotKey(1, commandK));
    m_service.reset();
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
