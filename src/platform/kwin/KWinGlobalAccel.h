#pragma once

#include "platform/Log.h"
#include "platform/ShortcutGrabber.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace gridlume {

// Gridlume's global shortcuts in KDE's shortcut service, KGlobalAccel (org.kde.kglobalaccel on
// the session bus), which KWin serves on Wayland: the only place there that sees keys typed into
// any application. Gridlume is one component, "gridlume"; each shortcut is one of its actions.
// Actions are registered with "no autoloading", so the key given here is the one in force, and
// removed again (also from KDE's shortcut settings) when released. Main thread only.
class KWinGlobalAccel final : public QObject {
    Q_OBJECT
public:
    explicit KWinGlobalAccel(LogSink& logSink, QObject* parent = nullptr);

    // Makes `qtKey` (a Qt key with its modifier bits, as KGlobalAccel counts keys) the shortcut
    // of action `action`; none when it is. HeldByAnotherProgram when another component holds
    // the key, DesktopFailed when the service does not answer or refuses.
    std::optional<GrabFailure> registerAction(const QString& action, const QString& friendlyName, int qtKey);
    void unregisterAction(const QString& action);

    // The same without waiting for the service: the key is in force once the service has read
    // the request, and a refusal is only logged. For shortcuts that come and go with a window,
    // which must not wait for KWin to show it.
    void registerActionLater(const QString& action, const QString& friendlyName, int qtKey);
    void unregisterActionLater(const QString& action);

    // The Qt key of a key combination, on a US keyboard layout (the keys KGlobalAccel compares
    // are the layout's symbols); none for keys outside the table.
    static std::optional<int> qtKey(KeyCombination combination);

Q_SIGNALS:
    // An action's shortcut was pressed; emitted from the event loop.
    void actionPressed(const QString& action);

private Q_SLOTS:
    void onGlobalShortcutPressed(const QString& component, const QString& action, qlonglong timestamp);

private:
    void connectPresses();
    QStringList actionID(const QString& action, const QString& friendlyName = {}) const;

    Logger m_logger;
    QDBusConnection m_bus;
    bool m_didConnect = false;
};

} // namespace gridlume
