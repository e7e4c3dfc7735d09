#include "X11WindowMover.h"

#include "UniqueCPtr.h"
#include "X11Connection.h"
#include "X11ProcessLookup.h"
#include "X11ScreenProvider.h"
#include "X11WindowManagerBarrier.h"

#include <algorithm>
#include <cmath>

namespace gridlume {

using x11::RootRect;

namespace {

    // _NET_MOVERESIZE_WINDOW's first item: "bits 0-7: gravity, bits 8-11: x, y, width, height
    // present, bits 12-15: source indication". Static gravity makes x and y the client window's
    // own position; source 2 is "direct user action" (a pager), which window managers honour
    // without the restrictions they apply to applications moving themselves.
    constexpr quint32 kMoveResizeFlags = XCB_GRAVITY_STATIC | (0xF << 8) | (2 << 12);

    // _NET_WM_STATE's first item.
    constexpr quint32 kStateRemove = 0;
    constexpr quint32 kSourcePager = 2;

    bool isWindowGone(const xcb_generic_error_t* error)
    {
        return error && (error->error_code == XCB_WINDOW || error->error_code == XCB_DRAWABLE);
    }

    // Whether `event` shows that `window` is gone: its DestroyNotify, or the error of a request
    // made on it.
    bool isDestructionOf(const xcb_generic_event_t* event, xcb_window_t window)
    {
        const quint8 type = event->response_type & 0x7f;
        if (type == 0) {
            const auto* error = reinterpret_cast<const xcb_generic_error_t*>(event);
            return isWindowGone(error) && error->resource_id == window;
        }
        return type == XCB_DESTROY_NOTIFY
            && reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == window;
    }

    std::optional<xcb_window_t> windowNumber(const WindowId& window)
    {
        bool ok = false;
        const quint32 number = window.toUInt(&ok);
        if (!ok || number == XCB_WINDOW_NONE)
            return std::nullopt;
        return number;
    }

} // namespace

X11WindowMover::X11WindowMover(
    X11Connection& connection, X11ProcessLookup& processLookup, X11ScreenProvider& screens, LogSink& logSink)
    : m_connection(connection)
    , m_processLookup(processLookup)
    , m_screens(screens)
    , m_logger(logSink, QStringLiteral("X11"))
{
    connection.addEventListener(this);
    probeBarriers();
}

X11WindowMover::~X11WindowMover() { m_connection.removeEventListener(this); }

void X11WindowMover::handleEvent(const xcb_generic_event_t* event)
{
    if (m_barrierProbe && m_barrierProbe->isAnswer(event)) {
        m_windowManagerAnswersBarriers = true;
        m_barrierProbe.reset();
    }
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_PROPERTY_NOTIFY)
        return;
    const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    // A new window manager may support a different set of hints.
    if (property->window == m_connection.root()
        && (property->atom == m_connection.atoms()._NET_SUPPORTED
            || property->atom == m_connection.atoms()._NET_SUPPORTING_WM_CHECK)) {
        m_supportedHints.reset();
        m_windowManagerAnswersBarriers.reset();
        probeBarriers();
    }
}

FrameAnswer X11WindowMover::failure(Status status, const char* what, xcb_window_t window) const
{
    static constexpr const char* names[] = { "done", "the window is gone", "no answer", "failed" };
    m_logger.error("%s of window 0x%x failed: %s", what, window, names[int(status)]);
    switch (status) {
    case Status::Gone:
        return { {}, WindowFailure::Gone };
    case Status::NoAnswer:
        return { {}, WindowFailure::NoAnswer };
    case Status::Done:
    case Status::Failed:
        break;
    }
    return { {}, WindowFailure::Refused };
}

FrameAnswer X11WindowMover::answer(const WindowState& state, bool settled) const
{
    const RootRect visible = state.visibleFrame();
    const RootRect primary = m_screens.primaryMonitor();
    return { Rect(double(visible.x - primary.x), double(visible.y - primary.y), double(visible.width), double(visible.height)),
        std::nullopt, settled };
}

