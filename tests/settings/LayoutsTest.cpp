#include "layouts/LayoutShortcutController.h"
#include "placement/PlacementRequest.h"
#include "placement/WindowPlacementCommand.h"

#include "SimSettingsTest.h"

using namespace gridlume;

namespace {

const KeyboardShortcut controlOptionLeft { 123, controlKey | optionKey };
const KeyboardShortcut controlOptionN { 45, controlKey | optionKey };

// The simulated 1440 × 900 primary (a 25-point bar at the top) with a terminal's window, the
// stores and the controller as the program builds them.
class LayoutsTest : public SimSettingsTest {
protected:
    LayoutsTest()
    {
        const pid_t pid = m_desktop.addApplication(QStringLiteral("Terminal"));
        m_window = m_desktop.addWindow(pid);
        m_desktop.activate(pid);
    }

    LayoutStore& makeStore()
    {
        m_controller.reset();
        m_store = std::make_unique<LayoutStore>(m_platform.userDefaults, m_hotKeys, m_settings, m_platform.logSink);
        m_controller = std::make_unique<LayoutShortcutController>(*m_store, m_settings, m_platform.accessibility,
            m_platform.screens, m_platform.workspace, m_platform.logSink);
        m_controller->start();
        return *m_store;
    }
    std::optional<QString> stored() const { return m_platform.userDefaults.stringForKey(LayoutStore::layoutsKey); }
    int warnings() { return int(m_desktop.log().messages(QStringLiteral("LayoutStore")).size()); }
    Rect frame() const { return *m_desktop.windowFrame(m_window); }

