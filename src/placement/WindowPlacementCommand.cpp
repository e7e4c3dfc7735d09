#include "placement/WindowPlacementCommand.h"

#include "placement/ScreenChoice.h"
#include "placement/WindowPlacementService.h"

#include <cmath>

namespace gridlume {

namespace {
    // Passes every record on and keeps the errors, which are the reason a placement failed.
    class ErrorCollectingLogSink final : public LogSink {
    public:
        explicit ErrorCollectingLogSink(LogSink& next)
            : m_next(next)
        {
        }
        void write(const LogRecord& record) override
        {
            if (record.level == LogLevel::Error)
                m_errors.append(record.message);
            m_next.write(record);
        }
        QString reason() const { return m_errors.join(QStringLiteral("; ")); }

    private:
        LogSink& m_next;
        QStringList m_errors;
    };
} // namespace

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
    ErrorCollectingLogSink sink(m_logSink);
    const Logger logger(sink, QStringLiteral("WindowPlacementController"));
    WindowPlacementService service(m_accessibility, m_screens, m_workspace, sink);
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
        logger.error("No monitor \"%s\"; the monitors are: %s", qUtf8Printable(request.monitor),
            names.isEmpty() ? "none" : qUtf8Printable(names.join(QStringLiteral(", "))));
        return { false, sink.reason(), std::nullopt };
    }

    // As on a panel: a visible frame that came out unusable gives way to the whole screen.
    Screen screen = screens[*index];
    screen.visibleFrame = usableVisibleFrame(screen, Size { 1, 1 });
    if (!service.placeFocusedWindow(target, screen, request.region, m_gaps)) {
        logger.error("Window placement failed");
        return { false, sink.reason(), std::nullopt };
    }
    const Rect block = request.region.appKitFrame(screen, m_gaps);
    const std::optional<Rect> frame = service.focusedWindowFrame(target);
    if (frame
        && (std::abs(frame->width() - block.width()) > sizeTolerance
            || std::abs(frame->height() - block.height()) > sizeTolerance)) {
        logger.error("The window kept its own size, %g x %g, instead of the block's %g x %g", frame->width(),
            frame->height(), block.width(), block.height());
        return { false, sink.reason(), frame };
    }
    return { true, {}, frame };
}

} // namespace gridlume
