#include "X11TestDesktop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace gridlume::test {

namespace {

    std::vector<quint32> values32(const xcb_get_property_reply_t* reply)
    {
        if (!reply || reply->format != 32)
            return {};
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
        return std::vector<quint32>(data, data + xcb_get_property_value_length(reply) / 4);
    }

} // namespace

const DesktopProfile& openboxDesktop()
{
    static const DesktopProfile profile { "Openbox", { "openbox", "--sm-disable" }, {}, {}, false, false, true, false,
        1 };
    return profile;
}

std::vector<DesktopProfile> desktopMatrix()
{
    const QStringList openbox { "openbox", "--sm-disable" };
    std::vector<DesktopProfile> profiles {
        { "OpenboxTint2", openbox, { "tint2" }, {}, true, false, false, false, 2 },
        { "IceWM", { "icewm" }, {}, {}, true, false, false, false, 1 },
        { "Fluxbox", { "fluxbox" }, {}, {}, true, false, false, false, 1 },
        { "Xfce", { "xfwm4", "--compositor=off" }, { "xfce4-panel" }, {}, true, true, false, false, 1 },
        { "MATE", { "marco", "--no-composite" }, { "mate-panel" }, {}, true, true, false, false, 2 },
        { "KWin", { "kwin_x11" }, {}, {}, true, true, false, true, 0 },
        { "Mutter", { "mutter", "--x11", "--sm-disable" }, {}, {}, true, true, false, true, 0 },
        // Cinnamon's window manager, without Cinnamon's shell.
        { "Muffin", { "muffin" }, {}, {}, true, true, false, true, 0 },
        { "Metacity", { "metacity" }, {}, {}, true, true, false, true, 0 },
        // Openbox with the test dock on scaled desktops: the same ratio everywhere, fractional,
        // and a different ratio per monitor.
        { "OpenboxXftDpi144", openbox, {}, {}, false, false, true, false, 1, "Xft.dpi: 144\n", {}, 1.5, 1.5 },
        { "OpenboxMixedScales", openbox, {}, {}, false, false, true, false, 1, {}, "M1=2;M2=1", 2, 1 },
        { "OpenboxTint2Picom", openbox, { "tint2" }, { "picom", "--backend", "xrender" }, true, false, false, false,
            2 },
    };
    // A release that ships only some of these desktops names the ones to run, by id.
    const QStringList chosen = qEnvironmentVariable("GRIDLUME_DESKTOP_PROFILES").split(u' ', Qt::SkipEmptyParts);
    if (!chosen.isEmpty())
        std::erase_if(
            profiles, [&](const DesktopProfile& profile) { return !chosen.contains(QLatin1String(profile.id)); });
    return profiles;
}

namespace {

    // Xvfb's second monitor, a RandR monitor without an output of its own.
    const QStringList secondMonitorArguments { "--setmonitor", "M2", "1024/270x768/203+1280+0", "none" };

    // Reads from `descriptor` until a line is complete, the writer goes or `timeout` passes.
    QByteArray readLine(int descriptor, std::chrono::milliseconds timeout)
    {
        QByteArray line;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (descriptor >= 0 && !line.endsWith('\n')) {
            const auto remaining
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd request { descriptor, POLLIN, 0 };
            if (remaining.count() <= 0 || ::poll(&request, 1, int(remaining.count())) <= 0)
                break;
            char buffer[64];
            const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
            if (count <= 0)
                break;
            line.append(buffer, count);
        }
        return line.trimmed();
    }

    // Starts `program` with `arguments`, where "%fd" names a descriptor it writes a line to once
    // it is ready (a display, an address); that line, or an empty one when none came in time.
    std::unique_ptr<ChildProcess> startAndReadLine(
        const QString& program, QStringList arguments, const QStringList& environment, QByteArray* line)
    {
        int descriptors[2];
        if (::pipe2(descriptors, O_CLOEXEC) != 0)
            return nullptr;
        arguments.replaceInStrings(QStringLiteral("%fd"), QString::number(descriptors[1]));
        auto process = std::make_unique<ChildProcess>(program, arguments, environment, descriptors[1]);
        ::close(descriptors[1]);
        *line = readLine(descriptors[0], 15s);
        ::close(descriptors[0]);
        return process;
    }

} // namespace

