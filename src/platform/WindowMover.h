#pragma once

#include "Geometry.h"

#include <QString>

#include <optional>
#include <sys/types.h>

namespace gridlume {

// Why a window could not be found, read or placed.
enum class WindowFailure {
    // The application has no focused window (or no window at all).
    NoWindow,
    // The window went away.
    Gone,
    // The desktop did not answer in time, or its connection broke; the mover logged it.
    NoAnswer,
    // The desktop answered with an error; the mover logged it.
    Refused,
};

// A window of another program, named the way its desktop names it (an X11 window number, a KWin
// window's uuid, a Mutter window id); empty for none.
using WindowId = QString;

// What a frame read or a frame request answers: the window's frame as the desktop has it
// afterwards, or why there is none.
struct FrameAnswer {
    Rect frame;
    std::optional<WindowFailure> failure;
    // False when the window had not taken the requested frame by the mover's deadline: `frame` is
    // the one it still has (a window that insists on its own size, or one that is slow to draw).
    bool settled = true;

    bool ok() const { return !failure.has_value(); }
};

struct FocusedWindowAnswer {
    WindowId window;
    std::optional<WindowFailure> failure;
};

// Other programs' windows in the desktop's own terms: which window of an application has the
// focus, its frame, and a whole frame set at once.
//
// Frames are visible frames: the window with the desktop's decoration, without the shadow a
// window may draw around itself. They are in the accessibility space of Accessibility.h: the
// origin at the top-left corner of the primary screen, y growing downwards, in the units the
// backend's ScreenProvider gives screens in. A mover converts them to its desktop's coordinates
// in one place, and rounds the edges of a requested frame there, not its origin and size apart,
// so that two frames that share an edge share it in pixels too.
//
// Calls wait for the desktop's answer. Main thread only.
class WindowMover {
public:
    virtual ~WindowMover() = default;

    virtual FocusedWindowAnswer focusedWindow(pid_t pid) = 0;
    virtual FrameAnswer frame(const WindowId& window) = 0;
    // Moves and resizes the window to `frame` in one request: restored first if it is maximized or
    // full screen, then given the frame, then read back once it has settled or the mover's
    // deadline has passed. The answer is where the window is then, which may differ from `frame`
    // when the window keeps a size of its own or the desktop keeps it on a screen.
    virtual FrameAnswer setFrame(const WindowId& window, const Rect& frame) = 0;
};

} // namespace gridlume
