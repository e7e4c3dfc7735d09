#pragma once

#include "hotkeys/KeyboardShortcut.h"
#include "platform/KeyEvent.h"
#include "platform/Subscription.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace gridlume {

class HotKeyService;
class LocalKeyDownMonitor;

// The state of one shortcut recorder: whether a recording runs, and the key-down monitor that
// catches the press that ends it. While recording, the first key press that holds Control,
// Alt, Shift or Super becomes the shortcut; every other press is swallowed, so plain keys
// (Escape and Backspace included) neither end the recording nor reach the focused widget.
//
// A combination another program holds never reaches our windows: the desktop hands it to that
// program. While recording, presses anywhere are therefore also watched through the global key
// monitor; a combination seen there that another program holds ends the recording the way a
// refused shortcut does (nothing is stored, the previous shortcut stays) and raises
// `isShowingUsedByAnotherProgram` for `usedByAnotherProgramNoticeMs`. Main thread only.
class KeyboardShortcutRecorderViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(bool isShowingUsedByAnotherProgram READ isShowingUsedByAnotherProgram NOTIFY
            isShowingUsedByAnotherProgramChanged)
public:
    static constexpr int usedByAnotherProgramNoticeMs = 4000;

    KeyboardShortcutRecorderViewModel(const KeyEventTranslator& translator, GlobalKeyMonitor& globalKeyMonitor,
        HotKeyService& hotKeyService, QObject* parent = nullptr);
    // Removes the monitors of a recording still under way.
    ~KeyboardShortcutRecorderViewModel() override;

    bool isRecording() const { return m_isRecording; }
    bool isShowingUsedByAnotherProgram() const { return m_isShowingUsedByAnotherProgram; }
    // Present exactly while a recording started here has not ended.
    bool hasLocalKeyDownMonitor() const { return bool(m_localKeyDownMonitor); }

    // Starts recording; `onRecorded` receives the shortcut, after the recording has ended.
    // While a recording runs, another start changes nothing (the first `onRecorded` stays).
    void startRecording(std::function<void(const KeyboardShortcut&)> onRecorded);
    // Ends a recording without a shortcut. Harmless when none runs.
    void stopRecording();

Q_SIGNALS:
    void isRecordingChanged();
    void isShowingUsedByAnotherProgramChanged();

private:
    void setIsRecording(bool isRecording);
    void setIsShowingUsedByAnotherProgram(bool isShowing);
    bool handleKeyDown(const KeyEvent& event);
    void handleGlobalKeyDown(const KeyEvent& event);

    const KeyEventTranslator& m_translator;
    GlobalKeyMonitor& m_globalKeyMonitor;
    HotKeyService& m_hotKeyService;
    bool m_isRecording = false;
    bool m_isShowingUsedByAnotherProgram = false;
    std::unique_ptr<LocalKeyDownMonitor> m_localKeyDownMonitor;
    Subscription m_globalKeyDownMonitor;
    std::function<void(const KeyboardShortcut&)> m_onRecorded;
    QTimer m_usedByAnotherProgramNotice;
};

} // namespace gridlume
