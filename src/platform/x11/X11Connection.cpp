#include "X11Connection.h"

#include "UniqueCPtr.h"
#include "X11EventListener.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace gridlume {

std::unique_ptr<X11Connection> X11Connection::open(const QByteArray& displayName, QString* errorMessage)
{
    const QByteArray shownName = displayName.isEmpty() ? qgetenv("DISPLAY") : displayName;
    auto fail = [&](const QString& reason) {
        if (errorMessage)
            *errorMessage = QStringLiteral("Gridlume needs an X11 display: %1").arg(reason);
        return nullptr;
    };
    if (shownName.isEmpty())
        return fail(QStringLiteral("DISPLAY is not set"));

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(shownName.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return fail(QStringLiteral("cannot open display \"%1\"").arg(QString::fromLocal8Bit(shownName)));
    }

    std::unique_ptr<X11Connection> result(new X11Connection(connection, shownName));
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return fail(QStringLiteral("display \"%1\" has no screen %2").arg(QString::fromLocal8Bit(shownName)).arg(screenNumber));
    result->m_root = screens.data->root;

    if (!result->m_atoms.intern(connection))
        return fail(QStringLiteral("the connection to \"%1\" broke").arg(QString::fromLocal8Bit(shownName)));

    // Root properties carry the client list, the active window, struts' work area; structure
    // events carry size changes of the root itself.
    const quint32 rootMask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, result->m_root, XCB_CW_EVENT_MASK, &rootMask);
    xcb_flush(connection);
    return result;
}

X11Connection::X11Connection(xcb_connection_t* connection, QByteArray displayName)
    : m_connection(connection)
    , m_displayName(std::move(displayName))
{
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11Connection::readAndDispatchEvents);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        m_aboutToBlockConnection = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            dispatchQueuedEvents();
            xcb_flush(m_connection);
        });
    }
}

X11Connection::~X11Connection()
{
    disconnect(m_aboutToBlockConnection);
    m_notifier.reset();
    xcb_disconnect(m_connection);
}

bool X11Connection::isUsable() const { return xcb_connection_has_error(m_connection) == 0; }

void X11Connection::addEventListener(X11EventListener* listener) { m_listeners.push_back(listener); }

void X11Connection::removeEventListener(X11EventListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void X11Connection::dispatch(const xcb_generic_event_t* event)
{
    // A window that is gone loses its selection with it; forget it, so that a later window
    // with the recycled id gets selected again.
    if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY)
        m_watchedWindows.remove(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window);
    if (event->response_type == 0) {
        const auto* error = reinterpret_cast<const xcb_generic_error_t*>(event);
        if (error->error_code == XCB_WINDOW)
            m_watchedWindows.remove(error->resource_id);
    }
    // A listener may remove itself (or another) while handling the event.
    const std::vector<X11EventListener*> listeners = m_listeners;
    for (X11EventListener* listener : listeners) {
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            listener->handleEvent(event);
    }
}

void X11Connection::dispatchQueuedEvents()
{
    while (UniqueCPtr<xcb_generic_event_t> event { xcb_poll_for_queued_event(m_connection) })
        dispatch(event.get());
}

void X11Connection::readAndDispatchEvents()
{
    while (UniqueCPtr<xcb_generic_event_t> event { xcb_poll_for_event(m_connection) })
        dispatch(event.get());
    if (!isUsable())
        m_notifier->setEnabled(false);
}

bool X11Connection::waitForEvent(
    const std::function<bool(const xcb_generic_event_t*)>& isDone, std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + timeout;
    xcb_flush(m_connection);
    for (;;) {
        while (UniqueCPtr<xcb_generic_event_t> event { xcb_poll_for_event(m_connection) }) {
            dispatch(event.get());
            if (isDone(event.get()))
                return true;
        }
        if (!isUsable())
            return false;
        const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (remaining.count() <= 0)
            return false;
        pollfd descriptor { xcb_get_file_descriptor(m_connection), POLLIN, 0 };
        if (::poll(&descriptor, 1, int(remaining.count())) < 0 && errno != EINTR)
            return false;
    }
}

void X11Connection::watchClientWindow(xcb_window_t window)
{
    if (window == XCB_WINDOW_NONE || m_watchedWindows.contains(window))
        return;
    m_watchedWindows.insert(window);
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
}

std::vector<quint32> X11Connection::values32(const xcb_get_property_reply_t* reply)
{
    if (!reply || reply->format != 32)
        return {};
    const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / 4;
    return std::vector<quint32>(data, data + count);
}

} // namespace gridlume
