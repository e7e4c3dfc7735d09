#pragma once

#include "platform/Log.h"

#include <QDBusContext>
#include <QObject>
#include <QString>

namespace gridlume {

class GridlumeApp;

// Gridlume on the session bus: org.gridlume.Gridlume at /org/gridlume/Gridlume, with the
// operations of the command line. Place fails with org.freedesktop.DBus.Error.InvalidArgs for
// arguments outside `gridlume place`'s grammar and with org.gridlume.Gridlume.Error.NotPlaced,
// carrying the reason, when the window was not placed.
class GridlumeDBusService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gridlume.Gridlume")
public:
    static inline const QString serviceName = QStringLiteral("org.gridlume.Gridlume");
    static inline const QString objectPath = QStringLiteral("/org/gridlume/Gridlume");

    GridlumeDBusService(GridlumeApp& app, LogSink& logSink, QObject* parent = nullptr);
    ~GridlumeDBusService() override;

    // Takes the name on the session bus. False, logged as information, when there is no session
    // bus or another program has the name; Gridlume runs the same without it.
    bool registerOnSessionBus();

public Q_SLOTS:
    // Shows or hides the tiling panels, like `gridlume --toggle`.
    void Toggle();
    // Like `gridlume place GRID BLOCK --monitor MONITOR`; an empty monitor is "current".
    void Place(const QString& grid, const QString& block, const QString& monitor);
    // The items of the tray icon's menu, for a desktop that shows Gridlume's icon itself (GNOME
    // Shell's top bar, through Gridlume's extension): the settings window, the help page, and
    // quitting once the call is answered.
    void ShowSettings();
    void ShowHelp();
    void Quit();

private:
    GridlumeApp& m_app;
    Logger m_logger;
    bool m_isRegistered = false;
};

} // namespace gridlume
