#pragma once

#include <QString>

#include <sys/types.h>

namespace gridlume::test {

// What /proc tells about a process.
namespace ProcessStatus {

    // Resident memory (VmRSS) in KiB; -1 when the process is gone.
    qint64 residentKiB(pid_t pid);
    // The number of open file descriptors; -1 when the process is gone.
    int openFileDescriptors(pid_t pid);
    // How often the threads of the process have been switched out, voluntarily or not, summed;
    // -1 when the process is gone. A thread that wakes up is switched out again when it goes
    // back to sleep, so an unchanged count over an interval, with every thread asleep at its
    // end, means the process did nothing in between.
    qint64 contextSwitches(pid_t pid);
    // Whether every thread of the process sleeps, waiting for something to do ('S'); false
    // while one is running or ready to run, and when the process is gone.
    bool isAsleep(pid_t pid);

} // namespace ProcessStatus

} // namespace gridlume::test
