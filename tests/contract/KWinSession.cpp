// The hot-key contract in KDE Plasma's Wayland session: kwin_wayland with a session bus of its
// own, another component's actions in KDE's shortcut service, and presses invoked there as KWin
// does for a key.
#include "KWinTestDesktop.h"
#include "SessionBackend.h"
#include "platform/HotKeyAdapter.h"
#include "platform/kwin/KWinGlobalAccel.h"

#include <QDBusReply>

namespace gridlume::test {

namespace {

    int qtKey(quint32 keyCode, quint32 modifiers)
    {
        const auto combination = HotKeyAdapter::keyCombination(keyCode, modifiers);
        return combination ? KWinGlobalAccel::qtKey(*combination).value_or(0) : 0;
    }

    QStringList actionID(const QString& component, const QString& action)
    {
        return { component, action, component, action };
    }

    class KWinSession final : public SessionBackend {
    public:
        KWinSession()
            : SessionBackend(std::make_unique<KWinTestDesktop>())
        {
        }
        bool takeElsewhere(quint32 keyCode, quint32 modifiers) override
        {
            const int key = qtKey(keyCode, modifiers);
            const QStringList id = actionID(QStringLiteral("other"), QStringLiteral("taken-%1").arg(m_taken.size()));
            m_taken.append(id[1]);
            KWinTestDesktop::callShortcutService(QStringLiteral("/kglobalaccel"), QStringLiteral("doRegister"), { id });
            const QDBusReply<QList<int>> reply = KWinTestDesktop::callShortcutService(QStringLiteral("/kglobalaccel"),
                QStringLiteral("setShortcut"), { id, QVariant::fromValue(QList<int> { key }), uint(2 | 4) });
            return key != 0 && reply.isValid() && reply.value().contains(key);
        }
        // The action of Gridlume's component that has the key; a press of a key nobody holds
        // reaches no one.
        bool press(quint32 keyCode, quint32 modifiers) override
        {
            const QString component = QStringLiteral("/component/gridlume");
            const QDBusReply<QStringList> actions
                = KWinTestDesktop::callShortcutService(component, QStringLiteral("shortcutNames"));
            for (const QString& action : actions.value()) {
                const QDBusReply<QList<int>> keys
                    = KWinTestDesktop::callShortcutService(QStringLiteral("/kglobalaccel"), QStringLiteral("shortcut"),
                        { actionID(QStringLiteral("gridlume"), action) });
                if (keys.isValid() && keys.value().contains(qtKey(keyCode, modifiers)))
                    return KWinTestDesktop::callShortcutService(component, QStringLiteral("invokeShortcut"), { action })
                               .type()
                        == QDBusMessage::ReplyMessage;
            }
            return actions.isValid();
        }

    private:
        void releaseTaken() override
        {
            for (const QString& action : std::exchange(m_taken, {}))
                KWinTestDesktop::callShortcutService(
                    QStringLiteral("/kglobalaccel"), QStringLiteral("unregister"), { QStringLiteral("other"), action });
        }

        QStringList m_taken;
    };

} // namespace

std::unique_ptr<BackendUnderTest> startBackend(QString* skipReason)
{
    if (const auto problem = KWinTestDesktop::problem()) {
        *skipReason = *problem;
        return nullptr;
    }
    auto backend = std::make_unique<KWinSession>();
    return backend->start(skipReason) ? std::move(backend) : nullptr;
}

} // namespace gridlume::test
