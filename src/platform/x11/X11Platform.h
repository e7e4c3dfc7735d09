#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace gridlume {

class HotKeyAdapter;
class X11ApplicationResolver;
class X11Connection;
class X11GlobalKeyMonitor;
class X11ShortcutGrabber;
class X11KeyboardGrabber;
class X11KeyEventTranslator;
class X11ProcessLookup;
class X11ScreenProvider;
class X11Trust;
class X11Workspace;
class X11WindowMover;
class WindowMoverAdapter;

// The desktop on an X11 display: owns the connection and every part of the platform built on
// it, and hands them out as a Platform.
//
// The backend keeps a connection of its own even when Qt draws through xcb: Qt's xcb plugin
// reads all events of its connection on a thread of its own, while a window placement has to
// wait for the window manager's answer inside the call. Both connections go to the same display
// ($DISPLAY unless one is named).
class X11Platform {
public:
    // The platform on `displayName` ($DISPLAY when empty), or null with a one-line message
    // ("Gridlume needs an X11 display: …") when there is no display to talk to. The panel
    // window traits act on Qt's own windows and come from the caller.
    static std::unique_ptr<X11Platform> create(UserDefaults& userDefaults, LogSink& logSink,
        PanelWindowTraits& panelWindowTraits, QString* errorMessage, const QByteArray& displayName = {});
    ~X11Platform();

    X11Platform(const X11Platform&) = delete;
    X11Platform& operator=(const X11Platform&) = delete;

    Platform& platform() { return *m_platform; }
    // The display the backend is connected to, e.g. ":0".
    QByteArray displayName() const;

private:
    X11Platform(std::unique_ptr<X11Connection> connection, UserDefaults& userDefaults, LogSink& logSink,
        PanelWindowTraits& panelWindowTraits);

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<X11ProcessLookup> m_processLookup;
    std::unique_ptr<X11ScreenProvider> m_screens;
    std::unique_ptr<X11WindowMover> m_windowMover;
    std::unique_ptr<WindowMoverAdapter> m_accessibility;
    std::unique_ptr<X11Trust> m_trust;
    std::unique_ptr<X11ApplicationResolver> m_applicationResolver;
    std::unique_ptr<X11Workspace> m_workspace;
    std::unique_ptr<X11ShortcutGrabber> m_shortcutGrabber;
    std::unique_ptr<HotKeyAdapter> m_hotKeys;
    std::unique_ptr<X11GlobalKeyMonitor> m_globalKeyMonitor;
    std::unique_ptr<X11KeyEventTranslator> m_keyEventTranslator;
    std::unique_ptr<DesktopUrlOpener> m_urlOpener;
    std::unique_ptr<X11KeyboardGrabber> m_keyboardGrabber;
    std::unique_ptr<Platform> m_platform;
};

} // namespace gridlume
