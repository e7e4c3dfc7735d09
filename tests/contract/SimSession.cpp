// The hot-key contract on the simulated desktop.
#include "BackendUnderTest.h"
#include "platform/sim/SimDesktop.h"

namespace gridlume::test {

namespace {

    class SimSession final : public BackendUnderTest {
    public:
        void reset() override { m_desktop = std::make_unique<SimDesktop>(); }
        HotKeyPlatform& hotKeys() override { return m_desktop->platform().hotKeys; }
        bool takeElsewhere(quint32 keyCode, quint32 modifiers) override
        {
            return m_desktop->holdShortcutElsewhere(keyCode, modifiers);
        }
        // A press of a key nobody holds reaches no one, as on a real desktop.
        bool press(quint32 keyCode, quint32 modifiers) override
        {
            m_desktop->pressHotKey(keyCode, modifiers);
            return true;
        }

        bool hasPixels() const override { return false; }
        Accessibility& accessibility() override { return m_desktop->platform().accessibility; }
        pid_t openWindow() override
        {
            const pid_t pid = m_desktop->addApplication(QStringLiteral("Terminal"));
            m_desktop->addWindow(pid);
            return pid;
        }
        void closeWindow(pid_t pid) override { m_desktop->terminate(pid); }

    private:
        std::unique_ptr<SimDesktop> m_desktop;
    };

} // namespace

std::unique_ptr<BackendUnderTest> startBackend(QString*)
{
    return std::make_unique<SimSession>();
}

} // namespace gridlume::test
