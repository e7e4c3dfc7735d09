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
    // The two lines of the ownership notice.
    const QList<QLabel*>& noticeLabels() const { return m_noticeLabels; }

Q_SIGNALS:
    // "Quit Gridlume" was pressed.
    void quitRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    void showUpdateStatus(Updater& updater);
    void applyTertiaryColour();

    QLabel* m_versionLabel;
    QPushButton* m_checkForUpdatesButton;
    QLabel* m_updateStatusLabel;
    QPushButton* m_quitButton;
    QPushButton* m_websiteButton;
    QPushButton* m_helpButton;
    QList<QLabel*> m_noticeLabels;
};

} // namespace gridlume
