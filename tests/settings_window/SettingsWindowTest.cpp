#include "platform/sim/SimKeyEventTranslator.h"
#include "platform/sim/SimPanelWindowTraits.h"
#include "platform/sim/SimUrlOpener.h"
#include "settings_window/AboutSettingsView.h"
#include "settings_window/AppearanceChooser.h"
#include "settings_window/GeneralSettingsView.h"
#include "settings_window/GridlumeSettingsView.h"
#include "settings_window/SettingsWindowController.h"
#include "settings_window/TilingPanelKeyboardShortcutRecorder.h"
#include "settings_window/UpdateResultPresenter.h"
#include "settings_window/Updater.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "SimSettingsTest.h"

using namespace gridlume;

namespace {

// An updater whose checks end when the test says so.
class FakeUpdater final : public Updater {
public:
    bool automaticallyChecksForUpdates() const override { return m_automatic; }
    void setAutomaticallyChecksForUpdates(bool value) override
    {
        if (m_automatic == value)
            return;
        m_automatic = value;
        Q_EMIT automaticallyChecksForUpdatesChanged();
    }
    bool canCheckForUpdates() const override { return !m_checking; }
    std::optional<UpdateCheckResult> lastResult() const override { return m_last; }
    void checkForUpdates() override
    {
        m_checking = true;
        Q_EMIT canCheckForUpdatesChanged();
    }
    void finishCheck(UpdateCheckResult result)
    {
        m_checking = false;
        m_last = result;
        Q_EMIT canCheckForUpdatesChanged();
        Q_EMIT updateCheckFinished(result);
    }

private:
    bool m_automatic = false;
    bool m_checking = false;
    std::optional<UpdateCheckResult> m_last;
};

class SettingsWindowTest : public SimSettingsTest {
protected:
    SettingsWindowTest() { m_controller.showSettingsWindow(); }

    GeneralSettingsView& general() { return *m_controller.view()->generalView(); }
    AboutSettingsView& about() { return *m_controller.view()->aboutView(); }

