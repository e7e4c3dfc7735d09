#pragma once

#include "platform/Log.h"
#include "platform/UrlOpener.h"

#include <QObject>
#include <QString>

namespace gridlume {

// Opens the place where the user grants Gridlume the right to act on other programs' windows.
// Keeps no trust state: whoever needs it asks the platform afresh. Main thread only.
class PermissionSetupService : public QObject {
    Q_OBJECT
public:
    // The page that lists the permission itself, and the broader page it belongs to, opened
    // when the first one cannot be. Strings so that a link that does not parse is skipped.
    struct SettingsLinks {
        QString accessibilityPane;
        QString securityPane;
    };

    // Where the desktop has no such permission (X11), these are the help pages that explain it.
    static SettingsLinks defaultSettingsLinks();

    explicit PermissionSetupService(UrlOpener& urlOpener, SettingsLinks links = defaultSettingsLinks(),
        QObject* parent = nullptr);

    // Opens the permission's own page; if that link does not parse or no handler takes it, the
    // broader page. Nothing is reported when neither opens: the user can still go there by hand.
    void openAccessibilitySettings();

private:
    UrlOpener& m_urlOpener;
    SettingsLinks m_links;
};

} // namespace gridlume
