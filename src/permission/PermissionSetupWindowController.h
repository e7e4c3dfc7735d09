#pragma once

#include "platform/Accessibility.h"
#include "platform/Screens.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>

class QWidget;

namespace gridlume {

class PanelWindowTraits;
class PermissionSetupService;
class PermissionSetupView;

// Owns the permission window: shows it on a screen, and while it is shown asks the platform
// every 0.75 s whether the permission has arrived, closing the window on the first tick that
// finds it has. The window is built once and reused for every showing. Main thread only.
//
// Starting anything once the permission is there is not this class's business: the rest of the
// program notices at its next permission check.
class PermissionSetupWindowController : public QObject {
    Q_OBJECT
public:
    static constexpr int permissionCheckIntervalMs = 750;

    PermissionSetupWindowController(PermissionSetupService& permissionSetupService, AccessibilityTrust& trust,
        ScreenProvider& screens, PanelWindowTraits& windowTraits, QObject* parent = nullptr);
    ~PermissionSetupWindowController() override;

    // Sizes the window to its content and centres it in `screen`'s visible frame (window-system
    // space); without a screen, on the screen under the pointer. Shows it in front without
    // activating it, on the virtual desktop the user is on, then starts polling. Showing it
    // again keeps the one running poll.
    void showPermissionWindow(const std::optional<Screen>& screen);
    // Stops polling and hides the window. Harmless when it is not shown.
    void hidePermissionWindow();
    // Starts the trust poll unless it already runs.
    void startPermissionPolling();

    bool isPermissionWindowVisible() const;
    // The running poll's timer, or null when none runs.
    QTimer* permissionCheckTimer() const { return m_permissionCheckTimer; }
    QWidget* window() const { return m_window.get(); }
    PermissionSetupView* view() const { return m_view; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stopPermissionPolling();
    // The user's close button: the poll ends, the window stays for the next showing.
    void windowWillClose();

    PermissionSetupService& m_permissionSetupService;
    AccessibilityTrust& m_trust;
    ScreenProvider& m_screens;
    PanelWindowTraits& m_windowTraits;
    QPointer<QTimer> m_permissionCheckTimer;
    std::unique_ptr<QWidget> m_window;
    PermissionSetupView* m_view = nullptr;
};

} // namespace gridlume
