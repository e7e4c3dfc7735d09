#pragma once

#include "platform/KeyboardGrabber.h"
#include "platform/Log.h"

#include <QObject>

#include <map>
#include <memory>

namespace gridlume {

class GnomeShellChannel;

// The keyboard while the panels are shown, the only way GNOME on Wayland lets another program
// have it without the focus: every key of the keyboard, alone and with Shift, becomes an
// accelerator that Gridlume's extension grabs for this connection, so its presses come to
// Gridlume instead of the user's window, which keeps the focus; the grabs go when the
// subscription ends. Combinations with Control, Alt or Super stay the desktop's and the
// application's. The grabs are sent at once and not waited for, so that the panels do not wait
// for Shell: keys work a moment after they show. Keys Shell refuses (another program has them)
// are left out, said once. Main thread only.
class GnomeKeyboardGrabber final : public QObject, public KeyboardGrabber {
    Q_OBJECT
public:
    GnomeKeyboardGrabber(GnomeShellChannel& channel, LogSink& logSink, QObject* parent = nullptr);
    ~GnomeKeyboardGrabber() override;

    Subscription grabKeyboard(std::function<void(const KeyEvent&)> handler) override;

private:
    struct Grab;
    void release(quint64 id);
    void deliver(quint32 action);

    GnomeShellChannel& m_channel;
    Logger m_logger;
    std::unique_ptr<Grab> m_grab;
    quint64 m_nextID = 1;
    bool m_didReportRefusal = false;
    bool m_didReportAbsence = false;
};

} // namespace gridlume
