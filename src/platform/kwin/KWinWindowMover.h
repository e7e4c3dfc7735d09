#pragma once

#include "platform/Log.h"
#include "platform/WindowMover.h"

#include <chrono>

namespace gridlume {

class KWinScreenProvider;
class KWinScriptChannel;

// Other programs' windows through Gridlume's KWin script, which reads and sets their frames the
// way KWin's own window rules do: one question to the script for each call.
//
// Frames are KWin's frame geometry: the window with KWin's decoration, the visible part of a window
// that draws its own (KWin leaves client-side shadows out), in KWin's logical pixels, which are
// device-independent ones; so the only conversion is the shift to the primary output's corner. A
// frame request is answered at once for an X11 window, whose size increments KWin applies itself;
// for a Wayland window once it has drawn itself at its new size, or as not settled after
// `settleDeadline` when it keeps its size.
class KWinWindowMover final : public WindowMover {
public:
    KWinWindowMover(KWinScriptChannel& channel, KWinScreenProvider& screens, LogSink& logSink);

    FocusedWindowAnswer focusedWindow(pid_t pid) override;
    FrameAnswer frame(const WindowId& window) override;
    FrameAnswer setFrame(const WindowId& window, const Rect& frame) override;

    static constexpr std::chrono::milliseconds settleDeadline { 500 };

private:
    KWinScriptChannel& m_channel;
    KWinScreenProvider& m_screens;
    Logger m_logger;
};

} // namespace gridlume
