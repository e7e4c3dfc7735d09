#include "platform/IniUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

class IniUserDefaultsTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath("Gridlume/Gridlume.conf"); }

    void writeFile(const QByteArray& content)
    {
        QDir().mkpath(m_dir.filePath("Gridlume"));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QByteArray readFile() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    CapturingLogSink m_log;
};

TEST_F(IniUserDefaultsTest, ValuesKeepTheirTypesAcrossARestart)
{
    {
        IniUserDefaults defaults(m_log, path());
        defaults.setObject("tilingPanelKeyboardShortcut", QByteArray(R"({"keyCode":49,"modifiers":6144})"));
        defaults.setBool("keepTilingPanelOpenAfterTiling", false);
        defaults.setObject("appAppearance", QString("dark"));
    }
    const QByteArray file = readFile();
    EXPECT_TRUE(file.contains("@ByteArray({")) << file.constData();
    EXPECT_TRUE(file.contains("keepTilingPanelOpenAfterTiling=false")) << file.constData();
    EXPECT_TRUE(file.contains("appAppearance=dark")) << file.constData();

    IniUserDefaults reloaded(m_log, path());
    EXPECT_EQ(reloaded.dataForKey("tilingPanelKeyboardShortcut"), QByteArray(R"({"keyCode":49,"modifiers":6144})"));
    EXPECT_EQ(reloaded.boolForKey("keepTilingPanelOpenAfterTiling"), false);
    EXPECT_EQ(reloaded.stringForKey("appAppearance"), "dark");
    EXPECT_TRUE(m_log.records().isEmpty());
}

struct WrongTypeCase {
    const char* name;
    const char* line;
    bool hasString, hasData, hasBool;
};

class IniWrongTypes : public IniUserDefaultsTest, public ::testing::WithParamInterface<WrongTypeCase> { };

TEST_P(IniWrongTypes, ReadAsAbsentUnderAnyOtherType)
{
    writeFile(QByteArray("[General]\n") + GetParam().line + '\n');
    IniUserDefaults defaults(m_log, path());
    const QString key = "k";
    EXPECT_EQ(defaults.stringForKey(key).has_value(), GetParam().hasString);
    EXPECT_EQ(defaults.dataForKey(key).has_value(), GetParam().hasData);
    EXPECT_EQ(defaults.boolForKey(key).has_value(), GetParam().hasBool);
}

INSTANTIATE_TEST_SUITE_P(IniUserDefaults, IniWrongTypes,
    ::testing::Values(WrongTypeCase { "plainString", "k=NO", true, false, false },
        WrongTypeCase { "boolean", "k=true", false, false, true },
        WrongTypeCase { "data", "k=@ByteArray(abc)", false, true, false },
        WrongTypeCase { "variant", "k=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\0)", false, false, false }),
    [](const auto& info) { return std::string(info.param.name); });

// A serialised list claiming 671 million elements: Qt reserves room for all of them (21 GB) before
// it finds the data missing. Such a file runs on defaults and is never rewritten.
TEST_F(IniUserDefaultsTest, SerializedObjectOfAbsurdSizeIsADamagedFile)
{
    const QByteArray content("[General]\nappAppearance=dark\n"
                             "v=\"@Variant(\\0\\0\\0\\t(\\0\\0\\0\\x7f\\0\\0\\0\\nQByteArray)\"\n");
    writeFile(content);
    IniUserDefaults defaults(m_log, path());
    EXPECT_EQ(defaults.fileState(), IniUserDefaults::FileState::Corrupt);
    EXPECT_FALSE(defaults.stringForKey("appAppearance"));

    defaults.setObject("appAppearance", QString("light"));
    EXPECT_EQ(defaults.stringForKey("appAppearance"), "light");
    defaults.removeObject("appAppearance");
    EXPECT_EQ(readFile(), content);
    ASSERT_EQ(m_log.records().size(), 1);
    EXPECT_TRUE(m_log.records().first().message.contains("damaged"));
}

TEST_F(IniUserDefaultsTest, UnreadableFileIsLeftAlone)
{
    // A directory where the file should be cannot be opened for reading, even by root.
    ASSERT_TRUE(QDir().mkpath(path()));
    IniUserDefaults defaults(m_log, path());
    EXPECT_EQ(defaults.fileState(), IniUserDefaults::FileState::Unreadable);
    defaults.setBool("keepTilingPanelOpenAfterTiling", false);
    EXPECT_EQ(defaults.boolForKey("keepTilingPanelOpenAfterTiling"), false);
    EXPECT_TRUE(QFileInfo(path()).isDir());
    ASSERT_EQ(m_log.records().size(), 1);
    EXPECT_TRUE(m_log.records().first().message.startsWith("Cannot read the settings file"));
}

TEST_F(IniUserDefaultsTest, UnwritableLocationKeepsChangesInMemoryAndSaysSoOnce)
{
    // Nothing can be created under /proc, not even by root.
    IniUserDefaults defaults(m_log, "/proc/gridlume-test/Gridlume.conf");
    EXPECT_EQ(defaults.fileState(), IniUserDefaults::FileState::Usable);
    defaults.setObject("appAppearance", QString("light"));
    defaults.setObject("appAppearance", QString("system"));
    EXPECT_EQ(defaults.fileState(), IniUserDefaults::FileState::Unwritable);
    EXPECT_EQ(defaults.stringForKey("appAppearance"), "system");
    EXPECT_EQ(m_log.messages().filter("Cannot save").size(), 1);
}

} // namespace
