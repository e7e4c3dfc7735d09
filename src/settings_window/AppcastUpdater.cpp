#include "settings_window/AppcastUpdater.h"

#include "settings_window/AppcastFeed.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace gridlume {

namespace {

    bool isLoopbackHost(const QUrl& url)
    {
        if (url.host() == QLatin1String("localhost"))
            return true;
        const QHostAddress address(url.host());
        return !address.isNull() && address.isLoopback();
    }

} // namespace

QUrl AppcastUpdater::defaultFeedUrl()
{
    return QUrl(QStringLiteral("https://gridlume.org/appcast.xml"));
}

AppcastUpdater::AppcastUpdater(UserDefaults& userDefaults, LogSink& logSink, Options options, QObject* parent)
    : Updater(parent)
    , m_userDefaults(userDefaults)
    , m_logger(logSink, QStringLiteral("Updater"))
    , m_options(std::move(options))
    , m_startTime(QDateTime::currentDateTimeUtc())
{
    m_automaticallyChecksForUpdates = m_userDefaults.boolForKey(automaticallyChecksForUpdatesKey).value_or(false);
    m_automaticCheckTimer.setSingleShot(true);
    // A day-long wait has no use for precision; let the system batch the wake-up.
    m_automaticCheckTimer.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_automaticCheckTimer, &QTimer::timeout, this, [this] { startCheck(false); });
    scheduleAutomaticCheck();
}

AppcastUpdater::~AppcastUpdater()
{
    if (m_reply) {
        // No result from a check that outlives its updater.
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void AppcastUpdater::setAutomaticallyChecksForUpdates(bool value)
{
    m_userDefaults.setBool(automaticallyChecksForUpdatesKey, value);
    if (m_automaticallyChecksForUpdates == value)
        return;
    m_automaticallyChecksForUpdates = value;
    scheduleAutomaticCheck();
    Q_EMIT automaticallyChecksForUpdatesChanged();
}

QDateTime AppcastUpdater::nextAutomaticCheckTime() const
{
    if (!m_automaticallyChecksForUpdates)
        return {};
    const QDateTime earliest = m_startTime.addSecs(m_options.minimumDelayAfterStartSeconds);
    QDateTime due = earliest;
    if (const auto last = m_userDefaults.stringForKey(lastUpdateCheckTimeKey)) {
        const QDateTime lastCheck = QDateTime::fromString(*last, Qt::ISODate);
        // A last check in the future (a clock that was wrong) counts as none.
        if (lastCheck.isValid() && lastCheck <= QDateTime::currentDateTimeUtc())
            due = std::max(earliest, lastCheck.addSecs(m_options.checkIntervalSeconds));
    }
    return due;
}

void AppcastUpdater::scheduleAutomaticCheck()
{
    m_automaticCheckTimer.stop();
    const QDateTime due = nextAutomaticCheckTime();
    if (!due.isValid())
        return;
    const qint64 waitMs = std::max<qint64>(0, QDateTime::currentDateTimeUtc().msecsTo(due));
    m_automaticCheckTimer.start(int(std::min<qint64>(waitMs, std::numeric_limits<int>::max())));
}

void AppcastUpdater::startCheck(bool userInitiated)
{
    if (m_checking)
        return;
    m_checking = true;
    m_checkIsUserInitiated = userInitiated;
    Q_EMIT canCheckForUpdatesChanged();
    const QUrl& url = m_options.feedUrl;
    const bool secure = url.scheme() == QLatin1String("https");
    const bool loopback = url.scheme() == QLatin1String("http") && isLoopbackHost(url);
    if (!url.isValid() || !(secure || loopback)) {
        m_logger.error("Refusing update feed %s: not an https address", qUtf8Printable(url.toString()));
        // Reported from the event loop, like every other result.
        QMetaObject::invokeMethod(
            this,
            [this, userInitiated] {
                finish(UpdateCheckResult { UpdateCheckResult::Status::Failed, m_options.currentVersion, {}, {},
                    tr("the update feed is not an https address"), userInitiated });
            },
            Qt::QueuedConnection);
        return;
    }
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setTransferTimeout(m_options.transferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Gridlume/%1").arg(m_options.currentVersion));
    m_replyTooLarge = false;
    QNetworkReply* reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > m_options.maximumFeedBytes && !m_replyTooLarge) {
            m_replyTooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finishCheck(reply); });
}

void AppcastUpdater::finishCheck(QNetworkReply* reply)
{
    reply->deleteLater();
    m_reply = nullptr;
    UpdateCheckResult result { UpdateCheckResult::Status::Failed, m_options.currentVersion, {}, {}, {},
        m_checkIsUserInitiated };
    if (m_replyTooLarge) {
        result.errorDescription = tr("the update feed is too large");
    } else if (reply->error() == QNetworkReply::OperationCanceledError
        || reply->error() == QNetworkReply::TimeoutError) {
        result.errorDescription = tr("the update server did not answer in time");
    } else if (reply->error() != QNetworkReply::NoError) {
        result.errorDescription = reply->errorString();
    } else {
        QString parseError;
        const auto items = AppcastFeed::parse(reply->readAll(), &parseError);
        if (!items) {
            result.errorDescription = tr("the update feed could not be read (%1)").arg(parseError);
        } else if (const auto newest = AppcastFeed::newestItemAfter(*items, m_options.currentVersion)) {
            result.status = UpdateCheckResult::Status::UpdateAvailable;
            result.latestVersion = newest->version;
            result.pageUrl = newest->pageUrl.isValid() ? newest->pageUrl : newest->enclosureUrl;
        } else {
            result.status = UpdateCheckResult::Status::UpToDate;
        }
    }
    if (result.status == UpdateCheckResult::Status::Failed)
        m_logger.error("Update check failed: %s", qUtf8Printable(result.errorDescription));
    m_userDefaults.setObject(lastUpdateCheckTimeKey, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    finish(std::move(result));
}

void AppcastUpdater::finish(UpdateCheckResult result)
{
    m_lastResult = result;
    m_checking = false;
    Q_EMIT canCheckForUpdatesChanged();
    scheduleAutomaticCheck();
    Q_EMIT updateCheckFinished(result);
}

} // namespace gridlume
