#pragma once

#include "platform/Accessibility.h"

#include <QIcon>
#include <QWidget>

#include <optional>

class QPushButton;

namespace gridlume {

class PermissionSetupService;

// The permission window's content: a title, the application's icon, one line of explanation and
// two numbered steps. The first step's button opens the settings through the service; the second
// shows the row the user will find there, with its switch turned on. A desktop's `guide` gives the
// title, the explanation and the first step in its own words, and its button opens the desktop's
// place (the service's settings pages when that opens nothing).
class PermissionSetupView : public QWidget {
    Q_OBJECT
public:
    // `applicationIcon` defaults to the application's window icon.
    explicit PermissionSetupView(PermissionSetupService& permissionSetupService, QIcon applicationIcon = {},
        QWidget* parent = nullptr, std::optional<TrustGuide> guide = std::nullopt);

    QPushButton* openSettingsButton() const { return m_openSettingsButton; }

private:
    QWidget* makeStep(int number, const QString& title, QWidget* body);
    QWidget* makeIllustration();

    PermissionSetupService& m_permissionSetupService;
    QIcon m_applicationIcon;
    QPushButton* m_openSettingsButton = nullptr;
};

} // namespace gridlume
