#include "KWinScreenProvider.h"

#include "KWinScriptChannel.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QScreen>

namespace gridlume {

namespace {

    QRectF rectOf(const QJsonValue& value)
    {
        const QJsonObject object = value.toObject();
        return QRectF(object.value(QStringLiteral("x")).toDouble(), object.value(QStringLiteral("y")).toDouble(),
            object.value(QStringLiteral("width")).toDouble(), object.value(QStringLiteral("height")).toDouble());
    }

    // KWin's coordinates (origin top-left, y down) to the window-system space: origin at the
    // primary output's bottom-left, y up.
    Rect windowSystemFrame(const QRectF& rect, const QRectF& primary)
    {
        return Rect(rect.x() - primary.x(), (primary.y() + primary.height()) - (rect.y() + rect.height()), rect.width(),
            rect.height());
    }

    QString qtScreenNameAt(const QRectF& frame)
    {
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (QRectF(screen->geometry().topLeft() * screen->devicePixelRatio(),
                    QSizeF(screen->size()) * screen->devicePixelRatio())
                == frame)
                return screen->name();
        }
        return {};
    }

} // namespace

KWinScreenProvider::KWinScreenProvider(KWinScriptChannel& channel, QObject* parent)
    : ScreenProvider(parent)
{
    const auto ask = [this, &channel] {
        if (const auto answer = channel.request(
                { { QStringLiteral("op"), QStringLiteral("screens") } }, KWinScriptChannel::answerDeadline))
            update(answer->value(QStringLiteral("screens")));
    };
    connect(&channel, &KWinScriptChannel::eventReceived, this, [ask](const QString& kind, const QJsonValue&) {
        if (kind == QLatin1String("screensMayHaveChanged"))
            ask();
    });
    if (const auto answer
        = channel.request({ { QStringLiteral("op"), QStringLiteral("screens") } }, KWinScriptChannel::answerDeadline))
        m_screens = parseScreens(answer->value(QStringLiteral("screens")), &m_primaryOutput);
    // Xwayland's screens follow the outputs; once Qt has heard of a change, names match again.
    // A placement from the command line has no Qt screens to match.
    if (qGuiApp) {
        connect(qGuiApp, &QGuiApplication::screenAdded, this, ask);
        connect(qGuiApp, &QGuiApplication::screenRemoved, this, ask);
    }
}

QList<Screen> KWinScreenProvider::parseScreens(const QJsonValue& screens, QRectF* primaryOutput)
{
    const QJsonArray outputs = screens.toArray();
    QList<Screen> result;
    if (outputs.isEmpty())
        return result;
    const QRectF primary = rectOf(outputs.first().toObject().value(QStringLiteral("frame")));
    for (const QJsonValue& output : outputs) {
        const QRectF frame = rectOf(output.toObject().value(QStringLiteral("frame")));
        const QRectF visibleFrame = rectOf(output.toObject().value(QStringLiteral("visibleFrame")));
        Screen screen;
        screen.frame = windowSystemFrame(frame, primary);
        screen.visibleFrame = windowSystemFrame(visibleFrame, primary);
        screen.name = qtScreenNameAt(frame);
        // Outputs have no number of their own in KWin's scripting; their place is stable while
        // they stay connected.
        screen.displayID = DisplayID(qHash(QStringLiteral("%1,%2").arg(frame.x()).arg(frame.y())));
        result.append(screen);
    }
    if (primaryOutput)
        *primaryOutput = primary;
    return result;
}

void KWinScreenProvider::update(const QJsonValue& screens)
{
    QRectF primary;
    const QList<Screen> updated = parseScreens(screens, &primary);
    if (updated == m_screens)
        return;
    m_screens = updated;
    m_primaryOutput = primary;
    Q_EMIT screensChanged();
}

QList<Screen> KWinScreenProvider::screens() const
{
    return m_screens;
}

} // namespace gridlume