X11TestDesktop::X11TestDesktop(DesktopProfile profile)
    : m_profile(std::move(profile))
{
}

QByteArray X11TestDesktop::readLineFrom(int descriptor, std::chrono::milliseconds timeout)
{
    return readLine(descriptor, timeout);
}

X11TestDesktop::~X11TestDesktop()
{
    resumeWindowManager();
    if (m_connection)
        xcb_disconnect(m_connection);
    // The X server last, once everything on it has gone.
    for (auto* process : { &m_compositor, &m_tray, &m_panel, &m_windowManager, &m_sessionBus, &m_server })
        process->reset();
    endLeftoverProcesses();
}

void X11TestDesktop::endLeftoverProcesses() const
{
    // What the desktop's programs started in turn (services the session bus activated, such as
    // KWin's kglobalaccel5) outlives them and would hold the test's output open: every process
    // whose environment names this desktop's folder goes too.
    const QByteArray marker = m_directory.path().toLocal8Bit();
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const pid_t pid = pid_t(entry.toInt(&isPid));
        if (!isPid || pid == ::getpid())
            continue;
        QFile environment(proc.filePath(entry) + QStringLiteral("/environ"));
        if (environment.open(QIODevice::ReadOnly) && environment.readAll().contains(marker))
            ::kill(pid, SIGKILL);
    }
}

QStringList X11TestDesktop::environment() const
{
    const QString folder = m_directory.path();
    QStringList environment { "DISPLAY=" + QString::fromLatin1(m_displayName), "HOME=" + folder + "/home",
        "XDG_CONFIG_HOME=" + folder + "/config", "XDG_CACHE_HOME=" + folder + "/cache",
        "XDG_DATA_HOME=" + folder + "/data",
        // Nothing of a developer's session may leak into the test desktop.
        "DBUS_SESSION_BUS_ADDRESS=" + (m_profile.sessionBus ? "unix:path=" + folder + "/bus" : "disabled:"),
        "XAUTHORITY=", "XDG_CURRENT_DESKTOP=", "NO_AT_BRIDGE=1", "GDK_BACKEND=x11",
        "WAYLAND_DISPLAY=" + m_waylandDisplay };
    if (!m_profile.screenScaleFactors.isEmpty())
        environment.append("QT_SCREEN_SCALE_FACTORS=" + m_profile.screenScaleFactors);
    return environment;
}

bool X11TestDesktop::startServer(QString* error)
{
    // The server picks a free display itself and writes its number to the descriptor once it
    // accepts connections.
    QByteArray number;
    const QStringList common { "-displayfd", "%fd", "-noreset", "-nolisten", "tcp" };
    if (m_profile.realOutputs) {
        // Each monitor an output of the dummy driver, with the mode it starts in.
        QFile configuration(m_directory.filePath(QStringLiteral("xorg.conf")));
        if (!configuration.open(QIODevice::WriteOnly) || !configuration.write(R"(
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
  Option "Monitor-DUMMY0" "primary"
  Option "Monitor-DUMMY1" "second"
EndSection
Section "Monitor"
  Identifier "primary"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Option "PreferredMode" "1280x1024"
  Option "Primary" "true"
EndSection
Section "Monitor"
  Identifier "second"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Option "PreferredMode" "1024x768"
  Option "RightOf" "primary"
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "primary"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2304 1024
  EndSubSection
EndSection
)")) {
            *error = QStringLiteral("cannot write the Xorg configuration");
            return false;
        }
        configuration.close();
        m_server = startAndReadLine("Xorg",
            common
                + QStringList { "-config", configuration.fileName(), "-logfile", m_directory.filePath("xorg.log"),
                    "-novtswitch", "-sharevts" },
            {}, &number);
    } else {
        m_server = startAndReadLine("Xvfb", common + QStringList { "-screen", "0", "2304x1024x24" }, {}, &number);
    }
    if (number.isEmpty()) {
        *error = QStringLiteral("the X server did not report a display");
        return false;
    }
    return connectToServer(number, error);
}

