#include "hotkeys/KeyboardShortcut.h"
#include "platform/KeyEvent.h"

#include <QMap>
#include <QSet>

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
    const char* json;
    std::optional<KeyboardShortcut> expected;
};

class ShortcutDecoding : public ::testing::TestWithParam<DecodeCase> { };

TEST_P(ShortcutDecoding, AcceptsOnlyTheStoredShape)
{
    EXPECT_EQ(KeyboardShortcut::fromJson(QByteArray(GetParam().json)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(KeyboardShortcut, ShortcutDecoding,
    ::testing::Values(DecodeCase { "stored", R"({"keyCode":49,"modifiers":6144})", KeyboardShortcut { 49, 6144 } },
        DecodeCase { "reordered", R"({"modifiers":256,"keyCode":40})", KeyboardShortcut { 40, 256 } },
        DecodeCase { "spacesAndExtraMembers",
            " {\n \"keyCode\" : 1 , \"name\": [1, {\"x\": null}, \"\\u00e9\"], \"modifiers\": 512 } ",
            KeyboardShortcut { 1, 512 } },
        DecodeCase { "largest", R"({"keyCode":4294967295,"modifiers":0})", KeyboardShortcut { 4294967295u, 0 } },
        DecodeCase { "modifiersMissing", R"({"keyCode":49})", std::nullopt },
        DecodeCase { "keyCodeMissing", R"({"modifiers":49})", std::nullopt },
        DecodeCase { "tooLarge", R"({"keyCode":49,"modifiers":4294967296})", std::nullopt },
        DecodeCase { "negative", R"({"keyCode":-1,"modifiers":0})", std::nullopt },
        DecodeCase { "fraction", R"({"keyCode":49.5,"modifiers":0})", std::nullopt },
        DecodeCase { "exponent", R"({"keyCode":4e1,"modifiers":0})", std::nullopt },
        DecodeCase { "string", R"({"keyCode":"49","modifiers":0})", std::nullopt },
        DecodeCase { "null", R"({"keyCode":null,"modifiers":0})", std::nullopt },
        DecodeCase { "leadingZero", R"({"keyCode":049,"modifiers":0})", std::nullopt },
        DecodeCase { "hugeDigits", R"({"keyCode":99999999999999999999999,"modifiers":0})", std::nullopt },
        DecodeCase { "array", R"([49,6144])", std::nullopt },
        DecodeCase { "notJson", "keyCode=49", std::nullopt }, DecodeCase { "empty", "", std::nullopt },
        DecodeCase { "trailingGarbage", R"({"keyCode":49,"modifiers":0}x)", std::nullopt },
        DecodeCase { "truncated", R"({"keyCode":49,"modifiers":)", std::nullopt },
        DecodeCase { "trailingComma", R"({"keyCode":49,"modifiers":0,})", std::nullopt },
        DecodeCase { "badEscapeInName", R"({"key\qCode":49,"keyCode":1,"modifiers":0})", std::nullopt }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyboardShortcut, DeeplyNestedExtraMemberIsRefusedWithoutExhaustingTheStack)
{
    QByteArray json = R"({"keyCode":1,"modifiers":0,"x":)";
    json += QByteArray(100000, '[');
    json += QByteArray(100000, ']');
    json += '}';
    EXPECT_EQ(KeyboardShortcut::fromJson(json), std::nullopt);
}

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
    ::testing::Values(ModifierCase { "none", 0, 0, "" }, ModifierCase { "capsLockOnly", CapsLock, 0, "" },
        ModifierCase { "functionAndKeypad", Function | NumericPad | Help, 0, "" },
        ModifierCase { "control", Control, controlKey, "⌃" }, ModifierCase { "option", Option, optionKey, "⌥" },
        ModifierCase { "shift", Shift | CapsLock, shiftKey, "⇧" }, ModifierCase { "command", Command, cmdKey, "⌘" },
        ModifierCase { "allFour", Command | Shift | Option | Control | CapsLock, 0x1B00, "⌃⌥⇧⌘" },
        ModifierCase { "deviceBits", Shift | 0x2 | 0x100, shiftKey, "⇧" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyboardShortcut, KeyNamesCoverExactlyTheNamedKeys)
{
    // The virtual key codes of the ANSI layout, by physical position; every other code shows
    // as "KeyCode(n)".
    const QMap<quint32, QString> named { { 0, "A" }, { 1, "S" }, { 2, "D" }, { 3, "F" }, { 4, "H" }, { 5, "G" },
        { 6, "Z" }, { 7, "X" }, { 8, "C" }, { 9, "V" }, { 11, "B" }, { 12, "Q" }, { 13, "W" }, { 14, "E" }, { 15, "R" },
        { 16, "Y" }, { 17, "T" }, { 31, "O" }, { 32, "U" }, { 34, "I" }, { 35, "P" }, { 37, "L" }, { 38, "J" },
        { 40, "K" }, { 45, "N" }, { 46, "M" }, { 18, "1" }, { 19, "2" }, { 20, "3" }, { 21, "4" }, { 22, "6" },
        { 23, "5" }, { 25, "9" }, { 26, "7" }, { 28, "8" }, { 29, "0" }, { 36, "↩" }, { 48, "⇥" }, { 49, "␣" },
        { 51, "⌫" }, { 53, "⎋" }, { 122, "F1" }, { 120, "F2" }, { 99, "F3" }, { 118, "F4" }, { 96, "F5" }, { 97, "F6" },
        { 98, "F7" }, { 100, "F8" }, { 101, "F9" }, { 109, "F10" }, { 103, "F11" }, { 111, "F12" }, { 123, "←" },
        { 124, "→" }, { 125, "↓" }, { 126, "↑" } };
    ASSERT_EQ(named.size(), 57);
    for (quint32 code = 0; code < 256; ++code)
        EXPECT_EQ(keyName(code), named.value(code, QStringLiteral("KeyCode(%1)").arg(code))) << code;
    EXPECT_EQ(keyName(4294967295u), QStringLiteral("KeyCode(4294967295)"));
}

TEST(KeyboardShortcut, DisplayTextIsModifiersThenKey)
{
    EXPECT_EQ(displayText({ 49, controlKey | optionKey }), QStringLiteral("⌃⌥␣"));
    EXPECT_EQ(displayText({ 40, cmdKey | shiftKey }), QStringLiteral("⇧⌘K"));
    EXPECT_EQ(displayText({ 24, optionKey | cmdKey }), QStringLiteral("⌥⌘KeyCode(24)"));
    EXPECT_EQ(displayText({ 96, shiftKey }), QStringLiteral("⇧F5"));
}

TEST(KeyboardShortcut, EqualShortcutsHashAlike)
{
    QSet<KeyboardShortcut> set { { 49, 6144 }, { 49, 6144 }, { 6144, 49 } };
    EXPECT_EQ(set.size(), 2);
}

} // namespace
