#include "KWinScreenProvider.h"

#include "KWinScriptChannel.h"
#include "platform/QtScreenSpace.h"

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
    if (outputs.isEmpty())
        return {};
    const QRectF primary = rectOf(outputs.first().toObject().value(QStringLiteral("frame")));
    QList<DesktopScreen> desktopScreens;
    for (const QJsonValue& output : outputs) {
        const QRectF frame = rectOf(output.toObject().value(QStringLiteral("frame")));
        const QRectF visibleFrame = rectOf(output.toObject().value(QStringLiteral("visibleFrame")));
        // Outputs have no number of their own in KWin's scripting; their place is stable while
        // they stay connected.
        desktopScreens.append(DesktopScreen { DisplayID(qHash(QStringLiteral("%1,%2").arg(frame.x()).arg(frame.y()))),
            Rect(frame.x(), frame.y(), frame.width(), frame.height()),
            Rect(visibleFrame.x(), visibleFrame.y(), visibleFrame.width(), visibleFrame.height()),
            QtScreenSpace::qtScreenNameAt(frame) });
    }
    if (primaryOutput)
        *primaryOutput = primary;
    return windowSystemScreens(desktopScreens);
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
