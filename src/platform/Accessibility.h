#pragma once

#include "Geometry.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <sys/types.h>

namespace gridlume {

// Status of an accessibility call. 0 is success; the other values keep the numbers that
// accessibility clients know, so logs can be compared across platforms.
enum class AXError : qint32 {
    Success = 0,
    Failure = -25200,
    IllegalArgument = -25201,
    InvalidUIElement = -25202,
    InvalidUIElementObserver = -25203,
    CannotComplete = -25204,
    AttributeUnsupported = -25205,
    ActionUnsupported = -25206,
    NotificationUnsupported = -25207,
    NotImplemented = -25208,
    NotificationAlreadyRegistered = -25209,
    NotificationNotRegistered = -25210,
    APIDisabled = -25211,
    NoValue = -25212,
    ParameterizedAttributeUnsupported = -25213,
    NotEnoughPrecision = -25214,
};

// The code's name and number, e.g. "kAXErrorInvalidUIElement (-25202)"; unknown codes print as
// "AXError(<number>)".
QString axErrorName(AXError error);

// Attribute names.
inline const QString kAXFocusedWindowAttribute = QStringLiteral("AXFocusedWindow");
inline const QString kAXPositionAttribute = QStringLiteral("AXPosition");
inline const QString kAXSizeAttribute = QStringLiteral("AXSize");
inline const QString kAXEnhancedUserInterfaceAttribute = QStringLiteral("AXEnhancedUserInterface");

// Every value an accessibility call hands out is an AXObject; its type ID tells what it is.
enum class AXTypeID {
    UIElement,
    Value,
    Boolean,
    Other,
};

class AXObject {
public:
    virtual ~AXObject() = default;
    virtual AXTypeID typeID() const = 0;
};

using AXObjectRef = std::shared_ptr<const AXObject>;

// An application or a window of another program. Backends derive their own elements from it.
class AXUIElement : public AXObject {
public:
    AXTypeID typeID() const final { return AXTypeID::UIElement; }
};

using AXUIElementRef = std::shared_ptr<const AXUIElement>;

enum class AXValueType {
    CGPoint,
    CGSize,
};

// A point or a size wrapped for an attribute write or read. Created through
// Accessibility::createPointValue/createSizeValue, which may fail.
class AXValue final : public AXObject {
public:
    explicit AXValue(Point point)
        : m_type(AXValueType::CGPoint)
        , m_a(point.x)
        , m_b(point.y)
    {
    }
    explicit AXValue(Size size)
        : m_type(AXValueType::CGSize)
        , m_a(size.width)
        , m_b(size.height)
    {
    }

    AXTypeID typeID() const override { return AXTypeID::Value; }
    AXValueType valueType() const { return m_type; }

    // True and the point (size) filled in when the value holds a point (size).
    bool getValue(Point& out) const
    {
        if (m_type != AXValueType::CGPoint)
            return false;
        out = { m_a, m_b };
        return true;
    }
    bool getValue(Size& out) const
    {
        if (m_type != AXValueType::CGSize)
            return false;
        out = { m_a, m_b };
        return true;
    }

private:
    AXValueType m_type;
    double m_a;
    double m_b;
};

class AXBoolean final : public AXObject {
public:
    explicit AXBoolean(bool value)
        : m_value(value)
    {
    }
    AXTypeID typeID() const override { return AXTypeID::Boolean; }
    bool value() const { return m_value; }

private:
    bool m_value;
};

// A value of no type the program uses (a string, say); only its type ID can be asked.
class AXOtherValue final : public AXObject {
public:
    AXTypeID typeID() const override { return AXTypeID::Other; }
};

template <typename T>
std::shared_ptr<const T> axCast(const AXObjectRef& object)
{
    if (!object)
        return nullptr;
    if constexpr (std::is_same_v<T, AXUIElement>) {
        return object->typeID() == AXTypeID::UIElement ? std::static_pointer_cast<const T>(object) : nullptr;
    } else if constexpr (std::is_same_v<T, AXValue>) {
        return object->typeID() == AXTypeID::Value ? std::static_pointer_cast<const T>(object) : nullptr;
    } else {
        static_assert(std::is_same_v<T, AXBoolean>);
        return object->typeID() == AXTypeID::Boolean ? std::static_pointer_cast<const T>(object) : nullptr;
    }
}

// A backend's write of a window's kAXPositionAttribute or kAXSizeAttribute: decodes `value` and
// hands the position or the size to `write`. IllegalArgument for a value of the wrong kind,
// AttributeUnsupported for any other attribute.
AXError writeFrameAttribute(const QString& attribute, const AXObjectRef& value,
    const std::function<AXError(std::optional<Point>, std::optional<Size>)>& write);

// Reading and writing attributes of other programs' applications and windows.
//
// Coordinates are in the accessibility space: origin at the top-left corner of the primary
// screen, y growing downwards; a position is the top-left corner of the window's visible frame.
// Calls are synchronous as seen by the caller: a read returns the window system's state after every
// write made before it, and once the last reference to an element is released its writes have
// been carried out (or have failed to within the backend's deadline). A write itself may return
// before the window system has carried it out, so that writes made one after another cost one
// wait instead of one each.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    // The application element of the process. Always returns an element; whether the process
    // exists shows in the calls made on it.
    virtual AXUIElementRef createApplication(pid_t pid) = 0;

    // On success, `value` holds the attribute's value, which may still be null. On failure it
    // is reset.
    virtual AXError copyAttributeValue(const AXUIElementRef& element, const QString& attribute, AXObjectRef& value)
        = 0;

    virtual AXError setAttributeValue(const AXUIElementRef& element, const QString& attribute, const AXObjectRef& value)
        = 0;

    // A new value, or null when it cannot be created.
    virtual std::shared_ptr<const AXValue> createPointValue(Point point) = 0;
    virtual std::shared_ptr<const AXValue> createSizeValue(Size size) = 0;
};

// How the permission is given on a desktop where it is not the accessibility permission of the
// desktop's settings, in the permission window's words: its title, one line of explanation, and
// the first step with its button, which calls `open` (false when it could not open anything).
struct TrustGuide {
    QString title;
    QString explanation;
    QString openStep;
    QString openButton;
    std::function<bool()> open;
};

// Whether this process may act on other programs' windows.
class AccessibilityTrust {
public:
    virtual ~AccessibilityTrust() = default;
    // Asked afresh on every call, and polled while the permission window is shown: cheap, no
    // round trip to the desktop. Never cached by callers.
    virtual bool isProcessTrusted() const = 0;
    // How to give the permission here; none for the desktop's accessibility permission.
    virtual std::optional<TrustGuide> guide() const { return std::nullopt; }
};

} // namespace gridlume
