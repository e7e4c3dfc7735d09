#include "app/InstanceChannel.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <sys/stat.h>

using namespace gridlume;

namespace {

TEST(InstanceChannel, ASecondStartReachesTheFirstInsteadOfRunningTwice)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("gridlume-test.socket"));
    InstanceChannel first(path);
    ASSERT_TRUE(first.becomePrimaryInstance());
    QSignalSpy received(&first, &InstanceChannel::commandReceived);

    InstanceChannel second(path);
    QString error;
    EXPECT_FALSE(second.becomePrimaryInstance(&error));
    EXPECT_FALSE(error.isEmpty());

    // A later start is another process; here a thread, so that this one's event loop can answer.
    std::atomic<bool> sent = false;
    std::thread start([&] { sent = second.sendToPrimaryInstance(InstanceChannel::toggleCommand, 5000); });
    const bool gotCommand = received.wait(5000);
    (void)QTest::qWaitFor([&] { return sent.load(); }, 5000);
    start.join();
    ASSERT_TRUE(gotCommand);
    EXPECT_EQ(received.first().first().toByteArray(), InstanceChannel::toggleCommand);
    EXPECT_TRUE(sent) << "the later start learns that the running one took the command";
}

TEST(InstanceChannel, TheSocketIsTheUsersAloneInAPrivateFolder)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("gridlume-test.socket"));
    InstanceChannel channel(path);
    ASSERT_TRUE(channel.becomePrimaryInstance());
    const QString defaultPath = InstanceChannel::defaultSocketPath(":0/evil");
    ASSERT_FALSE(defaultPath.isEmpty());

    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 077, 0u) << "group and others cannot connect";
    ASSERT_EQ(::stat(QFile::encodeName(QFileInfo(defaultPath).absolutePath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u) << "the default socket's folder is private";
}

TEST(InstanceChannel, ASocketFileLeftByADeadInstanceIsReplaced)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("gridlume-test.socket"));
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    InstanceChannel next(path);
    EXPECT_TRUE(next.becomePrimaryInstance());
}

} // namespace
