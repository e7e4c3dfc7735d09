#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>
#include <sys/types.h>

namespace gridlume {

// When a process started, in clock ticks since boot (field 22 of /proc/<pid>/stat). Together
// with the pid it names one process instance: a recycled pid gets a later start time.
std::optional<quint64> processStartTime(pid_t pid);

// The start time in the text of a /proc/<pid>/stat file; none when it is malformed. The command
// name (field 2) is in parentheses and may itself contain spaces and parentheses, so fields are
// counted from the last ')'.
std::optional<quint64> parseProcessStartTime(const QByteArray& stat);

} // namespace gridlume
