#pragma once

#include "platform/HotKeyPlatform.h"
#include "platform/Log.h"

#include <QObject>

#include <map>
#include <vector>

namespace gridlume {

class KWinGlobalAccel;

// System-wide hot keys as actions of Gridlume's component in KGlobalAccel. A key another
// component holds is refused with eventHotKeyExistsErr, as a key another X11 client grabbed.
// Presses reach the installed handlers from the event loop.
class KWinHotKeyPlatform final : public QObject, public HotKeyPlatform {
    Q_OBJECT
public:
    KWinHotKeyPlatform(KWinGlobalAccel& globalAccel, LogSink& logSink, QObject* parent = nullptr);
    ~KWinHotKeyPlatform() override;

    OSStatus installEventHandler(EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData,
        EventHandlerRef* outRef) override;
    OSStatus removeEventHandler(EventHandlerRef ref) override;
    OSStatus registerEventHotKey(
        quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32 options, EventHotKeyRef* outRef) override;
    OSStatus unregisterEventHotKey(EventHotKeyRef ref) override;
    OSStatus getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID) override;

private:
    struct Handler {
        EventHandlerProcPtr procedure = nullptr;
        void* userData = nullptr;
        std::vector<EventTypeSpec> types;
    };
    struct HotKey {
        EventHotKeyID id;
        // The action in KGlobalAccel: "hotkey-<id>".
        QString action;
    };
    void deliver(const QString& action);

    KWinGlobalAccel& m_globalAccel;
    Logger m_logger;
    std::map<EventHotKeyRef, HotKey> m_hotKeys;
    std::map<EventHandlerRef, Handler> m_handlers;
    quintptr m_nextReference = 1;
};

} // namespace gridlume
