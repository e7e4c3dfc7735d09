#include "hotkeys/LocalKeyDownMonitor.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace gridlume {

LocalKeyDownMonitor::LocalKeyDownMonitor(
    const KeyEventTranslator& translator, Handler handler, ClaimsShortcutKeys claimsShortcutKeys)
    : m_translator(translator)
    , m_handler(std::move(handler))
    , m_claimsShortcutKeys(std::move(claimsShortcutKeys))
{
    QCoreApplication::instance()->installEventFilter(this);
}

LocalKeyDownMonitor::~LocalKeyDownMonitor()
{
    remove();
}

void LocalKeyDownMonitor::remove()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool LocalKeyDownMonitor::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepting the override makes Qt deliver the press as an ordinary key press instead of
        // running the matching shortcut.
        if (m_claimsShortcutKeys && m_claimsShortcutKeys()) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        // A press travels from the window to the focus widget and up its parents, passing this
        // filter at each step; swallowing it at the first step ends the journey.
        if (m_handler && m_handler(m_translator.translate(*static_cast<QKeyEvent*>(event))))
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace gridlume
