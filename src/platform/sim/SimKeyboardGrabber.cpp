#include "platform/sim/SimKeyboardGrabber.h"

namespace gridlume {

SimKeyboardGrabber::SimKeyboardGrabber(LogSink& logSink)
    : m_logger(logSink, QStringLiteral("Sim"))
{
}

Subscription SimKeyboardGrabber::grabKeyboard(std::function<void(const KeyEvent&)> handler)
{
    const quint64 generation = ++m_generation;
    m_handler = nullptr;
    if (m_heldElsewhere) {
        if (!std::exchange(m_didReportFailure, true))
            m_logger.error("The keyboard is held by another program; the panels take keys only after a click");
        return Subscription();
    }
    m_didReportFailure = false;
    m_handler = std::move(handler);
    return Subscription([this, generation] {
        if (m_generation == generation)
            m_handler = nullptr;
    });
}

void SimKeyboardGrabber::type(const KeyEvent& event)
{
    if (const auto handler = m_handler)
        handler(event);
}

} // namespace gridlume
