#include "SimSettingsTest.h"

#include <QSignalSpy>

using namespace gridlume;

namespace {

const KeyboardShortcut controlOptionSpace { 49, controlKey | optionKey };
const KeyboardShortcut commandK { 40, cmdKey };
const QString shortcutKey = "tilingPanelKeyboardShortcut";

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStoreTest()
        : m_platform(m_desktop.platform())
        , m_hotKeys(m_platform.hotKeys, m_platform.logSink)
    {
    }

    SettingsStore& makeStore()
    {
        m_store = std::make_unique<SettingsStore>(m_platform.userDefaults, m_hotKeys, m_appearance, m_platform.logSink);
        return *m_store;
    }

    bool press(const KeyboardShortcut& shortcut) { return m_desktop.pressHotKey(shortcut.keyCode, shortcut.modifiers); }

    SimDesktop m_desktop;
    Platform m_platform;
    HotKeyService m_hotKeys;
    RecordingAppearance m_appearance;
    std::unique_ptr<SettingsStore> m_store;
    int m_toggles = 0;
};

struct LoadCase {
    const char* name;
    std::optional<DefaultsValue> shortcut;
    std::optional<DefaultsValue> keepOpen;
    std::optional<DefaultsValue> appearance;
    std::optional<KeyboardShortcut> expectedShortcut;
    bool expectedKeepOpen;
    AppAppearance expectedAppearance;
};

class SettingsLoading : public SettingsStoreTest, public ::testing::WithParamInterface<LoadCase> { };

TEST_P(SettingsLoading, OddStoredValuesReadAsDefaultsAndStayStoredUntilCleared)
{
    UserDefaults& defaults = m_platform.userDefaults;
    const LoadCase& c = GetParam();
    if (c.shortcut)
        defaults.setObject(shortcutKey, *c.shortcut);
    if (c.keepOpen)
        defaults.setObject("keepTilingPanelOpenAfterTiling", *c.keepOpen);
    if (c.appearance)
        defaults.setObject("appAppearance", *c.appearance);

    SettingsStore& store = makeStore();
    EXPECT_EQ(store.tilingPanelKeyboardShortcut(), c.expectedShortcut);
    EXPECT_EQ(store.keepTilingPanelOpenAfterTiling(), c.expectedKeepOpen);
    EXPECT_EQ(store.appAppearance(), c.expectedAppearance);
    EXPECT_EQ(m_appearance.applied, QList<AppAppearance>({ c.expectedAppearance }));
    // Loading registers nothing and leaves what was stored in place; a stored shortcut that
    // cannot be decoded is the one thing it logs, once, naming the key.
    EXPECT_EQ(m_desktop.registeredHotKeyCount(), 0);
    const bool undecodable = c.shortcut && !c.expectedShortcut;
    EXPECT_EQ(m_desktop.log().records().size(), undecodable ? 1 : 0);
    EXPECT_EQ(m_desktop.log().messages().filter("\"tilingPanelKeyboardShortcut\" cannot be decoded").size(),
        undecodable ? 1 : 0);
    EXPECT_EQ(defaults.objectForKey(shortcutKey), c.shortcut);
    EXPECT_EQ(store.clearTilingPanelKeyboardShortcut(), std::nullopt);
    EXPECT_FALSE(defaults.objectForKey(shortcutKey));
}

INSTANTIATE_TEST_SUITE_P(SettingsStore, SettingsLoading,
    ::testing::Values(LoadCase { "firstLaunch", {}, {}, {}, std::nullopt, true, AppAppearance::system },
        LoadCase { "allSet", QByteArray(R"({"keyCode":49,"modifiers":6144})"), false, QString("dark"),
            controlOptionSpace, false, AppAppearance::dark },
        LoadCase { "light", {}, true, QString("light"), std::nullopt, true, AppAppearance::light },
        LoadCase { "capitalisedAppearance", {}, {}, QString("Dark"), std::nullopt, true, AppAppearance::system },
        LoadCase { "shortcutNotJson", QByteArray("not json"), {}, {}, std::nullopt, true, AppAppearance::system },
        LoadCase { "shortcutAsString", QString(R"({"keyCode":49,"modifiers":6144})"), {}, {}, std::nullopt, true,
            AppAppearance::system },
        LoadCase { "shortcutWithoutModifiersLoads", QByteArray(R"({"keyCode":0,"modifiers":0})"), {}, {},
            KeyboardShortcut { 0, 0 }, true, AppAppearance::system }),
    [](const auto& info) { return std::string(info.param.name); });

struct UpdateCase {
    const char* name;
    std::optional<KeyboardShortcut> previous;
    KeyboardShortcut next;
    bool refused;
};

class ShortcutUpdates : public SettingsStoreTest, public ::testing::WithParamInterface<UpdateCase> { };

