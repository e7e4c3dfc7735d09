#include "placement/WindowPlacementService.h"

#include "placement/FrameGeometry.h"

#include <cstdarg>
#include <functional>

namespace gridlume {

WindowPlacementService::WindowPlacementService(
    Accessibility& accessibility, ScreenProvider& screens, Workspace& workspace, LogSink& logSink)
    : m_accessibility(accessibility)
    , m_screens(screens)
    , m_workspace(workspace)
    , m_logger(logSink, QStringLiteral("WindowPlacementController"))
{
}

bool WindowPlacementService::placeFocusedWindow(const std::optional<RunningApplication>& targetApplication,
    const Screen& screen, const WindowPlacementRegion& region, const PlacementGaps& gaps)
{
    return placeFocusedWindowOnFrame(targetApplication, screen.visibleFrame, region.appKitFrame(screen, gaps));
}

bool WindowPlacementService::placeFocusedWindowOnFrame(
    const std::optional<RunningApplication>& targetApplication, const Rect& bounds, const Rect& targetFrame)
{
    m_failure.reset();
    m_errors.clear();
    if (!targetApplication) {
        error("No target application is available");
        return fail(PlacementFailure::Kind::NoTargetApplication);
    }
    if (targetApplication->processIdentifier() == m_workspace.currentProcessIdentifier()) {
        error("Refusing to move Gridlume's own window");
        return fail(PlacementFailure::Kind::OwnWindow);
    }

    const AXUIElementRef application = m_accessibility.createApplication(targetApplication->processIdentifier());
    const AXUIElementRef window = focusedWindow(application);
    if (!window) {
        error("No focused window is available");
        return fail(PlacementFailure::Kind::NoFocusedWindow);
    }

    // Some applications animate or second-guess frame changes while an assistive
    // enhanced user interface is on; switch it off for the move and restore it on every path.
    const std::optional<bool> enhancedUserInterface = readEnhancedUserInterface(application);
    if (enhancedUserInterface == true)
        m_accessibility.setAttributeValue(
            application, kAXEnhancedUserInterfaceAttribute, std::make_shared<AXBoolean>(false));

    const bool placed = setWindowFrame(window, targetFrame, bounds);

    if (enhancedUserInterface == true)
        m_accessibility.setAttributeValue(
            application, kAXEnhancedUserInterfaceAttribute, std::make_shared<AXBoolean>(true));

    return placed;
}

AXUIElementRef WindowPlacementService::focusedWindow(const AXUIElementRef& application)
{
    AXObjectRef value;
    const AXError status = m_accessibility.copyAttributeValue(application, kAXFocusedWindowAttribute, value);
    if (status != AXError::Success) {
        error("Unable to read focused window attribute: %s", qUtf8Printable(axErrorName(status)));
        return nullptr;
    }
    AXUIElementRef window = axCast<AXUIElement>(value);
    if (!window) {
        error("Focused window attribute is not an AX window element");
        return nullptr;
    }
    return window;
}

std::optional<bool> WindowPlacementService::readEnhancedUserInterface(const AXUIElementRef& application)
{
    AXObjectRef value;
    if (m_accessibility.copyAttributeValue(application, kAXEnhancedUserInterfaceAttribute, value) != AXError::Success)
        return std::nullopt;
    if (auto boolean = axCast<AXBoolean>(value))
        return boolean->value();
    return std::nullopt;
}

bool WindowPlacementService::setWindowFrame(const AXUIElementRef& window, const Rect& targetFrame, const Rect& bounds)
{
    const std::optional<Rect> accessibilityFrame = flippedFrame(targetFrame, m_screens);
    if (!accessibilityFrame) {
        error("No screen is connected to place the window on");
        return fail(PlacementFailure::Kind::NoScreen);
    }

    const auto position = m_accessibility.createPointValue(accessibilityFrame->origin);
    const auto size = m_accessibility.createSizeValue(accessibilityFrame->size);
    if (!position || !size) {
        error("Unable to create accessibility frame values");
        return fail(PlacementFailure::Kind::ValuesNotCreated);
    }

    // Size first so that a window near a screen edge is not pushed back by its old size when
    // it moves, then the position, then the size again for windows that refused the first
    // size at their old position. All three always run.
    const AXError size1 = m_accessibility.setAttributeValue(window, kAXSizeAttribute, size);
    const AXError positionError = m_accessibility.setAttributeValue(window, kAXPositionAttribute, position);
    const AXError size2 = m_accessibility.setAttributeValue(window, kAXSizeAttribute, size);
    if (size1 != AXError::Success || positionError != AXError::Success || size2 != AXError::Success) {
        error("Unable to set window frame. position: %s, size1: %s, size2: %s",
            qUtf8Printable(axErrorName(positionError)), qUtf8Printable(axErrorName(size1)),
            qUtf8Printable(axErrorName(size2)));
        return fail(PlacementFailure::Kind::FrameNotSet);
    }

    const std::optional<Point> readPosition = readPointAttribute(window);
    const std::optional<Size> readSize = readPosition ? readSizeAttribute(window) : std::nullopt;
    if (!readPosition || !readSize) {
        error("Unable to read adjusted window frame");
        return fail(PlacementFailure::Kind::FrameNotRead);
    }

    // The application may have settled on another size; keep it, but keep the window inside
    // the visible frame.
    const std::optional<Rect> adjustedFrame
        = flippedFrame(Rect(readPosition->x, readPosition->y, readSize->width, readSize->height), m_screens);
    if (!adjustedFrame) {
        error("No screen is connected to place the window on");
        return fail(PlacementFailure::Kind::NoScreen);
    }
    const Rect constrained = constrainedFrame(bounds, *adjustedFrame);
    if (constrained.origin.x == adjustedFrame->origin.x && constrained.origin.y == adjustedFrame->origin.y)
        return true;

    const std::optional<Rect> constrainedAccessibilityFrame = flippedFrame(constrained, m_screens);
    const auto adjustedPosition
        = constrainedAccessibilityFrame ? m_accessibility.createPointValue(constrainedAccessibilityFrame->origin) : nullptr;
    if (!adjustedPosition) {
        error("Unable to create adjusted accessibility position");
        return fail(PlacementFailure::Kind::ValuesNotCreated);
    }
    const AXError adjustError = m_accessibility.setAttributeValue(window, kAXPositionAttribute, adjustedPosition);
    if (adjustError != AXError::Success) {
        error("Unable to adjust window position: %s", qUtf8Printable(axErrorName(adjustError)));
        return fail(PlacementFailure::Kind::FrameNotSet);
    }
    return true;
}

namespace {

