#pragma once

#include <QByteArray>
#include <QHashFunctions>
#include <QString>
#include <QStringList>

#include <optional>

namespace gridlume {

// Modifier bits of a shortcut (the hot-key mask).
inline constexpr quint32 cmdKey = 0x0100;
inline constexpr quint32 shiftKey = 0x0200;
inline constexpr quint32 optionKey = 0x0800;
inline constexpr quint32 controlKey = 0x1000;

// One system-wide shortcut: a positional virtual key code (kVK_*) and a modifier mask.
struct KeyboardShortcut {
    quint32 keyCode = 0;
    quint32 modifiers = 0;

    friend bool operator==(const KeyboardShortcut&, const KeyboardShortcut&) = default;

    // The stored form: {"keyCode":49,"modifiers":6144}, compact, members in this order.
    QByteArray toJson() const;
    // Reads the stored form. Both members are required, each an integer in 0…4294967295
    // (written as a plain JSON number); other members are ignored. Anything else is none.
    static std::optional<KeyboardShortcut> fromJson(const QByteArray& json);
};

size_t qHash(const KeyboardShortcut& shortcut, size_t seed = 0) noexcept;

// The mask for a key event's modifier flags; 0 when none of Control, Option, Shift and Command
// is held (Caps Lock, Fn and the rest never count).
quint32 carbonModifiers(quint64 modifierFlags);

// "⌃", "⌥", "⇧", "⌘" for the bits set, always in that order.
QStringList modifierSymbols(quint32 modifiers);

// The key's display name ("K", "␣", "F5", "←"), or "KeyCode(<code>)" for keys without one.
QString keyName(quint32 keyCode);

// What the settings show for a shortcut: modifier symbols then the key name, e.g. "⌃⌥␣".
QString displayText(const KeyboardShortcut& shortcut);

} // namespace gridlume
