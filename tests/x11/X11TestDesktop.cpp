#include "X11TestDesktop.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace gridlume::test {

namespace {

    template <typename T>
    struct FreeDeleter {
        void operator()(T* pointer) const { std::free(pointer); }
    };
    template <typename T>
    using Reply = std::unique_ptr<T, FreeDeleter<T>>;

    std::vector<quint32> values32(const xcb_get_property_reply_t* reply)
    {
        if (!reply || reply->format != 32)
            return {};
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
        return std::vector<quint32>(data, data + xcb_get_property_value_length(reply) / 4);
    }

    // Numbers after the '=' of an xprop line such as "_NET_FRAME_EXTENTS(CARDINAL) = 1, 1, 21, 5".
    std::vector<qint64> xpropNumbers(const QByteArray& output)
    {
        const qsizetype equals = output.indexOf('=');
        if (equals < 0)
            return {};
        std::vector<qint64> numbers;
        for (const QByteArray& part : output.mid(equals + 1).split(',')) {
            bool ok = false;
            const qint64 value = part.trimmed().toLongLong(&ok);
            if (ok)
                numbers.push_back(value);
        }
        return numbers;
    }

} // namespace

X11TestDesktop::X11TestDesktop() = default;

X11TestDesktop::~X11TestDesktop()
{
    resumeWindowManager();
    if (m_connection)
        xcb_disconnect(m_connection);
    m_windowManager.reset();
    m_server.reset();
}

QStringList X11TestDesktop::environment() const
{
    return { QStringLiteral("DISPLAY=") + QString::fromLatin1(m_displayName),
        QStringLiteral("XDG_CONFIG_HOME=") + m_directory.path() + QStringLiteral("/config"),
        QStringLiteral("XDG_CACHE_HOME=") + m_directory.path() + QStringLiteral("/cache"),
        QStringLiteral("XDG_DATA_HOME=") + m_directory.path() + QStringLiteral("/data"),
        // Nothing of a developer's session may leak into the test desktop.
        QStringLiteral("DBUS_SESSION_BUS_ADDRESS=disabled:"), QStringLiteral("XAUTHORITY=") };
}

bool X11TestDesktop::startServer(QString* error)
{
    // Xvfb picks a free display itself and writes its number to the descriptor once it
    // accepts connections.
    int pipeDescriptors[2];
    if (::pipe2(pipeDescriptors, O_CLOEXEC) != 0) {
        *error = QStringLiteral("pipe2 failed");
        return false;
    }
    m_server = std::make_unique<ChildProcess>(QStringLiteral("Xvfb"),
        QStringList { QStringLiteral("-displayfd"), QString::number(pipeDescriptors[1]), QStringLiteral("-noreset"),
            QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("2304x1024x24") },
        QStringList {}, pipeDescriptors[1]);
    ::close(pipeDescriptors[1]);

    QByteArray number;
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (!number.endsWith('\n')) {
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd descriptor { pipeDescriptors[0], POLLIN, 0 };
        if (remaining.count() <= 0 || ::poll(&descriptor, 1, int(remaining.count())) <= 0)
            break;
        char buffer[16];
        const ssize_t count = ::read(pipeDescriptors[0], buffer, sizeof buffer);
        if (count <= 0)
            break;
        number.append(buffer, count);
    }
    ::close(pipeDescriptors[0]);
    if (!number.endsWith('\n')) {
        *error = QStringLiteral("Xvfb did not report a display");
        return false;
    }
    m_displayName = ':' + number.trimmed();
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
    if (!startServer(error))
        return false;

    // Xvfb has one output, "screen"; the primary monitor takes it, the second has none.
    const QStringList monitors[] = {
        { QStringLiteral("--setmonitor"), QStringLiteral("*M1"), QStringLiteral("1280/338x1024/270+0+0"),
            QStringLiteral("screen") },
        { QStringLiteral("--setmonitor"), QStringLiteral("M2"), QStringLiteral("1024/270x768/203+1280+0"),
            QStringLiteral("none") },
    };
    for (const QStringList& arguments : monitors) {
        if (run(QStringLiteral("xrandr"), arguments).exitCode != 0) {
            *error = QStringLiteral("xrandr %1 failed").arg(arguments.join(u' '));
            return false;
        }
    }

    // The dock is mapped before the window manager starts, which takes it over with the windows
    // it finds at start-up: a window mapped while Openbox is still starting may be overlooked.
    createDock();
    m_windowManager = startClient(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
    // Once the dock is in the client list, Openbox is in its event loop and has applied the strut.
    if (!waitUntil([&] {
            const std::vector<xcb_window_t> clients = clientList();
            return std::find(clients.begin(), clients.end(), m_dock) != clients.end();
        })) {
        *error = QStringLiteral("Openbox did not start and manage the dock");
        return false;
    }
    return true;
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
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_dock, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
        &dockType);
    // Measured from the root window's bottom edge (1024), across the second monitor's columns.
    const quint32 bottom = quint32(primaryMonitor.height() - (secondMonitor.maxY() - dockHeight));
    const quint32 strut[12] = { 0, 0, 0, bottom, 0, 0, 0, 0, 0, 0, quint32(secondMonitor.minX()),
        quint32(secondMonitor.maxX() - 1) };
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_dock, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL,
        32, 12, strut);
    const char wmClass[] = "gridlume-test-dock\0GridlumeTestDock";
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_dock, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
        sizeof wmClass, wmClass);
    xcb_map_window(m_connection, m_dock);
    xcb_flush(m_connection);
}

