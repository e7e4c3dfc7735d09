#include "platform/linux/DesktopEntry.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/ProcessStartTime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace gridlume {
namespace {

    const QByteArray kTerminal = "# comment\n"
                                 "[Desktop Entry]\n"
                                 "Type=Application\n"
                                 "Name=Terminal\n"
                                 "Name[de]=Konsole\\sneu\n"
                                 "Name[de_AT]=Terminal (AT)\n"
                                 "Icon=utilities-terminal\n"
                                 "StartupWMClass=Gnome-terminal\n"
                                 "[Desktop Action new]\n"
                                 "Name=New Window\n";

    TEST(DesktopEntry, ParsesTheEntryGroupWithTheBestTranslation)
    {
        struct Case {
            QStringList locales;
            QString name;
        };
        const Case cases[] = {
            { { "de_DE", "de" }, "Konsole neu" },
            { { "de_AT", "de" }, "Terminal (AT)" },
            { { "fr_FR", "fr" }, "Terminal" },
        };
        for (const Case& testCase : cases) {
            const auto entry = DesktopEntry::parse(kTerminal, "org.gnome.Terminal", testCase.locales);
            ASSERT_TRUE(entry);
            EXPECT_EQ(entry->name, testCase.name);
            EXPECT_EQ(entry->icon, "utilities-terminal");
            EXPECT_EQ(entry->startupWMClass, "Gnome-terminal");
        }
    }

    TEST(DesktopEntry, RejectsWhatIsNoApplication)
    {
        const QByteArray rejected[] = {
            "[Desktop Entry]\nType=Link\nName=Site\n",
            "[Desktop Entry]\nType=Application\nName=Gone\nHidden=true\n",
            "[Other]\nType=Application\nName=Wrong group\n",
            "",
        };
        for (const QByteArray& contents : rejected)
            EXPECT_FALSE(DesktopEntry::parse(contents, "x", {})) << contents.constData();
    }

    class DesktopEntryIndexTest : public ::testing::Test {
    protected:
        void write(const QString& directory, const QString& relativePath, const QByteArray& contents)
        {
            const QString path = m_root.filePath(directory + u'/' + relativePath);
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        QString directory(const QString& name) const { return m_root.filePath(name); }
        QTemporaryDir m_root;
    };

    QByteArray application(const char* name, const char* wmClass = nullptr)
    {
        QByteArray contents = "[Desktop Entry]\nType=Application\nName=" + QByteArray(name) + '\n';
        if (wmClass)
            contents += "StartupWMClass=" + QByteArray(wmClass) + '\n';
        return contents;
    }

    TEST_F(DesktopEntryIndexTest, MatchesWindowClasses)
    {
        write("user", "org.example.Editor.desktop", application("User's Editor"));
        write("system", "org.example.Editor.desktop", application("System Editor"));
        write("system", "debian-xterm.desktop", application("XTerm", "XTerm"));
        write("system", "xterm-like.desktop", application("Not XTerm"));
        write("system", "kde/konsole.desktop", application("Konsole"));
        const DesktopEntryIndex index({ directory("user"), directory("system") }, {});

        struct Case {
            const char* name;
            QString instance;
            QString className;
            std::optional<QString> id;
        };
        const Case cases[] = {
            { "StartupWMClass names the class", "xterm", "XTerm", "debian-xterm" },
            { "the ID's last part is the class, the user's entry shadows the system's", "editor", "Editor",
                "org.example.Editor" },
            { "IDs of subdirectories join with '-'", "kde-konsole", "Konsole2", "kde-konsole" },
            { "no match", "unknown", "Unknown", std::nullopt },
        };
        for (const Case& testCase : cases) {
            SCOPED_TRACE(testCase.name);
            const auto entry = index.find(testCase.instance, testCase.className);
            EXPECT_EQ(entry ? std::optional<QString>(entry->id) : std::nullopt, testCase.id);
        }
        EXPECT_EQ(index.find("editor", "Editor")->name, "User's Editor");
    }

    TEST(ProcessStartTime, ReadsFieldTwentyTwoAfterTheCommandName)
    {
        // The command name may hold spaces and parentheses.
        const QByteArray stat = "4242 (a (weird) name) S 1 4242 4242 0 -1 4194560 100 0 0 0 1 2 0 0 20 0 1 0 "
                                "987654 10000000 200 18446744073709551615";
        EXPECT_EQ(parseProcessStartTime(stat), 987654u);
        EXPECT_EQ(parseProcessStartTime("4242 (short) S 1 2 3"), std::nullopt);
        EXPECT_EQ(parseProcessStartTime("garbage"), std::nullopt);
        EXPECT_TRUE(processStartTime(::getpid()));
        EXPECT_EQ(processStartTime(::getpid()), processStartTime(::getpid()));
    }

} // namespace
} // namespace gridlume
