#pragma once

#include "hotkeys/KeyboardShortcut.h"
#include "platform/KeyEvent.h"

#include <QObject>

#include <functional>
#include <memory>

namespace gridlume {

class LocalKeyDownMonitor;

// The state of one shortcut recorder: whether a recording runs, and the key-down monitor that
// catches the press that ends it. While recording, the first key press that holds Control,
// Alt, Shift or Super becomes the shortcut; every other press is swallowed, so plain keys
// (Escape and Backspace included) neither end the recording nor reach the focused widget.
// Main thread only.
class KeyboardShortcutRecorderViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY isRecordingChanged)
public:
    explicit KeyboardShortcutRecorderViewModel(const KeyEventTranslator& translator, QObject* parent = nullptr);
    // Removes the monitor of a recording still under way.
    ~KeyboardShortcutRecorderViewModel() override;

    bool isRecording() const { return m_isRecording; }
    // Present exactly while a recording started here has not ended.
    bool hasLocalKeyDownMonitor() const { return bool(m_localKeyDownMonitor); }

    // Starts recording; `onRecorded` receives the shortcut, after the recording has ended.
    // While a recording runs, another start changes nothing (the first `onRecorded` stays).
    void startRecording(std::function<void(const KeyboardShortcut&)> onRecorded);
    // Ends a recording without a shortcut. Harmless when none runs.
    void stopRecording();

Q_SIGNALS:
    void isRecordingChanged();

private:
    void setIsRecording(bool isRecording);
    bool handleKeyDown(const KeyEvent& event);

    const KeyEventTranslator& m_translator;
    bool m_isRecording = false;
    std::unique_ptr<LocalKeyDownMonitor> m_localKeyDownMonitor;
    std::function<void(const KeyboardShortcut&)> m_onRecorded;
};

} // namespace gridlume
