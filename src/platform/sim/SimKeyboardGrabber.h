#pragma once

#include "platform/KeyboardGrabber.h"
#include "platform/Log.h"

namespace gridlume {

class SimKeyboardGrabber final : public KeyboardGrabber {
public:
    explicit SimKeyboardGrabber(LogSink& logSink);
    Subscription grabKeyboard(std::function<void(const KeyEvent&)> handler) override;

    // Test control: the key press goes to the grab, if there is one.
    void type(const KeyEvent& event);
    bool isGrabbed() const { return bool(m_handler); }
    void setHeldElsewhere(bool held) { m_heldElsewhere = held; }

private:
    Logger m_logger;
    std::function<void(const KeyEvent&)> m_handler;
    quint64 m_generation = 0;
    bool m_heldElsewhere = false;
    bool m_didReportFailure = false;
};

} // namespace gridlume
