#pragma once

#include "platform/Geometry.h"
#include "platform/Screens.h"

#include <optional>

namespace gridlume {

// Converts between the window-system space (origin at the primary screen's bottom-left, y up)
// and the accessibility space (origin at its top-left, y down) by mirroring y about the top
// edge of `primaryScreenFrame`. The same call serves both directions; x never changes. The
// null rectangle passes through unchanged; a negative size comes back normalised.
Rect flippedFrame(const Rect& rect, const Rect& primaryScreenFrame);

// The same, with the primary screen taken from the screen list. None when no screen is
// connected: without a primary screen there is no accessibility space to convert to.
std::optional<Rect> flippedFrame(const Rect& rect, const ScreenProvider& screens);

// `frame` moved inside `bounds` where it fits, its size unchanged. A frame wider (taller) than
// the bounds is aligned with their left (bottom) edge and overhangs on the right (top).
Rect constrainedFrame(const Rect& bounds, const Rect& frame);

} // namespace gridlume
