// The contracts in GNOME's Wayland session: a headless GNOME Shell with Gridlume's extension,
// another program's grabs made through the extension on a connection of its own, presses as a
// user's keyboard gives them, through Mutter's RemoteDesktop, and the test window on Mutter's
// Xwayland.
#include "GnomeTestDesktop.h"
#include "SessionBackend.h"
#include "platform/HotKeyAdapter.h"
#include "platform/gnome/GnomeShortcutGrabber.h"

#include <array>

namespace gridlume::test {

namespace {

    class GnomeSession final : public SessionBackend {
    public:
        GnomeSession()
            : SessionBackend(std::make_unique<GnomeTestDesktop>())
        {
        }
        bool takeElsewhere(quint32 keyCode, quint32 modifiers) override
        {
            const auto combination = HotKeyAdapter::keyCombination(keyCode, modifiers);
            const auto accelerator = combination ? GnomeShortcutGrabber::accelerator(*combination) : std::nullopt;
            if (!accelerator)
                return false;
            const quint32 action
                = shell().callExtension(QStringLiteral("GrabAccelerator"), { *accelerator }).value(0).toUInt();
            if (action)
                m_taken.append(action);
            return action != 0;
        }
        bool press(quint32 keyCode, quint32 modifiers) override
        {
            const auto combination = HotKeyAdapter::keyCombination(keyCode, modifiers);
            if (!combination)
                return false;
            // evdev's left Shift, Control, Alt and Super, in the order of ShortcutModifier's bits.
            std::vector<quint32> keys;
            for (const quint32 bit : { 0, 1, 2, 3 }) {
                if (combination->modifiers & (1 << bit))
                    keys.push_back(std::array<quint32, 4> { 42, 29, 56, 125 }[bit]);
            }
            keys.push_back(combination->evdevCode);
            shell().keys(keys);
            return true;
        }

    private:
        GnomeShellProbe& shell()
        {
            if (!m_shell)
                m_shell
                    = std::make_unique<GnomeShellProbe>(static_cast<GnomeTestDesktop&>(m_desktop).sessionBusAddress());
            return *m_shell;
        }
        void releaseTaken() override
        {
            for (const quint32 action : std::exchange(m_taken, {}))
                shell().callExtension(QStringLiteral("UngrabAccelerator"), { action });
        }

        std::unique_ptr<GnomeShellProbe> m_shell;
        QList<quint32> m_taken;
    };

} // namespace

std::unique_ptr<BackendUnderTest> startBackend(QString* skipReason)
{
    if (const auto problem = GnomeTestDesktop::problem()) {
        *skipReason = *problem;
        return nullptr;
    }
    auto backend = std::make_unique<GnomeSession>();
    return backend->start(skipReason) ? std::move(backend) : nullptr;
}

} // namespace gridlume::test
