#include "layouts/LayoutShortcutController.h"

#include "placement/PlacementRequest.h"
#include "placement/ScreenChoice.h"
#include "placement/WindowPlacementCommand.h"
#include "placement/WindowPlacementService.h"
#include "settings/SettingsStore.h"

#include <cmath>

namespace gridlume {

namespace {
    // A window counts as where a press put it within this many points on every edge: a
    // window manager may round or shift a frame by a pixel when it settles.
    constexpr double settledTolerance = 2;

    bool near(const Rect& a, const Rect& b)
    {
        return std::abs(a.minX() - b.minX()) <= settledTolerance && std::abs(a.minY() - b.minY()) <= settledTolerance
            && std::abs(a.maxX() - b.maxX()) <= settledTolerance && std::abs(a.maxY() - b.maxY()) <= settledTolerance;
    }
} // namespace

LayoutShortcutController::LayoutShortcutController(LayoutStore& layoutStore, const SettingsStore& settingsStore,
    Accessibility& accessibility, ScreenProvider& screens, Workspace& workspace, LogSink& logSink)
    : m_layoutStore(layoutStore)
    , m_settingsStore(settingsStore)
    , m_accessibility(accessibility)
    , m_screens(screens)
    , m_workspace(workspace)
    , m_logSink(logSink)
    , m_logger(logSink, QStringLiteral("LayoutShortcutController"))
{
}

void LayoutShortcutController::start()
{
    m_layoutStore.setPressHandler([this](qsizetype index) { (void)apply(index); });
}

bool LayoutShortcutController::apply(qsizetype index)
{
    if (index < 0 || index >= m_layoutStore.layouts().size())
        return false;
    const PlacementLayout layout = m_layoutStore.layouts()[index];
    if (layout.kind == PlacementLayout::Kind::nextMonitor) {
        m_last.reset();
        return moveToNextMonitor();
    }

    WindowPlacementService service(m_accessibility, m_screens, m_workspace, m_logSink);
    const std::optional<RunningApplication> target = m_workspace.frontmostApplication();
    const std::optional<Rect> frame = service.focusedWindowFrame(target);
    qsizetype step = 0;
    if (m_last && target && frame && m_last->layoutName == layout.name
        && m_last->processIdentifier == target->processIdentifier() && near(*frame, m_last->frame))
        step = (m_last->step + 1) % layout.steps.size();
    m_last.reset();

    // Later steps stay on the monitor the first one chose.
    const PlacementRequest request { layout.steps[step],
        step == 0 ? PlacementLayout::monitorWord(layout.monitor) : QStringLiteral("current") };
    WindowPlacementCommand command(m_accessibility, m_screens, m_workspace, m_logSink, m_settingsStore.placementGaps());
    const WindowPlacementCommand::Outcome outcome = command.run(request);
    if (!outcome.placed())
        m_logger.error("The layout \"%s\" could not place the window: %s", qUtf8Printable(layout.name),
            qUtf8Printable(outcome.reason()));
    // A window that kept its own size still moved: the next press goes on from there.
    if (target && outcome.frame)
        m_last = LastPlacement { layout.name, step, target->processIdentifier(), *outcome.frame };
    return outcome.placed();
}

bool LayoutShortcutController::moveToNextMonitor()
{
    WindowPlacementService service(m_accessibility, m_screens, m_workspace, m_logSink);
    const std::optional<RunningApplication> target = m_workspace.frontmostApplication();
    const std::optional<Rect> frame = service.focusedWindowFrame(target);
    const QList<Screen> screens = m_screens.screens();
    if (!frame) {
        m_logger.error("No focused window is available");
        return false;
    }
    const std::optional<qsizetype> from = screenHoldingMostOf(*frame, screens);
    if (!from || screens.size() < 2) {
        m_logger.info("There is no other monitor to move the window to");
        return false;
    }
    // The same part of the next monitor's usable area, in proportion: a window on a block of
    // a grid lands on the same block of the same grid there.
    const Rect source = usableVisibleFrame(screens[*from], Size { 1, 1 });
    const Rect destination = usableVisibleFrame(screens[(*from + 1) % screens.size()], Size { 1, 1 });
    const double scaleX = destination.width() / source.width();
    const double scaleY = destination.height() / source.height();
    const Rect moved(destination.minX() + (frame->minX() - source.minX()) * scaleX,
        destination.minY() + (frame->minY() - source.minY()) * scaleY, frame->width() * scaleX,
        frame->height() * scaleY);
    if (!service.placeFocusedWindowOnFrame(target, destination, moved)) {
        m_logger.error("Window placement failed");
        return false;
    }
    return true;
}

} // namespace gridlume
