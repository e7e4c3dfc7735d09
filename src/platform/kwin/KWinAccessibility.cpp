#include "KWinAccessibility.h"

#include "KWinApplicationElement.h"
#include "KWinScreenProvider.h"
#include "KWinScriptChannel.h"
#include "KWinWindowElement.h"

#include <cmath>

namespace gridlume {

namespace {

    const QString kOp = QStringLiteral("op");
    const QString kWindow = QStringLiteral("window");

    QRectF rectOf(const QJsonValue& value)
    {
        const QJsonObject object = value.toObject();
        return QRectF(object.value(QStringLiteral("x")).toDouble(), object.value(QStringLiteral("y")).toDouble(),
            object.value(QStringLiteral("width")).toDouble(), object.value(QStringLiteral("height")).toDouble());
    }

} // namespace

KWinAccessibility::KWinAccessibility(KWinScriptChannel& channel, KWinScreenProvider& screens, LogSink& logSink)
    : m_channel(channel)
    , m_screens(screens)
    , m_logger(logSink, QStringLiteral("KWin"))
{
    m_forgetTimer.setSingleShot(true);
    m_forgetTimer.setInterval(0);
    QObject::connect(&m_forgetTimer, &QTimer::timeout, [this] { m_knownFrame.reset(); });
}

void KWinAccessibility::remember(const QString& window, const QRectF& frame)
{
    m_knownFrame = KnownFrame { window, frame };
    m_forgetTimer.start();
}

AXUIElementRef KWinAccessibility::createApplication(pid_t pid)
{
    return std::make_shared<KWinApplicationElement>(pid);
}

std::shared_ptr<const AXValue> KWinAccessibility::createPointValue(Point point)
{
    return std::make_shared<AXValue>(point);
}

std::shared_ptr<const AXValue> KWinAccessibility::createSizeValue(Size size)
{
    return std::make_shared<AXValue>(size);
}

AXError KWinAccessibility::failure(AXError error, const char* what, const QString& window) const
{
    m_logger.error("%s of window %s failed: %s", what, qUtf8Printable(window), qUtf8Printable(axErrorName(error)));
    return error;
}

AXError KWinAccessibility::copyAttributeValue(
    const AXUIElementRef& element, const QString& attribute, AXObjectRef& value)
{
    value.reset();
    if (!element)
        return AXError::IllegalArgument;
    if (const auto* application = dynamic_cast<const KWinApplicationElement*>(element.get())) {
        // KWin has no enhanced user interface to switch off.
        if (attribute != kAXFocusedWindowAttribute)
            return AXError::AttributeUnsupported;
        const auto answer = m_channel.request(
            { { kOp, QStringLiteral("focusedWindow") }, { QStringLiteral("pid"), application->processIdentifier() } },
            KWinScriptChannel::answerDeadline);
        if (!answer)
            return AXError::CannotComplete;
        const QString window = answer->value(QStringLiteral("focused")).toObject().value(kWindow).toString();
        if (window.isEmpty())
            return AXError::NoValue;
        value = std::make_shared<KWinWindowElement>(window);
        return AXError::Success;
    }
    const auto* window = dynamic_cast<const KWinWindowElement*>(element.get());
    if (!window)
        return AXError::IllegalArgument;
    if (attribute != kAXPositionAttribute && attribute != kAXSizeAttribute)
        return AXError::AttributeUnsupported;
    QRectF frame;
    if (AXError error = readFrame(window->window(), frame); error != AXError::Success)
        return failure(error, "Reading the frame", window->window());
    if (attribute == kAXPositionAttribute) {
        const QRectF primary = m_screens.primaryOutput();
        value = std::make_shared<AXValue>(Point { frame.x() - primary.x(), frame.y() - primary.y() });
    } else {
        value = std::make_shared<AXValue>(Size { frame.width(), frame.height() });
    }
    return AXError::Success;
}

AXError KWinAccessibility::setAttributeValue(
    const AXUIElementRef& element, const QString& attribute, const AXObjectRef& value)
{
    if (!element)
        return AXError::IllegalArgument;
    if (dynamic_cast<const KWinApplicationElement*>(element.get()))
        return AXError::AttributeUnsupported;
    const auto* window = dynamic_cast<const KWinWindowElement*>(element.get());
    if (!window)
        return AXError::IllegalArgument;
    return writeFrameAttribute(attribute, value, [this, window](std::optional<Point> position, std::optional<Size> size) {
        return writeFrame(window->window(), position, size);
    });
}

AXError KWinAccessibility::readFrame(const QString& window, QRectF& frame)
{
    if (m_knownFrame && m_knownFrame->window == window) {
        frame = m_knownFrame->frame;
        return AXError::Success;
    }
    const auto answer = m_channel.request(
        { { kOp, QStringLiteral("frame") }, { kWindow, window } }, KWinScriptChannel::answerDeadline);
    if (!answer)
        return AXError::CannotComplete;
    if (answer->value(QStringLiteral("gone")).toBool())
        return AXError::InvalidUIElement;
    frame = rectOf(answer->value(QStringLiteral("frame")));
    remember(window, frame);
    return AXError::Success;
}

AXError KWinAccessibility::writeFrame(const QString& window, std::optional<Point> position, std::optional<Size> size)
{
    const char* what = position ? "Moving" : "Resizing";
    const QRectF primary = m_screens.primaryOutput();
    QJsonObject request { { kOp, QStringLiteral("setFrame") }, { kWindow, window } };
    if (position) {
        const QPointF placed(primary.x() + std::round(position->x), primary.y() + std::round(position->y));
        m_lastPosition = { window, *position, placed };
        request.insert(QStringLiteral("x"), placed.x());
        request.insert(QStringLiteral("y"), placed.y());
    }
    if (size) {
        QRectF frame;
        if (AXError error = readFrame(window, frame); error != AXError::Success)
            return failure(error, what, window);
        // Edges, not origin plus size: with the position this window was last given, and still
        // has, the right and bottom edges are rounded where the neighbouring block's edges are.
        const bool placedHere = m_lastPosition.window == window && m_lastPosition.placed == frame.topLeft();
        const double x = placedHere ? m_lastPosition.position.x : frame.x() - primary.x();
        const double y = placedHere ? m_lastPosition.position.y : frame.y() - primary.y();
        request.insert(QStringLiteral("width"), std::max(1.0, std::round(x + size->width) - std::round(x)));
        request.insert(QStringLiteral("height"), std::max(1.0, std::round(y + size->height) - std::round(y)));
    }
    m_knownFrame.reset();
    const auto answer = m_channel.request(request, settleDeadline, KWinScriptChannel::Silence::IsExpected);
    if (answer) {
        if (answer->value(QStringLiteral("gone")).toBool())
            return failure(AXError::InvalidUIElement, what, window);
        if (answer->contains(QStringLiteral("error"))) {
            m_logger.error("KWin could not set the frame of window %s: %s", qUtf8Printable(window),
                qUtf8Printable(answer->value(QStringLiteral("error")).toString()));
            return failure(AXError::Failure, what, window);
        }
        remember(window, rectOf(answer->value(QStringLiteral("frame"))));
        return AXError::Success;
    }
    // The window did not take the new size in time: it keeps the one it has, or it went.
    QRectF frame;
    if (AXError error = readFrame(window, frame); error != AXError::Success)
        return failure(error, what, window);
    m_logger.info("%s window %s: not settled within %lld ms", what, qUtf8Printable(window),
        static_cast<long long>(settleDeadline.count()));
    return AXError::Success;
}

} // namespace gridlume
