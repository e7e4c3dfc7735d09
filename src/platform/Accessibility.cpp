#include "Accessibility.h"

namespace gridlume {

QString axErrorName(AXError error)
{
    const char* name = nullptr;
    switch (error) {
    case AXError::Success:
        name = "kAXErrorSuccess";
        break;
    case AXError::Failure:
        name = "kAXErrorFailure";
        break;
    case AXError::IllegalArgument:
        name = "kAXErrorIllegalArgument";
        break;
    case AXError::InvalidUIElement:
        name = "kAXErrorInvalidUIElement";
        break;
    case AXError::InvalidUIElementObserver:
        name = "kAXErrorInvalidUIElementObserver";
        break;
    case AXError::CannotComplete:
        name = "kAXErrorCannotComplete";
        break;
    case AXError::AttributeUnsupported:
        name = "kAXErrorAttributeUnsupported";
        break;
    case AXError::ActionUnsupported:
        name = "kAXErrorActionUnsupported";
        break;
    case AXError::NotificationUnsupported:
        name = "kAXErrorNotificationUnsupported";
        break;
    case AXError::NotImplemented:
        name = "kAXErrorNotImplemented";
        break;
    case AXError::NotificationAlreadyRegistered:
        name = "kAXErrorNotificationAlreadyRegistered";
        break;
    case AXError::NotificationNotRegistered:
        name = "kAXErrorNotificationNotRegistered";
        break;
    case AXError::APIDisabled:
        name = "kAXErrorAPIDisabled";
        break;
    case AXError::NoValue:
        name = "kAXErrorNoValue";
        break;
    case AXError::ParameterizedAttributeUnsupported:
        name = "kAXErrorParameterizedAttributeUnsupported";
        break;
    case AXError::NotEnoughPrecision:
        name = "kAXErrorNotEnoughPrecision";
        break;
    }
    const int number = static_cast<int>(error);
    if (!name)
        return QStringLiteral("AXError(%1)").arg(number);
    return QStringLiteral("%1 (%2)").arg(QLatin1String(name)).arg(number);
}

AXError writeFrameAttribute(const QString& attribute, const AXObjectRef& value,
    const std::function<AXError(std::optional<Point>, std::optional<Size>)>& write)
{
    const auto axValue = axCast<AXValue>(value);
    if (attribute == kAXPositionAttribute) {
        Point point;
        if (!axValue || !axValue->getValue(point))
            return AXError::IllegalArgument;
        return write(point, std::nullopt);
    }
    if (attribute == kAXSizeAttribute) {
        Size size;
        if (!axValue || !axValue->getValue(size))
            return AXError::IllegalArgument;
        return write(std::nullopt, size);
    }
    return AXError::AttributeUnsupported;
}

} // namespace gridlume
