#include "hotkeys/KeyboardShortcut.h"
#include "platform/KeyEvent.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

TEST(KeyboardShortcut, EncodesCompactlyAndRoundTrips)
{
    const KeyboardShortcut controlOptionSpace { 49, controlKey | optionKey };
    EXPECT_EQ(controlOptionSpace.toJson(), QByteArray(R"({"keyCode":49,"modifiers":6144})"));
    for (const KeyboardShortcut& shortcut : { controlOptionSpace, KeyboardShortcut { 0, 0 },
             KeyboardShortcut { 4294967295u, 4294967295u }, KeyboardShortcut { 40, cmdKey | shiftKey } })
        EXPECT_EQ(KeyboardShortcut::fromJson(shortcut.toJson()), shortcut);
}

struct DecodeCase {
    const char* name;
    QByteArray json;
    std::optional<KeyboardShortcut> expected;
};

class ShortcutDecoding : public ::testing::TestWithParam<DecodeCase> { };

TEST_P(ShortcutDecoding, AcceptsOnlyTheStoredShape)
{
    EXPECT_EQ(KeyboardShortcut::fromJson(GetParam().json), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(KeyboardShortcut, ShortcutDecoding,
    ::testing::Values(DecodeCase { "stored", R"({"keyCode":49,"modifiers":6144})", KeyboardShortcut { 49, 6144 } },
        DecodeCase { "reordered", R"({"modifiers":256,"keyCode":40})", KeyboardShortcut { 40, 256 } },
        DecodeCase { "spacesAndExtraMembers",
            " {\n \"keyCode\" : 1 , \"name\": [1, {\"x\": null}, \"\\u00e9\"], \"modifiers\": 512 } ",
            KeyboardShortcut { 1, 512 } },
        DecodeCase { "largest", R"({"keyCode":4294967295,"modifiers":0})", KeyboardShortcut { 4294967295u, 0 } },
        DecodeCase { "modifiersMissing", R"({"keyCode":49})", std::nullopt },
        DecodeCase { "tooLarge", R"({"keyCode":49,"modifiers":4294967296})", std::nullopt },
        DecodeCase { "negative", R"({"keyCode":-1,"modifiers":0})", std::nullopt },
        DecodeCase { "fraction", R"({"keyCode":49.5,"modifiers":0})", std::nullopt },
        DecodeCase { "string", R"({"keyCode":"49","modifiers":0})", std::nullopt },
        DecodeCase { "array", R"([49,6144])", std::nullopt }, DecodeCase { "notJson", "keyCode=49", std::nullopt },
        DecodeCase { "trailingGarbage", R"({"keyCode":49,"modifiers":0}x)", std::nullopt },
        DecodeCase { "trailingComma", R"({"keyCode":49,"modifiers":0,})", std::nullopt },
        // Refused without exhausting the stack.
        DecodeCase { "deeplyNestedExtraMember",
            R"({"keyCode":1,"modifiers":0,"x":)" + QByteArray(100000, '[') + QByteArray(100000, ']') + '}',
            std::nullopt }),
    [](const auto& info) { return std::string(info.param.name); });

struct ModifierCase {
    const char* name;
    quint64 flags;
    quint32 carbon;
    QString symbols;
};

class ModifierConversion : public ::testing::TestWithParam<ModifierCase> { };

TEST_P(ModifierConversion, MapsTheFourModifiersOnly)
{
    EXPECT_EQ(carbonModifiers(GetParam().flags), GetParam().carbon);
    EXPECT_EQ(modifierSymbols(GetParam().carbon).join(QString()), GetParam().symbols);
}

using namespace ModifierFlag;
INSTANTIATE_TEST_SUITE_P(KeyboardShortcut, ModifierConversion,
    ::testing::Values(ModifierCase { "capsLockOnly", CapsLock, 0, "" },
        ModifierCase { "functionAndKeypad", Function | NumericPad | Help, 0, "" },
        ModifierCase { "control", Control, controlKey, "⌃" }, ModifierCase { "option", Option, optionKey, "⌥" },
        ModifierCase { "shift", Shift | CapsLock, shiftKey, "⇧" }, ModifierCase { "command", Command, cmdKey, "⌘" },
        ModifierCase { "allFour", Command | Shift | Option | Control | CapsLock, 0x1B00, "⌃⌥⇧⌘" },
        ModifierCase { "deviceBits", Shift | 0x2 | 0x100, shiftKey, "⇧" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyboardShortcut, DisplayTextIsModifiersThenKey)
{
    EXPECT_EQ(displayText({ 24, optionKey | cmdKey }), QStringLiteral("⌥⌘KeyCode(24)"));
    // Codes by physical position on the ANSI layout; unnamed codes show their number.
    EXPECT_EQ(displayText({ 0, controlKey }), QStringLiteral("⌃A"));
    EXPECT_EQ(displayText({ 53, controlKey }), QStringLiteral("⌃⎋"));
    EXPECT_EQ(displayText({ 126, controlKey }), QStringLiteral("⌃↑"));
}

} // namespace
