#include "platform/sim/SimDesktop.h"
#include "settings_window/AppcastUpdater.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

constexpr int deadlineMs = 10000;

// Serves one canned HTTP response to every request on 127.0.0.1, or (silent) accepts the
// connection and never answers.
class FeedServer : public QObject {
public:
    explicit FeedServer(QByteArray response)
        : m_response(std::move(response))
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++m_connections;
                if (m_response.isNull())
                    continue; // stays open, silent, until the server goes away
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    // The request is small and arrives at once; answer its end.
                    if (!socket->readAll().contains("\r\n\r\n"))
                        return;
                    socket->write(m_response);
                    socket->disconnectFromHost();
                });
            }
        });
    }

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(m_server.serverPort())); }
    int connections() const { return m_connections; }

    static QByteArray ok(const QByteArray& body)
    {
        return "HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

private:
    QTcpServer m_server;
    QByteArray m_response;
    int m_connections = 0;
};

QByteArray feed(const char* version)
{
    return QByteArray(R"(<?xml version="1.0"?><rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>
<item><title>Gridlume )") + version + R"(</title><link>https://gridlume.org/releases/)" + version + R"(</link>
<sparkle:shortVersionString>)" + version + R"(</sparkle:shortVersionString>
<enclosure url="https://gridlume.org/d/)" + version + R"(.tar.gz" length="1" type="application/gzip"/></item></channel></rss>)";
}

struct CheckCase {
    const char* name;
    QByteArray response; // null: the server never answers
    UpdateCheckResult::Status status;
    const char* latestVersion;
    const char* pageUrl;
    const char* errorContains;
    qint64 maximumFeedBytes = 0; // 0: the updater's own cap
    const char* feedUrl = nullptr; // none: the server's
};

class UpdateChecks : public ::testing::TestWithParam<CheckCase> {
protected:
    SimDesktop desktop;
};

TEST_P(UpdateChecks, EndWithAClearResultAndCanCheckAgain)
{
    const CheckCase& c = GetParam();
    FeedServer server(c.response);
    AppcastUpdater::Options options { c.feedUrl ? QUrl(QString::fromLatin1(c.feedUrl)) : server.url(),
        QStringLiteral("0.1.0"), /*transferTimeoutMs*/ 400 };
    if (c.maximumFeedBytes)
        options.maximumFeedBytes = c.maximumFeedBytes;
    AppcastUpdater updater(desktop.platform().userDefaults, desktop.log(), options);
    QSignalSpy finished(&updater, &Updater::updateCheckFinished);
    QSignalSpy canCheckChanges(&updater, &Updater::canCheckForUpdatesChanged);
    ASSERT_TRUE(updater.canCheckForUpdates());

    updater.checkForUpdates();
    EXPECT_FALSE(updater.canCheckForUpdates());
    updater.checkForUpdates(); // ignored while a check runs

    ASSERT_TRUE(finished.wait(deadlineMs));
    QTest::qWait(0);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(server.connections(), c.feedUrl ? 0 : 1);
    EXPECT_TRUE(updater.canCheckForUpdates());
    EXPECT_EQ(canCheckChanges.count(), 2);

    const auto result = finished.first().first().value<UpdateCheckResult>();
    EXPECT_EQ(result.status, c.status) << result.message().toStdString();
    EXPECT_TRUE(result.userInitiated);
    EXPECT_EQ(result.latestVersion, QString::fromLatin1(c.latestVersion));
    EXPECT_EQ(result.pageUrl, QUrl(QString::fromLatin1(c.pageUrl)));
    EXPECT_TRUE(result.errorDescription.contains(QString::fromLatin1(c.errorContains))) << result.message().toStdString();
    EXPECT_EQ(updater.lastResult(), result);
}

