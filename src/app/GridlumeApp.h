#pragma once

#include "app/AppContainer.h"
#include "placement/WindowPlacementCommand.h"

#include <QByteArray>
#include <QObject>

#include <memory>

namespace gridlume {

class AppDelegate;
class AppearanceApplier;
struct Platform;

// The application entry: creates the delegate, then the container, hands the container to the
// delegate, and tells it when the event loop has started and when the program ends. The tray
// icon, the panels and the windows are the delegate's and the container's business.
class GridlumeApp : public QObject {
    Q_OBJECT
public:
    GridlumeApp(Platform& platform, AppearanceApplier& appearanceApplier, AppContainer::Configuration configuration,
        QObject* parent = nullptr);
    ~GridlumeApp() override;

    AppDelegate& appDelegate() const { return *m_appDelegate; }
    AppContainer& appContainer() const { return *m_appContainer; }

    // A command from a later start of the program (InstanceChannel): "show-settings" or
    // "toggle", the latter behind the same permission gate as the shortcut.
    void handleInstanceCommand(const QByteArray& command);
    // "place GRID BLOCK MONITOR" from a later start: answers "ok", "failed <reason>" or
    // "invalid <what is wrong>".
    QByteArray handleInstanceRequest(const QByteArray& command);
    // Places the active window as `request` asks, like `gridlume place`.
    WindowPlacementCommand::Outcome place(const PlacementRequest& request);

private:
    // Declared so that the delegate, which refers to the services, goes first.
    std::unique_ptr<AppContainer> m_appContainer;
    std::unique_ptr<AppDelegate> m_appDelegate;
};

} // namespace gridlume
