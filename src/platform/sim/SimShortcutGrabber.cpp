#include "platform/sim/SimShortcutGrabber.h"

#include "platform/sim/SimDesktop.h"

#include <QPointer>

namespace gridlume {

GrabResult SimShortcutGrabber::grab(KeyCombination combination, std::function<void()> onPressed)
{
    if (m_heldElsewhere.contains(combination))
        return { 0, GrabFailure::HeldByAnotherProgram };
    const quint64 handle = m_nextHandle++;
    m_grabs.emplace(handle, Grab { combination, std::move(onPressed) });
    return { handle, std::nullopt };
}

bool SimShortcutGrabber::release(quint64 handle)
{
    return m_grabs.erase(handle) > 0;
}

bool SimShortcutGrabber::holdElsewhere(KeyCombination combination)
{
    for (const auto& [handle, grab] : m_grabs) {
        if (grab.combination == combination)
            return false;
    }
    m_heldElsewhere.append(combination);
    return true;
}

bool SimShortcutGrabber::press(KeyCombination combination)
{
    for (const auto& [handle, grab] : m_grabs) {
        if (grab.combination != combination)
            continue;
        QMetaObject::invokeMethod(
            &m_desktop,
            [this, desktop = QPointer<SimDesktop>(&m_desktop), handle = handle] {
                const auto found = desktop ? m_grabs.find(handle) : m_grabs.end();
                if (found == m_grabs.end())
                    return;
                const std::function<void()> onPressed = found->second.onPressed;
                onPressed();
            },
            Qt::QueuedConnection);
        return true;
    }
    return false;
}

} // namespace gridlume
