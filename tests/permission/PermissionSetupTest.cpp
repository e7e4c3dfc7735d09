#include "permission/PermissionSetupService.h"
#include "permission/PermissionSetupView.h"
#include "permission/PermissionSetupWindowController.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelWindowTraits.h"
#include "platform/sim/SimUrlOpener.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

constexpr int tickDeadlineMs = 5000;

struct OpenSettingsCase {
    const char* name;
    const char* accessibilityPane;
    const char* securityPane;
    const char* failingScheme;
    QStringList requested;
    QStringList opened;
};

class OpenAccessibilitySettings : public ::testing::TestWithParam<OpenSettingsCase> { };

TEST_P(OpenAccessibilitySettings, FallsBackToTheBroaderPane)
{
    const OpenSettingsCase& c = GetParam();
    SimUrlOpener opener;
    if (*c.failingScheme)
        opener.failScheme(QString::fromLatin1(c.failingScheme));
    PermissionSetupService service(
        opener, { QString::fromLatin1(c.accessibilityPane), QString::fromLatin1(c.securityPane) });

    service.openAccessibilitySettings();

    EXPECT_EQ(QUrl::toStringList(opener.requestedUrls()), c.requested);
    EXPECT_EQ(QUrl::toStringList(opener.openedUrls()), c.opened);
}

INSTANTIATE_TEST_SUITE_P(PermissionSetupService, OpenAccessibilitySettings,
    ::testing::Values(
        OpenSettingsCase { "specificPaneOpens", "settings://privacy#accessibility", "https://example.org/security", "",
            { "settings://privacy#accessibility" }, { "settings://privacy#accessibility" } },
        OpenSettingsCase { "specificPaneRefused", "settings://privacy#accessibility", "https://example.org/security",
            "settings", { "settings://privacy#accessibility", "https://example.org/security" },
            { "https://example.org/security" } },
        OpenSettingsCase { "neitherOpens", "settings://a", "settings://b", "settings",
            { "settings://a", "settings://b" }, {} }),
    [](const auto& info) { return std::string(info.param.name); });

class PermissionWindowTest : public ::testing::Test {
protected:
    PermissionWindowTest()
        : service(desktop.urlOpener())
        , controller(
              service, desktop.platform().trust, desktop.platform().screens, desktop.platform().panelWindowTraits)
    {
    }

    // Live (not yet deleted, still running) timers of the controller.
    int runningTimerCount() const
    {
        int count = 0;
        for (const QTimer* timer : controller.findChildren<QTimer*>())
            count += timer->isActive() ? 1 : 0;
        return count;
    }

    SimDesktop desktop;
    PermissionSetupService service;
    PermissionSetupWindowController controller;
};

TEST_F(PermissionWindowTest, ShowingTwiceLeavesOnePollingTimerTheCloseButtonStopsItAndTheOtherOpensThePage)
{
    desktop.setTrusted(false);
    controller.showPermissionWindow(std::nullopt);
    controller.showPermissionWindow(desktop.screens().first());

    EXPECT_EQ(runningTimerCount(), 1);
    QWidget* window = controller.window();
    // Each showing brings it to the desktop the user is on, without withdrawing it.
    EXPECT_EQ(desktop.panelWindowTraits().movesToCurrentDesktop(window->windowHandle()), 2);

    window->close();
    EXPECT_FALSE(controller.isPermissionWindowVisible());
    EXPECT_EQ(runningTimerCount(), 0);

    controller.showPermissionWindow(std::nullopt);
    EXPECT_EQ(controller.window(), window) << "the window is reused";
    EXPECT_TRUE(controller.isPermissionWindowVisible());
    EXPECT_NE(controller.permissionCheckTimer(), nullptr);

    QTest::mouseClick(controller.view()->openSettingsButton(), Qt::LeftButton);
    EXPECT_EQ(desktop.urlOpener().openedUrls(),
        QList<QUrl>({ QUrl(PermissionSetupService::defaultSettingsLinks().accessibilityPane) }));
}

// A second screen to the right of the primary one, its visible frame cut by a dock.
const Screen primaryBelowABar { 1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875), QStringLiteral("sim-0") };
const Screen secondWithADock { 2, Rect(1440, -180, 1920, 1080), Rect(1440, -100, 1920, 1000), QStringLiteral("sim-1") };

// Centred in the given screen's visible frame, or without one in that of the screen under the
// pointer.
TEST_F(PermissionWindowTest, CentresTheWindowInTheVisibleFrameOfTheScreen)
{
    desktop.setScreens({ primaryBelowABar, secondWithADock });
    const QPointF primaryTopLeft = QGuiApplication::primaryScreen()->geometry().topLeft();
    const QPoint pointer = QCursor::pos();
    QCursor::setPos((primaryTopLeft + QPointF(2000, 300)).toPoint());
    for (const std::optional<Screen>& screen : { std::optional(secondWithADock), std::optional<Screen>() }) {
        controller.showPermissionWindow(screen);
        const QRectF geometry = controller.window()->frameGeometry();
        // Window-system centre (2400, 400) is 900 − 400 = 500 below the primary screen's top edge.
        EXPECT_NEAR(geometry.center().x(), primaryTopLeft.x() + 2400, 0.5) << screen.has_value();
        EXPECT_NEAR(geometry.center().y(), primaryTopLeft.y() + 500, 0.5) << screen.has_value();
        controller.hidePermissionWindow();
    }
    QCursor::setPos(pointer);
}

TEST_F(PermissionWindowTest, ClosesAtTheFirstTickAfterThePermissionArrives)
{
    desktop.setTrusted(false);
    controller.showPermissionWindow(std::nullopt);
    QPointer<QTimer> timer = controller.permissionCheckTimer();
    ASSERT_TRUE(timer);
    QSignalSpy ticks(timer.data(), &QTimer::timeout);

    ASSERT_TRUE(ticks.wait(tickDeadlineMs));
    EXPECT_TRUE(controller.isPermissionWindowVisible()) << "an untrusted tick must leave the window up";

    desktop.setTrusted(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller.isPermissionWindowVisible(); }, tickDeadlineMs));
    EXPECT_EQ(ticks.count(), 2) << "the window closes at the tick right after the permission arrived";
    EXPECT_TRUE(QTest::qWaitFor([&] { return timer.isNull(); }, tickDeadlineMs)) << "the timer is disposed of";
}

} // namespace
