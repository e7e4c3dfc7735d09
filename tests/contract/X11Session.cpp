// The hot-key contract on X11: Openbox on Xvfb, another program's grabs on the test's own
// connection, presses through xdotool (which takes a number for a keycode).
#include "SessionBackend.h"
#include "platform/HotKeyAdapter.h"
#include "platform/linux/KeyCodeTable.h"

namespace gridlume::test {

namespace {

    struct X11Key {
        xcb_keycode_t keycode = 0;
        quint16 mask = 0;
        QString modifierKeys;
    };

    std::optional<X11Key> x11Key(quint32 keyCode, quint32 modifiers)
    {
        const auto combination = HotKeyAdapter::keyCombination(keyCode, modifiers);
        if (!combination)
            return std::nullopt;
        X11Key key { xcb_keycode_t(combination->evdevCode + KeyCodeTable::x11KeycodeOffset), 0, {} };
        QStringList names;
        const std::tuple<quint8, quint16, const char*> modifierKeys[]
            = { { ShortcutModifier::Shift, XCB_MOD_MASK_SHIFT, "Shift_L" },
                  { ShortcutModifier::Control, XCB_MOD_MASK_CONTROL, "Control_L" },
                  { ShortcutModifier::Alt, XCB_MOD_MASK_1, "Alt_L" },
                  { ShortcutModifier::Super, XCB_MOD_MASK_4, "Super_L" } };
        for (const auto& [modifier, mask, name] : modifierKeys) {
            if (combination->modifiers & modifier) {
                key.mask |= mask;
                names.append(QLatin1String(name));
            }
        }
        key.modifierKeys = names.join(u'+');
        return key;
    }

    class X11Session final : public SessionBackend {
    public:
        X11Session()
            : SessionBackend(std::make_unique<X11TestDesktop>())
        {
        }
        bool takeElsewhere(quint32 keyCode, quint32 modifiers) override
        {
            const auto key = x11Key(keyCode, modifiers);
            if (!key || m_desktop.grabKey(key->keycode, key->mask) != 0)
                return false;
            m_taken.push_back(*key);
            return true;
        }
        bool press(quint32 keyCode, quint32 modifiers) override
        {
            const auto key = x11Key(keyCode, modifiers);
            return key
                && m_desktop
                       .run(QStringLiteral("xdotool"),
                           { QStringLiteral("keydown"), key->modifierKeys, QStringLiteral("key"),
                               QString::number(key->keycode), QStringLiteral("keyup"), key->modifierKeys })
                       .exitCode
                == 0;
        }

    private:
        void releaseTaken() override
        {
            for (const X11Key& key : std::exchange(m_taken, {}))
                m_desktop.ungrabKey(key.keycode, key.mask);
        }

        std::vector<X11Key> m_taken;
    };

} // namespace

std::unique_ptr<BackendUnderTest> startBackend(QString* skipReason)
{
    auto backend = std::make_unique<X11Session>();
    return backend->start(skipReason) ? std::move(backend) : nullptr;
}

} // namespace gridlume::test
