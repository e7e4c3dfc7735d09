// KeyboardShortcut::fromJson reads the stored shortcut out of the settings file, which the user
// (or anything running as the user) can edit.
#include "hotkeys/KeyboardShortcut.h"

#include <cstdint>
#include <cstdlib>

using namespace gridlume;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Raw data, not a copy: a copy would end in a NUL that hides a read past the end.
    const QByteArray json = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<KeyboardShortcut> shortcut = KeyboardShortcut::fromJson(json);
    if (!shortcut)
        return 0;
    // Whatever is accepted must read back the same from its own stored form.
    const std::optional<KeyboardShortcut> again = KeyboardShortcut::fromJson(shortcut->toJson());
    if (!again || *again != *shortcut)
        std::abort();
    (void)displayText(*shortcut);
    return 0;
}
