#include "GnomeWindowMover.h"

#include "GnomeScreenProvider.h"
#include "GnomeShellChannel.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

namespace gridlume {

namespace {

    // Meta.WindowType.NORMAL: a window of its own, no dialog, menu or tooltip.
    constexpr int kNormalWindowType = 0;

} // namespace

GnomeWindowMover::GnomeWindowMover(GnomeShellChannel& channel, GnomeScreenProvider& screens, LogSink& logSink)
    : m_channel(channel)
    , m_screens(screens)
    , m_logger(logSink, QStringLiteral("GNOME"))
{
}

Rect GnomeWindowMover::accessibilityFrame(int x, int y, int width, int height) const
{
    const QPointF origin = m_screens.primaryOrigin();
    return Rect(x - origin.x(), y - origin.y(), width, height);
}

FocusedWindowAnswer GnomeWindowMover::focusedWindow(pid_t pid)
{
    const auto active = m_channel.call(QStringLiteral("ActiveWindow"));
    if (!active || active->size() != 3)
        return { {}, WindowFailure::NoAnswer };
    if (active->at(0).toUInt() != 0 && active->at(1).toInt() == pid)
        return { active->at(0).toString(), std::nullopt };
    const auto windows = m_channel.callJson(QStringLiteral("Windows"));
    if (!windows)
        return { {}, WindowFailure::NoAnswer };
    // From the bottom of the stack: the last one found is the topmost.
    WindowId topmost;
    for (const QJsonValue& value : windows->toArray()) {
        const QJsonObject window = value.toObject();
        if (window.value(QStringLiteral("pid")).toInt() == pid
            && window.value(QStringLiteral("type")).toInt() == kNormalWindowType)
            topmost = QString::number(window.value(QStringLiteral("id")).toInteger());
    }
    if (topmost.isEmpty())
        return { {}, WindowFailure::NoWindow };
    return { topmost, std::nullopt };
}

FrameAnswer GnomeWindowMover::frame(const WindowId& window)
{
    const auto answer = m_channel.call(QStringLiteral("Frame"), { window.toUInt() });
    if (!answer || answer->size() != 5)
        return { {}, WindowFailure::NoAnswer };
    if (!answer->at(0).toBool())
        return { {}, WindowFailure::Gone };
    return { accessibilityFrame(
                 answer->at(1).toInt(), answer->at(2).toInt(), answer->at(3).toInt(), answer->at(4).toInt()),
        std::nullopt };
}

FrameAnswer GnomeWindowMover::setFrame(const WindowId& window, const Rect& frame)
{
    const QPointF origin = m_screens.primaryOrigin();
    // Edges, not origin plus size, so that neighbouring blocks share theirs.
    const double left = std::round(frame.minX());
    const double top = std::round(frame.minY());
    const int width = int(std::max(1.0, std::round(frame.maxX()) - left));
    const int height = int(std::max(1.0, std::round(frame.maxY()) - top));
    const auto answer = m_channel.call(QStringLiteral("MoveResize"),
        { window.toUInt(), int(origin.x() + left), int(origin.y() + top), width, height },
        GnomeShellChannel::moveDeadline);
    if (!answer || answer->size() != 6)
        return { {}, WindowFailure::NoAnswer };
    const QString reason = answer->at(5).toString();
    if (!answer->at(0).toBool()) {
        if (reason == QLatin1String("gone"))
            return { {}, WindowFailure::Gone };
        m_logger.error("GNOME Shell did not move window %s: %s", qUtf8Printable(window), qUtf8Printable(reason));
        return { {}, WindowFailure::Refused };
    }
    FrameAnswer placed { accessibilityFrame(answer->at(1).toInt(), answer->at(2).toInt(), answer->at(3).toInt(),
                             answer->at(4).toInt()),
        std::nullopt };
    // 'constrained': the window keeps a size of its own, which is its answer; 'unsettled': it had
    // not answered when the extension stopped waiting.
    placed.settled = reason != QLatin1String("unsettled");
    return placed;
}

} // namespace gridlume
