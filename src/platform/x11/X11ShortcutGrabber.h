#pragma once

#include "X11EventListener.h"
#include "platform/Log.h"
#include "platform/ShortcutGrabber.h"

#include <QObject>
#include <QSet>

#include <map>
#include <memory>
#include <vector>

struct _XCBKeySymbols;

namespace gridlume {

class X11Connection;

// Shortcuts as passive key grabs on the root window; the X keycode of an evdev code is the code
// + 8 (the evdev and libinput drivers, Xvfb and Xwayland).
//
// X matches a grab against the exact modifier state, including the lock modifiers, so each
// combination is grabbed once per combination of Caps Lock, Num Lock and (where it is mapped)
// Scroll Lock; which modifier bits those are is read from the modifier mapping, and all grabs are
// renewed when the mapping changes. A grab another client holds fails with BadAccess on every
// variant: HeldByAnotherProgram. A key held down fires once.
class X11ShortcutGrabber final : public QObject, public ShortcutGrabber, private X11EventListener {
    Q_OBJECT
public:
    X11ShortcutGrabber(X11Connection& connection, LogSink& logSink, QObject* parent = nullptr);
    ~X11ShortcutGrabber() override;

    GrabResult grab(KeyCombination combination, std::function<void()> onPressed) override;
    bool release(quint64 handle) override;

    // The X modifier mask (Shift, Control, Mod1 = Alt, Mod4 = Super) of shortcut modifiers.
    static quint16 x11Modifiers(quint8 modifiers);

private:
    struct Grab {
        quint8 keycode = 0;
        quint16 modifiers = 0;
        std::function<void()> onPressed;
    };

    void handleEvent(const xcb_generic_event_t* event) override;
    void readLockModifiers();
    std::vector<quint16> lockCombinations() const;
    std::optional<GrabFailure> grabVariants(const Grab& grab);
    void ungrab(const Grab& grab);
    void synchronize();
    void regrabAll();
    void deliver(quint64 handle);

    X11Connection& m_connection;
    Logger m_logger;
    std::unique_ptr<_XCBKeySymbols, void (*)(_XCBKeySymbols*)> m_keySymbols;
    quint16 m_numLockMask = 0;
    quint16 m_scrollLockMask = 0;
    std::map<quint64, Grab> m_grabs;
    quint64 m_nextHandle = 1;
    QSet<quint8> m_pressedKeycodes;
};

} // namespace gridlume
