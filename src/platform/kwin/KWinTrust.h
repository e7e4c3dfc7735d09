#pragma once

#include "platform/Accessibility.h"

namespace gridlume {

// KWin asks for no permission before it loads a script: the session's own programs may use its
// scripting service. Gridlume is trusted once its script runs.
class KWinTrust final : public AccessibilityTrust {
public:
    bool isProcessTrusted() const override { return true; }
};

} // namespace gridlume
