#pragma once

#include <QUrl>

namespace gridlume {

// Opens links in the user's browser or the desktop's handler for the scheme (help pages, the
// web site, settings panes).
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // True when a handler accepted the URL. It returns once the handler was started, not when
    // the page is shown; a URL without a handler fails at once.
    virtual bool openUrl(const QUrl& url) = 0;
};

// The desktop's own handlers (xdg-open, the portal), through QDesktopServices.
class DesktopUrlOpener final : public UrlOpener {
public:
    bool openUrl(const QUrl& url) override;
};

} // namespace gridlume
