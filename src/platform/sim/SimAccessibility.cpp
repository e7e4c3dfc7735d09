#include "platform/sim/SimAccessibility.h"

#include "platform/sim/SimDesktop.h"

#include <cmath>

namespace gridlume {

namespace {
    double snapped(double requested, double base, double increment, double minimum)
    {
        double value = requested;
        if (increment > 0)
            value = base + std::floor((requested - base) / increment) * increment;
        return std::max(value, minimum);
    }

    QString describe(const AXObjectRef& value)
    {
        Point point;
        Size size;
        if (auto axValue = axCast<AXValue>(value)) {
            if (axValue->getValue(point))
                return QStringLiteral("(%1, %2)").arg(point.x).arg(point.y);
            if (axValue->getValue(size))
                return QStringLiteral("%1x%2").arg(size.width).arg(size.height);
        }
        if (auto boolean = axCast<AXBoolean>(value))
            return boolean->value() ? QStringLiteral("true") : QStringLiteral("false");
        return value ? QStringLiteral("<value>") : QStringLiteral("<null>");
    }
} // namespace

AXUIElementRef SimAccessibility::createApplication(pid_t pid)
{
    return std::make_shared<SimElement>(pid, std::nullopt);
}

AXError SimAccessibility::copyAttributeValue(
    const AXUIElementRef& element, const QString& attribute, AXObjectRef& value)
{
    value.reset();
    const auto* simElement = dynamic_cast<const SimElement*>(element.get());
    if (auto fault = m_desktop.recordCall(QStringLiteral("copyAttributeValue"), attribute))
        return AXError(*fault);
    if (!simElement)
        return AXError::IllegalArgument;
    if (m_desktop.m_attributeOverrides.contains(attribute)) {
        value = m_desktop.m_attributeOverrides.value(attribute);
        return AXError::Success;
    }

    if (!simElement->windowID) {
        if (!m_desktop.m_applications.contains(simElement->pid))
            return AXError::InvalidUIElement;
        const SimDesktop::Application& application = m_desktop.m_applications[simElement->pid];
        if (attribute == kAXFocusedWindowAttribute) {
            if (!application.focusedWindow)
                return AXError::NoValue;
            value = std::make_shared<SimElement>(simElement->pid, application.focusedWindow);
            return AXError::Success;
        }
        if (attribute == kAXEnhancedUserInterfaceAttribute) {
            if (!application.enhancedUserInterface)
                return AXError::AttributeUnsupported;
            value = std::make_shared<AXBoolean>(*application.enhancedUserInterface);
            return AXError::Success;
        }
        return AXError::AttributeUnsupported;
    }

    SimDesktop::Window* window = m_desktop.window(*simElement->windowID);
    if (!window)
        return AXError::InvalidUIElement;
    if (attribute == kAXPositionAttribute) {
        value = std::make_shared<AXValue>(window->frame.origin);
        return AXError::Success;
    }
    if (attribute == kAXSizeAttribute) {
        value = std::make_shared<AXValue>(window->frame.size);
        return AXError::Success;
    }
    return AXError::AttributeUnsupported;
}

AXError SimAccessibility::setAttributeValue(
    const AXUIElementRef& element, const QString& attribute, const AXObjectRef& value)
{
    const auto* simElement = dynamic_cast<const SimElement*>(element.get());
    if (auto fault = m_desktop.recordCall(QStringLiteral("setAttributeValue"), attribute, describe(value)))
        return AXError(*fault);
    if (!simElement)
        return AXError::IllegalArgument;

    if (!simElement->windowID) {
        if (!m_desktop.m_applications.contains(simElement->pid))
            return AXError::InvalidUIElement;
        SimDesktop::Application& application = m_desktop.m_applications[simElement->pid];
        if (attribute != kAXEnhancedUserInterfaceAttribute || !application.enhancedUserInterface)
            return AXError::AttributeUnsupported;
        const auto boolean = axCast<AXBoolean>(value);
        if (!boolean)
            return AXError::IllegalArgument;
        application.enhancedUserInterface = boolean->value();
        return AXError::Success;
    }

    SimDesktop::Window* window = m_desktop.window(*simElement->windowID);
    if (!window)
        return AXError::InvalidUIElement;
    const auto axValue = axCast<AXValue>(value);
    if (!axValue)
        return AXError::IllegalArgument;
    if (window->spec.refusesFrames)
        return AXError::CannotComplete;
    Point point;
    Size size;
    if (attribute == kAXPositionAttribute && axValue->getValue(point)) {
        window->frame.origin = point;
        return AXError::Success;
    }
    if (attribute == kAXSizeAttribute && axValue->getValue(size)) {
        const SimWindowSpec& spec = window->spec;
        window->frame.size = { snapped(size.width, spec.baseSize.width, spec.sizeIncrement.width, spec.minimumSize.width),
            snapped(size.height, spec.baseSize.height, spec.sizeIncrement.height, spec.minimumSize.height) };
        return AXError::Success;
    }
    return AXError::IllegalArgument;
}

std::shared_ptr<const AXValue> SimAccessibility::createPointValue(Point point)
{
    if (m_desktop.recordCall(QStringLiteral("createPointValue"), {}, QStringLiteral("(%1, %2)").arg(point.x).arg(point.y))
        || !std::isfinite(point.x) || !std::isfinite(point.y))
        return nullptr;
    return std::make_shared<AXValue>(point);
}

std::shared_ptr<const AXValue> SimAccessibility::createSizeValue(Size size)
{
    if (m_desktop.recordCall(QStringLiteral("createSizeValue"), {}, QStringLiteral("%1x%2").arg(size.width).arg(size.height))
        || !std::isfinite(size.width) || !std::isfinite(size.height))
        return nullptr;
    return std::make_shared<AXValue>(size);
}

} // namespace gridlume
