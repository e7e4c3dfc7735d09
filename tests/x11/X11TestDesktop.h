#pragma once

#include "ChildProcess.h"
#include "platform/Geometry.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <xcb/xcb.h>

namespace gridlume::test {

using namespace std::chrono_literals;

// An xcb reply, freed with the object.
struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// What runs on a test desktop besides the X server: a window manager, the desktop's own panel
// and tray, a compositor. The test desktops of the end-to-end suites are these profiles.
struct DesktopProfile {
    // A name for test names and reports: letters and digits only.
    const char* id;
    // The window manager, program first.
    QStringList windowManager;
    // The desktop's own panel, started once the window manager runs; empty for none.
    QStringList panel = {};
    // A compositor, started last; empty for none.
    QStringList compositor = {};
    // Xorg with the dummy driver and two real RandR outputs instead of Xvfb with two RandR
    // monitors on one output: window managers that lay out by outputs (xfwm4, mutter, KWin) see
    // one monitor on Xvfb.
    bool realOutputs = false;
    // A D-Bus session bus of its own (xfconf, dconf, KWin and mutter need one).
    bool sessionBus = false;
    // The test dock: a dock window with a partial strut at the bottom of the second monitor.
    bool testDock = false;
    // trayer as the tray, where the desktop has none of its own.
    bool standaloneTray = false;
    // How many panel, taskbar and dock windows line the monitors' edges once the desktop is
    // ready (see panelWindows()).
    int panelWindowCount = 0;
    // Scaling as a desktop's settings give it: X resources merged before anything starts
    // ("Xft.dpi: 144"), or Qt's factors per monitor name ("M1=2;M2=1") for the programs started
    // here; and the device pixel ratio Qt then gives each monitor.
    QByteArray resources = {};
    QString screenScaleFactors = {};
    double primaryRatio = 1;
    double secondRatio = 1;
};

// Openbox with the test dock on Xvfb: the desktop of most end-to-end tests.
const DesktopProfile& openboxDesktop();
// Every window manager and panel the desktop matrix runs on.
std::vector<DesktopProfile> desktopMatrix();

// A desktop of its own for one test: an X server on a free display with two RandR monitors of
// different sizes, and what its profile runs on it (Openbox and the test dock by default).
//
// Layout in root coordinates (origin top-left, y down):
//   primary monitor        (0, 0) 1280 × 1024
//   second monitor         (1280, 0) 1024 × 768, its bottom 40 pixels taken by the test dock
// Everything started here ends with the object, also when the test fails or crashes.
class X11TestDesktop {
public:
    static constexpr Rect primaryMonitor { 0, 0, 1280, 1024 };
    static constexpr Rect secondMonitor { 1280, 0, 1024, 768 };
    static constexpr int dockHeight = 40;

    explicit X11TestDesktop(DesktopProfile profile = openboxDesktop());
    virtual ~X11TestDesktop();

    const DesktopProfile& profile() const { return m_profile; }

    // Brings everything up; false with the reason when something did not come up in time.
    bool start(QString* error);

    QByteArray displayName() const { return m_displayName; }
    // DISPLAY and private XDG directories, for the programs started on this desktop.
    virtual QStringList environment() const;
    xcb_connection_t* connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    // The X server and the window manager, for tests that stop, kill or replace them.
    ChildProcess& serverProcess() { return *m_server; }
    ChildProcess& windowManagerProcess() { return *m_windowManager; }

    // Starts an X client on the desktop.
    std::unique_ptr<ChildProcess> startClient(const QString& program, const QStringList& arguments = {});
    // The windows of the desktop's own panels, taskbars and docks, root coordinates: the viewable
    // children of the root that span a monitor's whole width or height along one of its edges.
    std::vector<Rect> panelWindows() const;
    // A monitor (root coordinates) less what those panels cover at its edges: the area a user
    // sees free for windows, found without asking the window manager.
    Rect freeAreaOfMonitor(const Rect& monitor) const;
    // Whether a client holds the system tray selection of the screen.
    bool hasTray() const { return hasSelectionOwner("_NET_SYSTEM_TRAY_S0"); }
    // The items registered with the desktop's StatusNotifierItem host (the D-Bus tray that
    // Qt prefers to the XEmbed one where a panel offers it).
    QStringList statusNotifierItems() const;

    // Starts the test window helper; see TestWindow.cpp for its arguments.
    std::unique_ptr<ChildProcess> startTestWindow(const QStringList& arguments = {});
    // Starts the test window helper with `arguments`, or `program` when one is named, and makes
    // its first window the active one, the window a user acts on; none when it did not appear.
    xcb_window_t startActiveWindow(
        std::unique_ptr<ChildProcess>& process, const QStringList& arguments = {}, const QString& program = {});

    struct ToolResult {
        int exitCode = -1;
        QByteArray output;
    };
    // Runs a program (xdotool, xprop, wmctrl, xrandr, a second Gridlume) on the desktop, with
    // `environment` ("NAME=value") added, to completion; its standard output and error.
    ToolResult run(const QString& program, const QStringList& arguments, const QStringList& environment = {}) const;

