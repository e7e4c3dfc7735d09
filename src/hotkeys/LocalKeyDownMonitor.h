#pragma once

#include "platform/KeyEvent.h"

#include <QObject>

#include <functional>

namespace gridlume {

// Sees every key press in the program's own windows before any widget does, for as long as it
// exists: an application-wide event filter installed by the constructor and removed by the
// destructor. Key presses are handed over as positional key codes, read by the platform's
// translator. Main thread only.
class LocalKeyDownMonitor final : public QObject {
    Q_OBJECT
public:
    // Returns true to swallow the key press, false to let it through unchanged.
    using Handler = std::function<bool(const KeyEvent&)>;
    // Asked before a key press can trigger one of the program's shortcuts (a menu's Ctrl+Q):
    // true keeps the shortcut from firing, so that the press reaches `handler` instead.
    using ClaimsShortcutKeys = std::function<bool()>;

    LocalKeyDownMonitor(const KeyEventTranslator& translator, Handler handler, ClaimsShortcutKeys claimsShortcutKeys = {});
    ~LocalKeyDownMonitor() override;

    // Stops seeing key presses at once; safe inside the handler's own call.
    void remove();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const KeyEventTranslator& m_translator;
    Handler m_handler;
    ClaimsShortcutKeys m_claimsShortcutKeys;
};

} // namespace gridlume
