// WM_CLASS, set by every client on its own windows: two strings that should each end in a NUL.
#include "platform/x11/X11PropertyParsers.h"

#include <cstdint>
#include <cstdlib>

using namespace gridlume;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const x11::WmClass wmClass
        = x11::parseWmClass(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (wmClass.instanceName.contains(QChar(0)) || wmClass.className.contains(QChar(0)))
        std::abort();
    return 0;
}
