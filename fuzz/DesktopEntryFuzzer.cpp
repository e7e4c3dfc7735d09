// .desktop files: any package, or the user, can install one under applications/.
#include "platform/linux/DesktopEntry.h"

#include <cstdint>

using namespace gridlume;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QStringList localeNames { QStringLiteral("de_DE"), QStringLiteral("de"), QStringLiteral("sr@latin") };
    const QByteArray contents = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)DesktopEntry::parse(contents, QStringLiteral("org.example.App"), localeNames);
    return 0;
}