void X11TestDesktop::removeDock()
{
    xcb_destroy_window(m_connection, m_dock);
    xcb_flush(m_connection);
    m_dock = XCB_WINDOW_NONE;
}

std::unique_ptr<ChildProcess> X11TestDesktop::startClient(const QString& program, const QStringList& arguments)
{
    return std::make_unique<ChildProcess>(program, arguments, environment());
}

std::unique_ptr<ChildProcess> X11TestDesktop::startTestWindow(const QStringList& arguments)
{
    return startClient(QStringLiteral(GRIDLUME_TEST_WINDOW_PROGRAM), arguments);
}

bool X11TestDesktop::stopWindowManager() { return m_windowManager && m_windowManager->stop(); }

bool X11TestDesktop::resumeWindowManagerOnNextMessage(std::chrono::milliseconds timeout)
{
    if (!m_windowManager)
        return false;
    cancelResumer();
    xcb_connection_t* watcher = xcb_connect(m_displayName.constData(), nullptr);
    m_cancelResumer = ::eventfd(0, EFD_CLOEXEC);
    if (xcb_connection_has_error(watcher) || m_cancelResumer < 0) {
        xcb_disconnect(watcher);
        cancelResumer();
        return false;
    }
    // Client messages to the root window reach every client that selected substructure
    // notification on it. The selection holds once the server has answered a later request.
    const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(watcher, m_root, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(watcher, xcb_get_input_focus(watcher), nullptr));

    const pid_t windowManager = m_windowManager->pid();
    const int cancel = m_cancelResumer;
    m_resumer = std::thread([watcher, windowManager, cancel, timeout] {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        bool messageSent = false;
        bool cancelled = false;
        while (!messageSent) {
            while (Reply<xcb_generic_event_t> event { xcb_poll_for_event(watcher) })
                messageSent = messageSent || (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE;
            const auto remaining
                = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (messageSent || remaining.count() <= 0 || xcb_connection_has_error(watcher))
                break;
            pollfd descriptors[] = { { xcb_get_file_descriptor(watcher), POLLIN, 0 }, { cancel, POLLIN, 0 } };
            if (::poll(descriptors, 2, int(remaining.count())) > 0 && descriptors[1].revents) {
                cancelled = true;
                break;
            }
        }
        if (!cancelled)
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
    if (m_resumer.joinable()) {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_cancelResumer, &one, sizeof one);
        m_resumer.join();
    }
    if (m_cancelResumer >= 0) {
        ::close(m_cancelResumer);
        m_cancelResumer = -1;
    }
}

X11TestDesktop::ToolResult X11TestDesktop::run(const QString& program, const QStringList& arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : this->environment()) {
        const qsizetype equals = entry.indexOf(u'=');
        environment.insert(entry.left(equals), entry.mid(equals + 1));
    }
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished(3000);
        return {};
    }
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput() };
}

bool X11TestDesktop::mergeResources(const QByteArray& resources)
{
    QFile file(m_directory.filePath(QStringLiteral("resources")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(resources) != resources.size())
        return false;
    file.close();
    return run(QStringLiteral("xrdb"), { QStringLiteral("-merge"), file.fileName() }).exitCode == 0;
}

void X11TestDesktop::drainEvents()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
}

bool X11TestDesktop::waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        drainEvents();
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
        pollfd descriptor { xcb_get_file_descriptor(m_connection), POLLIN, 0 };
        ::poll(&descriptor, 1, int(remaining.count()));
    }
}

xcb_atom_t X11TestDesktop::atom(const char* name) const
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<xcb_window_t> X11TestDesktop::clientList() const
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection,
        xcb_get_property(m_connection, 0, m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 4096), nullptr));
    return values32(reply.get());
}

xcb_window_t X11TestDesktop::activeWindow() const
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection,
        xcb_get_property(m_connection, 0, m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1), nullptr));
    const std::vector<quint32> values = values32(reply.get());
    return values.empty() ? xcb_window_t(XCB_WINDOW_NONE) : values.front();
}

std::vector<xcb_atom_t> X11TestDesktop::windowStates(xcb_window_t window) const
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection,
        xcb_get_property(m_connection, 0, window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64), nullptr));
    return values32(reply.get());
}

