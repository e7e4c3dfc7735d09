#pragma once

#include "platform/HotKeyPlatform.h"

#include <QString>

#include <memory>

namespace gridlume::test {

// One backend's hot keys for the contract suite: its HotKeyPlatform as the program gets it, and
// the means to act as another program and as a user. Key codes are virtual key codes, modifiers
// the event manager's. Each backend's file defines startHotKeyBackend().
class HotKeyBackendUnderTest {
public:
    virtual ~HotKeyBackendUnderTest() = default;
    // A fresh platform for the next case; what other programs took is let go.
    virtual void reset() = 0;
    virtual HotKeyPlatform& hotKeys() = 0;
    // Another program takes the combination; whether it could (no one held it).
    virtual bool takeElsewhere(quint32 keyCode, quint32 modifiers) = 0;
    // A user presses the combination once, whichever program has the focus.
    virtual bool press(quint32 keyCode, quint32 modifiers) = 0;
};

// The backend of this test executable, started once; null with the reason it cannot run here.
std::unique_ptr<HotKeyBackendUnderTest> startHotKeyBackend(QString* skipReason);

} // namespace gridlume::test
