#pragma once

#include "placement/PlacementFailure.h"
#include "placement/WindowPlacementRegion.h"
#include "platform/Accessibility.h"
#include "platform/Log.h"
#include "platform/RunningApplication.h"
#include "platform/Screens.h"
#include "platform/Workspace.h"

#include <optional>

namespace gridlume {

// Moves and resizes the focused window of another application onto a block of a screen's
// visible frame, through the accessibility interface. Keeps no state between placements.
class WindowPlacementService {
public:
    WindowPlacementService(Accessibility& accessibility, ScreenProvider& screens, Workspace& workspace, LogSink& logSink);

    // Places the focused window of `targetApplication` on the part of `screen`'s visible frame
    // that `region` covers, less `gaps`. When the application settles on another size (a minimum size, size
    // increments), the window keeps that size and is shifted inside the visible frame. True
    // when every write succeeded; false after logging the cause otherwise, which failure() then
    // holds. Blocks until the window system has answered. Main thread only.
    bool placeFocusedWindow(const std::optional<RunningApplication>& targetApplication, const Screen& screen,
        const WindowPlacementRegion& region, const PlacementGaps& gaps = {});
    // The same for any `frame` inside `bounds` (a visible frame), window-system space.
    bool placeFocusedWindowOnFrame(
        const std::optional<RunningApplication>& targetApplication, const Rect& bounds, const Rect& frame);
    // Why the last placement failed; none after one that succeeded.
    const std::optional<PlacementFailure>& failure() const { return m_failure; }

    // The visible frame of the focused window of `targetApplication`, in the window-system space;
    // none, without a log, when there is no target or its window cannot be read.
    std::optional<Rect> focusedWindowFrame(const std::optional<RunningApplication>& targetApplication);

private:
    AXUIElementRef focusedWindow(const AXUIElementRef& application);
    std::optional<bool> readEnhancedUserInterface(const AXUIElementRef& application);
    bool setWindowFrame(const AXUIElementRef& window, const Rect& targetFrame, const Rect& bounds);
    std::optional<Point> readPointAttribute(const AXUIElementRef& window);
    std::optional<Size> readSizeAttribute(const AXUIElementRef& window);
    // Logs a cause of the placement failing and keeps it for failure().
    void error(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);
    void error(const QString& message);
    bool fail(PlacementFailure::Kind kind);

    Accessibility& m_accessibility;
    ScreenProvider& m_screens;
    Workspace& m_workspace;
    Logger m_logger;
    QStringList m_errors;
    std::optional<PlacementFailure> m_failure;
};

} // namespace gridlume
