#include "platform/ShortcutGrabber.h"
#include "platform/x11/X11KeyEventTranslator.h"
#include "platform/x11/X11ShortcutGrabber.h"

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

    TEST(X11ShortcutGrabber, ShortcutModifiersBecomeXModifiers)
    {
        EXPECT_EQ(X11ShortcutGrabber::x11Modifiers(ShortcutModifier::Control), 0x04);
        EXPECT_EQ(X11ShortcutGrabber::x11Modifiers(ShortcutModifier::Alt), 0x08); // Mod1
        EXPECT_EQ(X11ShortcutGrabber::x11Modifiers(ShortcutModifier::Shift), 0x01);
        EXPECT_EQ(X11ShortcutGrabber::x11Modifiers(ShortcutModifier::Super), 0x40); // Mod4
        EXPECT_EQ(X11ShortcutGrabber::x11Modifiers(0xF), 0x4D);
    }

} // namespace
} // namespace gridlume
