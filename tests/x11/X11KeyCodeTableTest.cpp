#include "platform/x11/X11KeyCodeTable.h"
#include "platform/x11/X11KeyEventTranslator.h"
#include "platform/x11/X11HotKeyPlatform.h"

#include <gtest/gtest.h>

#include <set>

namespace gridlume {
namespace {

    TEST(X11KeyCodeTable, IsOneToOne)
    {
        std::set<quint16> virtualKeyCodes;
        std::set<quint16> evdevCodes;
        for (const X11KeyCodeTable::Entry& entry : X11KeyCodeTable::entries()) {
            EXPECT_TRUE(virtualKeyCodes.insert(entry.virtualKeyCode).second) << "kVK " << entry.virtualKeyCode;
            EXPECT_TRUE(evdevCodes.insert(entry.evdevCode).second) << "evdev " << entry.evdevCode;
            EXPECT_EQ(X11KeyCodeTable::virtualKeyCode(entry.evdevCode), entry.virtualKeyCode);
        }
    }

    TEST(X11KeyCodeTable, KnownKeycodes)
    {
        struct Case {
            quint32 virtualKeyCode;
            quint8 x11Keycode;
        };
        // X keycodes of a PC keyboard under the evdev rules (checked on Xvfb: Escape 9, A 38).
        const Case cases[] = { { 53, 9 }, { 0, 38 }, { 49, 65 }, { 36, 36 }, { 122, 67 }, { 111, 96 }, { 123, 113 },
            { 126, 111 }, { 117, 119 }, { 76, 104 }, { 105, 191 } };
        for (const Case& testCase : cases) {
            EXPECT_EQ(X11KeyCodeTable::x11Keycode(testCase.virtualKeyCode), testCase.x11Keycode) << testCase.virtualKeyCode;
            EXPECT_EQ(X11KeyCodeTable::virtualKeyCodeOfX11Keycode(testCase.x11Keycode), testCase.virtualKeyCode);
        }
        EXPECT_EQ(X11KeyCodeTable::x11Keycode(0x3F), std::nullopt) << "Fn has no X keycode";
        EXPECT_EQ(X11KeyCodeTable::virtualKeyCodeOfX11Keycode(3), std::nullopt);
    }

    TEST(X11KeyEventTranslator, StateBitsBecomeModifierFlags)
    {
        struct Case {
            quint32 state;
            quint64 flags;
        };
        const Case cases[] = {
            { 0, 0 },
            { 0x01, ModifierFlag::Shift },
            { 0x02, ModifierFlag::CapsLock },
            { 0x04, ModifierFlag::Control },
            { 0x08, ModifierFlag::Option },
            { 0x40, ModifierFlag::Command },
            { 0x10, 0 }, // Num Lock (Mod2) is no modifier
            { 0x4D, ModifierFlag::Shift | ModifierFlag::Control | ModifierFlag::Option | ModifierFlag::Command },
        };
        for (const Case& testCase : cases)
            EXPECT_EQ(X11KeyEventTranslator::translate(9, testCase.state), (KeyEvent { 53, testCase.flags }))
                << testCase.state;
        EXPECT_EQ(X11KeyEventTranslator::translate(104, 0).modifierFlags, ModifierFlag::NumericPad) << "keypad Enter";
        EXPECT_EQ(X11KeyEventTranslator::translate(2, 0).keyCode, X11KeyEventTranslator::unknownKeyCode);
    }

    TEST(X11HotKeyPlatform, EventManagerModifiersBecomeXModifiers)
    {
        EXPECT_EQ(X11HotKeyPlatform::x11Modifiers(0x1000), 0x04); // controlKey -> Control
        EXPECT_EQ(X11HotKeyPlatform::x11Modifiers(0x0800), 0x08); // optionKey -> Mod1
        EXPECT_EQ(X11HotKeyPlatform::x11Modifiers(0x0200), 0x01); // shiftKey -> Shift
        EXPECT_EQ(X11HotKeyPlatform::x11Modifiers(0x0100), 0x40); // cmdKey -> Mod4
        EXPECT_EQ(X11HotKeyPlatform::x11Modifiers(0x1B00), 0x4D);
        EXPECT_EQ(X11HotKeyPlatform::x11Modifiers(0x0400), 0x00) << "alphaLock is not a hot-key modifier";
    }

} // namespace
} // namespace gridlume
