#include "X11KeyEventTranslator.h"

#include "platform/linux/KeyCodeTable.h"

#include <QKeyEvent>

namespace gridlume {

namespace {

    // Core protocol state bits.
    constexpr quint32 kShiftMask = 1 << 0;
    constexpr quint32 kLockMask = 1 << 1;
    constexpr quint32 kControlMask = 1 << 2;
    constexpr quint32 kMod1Mask = 1 << 3;
    constexpr quint32 kMod4Mask = 1 << 6;

    bool isKeypadKey(quint16 virtualKeyCode)
    {
        switch (virtualKeyCode) {
        case 0x41: case 0x43: case 0x45: case 0x47: case 0x4B: case 0x4C: case 0x4E: case 0x51: case 0x52:
        case 0x53: case 0x54: case 0x55: case 0x56: case 0x57: case 0x58: case 0x59: case 0x5B: case 0x5C:
        case 0x7B: case 0x7C: case 0x7D: case 0x7E:
            // Arrow keys carry the numeric-pad flag too, as on the desktop this mirrors.
            return true;
        default:
            return false;
        }
    }

} // namespace

KeyEvent X11KeyEventTranslator::translate(const QKeyEvent& event) const
{
    return translate(event.nativeScanCode(), event.nativeModifiers());
}

KeyEvent X11KeyEventTranslator::translate(quint32 x11Keycode, quint32 x11State)
{
    KeyEvent result;
    result.keyCode = KeyCodeTable::virtualKeyCodeOfX11Keycode(x11Keycode).value_or(unknownKeyCode);
    if (x11State & kShiftMask)
        result.modifierFlags |= ModifierFlag::Shift;
    if (x11State & kLockMask)
        result.modifierFlags |= ModifierFlag::CapsLock;
    if (x11State & kControlMask)
        result.modifierFlags |= ModifierFlag::Control;
    if (x11State & kMod1Mask)
        result.modifierFlags |= ModifierFlag::Option;
    if (x11State & kMod4Mask)
        result.modifierFlags |= ModifierFlag::Command;
    if (isKeypadKey(result.keyCode))
        result.modifierFlags |= ModifierFlag::NumericPad;
    return result;
}

} // namespace gridlume
