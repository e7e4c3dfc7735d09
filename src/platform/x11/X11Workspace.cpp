#include "X11Workspace.h"

#include "platform/linux/ProcessExitWatcher.h"
#include "UniqueCPtr.h"
#include "X11ApplicationResolver.h"
#include "X11Connection.h"

#include <QPointer>

#include <unistd.h>

namespace gridlume {

X11Workspace::X11Workspace(X11Connection& connection, X11ApplicationResolver& resolver, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_resolver(resolver)
    , m_logger(logSink, QStringLiteral("X11"))
{
    // The property change is read once the event loop is free again, so that observers never
    // run inside a platform call that happened to read the event.
    m_activationTimer.setSingleShot(true);
    m_activationTimer.setInterval(0);
    connect(&m_activationTimer, &QTimer::timeout, this, &X11Workspace::reportActivation);
    connection.addEventListener(this);
}

X11Workspace::~X11Workspace() { m_connection.removeEventListener(this); }

pid_t X11Workspace::currentProcessIdentifier() const { return ::getpid(); }

void X11Workspace::handleEvent(const xcb_generic_event_t* event)
{
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return;
    const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (property->window == m_connection.root() && property->atom == m_connection.atoms()._NET_ACTIVE_WINDOW
        && !m_activationTimer.isActive())
        m_activationTimer.start();
}

xcb_window_t X11Workspace::activeWindow() const
{
    xcb_connection_t* c = m_connection.xcb();
    UniqueCPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(c,
        xcb_get_property(c, 0, m_connection.root(), m_connection.atoms()._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    const std::vector<quint32> values = X11Connection::values32(reply.get());
    return values.empty() ? xcb_window_t(XCB_WINDOW_NONE) : values.front();
}

std::optional<RunningApplication> X11Workspace::frontmostApplication() const
{
    if (!m_connection.isUsable())
        return std::nullopt;
    std::optional<RunningApplication> application = m_resolver.applicationOfWindow(activeWindow());
    if (application)
        m_observers.watchForExit(*application);
    return application;
}

void X11Workspace::reportActivation()
{
    if (!m_connection.isUsable())
        return;
    const std::optional<RunningApplication> application = m_resolver.applicationOfWindow(activeWindow());
    if (!application || application->processIdentifier() == currentProcessIdentifier())
        return;
    m_observers.watchForExit(*application);
    m_observers.notify(WorkspaceNotification::DidActivateApplication, *application);
}

Subscription X11Workspace::addObserver(
    WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block)
{
    return m_observers.add(name, std::move(block));
}

} // namespace gridlume
