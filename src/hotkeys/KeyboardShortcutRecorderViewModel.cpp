#include "hotkeys/KeyboardShortcutRecorderViewModel.h"

#include "hotkeys/HotKeyService.h"
#include "hotkeys/LocalKeyDownMonitor.h"

namespace gridlume {

namespace {

    // Pressing a modifier alone already carries its own modifier bit; it is part of a shortcut
    // being typed, not the shortcut's key.
    bool isModifierKey(quint16 keyCode)
    {
        // Right Command, Command, Shift, Caps Lock, Option, Control, right Shift, right Option,
        // right Control, Function.
        return keyCode >= 54 && keyCode <= 63;
    }

    // The shortcut a press would record, if any.
    std::optional<KeyboardShortcut> shortcutOfKeyPress(const KeyEvent& event)
    {
        const quint32 modifiers = carbonModifiers(event.modifierFlags);
        if (modifiers == 0 || isModifierKey(event.keyCode))
            return std::nullopt;
        return KeyboardShortcut { event.keyCode, modifiers };
    }

} // namespace

KeyboardShortcutRecorderViewModel::KeyboardShortcutRecorderViewModel(const KeyEventTranslator& translator,
    GlobalKeyMonitor& globalKeyMonitor, HotKeyService& hotKeyService, QObject* parent)
    : QObject(parent)
    , m_translator(translator)
    , m_globalKeyMonitor(globalKeyMonitor)
    , m_hotKeyService(hotKeyService)
{
    m_usedByAnotherProgramNotice.setSingleShot(true);
    m_usedByAnotherProgramNotice.setInterval(usedByAnotherProgramNoticeMs);
    connect(&m_usedByAnotherProgramNotice, &QTimer::timeout, this, [this] { setIsShowingUsedByAnotherProgram(false); });
}

KeyboardShortcutRecorderViewModel::~KeyboardShortcutRecorderViewModel() = default;

void KeyboardShortcutRecorderViewModel::startRecording(std::function<void(const KeyboardShortcut&)> onRecorded)
{
    m_usedByAnotherProgramNotice.stop();
    setIsShowingUsedByAnotherProgram(false);
    setIsRecording(true);
    if (m_localKeyDownMonitor)
        return;
    m_onRecorded = std::move(onRecorded);
    m_localKeyDownMonitor = std::make_unique<LocalKeyDownMonitor>(
        m_translator, [this](const KeyEvent& event) { return handleKeyDown(event); },
        [this] { return m_isRecording; });
    m_globalKeyDownMonitor
        = m_globalKeyMonitor.addGlobalKeyDownMonitor([this](const KeyEvent& event) { handleGlobalKeyDown(event); },
            // A combination another program holds goes to it even while the recorder has the focus.
            GlobalKeyPresses::Anywhere);
}

void KeyboardShortcutRecorderViewModel::stopRecording()
{
    if (LocalKeyDownMonitor* monitor = m_localKeyDownMonitor.release()) {
        // Often called from inside the monitor's own handler: stop it at once, free it later.
        monitor->remove();
        monitor->deleteLater();
    }
    m_globalKeyDownMonitor.cancel();
    setIsRecording(false);
}

bool KeyboardShortcutRecorderViewModel::handleKeyDown(const KeyEvent& event)
{
    if (!m_isRecording)
        return false;
    const std::optional<KeyboardShortcut> shortcut = shortcutOfKeyPress(event);
    if (!shortcut)
        return true;
    auto onRecorded = std::move(m_onRecorded);
    stopRecording();
    if (onRecorded)
        onRecorded(*shortcut);
    return true;
}

void KeyboardShortcutRecorderViewModel::handleGlobalKeyDown(const KeyEvent& event)
{
    // Every press is seen here as well; one that also reaches our window is recorded there. Only
    // a combination held elsewhere never does, and only the desktop can say which that is.
    if (!m_isRecording)
        return;
    const std::optional<KeyboardShortcut> shortcut = shortcutOfKeyPress(event);
    if (!shortcut || !m_hotKeyService.isHeldByAnotherProgram(*shortcut))
        return;
    m_onRecorded = nullptr;
    stopRecording();
    setIsShowingUsedByAnotherProgram(true);
    m_usedByAnotherProgramNotice.start();
}

void KeyboardShortcutRecorderViewModel::setIsRecording(bool isRecording)
{
    if (m_isRecording == isRecording)
        return;
    m_isRecording = isRecording;
    Q_EMIT isRecordingChanged();
}

void KeyboardShortcutRecorderViewModel::setIsShowingUsedByAnotherProgram(bool isShowing)
{
    if (m_isShowingUsedByAnotherProgram == isShowing)
        return;
    m_isShowingUsedByAnotherProgram = isShowing;
    Q_EMIT isShowingUsedByAnotherProgramChanged();
}

} // namespace gridlume
