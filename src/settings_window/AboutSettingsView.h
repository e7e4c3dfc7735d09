#pragma once

#include <QIcon>
#include <QWidget>

class QLabel;
class QPushButton;

namespace gridlume {

class UrlOpener;
class Updater;

// The About tab: icon, name, version and ownership; the update check next to the version; the
// web site, help and quit buttons.
class AboutSettingsView : public QWidget {
    Q_OBJECT
public:
    static QString websiteUrl();
    static QString helpUrl();

    // `version` is the build's version; empty shows "—".
    AboutSettingsView(Updater& updater, UrlOpener& urlOpener, const QString& version, const QIcon& applicationIcon,
        QWidget* parent = nullptr);

    QLabel* versionLabel() const { return m_versionLabel; }
    QPushButton* checkForUpdatesButton() const { return m_checkForUpdatesButton; }
    QLabel* updateStatusLabel() const { return m_updateStatusLabel; }
    QPushButton* quitButton() const { return m_quitButton; }
    QPushButton* websiteButton() const { return m_websiteButton; }
    QPushButton* helpButton() const { return m_helpButton; }

Q_SIGNALS:
    // "Quit Gridlume" was pressed.
    void quitRequested();

private:
    void showUpdateStatus(Updater& updater);

    QLabel* m_versionLabel;
    QPushButton* m_checkForUpdatesButton;
    QLabel* m_updateStatusLabel;
    QPushButton* m_quitButton;
    QPushButton* m_websiteButton;
    QPushButton* m_helpButton;
};

} // namespace gridlume
