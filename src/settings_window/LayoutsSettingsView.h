#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QToolButton;

namespace gridlume {

class GlobalKeyMonitor;
class KeyEventTranslator;
class LayoutStore;
class SettingsStore;
class TilingPanelKeyboardShortcutRecorder;

// The settings window's Layouts tab: the user's layouts in a list, the chosen one's name,
// blocks, monitor and shortcut beside it, and under them the gaps every placement leaves. "+"
// adds an empty layout or one of the presets, "−" removes the chosen one. Every edit goes to the
// store at once (a name or blocks when the field is left or Return is pressed); blocks that
// cannot be read are shown in red with the reason and not stored.
class LayoutsSettingsView : public QWidget {
    Q_OBJECT
public:
    LayoutsSettingsView(LayoutStore& layoutStore, SettingsStore& settingsStore, const KeyEventTranslator& translator,
        GlobalKeyMonitor& globalKeyMonitor, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QLineEdit* nameField() const { return m_name; }
    QLineEdit* stepsField() const { return m_steps; }
    QLabel* stepsProblem() const { return m_stepsProblem; }
    QComboBox* monitorChooser() const { return m_monitor; }
    TilingPanelKeyboardShortcutRecorder* shortcutRecorder() const { return m_shortcutRecorder; }
    QToolButton* addButton() const { return m_add; }
    QToolButton* removeButton() const { return m_remove; }
    QSpinBox* tileGapSpinBox() const { return m_tileGap; }
    QSpinBox* screenMarginSpinBox() const { return m_screenMargin; }

private:
    void reload();
    void showChosen();
    qsizetype chosen() const;

    LayoutStore& m_layoutStore;
    QListWidget* m_list;
    QWidget* m_editor;
    QLineEdit* m_name;
    QLineEdit* m_steps;
    QLabel* m_stepsProblem;
    QComboBox* m_monitor;
    TilingPanelKeyboardShortcutRecorder* m_shortcutRecorder;
    QToolButton* m_add;
    QToolButton* m_remove;
    QLabel* m_empty;
    QSpinBox* m_tileGap;
    QSpinBox* m_screenMargin;
};

} // namespace gridlume
