#pragma once

#include "platform/Geometry.h"
#include "platform/Screens.h"

#include <QList>

#include <optional>

namespace gridlume {

// The index in `screens` of the screen whose frame holds the largest part of `frame` (the first
// of equals); none when `frame` lies on no screen. Window-system space.
std::optional<qsizetype> screenHoldingMostOf(const Rect& frame, const QList<Screen>& screens);

} // namespace gridlume
