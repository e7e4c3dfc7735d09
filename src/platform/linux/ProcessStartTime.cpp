#include "ProcessStartTime.h"

#include <QFile>

namespace gridlume {

std::optional<quint64> parseProcessStartTime(const QByteArray& stat)
{
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    // After ") " come fields 3 (state) onwards; the start time is field 22.
    const QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    constexpr qsizetype startTimeIndex = 22 - 3;
    if (fields.size() <= startTimeIndex)
        return std::nullopt;
    bool ok = false;
    const quint64 value = fields.at(startTimeIndex).toULongLong(&ok);
    return ok ? std::optional<quint64>(value) : std::nullopt;
}

std::optional<quint64> processStartTime(pid_t pid)
{
    if (pid <= 0)
        return std::nullopt;
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseProcessStartTime(file.readAll());
}

} // namespace gridlume