FocusedWindowAnswer X11WindowMover::focusedWindow(pid_t pid)
{
    xcb_connection_t* c = m_connection.xcb();
    const X11Atoms& atoms = m_connection.atoms();
    auto activeCookie = xcb_get_property(c, 0, m_connection.root(), atoms._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 0, 1);
    auto stackingCookie
        = xcb_get_property(c, 0, m_connection.root(), atoms._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW, 0, 65536);
    UniqueCPtr<xcb_get_property_reply_t> active(xcb_get_property_reply(c, activeCookie, nullptr));
    UniqueCPtr<xcb_get_property_reply_t> stacking(xcb_get_property_reply(c, stackingCookie, nullptr));
    if (!m_connection.isUsable())
        return { {}, WindowFailure::NoAnswer };

    // The active window when it is the application's; else its topmost window ("bottom-to-top
    // stacking order").
    std::vector<xcb_window_t> candidates;
    for (quint32 window : X11Connection::values32(active.get())) {
        if (window != XCB_WINDOW_NONE)
            candidates.push_back(window);
    }
    const std::vector<quint32> stacked = X11Connection::values32(stacking.get());
    for (auto it = stacked.rbegin(); it != stacked.rend(); ++it) {
        if (std::find(candidates.begin(), candidates.end(), *it) == candidates.end())
            candidates.push_back(*it);
    }
    const std::vector<pid_t> pids = m_processLookup.processIdentifiers(candidates);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (pids[i] == pid)
            return { QString::number(candidates[i]), std::nullopt };
    }
    return { {}, WindowFailure::NoWindow };
}

X11WindowMover::Status X11WindowMover::readWindowState(xcb_window_t window, WindowState& state)
{
    xcb_connection_t* c = m_connection.xcb();
    const X11Atoms& atoms = m_connection.atoms();
    auto geometryCookie = xcb_get_geometry(c, window);
    auto originCookie = xcb_translate_coordinates(c, window, m_connection.root(), 0, 0);
    auto decorationCookie = xcb_get_property(c, 0, window, atoms._NET_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 0, 4);
    auto shadowCookie = xcb_get_property(c, 0, window, atoms._GTK_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 0, 4);
    auto stateCookie = xcb_get_property(c, 0, window, atoms._NET_WM_STATE, XCB_ATOM_ATOM, 0, 64);

    xcb_generic_error_t* rawError = nullptr;
    UniqueCPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, &rawError));
    UniqueCPtr<xcb_generic_error_t> geometryError(rawError);
    rawError = nullptr;
    UniqueCPtr<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(c, originCookie, &rawError));
    UniqueCPtr<xcb_generic_error_t> originError(rawError);
    UniqueCPtr<xcb_get_property_reply_t> decoration(xcb_get_property_reply(c, decorationCookie, nullptr));
    UniqueCPtr<xcb_get_property_reply_t> shadow(xcb_get_property_reply(c, shadowCookie, nullptr));
    UniqueCPtr<xcb_get_property_reply_t> states(xcb_get_property_reply(c, stateCookie, nullptr));

    if (isWindowGone(geometryError.get()) || isWindowGone(originError.get()))
        return Status::Gone;
    if (!geometry || !origin)
        return m_connection.isUsable() ? Status::Failed : Status::NoAnswer;

    state.client = RootRect { origin->dst_x, origin->dst_y, geometry->width, geometry->height };
    state.decoration = x11::parseFrameExtents(X11Connection::values32(decoration.get()));
    state.shadow = x11::parseFrameExtents(X11Connection::values32(shadow.get()));
    state.states = X11Connection::values32(states.get());
    return Status::Done;
}

FrameAnswer X11WindowMover::frame(const WindowId& id)
{
    const std::optional<xcb_window_t> window = windowNumber(id);
    if (!window)
        return { {}, WindowFailure::Gone };
    if (!m_connection.isUsable())
        return { {}, WindowFailure::NoAnswer };
    WindowState state;
    if (const Status status = readWindowState(*window, state); status != Status::Done)
        return failure(status, "Reading the frame", *window);
    return answer(state);
}

