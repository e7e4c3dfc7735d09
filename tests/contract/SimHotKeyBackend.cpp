// The hot-key contract on the simulated desktop.
#include "HotKeyContract.h"
#include "platform/sim/SimDesktop.h"

namespace gridlume::test {

namespace {

    class SimHotKeyBackend final : public HotKeyBackendUnderTest {
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

    private:
        std::unique_ptr<SimDesktop> m_desktop;
    };

} // namespace

std::unique_ptr<HotKeyBackendUnderTest> startHotKeyBackend(QString*)
{
    return std::make_unique<SimHotKeyBackend>();
}

} // namespace gridlume::test
