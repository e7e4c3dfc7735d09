#pragma once

#include "platform/Accessibility.h"

namespace gridlume {

class SimDesktop;

// Elements of the simulated desktop: an application (by pid) or one of its windows.
class SimElement final : public AXUIElement {
public:
    SimElement(pid_t pid, std::optional<int> windowID)
        : pid(pid)
        , windowID(windowID)
    {
    }
    const pid_t pid;
    const std::optional<int> windowID;
};

class SimAccessibility final : public Accessibility {
public:
    explicit SimAccessibility(SimDesktop& desktop)
        : m_desktop(desktop)
    {
    }

    AXUIElementRef createApplication(pid_t pid) override;
    AXError copyAttributeValue(const AXUIElementRef& element, const QString& attribute, AXObjectRef& value) override;
    AXError setAttributeValue(const AXUIElementRef& element, const QString& attribute, const AXObjectRef& value) override;
    std::shared_ptr<const AXValue> createPointValue(Point point) override;
    std::shared_ptr<const AXValue> createSizeValue(Size size) override;

private:
    SimDesktop& m_desktop;
};

} // namespace gridlume
