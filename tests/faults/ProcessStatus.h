#pragma once

#include <QString>

#include <sys/types.h>
#include <vector>

namespace gridlume::test {

// What /proc tells about a process.
namespace ProcessStatus {

    // Resident memory (VmRSS) in KiB; -1 when the process is gone.
    qint64 residentKiB(pid_t pid);
    // The number of open file descriptors; -1 when the process is gone.
    int openFileDescriptors(pid_t pid);
    // The running children of this process whose command name is `name` ("openbox", "Xvfb"):
    // the programs a test desktop started, which the test may stop, kill or replace.
    std::vector<pid_t> childrenNamed(const QString& name);

} // namespace ProcessStatus

} // namespace gridlume::test
