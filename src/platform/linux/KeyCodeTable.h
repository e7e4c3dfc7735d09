#pragma once

#include <QtGlobal>

#include <optional>
#include <span>

namespace gridlume {

// Positional key codes: the desktop's virtual key codes (kVK_*) against Linux evdev codes
// (KEY_* of <linux/input-event-codes.h>). Both name physical keys, whatever the layout, so one
// table serves every keyboard. An X server with the evdev or libinput driver (and Xvfb) uses
// X keycode = evdev code + 8.
class KeyCodeTable {
public:
    struct Entry {
        quint16 virtualKeyCode;
        quint16 evdevCode;
    };

    static constexpr quint32 x11KeycodeOffset = 8;

    static std::span<const Entry> entries();
    static std::optional<quint16> evdevCode(quint32 virtualKeyCode);
    static std::optional<quint16> virtualKeyCode(quint32 evdevCode);

    // The same through X keycodes; none for codes outside the table.
    static std::optional<quint8> x11Keycode(quint32 virtualKeyCode);
    static std::optional<quint16> virtualKeyCodeOfX11Keycode(quint32 x11Keycode);
};

} // namespace gridlume
