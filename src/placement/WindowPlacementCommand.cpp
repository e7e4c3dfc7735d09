#include "placement/WindowPlacementCommand.h"

#include "placement/ScreenChoice.h"
#include "placement/WindowPlacementService.h"

#include <cmath>

namespace gridlume {

WindowPlacementCommand::WindowPlacementCommand(
    Accessibility& accessibility, ScreenProvider& screens, Workspace& workspace, LogSink& logSink, PlacementGaps gaps)
    : m_accessibility(accessibility)
    , m_screens(screens)
    , m_workspace(workspace)
    , m_logSink(logSink)
    , m_gaps(gaps)
{
}

WindowPlacementCommand::Outcome WindowPlacementCommand::run(const PlacementRequest& request)
{
    const Logger logger(m_logSink, QStringLiteral("WindowPlacementController"));
    WindowPlacementService service(m_accessibility, m_screens, m_workspace, m_logSink);
    const std::optional<RunningApplication> target = m_workspace.frontmostApplication();
    const QList<Screen> screens = m_screens.screens();

    std::optional<qsizetype> index;
    bool isIndex = false;
    const qsizetype number = request.monitor.toLongLong(&isIndex);
    if (request.monitor == QLatin1String("current")) {
        // A window that cannot be read is the placement's to report; the primary serves meanwhile.
        if (const auto frame = service.focusedWindowFrame(target))
            index = screenHoldingMostOf(*frame, screens);
        if (!index && !screens.isEmpty())
            index = 0;
    } else if (request.monitor == QLatin1String("next")) {
        // The one after the window's, in Gridlume's screen order, the first after the last.
        if (const auto frame = service.focusedWindowFrame(target); frame && !screens.isEmpty())
            index = (screenHoldingMostOf(*frame, screens).value_or(0) + 1) % screens.size();
        else if (!screens.isEmpty())
            index = 0;
    } else if (request.monitor == QLatin1String("primary")) {
        if (!screens.isEmpty())
            index = 0;
    } else if (isIndex) {
        if (number >= 0 && number < screens.size())
            index = number;
    } else {
        for (qsizetype i = 0; i < screens.size() && !index; ++i) {
            if (screens[i].name == request.monitor)
                index = i;
        }
    }
    if (!index) {
        QStringList names;
        for (const Screen& screen : screens)
            names.append(screen.name);
        const QString message
            = QStringLiteral("No monitor \"%1\"; the monitors are: %2")
                  .arg(request.monitor, names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")));
        logger.log(LogLevel::Error, message);
        return { PlacementFailure { PlacementFailure::Kind::NoSuchMonitor, { message } }, std::nullopt };
    }

    // As on a panel: a visible frame that came out unusable gives way to the whole screen.
    Screen screen = screens[*index];
    screen.visibleFrame = usableVisibleFrame(screen, Size { 1, 1 });
    if (!service.placeFocusedWindow(target, screen, request.region, m_gaps)) {
        const QString message = QStringLiteral("Window placement failed");
        logger.log(LogLevel::Error, message);
        PlacementFailure failure = *service.failure();
        failure.messages.append(message);
        return { failure, std::nullopt };
    }
    const Rect block = request.region.appKitFrame(screen, m_gaps);
    const std::optional<Rect> frame = service.focusedWindowFrame(target);
    if (frame
        && (std::abs(frame->width() - block.width()) > sizeTolerance
            || std::abs(frame->height() - block.height()) > sizeTolerance)) {
        const QString message
            = QString::asprintf("The window kept its own size, %g x %g, instead of the block's %g x %g", frame->width(),
                frame->height(), block.width(), block.height());
        logger.log(LogLevel::Error, message);
        return { PlacementFailure { PlacementFailure::Kind::KeptOwnSize, { message } }, frame };
    }
    return { std::nullopt, frame };
}

} // namespace gridlume
