#pragma once

#include "platform/Log.h"
#include "platform/ShortcutGrabber.h"

#include <QObject>
#include <QString>

#include <map>
#include <optional>

namespace gridlume {

class GnomeShellChannel;

// Shortcuts as accelerators that Gridlume's GNOME Shell extension grabs from Mutter for this
// connection: Shell then hands their presses to Gridlume alone, whichever window has the focus,
// in every mode of Shell's. A combination that GNOME or another program has bound already is
// HeldByAnotherProgram.
//
// Accelerators name the key by its X keycode (evdev code + 8), which Mutter's accelerators accept
// as "0x…": a position on the keyboard, as the combination is, whatever the layout.
//
// While the extension does not run, a grab is kept and taken from Shell as soon as the extension
// starts (and again whenever it restarts); one Shell refuses then is logged and stays without
// presses. Presses come from the event loop.
class GnomeShortcutGrabber final : public QObject, public ShortcutGrabber {
    Q_OBJECT
public:
    GnomeShortcutGrabber(GnomeShellChannel& channel, LogSink& logSink, QObject* parent = nullptr);
    ~GnomeShortcutGrabber() override;

    GrabResult grab(KeyCombination combination, std::function<void()> onPressed) override;
    bool release(quint64 handle) override;

    // Mutter's accelerator of a combination ("<Shift><Control>0x41"); none for an evdev code
    // without an X keycode.
    static std::optional<QString> accelerator(KeyCombination combination);

private:
    struct Grab {
        QString accelerator;
        std::function<void()> onPressed;
        // Mutter's action while Shell holds the grab for this program; 0 while it does not.
        quint32 action = 0;
    };
    std::optional<GrabFailure> take(Grab& grab);
    void extensionAvailabilityChanged(bool available);
    void deliver(quint32 action);

    GnomeShellChannel& m_channel;
    Logger m_logger;
    std::map<quint64, Grab> m_grabs;
    quint64 m_nextHandle = 1;
};

} // namespace gridlume
