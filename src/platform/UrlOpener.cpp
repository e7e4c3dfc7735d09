#include "platform/UrlOpener.h"

#include <QDesktopServices>

namespace gridlume {

bool DesktopUrlOpener::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace gridlume
