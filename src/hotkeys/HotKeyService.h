#pragma once

#include "hotkeys/KeyboardShortcut.h"
#include "platform/HotKeyPlatform.h"
#include "platform/Log.h"

#include <QMap>

#include <functional>
#include <optional>

namespace gridlume {

// The one hot-key ID in use: the tiling panel's shortcut.
inline constexpr quint32 tilingPanelHotKeyID = 1;

// Makes shortcuts work system-wide. Each shortcut is registered under a small ID; a press of a
// registered shortcut runs the handler stored under the same ID. Shortcuts and handlers are
// independent: an ID may have either without the other. Main thread only.
class HotKeyService {
public:
    // Hot keys carry this signature ('FLK1'); presses with any other are not ours.
    static constexpr quint32 signature = fourCharCode("FLK1");

    HotKeyService(HotKeyPlatform& platform, LogSink& logSink);
    // Releases every hot key and the event handler, so no press can reach a dead service.
    ~HotKeyService();
    HotKeyService(const HotKeyService&) = delete;
    HotKeyService& operator=(const HotKeyService&) = delete;

    // Makes `shortcut` the one hot key under `id`, replacing any earlier one (which is
    // released first, even when it is the same shortcut). False, with the cause logged, when
    // the handler cannot be installed, the old hot key cannot be released (it then stays), or
    // the new one is refused (then none is registered under `id`).
    bool registerOrUpdateHotKey(quint32 id, const KeyboardShortcut& shortcut);
    // Releases the hot key under `id`. True when none is registered under `id` afterwards.
    bool unregisterHotKey(quint32 id);
    // Stores the handler run on a press of the hot key `id`, replacing any earlier one.
    void setHotKeyHandler(quint32 id, std::function<void()> handler);

    bool isRegistered(quint32 id) const { return m_hotKeyRefs.contains(id); }

    // Whether another program holds `shortcut` now (its presses then never reach our windows),
    // found by registering it for a moment and releasing it at once. A shortcut registered here
    // is ours, not another program's. Says so in the log when it is held.
    bool isHeldByAnotherProgram(const KeyboardShortcut& shortcut);

private:
    bool installEventHandlerIfNeeded();
    static OSStatus handleHotKeyEvent(const HotKeyEvent& event, void* userData);

    HotKeyPlatform& m_platform;
    Logger m_logger;
    std::optional<EventHandlerRef> m_eventHandlerRef;
    QMap<quint32, EventHotKeyRef> m_hotKeyRefs;
    QMap<quint32, KeyboardShortcut> m_registeredShortcuts;
    QMap<quint32, std::function<void()>> m_handlers;
};

} // namespace gridlume
