#include "hotkeys/KeyboardShortcutRecorderViewModel.h"

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

} // namespace

KeyboardShortcutRecorderViewModel::KeyboardShortcutRecorderViewModel(
    const KeyEventTranslator& translator, QObject* parent)
    : QObject(parent)
    , m_translator(translator)
{
}

KeyboardShortcutRecorderViewModel::~KeyboardShortcutRecorderViewModel() = default;

void KeyboardShortcutRecorderViewModel::startRecording(std::function<void(const KeyboardShortcut&)> onRecorded)
{
    setIsRecording(true);
    if (m_localKeyDownMonitor)
        return;
    m_onRecorded = std::move(onRecorded);
    m_localKeyDownMonitor = std::make_unique<LocalKeyDownMonitor>(
        m_translator, [this](const KeyEvent& event) { return handleKeyDown(event); },
        [this] { return m_isRecording; });
}

void KeyboardShortcutRecorderViewModel::stopRecording()
{
    if (LocalKeyDownMonitor* monitor = m_localKeyDownMonitor.release()) {
        // Often called from inside the monitor's own handler: stop it at once, free it later.
        monitor->remove();
        monitor->deleteLater();
    }
    setIsRecording(false);
}

bool KeyboardShortcutRecorderViewModel::handleKeyDown(const KeyEvent& event)
{
    if (!m_isRecording)
        return false;
    const quint32 modifiers = carbonModifiers(event.modifierFlags);
    if (modifiers == 0 || isModifierKey(event.keyCode))
        return true;
    auto onRecorded = std::move(m_onRecorded);
    const KeyboardShortcut shortcut { event.keyCode, modifiers };
    stopRecording();
    if (onRecorded)
        onRecorded(shortcut);
    return true;
}

void KeyboardShortcutRecorderViewModel::setIsRecording(bool isRecording)
{
    if (m_isRecording == isRecording)
        return;
    m_isRecording = isRecording;
    Q_EMIT isRecordingChanged();
}

} // namespace gridlume
