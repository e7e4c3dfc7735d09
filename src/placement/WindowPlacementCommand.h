#pragma once

#include "placement/PlacementFailure.h"
#include "placement/PlacementRequest.h"
#include "placement/WindowPlacementRegion.h"
#include "platform/Accessibility.h"
#include "platform/Log.h"
#include "platform/Screens.h"
#include "platform/Workspace.h"

#include <QString>

#include <optional>

namespace gridlume {

// Carries out a PlacementRequest on the active window: finds the monitor, then places the window
// through WindowPlacementService like a selection on a panel, so every rule and every failure
// message is the same. Main thread only; blocks until the window system has answered.
class WindowPlacementCommand {
public:
    // A window that ends further than this from the block's size, in points, kept a size of its
    // own (a fixed size, a minimum size larger than the block); within it, size increments.
    static constexpr double sizeTolerance = 32;

    struct Outcome {
        // Why the window was not placed; none when it was.
        std::optional<PlacementFailure> failure;
        // The window's frame afterwards, as read back (window-system space), when it could be read.
        std::optional<Rect> frame;
        bool placed() const { return !failure; }
        QString reason() const { return failure ? failure->reason() : QString(); }
    };

    // `gaps` are the user's, as every other way of placing applies them.
    WindowPlacementCommand(Accessibility& accessibility, ScreenProvider& screens, Workspace& workspace,
        LogSink& logSink, PlacementGaps gaps = {});

    Outcome run(const PlacementRequest& request);

private:
    Accessibility& m_accessibility;
    ScreenProvider& m_screens;
    Workspace& m_workspace;
    LogSink& m_logSink;
    PlacementGaps m_gaps;
};

} // namespace gridlume