    std::unique_ptr<LayoutStore> m_store;
    std::unique_ptr<LayoutShortcutController> m_controller;
    int m_window = 0;
};

struct ReadCase {
    const char* name;
    const char* layouts;
    QStringList expectedNames;
    int warnings;
};

class LayoutsReading : public LayoutsTest, public ::testing::WithParamInterface<ReadCase> { };

TEST_P(LayoutsReading, DamagedEntriesAreSkippedOnceAndTheValueStaysAsItIs)
{
    const QString value = QString::fromUtf8(GetParam().layouts);
    m_platform.userDefaults.setObject(LayoutStore::layoutsKey, value);
    QStringList names;
    for (const PlacementLayout& layout : makeStore().layouts())
        names.append(layout.name);
    EXPECT_EQ(names, GetParam().expectedNames);
    EXPECT_EQ(warnings(), GetParam().warnings) << qPrintable(m_desktop.log().messages().join(u'\n'));
    EXPECT_EQ(stored(), value);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutsReading,
    ::testing::Values(ReadCase { "everyKind",
                          R"({"version":1,"layouts":[{"name":"Left","steps":["2x1 0,0","3x1 0,0:1,0"],"monitor":"next",)"
                          R"("shortcut":{"keyCode":123,"modifiers":6144}},{"name":"Move","action":"nextMonitor"}]})",
                          { "Left", "Move" }, 0 },
        ReadCase { "oneDamagedAmongThree",
            R"({"version":1,"layouts":[{"name":"A","steps":["2x1 0,0"]},{"name":"B","steps":["2x1 5,0"]},)"
            R"({"name":"C","steps":["1x1 0,0"]}]})",
            { "A", "C" }, 1 },
        ReadCase { "eachWayOfBeingDamaged",
            R"({"version":1,"layouts":[7,{"steps":["2x1 0,0"]},{"name":"N","steps":[]},{"name":"S","steps":[3]},)"
            R"({"name":"M","steps":["2x1 0,0"],"monitor":"left"},{"name":"K","steps":["2x1 0,0"],"shortcut":"K"},)"
            R"({"name":"X","action":"maximise"},{"name":"ok","steps":["2x1 1,0"]}]})",
            { "ok" }, 7 },
        ReadCase { "notJson", "[General", {}, 1 }, ReadCase { "newerVersion", R"({"version":2,"layouts":[]})", {}, 1 },
        ReadCase { "aShortcutTwiceKeepsTheFirst",
            R"({"version":1,"layouts":[{"name":"A","steps":["2x1 0,0"],"shortcut":{"keyCode":45,"modifiers":6144}},)"
            R"({"name":"B","steps":["2x1 1,0"],"shortcut":{"keyCode":45,"modifiers":6144}}]})",
            { "A", "B" }, 1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayoutsTest, AChangeWritesTheListBackWithTheUnreadableEntriesAsTheyWere)
{
    m_platform.userDefaults.setObject(LayoutStore::layoutsKey,
        QStringLiteral(R"({"version":1,"layouts":[{"name":"B","steps":["2x1 5,0"]},{"name":"A","steps":["2x1 0,0"]}]})"));
    LayoutStore& store = makeStore();
    ASSERT_TRUE(store.addLayout(PlacementLayout::presets().constLast()));
    EXPECT_TRUE(stored()->contains(QStringLiteral(R"({"name":"B","steps":["2x1 5,0"]})"))) << qPrintable(*stored());
    // And the next start reads what was written.
    const QList<PlacementLayout> written = store.layouts();
    EXPECT_EQ(makeStore().layouts(), written);
    EXPECT_EQ(written.size(), 2);
}

TEST_F(LayoutsTest, AShortcutThePanelAnotherLayoutOrAnotherProgramHoldsIsRefused)
{
    ASSERT_FALSE(m_settings.updateTilingPanelKeyboardShortcut(controlOptionN));
    LayoutStore& store = makeStore();
    PlacementLayout layout = PlacementLayout::presets().first();
    layout.shortcut = controlOptionN;
    EXPECT_FALSE(store.addLayout(layout));
    layout.shortcut = controlOptionLeft;
    ASSERT_TRUE(store.addLayout(layout));
    EXPECT_FALSE(store.addLayout(layout));
    m_desktop.holdShortcutElsewhere(40, controlKey | optionKey);
    layout.shortcut = KeyboardShortcut { 40, controlKey | optionKey };
    EXPECT_FALSE(store.updateLayout(0, layout));
    EXPECT_EQ(store.layouts().size(), 1);
    EXPECT_EQ(store.layouts()[0].shortcut, controlOptionLeft);
    // The kept shortcut still works.
    EXPECT_TRUE(m_desktop.pressHotKey(controlOptionLeft.keyCode, controlOptionLeft.modifiers));
    EXPECT_EQ(frame(), Rect(0, 25, 720, 875));
}

TEST_F(LayoutsTest, PressingAgainStepsThroughTheBlocksUntilTheWindowMoves)
{
    LayoutStore& store = makeStore();
    PlacementLayout layout = PlacementLayout::presets().first(); // left half, third, two thirds
    layout.shortcut = controlOptionLeft;
    ASSERT_TRUE(store.addLayout(layout));
    const auto press = [&] {
        EXPECT_TRUE(m_desktop.pressHotKey(controlOptionLeft.keyCode, controlOptionLeft.modifiers));
        return frame();
    };
    EXPECT_EQ(press(), Rect(0, 25, 720, 875));
    EXPECT_EQ(press(), Rect(0, 25, 480, 875));
    EXPECT_EQ(press(), Rect(0, 25, 960, 875));
    EXPECT_EQ(press(), Rect(0, 25, 720, 875));
    EXPECT_EQ(press(), Rect(0, 25, 480, 875));

    // Moved in between, by any other way: the next press starts again, with the gaps.
    WindowPlacementCommand(m_platform.accessibility, m_platform.screens, m_platform.workspace, m_platform.logSink)
        .run(*PlacementRequest::parse(QStringLiteral("2x2"), QStringLiteral("1,1"), QStringLiteral("current")));
    m_settings.updateTileGap(10);
    m_settings.updateScreenMargin(16);
    EXPECT_EQ(press(), Rect(16, 41, 699, 843));
}

TEST_F(LayoutsTest, NextMonitorKeepsThePartOfTheUsableAreaAndGoesRound)
{
    m_desktop.setScreens({ m_desktop.screens().first(),
        Screen { 2, Rect(1440, 0, 1920, 1080), Rect(1440, 0, 1920, 1080), QStringLiteral("right") } });
    LayoutStore& store = makeStore();
    ASSERT_TRUE(store.addLayout(PlacementLayout::presets().first()));
    ASSERT_TRUE(store.addLayout(PlacementLayout::presets().constLast()));
    ASSERT_TRUE(m_controller->apply(0));
    ASSERT_TRUE(m_controller->apply(1));
    EXPECT_EQ(frame(), Rect(1440, -180, 960, 1080));
    ASSERT_TRUE(m_controller->apply(1));
    EXPECT_EQ(frame(), Rect(0, 25, 720, 875));
    // A layout whose monitor is the next one goes there at its first step only.
    PlacementLayout onNext = PlacementLayout::presets().first();
    onNext.monitor = PlacementLayout::Monitor::next;
    ASSERT_TRUE(store.updateLayout(0, onNext));
    ASSERT_TRUE(m_controller->apply(0));
    EXPECT_EQ(frame(), Rect(1440, -180, 960, 1080));
    ASSERT_TRUE(m_controller->apply(0));
    EXPECT_EQ(frame(), Rect(1440, -180, 640, 1080));
}

} // namespace