bool X11TestDesktop::connectToServer(const QByteArray& displayNumber, QString* error)
{
    m_displayName = ':' + displayNumber;
    m_connection = xcb_connect(m_displayName.constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        *error = QStringLiteral("cannot connect to the test display");
        return false;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
    return true;
}

bool X11TestDesktop::start(QString* error)
{
    if (!m_directory.isValid()) {
        *error = QStringLiteral("no temporary directory");
        return false;
    }
    return startSession(error);
}

bool X11TestDesktop::startSession(QString* error)
{
    if (!startServer(error))
        return false;

    const QList<QStringList> monitors = m_profile.realOutputs
        // The dummy driver starts with the primary output only; the second is switched on.
        ? QList<QStringList> { { "--addmode", "DUMMY1", "1024x768" },
              { "--output", "DUMMY1", "--mode", "1024x768", "--right-of", "DUMMY0" } }
        // Xvfb has one output, "screen"; the primary monitor takes it, the second has none.
        : QList<QStringList> { { "--setmonitor", "*M1", "1280/338x1024/270+0+0", "screen" }, secondMonitorArguments };
    for (const QStringList& arguments : monitors) {
        if (run("xrandr", arguments).exitCode != 0) {
            *error = QStringLiteral("xrandr %1 failed").arg(arguments.join(u' '));
            return false;
        }
    }
    // The server reports an output's connection as of its last poll; GDK reads that without
    // polling, so without a query here xfwm4 would see the second output as disconnected.
    if (m_profile.realOutputs)
        run("xrandr", { "--query" });
    writeDesktopConfiguration();
    // X resources as a desktop's settings merge them; X clients started afterwards read them.
    if (!m_profile.resources.isEmpty()) {
        QFile resources(m_directory.filePath(QStringLiteral("resources")));
        const bool written = resources.open(QIODevice::WriteOnly) && resources.write(m_profile.resources) > 0;
        resources.close();
        if (!written || run("xrdb", { "-merge", resources.fileName() }).exitCode != 0) {
            *error = QStringLiteral("xrdb could not merge the profile's resources");
            return false;
        }
    }
    if (m_profile.sessionBus && !startSessionBus(error))
        return false;

    // The dock is mapped before the window manager starts, which takes it over with the windows
    // it finds at start-up: a window mapped while Openbox is still starting may be overlooked.
    if (m_profile.testDock)
        createDock();
    m_windowManager = startClient(m_profile.windowManager.first(), m_profile.windowManager.mid(1));
    return waitUntilReady(error);
}

bool X11TestDesktop::startSessionBus(QString* error)
{
    // It says when it listens, also before there is a display to wait on.
    QByteArray address;
    m_sessionBus = startAndReadLine("dbus-daemon",
        { "--session", "--nofork", "--nopidfile", "--address=unix:path=" + m_directory.path() + "/bus",
            "--print-address=%fd" },
        environment(), &address);
    if (address.isEmpty())
        *error = QStringLiteral("the session bus did not start");
    return !address.isEmpty();
}

void X11TestDesktop::writeDesktopConfiguration()
{
    const QDir root(m_directory.path());
    for (const char* folder : { "home", "config", "cache", "data", "config/xfce4/xfconf/xfce-perchannel-xml" })
        root.mkpath(QLatin1String(folder));
    auto write = [&](const char* path, const QByteArray& content) {
        QFile file(root.filePath(QLatin1String(path)));
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    };
    // One panel along the top of the primary monitor with the task list and the tray; the
    // default's second panel, a launcher bar that hides itself, would only sit over windows.
    write("config/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="tasklist"/>
    <property name="plugin-2" type="string" value="systray"/>
  </property>
</channel>
)");
    // Fluxbox's style sets a wallpaper through fbsetbg, which reports its failure on Xorg's
    // dummy screen in a message window; the overlay leaves the background alone.
    root.mkpath(QStringLiteral("home/.fluxbox"));
    write("home/.fluxbox/overlay", "background: none\n");
    write("home/.fluxbox/init", "session.styleOverlay: ~/.fluxbox/overlay\n");
}

bool X11TestDesktop::waitUntilReady(QString* error)
{
    auto windowManagerRuns = [&] {
        const std::vector<quint32> check = property32(m_root, "_NET_SUPPORTING_WM_CHECK");
        return !check.empty() && windowExists(check.front());
    };
    if (!waitUntil(windowManagerRuns, 30s)) {
        *error = QStringLiteral("%1 did not start").arg(m_profile.windowManager.first());
        return false;
    }
    // Once the dock is in the client list, the window manager is in its event loop and has
    // applied the strut.
    if (m_profile.testDock && !waitUntil([&] { return std::ranges::count(clientList(), m_dock) > 0; })) {
        *error = QStringLiteral("the window manager did not manage the dock");
        return false;
    }
    if (!m_profile.panel.isEmpty())
        m_panel = startClient(m_profile.panel.first(), m_profile.panel.mid(1));
    if (m_profile.standaloneTray) {
        m_tray = startClient("trayer",
            { "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24", "--SetDockType", "true",
                "--monitor", "primary" });
    }
    // Panels come up one by one (MATE's top one first).
    if (!waitUntil([&] { return int(panelWindows().size()) >= m_profile.panelWindowCount; }, 30s)) {
        *error = QStringLiteral("%1 of %2 panels appeared").arg(panelWindows().size()).arg(m_profile.panelWindowCount);
        return false;
    }
    if ((m_profile.standaloneTray || !m_profile.panel.isEmpty() || m_profile.windowManager.first() == u"icewm"
            || m_profile.windowManager.first() == u"fluxbox")
        && !waitUntil([&] { return hasTray(); }, 30s)) {
        *error = QStringLiteral("no tray appeared");
        return false;
    }
    if (!m_profile.compositor.isEmpty()) {
        m_compositor = startClient(m_profile.compositor.first(), m_profile.compositor.mid(1));
        if (!waitUntil([&] { return hasSelectionOwner("_NET_WM_CM_S0"); }, 30s)) {
            *error = QStringLiteral("the compositor did not start");
            return false;
        }
    }
    return true;
}

bool X11TestDesktop::hasSelectionOwner(const char* selection) const
{
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, atom(selection)), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

QStringList X11TestDesktop::statusNotifierItems() const
{
    if (!m_profile.sessionBus)
        return {};
    const ToolResult result = run("dbus-send",
        { "--session", "--print-reply", "--dest=org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
            "org.freedesktop.DBus.Properties.Get", "string:org.kde.StatusNotifierWatcher",
            "string:RegisteredStatusNotifierItems" });
    QStringList items;
    static const QRegularExpression item(QStringLiteral("string \"([^\"]+)\""));
    for (auto match = item.globalMatch(QString::fromUtf8(result.output)); match.hasNext();)
        items.append(match.next().captured(1));
    return items;
}

std::vector<Rect> X11TestDesktop::panelWindows() const
{
    xcb_connection_t* c = m_connection;
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, m_root), nullptr));
    if (!tree)
        return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    std::vector<std::pair<xcb_get_window_attributes_cookie_t, xcb_get_geometry_cookie_t>> cookies;
    for (int i = 0; i < count; ++i)
        cookies.emplace_back(xcb_get_window_attributes(c, children[i]), xcb_get_geometry(c, children[i]));
    std::vector<Rect> panels;
    for (const auto& [attributesCookie, geometryCookie] : cookies) {
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, attributesCookie, nullptr));
        Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, nullptr));
        if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE
            || attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT)
            continue;
        // The outer rectangle, border included (Fluxbox's toolbar has one).
        const Rect outer(geometry->x, geometry->y, geometry->width + 2.0 * geometry->border_width,
            geometry->height + 2.0 * geometry->border_width);
        for (const Rect& monitor : { primaryMonitor, secondMonitor }) {
            const bool spansWidth = outer.minX() <= monitor.minX() && outer.maxX() >= monitor.maxX()
                && (outer.minY() == monitor.minY() || outer.maxY() == monitor.maxY());
            const bool spansHeight = outer.minY() <= monitor.minY() && outer.maxY() >= monitor.maxY()
                && (outer.minX() == monitor.minX() || outer.maxX() == monitor.maxX());
            // A panel is a band, not a window covering the monitor (a desktop window, a frame).
            if ((spansWidth && outer.height() < monitor.height() / 4)
                || (spansHeight && outer.width() < monitor.width() / 4))
                panels.push_back(outer.intersected(monitor));
        }
    }
    return panels;
}

