#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace gridlume {

// One release listed in an appcast: an RSS item with a version and an enclosure.
struct AppcastItem {
    QString version;
    // The release's web page: the item's link, else its release-notes link; only http(s).
    QUrl pageUrl;
    QUrl enclosureUrl;
    friend bool operator==(const AppcastItem&, const AppcastItem&) = default;
};

// Reading of the appcast format: RSS 2.0 whose items carry the release's version as
// sparkle:shortVersionString or sparkle:version, either as elements of the item or as attributes
// of its enclosure.
class AppcastFeed {
public:
    // The items of the default channel that have both a version and an enclosure, in feed
    // order. None, with `error` set, when the text is not a well-formed RSS document.
    static std::optional<QList<AppcastItem>> parse(const QByteArray& xml, QString* error = nullptr);

    // The newest item whose version is newer than `currentVersion`, if any.
    static std::optional<AppcastItem> newestItemAfter(const QList<AppcastItem>& items, const QString& currentVersion);

    // Compares dotted versions part by part, numbers as numbers ("1.10" > "1.9", "1.0" == "1.0.0");
    // a part that is not a number compares as text. Negative, zero or positive.
    static int compareVersions(const QString& a, const QString& b);
};

} // namespace gridlume
