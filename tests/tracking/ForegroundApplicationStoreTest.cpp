#include "platform/sim/SimDesktop.h"
#include "tracking/ForegroundApplicationStore.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

class ForegroundApplicationStoreTest : public ::testing::Test {
protected:
    ForegroundApplicationStoreTest()
        : m_store(m_desktop.platform().workspace)
    {
        m_store.setOnTargetApplicationChanged([this] { m_callbacks.append(currentPid()); });
        m_a = m_desktop.addApplication(QStringLiteral("Editor"), QStringLiteral("org.example.Editor"));
        m_b = m_desktop.addApplication(QStringLiteral("Terminal"));
    }

    pid_t currentPid() const { return m_store.targetApplication() ? m_store.targetApplication()->processIdentifier() : 0; }

    SimDesktop m_desktop;
    ForegroundApplicationStore m_store;
    QList<pid_t> m_callbacks;
    pid_t m_a = 0;
    pid_t m_b = 0;
};

TEST_F(ForegroundApplicationStoreTest, LastOtherActivatedApplicationIsTheTarget)
{
    m_store.startTracking();
    m_desktop.activate(m_a);
    m_desktop.activate(m_b);
    // Not yet: reactions run in a task after the delivery.
    EXPECT_EQ(currentPid(), 0);
    m_desktop.processEvents();
    EXPECT_EQ(currentPid(), m_b);

    // Gridlume activating itself (its settings window) never becomes the target.
    const pid_t self = m_desktop.addApplication(QStringLiteral("Gridlume"), {}, m_desktop.currentProcessIdentifier());
    m_desktop.activate(self);
    // Activating the target again changes nothing.
    m_desktop.activate(m_b);
    m_desktop.processEvents();
    EXPECT_EQ(currentPid(), m_b);
    EXPECT_EQ(m_callbacks, QList<pid_t>({ m_a, m_b }));
}

TEST_F(ForegroundApplicationStoreTest, TargetQuittingClearsItOnceUntilTheNextRefresh)
{
    m_store.startTracking();
    m_desktop.activate(m_a);
    m_desktop.processEvents();
    m_desktop.terminate(m_b); // not the target
    m_desktop.processEvents();
    EXPECT_EQ(currentPid(), m_a);

    const pid_t c = m_desktop.addApplication(QStringLiteral("Files"));
    m_desktop.setFrontmostApplication(c);
    m_desktop.terminate(m_a);
    m_desktop.processEvents();
    EXPECT_EQ(currentPid(), 0);
    EXPECT_EQ(m_store.targetApplicationName(), QStringLiteral("Choose a window"));
    EXPECT_EQ(m_callbacks, QList<pid_t>({ m_a, 0 }));

    // Showing the panels refreshes from the frontmost application.
    ASSERT_TRUE(m_store.refreshTargetApplication().has_value());
    EXPECT_EQ(currentPid(), c);
    EXPECT_EQ(m_callbacks, QList<pid_t>({ m_a, 0, c }));
}

TEST_F(ForegroundApplicationStoreTest, StartingTwiceRegistersOnceNotificationsWithoutAnApplicationAreIgnored)
{
    m_desktop.setFrontmostApplication(m_a);
    m_store.startTracking();
    m_store.startTracking();
    EXPECT_EQ(m_desktop.workspaceObserverCount(), 2) << "one for activations, one for terminations";
    EXPECT_EQ(currentPid(), m_a);
    m_desktop.postWorkspaceNotification(WorkspaceNotification::DidActivateApplication, std::nullopt);
    m_desktop.postWorkspaceNotification(WorkspaceNotification::DidTerminateApplication, std::nullopt);
    m_desktop.processEvents();
    EXPECT_EQ(currentPid(), m_a);
    EXPECT_EQ(m_callbacks.size(), 1);

    // Stopping clears the target.
    m_store.stopTracking();
    EXPECT_EQ(m_desktop.workspaceObserverCount(), 0);
    EXPECT_EQ(m_callbacks, QList<pid_t>({ m_a, 0 }));
}

TEST_F(ForegroundApplicationStoreTest, NotificationQueuedBeforeTheStoreDiesDoesNothing)
{
    int callbacks = 0;
    {
        ForegroundApplicationStore store(m_desktop.platform().workspace);
        store.setOnTargetApplicationChanged([&] { ++callbacks; });
        store.startTracking();
        m_desktop.activate(m_a);
        // Delivered but not yet handled when the store goes away.
    }
    m_desktop.processEvents();
    EXPECT_EQ(callbacks, 0);
    EXPECT_EQ(m_desktop.workspaceObserverCount(), 0);
}

struct NameCase {
    const char* name;
    std::optional<QString> localizedName;
    std::optional<QString> bundleIdentifier;
    QString expected;
};

class TargetApplicationName : public ForegroundApplicationStoreTest, public ::testing::WithParamInterface<NameCase> { };

TEST_P(TargetApplicationName, FallsBackToIdentifierThenPrompt)
{
    m_desktop.setFrontmostApplication(
        m_desktop.addApplication(GetParam().localizedName.value_or(QString()), GetParam().bundleIdentifier));
    m_store.refreshTargetApplication();
    EXPECT_EQ(m_store.targetApplicationName(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(ForegroundApplicationStore, TargetApplicationName,
    ::testing::Values(NameCase { "name", QStringLiteral("Files"), QStringLiteral("org.gnome.Nautilus"), "Files" },
        NameCase { "noName", std::nullopt, QStringLiteral("org.gnome.Nautilus"), "org.gnome.Nautilus" },
        NameCase { "emptyBoth", QStringLiteral(""), QStringLiteral(""), "Choose a window" }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
