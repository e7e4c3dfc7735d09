#include "platform/linux/KeyCodeTable.h"

#include <gtest/gtest.h>

#include <set>

namespace gridlume {
namespace {

    TEST(KeyCodeTable, IsOneToOne)
    {
        std::set<quint16> virtualKeyCodes;
        std::set<quint16> evdevCodes;
        for (const KeyCodeTable::Entry& entry : KeyCodeTable::entries()) {
            EXPECT_TRUE(virtualKeyCodes.insert(entry.virtualKeyCode).second) << "kVK " << entry.virtualKeyCode;
            EXPECT_TRUE(evdevCodes.insert(entry.evdevCode).second) << "evdev " << entry.evdevCode;
            EXPECT_EQ(KeyCodeTable::virtualKeyCode(entry.evdevCode), entry.virtualKeyCode);
        }
    }

    // The server's own keymap checks the X keycodes of the other keys (X11HotKeyTest); it gives
    // F13's position a launcher symbol, and some keys have no X keycode.
    TEST(KeyCodeTable, KeycodesTheServerKeymapCannotCheck)
    {
        EXPECT_EQ(KeyCodeTable::x11Keycode(105), 191) << "F13, evdev KEY_F13 (183) + 8";
        EXPECT_EQ(KeyCodeTable::virtualKeyCodeOfX11Keycode(191), 105);
        EXPECT_EQ(KeyCodeTable::x11Keycode(0x3F), std::nullopt) << "Fn has no X keycode";
        EXPECT_EQ(KeyCodeTable::virtualKeyCodeOfX11Keycode(3), std::nullopt);
    }

} // namespace
} // namespace gridlume
