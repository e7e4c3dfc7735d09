#include "X11DesktopTest.h"
#include "hotkeys/HotKeyService.h"
#include "platform/linux/KeyCodeTable.h"

#include <QRegularExpression>

#include <cstdlib>

namespace gridlume::test {
namespace {

    using X11HotKeyTest = X11DesktopTest;

    constexpr quint32 kControlKey = 0x1000;
    constexpr quint32 kOptionKey = 0x0800;
    constexpr quint32 kVK_ANSI_G = 0x05;

    bool lockIsOn(const X11TestDesktop& desktop, const QString& name)
    {
        const QByteArray output = desktop.run("xset", { "q" }).output;
        return QString::fromLocal8Bit(output).contains(QRegularExpression(name + ":\\s+on"));
    }

    TEST_F(X11HotKeyTest, ARegisteredShortcutFiresWhateverTheLockKeys)
    {
        HotKeyService service(platform().hotKeys, m_log);
        int presses = 0;
        service.setHotKeyHandler(1, [&] { ++presses; });
        ASSERT_TRUE(service.registerOrUpdateHotKey(1, { kVK_ANSI_G, kControlKey | kOptionKey }));

        // xset names the lock keys with a space: "Num Lock".
        const QStringList cases[] = { {}, { "Num_Lock" }, { "Caps_Lock" }, { "Num_Lock", "Caps_Lock" } };
        for (const QStringList& lockKeys : cases) {
            SCOPED_TRACE(qPrintable(lockKeys.join(u'+')));
            for (const QString& key : lockKeys) {
                ASSERT_EQ(m_desktop.run("xdotool", { "key", key }).exitCode, 0);
                ASSERT_TRUE(lockIsOn(m_desktop, QString(key).replace(u'_', u' ')));
            }

            const int before = presses;
            ASSERT_EQ(m_desktop.run("xdotool", { "key", "ctrl+alt+g" }).exitCode, 0);
            EXPECT_TRUE(waitForEventLoop([&] { return presses == before + 1; }));

            for (const QString& key : lockKeys)
                ASSERT_EQ(m_desktop.run("xdotool", { "key", key }).exitCode, 0);
        }
    }

    // The table's X keycodes carry the expected symbols in the server's own (evdev, US) keymap.
    // (That keymap gives the F13–F20 positions launcher symbols, so those are only checked
    // against the evdev codes, in the unit tests.)
    TEST_F(X11HotKeyTest, KeyTableAgreesWithTheServerKeymap)
    {
        struct Expectation {
            quint32 virtualKeyCode;
            xcb_keysym_t keysym;
        };
        const Expectation expectations[] = {
            { 0x00, 'a' }, { 0x01, 's' }, { 0x02, 'd' }, { 0x03, 'f' }, { 0x04, 'h' }, { 0x05, 'g' }, { 0x06, 'z' },
            { 0x07, 'x' }, { 0x08, 'c' }, { 0x09, 'v' }, { 0x0B, 'b' }, { 0x0C, 'q' }, { 0x0D, 'w' }, { 0x0E, 'e' },
            { 0x0F, 'r' }, { 0x10, 'y' }, { 0x11, 't' }, { 0x1F, 'o' }, { 0x20, 'u' }, { 0x22, 'i' }, { 0x23, 'p' },
            { 0x25, 'l' }, { 0x26, 'j' }, { 0x28, 'k' }, { 0x2D, 'n' }, { 0x2E, 'm' },
            { 0x12, '1' }, { 0x13, '2' }, { 0x14, '3' }, { 0x15, '4' }, { 0x17, '5' }, { 0x16, '6' }, { 0x1A, '7' },
            { 0x1C, '8' }, { 0x19, '9' }, { 0x1D, '0' },
            { 0x18, '=' }, { 0x1B, '-' }, { 0x1E, ']' }, { 0x21, '[' }, { 0x27, '\'' }, { 0x29, ';' },
            { 0x2A, '\\' }, { 0x2B, ',' }, { 0x2C, '/' }, { 0x2F, '.' }, { 0x32, '`' },
            { 0x24, 0xff0d }, { 0x30, 0xff09 }, { 0x31, ' ' }, { 0x33, 0xff08 }, { 0x35, 0xff1b },
            { 0x75, 0xffff }, { 0x73, 0xff50 }, { 0x77, 0xff57 }, { 0x74, 0xff55 }, { 0x79, 0xff56 },
            { 0x7B, 0xff51 }, { 0x7E, 0xff52 }, { 0x7C, 0xff53 }, { 0x7D, 0xff54 },
            { 0x7A, 0xffbe }, { 0x78, 0xffbf }, { 0x63, 0xffc0 }, { 0x76, 0xffc1 }, { 0x60, 0xffc2 }, { 0x61, 0xffc3 },
            { 0x62, 0xffc4 }, { 0x64, 0xffc5 }, { 0x65, 0xffc6 }, { 0x6D, 0xffc7 }, { 0x67, 0xffc8 }, { 0x6F, 0xffc9 },
            { 0x4C, 0xff8d }, { 0x45, 0xffab }, { 0x4E, 0xffad }, { 0x43, 0xffaa }, { 0x4B, 0xffaf },
            { 0x38, 0xffe1 }, { 0x3B, 0xffe3 }, { 0x3A, 0xffe9 }, { 0x39, 0xffe5 },
        };
        xcb_connection_t* c = m_desktop.connection();
        const xcb_setup_t* setup = xcb_get_setup(c);
        xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(c,
            xcb_get_keyboard_mapping(c, setup->min_keycode, quint8(setup->max_keycode - setup->min_keycode + 1)), nullptr);
        ASSERT_TRUE(mapping);
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
        for (const Expectation& expectation : expectations) {
            SCOPED_TRACE(expectation.virtualKeyCode);
            const std::optional<quint8> keycode = KeyCodeTable::x11Keycode(expectation.virtualKeyCode);
            ASSERT_TRUE(keycode);
            const xcb_keysym_t first = keysyms[(*keycode - setup->min_keycode) * mapping->keysyms_per_keycode];
            EXPECT_EQ(first, expectation.keysym) << "X keycode " << int(*keycode);
        }
        std::free(mapping);
    }

} // namespace
} // namespace gridlume::test
