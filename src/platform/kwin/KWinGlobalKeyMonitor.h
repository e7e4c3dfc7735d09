#pragma once

#include "platform/KeyEvent.h"

#include <QObject>

#include <map>

namespace gridlume {

class KWinGlobalAccel;

// Key presses in other applications, as far as Wayland lets a program see them: none, except
// through a global shortcut. While a monitor is installed, Escape is an action of Gridlume's
// component in KGlobalAccel, and each press of it is reported; other keys are not. Unlike on X11,
// the press does not also reach the focused application: KWin gives a shortcut's key to the
// shortcut alone.
class KWinGlobalKeyMonitor final : public QObject, public GlobalKeyMonitor {
    Q_OBJECT
public:
    KWinGlobalKeyMonitor(KWinGlobalAccel& globalAccel, QObject* parent = nullptr);
    ~KWinGlobalKeyMonitor() override;

    Subscription addGlobalKeyDownMonitor(
        std::function<void(const KeyEvent&)> handler, GlobalKeyPresses presses) override;

private:
    void remove(quint64 id);
    void deliver(const QString& action);

    KWinGlobalAccel& m_globalAccel;
    std::map<quint64, std::function<void(const KeyEvent&)>> m_handlers;
    quint64 m_nextID = 1;
    bool m_isRegistered = false;
};

} // namespace gridlume
