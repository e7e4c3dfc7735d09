#pragma once

#include "platform/KeyEvent.h"

namespace gridlume {

// Reads Qt key events by their Qt key (a US layout), since the events tests synthesise carry
// no native scan code. Keys without an entry read as key code 0xFFFF.
class SimKeyEventTranslator final : public KeyEventTranslator {
public:
    KeyEvent translate(const QKeyEvent& event) const override;

    // The virtual key code of a Qt key, or 0xFFFF.
    static quint16 keyCodeForQtKey(int qtKey);
};

} // namespace gridlume