Rect X11TestDesktop::freeAreaOfMonitor(const Rect& monitor) const
{
    double left = monitor.minX(), top = monitor.minY(), right = monitor.maxX(), bottom = monitor.maxY();
    for (const Rect& panel : panelWindows()) {
        if (!panel.intersects(monitor))
            continue;
        if (panel.width() >= monitor.width()) {
            if (panel.minY() == monitor.minY())
                top = std::max(top, panel.maxY());
            else
                bottom = std::min(bottom, panel.minY());
        } else {
            if (panel.minX() == monitor.minX())
                left = std::max(left, panel.maxX());
            else
                right = std::min(right, panel.minX());
        }
    }
    return Rect(left, top, right - left, bottom - top);
}

void X11TestDesktop::createDock()
{
    m_dock = xcb_generate_id(m_connection);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    const qint16 x = qint16(secondMonitor.origin.x);
    const qint16 y = qint16(secondMonitor.maxY() - dockHeight);
    const quint32 background = screen->black_pixel;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_dock, m_root, x, y, quint16(secondMonitor.width()),
        quint16(dockHeight), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &background);
    const xcb_atom_t dockType = atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(
        m_connection, XCB_PROP_MODE_REPLACE, m_dock, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &dockType);
    // Measured from the root window's bottom edge (1024), across the second monitor's columns.
    const quint32 bottom = quint32(primaryMonitor.height() - (secondMonitor.maxY() - dockHeight));
    const quint32 strut[12]
        = { 0, 0, 0, bottom, 0, 0, 0, 0, 0, 0, quint32(secondMonitor.minX()), quint32(secondMonitor.maxX() - 1) };
    xcb_change_property(
        m_connection, XCB_PROP_MODE_REPLACE, m_dock, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32, 12, strut);
    const char wmClass[] = "gridlume-test-dock\0GridlumeTestDock";
    xcb_change_property(
        m_connection, XCB_PROP_MODE_REPLACE, m_dock, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof wmClass, wmClass);
    xcb_map_window(m_connection, m_dock);
    xcb_flush(m_connection);
}

