#include "KWinPlatform.h"

#include "KWinGlobalAccel.h"
#include "KWinGlobalKeyMonitor.h"
#include "KWinKeyboardGrabber.h"
#include "KWinScreenProvider.h"
#include "KWinScriptChannel.h"
#include "KWinShortcutGrabber.h"
#include "KWinTrust.h"
#include "KWinWindowMover.h"
#include "KWinWorkspace.h"
#include "platform/HotKeyAdapter.h"
#include "platform/WindowMoverAdapter.h"

namespace gridlume {

bool KWinPlatform::isKWinWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && KWinScriptChannel::isKWinAvailable();
}

std::unique_ptr<KWinPlatform> KWinPlatform::create(UserDefaults& userDefaults, LogSink& logSink,
    PanelWindowTraits& panelWindowTraits, KeyEventTranslator& keyEventTranslator, QString* errorMessage)
{
    std::unique_ptr<KWinScriptChannel> channel = KWinScriptChannel::open(logSink, errorMessage);
    if (!channel)
        return nullptr;
    return std::unique_ptr<KWinPlatform>(
        new KWinPlatform(std::move(channel), userDefaults, logSink, panelWindowTraits, keyEventTranslator));
}

KWinPlatform::KWinPlatform(std::unique_ptr<KWinScriptChannel> channel, UserDefaults& userDefaults, LogSink& logSink,
    PanelWindowTraits& panelWindowTraits, KeyEventTranslator& keyEventTranslator)
    : m_channel(std::move(channel))
{
    m_screens = std::make_unique<KWinScreenProvider>(*m_channel);
    m_windowMover = std::make_unique<KWinWindowMover>(*m_channel, *m_screens, logSink);
    m_accessibility = std::make_unique<WindowMoverAdapter>(*m_windowMover, logSink, QStringLiteral("KWin"));
    m_trust = std::make_unique<KWinTrust>();
    m_workspace = std::make_unique<KWinWorkspace>(*m_channel);
    m_globalAccel = std::make_unique<KWinGlobalAccel>(logSink);
    m_shortcutGrabber = std::make_unique<KWinShortcutGrabber>(*m_globalAccel, logSink);
    m_hotKeys = std::make_unique<HotKeyAdapter>(*m_shortcutGrabber, logSink, QStringLiteral("KWin"));
    m_globalKeyMonitor = std::make_unique<KWinGlobalKeyMonitor>(*m_globalAccel);
    m_keyboardGrabber = std::make_unique<KWinKeyboardGrabber>(logSink);
    m_urlOpener = std::make_unique<DesktopUrlOpener>();
    m_platform.reset(
        new Platform { *m_screens, *m_accessibility, *m_trust, *m_workspace, *m_hotKeys, *m_globalKeyMonitor,
            userDefaults, logSink, keyEventTranslator, *m_urlOpener, panelWindowTraits, *m_keyboardGrabber });
}

// Members go in reverse order: the shortcuts and everything that asks the script before the
// script's channel.
KWinPlatform::~KWinPlatform() = default;

} // namespace gridlume