    // Reads events of the test's own connection until `predicate` holds, re-checking after each
    // one. The connection sees the root's properties and the structure of its children.
    bool waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = 10s);

    // The managed client window of `pid` (listed in _NET_CLIENT_LIST), once it is mapped; its
    // property changes are selected too, so that waits see its state change.
    xcb_window_t waitForClientWindow(pid_t pid, std::chrono::milliseconds timeout = 10s);
    // The 32-bit items (windows, atoms, cardinals) of `window`'s property `name`; none when unset.
    std::vector<quint32> property32(xcb_window_t window, const char* name) const;
    std::vector<xcb_window_t> clientList() const { return property32(m_root, "_NET_CLIENT_LIST"); }
    xcb_window_t activeWindow() const;
    std::vector<xcb_atom_t> windowStates(xcb_window_t window) const { return property32(window, "_NET_WM_STATE"); }
    xcb_atom_t atom(const char* name) const;
    bool windowExists(xcb_window_t window) const;

    // Makes `window` the active one, the way a user's click would, and waits for it.
    bool activate(xcb_window_t window);
    // Waits until the window manager has handled every message sent to it so far, by anyone:
    // it answers a _NET_REQUEST_FRAME_EXTENTS for a window of ours that is never mapped only
    // after those.
    bool syncWithWindowManager(std::chrono::milliseconds timeout = 10s);

    // A window's visible frame as any other client sees it (the client's geometry plus
    // _NET_FRAME_EXTENTS, less _GTK_FRAME_EXTENTS), cheap enough to poll. Root coordinates.
    std::optional<Rect> visibleFrame(xcb_window_t window) const;
    // WM_NORMAL_HINTS' resize increment; (1, 1) when there is none.
    Size resizeIncrementFromOutside(xcb_window_t window) const;

    // Grabs a key combination on this connection, as another program holding a shortcut would;
    // the X error code, 0 on success.
    int grabKey(xcb_keycode_t keycode, quint16 modifiers);
    void ungrabKey(xcb_keycode_t keycode, quint16 modifiers);

    // Unmaps and destroys the dock.
    void removeDock();
    // Removes the second monitor (Xvfb's RandR monitor M2), or puts it back where it was.
    bool setSecondMonitor(bool present);

    // Lets the window manager, stopped (windowManagerProcess().stop()) so that what is asked of
    // it waits in its queue as it does while a window manager is busy, go on as soon as any
    // client sends a message to the root window (the way every request to a window manager
    // starts), at the latest after `timeout`. Returns at once; messages sent before the call do
    // not count.
    bool resumeWindowManagerOnNextMessage(std::chrono::milliseconds timeout = 10s);
    // Lets it go on now; also done when the desktop goes.
    void resumeWindowManager();

protected:
    // Starts the X server and what the profile runs on it. A desktop whose display another
    // program provides (a compositor's Xwayland) starts that instead, with the steps below.
    virtual bool startSession(QString* error);
    QString directoryPath() const { return m_directory.path(); }
    bool connectToServer(const QByteArray& displayNumber, QString* error);
    bool startSessionBus(QString* error);
    void writeDesktopConfiguration();
    bool waitUntilReady(QString* error);
    void createDock();
    void setWindowManagerProcess(std::unique_ptr<ChildProcess> process) { m_windowManager = std::move(process); }
    // The Wayland display's socket, absolute, for the programs started on the desktop.
    void setWaylandDisplay(const QString& socket) { m_waylandDisplay = socket; }
    // Reads from `descriptor` until a line is complete, the writer goes or `timeout` passes.
    static QByteArray readLineFrom(int descriptor, std::chrono::milliseconds timeout);

private:
    bool startServer(QString* error);
    void endLeftoverProcesses() const;
    void cancelResumer();
    bool hasSelectionOwner(const char* selection) const;
    // A client message about `window` to the window manager, the way EWMH has clients send them.
    void sendToWindowManager(xcb_window_t window, const char* type, quint32 firstItem = 0);

    DesktopProfile m_profile;
    QTemporaryDir m_directory;
    QByteArray m_displayName;
    // The Wayland display's socket, absolute, when the desktop is a Wayland session.
    QString m_waylandDisplay;
    std::unique_ptr<ChildProcess> m_server;
    std::unique_ptr<ChildProcess> m_sessionBus;
    std::unique_ptr<ChildProcess> m_windowManager;
    std::unique_ptr<ChildProcess> m_panel;
    std::unique_ptr<ChildProcess> m_tray;
    std::unique_ptr<ChildProcess> m_compositor;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_window_t m_dock = XCB_WINDOW_NONE;
    std::thread m_resumer;
    // The resumer's connection to the server.
    int m_resumerSocket = -1;
};

} // namespace gridlume::test
