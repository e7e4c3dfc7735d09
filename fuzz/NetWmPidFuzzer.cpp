// _NET_WM_PID: what a client says its process is.
#include "PropertyInput.h"

#include <cstdlib>

using namespace gridlume;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<quint32> items = fuzz::PropertyInput(data, size).takeRemainingItems();
    const pid_t pid = x11::parseProcessId(items);
    if (pid < 0 || (pid > 0 && quint32(pid) != items.front()))
        std::abort();
    return 0;
}
