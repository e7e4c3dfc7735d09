// Entry point: the options, one instance per user and display, the desktop (X11, or KDE Plasma's
// Wayland session), then the application's event loop.
#include "app/CommandLineOptions.h"
#include "app/GridlumeApp.h"
#include "app/GridlumeDBusService.h"
#include "app/InstanceChannel.h"
#include "app/JournalLogSink.h"
#include "app/QtMessageRedirect.h"
#include "app/TerminationSignalHandler.h"
#include "placement/WindowPlacementCommand.h"
#include "platform/Backends.h"
#include "platform/IniUserDefaults.h"
#include "settings/SettingsStore.h"
#include "settings_window/QtAppearanceApplier.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QTextStream>

#include <cstring>

using namespace gridlume;

namespace {

// `gridlume place`: through the running Gridlume when there is one, else in this process. The
// arguments were checked before: bad ones never reach the desktop.
int place(int argc, char** argv, const PlacementRequest& request, QTextStream& err)
{
    {
        QCoreApplication application(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Gridlume"));

        // The running instance has the display already; only the command's own placement needs one.
        const InstanceChannel instance(InstanceChannel::defaultSocketPath(qgetenv("DISPLAY")));
        const QByteArray command = InstanceChannel::placeCommand + ' ' + request.toArguments().toUtf8();
        if (const auto answer = instance.requestFromPrimaryInstance(command, 10000)) {
            if (*answer == "ok")
                return 0;
            const qsizetype space = answer->indexOf(' ');
            const QString reason = QString::fromUtf8(space < 0 ? *answer : answer->mid(space + 1));
            err << "gridlume: " << reason << '\n';
            return answer->startsWith("invalid ") ? 2 : 1;
        }
    }

    QString problem;
    const Backend* backend = Backends::forSession(&problem);
    if (!backend) {
        err << "gridlume: " << problem << '\n';
        return 1;
    }
    // With the screens Qt sees on the X display, as the running program would: the gaps are in
    // logical pixels, at each screen's scale.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Gridlume"));
    // The service's log lines are the reason, printed once below.
    CapturingLogSink logSink;
    IniUserDefaults userDefaults(logSink);
    QString platformError;
    const std::unique_ptr<BackendPlatform> backendPlatform
        = backend->createCommandPlatform(userDefaults, logSink, &platformError);
    if (!backendPlatform) {
        err << "gridlume: " << platformError << '\n';
        return 1;
    }
    Platform& platform = backendPlatform->platform();
    WindowPlacementCommand placement(platform.accessibility, platform.screens, platform.workspace, logSink,
        SettingsStore::readPlacementGaps(userDefaults, Logger(logSink, QStringLiteral("SettingsStore"))));
    const WindowPlacementCommand::Outcome outcome = placement.run(request);
    if (outcome.placed())
        return 0;
    err << "gridlume: " << outcome.reason() << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLineOptions options = CommandLineOptions::parse(arguments);
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (options.action) {
    case CommandLineOptions::Action::help:
        out << CommandLineOptions::helpText();
        return 0;
    case CommandLineOptions::Action::version:
        out << "gridlume " << GRIDLUME_VERSION << '\n';
        return 0;
    case CommandLineOptions::Action::invalid:
        err << "gridlume: " << options.error << " (see gridlume --help)\n";
        if (!arguments.isEmpty() && arguments.first() == QLatin1String("place"))
            err << CommandLineOptions::placeUsage();
        return 2;
    case CommandLineOptions::Action::place:
        return place(argc, argv, options.placement, err);
    case CommandLineOptions::Action::run:
    case CommandLineOptions::Action::toggle:
        break;
    }

    // Gridlume's own windows are X11 windows, also in a Wayland session (through Xwayland),
    // whatever platform the session asks Qt programs to use: only there can they be placed on a
    // screen, kept above other windows and shown without taking the focus.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QString problem;
    const Backend* backend = Backends::forEnvironment(&problem);
    if (const auto windowProblem = backend ? backend->windowProblem() : std::nullopt) {
        problem = *windowProblem;
        backend = nullptr;
    }
    if (!backend) {
        err << "gridlume: " << problem << '\n';
        return 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gridlume"));
    QApplication::setApplicationVersion(QStringLiteral(GRIDLUME_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("gridlume"));
    QApplication::setQuitOnLastWindowClosed(false);
    const QIcon applicationIcon(QStringLiteral(":/gridlume/gridlume.svg"));
    QApplication::setWindowIcon(applicationIcon);

    backend = Backends::forSession(&problem);
    if (!backend) {
        err << "gridlume: " << problem << '\n';
        return 1;
    }

    InstanceChannel instance(InstanceChannel::defaultSocketPath(qgetenv("DISPLAY")));
    QString instanceError;
    if (!instance.becomePrimaryInstance(&instanceError)) {
        const QByteArray command = options.action == CommandLineOptions::Action::toggle
            ? InstanceChannel::toggleCommand
            : InstanceChannel::showSettingsCommand;
        if (instance.sendToPrimaryInstance(command, 3000, &instanceError)) {
            if (options.action == CommandLineOptions::Action::run)
                out << "Gridlume is already running; its settings window is open.\n";
            return 0;
        }
        err << "gridlume: cannot reach the running Gridlume: " << instanceError << '\n';
        return 1;
    }
    if (options.action == CommandLineOptions::Action::toggle) {
        err << "gridlume: Gridlume is not running\n";
        return 1;
    }
    // From here on the program has something to clean up (the instance socket, the hot keys):
    // the session ending or Ctrl+C quits like "Quit Gridlume". Declared before everything it
    // must outlive, so that a second signal still ends a quit that hangs in the teardown.
    TerminationSignalHandler terminationSignals;

    std::unique_ptr<LogSink> logSink = JournalLogSink::create();
    // Qt ends the program itself when the X server goes away; its reason belongs in our log.
    const QtMessageRedirect qtMessages(*logSink);
    IniUserDefaults userDefaults(*logSink);
    QString platformError;
    const std::unique_ptr<BackendPlatform> backendPlatform
        = backend->createPlatform(userDefaults, *logSink, &platformError);
    if (!backendPlatform) {
        err << "gridlume: " << platformError << '\n';
        return 1;
    }
    QtAppearanceApplier appearance;
    AppContainer::Configuration configuration {
        { AppcastUpdater::defaultFeedUrl(), QStringLiteral(GRIDLUME_VERSION) },
        QStringLiteral(GRIDLUME_VERSION),
        applicationIcon,
    };
    GridlumeApp app(backendPlatform->platform(), appearance, std::move(configuration));
    Logger logger(*logSink, QStringLiteral("AppDelegate"));
    QObject::connect(
        &terminationSignals, &TerminationSignalHandler::terminationRequested, &app, [&logger](int signalNumber) {
            logger.info("Quitting on signal %d (%s)", signalNumber, ::strsignal(signalNumber));
            QCoreApplication::quit();
        });
    QObject::connect(&instance, &InstanceChannel::commandReceived, &app, &GridlumeApp::handleInstanceCommand);
    instance.setRequestHandler([&app](const QByteArray& command) { return app.handleInstanceRequest(command); });
    GridlumeDBusService sessionBusService(app, *logSink);
    sessionBusService.registerOnSessionBus();
    return application.exec();
}