    SimKeyEventTranslator m_translator;
    FakeUpdater m_updater;
    SettingsWindowController m_controller { m_settings, m_updater, m_translator, m_platform.globalKeyMonitor,
        m_desktop.urlOpener(), m_platform.panelWindowTraits, "0.1.0", QIcon() };
};

TEST_F(SettingsWindowTest, IsAFixedSizeWindowThatAlwaysOpensOnGeneral)
{
    QWidget* window = m_controller.window();
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the user cannot resize it";
    EXPECT_EQ(m_controller.view()->selectedTab(), GridlumeSettingsView::SettingsTab::general);

    m_controller.view()->setSelectedTab(GridlumeSettingsView::SettingsTab::about);
    window->close();
    m_controller.showSettingsWindow();

    EXPECT_EQ(m_controller.window(), window) << "the window is reused";
    EXPECT_TRUE(m_controller.isSettingsWindowVisible());
    EXPECT_EQ(m_controller.view()->selectedTab(), GridlumeSettingsView::SettingsTab::general);
    // Every showing brings it to the desktop the user is on.
    EXPECT_EQ(m_desktop.panelWindowTraits().movesToCurrentDesktop(window->windowHandle()), 2);
}

TEST_F(SettingsWindowTest, TheGeneralRowsFitInTheWindow)
{
    for (QWidget* row : std::initializer_list<QWidget*> { general().shortcutRecorder(), general().keepPanelOpenCheckBox(),
             general().automaticUpdatesCheckBox(), general().checkForUpdatesButton(), general().appearanceChooser() }) {
        const QRect inWindow(row->mapTo(m_controller.window(), QPoint(0, 0)), row->size());
        EXPECT_TRUE(QRect(QPoint(0, 0), m_controller.window()->size()).contains(inWindow))
            << row->metaObject()->className() << " lies outside the window";
    }
}

TEST_F(SettingsWindowTest, TheCheckboxesWriteThroughAndFollowWhatTheyShow)
{
    ASSERT_TRUE(general().keepPanelOpenCheckBox()->isChecked());
    general().keepPanelOpenCheckBox()->click();
    EXPECT_FALSE(m_settings.keepTilingPanelOpenAfterTiling());
    EXPECT_EQ(m_desktop.platform().userDefaults.boolForKey(SettingsStore::keepTilingPanelOpenAfterTilingKey), false);
    m_settings.updateKeepTilingPanelOpenAfterTiling(true);
    EXPECT_TRUE(general().keepPanelOpenCheckBox()->isChecked());

    general().automaticUpdatesCheckBox()->click();
    EXPECT_TRUE(m_updater.automaticallyChecksForUpdates());
    m_updater.setAutomaticallyChecksForUpdates(false);
    EXPECT_FALSE(general().automaticUpdatesCheckBox()->isChecked());
}

TEST_F(SettingsWindowTest, UpdateButtonsAreDisabledWhileACheckRuns)
{
    general().checkForUpdatesButton()->click();
    EXPECT_FALSE(general().checkForUpdatesButton()->isEnabled());
    EXPECT_FALSE(about().checkForUpdatesButton()->isEnabled());
    EXPECT_EQ(about().updateStatusLabel()->text(), "Checking\u2026");

    m_updater.finishCheck({ UpdateCheckResult::Status::UpToDate, "0.1.0", {}, {}, {}, true });

    EXPECT_TRUE(general().checkForUpdatesButton()->isEnabled());
    EXPECT_TRUE(about().checkForUpdatesButton()->isEnabled());
    EXPECT_EQ(about().updateStatusLabel()->text(), "Gridlume 0.1.0 is up to date.");
}

TEST_F(SettingsWindowTest, ChoosingDarkAppliesItAtOnceAndMarksTheCaption)
{
    AppearanceChooser& chooser = *general().appearanceChooser();
    m_appearance.applied.clear();

    QTest::mouseClick(chooser.button(AppAppearance::dark), Qt::LeftButton);

    EXPECT_EQ(m_settings.appAppearance(), AppAppearance::dark);
    EXPECT_EQ(m_appearance.applied, QList<AppAppearance>({ AppAppearance::dark }));
    for (AppAppearance option : allAppAppearances) {
        auto* button = static_cast<AppearanceOptionButton*>(chooser.button(option));
        const bool selected = option == AppAppearance::dark;
        EXPECT_EQ(button->isSelectedOption(), selected) << rawValue(option).toStdString();
    }
}

TEST_F(SettingsWindowTest, TheAboutTabShowsTheVersionAndOpensTheLinks)
{
    EXPECT_EQ(about().versionLabel()->text(), "Version 0.1.0");
    QSignalSpy quit(&m_controller, &SettingsWindowController::quitRequested);

    about().websiteButton()->click();
    about().helpButton()->click();
    about().quitButton()->click();

    EXPECT_EQ(m_desktop.urlOpener().openedUrls(),
        QList<QUrl>({ QUrl(AboutSettingsView::websiteUrl()), QUrl(AboutSettingsView::helpUrl()) }));
    EXPECT_EQ(quit.count(), 1);
}

struct PresentCase {
    const char* name;
    UpdateCheckResult result;
    bool shown;
    bool hasOpenButton;
};

class UpdateResults : public ::testing::TestWithParam<PresentCase> { };

TEST_P(UpdateResults, AreShownForUserChecksAndForNewVersions)
{
    const PresentCase& c = GetParam();
    FakeUpdater updater;
    SimUrlOpener opener;
    UpdateResultPresenter presenter(updater, opener);

    updater.checkForUpdates();
    updater.finishCheck(c.result);

    ASSERT_EQ(presenter.messageBox() != nullptr, c.shown);
    if (!c.shown)
        return;
    EXPECT_EQ(presenter.messageBox()->text(), c.result.message());
    const QList<QAbstractButton*> buttons = presenter.messageBox()->buttons();
    const auto open
        = std::ranges::find_if(buttons, [](auto* button) { return button->text() == "Open Download Page"; });
    ASSERT_EQ(open != buttons.end(), c.hasOpenButton);
    if (open != buttons.end()) {
        (*open)->click();
        EXPECT_EQ(opener.openedUrls(), QList<QUrl>({ c.result.pageUrl }));
    }
}

const QUrl releasePage("https://gridlume.org/releases/0.2.0");

INSTANTIATE_TEST_SUITE_P(UpdateResultPresenter, UpdateResults,
    ::testing::Values(
        PresentCase { "userUpToDate", { UpdateCheckResult::Status::UpToDate, "0.1.0", {}, {}, {}, true }, true, false },
        PresentCase { "userNewer",
            { UpdateCheckResult::Status::UpdateAvailable, "0.1.0", "0.2.0", releasePage, {}, true }, true, true },
        PresentCase { "automaticNewer",
            { UpdateCheckResult::Status::UpdateAvailable, "0.1.0", "0.2.0", releasePage, {}, false }, true, true },
        PresentCase { "automaticFailureStaysQuiet",
            { UpdateCheckResult::Status::Failed, "0.1.0", {}, {}, "offline", false }, false, false }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