    struct ValueAttributeMessages {
        const char* read;
        const char* type;
        const char* decode;
    };

    // Reads a point or size attribute; one procedure for both, logging with the messages of the
    // attribute being read.
    template <typename T>
    std::optional<T> readValueAttribute(Accessibility& accessibility, const std::function<void(const QString&)>& error,
        const AXUIElementRef& window, const QString& attribute, const ValueAttributeMessages& messages)
    {
        AXObjectRef value;
        const AXError status = accessibility.copyAttributeValue(window, attribute, value);
        if (status != AXError::Success || !value) {
            error(QString::fromUtf8(messages.read).replace(QLatin1String("%s"), axErrorName(status)));
            return std::nullopt;
        }
        const auto axValue = axCast<AXValue>(value);
        if (!axValue) {
            error(QString::fromUtf8(messages.type));
            return std::nullopt;
        }
        T result;
        if (!axValue->getValue(result)) {
            error(QString::fromUtf8(messages.decode));
            return std::nullopt;
        }
        return result;
    }

} // namespace

std::optional<Point> WindowPlacementService::readPointAttribute(const AXUIElementRef& window)
{
    return readValueAttribute<Point>(m_accessibility, [this](const QString& message) { error(message); }, window, kAXPositionAttribute,
        { "Unable to read point attribute: %s", "Point attribute is not an AX value",
            "Unable to decode point attribute" });
}

std::optional<Size> WindowPlacementService::readSizeAttribute(const AXUIElementRef& window)
{
    return readValueAttribute<Size>(m_accessibility, [this](const QString& message) { error(message); }, window, kAXSizeAttribute,
        { "Unable to read size attribute: %s", "Size attribute is not an AX value",
            "Unable to decode size attribute" });
}

std::optional<Rect> WindowPlacementService::focusedWindowFrame(const std::optional<RunningApplication>& targetApplication)
{
    if (!targetApplication)
        return std::nullopt;
    const AXUIElementRef application = m_accessibility.createApplication(targetApplication->processIdentifier());
    AXObjectRef value;
    if (m_accessibility.copyAttributeValue(application, kAXFocusedWindowAttribute, value) != AXError::Success)
        return std::nullopt;
    const AXUIElementRef window = axCast<AXUIElement>(value);
    AXObjectRef position;
    AXObjectRef size;
    if (!window || m_accessibility.copyAttributeValue(window, kAXPositionAttribute, position) != AXError::Success
        || m_accessibility.copyAttributeValue(window, kAXSizeAttribute, size) != AXError::Success)
        return std::nullopt;
    Point origin;
    Size extent;
    const auto positionValue = axCast<AXValue>(position);
    const auto sizeValue = axCast<AXValue>(size);
    if (!positionValue || !sizeValue || !positionValue->getValue(origin) || !sizeValue->getValue(extent))
        return std::nullopt;
    return flippedFrame(Rect(origin.x, origin.y, extent.width, extent.height), m_screens);
}

void WindowPlacementService::error(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const QString message = formatLogMessage(format, arguments);
    va_end(arguments);
    error(message);
}

void WindowPlacementService::error(const QString& message)
{
    m_logger.log(LogLevel::Error, message);
    m_errors.append(message);
}

bool WindowPlacementService::fail(PlacementFailure::Kind kind)
{
    m_failure = PlacementFailure { kind, m_errors };
    return false;
}

} // namespace gridlume
