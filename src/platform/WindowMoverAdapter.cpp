#include "WindowMoverAdapter.h"

#include <cmath>

namespace gridlume {

namespace {

    AXError axError(WindowFailure failure)
    {
        switch (failure) {
        case WindowFailure::NoWindow:
            return AXError::NoValue;
        case WindowFailure::Gone:
            return AXError::InvalidUIElement;
        case WindowFailure::NoAnswer:
            return AXError::CannotComplete;
        case WindowFailure::Refused:
            break;
        }
        return AXError::Failure;
    }

    class ApplicationElement final : public AXUIElement {
    public:
        explicit ApplicationElement(pid_t pid)
            : pid(pid)
        {
        }
        const pid_t pid;
    };

} // namespace

// What the adapter and its window elements share: an element released after the adapter finds
// it gone and sends nothing.
class WindowMoverAdapter::State {
public:
    State(WindowMover& mover, LogSink& logSink, const QString& category)
        : mover(mover)
        , logger(logSink, category)
    {
        forgetTimer.setSingleShot(true);
        forgetTimer.setInterval(0);
        QObject::connect(&forgetTimer, &QTimer::timeout, [this] {
            known.reset();
            requested.reset();
        });
    }

    // The window's frame: the one last answered in this turn of the event loop, or the desktop's.
    AXError readFrame(const WindowId& window, Rect& frame)
    {
        if (AXError error = flush(); error != AXError::Success)
            return error;
        if (known && known->window == window) {
            frame = known->frame;
            return AXError::Success;
        }
        const FrameAnswer answer = mover.frame(window);
        if (!answer.ok())
            return failure(*answer.failure, "Reading the frame", window);
        remember(window, answer.frame);
        frame = answer.frame;
        return AXError::Success;
    }

    AXError write(const WindowId& window, std::optional<Point> position, std::optional<Size> size)
    {
        if (pending && pending->window != window) {
            if (AXError error = flush(); error != AXError::Success)
                return error;
        }
        // The size written again after the position asks nothing the request did not.
        if (!pending && requested && requested->window == window
            && (position ? *position == requested->frame.origin : *size == requested->frame.size))
            return AXError::Success;
        if (!pending)
            pending = Pending { window, {}, {} };
        if (position)
            pending->position = position;
        if (size)
            pending->size = size;
        if (pending->position && pending->size)
            return flush();
        return AXError::Success;
    }

    // Sends the gathered writes as one frame request.
    AXError flush()
    {
        if (!pending)
            return AXError::Success;
        const Pending writes = *pending;
        pending.reset();
        const char* what = writes.position ? "Moving" : "Resizing";
        Rect frame;
        if (!writes.position || !writes.size) {
            if (AXError error = readFrame(writes.window, frame); error != AXError::Success)
                return error;
        }
        if (writes.position)
            frame.origin = *writes.position;
        if (writes.size)
            frame.size = *writes.size;
        known.reset();
        requested = Known { writes.window, frame };
        forgetTimer.start();
        const FrameAnswer answer = mover.setFrame(writes.window, frame);
        if (!answer.ok())
            return failure(*answer.failure, what, writes.window);
        if (!answer.settled)
            logger.info("%s window %s: not settled in time; it keeps %gx%g", what, qUtf8Printable(writes.window),
                answer.frame.width(), answer.frame.height());
        remember(writes.window, answer.frame);
        return AXError::Success;
    }

    AXError failure(WindowFailure kind, const char* what, const WindowId& window) const
    {
        const AXError error = axError(kind);
        logger.error("%s of window %s failed: %s", what, qUtf8Printable(window), qUtf8Printable(axErrorName(error)));
        return error;
    }

    void remember(const WindowId& window, const Rect& frame)
    {
        known = Known { window, frame };
        forgetTimer.start();
    }

    WindowMover& mover;
    Logger logger;
    struct Pending {
        WindowId window;
        std::optional<Point> position;
        std::optional<Size> size;
    };
    std::optional<Pending> pending;
    struct Known {
        WindowId window;
        Rect frame;
    };
    std::optional<Known> known;
    // The frame last asked for, in this turn of the event loop.
    std::optional<Known> requested;
    QTimer forgetTimer;
};

namespace {

    class WindowElement final : public AXUIElement {
    public:
        WindowElement(WindowId window, std::weak_ptr<WindowMoverAdapter::State> state)
            : window(std::move(window))
            , m_state(std::move(state))
        {
        }
        // Its writes are carried out once the last reference to it goes.
        ~WindowElement() override
        {
            if (const auto state = m_state.lock(); state && state->pending && state->pending->window == window)
                state->flush();
        }
        const WindowId window;

    private:
        std::weak_ptr<WindowMoverAdapter::State> m_state;
    };

} // namespace

WindowMoverAdapter::WindowMoverAdapter(WindowMover& mover, LogSink& logSink, const QString& category)
    : m_state(std::make_shared<State>(mover, logSink, category))
{
}

WindowMoverAdapter::~WindowMoverAdapter() { m_state->flush(); }

AXUIElementRef WindowMoverAdapter::createApplication(pid_t pid) { return std::make_shared<ApplicationElement>(pid); }

std::shared_ptr<const AXValue> WindowMoverAdapter::createPointValue(Point point)
{
    if (!std::isfinite(point.x) || !std::isfinite(point.y))
        return nullptr;
    return std::make_shared<AXValue>(point);
}

std::shared_ptr<const AXValue> WindowMoverAdapter::createSizeValue(Size size)
{
    if (!std::isfinite(size.width) || !std::isfinite(size.height))
        return nullptr;
    return std::make_shared<AXValue>(size);
}

AXError WindowMoverAdapter::copyAttributeValue(const AXUIElementRef& element, const QString& attribute, AXObjectRef& value)
{
    value.reset();
    if (!element)
        return AXError::IllegalArgument;
    if (const auto* application = dynamic_cast<const ApplicationElement*>(element.get())) {
        if (attribute != kAXFocusedWindowAttribute)
            return AXError::AttributeUnsupported;
        if (AXError error = m_state->flush(); error != AXError::Success)
            return error;
        const FocusedWindowAnswer answer = m_state->mover.focusedWindow(application->pid);
        if (answer.failure)
            return axError(*answer.failure);
        if (answer.window.isEmpty())
            return AXError::NoValue;
        value = std::make_shared<WindowElement>(answer.window, m_state);
        return AXError::Success;
    }
    const auto* window = dynamic_cast<const WindowElement*>(element.get());
    if (!window)
        return AXError::IllegalArgument;
    if (attribute != kAXPositionAttribute && attribute != kAXSizeAttribute)
        return AXError::AttributeUnsupported;
    Rect frame;
    if (AXError error = m_state->readFrame(window->window, frame); error != AXError::Success)
        return error;
    if (attribute == kAXPositionAttribute)
        value = std::make_shared<AXValue>(frame.origin);
    else
        value = std::make_shared<AXValue>(frame.size);
    return AXError::Success;
}

AXError WindowMoverAdapter::setAttributeValue(const AXUIElementRef& element, const QString& attribute, const AXObjectRef& value)
{
    if (!element)
        return AXError::IllegalArgument;
    if (dynamic_cast<const ApplicationElement*>(element.get()))
        return AXError::AttributeUnsupported;
    const auto* window = dynamic_cast<const WindowElement*>(element.get());
    if (!window)
        return AXError::IllegalArgument;
    return writeFrameAttribute(attribute, value, [this, window](std::optional<Point> position, std::optional<Size> size) {
        return m_state->write(window->window, position, size);
    });
}

} // namespace gridlume