TEST_P(ShortcutUpdates, StoreAndHotKeyStayInStep)
{
    const UpdateCase& c = GetParam();
    if (c.previous)
        m_platform.userDefaults.setObject(shortcutKey, c.previous->toJson());
    SettingsStore& store = makeStore();
    ASSERT_EQ(store.setTilingPanelHotKeyHandler([this] { ++m_toggles; }), std::nullopt);
    QSignalSpy changed(&store, &SettingsStore::tilingPanelKeyboardShortcutChanged);
    if (c.refused)
        m_desktop.holdShortcutElsewhere(c.next.keyCode, c.next.modifiers);

    const auto error = store.updateTilingPanelKeyboardShortcut(c.next);

    const std::optional<KeyboardShortcut> expected = c.refused ? c.previous : std::optional(c.next);
    EXPECT_EQ(error.has_value(), c.refused);
    EXPECT_EQ(store.tilingPanelKeyboardShortcut(), expected);
    EXPECT_EQ(changed.count(), expected != c.previous ? 1 : 0);
    EXPECT_EQ(m_platform.userDefaults.dataForKey(shortcutKey),
        expected ? std::optional(expected->toJson()) : std::nullopt);
    // Exactly the expected shortcut is live.
    EXPECT_EQ(m_desktop.registeredHotKeyCount(), expected ? 1 : 0);
    if (expected) {
        EXPECT_TRUE(press(*expected));
    }
    if (c.previous && expected != c.previous) {
        EXPECT_FALSE(press(*c.previous));
    }
    EXPECT_EQ(m_toggles, expected ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(SettingsStore, ShortcutUpdates,
    ::testing::Values(UpdateCase { "first", std::nullopt, commandK, false },
        UpdateCase { "replace", controlOptionSpace, commandK, false },
        UpdateCase { "same", commandK, commandK, false },
        UpdateCase { "refusedRestoresPrevious", controlOptionSpace, commandK, true },
        UpdateCase { "refusedWithoutPrevious", std::nullopt, commandK, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsStoreTest, ClearingReleasesTheHotKeyButKeepsTheHandler)
{
    m_platform.userDefaults.setObject(shortcutKey, commandK.toJson());
    SettingsStore& store = makeStore();
    ASSERT_EQ(store.setTilingPanelHotKeyHandler([this] { ++m_toggles; }), std::nullopt);

    EXPECT_EQ(store.clearTilingPanelKeyboardShortcut(), std::nullopt);
    EXPECT_EQ(store.tilingPanelKeyboardShortcut(), std::nullopt);
    EXPECT_FALSE(m_platform.userDefaults.objectForKey(shortcutKey));
    EXPECT_FALSE(press(commandK));
    // Clearing again succeeds and touches nothing.
    EXPECT_EQ(store.clearTilingPanelKeyboardShortcut(), std::nullopt);

    ASSERT_EQ(store.updateTilingPanelKeyboardShortcut(controlOptionSpace), std::nullopt);
    EXPECT_TRUE(press(controlOptionSpace));
    EXPECT_EQ(m_toggles, 1);
}

// The keep-open setting is the settings window's checkbox tests' own.
TEST_F(SettingsStoreTest, AppearanceIsWrittenThroughAndNotifiesOnChange)
{
    SettingsStore& store = makeStore();
    QSignalSpy appearanceChanged(&store, &SettingsStore::appAppearanceChanged);

    store.updateAppAppearance(AppAppearance::dark);
    store.updateAppAppearance(AppAppearance::system);
    store.updateAppAppearance(AppAppearance::system);
    EXPECT_EQ(appearanceChanged.count(), 2);
    // Applied even when unchanged, starting with the one applied at load.
    EXPECT_EQ(m_appearance.applied,
        QList<AppAppearance>({ AppAppearance::system, AppAppearance::dark, AppAppearance::system,
            AppAppearance::system }));
    EXPECT_EQ(m_platform.userDefaults.stringForKey("appAppearance"), "system");
}

struct GapsCase {
    const char* name;
    std::optional<DefaultsValue> tileGap;
    std::optional<DefaultsValue> screenMargin;
    PlacementGaps expected;
    int warnings;
};

class GapsLoading : public SettingsStoreTest, public ::testing::WithParamInterface<GapsCase> { };

TEST_P(GapsLoading, OutOfRangeReadsAsNoGapLoggedOnceAndStaysStored)
{
    UserDefaults& defaults = m_platform.userDefaults;
    const GapsCase& c = GetParam();
    if (c.tileGap)
        defaults.setObject(SettingsStore::tileGapKey, *c.tileGap);
    if (c.screenMargin)
        defaults.setObject(SettingsStore::screenMarginKey, *c.screenMargin);
    SettingsStore& store = makeStore();
    EXPECT_EQ(store.placementGaps(), c.expected);
    EXPECT_EQ(m_desktop.log().messages().filter("is not a whole number from 0 to 64").size(), c.warnings);
    EXPECT_EQ(defaults.objectForKey(SettingsStore::tileGapKey), c.tileGap);
    EXPECT_EQ(defaults.objectForKey(SettingsStore::screenMarginKey), c.screenMargin);
}

INSTANTIATE_TEST_SUITE_P(SettingsStore, GapsLoading,
    ::testing::Values(GapsCase { "absentIsNone", {}, {}, {}, 0 },
        GapsCase { "asTheIniFileHoldsThem", QString("10"), QString(" 16"), { 10, 16 }, 0 },
        GapsCase { "asNumbers", qint64(0), qint64(64), { 0, 64 }, 0 },
        GapsCase { "tooLargeAndNegative", qint64(65), QString("-1"), {}, 2 },
        GapsCase { "notWhole", QString("4.5"), QString("ten"), {}, 2 },
        GapsCase { "wrongType", true, QByteArray("8"), {}, 2 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsStoreTest, GapUpdatesAreClampedWrittenAndNotified)
{
    SettingsStore& store = makeStore();
    QSignalSpy changed(&store, &SettingsStore::placementGapsChanged);
    store.updateTileGap(10);
    store.updateTileGap(10);
    store.updateScreenMargin(200);
    EXPECT_EQ(store.placementGaps(), (PlacementGaps { 10, 64 }));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(m_platform.userDefaults.integerForKey(SettingsStore::screenMarginKey), 64);
    // What was written is what the next start reads.
    EXPECT_EQ(makeStore().placementGaps(), (PlacementGaps { 10, 64 }));
}

} // namespace
