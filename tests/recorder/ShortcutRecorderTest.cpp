#include "platform/sim/SimKeyEventTranslator.h"
#include "settings_window/TilingPanelKeyboardShortcutRecorder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "SimSettingsTest.h"

using namespace gridlume;

namespace {

constexpr quint32 kVK_J = 38;
constexpr quint32 kVK_K = 40;
constexpr quint32 kVK_Space = 49;
constexpr quint32 kVK_F5 = 96;

// A settings-window stand-in: the recorder above a text field that has the focus, so that keys
// that get through are visible as typed text.
class ShortcutRecorderTest : public SimSettingsTest {
protected:
    ShortcutRecorderTest()
    {
        auto* layout = new QVBoxLayout(&m_window);
        m_recorder
            = new TilingPanelKeyboardShortcutRecorder(m_settings, m_translator, m_platform.globalKeyMonitor, &m_window);
        m_field = new QLineEdit(&m_window);
        layout->addWidget(m_recorder);
        layout->addWidget(m_field);
        m_window.show();
        m_window.activateWindow();
        m_field->setFocus();
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_field, key, modifiers);
        SimDesktop::processEvents();
    }

    void record(const KeyboardShortcut& shortcut)
    {
        ASSERT_FALSE(m_settings.updateTilingPanelKeyboardShortcut(shortcut).has_value());
    }

    SimKeyEventTranslator m_translator;
    QWidget m_window;
    TilingPanelKeyboardShortcutRecorder* m_recorder = nullptr;
    QLineEdit* m_field = nullptr;
};

struct KeySequenceCase {
    const char* name;
    // Pressed in order while recording.
    QList<QPair<Qt::Key, Qt::KeyboardModifiers>> keys;
    bool stillRecording;
    QString shownText;
    std::optional<KeyboardShortcut> stored;
    // Held by another program: the desktop refuses it.
    std::optional<KeyboardShortcut> heldElsewhere = {};
};

class RecordingKeys : public ShortcutRecorderTest, public ::testing::WithParamInterface<KeySequenceCase> { };

TEST_P(RecordingKeys, OnlyAPressWithAModifierEndsTheRecording)
{
    const KeySequenceCase& c = GetParam();
    if (c.heldElsewhere)
        m_desktop.holdShortcutElsewhere(c.heldElsewhere->keyCode, c.heldElsewhere->modifiers);
    QTest::mouseClick(m_recorder->mainButton(), Qt::LeftButton);
    ASSERT_TRUE(m_recorder->viewModel().isRecording());

    for (const auto& [key, modifiers] : c.keys)
        press(key, modifiers);

    EXPECT_EQ(m_recorder->viewModel().isRecording(), c.stillRecording);
    EXPECT_EQ(m_recorder->viewModel().hasLocalKeyDownMonitor(), c.stillRecording);
    EXPECT_EQ(m_recorder->mainButton()->text(), c.shownText);
    EXPECT_EQ(m_settings.tilingPanelKeyboardShortcut(), c.stored);
    if (c.stored) {
        EXPECT_TRUE(m_desktop.isHotKeyRegistered(c.stored->keyCode, c.stored->modifiers));
    }
    EXPECT_TRUE(m_field->text().isEmpty()) << "no key pressed while recording reaches the focused field";
}

const QString pressShortcut = QStringLiteral("Press shortcut\u2026");

