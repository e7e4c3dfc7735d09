#pragma once

#include "BackendUnderTest.h"
#include "X11TestDesktop.h"
#include "platform/Backends.h"
#include "platform/IniUserDefaults.h"

#include <QTemporaryDir>

#include <map>

namespace gridlume::test {

// A real desktop's hot keys: the test desktop's session in this process's environment, and the
// platform the registry makes for it, as `gridlume place` gets it.
class SessionBackend : public BackendUnderTest {
public:
    bool start(QString* error)
    {
        if (!m_desktop.start(error))
            return false;
        // Before anything of this process opens the session bus.
        for (const QString& variable : m_desktop.environment()) {
            const qsizetype equals = variable.indexOf(u'=');
            qputenv(variable.left(equals).toLocal8Bit().constData(), variable.mid(equals + 1).toLocal8Bit());
        }
        m_backend = Backends::forSession(error);
        return m_backend != nullptr;
    }
    void reset() override
    {
        m_platform.reset();
        releaseTaken();
        QString error;
        m_platform = m_backend->createCommandPlatform(m_userDefaults, m_log, &error);
        if (!m_platform)
            qFatal("The platform did not start: %s", qPrintable(error));
    }
    HotKeyPlatform& hotKeys() override { return m_platform->platform().hotKeys; }
    Accessibility& accessibility() override { return m_platform->platform().accessibility; }
    pid_t openWindow() override
    {
        std::unique_ptr<ChildProcess> client;
        if (m_desktop.startActiveWindow(client) == XCB_WINDOW_NONE)
            qFatal("The test window did not appear");
        const pid_t pid = client->pid();
        m_clients[pid] = std::move(client);
        return pid;
    }
    void closeWindow(pid_t pid) override
    {
        const xcb_window_t window = m_desktop.waitForClientWindow(pid);
        m_clients.erase(pid);
        if (!m_desktop.waitUntil([&] { return !m_desktop.windowExists(window); }))
            qFatal("The xterm's window stayed");
    }

protected:
    explicit SessionBackend(std::unique_ptr<X11TestDesktop> desktop)
        : m_ownDesktop(std::move(desktop))
        , m_desktop(*m_ownDesktop)
    {
    }
    // Lets go of what takeElsewhere() took.
    virtual void releaseTaken() = 0;

    std::unique_ptr<X11TestDesktop> m_ownDesktop;
    X11TestDesktop& m_desktop;

private:
    CapturingLogSink m_log;
    QTemporaryDir m_settings;
    IniUserDefaults m_userDefaults { m_log, m_settings.filePath(QStringLiteral("test.conf")) };
    std::map<pid_t, std::unique_ptr<ChildProcess>> m_clients;
    const Backend* m_backend = nullptr;
    std::unique_ptr<BackendPlatform> m_platform;
};

} // namespace gridlume::test
