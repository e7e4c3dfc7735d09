// /proc/<pid>/stat: the command name in it is chosen by the process (prctl(PR_SET_NAME)) and
// may hold spaces and parentheses.
#include "platform/linux/ProcessStartTime.h"

#include <cstdint>

using namespace gridlume;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)parseProcessStartTime(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
