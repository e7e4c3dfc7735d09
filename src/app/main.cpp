// Entry point. For now it only reports what this build contains; the application shell
// (tray icon, panels, settings window) is wired up here as it lands.
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Gridlume"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GRIDLUME_VERSION));
    QTextStream err(stderr);
    err << "Gridlume " << QCoreApplication::applicationVersion()
        << ": this build has the placement core only; the tray icon and the tiling panels are not there yet.\n";
    return 1;
}
