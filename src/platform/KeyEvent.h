#pragma once

#include "Subscription.h"

#include <QtGlobal>

#include <functional>

class QKeyEvent;

namespace gridlume {

// Modifier-flag bits of a key event (the desktop's portable layout, not X11's).
namespace ModifierFlag {
    inline constexpr quint64 CapsLock = 0x10000;
    inline constexpr quint64 Shift = 0x20000;
    inline constexpr quint64 Control = 0x40000;
    inline constexpr quint64 Option = 0x80000;
    inline constexpr quint64 Command = 0x100000;
    inline constexpr quint64 NumericPad = 0x200000;
    inline constexpr quint64 Help = 0x400000;
    inline constexpr quint64 Function = 0x800000;
} // namespace ModifierFlag

// A key press: positional virtual key code (kVK_*, the same physical key whatever the
// keyboard layout) and modifier flags.
struct KeyEvent {
    quint16 keyCode = 0;
    quint64 modifierFlags = 0;
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

inline constexpr quint16 kVK_Escape = 53;

// Which key presses a global monitor reports.
enum class GlobalKeyPresses {
    // Presses while another program has the keyboard focus: those Gridlume's own windows do
    // not receive (the local monitors see the others).
    InOtherPrograms,
    // Every press, also while one of Gridlume's windows has the focus: a combination another
    // program holds goes to that program even then.
    Anywhere,
};

// Key presses that go to other programs.
class GlobalKeyMonitor {
public:
    virtual ~GlobalKeyMonitor() = default;
    // Calls `handler` on the main thread for every key press of `presses` until the
    // subscription ends. Only observes: the key still reaches its window.
    virtual Subscription addGlobalKeyDownMonitor(
        std::function<void(const KeyEvent&)> handler, GlobalKeyPresses presses) = 0;
};

// Turns Qt's key events (for our own windows) into positional key events.
class KeyEventTranslator {
public:
    virtual ~KeyEventTranslator() = default;
    virtual KeyEvent translate(const QKeyEvent& event) const = 0;
};

} // namespace gridlume
