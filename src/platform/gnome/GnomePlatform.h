#pragma once

#include "platform/Platform.h"

#include <memory>

namespace gridlume {

class GnomeGlobalKeyMonitor;
class GnomeKeyboardGrabber;
class GnomeScreenProvider;
class GnomeShellChannel;
class GnomeShortcutGrabber;
class GnomeTrust;
class GnomeWindowMover;
class GnomeWorkspace;
class HotKeyAdapter;
class WindowMoverAdapter;

// The desktop of a GNOME Wayland session: GNOME Shell, through Gridlume's extension (screens,
// windows, focus, shortcuts and the keyboard while the panels are shown) on the session bus.
//
// Gridlume's own windows are X11 windows on Mutter's Xwayland: Wayland gives a program no way to
// place its own windows on a monitor, keep them above others or show them without taking the
// focus, and Mutter honours all of that for X11 windows. So the panel window traits and the key
// event translator are the X11 ones and come from the caller.
//
// The platform is made whether the extension runs or not: until it does, Gridlume is not trusted
// (the permission window says how to turn it on), and everything starts once it does.
class GnomePlatform {
public:
    GnomePlatform(UserDefaults& userDefaults, LogSink& logSink, PanelWindowTraits& panelWindowTraits,
        KeyEventTranslator& keyEventTranslator);
    ~GnomePlatform();

    GnomePlatform(const GnomePlatform&) = delete;
    GnomePlatform& operator=(const GnomePlatform&) = delete;

    Platform& platform() { return *m_platform; }
    GnomeShellChannel& channel() { return *m_channel; }

private:
    std::unique_ptr<GnomeShellChannel> m_channel;
    std::unique_ptr<GnomeScreenProvider> m_screens;
    std::unique_ptr<GnomeWindowMover> m_windowMover;
    std::unique_ptr<WindowMoverAdapter> m_accessibility;
    std::unique_ptr<GnomeTrust> m_trust;
    std::unique_ptr<GnomeWorkspace> m_workspace;
    std::unique_ptr<GnomeShortcutGrabber> m_shortcutGrabber;
    std::unique_ptr<HotKeyAdapter> m_hotKeys;
    std::unique_ptr<GnomeGlobalKeyMonitor> m_globalKeyMonitor;
    std::unique_ptr<GnomeKeyboardGrabber> m_keyboardGrabber;
    std::unique_ptr<DesktopUrlOpener> m_urlOpener;
    std::unique_ptr<Platform> m_platform;
};

} // namespace gridlume
