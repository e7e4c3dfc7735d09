#include "platform/x11/X11HotKeyPlatform.h"
#include "platform/x11/X11KeyEventTranslator.h"

#include <gtest/gtest.h>

namespace gridlume {
namespace {

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
