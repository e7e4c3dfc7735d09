#pragma once

#include "platform/Screens.h"

#include <QJsonValue>
#include <QRectF>

namespace gridlume {

class KWinScriptChannel;

// The outputs as KWin lays them out, in its logical coordinates, and the area of each that KWin
// leaves to windows: clientArea(MaximizeArea), which already excludes Plasma's panels and every
// other window that reserves an edge. KWin's first output is the primary screen. They are asked
// for again whenever the script reports that outputs, docks or panels changed, and when Qt's
// screens change.
//
// Gridlume's own windows are drawn through Xwayland, whose screens KWin places at the outputs'
// logical geometry; each screen is named after the Qt screen at the same place, so that the
// panels find the screen they are drawn on.
class KWinScreenProvider final : public ScreenProvider {
    Q_OBJECT
public:
    KWinScreenProvider(KWinScriptChannel& channel, QObject* parent = nullptr);

    QList<Screen> screens() const override;

    // The primary output's frame in KWin's coordinates (origin top-left, y down).
    QRectF primaryOutput() const { return m_primaryOutput; }

    // The screens of the script's answer to "screens".
    static QList<Screen> parseScreens(const QJsonValue& screens, QRectF* primaryOutput);

private:
    void update(const QJsonValue& screens);

    QList<Screen> m_screens;
    QRectF m_primaryOutput;
};

} // namespace gridlume
