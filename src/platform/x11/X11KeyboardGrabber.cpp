#include "X11KeyboardGrabber.h"

#include "UniqueCPtr.h"
#include "X11Connection.h"
#include "X11KeyEventTranslator.h"

#include <QPointer>

namespace gridlume {

namespace {
    constexpr auto retryInterval = std::chrono::milliseconds(20);
    constexpr qint64 retryPeriodMs = 1000;

    const char* grabStatusName(quint8 status)
    {
        switch (status) {
        case XCB_GRAB_STATUS_ALREADY_GRABBED:
            return "another program holds it (AlreadyGrabbed)";
        case XCB_GRAB_STATUS_FROZEN:
            return "it is frozen by another program's grab (GrabFrozen)";
        case XCB_GRAB_STATUS_NOT_VIEWABLE:
            return "the root window is not viewable (GrabNotViewable)";
        case XCB_GRAB_STATUS_INVALID_TIME:
            return "the server refused the time (GrabInvalidTime)";
        default:
            return "the server did not answer";
        }
    }
} // namespace

X11KeyboardGrabber::X11KeyboardGrabber(X11Connection& connection, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_logger(logSink, QStringLiteral("X11"))
{
    m_retryTimer.setInterval(retryInterval);
    connect(&m_retryTimer, &QTimer::timeout, this, &X11KeyboardGrabber::tryGrab);
    m_connection.addEventListener(this);
}

X11KeyboardGrabber::~X11KeyboardGrabber()
{
    m_retryTimer.stop();
    ungrab();
    m_connection.removeEventListener(this);
}

Subscription X11KeyboardGrabber::grabKeyboard(std::function<void(const KeyEvent&)> handler)
{
    release();
    const quint64 generation = ++m_generation;
    m_handler = std::move(handler);
    m_retryClock.start();
    tryGrab();
    return Subscription([self = QPointer(this), generation] {
        if (self && self->m_generation == generation)
            self->release();
    });
}

void X11KeyboardGrabber::tryGrab()
{
    if (!m_handler || m_isGrabbed || !m_connection.isUsable())
        return;
    xcb_connection_t* c = m_connection.xcb();
    // owner_events false: every press comes to the root window on this connection, also one meant
    // for a Gridlume window; the panels handle the keyboard alike wherever the press was aimed.
    UniqueCPtr<xcb_grab_keyboard_reply_t> reply(xcb_grab_keyboard_reply(c,
        xcb_grab_keyboard(c, 0, m_connection.root(), XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    const quint8 status = reply ? reply->status : quint8(0xFF);
    if (status == XCB_GRAB_STATUS_SUCCESS) {
        m_isGrabbed = true;
        m_didReportFailure = false;
        m_retryTimer.stop();
        return;
    }
    const bool transient = status == XCB_GRAB_STATUS_ALREADY_GRABBED || status == XCB_GRAB_STATUS_FROZEN;
    if (transient && m_retryClock.elapsed() < retryPeriodMs) {
        if (!m_retryTimer.isActive())
            m_retryTimer.start();
        return;
    }
    m_retryTimer.stop();
    if (!std::exchange(m_didReportFailure, true))
        m_logger.error("Cannot take the keyboard for the tiling panels: %s; the panels take keys after a click",
            grabStatusName(status));
}

void X11KeyboardGrabber::release()
{
    m_retryTimer.stop();
    m_handler = nullptr;
    // Ungrabbed now, the release of the key that hid the panels (the shortcut, Escape, Return)
    // would go to the focused window, which never saw its press; the hot key platform, which did,
    // would take the shortcut's key for still held and its next press for a repeat.
    if (m_keysDown.isEmpty())
        ungrab();
}

void X11KeyboardGrabber::ungrab()
{
    m_keysDown.clear();
    if (!std::exchange(m_isGrabbed, false) || !m_connection.isUsable())
        return;
    xcb_ungrab_keyboard(m_connection.xcb(), XCB_CURRENT_TIME);
    xcb_flush(m_connection.xcb());
}

void X11KeyboardGrabber::handleEvent(const xcb_generic_event_t* event)
{
    const quint8 type = event->response_type & 0x7f;
    if (!m_isGrabbed || (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE))
        return;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (press->event != m_connection.root())
        return;
    if (type == XCB_KEY_RELEASE) {
        m_keysDown.remove(press->detail);
        if (!m_handler && m_keysDown.isEmpty())
            ungrab();
        return;
    }
    m_keysDown.insert(press->detail);
    if (!m_handler)
        return;
    const KeyEvent key = X11KeyEventTranslator::translate(press->detail, press->state);
    // Inside the event pump: the reaction runs from the event loop.
    QMetaObject::invokeMethod(
        this,
        [this, key, generation = m_generation] {
            if (m_isGrabbed && m_generation == generation && m_handler) {
                const auto handler = m_handler;
                handler(key);
            }
        },
        Qt::QueuedConnection);
}

} // namespace gridlume
