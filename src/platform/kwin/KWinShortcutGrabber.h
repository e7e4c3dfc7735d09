#pragma once

#include "platform/Log.h"
#include "platform/ShortcutGrabber.h"

#include <QObject>

#include <map>

namespace gridlume {

class KWinGlobalAccel;

// Shortcuts as actions of Gridlume's component in KGlobalAccel ("hotkey-<handle>"). A key
// another component holds is HeldByAnotherProgram; a key KGlobalAccel has no Qt key for on a US
// layout is NoSuchKey. Presses come from the event loop.
class KWinShortcutGrabber final : public QObject, public ShortcutGrabber {
    Q_OBJECT
public:
    KWinShortcutGrabber(KWinGlobalAccel& globalAccel, LogSink& logSink, QObject* parent = nullptr);
    ~KWinShortcutGrabber() override;

    GrabResult grab(KeyCombination combination, std::function<void()> onPressed) override;
    bool release(quint64 handle) override;

private:
    struct Grab {
        QString action;
        std::function<void()> onPressed;
    };
    void deliver(const QString& action);

    KWinGlobalAccel& m_globalAccel;
    Logger m_logger;
    std::map<quint64, Grab> m_grabs;
    quint64 m_nextHandle = 1;
};

} // namespace gridlume
