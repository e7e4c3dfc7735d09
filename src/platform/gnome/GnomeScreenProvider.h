#pragma once

#include "platform/Screens.h"

#include <QJsonValue>
#include <QPointF>

namespace gridlume {

class GnomeShellChannel;

// The monitors as GNOME Shell lays them out, in its logical coordinates, each with the work area
// the active workspace leaves to windows on it (the monitor less Shell's top bar and every strut).
// Shell's primary monitor is the primary screen. Asked for again when the extension reports a
// change of monitors or work areas, when it starts, and when Qt's screens change.
//
// Gridlume's own windows are drawn through Xwayland, whose screens Mutter places at the
// monitors' logical geometry; each screen is named after the Qt screen at the same place, so that
// the panels find the screen they are drawn on. None while the extension does not run.
class GnomeScreenProvider final : public ScreenProvider {
    Q_OBJECT
public:
    explicit GnomeScreenProvider(GnomeShellChannel& channel, QObject* parent = nullptr);

    QList<Screen> screens() const override { return m_screens; }

    // The primary monitor's top-left corner in Shell's coordinates: the accessibility space's
    // origin.
    QPointF primaryOrigin() const { return m_primaryOrigin; }

    // The screens of the extension's answer to Monitors(), the primary first.
    static QList<Screen> parseMonitors(const QJsonValue& monitors, QPointF* primaryOrigin);

private:
    void update();

    GnomeShellChannel& m_channel;
    QList<Screen> m_screens;
    QPointF m_primaryOrigin;
};

} // namespace gridlume
