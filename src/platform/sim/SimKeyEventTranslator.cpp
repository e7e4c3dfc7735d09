#include "platform/sim/SimKeyEventTranslator.h"

#include <QHash>
#include <QKeyEvent>

namespace gridlume {

quint16 SimKeyEventTranslator::keyCodeForQtKey(int qtKey)
{
    static const QHash<int, quint16> table = [] {
        QHash<int, quint16> keys;
        const std::pair<char, quint16> characters[] = {
            { 'A', 0 }, { 'S', 1 }, { 'D', 2 }, { 'F', 3 }, { 'H', 4 }, { 'G', 5 }, { 'Z', 6 }, { 'X', 7 },
            { 'C', 8 }, { 'V', 9 }, { 'B', 11 }, { 'Q', 12 }, { 'W', 13 }, { 'E', 14 }, { 'R', 15 }, { 'Y', 16 },
            { 'T', 17 }, { '1', 18 }, { '2', 19 }, { '3', 20 }, { '4', 21 }, { '6', 22 }, { '5', 23 }, { '=', 24 },
            { '9', 25 }, { '7', 26 }, { '-', 27 }, { '8', 28 }, { '0', 29 }, { ']', 30 }, { 'O', 31 }, { 'U', 32 },
            { '[', 33 }, { 'I', 34 }, { 'P', 35 }, { 'L', 37 }, { 'J', 38 }, { '\'', 39 }, { 'K', 40 }, { ';', 41 },
            { '\\', 42 }, { ',', 43 }, { '/', 44 }, { 'N', 45 }, { 'M', 46 }, { '.', 47 }, { '`', 50 },
        };
        for (const auto& [character, code] : characters)
            keys.insert(character, code);
        const std::pair<int, quint16> named[] = {
            { Qt::Key_Return, 36 }, { Qt::Key_Enter, 76 }, { Qt::Key_Tab, 48 }, { Qt::Key_Space, 49 },
            { Qt::Key_Backspace, 51 }, { Qt::Key_Escape, 53 }, { Qt::Key_Meta, 55 }, { Qt::Key_Super_L, 55 },
            { Qt::Key_Shift, 56 }, { Qt::Key_CapsLock, 57 }, { Qt::Key_Alt, 58 }, { Qt::Key_Control, 59 },
            { Qt::Key_Super_R, 54 }, { Qt::Key_F1, 122 }, { Qt::Key_F2, 120 }, { Qt::Key_F3, 99 }, { Qt::Key_F4, 118 },
            { Qt::Key_F5, 96 }, { Qt::Key_F6, 97 }, { Qt::Key_F7, 98 }, { Qt::Key_F8, 100 }, { Qt::Key_F9, 101 },
            { Qt::Key_F10, 109 }, { Qt::Key_F11, 103 }, { Qt::Key_F12, 111 }, { Qt::Key_Delete, 117 },
            { Qt::Key_Home, 115 }, { Qt::Key_End, 119 }, { Qt::Key_PageUp, 116 }, { Qt::Key_PageDown, 121 },
            { Qt::Key_Left, 123 }, { Qt::Key_Right, 124 }, { Qt::Key_Down, 125 }, { Qt::Key_Up, 126 },
        };
        for (const auto& [key, code] : named)
            keys.insert(key, code);
        return keys;
    }();
    return table.value(qtKey, 0xFFFF);
}

KeyEvent SimKeyEventTranslator::translate(const QKeyEvent& event) const
{
    quint64 flags = 0;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ShiftModifier)
        flags |= ModifierFlag::Shift;
    if (modifiers & Qt::ControlModifier)
        flags |= ModifierFlag::Control;
    if (modifiers & Qt::AltModifier)
        flags |= ModifierFlag::Option;
    if (modifiers & Qt::MetaModifier)
        flags |= ModifierFlag::Command;
    if (modifiers & Qt::KeypadModifier)
        flags |= ModifierFlag::NumericPad;
    // Qt has no Caps Lock modifier; a test that wants one sets the native modifiers to the X11
    // Lock mask (0x2), which is what the real backend reads.
    if (event.nativeModifiers() & 0x2)
        flags |= ModifierFlag::CapsLock;
    return KeyEvent { keyCodeForQtKey(event.key()), flags };
}

} // namespace gridlume
