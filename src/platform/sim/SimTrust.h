#pragma once

#include "platform/Accessibility.h"

namespace gridlume {

class SimDesktop;

class SimTrust final : public AccessibilityTrust {
public:
    explicit SimTrust(SimDesktop& desktop)
        : m_desktop(desktop)
    {
    }
    bool isProcessTrusted() const override;

private:
    SimDesktop& m_desktop;
};

} // namespace gridlume