INSTANTIATE_TEST_SUITE_P(ShortcutRecorder, RecordingKeys,
    ::testing::Values(
        KeySequenceCase { "plainKeyThenCommandK", { { Qt::Key_K, Qt::NoModifier }, { Qt::Key_K, Qt::MetaModifier } },
            false, QStringLiteral("\u2318K"), KeyboardShortcut { kVK_K, cmdKey } },
        KeySequenceCase {
            "escapeDoesNotCancel", { { Qt::Key_Escape, Qt::NoModifier } }, true, pressShortcut, std::nullopt },
        KeySequenceCase { "shiftAloneIsEnough", { { Qt::Key_F5, Qt::ShiftModifier } }, false,
            QStringLiteral("\u21E7F5"), KeyboardShortcut { kVK_F5, shiftKey } },
        KeySequenceCase {
            "keypadFlagIsNoModifier", { { Qt::Key_K, Qt::KeypadModifier } }, true, pressShortcut, std::nullopt },
        // Holding Control first sends a press of the Control key itself, with the Control bit set.
        KeySequenceCase { "modifierKeyAloneIsNotAShortcut",
            { { Qt::Key_Control, Qt::ControlModifier }, { Qt::Key_Shift, Qt::ShiftModifier } }, true, pressShortcut,
            std::nullopt },
        KeySequenceCase { "refusedEndsTheRecording", { { Qt::Key_K, Qt::MetaModifier } }, false,
            QStringLiteral("Click to record shortcut"), std::nullopt, KeyboardShortcut { kVK_K, cmdKey } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShortcutRecorderTest, TheTrailingSlotFollowsRecordingAndTheStoredShortcut)
{
    // Whether the cancel and the clear button show.
    auto slot
        = [&] { return std::pair(m_recorder->cancelButton()->isVisible(), m_recorder->clearButton()->isVisible()); };

    EXPECT_EQ(slot(), std::pair(false, false));
    EXPECT_EQ(m_recorder->text(), QStringLiteral("Click to record shortcut"));

    record({ kVK_Space, controlKey | optionKey });
    EXPECT_EQ(slot(), std::pair(false, true));

    QTest::mouseClick(m_recorder->mainButton(), Qt::LeftButton);
    EXPECT_EQ(slot(), std::pair(true, false)) << "cancel replaces clear during a recording, even with a shortcut set";

    QTest::mouseClick(m_recorder->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(m_recorder->viewModel().isRecording());
    EXPECT_FALSE(m_recorder->viewModel().hasLocalKeyDownMonitor());
    EXPECT_EQ(m_recorder->text(), QStringLiteral("\u2303\u2325\u2423"));
    EXPECT_EQ(slot(), std::pair(false, true));

    QTest::mouseClick(m_recorder->clearButton(), Qt::LeftButton);
    EXPECT_FALSE(m_settings.tilingPanelKeyboardShortcut().has_value());
    EXPECT_EQ(m_desktop.registeredHotKeyCount(), 0);
    EXPECT_EQ(slot(), std::pair(false, false));
    EXPECT_EQ(m_recorder->text(), QStringLiteral("Click to record shortcut"));
}

// A combination another program holds is handed to that program and never reaches the recorder;
// only the global key monitor sees it.
TEST_F(ShortcutRecorderTest, ACombinationHeldByAnotherProgramEndsTheRecordingAndSaysSo)
{
    KeyboardShortcutRecorderViewModel& model = m_recorder->viewModel();
    const KeyboardShortcut controlOptionSpace { kVK_Space, controlKey | optionKey };
    record(controlOptionSpace);
    m_desktop.holdShortcutElsewhere(kVK_J, controlKey | shiftKey);
    QTest::mouseClick(m_recorder->mainButton(), Qt::LeftButton);

    // Seen globally but held by nobody (it reaches the focused window) or by ourselves: the
    // recording goes on, and our own hot key stays.
    m_desktop.typeGlobalKey({ kVK_K, ModifierFlag::Control });
    m_desktop.typeGlobalKey({ kVK_Space, ModifierFlag::Control | ModifierFlag::Option });
    SimDesktop::processEvents();
    EXPECT_TRUE(model.isRecording());
    EXPECT_TRUE(m_desktop.isHotKeyRegistered(kVK_Space, controlKey | optionKey));

    m_desktop.typeGlobalKey({ kVK_J, ModifierFlag::Control | ModifierFlag::Shift });
    SimDesktop::processEvents();
    EXPECT_FALSE(model.isRecording());
    EXPECT_FALSE(model.hasLocalKeyDownMonitor());
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 0);
    EXPECT_EQ(m_recorder->mainButton()->text(), QStringLiteral("Used by another program"));
    EXPECT_EQ(m_desktop.registeredHotKeyCount(), 1) << "only the previous shortcut is registered";
    // The notice goes by itself after a few seconds.
    QSignalSpy notice(&model, &KeyboardShortcutRecorderViewModel::isShowingUsedByAnotherProgramChanged);
    ASSERT_TRUE(notice.wait(3 * KeyboardShortcutRecorderViewModel::usedByAnotherProgramNoticeMs));
    EXPECT_EQ(m_recorder->text(), QStringLiteral("\u2303\u2325\u2423"));
}

TEST_F(ShortcutRecorderTest, ClickingAgainWhileRecordingKeepsOneMonitorAndTheFirstCallback)
{
    KeyboardShortcutRecorderViewModel& model = m_recorder->viewModel();
    QList<KeyboardShortcut> first, second;
    model.startRecording([&](const KeyboardShortcut& s) { first.append(s); });
    model.startRecording([&](const KeyboardShortcut& s) { second.append(s); });

    press(Qt::Key_K, Qt::ControlModifier);

    EXPECT_EQ(first, QList<KeyboardShortcut>({ { kVK_K, controlKey } }));
    EXPECT_TRUE(second.isEmpty());
}

TEST_F(ShortcutRecorderTest, ApplicationShortcutsDoNotFireWhileRecording)
{
    int quitCount = 0;
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &m_window);
    QObject::connect(quit, &QShortcut::activated, [&] { ++quitCount; });

    QTest::mouseClick(m_recorder->mainButton(), Qt::LeftButton);
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quitCount, 0);
    EXPECT_EQ(m_settings.tilingPanelKeyboardShortcut(), (KeyboardShortcut { 12, controlKey }));

    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quitCount, 1) << "once the recording has ended, the shortcut works again";
}

TEST_F(ShortcutRecorderTest, ARecorderDestroyedWhileRecordingLeavesNoMonitorBehind)
{
    QTest::mouseClick(m_recorder->mainButton(), Qt::LeftButton);
    delete m_recorder;

    press(Qt::Key_K);
    press(Qt::Key_K, Qt::ControlModifier);

    EXPECT_EQ(m_field->text(), QStringLiteral("k"));
    EXPECT_FALSE(m_settings.tilingPanelKeyboardShortcut().has_value());
}

} // namespace
