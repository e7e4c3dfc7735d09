#pragma once

#include "X11EventListener.h"
#include "X11PropertyParsers.h"
#include "platform/Log.h"
#include "platform/Screens.h"

#include <QHash>
#include <QTimer>

namespace gridlume {

class X11Connection;

// The monitors of the display, as RandR 1.5 reports them, with the space docks leave free.
//
// Each monitor's display ID is the atom of its RandR name, which stays the same while the
// monitor is connected (and across reconnections with the same name). The visible frame comes
// from the first source that exists: the per-monitor work areas GTK-aware window managers
// publish in _GTK_WORKAREAS_D<desktop>, else the docks' struts subtracted monitor by monitor,
// else the one-rectangle _NET_WORKAREA clipped to the monitor.
class X11ScreenProvider final : public ScreenProvider, private X11EventListener {
    Q_OBJECT
public:
    X11ScreenProvider(X11Connection& connection, LogSink& logSink, QObject* parent = nullptr);
    ~X11ScreenProvider() override;

    QList<Screen> screens() const override;

    // The primary monitor in root-window coordinates. Its top-left corner is the origin of the
    // accessibility space.
    x11::RootRect primaryMonitor() const { return m_primary; }

private:
    struct Monitor {
        xcb_atom_t name = XCB_ATOM_NONE;
        bool primary = false;
        x11::RootRect frame;
    };

    void handleEvent(const xcb_generic_event_t* event) override;
    void scheduleRefresh();
    void refresh();
    std::vector<Monitor> readMonitors();
    QString monitorName(xcb_atom_t atom);
    std::vector<x11::RootRect> readVisibleFrames(const std::vector<Monitor>& monitors);

    X11Connection& m_connection;
    Logger m_logger;
    quint8 m_randrFirstEvent = 0;
    bool m_hasMonitors = false;
    QList<Screen> m_screens;
    x11::RootRect m_primary;
    QHash<xcb_atom_t, QString> m_monitorNames;
    QHash<quint32, xcb_atom_t> m_gtkWorkAreaAtoms;
    QTimer m_refreshTimer;
};

} // namespace gridlume
