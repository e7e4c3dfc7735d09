#include "settings_window/AppcastFeed.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace gridlume {

namespace {

    const QString sparkleNamespace = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

    bool isSparkle(const QXmlStreamReader& reader, QStringView localName)
    {
        return reader.name() == localName && reader.namespaceUri() == sparkleNamespace;
    }

    QString sparkleAttribute(const QXmlStreamAttributes& attributes, const QString& localName)
    {
        return attributes.value(sparkleNamespace, localName).toString().trimmed();
    }

    QUrl webUrl(const QString& text)
    {
        const QUrl url(text.trimmed(), QUrl::StrictMode);
        // Only pages a browser shows: a feed must not make us hand a file: or custom-scheme
        // link to the desktop.
        if (!url.isValid() || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http"))
            || url.host().isEmpty())
            return {};
        return url;
    }

    struct ItemText {
        QString shortVersion, version, link, releaseNotesLink, enclosureUrl, enclosureShortVersion, enclosureVersion;
        bool hasEnclosure = false;
        bool inOtherChannel = false;
    };

} // namespace

std::optional<QList<AppcastItem>> AppcastFeed::parse(const QByteArray& xml, QString* error)
{
    QXmlStreamReader reader(xml);
    QList<AppcastItem> items;
    bool sawRss = false;
    std::optional<ItemText> item;

    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (!sawRss) {
                if (reader.name() != QLatin1String("rss")) {
                    reader.raiseError(QStringLiteral("not an RSS document"));
                    break;
                }
                sawRss = true;
                continue;
            }
            if (reader.name() == QLatin1String("item") && reader.namespaceUri().isEmpty()) {
                item = ItemText {};
            } else if (item) {
                if (reader.name() == QLatin1String("enclosure") && reader.namespaceUri().isEmpty()) {
                    const QXmlStreamAttributes attributes = reader.attributes();
                    item->hasEnclosure = true;
                    item->enclosureUrl = attributes.value(QStringLiteral("url")).toString();
                    item->enclosureShortVersion = sparkleAttribute(attributes, QStringLiteral("shortVersionString"));
                    item->enclosureVersion = sparkleAttribute(attributes, QStringLiteral("version"));
                } else if (reader.name() == QLatin1String("link") && reader.namespaceUri().isEmpty()) {
                    item->link = reader.readElementText(QXmlStreamReader::SkipChildElements);
                } else if (isSparkle(reader, u"shortVersionString")) {
                    item->shortVersion = reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                } else if (isSparkle(reader, u"version")) {
                    item->version = reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                } else if (isSparkle(reader, u"releaseNotesLink")) {
                    item->releaseNotesLink = reader.readElementText(QXmlStreamReader::SkipChildElements);
                } else if (isSparkle(reader, u"channel")) {
                    // Beta and other channels are for people who opted in; we follow the default.
                    item->inOtherChannel = true;
                }
            }
        } else if (reader.isEndElement() && item && reader.name() == QLatin1String("item")) {
            QString version = item->shortVersion;
            for (const QString& candidate : { item->enclosureShortVersion, item->version, item->enclosureVersion }) {
                if (version.isEmpty())
                    version = candidate;
            }
            if (item->hasEnclosure && !version.isEmpty() && !item->inOtherChannel) {
                QUrl page = webUrl(item->link);
                if (page.isEmpty())
                    page = webUrl(item->releaseNotesLink);
                items.append(AppcastItem { version, page, webUrl(item->enclosureUrl) });
            }
            item.reset();
        }
    }
    if (!reader.hasError() && !sawRss)
        reader.raiseError(QStringLiteral("empty document"));
    if (reader.hasError()) {
        if (error)
            *error = reader.errorString();
        return std::nullopt;
    }
    return items;
}

std::optional<AppcastItem> AppcastFeed::newestItemAfter(const QList<AppcastItem>& items, const QString& currentVersion)
{
    std::optional<AppcastItem> newest;
    for (const AppcastItem& item : items) {
        if (compareVersions(item.version, currentVersion) <= 0)
            continue;
        if (!newest || compareVersions(item.version, newest->version) > 0)
            newest = item;
    }
    return newest;
}

int AppcastFeed::compareVersions(const QString& a, const QString& b)
{
    static const QRegularExpression separators(QStringLiteral("[.\\-+_ ]"));
    const QStringList left = a.trimmed().split(separators, Qt::SkipEmptyParts);
    const QStringList right = b.trimmed().split(separators, Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const QString l = i < left.size() ? left[i] : QStringLiteral("0");
        const QString r = i < right.size() ? right[i] : QStringLiteral("0");
        bool lNumber = false, rNumber = false;
        const qulonglong ln = l.toULongLong(&lNumber);
        const qulonglong rn = r.toULongLong(&rNumber);
        if (lNumber && rNumber) {
            if (ln != rn)
                return ln < rn ? -1 : 1;
        } else if (const int order = l.compare(r); order != 0) {
            return order < 0 ? -1 : 1;
        }
    }
    return 0;
}

} // namespace gridlume
