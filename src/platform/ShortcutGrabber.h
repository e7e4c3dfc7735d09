#pragma once

#include <QtGlobal>

#include <functional>
#include <optional>

namespace gridlume {

// The modifier keys of a shortcut, as Linux desktops name them.
namespace ShortcutModifier {
    inline constexpr quint8 Shift = 0x1;
    inline constexpr quint8 Control = 0x2;
    inline constexpr quint8 Alt = 0x4;
    inline constexpr quint8 Super = 0x8;
} // namespace ShortcutModifier

// A physical key with modifiers. The key is its Linux evdev code (KEY_* of
// <linux/input-event-codes.h>): a position on the keyboard, whatever the layout.
struct KeyCombination {
    quint16 evdevCode = 0;
    // ShortcutModifier bits.
    quint8 modifiers = 0;
    friend bool operator==(const KeyCombination&, const KeyCombination&) = default;
};

// Why a grab failed.
enum class GrabFailure {
    // Another program holds the combination (or this one already does).
    HeldByAnotherProgram,
    // The desktop has no key for the evdev code.
    NoSuchKey,
    // The desktop refused or did not answer for another reason; the grabber logged it.
    DesktopFailed,
};

// What a grab gives back: a handle (never 0) to release it with, or why it failed.
struct GrabResult {
    quint64 handle = 0;
    std::optional<GrabFailure> failure;
};

// For grabbers that keep their grabs by handle with the desktop's name of each (`action`): calls
// the callback of the grab the desktop named, on a copy, since the callback may release that very
// grab.
template <typename Grabs, typename Action>
void deliverPress(const Grabs& grabs, const Action& action)
{
    for (const auto& [handle, grab] : grabs) {
        if (grab.action == action) {
            const std::function<void()> onPressed = grab.onPressed;
            onPressed();
            return;
        }
    }
}

// System-wide shortcuts in the desktop's own terms: a key combination held for this program
// whichever program has the keyboard focus. Main thread only.
class ShortcutGrabber {
public:
    virtual ~ShortcutGrabber() = default;

    // Holds `combination` until release(). Each press (not the repeats of a key held down) calls
    // `onPressed` on the main thread, from the event loop, never inside a call of this class.
    // Waits for the desktop's answer.
    virtual GrabResult grab(KeyCombination combination, std::function<void()> onPressed) = 0;
    // Lets go of a grab; false for a handle that is not held. Once it returns, another program
    // may take the combination, and `onPressed` is never called again.
    virtual bool release(quint64 handle) = 0;
};

} // namespace gridlume