void X11TestDesktop::removeDock()
{
    xcb_destroy_window(m_connection, m_dock);
    xcb_flush(m_connection);
    m_dock = XCB_WINDOW_NONE;
}

bool X11TestDesktop::setSecondMonitor(bool present)
{
    return run("xrandr", present ? secondMonitorArguments : QStringList { "--delmonitor", "M2" }).exitCode == 0;
}

std::unique_ptr<ChildProcess> X11TestDesktop::startClient(const QString& program, const QStringList& arguments)
{
    return std::make_unique<ChildProcess>(program, arguments, environment());
}

std::unique_ptr<ChildProcess> X11TestDesktop::startTestWindow(const QStringList& arguments)
{
    return startClient(QStringLiteral(GRIDLUME_TEST_WINDOW_PROGRAM), arguments);
}

xcb_window_t X11TestDesktop::startActiveWindow(
    std::unique_ptr<ChildProcess>& process, const QStringList& arguments, const QString& program)
{
    process = program.isEmpty() ? startTestWindow(arguments) : startClient(program, arguments);
    const xcb_window_t window = waitForClientWindow(process->pid(), 20s);
    return window != XCB_WINDOW_NONE && activate(window) ? window : xcb_window_t(XCB_WINDOW_NONE);
}

bool X11TestDesktop::resumeWindowManagerOnNextMessage(std::chrono::milliseconds timeout)
{
    if (!m_windowManager)
        return false;
    cancelResumer();
    xcb_connection_t* watcher = xcb_connect(m_displayName.constData(), nullptr);
    if (xcb_connection_has_error(watcher)) {
        xcb_disconnect(watcher);
        return false;
    }
    // Client messages to the root window reach every client that selected substructure
    // notification on it. The selection holds once the server has answered a later request.
    const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(watcher, m_root, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(watcher, xcb_get_input_focus(watcher), nullptr));

    m_resumerSocket = xcb_get_file_descriptor(watcher);
    const pid_t windowManager = m_windowManager->pid();
    m_resumer = std::thread([watcher, windowManager, timeout] {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        bool messageSent = false;
        while (!messageSent) {
            while (Reply<xcb_generic_event_t> event { xcb_poll_for_event(watcher) })
                messageSent = messageSent || (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE;
            const auto remaining
                = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (messageSent || remaining.count() <= 0 || xcb_connection_has_error(watcher))
                break;
            pollfd descriptor { xcb_get_file_descriptor(watcher), POLLIN, 0 };
            ::poll(&descriptor, 1, int(remaining.count()));
        }
        ::kill(windowManager, SIGCONT);
        xcb_disconnect(watcher);
    });
    return true;
}

void X11TestDesktop::resumeWindowManager()
{
    cancelResumer();
    if (m_windowManager)
        m_windowManager->resume();
}

void X11TestDesktop::cancelResumer()
{
    // The connection shut down, the resumer's wait ends: it resumes the window manager and goes.
    if (m_resumer.joinable()) {
        ::shutdown(m_resumerSocket, SHUT_RDWR);
        m_resumer.join();
    }
}

X11TestDesktop::ToolResult X11TestDesktop::run(
    const QString& program, const QStringList& arguments, const QStringList& environment) const
{
    QProcess process;
    process.setProcessEnvironment(environmentWith(this->environment() + environment));
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    // One that has not finished by then is killed as the QProcess goes.
    if (!process.waitForFinished(20000))
        return {};
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll() };
}

