#pragma once

#include "platform/Accessibility.h"

namespace gridlume {

class GnomeShellChannel;

// GNOME asks no permission of its own, but on Wayland only GNOME Shell can move other programs'
// windows, and it lets Gridlume do so through Gridlume's extension: Gridlume is trusted while the
// extension runs, and the permission window tells how to turn it on.
class GnomeTrust final : public AccessibilityTrust {
public:
    explicit GnomeTrust(GnomeShellChannel& channel)
        : m_channel(channel)
    {
    }

    bool isProcessTrusted() const override;
    std::optional<TrustGuide> guide() const override;

    // Opens GNOME's Extensions app (org.gnome.Extensions, started by the session bus); false when
    // it is not installed.
    static bool openExtensionsApp();

private:
    GnomeShellChannel& m_channel;
};

} // namespace gridlume
