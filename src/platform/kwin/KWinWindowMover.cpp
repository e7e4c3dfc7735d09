#include "KWinWindowMover.h"

#include "KWinScreenProvider.h"
#include "KWinScriptChannel.h"

#include <cmath>

namespace gridlume {

namespace {

    const QString kOp = QStringLiteral("op");
    const QString kWindow = QStringLiteral("window");

    // A frame of the script's answer (KWin's coordinates) in the primary output's.
    Rect frameOf(const QJsonValue& value, const QRectF& primary)
    {
        const QJsonObject object = value.toObject();
        return Rect(object.value(QStringLiteral("x")).toDouble() - primary.x(),
            object.value(QStringLiteral("y")).toDouble() - primary.y(), object.value(QStringLiteral("width")).toDouble(),
            object.value(QStringLiteral("height")).toDouble());
    }

} // namespace

KWinWindowMover::KWinWindowMover(KWinScriptChannel& channel, KWinScreenProvider& screens, LogSink& logSink)
    : m_channel(channel)
    , m_screens(screens)
    , m_logger(logSink, QStringLiteral("KWin"))
{
}

FocusedWindowAnswer KWinWindowMover::focusedWindow(pid_t pid)
{
    const auto answer = m_channel.request(
        { { kOp, QStringLiteral("focusedWindow") }, { QStringLiteral("pid"), pid } }, KWinScriptChannel::answerDeadline);
    if (!answer)
        return { {}, WindowFailure::NoAnswer };
    const QString window = answer->value(QStringLiteral("focused")).toObject().value(kWindow).toString();
    if (window.isEmpty())
        return { {}, WindowFailure::NoWindow };
    return { window, std::nullopt };
}

FrameAnswer KWinWindowMover::frame(const WindowId& window)
{
    const auto answer
        = m_channel.request({ { kOp, QStringLiteral("frame") }, { kWindow, window } }, KWinScriptChannel::answerDeadline);
    if (!answer)
        return { {}, WindowFailure::NoAnswer };
    if (answer->value(QStringLiteral("gone")).toBool())
        return { {}, WindowFailure::Gone };
    return { frameOf(answer->value(QStringLiteral("frame")), m_screens.primaryOutput()), std::nullopt };
}

FrameAnswer KWinWindowMover::setFrame(const WindowId& window, const Rect& frame)
{
    const QRectF primary = m_screens.primaryOutput();
    // Edges, not origin plus size, so that neighbouring blocks share theirs.
    const double left = std::round(frame.minX());
    const double top = std::round(frame.minY());
    const QJsonObject request { { kOp, QStringLiteral("setFrame") }, { kWindow, window },
        { QStringLiteral("x"), primary.x() + left }, { QStringLiteral("y"), primary.y() + top },
        { QStringLiteral("width"), std::max(1.0, std::round(frame.maxX()) - left) },
        { QStringLiteral("height"), std::max(1.0, std::round(frame.maxY()) - top) } };
    const auto answer = m_channel.request(request, settleDeadline, KWinScriptChannel::Silence::IsExpected);
    if (!answer) {
        // The window did not take the new size in time: it keeps the one it has, or it went.
        FrameAnswer current = this->frame(window);
        current.settled = false;
        return current;
    }
    if (answer->value(QStringLiteral("gone")).toBool())
        return { {}, WindowFailure::Gone };
    if (answer->contains(QStringLiteral("error"))) {
        m_logger.error("KWin could not set the frame of window %s: %s", qUtf8Printable(window),
            qUtf8Printable(answer->value(QStringLiteral("error")).toString()));
        return { {}, WindowFailure::Refused };
    }
    return { frameOf(answer->value(QStringLiteral("frame")), primary), std::nullopt };
}

} // namespace gridlume
