#include "GnomeKeyboardGrabber.h"

#include "GnomeShellChannel.h"
#include "GnomeShortcutGrabber.h"
#include "platform/linux/KeyCodeTable.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QPointer>

#include <vector>

namespace gridlume {

namespace {

    // The modifier keys themselves (kVK_*): grabbed, they would no longer modify anything.
    bool isModifierKey(quint16 virtualKeyCode)
    {
        return virtualKeyCode >= 54 && virtualKeyCode <= 63;
    }

} // namespace

struct GnomeKeyboardGrabber::Grab {
    quint64 id = 0;
    std::function<void(const KeyEvent&)> handler;
    // The key events in the order their accelerators were sent, and Mutter's action of each once
    // Shell has answered.
    std::vector<KeyEvent> keys;
    std::map<quint32, KeyEvent> actions;
};

GnomeKeyboardGrabber::GnomeKeyboardGrabber(GnomeShellChannel& channel, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_channel(channel)
    , m_logger(logSink, QStringLiteral("GNOME"))
{
    connect(&channel, &GnomeShellChannel::acceleratorActivated, this, &GnomeKeyboardGrabber::deliver);
}

GnomeKeyboardGrabber::~GnomeKeyboardGrabber()
{
    if (m_grab)
        release(m_grab->id);
}

Subscription GnomeKeyboardGrabber::grabKeyboard(std::function<void(const KeyEvent&)> handler)
{
    if (m_grab)
        release(m_grab->id);
    if (!m_channel.isAvailable()) {
        if (!std::exchange(m_didReportAbsence, true))
            m_logger.info("Without GNOME Shell's Gridlume extension the panels take keys only after a click");
        return Subscription();
    }
    m_didReportAbsence = false;
    auto grab = std::make_unique<Grab>();
    grab->id = m_nextID++;
    grab->handler = std::move(handler);
    QStringList accelerators;
    for (const KeyCodeTable::Entry& entry : KeyCodeTable::entries()) {
        if (isModifierKey(entry.virtualKeyCode))
            continue;
        for (const bool shift : { false, true }) {
            const auto text
                = GnomeShortcutGrabber::accelerator({ entry.evdevCode, quint8(shift ? ShortcutModifier::Shift : 0) });
            if (!text)
                continue;
            accelerators.append(*text);
            grab->keys.push_back({ entry.virtualKeyCode, shift ? ModifierFlag::Shift : 0 });
        }
    }
    const quint64 id = grab->id;
    m_grab = std::move(grab);
    m_channel.callLater(QStringLiteral("GrabAccelerators"), { accelerators }, this,
        [this, id](const std::optional<QVariantList>& answer) {
            const QList<uint> actions
                = answer && !answer->isEmpty() ? qdbus_cast<QList<uint>>(answer->first()) : QList<uint>();
            if (!m_grab || m_grab->id != id) {
                // Released before Shell answered.
                if (!actions.isEmpty())
                    m_channel.send(QStringLiteral("UngrabAccelerators"), { QVariant::fromValue(actions) });
                return;
            }
            bool refused = actions.size() != qsizetype(m_grab->keys.size());
            for (qsizetype i = 0; i < actions.size() && i < qsizetype(m_grab->keys.size()); ++i) {
                if (actions[i])
                    m_grab->actions.emplace(actions[i], m_grab->keys[std::size_t(i)]);
                else
                    refused = true;
            }
            if (refused && !std::exchange(m_didReportRefusal, true))
                m_logger.info("GNOME Shell kept some keys from the panels: other programs have them");
        });
    return Subscription([self = QPointer<GnomeKeyboardGrabber>(this), id] {
        if (self)
            self->release(id);
    });
}

void GnomeKeyboardGrabber::release(quint64 id)
{
    if (!m_grab || m_grab->id != id)
        return;
    QList<uint> actions;
    for (const auto& [action, key] : m_grab->actions)
        actions.append(action);
    if (!actions.isEmpty())
        m_channel.send(QStringLiteral("UngrabAccelerators"), { QVariant::fromValue(actions) });
    m_grab.reset();
}

void GnomeKeyboardGrabber::deliver(quint32 action)
{
    if (!m_grab)
        return;
    const auto found = m_grab->actions.find(action);
    if (found == m_grab->actions.end())
        return;
    // The handler may end the grab while it runs.
    const auto handler = m_grab->handler;
    handler(found->second);
}

} // namespace gridlume