bool X11TestDesktop::waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
            std::free(event);
        if (predicate())
            return true;
        // Replies read by the predicate may have pulled events into xcb's queue.
        if (xcb_generic_event_t* queued = xcb_poll_for_queued_event(m_connection)) {
            std::free(queued);
            continue;
        }
        const auto remaining
            = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (remaining.count() <= 0 || xcb_connection_has_error(m_connection))
            return false;
        // Not every predicate follows an event of this connection (another client's grab, a
        // process that ends): it is asked again at least every 20 ms.
        pollfd descriptor { xcb_get_file_descriptor(m_connection), POLLIN, 0 };
        ::poll(&descriptor, 1, int(std::min<std::chrono::milliseconds::rep>(remaining.count(), 20)));
    }
}

xcb_atom_t X11TestDesktop::atom(const char* name) const
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<quint32> X11TestDesktop::property32(xcb_window_t window, const char* name) const
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection,
        xcb_get_property(m_connection, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr));
    return values32(reply.get());
}

xcb_window_t X11TestDesktop::activeWindow() const
{
    const std::vector<quint32> active = property32(m_root, "_NET_ACTIVE_WINDOW");
    return active.empty() ? xcb_window_t(XCB_WINDOW_NONE) : active.front();
}

bool X11TestDesktop::windowExists(xcb_window_t window) const
{
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), &error));
    std::free(error);
    return bool(reply);
}

