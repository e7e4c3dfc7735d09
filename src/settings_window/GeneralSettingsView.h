#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;

namespace gridlume {

class AppearanceChooser;
class GlobalKeyMonitor;
class KeyEventTranslator;
class SettingsStore;
class TilingPanelKeyboardShortcutRecorder;
class Updater;

// The General tab: the panel shortcut, whether the panels stay open, update checks and the
// appearance, as labelled rows in two columns.
class GeneralSettingsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int labelContentHorizontalGap = 16;
    static constexpr int labelContentVerticalGap = 16;

    GeneralSettingsView(SettingsStore& settingsStore, Updater& updater, const KeyEventTranslator& translator,
        GlobalKeyMonitor& globalKeyMonitor, QWidget* parent = nullptr);

    TilingPanelKeyboardShortcutRecorder* shortcutRecorder() const { return m_shortcutRecorder; }
    QCheckBox* keepPanelOpenCheckBox() const { return m_keepPanelOpenCheckBox; }
    QCheckBox* showKeyboardHintsCheckBox() const { return m_showKeyboardHintsCheckBox; }
    QCheckBox* automaticUpdatesCheckBox() const { return m_automaticUpdatesCheckBox; }
    QPushButton* checkForUpdatesButton() const { return m_checkForUpdatesButton; }
    AppearanceChooser* appearanceChooser() const { return m_appearanceChooser; }

private:
    TilingPanelKeyboardShortcutRecorder* m_shortcutRecorder;
    QCheckBox* m_keepPanelOpenCheckBox;
    QCheckBox* m_showKeyboardHintsCheckBox = nullptr;
    QCheckBox* m_automaticUpdatesCheckBox;
    QPushButton* m_checkForUpdatesButton;
    AppearanceChooser* m_appearanceChooser;
};

} // namespace gridlume
