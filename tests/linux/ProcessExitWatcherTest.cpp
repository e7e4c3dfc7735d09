#include "platform/linux/ProcessExitWatcher.h"
#include "platform/linux/ProcessStartTime.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cerrno>

namespace gridlume {
namespace {

    template <int Error>
    int failingPidfd(pid_t)
    {
        errno = Error;
        return -1;
    }

    struct Case {
        const char* name;
        ProcessExitWatcher::OpenPidfd open;
        bool polls;
    };

    // A live process is tracked whatever pidfd_open answers, until it exits. One the kernel says
    // is gone (ESRCH), or whose pid is another process's now (another start time), is reported
    // gone at once, from the event loop.
    TEST(ProcessExitWatcher, SeesTheExitWithOrWithoutAPidfd)
    {
        const Case cases[] = {
            { "pidfd", &ProcessExitWatcher::openPidfd, false },
            { "no pidfd_open in the kernel", &failingPidfd<ENOSYS>, true },
            { "pidfd_open filtered by a sandbox", &failingPidfd<EPERM>, true },
        };
        for (const Case& testCase : cases) {
            SCOPED_TRACE(testCase.name);
            QProcess child;
            child.start("sleep", { "60" });
            ASSERT_TRUE(child.waitForStarted());
            const pid_t pid = pid_t(child.processId());
            const quint64 startTime = processStartTime(pid).value_or(0);
            ProcessExitWatcher watcher(pid, startTime, nullptr, testCase.open);
            ProcessExitWatcher gone(pid, startTime, nullptr, &failingPidfd<ESRCH>);
            ProcessExitWatcher recycled(pid, startTime + 1, nullptr, testCase.open);
            QSignalSpy exited(&watcher, &ProcessExitWatcher::exited);
            QSignalSpy goneExited(&gone, &ProcessExitWatcher::exited);
            QSignalSpy recycledExited(&recycled, &ProcessExitWatcher::exited);
            EXPECT_EQ(watcher.isPolling(), testCase.polls);
            EXPECT_EQ(goneExited.count(), 0) << "reported from the constructor";
            QCoreApplication::processEvents();
            EXPECT_EQ(exited.count(), 0) << "a live process was reported gone";
            EXPECT_EQ(goneExited.count(), 1);
            EXPECT_EQ(recycledExited.count(), 1);

            child.kill();
            ASSERT_TRUE(child.waitForFinished());
            EXPECT_TRUE(exited.wait(3 * ProcessExitWatcher::pollInterval));
            EXPECT_EQ(exited.count(), 1);
        }
    }

} // namespace
} // namespace gridlume
