#pragma once

#include "platform/KeyEvent.h"

#include <QMap>

namespace gridlume {

class SimGlobalKeyMonitor final : public GlobalKeyMonitor {
public:
    Subscription addGlobalKeyDownMonitor(
        std::function<void(const KeyEvent&)> handler, GlobalKeyPresses presses) override;
    void type(const KeyEvent& event);
    int monitorCount() const { return int(m_monitors.size()); }

private:
    struct Monitor {
        std::function<void(const KeyEvent&)> handler;
        GlobalKeyPresses presses;
    };
    QMap<quint64, Monitor> m_monitors;
    quint64 m_nextID = 1;
};

} // namespace gridlume