xcb_window_t X11TestDesktop::waitForClientWindow(pid_t pid, std::chrono::milliseconds timeout)
{
    xcb_window_t found = XCB_WINDOW_NONE;
    waitUntil(
        [&] {
            for (xcb_window_t window : clientList()) {
                const std::vector<quint32> windowPid = property32(window, "_NET_WM_PID");
                if (!windowPid.empty() && pid_t(windowPid.front()) == pid) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    if (found != XCB_WINDOW_NONE)
        xcb_change_window_attributes(m_connection, found, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
    return found;
}

void X11TestDesktop::sendToWindowManager(xcb_window_t window, const char* type, quint32 firstItem)
{
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(type);
    message.data.data32[0] = firstItem;
    xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
}

bool X11TestDesktop::activate(xcb_window_t window)
{
    // Source 2: a pager, acting for the user; at no particular time.
    sendToWindowManager(window, "_NET_ACTIVE_WINDOW", 2);
    return waitUntil([&] { return activeWindow() == window; });
}

bool X11TestDesktop::syncWithWindowManager(std::chrono::milliseconds timeout)
{
    const xcb_window_t probe = xcb_generate_id(m_connection);
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, probe, m_root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
        XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    sendToWindowManager(probe, "_NET_REQUEST_FRAME_EXTENTS");
    const bool answered = waitUntil([&] { return !property32(probe, "_NET_FRAME_EXTENTS").empty(); }, timeout);
    xcb_destroy_window(m_connection, probe);
    xcb_flush(m_connection);
    return answered;
}

std::optional<Rect> X11TestDesktop::visibleFrame(xcb_window_t window) const
{
    xcb_connection_t* c = m_connection;
    auto geometryCookie = xcb_get_geometry(c, window);
    auto originCookie = xcb_translate_coordinates(c, window, m_root, 0, 0);
    auto frameCookie = xcb_get_property(c, 0, window, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4);
    auto shadowCookie = xcb_get_property(c, 0, window, atom("_GTK_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4);
    Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, nullptr));
    Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(c, originCookie, nullptr));
    Reply<xcb_get_property_reply_t> frameReply(xcb_get_property_reply(c, frameCookie, nullptr));
    Reply<xcb_get_property_reply_t> shadowReply(xcb_get_property_reply(c, shadowCookie, nullptr));
    if (!geometry || !origin)
        return std::nullopt;
    auto extents = [](const xcb_get_property_reply_t* reply) {
        const std::vector<quint32> values = values32(reply);
        return values.size() == 4 ? values : std::vector<quint32>(4, 0);
    };
    const std::vector<quint32> frame = extents(frameReply.get());
    const std::vector<quint32> shadow = extents(shadowReply.get());
    return Rect(double(origin->dst_x) - frame[0] + shadow[0], double(origin->dst_y) - frame[2] + shadow[2],
        double(geometry->width) + frame[0] + frame[1] - shadow[0] - shadow[1],
        double(geometry->height) + frame[2] + frame[3] - shadow[2] - shadow[3]);
}

Size X11TestDesktop::resizeIncrementFromOutside(xcb_window_t window) const
{
    // WM_NORMAL_HINTS (ICCCM 4.1.2.3): flags, four unused fields, the minimum and maximum sizes,
    // then the increments, present with PResizeInc (1 << 6).
    const std::vector<quint32> hints = property32(window, "WM_NORMAL_HINTS");
    if (hints.size() < 11 || !(hints[0] & (1u << 6)))
        return { 1, 1 };
    return { double(hints[9]), double(hints[10]) };
}

int X11TestDesktop::grabKey(xcb_keycode_t keycode, quint16 modifiers)
{
    xcb_generic_error_t* error = xcb_request_check(m_connection,
        xcb_grab_key_checked(m_connection, 0, m_root, modifiers, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    const int code = error ? error->error_code : 0;
    std::free(error);
    return code;
}

void X11TestDesktop::ungrabKey(xcb_keycode_t keycode, quint16 modifiers)
{
    xcb_ungrab_key(m_connection, keycode, m_root, modifiers);
    xcb_flush(m_connection);
}

} // namespace gridlume::test