FrameAnswer X11WindowMover::setFrame(const WindowId& id, const Rect& frame)
{
    const std::optional<xcb_window_t> number = windowNumber(id);
    if (!number)
        return { {}, WindowFailure::Gone };
    const xcb_window_t window = *number;
    const char* what = "Moving";
    if (!m_connection.isUsable())
        return { {}, WindowFailure::NoAnswer };

    // A window manager that answers barriers may still be carrying out an earlier request, such
    // as a maximize the user asked for right before the shortcut; the window is checked for it
    // once the request has settled. Without barriers the first ConfigureNotify is taken for the
    // answer, so the request starts once the window manager has handled everything else.
    if (!answersBarriers()) {
        if (const Status status = waitForWindowManager(XCB_WINDOW_NONE); status != Status::Done)
            return failure(status, what, window);
    }
    WindowState state;
    if (const Status status = readWindowState(window, state); status != Status::Done)
        return failure(status, what, window);
    // The round trip above brought in every event the server sent before it, among them the
    // destruction of an earlier window with the same (recycled) id; they are handled before this
    // window is watched and its answers are waited for.
    m_connection.dispatchQueuedEvents();
    m_connection.watchClientWindow(window);
    if (hasMaximizedState(state.states)) {
        // This must be carried out before anything is built on the restored frame.
        if (const Status status = clearMaximizedState(window, state); status != Status::Done)
            return failure(status, what, window);
        // Decorations of maximized windows often differ (no side borders); read them afresh.
        if (const Status status = readWindowState(window, state); status != Status::Done)
            return failure(status, what, window);
    }

    // The one conversion of a placement on X11: edges rounded to root pixels, from the primary
    // monitor's corner, less the decoration and plus the shadow for the client window.
    const RootRect primary = m_screens.primaryMonitor();
    const qint64 left = std::llround(frame.minX());
    const qint64 top = std::llround(frame.minY());
    const RootRect visible { primary.x + left, primary.y + top, std::llround(frame.maxX()) - left,
        std::llround(frame.maxY()) - top };
    RootRect target = x11::clientOfVisibleFrame(visible, state.decoration, state.shadow);
    target.width = std::clamp<qint64>(target.width, 1, 0x7FFF);
    target.height = std::clamp<qint64>(target.height, 1, 0x7FFF);
    // An unchanged geometry produces no event to wait for.
    if (target == state.client)
        return answer(state);

    // Whatever the server sent before the request belongs to earlier changes.
    m_connection.dispatchQueuedEvents();
    sendFrame(window, target);

    if (!answersBarriers()) {
        // The first ConfigureNotify of the window settles it (ICCCM 4.1.5: "the client will
        // receive a synthetic ConfigureNotify" when the window manager moves it, a real one when
        // it resizes it); without a window manager, the server configures the window itself.
        bool gone = false;
        const bool answered = m_connection.waitForEvent(
            [&](const xcb_generic_event_t* event) {
                if (isDestructionOf(event, window))
                    return gone = true;
                return (event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY
                    && reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window == window;
            },
            configureDeadline);
        if (gone)
            return failure(Status::Gone, what, window);
        if (!m_connection.isUsable())
            return failure(Status::NoAnswer, what, window);
        if (!answered)
            m_logger.info("%s window 0x%x: no ConfigureNotify within %lld ms", what, window,
                static_cast<long long>(configureDeadline.count()));
        if (const Status status = readWindowState(window, state); status != Status::Done)
            return failure(status, what, window);
        return answer(state);
    }

    // A window manager answers a resize with a real ConfigureNotify, a mere move with a synthetic
    // one, and a request it grants nothing of (a size between two size increments) with nothing
    // at all; the answer to a barrier sent after the request settles every case.
    if (const Status status = waitForWindowManager(window, target); status != Status::Done)
        return failure(status, what, window);
    if (const Status status = readWindowState(window, state); status != Status::Done)
        return failure(status, what, window);
    // A maximize asked for right before the request (the user maximized and pressed the shortcut
    // at once) may have been carried out after the frame was read and before the request, which
    // the window manager then ignored (Openbox ignores moves of maximized windows): the window
    // leaves that state and gets the frame again.
    if (hasMaximizedState(state.states)) {
        if (const Status status = clearMaximizedState(window, state); status != Status::Done)
            return failure(status, what, window);
        m_connection.dispatchQueuedEvents();
        sendFrame(window, target);
        if (const Status status = waitForWindowManager(window); status != Status::Done)
            return failure(status, what, window);
        if (const Status status = readWindowState(window, state); status != Status::Done)
            return failure(status, what, window);
    }
    return answer(state);
}

bool X11WindowMover::hasMaximizedState(const std::vector<quint32>& states) const
{
    const X11Atoms& atoms = m_connection.atoms();
    return std::any_of(states.begin(), states.end(), [&](quint32 atom) {
        return atom == atoms._NET_WM_STATE_MAXIMIZED_VERT || atom == atoms._NET_WM_STATE_MAXIMIZED_HORZ
            || atom == atoms._NET_WM_STATE_FULLSCREEN;
    });
}

bool X11WindowMover::windowManagerSupports(xcb_atom_t hint)
{
    if (!m_supportedHints) {
        xcb_connection_t* c = m_connection.xcb();
        UniqueCPtr<xcb_get_property_reply_t> supported(xcb_get_property_reply(c,
            xcb_get_property(c, 0, m_connection.root(), m_connection.atoms()._NET_SUPPORTED, XCB_ATOM_ATOM, 0, 4096),
            nullptr));
        m_supportedHints = X11Connection::values32(supported.get());
    }
    return std::find(m_supportedHints->begin(), m_supportedHints->end(), hint) != m_supportedHints->end();
}

void X11WindowMover::probeBarriers()
{
    // Learnt on the first request that waits for it instead, a window manager that lists
    // _NET_REQUEST_FRAME_EXTENTS and answers no barrier (Fluxbox) held that write, and the event
    // loop, for the whole deadline: the user's first click on a tile seemed to do nothing. Sent
    // once the window manager has taken the root's substructure, which it does before it writes
    // the properties that announce it.
    m_barrierProbe = std::make_unique<X11WindowManagerBarrier>(m_connection);
    m_barrierProbeClock.start();
    xcb_flush(m_connection.xcb());
}

bool X11WindowMover::answersBarriers()
{
    // A late answer to the probe still counts.
    if (!m_windowManagerAnswersBarriers && m_barrierProbe && m_barrierProbeClock.elapsed() >= answerDeadline.count()) {
        m_windowManagerAnswersBarriers = false;
        m_logger.info(
            "The window manager does not answer _NET_REQUEST_FRAME_EXTENTS; requests settle on ConfigureNotify");
    }
    return m_windowManagerAnswersBarriers.value_or(true)
        && windowManagerSupports(m_connection.atoms()._NET_REQUEST_FRAME_EXTENTS);
}

X11WindowMover::Status X11WindowMover::waitForWindowManager(xcb_window_t window, const std::optional<RootRect>& expectedClient)
{
    if (!answersBarriers())
        return m_connection.isUsable() ? Status::Done : Status::NoAnswer;
    const X11WindowManagerBarrier barrier(m_connection);
    bool gone = false;
    bool configured = false;
    const bool answered = m_connection.waitForEvent(
        [&](const xcb_generic_event_t* event) {
            if (window != XCB_WINDOW_NONE && isDestructionOf(event, window))
                return gone = true;
            // "A client will receive a synthetic ConfigureNotify event following the change that
            // describes the new geometry of the window. The event's (x,y) coordinates will be in
            // the root coordinate space" (ICCCM 4.1.5, for a move): one with the frame asked for
            // shows the window manager done with the writes, and its answer to the barrier need
            // not be waited for as well.
            if (expectedClient && (event->response_type & 0x80)
                && (event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY) {
                const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
                if (configure->window == window && configure->x == expectedClient->x
                    && configure->y == expectedClient->y && configure->width == expectedClient->width
                    && configure->height == expectedClient->height)
                    return configured = true;
            }
            return barrier.isAnswer(event);
        },
        answerDeadline);
    if (gone)
        return Status::Gone;
    if (!m_connection.isUsable())
        return Status::NoAnswer;
    if (configured)
        return Status::Done;
    if (!m_windowManagerAnswersBarriers) {
        m_windowManagerAnswersBarriers = answered;
        if (!answered)
            m_logger.info(
                "The window manager does not answer _NET_REQUEST_FRAME_EXTENTS; requests settle on ConfigureNotify");
    } else if (!answered) {
        m_logger.info(
            "The window manager did not answer within %lld ms", static_cast<long long>(answerDeadline.count()));
    }
    return Status::Done;
}

void X11WindowMover::sendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<quint32, 5>& data)
{
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    // "the Window Manager MUST then ... as if they were sent with SubstructureRedirectMask |
    // SubstructureNotifyMask to the root window" (EWMH, client messages).
    xcb_send_event(m_connection.xcb(), 0, m_connection.root(),
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, reinterpret_cast<const char*>(&message));
}

X11WindowMover::Status X11WindowMover::clearMaximizedState(xcb_window_t window, const WindowState& state)
{
    const X11Atoms& atoms = m_connection.atoms();
    // A window manager ignores moves of a maximized or full-screen window (Openbox silently),
    // so the window leaves those states first.
    sendToRoot(window, atoms._NET_WM_STATE,
        { kStateRemove, atoms._NET_WM_STATE_MAXIMIZED_VERT, atoms._NET_WM_STATE_MAXIMIZED_HORZ, kSourcePager, 0 });
    const bool fullscreen = std::find(state.states.begin(), state.states.end(), atoms._NET_WM_STATE_FULLSCREEN)
        != state.states.end();
    if (fullscreen)
        sendToRoot(window, atoms._NET_WM_STATE, { kStateRemove, atoms._NET_WM_STATE_FULLSCREEN, 0, kSourcePager, 0 });

    // Done when the barrier's answer comes, after the restored geometry and decoration, or once
    // the state is cleared and the restored geometry has arrived, whichever is first: Fluxbox
    // lists _NET_REQUEST_FRAME_EXTENTS but answers no barrier, and until that is known, waiting
    // for the answer alone held the first placement of a maximized or fullscreen window for the
    // whole deadline. Window managers (Openbox) may write the new state before they configure the
    // window, and first configure it at its maximized size once more for the restored decoration.
    std::optional<X11WindowManagerBarrier> barrier;
    if (answersBarriers())
        barrier.emplace(m_connection);
    bool gone = false;
    bool answered = false;
    bool cleared = false;
    bool configured = false;
    bool decorated = false;
    xcb_connection_t* c = m_connection.xcb();
    m_connection.waitForEvent(
        [&](const xcb_generic_event_t* event) {
            if (isDestructionOf(event, window))
                return gone = true;
            const quint8 type = event->response_type & 0x7f;
            if (type == XCB_CONFIGURE_NOTIFY) {
                const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
                if (configure->window == window
                    && (configure->width != state.client.width || configure->height != state.client.height))
                    configured = true;
            }
            if (type == XCB_PROPERTY_NOTIFY) {
                const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
                decorated = decorated || (property->window == window && property->atom == atoms._NET_FRAME_EXTENTS);
                if (property->window == window && property->atom == atoms._NET_WM_STATE) {
                    UniqueCPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
                        c, xcb_get_property(c, 0, window, atoms._NET_WM_STATE, XCB_ATOM_ATOM, 0, 64), nullptr));
                    cleared = !hasMaximizedState(X11Connection::values32(reply.get()));
                }
            }
            if (barrier && barrier->isAnswer(event))
                return answered = true;
            return cleared && configured;
        },
        barrier ? answerDeadline : configureDeadline);
    if (answered)
        m_windowManagerAnswersBarriers = true;
    // A fullscreen window gets its decoration back. Metacity writes it (_NET_FRAME_EXTENTS) a
    // moment after the restored state and geometry, and after its answer to a barrier, when the
    // window has just lost the focus to a panel: built on the fullscreen window's frame, the block
    // came out the decoration's height too tall. An undecorated window gets none, and waits here
    // for nothing.
    if (fullscreen && !gone && !decorated) {
        const auto frameCookie = xcb_get_property(c, 0, window, atoms._NET_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 0, 4);
        const UniqueCPtr<xcb_get_property_reply_t> frame(xcb_get_property_reply(c, frameCookie, nullptr));
        if (x11::parseFrameExtents(X11Connection::values32(frame.get())) == state.decoration) {
            m_connection.waitForEvent(
                [&](const xcb_generic_event_t* event) {
                    if (isDestructionOf(event, window))
                        return gone = true;
                    const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
                    return (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && property->window == window
                        && property->atom == atoms._NET_FRAME_EXTENTS;
                },
                configureDeadline);
        }
    }
    if (gone)
        return Status::Gone;
    return m_connection.isUsable() ? Status::Done : Status::NoAnswer;
}

void X11WindowMover::sendFrame(xcb_window_t window, const RootRect& client)
{
    if (windowManagerSupports(m_connection.atoms()._NET_MOVERESIZE_WINDOW)) {
        sendToRoot(window, m_connection.atoms()._NET_MOVERESIZE_WINDOW,
            { kMoveResizeFlags, quint32(qint32(client.x)), quint32(qint32(client.y)), quint32(client.width),
                quint32(client.height) });
    } else {
        // The window manager, if any, gets this as a ConfigureRequest, in order with its client
        // messages.
        const quint32 values[] = { quint32(qint32(client.x)), quint32(qint32(client.y)), quint32(client.width),
            quint32(client.height) };
        xcb_configure_window(m_connection.xcb(), window,
            XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
    }
}

} // namespace gridlume
