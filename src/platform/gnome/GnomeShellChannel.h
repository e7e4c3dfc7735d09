#pragma once

#include "platform/Log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <chrono>
#include <functional>
#include <optional>

namespace gridlume {

// Gridlume's GNOME Shell extension, and the way to talk to it: org.gridlume.Shell at
// /org/gridlume/Shell on the session bus, served inside GNOME Shell while the extension is
// enabled. The extension owns the bus name for as long as it runs, so the name's owner says
// whether it does; the channel follows it (the user may turn the extension on or off at any
// time, and Shell restarts it with itself) and says once in the log how to turn it on while it is
// not there. Calls block the main thread until Shell answers, like the window-system calls they
// stand for. Main thread only.
class GnomeShellChannel final : public QObject {
    Q_OBJECT
public:
    static inline const QString serviceName = QStringLiteral("org.gridlume.Shell");
    static inline const QString objectPath = QStringLiteral("/org/gridlume/Shell");
    static inline const QString extensionUuid = QStringLiteral("gridlume@gridlume.org");

    // How long a call waits for Shell. A move waits longer: the extension answers it once the
    // window has settled, which a Wayland client may take up to 2 s for.
    static constexpr std::chrono::milliseconds answerDeadline { 2000 };
    static constexpr std::chrono::milliseconds moveDeadline { 3000 };

    explicit GnomeShellChannel(
        LogSink& logSink, QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    // Whether the extension runs now (its name has an owner); no round trip.
    bool isAvailable() const { return m_isAvailable; }

    // Calls `method` with `arguments` and waits up to `timeout`; the reply's arguments, or none
    // when the extension is not there or does not answer (logged once per outage).
    std::optional<QVariantList> call(
        const QString& method, const QVariantList& arguments = {}, std::chrono::milliseconds timeout = answerDeadline);
    // The same for a method that answers one JSON text (Monitors); none also for text that is no
    // JSON.
    std::optional<QJsonValue> callJson(const QString& method);
    // Sends a call and waits for nothing; for grabs that must not hold up showing the panels.
    void send(const QString& method, const QVariantList& arguments);
    // A call whose answer comes later: `onAnswer` gets the reply's arguments, or none, on the main
    // thread, unless `context` has gone by then.
    void callLater(const QString& method, const QVariantList& arguments, QObject* context,
        std::function<void(const std::optional<QVariantList>&)> onAnswer);

    QDBusConnection& bus() { return m_bus; }

Q_SIGNALS:
    // The extension started (true) or went away (false); isAvailable() already says so.
    void availabilityChanged(bool available);
    // Shell gave the focus to a window (0, 0, "" for none).
    void windowActivated(quint32 window, int pid, const QString& appId);
    // A shortcut this connection grabbed was pressed.
    void acceleratorActivated(quint32 action);
    // Monitors or their work areas changed.
    void monitorsChanged();

private Q_SLOTS:
    void onWindowActivated(uint window, int pid, const QString& appId);
    void onAccelerator(uint action);
    void onMonitorsChanged();

private:
    QDBusMessage methodCall(const QString& method, const QVariantList& arguments) const;
    void setAvailable(bool available);

    Logger m_logger;
    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    bool m_isAvailable = false;
    bool m_didReportAbsence = false;
    bool m_didReportSilence = false;
};

} // namespace gridlume
