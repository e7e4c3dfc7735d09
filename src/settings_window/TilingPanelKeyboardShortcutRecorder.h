#pragma once

#include "hotkeys/KeyboardShortcutRecorderViewModel.h"

#include <QWidget>

#include <functional>
#include <optional>

class QPushButton;
class QToolButton;

namespace gridlume {

class HotKeyService;
class SettingsStore;

// The settings row's control for the tiling panel's shortcut: shows the shortcut, starts a
// recording when clicked, and hands the recorded shortcut to the settings store, which
// registers and keeps it. A small button at the right end cancels a recording or clears the
// shortcut. Refusals by the store are not shown here: the control keeps showing what the store
// holds, and the hot-key service has logged the cause. A combination another program holds,
// which never reaches this control, ends the recording with "Used by another program" shown
// for a few seconds.
class TilingPanelKeyboardShortcutRecorder : public QWidget {
    Q_OBJECT
public:
    static constexpr int controlHeight = 32;
    static constexpr int actionButtonSize = 28;

    TilingPanelKeyboardShortcutRecorder(SettingsStore& settingsStore, const KeyEventTranslator& translator,
        GlobalKeyMonitor& globalKeyMonitor, QWidget* parent = nullptr);

    // The same control for another shortcut (a layout's): `binding` reads, stores and clears it,
    // and whoever changes it otherwise calls refresh().
    struct Binding {
        std::function<std::optional<KeyboardShortcut>()> current;
        std::function<void(const KeyboardShortcut&)> record;
        std::function<void()> clear;
        QString accessibleName;
    };
    TilingPanelKeyboardShortcutRecorder(Binding binding, HotKeyService& hotKeyService,
        const KeyEventTranslator& translator, GlobalKeyMonitor& globalKeyMonitor, QWidget* parent = nullptr);

    KeyboardShortcutRecorderViewModel& viewModel() { return *m_viewModel; }
    // "Press shortcut…" while recording, "Used by another program" for a few seconds after a
    // held combination ended it, "Click to record shortcut" without a shortcut, else the
    // shortcut as symbols ("⌃⌥␣").
    QString text() const;

    QPushButton* mainButton() const { return m_mainButton; }
    QToolButton* cancelButton() const { return m_cancelButton; }
    QToolButton* clearButton() const { return m_clearButton; }

    QSize sizeHint() const override;

    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Binding m_binding;
    KeyboardShortcutRecorderViewModel* m_viewModel;
    QPushButton* m_mainButton;
    QToolButton* m_cancelButton;
    QToolButton* m_clearButton;
    QWidget* m_trailingPlaceholder;
};

} // namespace gridlume
