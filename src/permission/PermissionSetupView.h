#pragma once

#include <QIcon>
#include <QWidget>

class QPushButton;

namespace gridlume {

class PermissionSetupService;

// The permission window's content: a title, the application's icon, one line of explanation and
// two numbered steps. The first step's button opens the settings through the service; the second
// shows the row the user will find there, with its switch turned on.
class PermissionSetupView : public QWidget {
    Q_OBJECT
public:
    // `applicationIcon` defaults to the application's window icon.
    explicit PermissionSetupView(
        PermissionSetupService& permissionSetupService, QIcon applicationIcon = {}, QWidget* parent = nullptr);

    QPushButton* openSettingsButton() const { return m_openSettingsButton; }

private:
    QWidget* makeStep(int number, const QString& title, QWidget* body);
    QWidget* makeIllustration();

    PermissionSetupService& m_permissionSetupService;
    QIcon m_applicationIcon;
    QPushButton* m_openSettingsButton = nullptr;
};

} // namespace gridlume
