#include "settings_window/AppcastFeed.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

struct VersionCase {
    const char* a;
    const char* b;
    int order;
};

class CompareVersions : public ::testing::TestWithParam<VersionCase> { };

TEST_P(CompareVersions, ComparesPartsAsNumbers)
{
    const VersionCase& c = GetParam();
    EXPECT_EQ(AppcastFeed::compareVersions(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.order);
    EXPECT_EQ(AppcastFeed::compareVersions(QString::fromLatin1(c.b), QString::fromLatin1(c.a)), -c.order);
}

INSTANTIATE_TEST_SUITE_P(AppcastFeed, CompareVersions,
    ::testing::Values(VersionCase { "0.1.0", "0.1.0", 0 }, VersionCase { "1.10", "1.9", 1 },
        VersionCase { "1.0", "1.0.0", 0 }, VersionCase { "0.2", "0.1.9", 1 }, VersionCase { "2", "10", -1 },
        VersionCase { " 0.1.1 ", "0.1.0", 1 }));

const QByteArray header = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel><title>Gridlume</title>)";
const QByteArray footer = "</channel></rss>";

TEST(AppcastFeed, ReadsItemsWithAVersionAndAnEnclosureOnly)
{
    const QByteArray xml = header + R"(
<item><title>0.3.0 beta</title><sparkle:channel>beta</sparkle:channel><sparkle:shortVersionString>0.3.0</sparkle:shortVersionString>
  <enclosure url="https://gridlume.org/d/0.3.0.tar.gz" length="1" type="application/gzip"/></item>
<item><title>element version</title><link>https://gridlume.org/releases/0.2.0</link>
  <sparkle:version>200</sparkle:version><sparkle:shortVersionString>0.2.0</sparkle:shortVersionString>
  <enclosure url="https://gridlume.org/d/0.2.0.tar.gz" length="1" type="application/gzip"/></item>
<item><title>attribute version, unsafe link</title><link>file:///etc/passwd</link>
  <sparkle:releaseNotesLink>https://gridlume.org/notes/0.1.5</sparkle:releaseNotesLink>
  <enclosure url="https://gridlume.org/d/0.1.5.tar.gz" sparkle:version="0.1.5" length="1"/></item>
<item><title>no enclosure</title><sparkle:shortVersionString>9.0</sparkle:shortVersionString></item>
<item><title>no version</title><enclosure url="https://gridlume.org/d/x.tar.gz" length="1"/></item>
)" + footer;

    QString error;
    const auto items = AppcastFeed::parse(xml, &error);

    ASSERT_TRUE(items) << error.toStdString();
    const QList<AppcastItem> expected {
        { "0.2.0", QUrl("https://gridlume.org/releases/0.2.0"), QUrl("https://gridlume.org/d/0.2.0.tar.gz") },
        { "0.1.5", QUrl("https://gridlume.org/notes/0.1.5"), QUrl("https://gridlume.org/d/0.1.5.tar.gz") },
    };
    EXPECT_EQ(*items, expected);
    EXPECT_EQ(AppcastFeed::newestItemAfter(*items, "0.1.0")->version, "0.2.0");
    EXPECT_FALSE(AppcastFeed::newestItemAfter(*items, "0.2.0"));
}

struct MalformedCase {
    const char* name;
    QByteArray xml;
};

class MalformedFeeds : public ::testing::TestWithParam<MalformedCase> { };

TEST_P(MalformedFeeds, AreErrorsNotEmptyFeeds)
{
    QString error;
    EXPECT_FALSE(AppcastFeed::parse(GetParam().xml, &error));
    EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(AppcastFeed, MalformedFeeds,
    ::testing::Values(MalformedCase { "empty", "" }, MalformedCase { "html", "<html><body>Not found</body></html>" }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
