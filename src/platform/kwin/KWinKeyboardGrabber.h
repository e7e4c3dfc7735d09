#pragma once

#include "platform/KeyboardGrabber.h"
#include "platform/Log.h"

#include <utility>

namespace gridlume {

// KDE Plasma's Wayland session hands the keyboard to no other program while the user's window has
// the focus (the panels live on Xwayland, whose grabs see only Xwayland's windows): the panels take
// keys once one of them has the focus, after a click. Said once.
class KWinKeyboardGrabber final : public KeyboardGrabber {
public:
    explicit KWinKeyboardGrabber(LogSink& logSink)
        : m_logger(logSink, QStringLiteral("KWinKeyboardGrabber"))
    {
    }

    Subscription grabKeyboard(std::function<void(const KeyEvent&)>) override
    {
        if (!std::exchange(m_didReport, true))
            m_logger.info("KDE Plasma's Wayland session does not hand the keyboard to other programs; the panels take "
                          "keys after a click");
        return Subscription();
    }

private:
    Logger m_logger;
    bool m_didReport = false;
};

} // namespace gridlume
