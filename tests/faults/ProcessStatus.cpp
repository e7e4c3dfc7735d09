#include "ProcessStatus.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace gridlume::test::ProcessStatus {

qint64 residentKiB(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

int openFileDescriptors(pid_t pid)
{
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
    if (!descriptors.exists())
        return -1;
    return int(descriptors.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

namespace {

    // The status files of the process's threads.
    QList<QByteArray> threadStatuses(pid_t pid)
    {
        QList<QByteArray> statuses;
        const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
        for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile status(tasks.filePath(task) + QStringLiteral("/status"));
            if (status.open(QIODevice::ReadOnly))
                statuses.append(status.readAll());
        }
        return statuses;
    }

} // namespace

qint64 contextSwitches(pid_t pid)
{
    const QList<QByteArray> statuses = threadStatuses(pid);
    if (statuses.isEmpty())
        return -1;
    qint64 total = 0;
    for (const QByteArray& status : statuses) {
        // "voluntary_ctxt_switches:\t12" and "nonvoluntary_ctxt_switches:\t3".
        for (const QByteArray& line : status.split('\n')) {
            if (line.contains("ctxt_switches:"))
                total += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
    }
    return total;
}

bool isAsleep(pid_t pid)
{
    const QList<QByteArray> statuses = threadStatuses(pid);
    return !statuses.isEmpty() && std::all_of(statuses.begin(), statuses.end(), [](const QByteArray& status) {
        // "State:\tS (sleeping)".
        const qsizetype state = status.indexOf("\nState:");
        return state >= 0 && status.mid(state + 8).trimmed().startsWith('S');
    });
}

} // namespace gridlume::test::ProcessStatus
