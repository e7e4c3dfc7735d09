// The Debian package as a user meets it: installed with apt-get, the installed program started on
// a desktop with a tray, and the package removed again without a trace. It changes the system,
// so it needs root and refuses to touch a Gridlume that is installed already; scripts/package
// --install-test builds the package and runs it.
#include "GridlumeUnderTest.h"
#include "GridlumeWindows.h"
#include "X11TestDesktop.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <unistd.h>

namespace gridlume::test {
namespace {

    const QString packageName = QStringLiteral("gridlume");
    const QString installedProgram = QStringLiteral("/usr/bin/gridlume");

    struct Output {
        int exitCode = -1;
        QString text;
    };

    Output run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setProcessEnvironment(environmentWith({ QStringLiteral("DEBIAN_FRONTEND=noninteractive") }));
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForStarted())
            return { -1, program + QStringLiteral(": ") + process.errorString() };
        if (!process.waitForFinished(300000)) {
            process.kill();
            process.waitForFinished(3000);
        }
        const int exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return { exitCode, QString::fromUtf8(process.readAll()).trimmed() };
    }

    // dpkg's own word for the package's state: "installed", "config-files", "not-installed".
    QString packageState()
    {
        const Output query = run(QStringLiteral("dpkg-query"),
            { QStringLiteral("--show"), QStringLiteral("--showformat=${db:Status-Status}"), packageName });
        return query.exitCode == 0 ? query.text : QStringLiteral("not-installed");
    }

    // Purges the package on every way out of the test, so that a failure leaves the system as it was.
    struct PackageRemoval {
        ~PackageRemoval() { (void)purge(); }
        static Output purge()
        {
            return run(QStringLiteral("apt-get"), { QStringLiteral("purge"), QStringLiteral("-y"), packageName });
        }
    };

    // The packages that own the shared objects a running process has loaded: its libraries and
    // the plug-ins Qt loaded for it. dpkg knows a library by one of its two names on a merged
    // /usr (/lib/… or /usr/lib/…), so both are asked for.
    QSet<QString> packagesOfLoadedLibraries(pid_t pid)
    {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
        if (!maps.open(QIODevice::ReadOnly))
            return {};
        QSet<QString> paths;
        for (const QByteArray& line : maps.readAll().split('\n')) {
            const QString path = QString::fromUtf8(line.mid(line.indexOf('/')));
            if (line.contains('/') && path.contains(QStringLiteral(".so"))) {
                paths.insert(path);
                paths.insert(path.startsWith(QStringLiteral("/usr/")) ? path.mid(4) : QStringLiteral("/usr") + path);
            }
        }
        QSet<QString> packages;
        const Output owners = run(QStringLiteral("dpkg"), QStringList { QStringLiteral("--search") } + paths.values());
        for (const QString& line : owners.text.split(u'\n')) {
            const qsizetype colon = line.indexOf(QStringLiteral(": /"));
            if (colon < 0 || line.startsWith(QStringLiteral("dpkg-query"))
                || line.contains(QStringLiteral("diversion")))
                continue;
            for (const QString& owner : line.left(colon).split(QStringLiteral(", ")))
                packages.insert(owner.section(u':', 0, 0));
        }
        return packages;
    }

    // The package and everything it depends on, directly or not.
    QSet<QString> dependencyClosure(const QString& package)
    {
        const Output depends = run(QStringLiteral("apt-cache"),
            { QStringLiteral("depends"), QStringLiteral("--recurse"), QStringLiteral("--no-recommends"),
                QStringLiteral("--no-suggests"), QStringLiteral("--no-conflicts"), QStringLiteral("--no-breaks"),
                QStringLiteral("--no-replaces"), QStringLiteral("--no-enhances"), package });
        QSet<QString> closure;
        for (const QString& line : depends.text.split(u'\n')) {
            if (!line.isEmpty() && !line.startsWith(u' '))
                closure.insert(line.section(u':', 0, 0));
        }
        return closure;
    }

    TEST(PackageInstallTest, InstallsRunsFromTheTrayAndLeavesNothingBehind)
    {
        const QString package = QStringLiteral(GRIDLUME_PACKAGE_FILE);
        ASSERT_EQ(::geteuid(), 0u) << "installing a package needs root";
        ASSERT_TRUE(QFileInfo::exists(package)) << qPrintable(package) << " is missing: build it with scripts/package";
        ASSERT_EQ(packageState(), QStringLiteral("not-installed"))
            << "Gridlume is installed on this system already; this test would remove it, so it stops here";

        PackageRemoval removal;
        const Output install = run(QStringLiteral("apt-get"),
            { QStringLiteral("install"), QStringLiteral("-y"), QStringLiteral("--no-install-recommends"), package });
        ASSERT_EQ(install.exitCode, 0) << qPrintable(install.text);
        const QStringList installed = run(QStringLiteral("dpkg"), { QStringLiteral("--listfiles"), packageName })
                                          .text.split(u'\n', Qt::SkipEmptyParts);

        // What a desktop looks for, where it looks for it.
        for (const char* path :
            { "/usr/bin/gridlume", "/usr/share/applications/gridlume.desktop",
                "/usr/share/gridlume/autostart/gridlume.desktop", "/usr/share/icons/hicolor/scalable/apps/gridlume.svg",
                "/usr/share/icons/hicolor/symbolic/apps/gridlume-symbolic.svg",
                "/usr/share/metainfo/org.gridlume.Gridlume.metainfo.xml", "/usr/share/man/man1/gridlume.1.gz",
                "/usr/share/doc/gridlume/copyright", "/usr/share/doc/gridlume/changelog.gz",
                "/usr/share/gnome-shell/extensions/gridlume@gridlume.org/extension.js" }) {
            const QString file = QString::fromLatin1(path);
            EXPECT_TRUE(installed.contains(file) && QFileInfo(file).isFile()) << path;
        }
        const QString version = run(QStringLiteral("dpkg-query"),
            { QStringLiteral("--show"), QStringLiteral("--showformat=${Version}"), packageName })
                                    .text;
        EXPECT_EQ(run(installedProgram, { QStringLiteral("--version") }).text, QStringLiteral("gridlume ") + version);

        {
            DesktopProfile withTray = openboxDesktop();
            withTray.standaloneTray = true;
            X11TestDesktop desktop(withTray);
            QString error;
            ASSERT_TRUE(desktop.start(&error)) << qPrintable(error);
            GridlumeWindows windows(desktop);
            GridlumeUnderTest gridlume(desktop, installedProgram);
            ASSERT_TRUE(gridlume.start(&error)) << qPrintable(error);
            EXPECT_TRUE(desktop.waitUntil([&] { return windows.trayIcon().has_value(); }, 20s))
                << "no tray icon; Gridlume's log:\n"
                << qPrintable(gridlume.log());
            ASSERT_TRUE(gridlume.toggle());
            EXPECT_TRUE(windows.waitForPanels(GridlumeWindows::panelsOfBothMonitors())) << "--toggle showed no panels";

            // dpkg-shlibdeps sees the libraries the binary links; the package must also depend on
            // those of the plug-ins Qt loads, or a system without them shows no icons or no panels.
            const QSet<QString> loaded = packagesOfLoadedLibraries(gridlume.pid());
            EXPECT_TRUE(loaded.contains(QStringLiteral("libqt6gui6"))) << "the loaded libraries were not found";
            const QSet<QString> closure = dependencyClosure(packageName);
            // Qt's xcb plug-in loads Xcursor (and the Xrender it needs) for themed cursors when it
            // is there, and uses X's core cursors otherwise; Qt's own packages do not depend on it.
            const QSet<QString> optional { QStringLiteral("libxcursor1"), QStringLiteral("libxrender1") };
            for (const QString& owner : loaded) {
                EXPECT_TRUE(closure.contains(owner) || optional.contains(owner))
                    << qPrintable(owner) << " is loaded but no dependency of the package";
            }
        }

        const Output purge = PackageRemoval::purge();
        ASSERT_EQ(purge.exitCode, 0) << qPrintable(purge.text);
        EXPECT_EQ(packageState(), QStringLiteral("not-installed"));
        // Every file is gone; a folder may stay only while another package has it.
        for (const QString& path : installed) {
            const QFileInfo info(path);
            if (path == QStringLiteral("/.") || !info.exists())
                continue;
            const bool shared
                = info.isDir() && run(QStringLiteral("dpkg"), { QStringLiteral("--search"), path }).exitCode == 0;
            EXPECT_TRUE(shared) << qPrintable(path) << " is left behind";
        }
    }

} // namespace
} // namespace gridlume::test
