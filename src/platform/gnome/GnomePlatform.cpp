#include "GnomePlatform.h"

#include "GnomeGlobalKeyMonitor.h"
#include "GnomeKeyboardGrabber.h"
#include "GnomeScreenProvider.h"
#include "GnomeShellChannel.h"
#include "GnomeShortcutGrabber.h"
#include "GnomeTrust.h"
#include "GnomeWindowMover.h"
#include "GnomeWorkspace.h"
#include "platform/HotKeyAdapter.h"
#include "platform/WindowMoverAdapter.h"

namespace gridlume {

GnomePlatform::GnomePlatform(UserDefaults& userDefaults, LogSink& logSink, PanelWindowTraits& panelWindowTraits,
    KeyEventTranslator& keyEventTranslator)
    : m_channel(std::make_unique<GnomeShellChannel>(logSink))
{
    m_screens = std::make_unique<GnomeScreenProvider>(*m_channel);
    m_windowMover = std::make_unique<GnomeWindowMover>(*m_channel, *m_screens, logSink);
    m_accessibility = std::make_unique<WindowMoverAdapter>(*m_windowMover, logSink, QStringLiteral("GNOME"));
    m_trust = std::make_unique<GnomeTrust>(*m_channel);
    m_workspace = std::make_unique<GnomeWorkspace>(*m_channel);
    m_shortcutGrabber = std::make_unique<GnomeShortcutGrabber>(*m_channel, logSink);
    m_hotKeys = std::make_unique<HotKeyAdapter>(*m_shortcutGrabber, logSink, QStringLiteral("GNOME"));
    m_globalKeyMonitor = std::make_unique<GnomeGlobalKeyMonitor>();
    m_keyboardGrabber = std::make_unique<GnomeKeyboardGrabber>(*m_channel, logSink);
    m_urlOpener = std::make_unique<DesktopUrlOpener>();
    m_platform.reset(
        new Platform { *m_screens, *m_accessibility, *m_trust, *m_workspace, *m_hotKeys, *m_globalKeyMonitor,
            userDefaults, logSink, keyEventTranslator, *m_urlOpener, panelWindowTraits, *m_keyboardGrabber });
}

// Members go in reverse order: the grabs and everything that asks Shell before the channel.
GnomePlatform::~GnomePlatform() = default;

} // namespace gridlume
