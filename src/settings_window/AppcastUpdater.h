#pragma once

#include "platform/Log.h"
#include "platform/UserDefaults.h"
#include "settings_window/Updater.h"

#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace gridlume {

// Checks an appcast feed over HTTPS for a version newer than the running one: when asked, and,
// when automatic checks are on, once a day (a single timer set to the next due time, so the
// program sleeps in between). Remembers the automatic-check choice and the time of the last
// check in the user defaults (a failed check counts, so that an unreachable server is asked
// again the next day, not in a loop). Never downloads anything but the feed, which it caps in size.
class AppcastUpdater final : public Updater {
    Q_OBJECT
public:
    static inline const QString automaticallyChecksForUpdatesKey = QStringLiteral("automaticallyChecksForUpdates");
    static inline const QString lastUpdateCheckTimeKey = QStringLiteral("lastUpdateCheckTime");

    struct Options {
        // Must be https; plain http is accepted for loopback addresses only (tests).
        QUrl feedUrl;
        QString currentVersion;
        // A server that sends nothing for this long fails the check.
        int transferTimeoutMs = 30'000;
        qint64 maximumFeedBytes = 1 << 20;
        qint64 checkIntervalSeconds = 24 * 60 * 60;
        // The first automatic check waits at least this long after start, to keep the start
        // quick.
        qint64 minimumDelayAfterStartSeconds = 60;
    };

    static QUrl defaultFeedUrl();

    AppcastUpdater(UserDefaults& userDefaults, LogSink& logSink, Options options, QObject* parent = nullptr);
    ~AppcastUpdater() override;

    bool automaticallyChecksForUpdates() const override { return m_automaticallyChecksForUpdates; }
    void setAutomaticallyChecksForUpdates(bool value) override;
    bool canCheckForUpdates() const override { return !m_checking; }
    std::optional<UpdateCheckResult> lastResult() const override { return m_lastResult; }
    void checkForUpdates() override { startCheck(true); }

    // When the next automatic check is due; invalid when automatic checks are off.
    QDateTime nextAutomaticCheckTime() const;

private:
    void startCheck(bool userInitiated);
    void finishCheck(QNetworkReply* reply);
    void finish(UpdateCheckResult result);
    void scheduleAutomaticCheck();

    UserDefaults& m_userDefaults;
    Logger m_logger;
    Options m_options;
    bool m_automaticallyChecksForUpdates = false;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    bool m_checking = false;
    bool m_replyTooLarge = false;
    bool m_checkIsUserInitiated = false;
    std::optional<UpdateCheckResult> m_lastResult;
    QTimer m_automaticCheckTimer;
    QDateTime m_startTime;
};

} // namespace gridlume