INSTANTIATE_TEST_SUITE_P(AppcastUpdater, UpdateChecks,
    ::testing::Values(
        CheckCase { "upToDate", FeedServer::ok(feed("0.1.0")), UpdateCheckResult::Status::UpToDate, "", "", "" },
        CheckCase { "newerVersion", FeedServer::ok(feed("0.2.0")), UpdateCheckResult::Status::UpdateAvailable, "0.2.0",
            "https://gridlume.org/releases/0.2.0", "" },
        CheckCase { "malformedFeed", FeedServer::ok("<rss><channel><item>"), UpdateCheckResult::Status::Failed, "", "",
            "could not be read" },
        CheckCase { "notFound", "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
            UpdateCheckResult::Status::Failed, "", "", "" },
        CheckCase { "serverNotAnswering", QByteArray(), UpdateCheckResult::Status::Failed, "", "", "did not answer" },
        CheckCase { "feedLargerThanTheCap", FeedServer::ok(feed("0.2.0") + QByteArray(64 * 1024, ' ')),
            UpdateCheckResult::Status::Failed, "", "", "too large", 4096 },
        CheckCase { "feedNotHttps", FeedServer::ok(feed("0.2.0")), UpdateCheckResult::Status::Failed, "", "",
            "not an https address", 0, "http://gridlume.org/appcast.xml" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AppcastUpdater, AutomaticChecksAreDueADayAfterTheLastOneAndPersist)
{
    SimDesktop desktop;
    const QDateTime twoHoursAgo = QDateTime::currentDateTimeUtc().addSecs(-2 * 3600);
    desktop.platform().userDefaults.setObject(
        AppcastUpdater::lastUpdateCheckTimeKey, twoHoursAgo.toString(Qt::ISODate));
    const AppcastUpdater::Options options { AppcastUpdater::defaultFeedUrl(), QStringLiteral("0.1.0") };
    {
        AppcastUpdater updater(desktop.platform().userDefaults, desktop.log(), options);
        EXPECT_FALSE(updater.automaticallyChecksForUpdates()) << "off until the user turns it on";
        EXPECT_FALSE(updater.nextAutomaticCheckTime().isValid());

        QSignalSpy changes(&updater, &Updater::automaticallyChecksForUpdatesChanged);
        updater.setAutomaticallyChecksForUpdates(true);
        updater.setAutomaticallyChecksForUpdates(true);
        EXPECT_EQ(changes.count(), 1);
        EXPECT_NEAR(updater.nextAutomaticCheckTime().toSecsSinceEpoch(), twoHoursAgo.addSecs(24 * 3600).toSecsSinceEpoch(), 1);
    }
    AppcastUpdater reopened(desktop.platform().userDefaults, desktop.log(), options);
    EXPECT_TRUE(reopened.automaticallyChecksForUpdates());

    // Never checked (or a clock that had the last check in the future): shortly after start.
    desktop.platform().userDefaults.setObject(
        AppcastUpdater::lastUpdateCheckTimeKey, QDateTime::currentDateTimeUtc().addYears(1).toString(Qt::ISODate));
    AppcastUpdater clockSkewed(desktop.platform().userDefaults, desktop.log(), options);
    EXPECT_LE(clockSkewed.nextAutomaticCheckTime(), QDateTime::currentDateTimeUtc().addSecs(61));
}

TEST(AppcastUpdater, AFailedAutomaticCheckIsNotRetriedAtOnce)
{
    SimDesktop desktop;
    FeedServer server("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    AppcastUpdater::Options options { server.url(), QStringLiteral("0.1.0") };
    options.minimumDelayAfterStartSeconds = 0;
    desktop.platform().userDefaults.setBool(AppcastUpdater::automaticallyChecksForUpdatesKey, true);
    AppcastUpdater updater(desktop.platform().userDefaults, desktop.log(), options);
    QSignalSpy finished(&updater, &Updater::updateCheckFinished);

    ASSERT_TRUE(finished.wait(deadlineMs)) << "the first automatic check is due at once";
    EXPECT_FALSE(finished.first().first().value<UpdateCheckResult>().userInitiated);
    EXPECT_GT(updater.nextAutomaticCheckTime(), QDateTime::currentDateTimeUtc().addSecs(23 * 3600));
    EXPECT_EQ(server.connections(), 1);
}

} // namespace
