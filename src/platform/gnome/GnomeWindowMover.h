#pragma once

#include "platform/Log.h"
#include "platform/WindowMover.h"

namespace gridlume {

class GnomeScreenProvider;
class GnomeShellChannel;

// Other programs' windows through Gridlume's GNOME Shell extension, by Mutter's window ids: one
// call to Shell for each read or frame request.
//
// Frames are Mutter's frame rectangles: the window with its server-side decoration, without the
// shadow a client-side decorated window draws (Mutter leaves it out), in Shell's logical pixels; so
// the only conversion is the shift to the primary monitor's corner. The extension restores a
// maximized or full-screen window first and answers a frame request once the frame has settled:
// at once for an X11 window, whose size increments Mutter applies itself; once a Wayland window
// has drawn itself at its new size, or after the extension's deadline (not settled) when it does
// not.
class GnomeWindowMover final : public WindowMover {
public:
    GnomeWindowMover(GnomeShellChannel& channel, GnomeScreenProvider& screens, LogSink& logSink);

    // Shell's focused window when it is the process's, else the process's topmost normal window.
    FocusedWindowAnswer focusedWindow(pid_t pid) override;
    FrameAnswer frame(const WindowId& window) override;
    FrameAnswer setFrame(const WindowId& window, const Rect& frame) override;

private:
    Rect accessibilityFrame(int x, int y, int width, int height) const;

    GnomeShellChannel& m_channel;
    GnomeScreenProvider& m_screens;
    Logger m_logger;
};

} // namespace gridlume