bool X11TestDesktop::windowExists(xcb_window_t window) const
{
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), &error));
    std::free(error);
    return bool(reply);
}

void X11TestDesktop::watch(xcb_window_t window)
{
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

xcb_window_t X11TestDesktop::waitForClientWindow(pid_t pid, std::chrono::milliseconds timeout)
{
    const xcb_atom_t pidAtom = atom("_NET_WM_PID");
    xcb_window_t found = XCB_WINDOW_NONE;
    waitUntil(
        [&] {
            for (xcb_window_t window : clientList()) {
                Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection,
                    xcb_get_property(m_connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
                const std::vector<quint32> values = values32(reply.get());
                if (!values.empty() && pid_t(values.front()) == pid) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    if (found != XCB_WINDOW_NONE)
        watch(found);
    return found;
}

bool X11TestDesktop::activate(xcb_window_t window)
{
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2; // source: a pager, acting for the user
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
    return waitUntil([&] { return activeWindow() == window; });
}

bool X11TestDesktop::waitForEvent(
    const std::function<bool(const xcb_generic_event_t*)>& isDone, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        while (Reply<xcb_generic_event_t> event { xcb_poll_for_event(m_connection) }) {
            if (isDone(event.get()))
                return true;
        }
        const auto remaining
            = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (remaining.count() <= 0 || xcb_connection_has_error(m_connection))
            return false;
        pollfd descriptor { xcb_get_file_descriptor(m_connection), POLLIN, 0 };
        ::poll(&descriptor, 1, int(remaining.count()));
    }
}

bool X11TestDesktop::syncWithWindowManager(std::chrono::milliseconds timeout)
{
    const xcb_atom_t frameExtents = atom("_NET_FRAME_EXTENTS");
    const xcb_window_t probe = xcb_generate_id(m_connection);
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, probe, m_root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
        XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = probe;
    message.type = atom("_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
    const bool answered = waitForEvent(
        [&](const xcb_generic_event_t* event) {
            const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            return (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && property->window == probe
                && property->atom == frameExtents;
        },
        timeout);
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
        std::vector<quint32> values = values32(reply);
        if (values.size() != 4)
            values = { 0, 0, 0, 0 };
        return values;
    };
    const std::vector<quint32> frame = extents(frameReply.get());
    const std::vector<quint32> shadow = extents(shadowReply.get());
    return Rect(double(origin->dst_x) - frame[0] + shadow[0], double(origin->dst_y) - frame[2] + shadow[2],
        double(geometry->width) + frame[0] + frame[1] - shadow[0] - shadow[1],
        double(geometry->height) + frame[2] + frame[3] - shadow[2] - shadow[3]);
}

std::optional<Rect> X11TestDesktop::visibleFrameFromOutside(xcb_window_t window) const
{
    const QString id = QStringLiteral("0x%1").arg(window, 0, 16);
    const ToolResult info = run(QStringLiteral("xwininfo"), { QStringLiteral("-id"), id });
    if (info.exitCode != 0)
        return std::nullopt;
    auto field = [&](const char* name) -> std::optional<double> {
        const QRegularExpression pattern(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(name)));
        const QRegularExpressionMatch match = pattern.match(QString::fromLocal8Bit(info.output));
        if (!match.hasMatch())
            return std::nullopt;
        return match.captured(1).toDouble();
    };
    const auto x = field("Absolute upper-left X");
    const auto y = field("Absolute upper-left Y");
    const auto width = field("Width");
    const auto height = field("Height");
    if (!x || !y || !width || !height)
        return std::nullopt;
    auto extents = [&](const char* property) {
        std::vector<qint64> values
            = xpropNumbers(run(QStringLiteral("xprop"), { QStringLiteral("-id"), id, QLatin1String(property) }).output);
        if (values.size() != 4)
            values = { 0, 0, 0, 0 };
        return values;
    };
    const std::vector<qint64> frame = extents("_NET_FRAME_EXTENTS");
    const std::vector<qint64> shadow = extents("_GTK_FRAME_EXTENTS");
    return Rect(*x - frame[0] + shadow[0], *y - frame[2] + shadow[2], *width + frame[0] + frame[1] - shadow[0] - shadow[1],
        *height + frame[2] + frame[3] - shadow[2] - shadow[3]);
}

Size X11TestDesktop::resizeIncrementFromOutside(xcb_window_t window) const
{
    const QByteArray output = run(QStringLiteral("xprop"),
        { QStringLiteral("-id"), QStringLiteral("0x%1").arg(window, 0, 16), QStringLiteral("WM_NORMAL_HINTS") })
                                  .output;
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("resize increment: (\\d+) by (\\d+)")).match(QString::fromLocal8Bit(output));
    if (!match.hasMatch())
        return { 1, 1 };
    return { match.captured(1).toDouble(), match.captured(2).toDouble() };
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
