#pragma once

#include "platform/Accessibility.h"

namespace gridlume {

class X11Connection;

// X11 asks no permission to move other clients' windows: whoever can talk to the display may.
class X11Trust final : public AccessibilityTrust {
public:
    explicit X11Trust(const X11Connection& connection)
        : m_connection(connection)
    {
    }
    // True while the display connection is usable.
    bool isProcessTrusted() const override;

private:
    const X11Connection& m_connection;
};

} // namespace gridlume
