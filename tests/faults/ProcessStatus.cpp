#include "ProcessStatus.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

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

std::vector<pid_t> childrenNamed(const QString& name)
{
    std::vector<pid_t> children;
    const pid_t self = ::getpid();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid …"; comm may hold spaces and parentheses, so split at the last ')'.
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('(');
        const qsizetype close = line.lastIndexOf(')');
        if (open < 0 || close < open)
            continue;
        const QString command = QString::fromLocal8Bit(line.mid(open + 1, close - open - 1));
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() < 2 || command != name || fields[0] == "Z")
            continue;
        if (fields[1].toInt() == self)
            children.push_back(pid);
    }
    return children;
}

} // namespace gridlume::test::ProcessStatus
