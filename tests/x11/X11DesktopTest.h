#pragma once

#include "X11TestDesktop.h"
#include "platform/IniUserDefaults.h"
#include "platform/Log.h"
#include "platform/PanelWindowTraits.h"
#include "platform/x11/X11Platform.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace gridlume::test {

// Runs the Qt event loop until `predicate` holds: the backend's X events, its timers and the
// pidfd notifiers all arrive through it. Sleeps only inside the event loop's own wait.
inline bool waitForEventLoop(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = 10s)
{
    const QDeadlineTimer deadline(timeout);
    // Repeating: a coarse timer may fire up to 5 % early, and one shot that came before the
    // deadline would leave the wait below with nothing to wake it.
    QTimer wakeUp;
    wakeUp.start(std::min<std::chrono::milliseconds>(timeout, 100ms));
    while (!predicate()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// A fresh desktop and the X11 backend connected to it, for each test.
class X11DesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_desktop.start(&error)) << qPrintable(error);
        m_userDefaults = std::make_unique<IniUserDefaults>(m_log, m_settingsDirectory.filePath(QStringLiteral("test.conf")));
        m_backend = X11Platform::create(*m_userDefaults, m_log, m_panelWindowTraits, &error, m_desktop.displayName());
        ASSERT_TRUE(m_backend) << qPrintable(error);
    }

    Platform& platform() { return m_backend->platform(); }

    X11TestDesktop m_desktop;
    CapturingLogSink m_log;
    QTemporaryDir m_settingsDirectory;
    std::unique_ptr<IniUserDefaults> m_userDefaults;
    NoPanelWindowTraits m_panelWindowTraits;
    std::unique_ptr<X11Platform> m_backend;
};

} // namespace gridlume::test
