#pragma once

#include "platform/Accessibility.h"
#include "platform/HotKeyPlatform.h"

#include <QString>

#include <memory>

namespace gridlume::test {

// One backend for the contract suites: its hot keys and other programs' windows as the program
// gets them, and the means to act as another program and as a user. Key codes are virtual key
// codes, modifiers the event manager's. Each backend's file defines startBackend().
class BackendUnderTest {
public:
    virtual ~BackendUnderTest() = default;
    // A fresh platform for the next case; what other programs took is let go.
    virtual void reset() = 0;
    virtual HotKeyPlatform& hotKeys() = 0;
    // Another program takes the combination; whether it could (no one held it).
    virtual bool takeElsewhere(quint32 keyCode, quint32 modifiers) = 0;
    // A user presses the combination once, whichever program has the focus.
    virtual bool press(quint32 keyCode, quint32 modifiers) = 0;

    virtual Accessibility& accessibility() = 0;
    // Whether frames come out in whole pixels, as on a real desktop; the simulated one keeps them
    // as written.
    virtual bool hasPixels() const { return true; }
    // Another program shows a window (the test window program where there are real ones), which
    // the desktop manages and makes the active one; its process.
    virtual pid_t openWindow() = 0;
    // That program ends, and the desktop has let go of its window.
    virtual void closeWindow(pid_t pid) = 0;
};

// The backend of this test executable, started once; null with the reason it cannot run here.
std::unique_ptr<BackendUnderTest> startBackend(QString* skipReason);

// The backend the suites of this executable share, started at the first call.
inline BackendUnderTest* sharedBackend(QString* skipReason)
{
    static QString reason;
    static const std::unique_ptr<BackendUnderTest> started = startBackend(&reason);
    *skipReason = reason;
    return started.get();
}

} // namespace gridlume::test
