#include "app/GridlumeApp.h"

#include "app/AppDelegate.h"
#include "app/InstanceChannel.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"
#include "settings_window/SettingsWindowController.h"

#include <QCoreApplication>

namespace gridlume {

GridlumeApp::GridlumeApp(
    Platform& platform, AppearanceApplier& appearanceApplier, AppContainer::Configuration configuration, QObject* parent)
    : QObject(parent)
{
    m_appDelegate = std::make_unique<AppDelegate>(platform.logSink);
    m_appContainer = std::make_unique<AppContainer>(platform, appearanceApplier, std::move(configuration));
    m_appDelegate->configure(*m_appContainer);

    // "Launching has finished" is the first turn of the event loop.
    QMetaObject::invokeMethod(
        m_appDelegate.get(), &AppDelegate::applicationDidFinishLaunching, Qt::QueuedConnection);
    if (QCoreApplication* application = QCoreApplication::instance()) {
        connect(application, &QCoreApplication::aboutToQuit, m_appDelegate.get(),
            &AppDelegate::applicationWillTerminate);
        connect(&m_appContainer->settingsWindowController(), &SettingsWindowController::quitRequested, application,
            &QCoreApplication::quit, Qt::QueuedConnection);
    }
}

GridlumeApp::~GridlumeApp()
{
    m_appDelegate.reset();
    m_appContainer.reset();
}

void GridlumeApp::handleInstanceCommand(const QByteArray& command)
{
    if (command == InstanceChannel::showSettingsCommand) {
        m_appDelegate->openSettings();
    } else if (command == InstanceChannel::toggleCommand) {
        if (m_appDelegate->checkAccessibilityPermission(std::nullopt))
            m_appDelegate->toggleTilingPanel();
    }
}

QByteArray GridlumeApp::handleInstanceRequest(const QByteArray& command)
{
    const QStringList words = QString::fromUtf8(command).split(u' ', Qt::SkipEmptyParts);
    QString error = QStringLiteral("place needs a grid, a block and a monitor");
    const auto request
        = words.size() == 4 ? PlacementRequest::parse(words[1], words[2], words[3], &error) : std::nullopt;
    if (!request)
        return "invalid " + error.toUtf8();
    const WindowPlacementCommand::Outcome outcome = place(*request);
    return outcome.placed() ? QByteArray("ok") : "failed " + outcome.reason().toUtf8();
}

WindowPlacementCommand::Outcome GridlumeApp::place(const PlacementRequest& request)
{
    Platform& platform = m_appContainer->platform();
    WindowPlacementCommand command(platform.accessibility, platform.screens, platform.workspace, platform.logSink,
        m_appContainer->settingsStore().placementGaps());
    return command.run(request);
}

} // namespace gridlume
