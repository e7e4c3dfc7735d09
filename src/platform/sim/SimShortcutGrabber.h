#pragma once

#include "platform/ShortcutGrabber.h"

#include <QList>

#include <map>

namespace gridlume {

class SimDesktop;

// Shortcuts of the simulated desktop: combinations another program holds are refused, and a
// press of a grabbed one reaches its callback from the event loop.
class SimShortcutGrabber final : public ShortcutGrabber {
public:
    explicit SimShortcutGrabber(SimDesktop& desktop)
        : m_desktop(desktop)
    {
    }

    GrabResult grab(KeyCombination combination, std::function<void()> onPressed) override;
    bool release(quint64 handle) override;

    // Test control: another program takes the combination (false when this one holds it); a
    // user types it (false when nothing grabbed it).
    bool holdElsewhere(KeyCombination combination);
    bool press(KeyCombination combination);

private:
    struct Grab {
        KeyCombination combination;
        std::function<void()> onPressed;
    };

    SimDesktop& m_desktop;
    std::map<quint64, Grab> m_grabs;
    QList<KeyCombination> m_heldElsewhere;
    quint64 m_nextHandle = 1;
};

} // namespace gridlume
