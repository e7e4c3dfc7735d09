// The keys Gridlume gives KDE's shortcut service: Qt's key and modifier bits of a virtual key code
// and event-manager modifiers, on a US layout.
#include "platform/kwin/KWinGlobalAccel.h"
#include "platform/HotKeyAdapter.h"

#include <gtest/gtest.h>

namespace gridlume {
namespace {

    struct QtKeyCase {
        const char* name;
        quint32 virtualKeyCode;
        quint32 modifiers;
        std::optional<int> qtKey;
    };

    class KWinGlobalAccelQtKeyTest : public ::testing::TestWithParam<QtKeyCase> { };

    TEST_P(KWinGlobalAccelQtKeyTest, MapsTheKeyAndItsModifiers)
    {
        const std::optional<KeyCombination> combination
            = HotKeyAdapter::keyCombination(GetParam().virtualKeyCode, GetParam().modifiers);
        ASSERT_TRUE(combination);
        EXPECT_EQ(KWinGlobalAccel::qtKey(*combination), GetParam().qtKey);
    }

    // Qt::Key values and Qt::KeyboardModifier bits (Shift 0x02000000, Control 0x04000000,
    // Alt 0x08000000, Meta 0x10000000); event-manager modifiers cmdKey 0x100, shiftKey 0x200,
    // optionKey 0x800, controlKey 0x1000.
    INSTANTIATE_TEST_SUITE_P(Keys, KWinGlobalAccelQtKeyTest,
        ::testing::Values(QtKeyCase { "ControlOptionSpace", 0x31, 0x1800, 0x0C000020 },
            QtKeyCase { "ControlOptionShiftG", 0x05, 0x1A00, 0x0E000047 },
            QtKeyCase { "CommandT", 0x11, 0x0100, 0x10000054 }, QtKeyCase { "ControlDigit1", 0x12, 0x1000, 0x04000031 },
            QtKeyCase { "ControlSlash", 0x2C, 0x1000, 0x0400002F }, QtKeyCase { "OptionF5", 0x60, 0x0800, 0x09000034 },
            QtKeyCase { "ControlF12", 0x6F, 0x1000, 0x0500003B },
            QtKeyCase { "ControlLeftArrow", 0x7B, 0x1000, 0x05000012 }, QtKeyCase { "Escape", 0x35, 0, 0x01000000 },
            QtKeyCase { "Return", 0x24, 0x1000, 0x05000004 },
            QtKeyCase { "KeypadEnterHasNoKeyHere", 0x4C, 0x1000, std::nullopt }),
        [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace gridlume
