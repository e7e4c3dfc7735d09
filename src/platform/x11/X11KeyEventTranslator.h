#pragma once

#include "platform/KeyEvent.h"

namespace gridlume {

// Key events of our own windows under Qt's xcb platform: the native scan code is the X keycode,
// the native modifiers are the X event's state.
class X11KeyEventTranslator final : public KeyEventTranslator {
public:
    // Key code for keys the table does not know.
    static constexpr quint16 unknownKeyCode = 0xFFFF;

    KeyEvent translate(const QKeyEvent& event) const override;
    static KeyEvent translate(quint32 x11Keycode, quint32 x11State);
};

} // namespace gridlume
