#pragma once

#include "platform/Accessibility.h"

#include <sys/types.h>

namespace gridlume {

// The accessibility element of a process: stands for all of its windows in KWin.
class KWinApplicationElement final : public AXUIElement {
public:
    explicit KWinApplicationElement(pid_t processIdentifier)
        : m_processIdentifier(processIdentifier)
    {
    }
    pid_t processIdentifier() const { return m_processIdentifier; }

private:
    pid_t m_processIdentifier;
};

} // namespace gridlume
