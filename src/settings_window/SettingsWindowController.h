#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace gridlume {

class GlobalKeyMonitor;
class GridlumeSettingsView;
class KeyEventTranslator;
class LayoutStore;
class PanelWindowTraits;
class SettingsStore;
class Updater;
class UrlOpener;

// Owns the "Gridlume Settings" window: built on first use, reused afterwards, fixed at its
// content's size. Every showing opens on General, in front, on the desktop the user is on.
class SettingsWindowController : public QObject {
    Q_OBJECT
public:
    SettingsWindowController(SettingsStore& settingsStore, Updater& updater, const KeyEventTranslator& translator,
        GlobalKeyMonitor& globalKeyMonitor, UrlOpener& urlOpener, PanelWindowTraits& windowTraits, QString version,
        QIcon applicationIcon, QObject* parent = nullptr);
    ~SettingsWindowController() override;

    // The layouts the Layouts tab edits; without them the window has no such tab. Before the
    // window is first shown.
    void setLayoutStore(LayoutStore& layoutStore) { m_layoutStore = &layoutStore; }

    void showSettingsWindow();
    void hideSettingsWindow();
    bool isSettingsWindowVisible() const;

    // Null until the window was first shown.
    QWidget* window() const { return m_window.get(); }
    GridlumeSettingsView* view() const { return m_view; }

Q_SIGNALS:
    // The About tab's "Quit Gridlume".
    void quitRequested();

private:
    void buildWindow();

    SettingsStore& m_settingsStore;
    Updater& m_updater;
    const KeyEventTranslator& m_translator;
    GlobalKeyMonitor& m_globalKeyMonitor;
    UrlOpener& m_urlOpener;
    PanelWindowTraits& m_windowTraits;
    QString m_version;
    QIcon m_applicationIcon;
    std::unique_ptr<QWidget> m_window;
    GridlumeSettingsView* m_view = nullptr;
    LayoutStore* m_layoutStore = nullptr;
};

} // namespace gridlume
