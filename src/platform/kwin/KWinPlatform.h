#pragma once

#include "platform/Platform.h"

#include <QString>

#include <memory>

namespace gridlume {

class HotKeyAdapter;
class KWinGlobalAccel;
class KWinGlobalKeyMonitor;
class KWinShortcutGrabber;
class KWinKeyboardGrabber;
class KWinScreenProvider;
class KWinScriptChannel;
class KWinTrust;
class KWinWindowMover;
class KWinWorkspace;
class WindowMoverAdapter;

// The desktop of a KDE Plasma Wayland session: KWin, through Gridlume's KWin script (screens,
// windows, activations) and KDE's shortcut service (the shortcut, Escape), on the session bus.
//
// Gridlume's own windows are X11 windows on KWin's Xwayland: Wayland gives a program no way to
// place its own windows on an output, keep them above others or show them without taking the
// focus, and KWin honours all of that for X11 windows. So the panel window traits and the key
// event translator are the X11 ones and come from the caller.
class KWinPlatform {
public:
    // True in a Wayland session whose compositor is KWin with its scripting service.
    static bool isKWinWaylandSession();

    // The platform, or null with a one-line message when KWin does not run Gridlume's script.
    static std::unique_ptr<KWinPlatform> create(UserDefaults& userDefaults, LogSink& logSink,
        PanelWindowTraits& panelWindowTraits, KeyEventTranslator& keyEventTranslator, QString* errorMessage);
    ~KWinPlatform();

    KWinPlatform(const KWinPlatform&) = delete;
    KWinPlatform& operator=(const KWinPlatform&) = delete;

    Platform& platform() { return *m_platform; }

private:
    KWinPlatform(std::unique_ptr<KWinScriptChannel> channel, UserDefaults& userDefaults, LogSink& logSink,
        PanelWindowTraits& panelWindowTraits, KeyEventTranslator& keyEventTranslator);

    std::unique_ptr<KWinScriptChannel> m_channel;
    std::unique_ptr<KWinScreenProvider> m_screens;
    std::unique_ptr<KWinWindowMover> m_windowMover;
    std::unique_ptr<WindowMoverAdapter> m_accessibility;
    std::unique_ptr<KWinTrust> m_trust;
    std::unique_ptr<KWinWorkspace> m_workspace;
    std::unique_ptr<KWinGlobalAccel> m_globalAccel;
    std::unique_ptr<KWinShortcutGrabber> m_shortcutGrabber;
    std::unique_ptr<HotKeyAdapter> m_hotKeys;
    std::unique_ptr<KWinGlobalKeyMonitor> m_globalKeyMonitor;
    std::unique_ptr<KWinKeyboardGrabber> m_keyboardGrabber;
    std::unique_ptr<DesktopUrlOpener> m_urlOpener;
    std::unique_ptr<Platform> m_platform;
};

} // namespace gridlume
