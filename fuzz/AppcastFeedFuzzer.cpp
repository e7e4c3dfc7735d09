// The appcast comes from the network. Whatever it holds, the links we may hand to the desktop
// are web pages and nothing else.
#include "settings_window/AppcastFeed.h"

#include <cstdint>
#include <cstdlib>

using namespace gridlume;

namespace {

bool isWebUrlOrEmpty(const QUrl& url)
{
    return url.isEmpty()
        || (url.isValid() && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))
            && !url.host().isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray xml(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<QList<AppcastItem>> items = AppcastFeed::parse(xml, &error);
    if (!items)
        return 0;
    for (const AppcastItem& item : *items) {
        if (item.version.isEmpty() || !isWebUrlOrEmpty(item.pageUrl) || !isWebUrlOrEmpty(item.enclosureUrl))
            std::abort();
        for (const AppcastItem& other : *items) {
            if (AppcastFeed::compareVersions(item.version, other.version)
                != -AppcastFeed::compareVersions(other.version, item.version))
                std::abort();
        }
    }
    if (const std::optional<AppcastItem> newest = AppcastFeed::newestItemAfter(*items, QStringLiteral("0.1.0"))) {
        if (AppcastFeed::compareVersions(newest->version, QStringLiteral("0.1.0")) <= 0)
            std::abort();
    }
    return 0;
}
