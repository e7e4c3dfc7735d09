#pragma once

#include <QIcon>
#include <QTabWidget>

namespace gridlume {

class AboutSettingsView;
class GeneralSettingsView;
class GlobalKeyMonitor;
class KeyEventTranslator;
class LayoutsSettingsView;
class SettingsStore;
class Updater;
class UrlOpener;

// The settings window's content: the General, Layouts (when given) and About tabs, 580 × 320.
class GridlumeSettingsView : public QTabWidget {
    Q_OBJECT
public:
    enum class SettingsTab {
        general,
        about,
    };

    static constexpr QSize contentSize { 580, 320 };

    GridlumeSettingsView(SettingsStore& settingsStore, Updater& updater, const KeyEventTranslator& translator,
        GlobalKeyMonitor& globalKeyMonitor, UrlOpener& urlOpener, const QString& version, const QIcon& applicationIcon,
        QWidget* parent = nullptr);

    // The Layouts tab counts as General.
    SettingsTab selectedTab() const;
    void setSelectedTab(SettingsTab tab);

    // Puts the Layouts tab between General and About.
    void addLayoutsView(LayoutsSettingsView* view);
    LayoutsSettingsView* layoutsView() const { return m_layoutsView; }

    GeneralSettingsView* generalView() const { return m_generalView; }
    AboutSettingsView* aboutView() const { return m_aboutView; }

protected:
    void changeEvent(QEvent* event) override;

private:
    // Each tab's symbol (a gear, a grid, a bolt) in the palette's text colour.
    void updateTabIcons();

    GeneralSettingsView* m_generalView;
    AboutSettingsView* m_aboutView;
    LayoutsSettingsView* m_layoutsView = nullptr;
};

} // namespace gridlume
