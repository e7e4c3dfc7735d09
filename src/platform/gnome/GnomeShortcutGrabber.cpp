#include "GnomeShortcutGrabber.h"

#include "GnomeShellChannel.h"

namespace gridlume {

namespace {

    // X keycodes are evdev codes shifted by 8, up to 255.
    constexpr quint32 kKeycodeOffset = 8;
    constexpr quint32 kLastKeycode = 255;

} // namespace

GnomeShortcutGrabber::GnomeShortcutGrabber(GnomeShellChannel& channel, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_channel(channel)
    , m_logger(logSink, QStringLiteral("GNOME"))
{
    connect(&channel, &GnomeShellChannel::acceleratorActivated, this, &GnomeShortcutGrabber::deliver);
    connect(
        &channel, &GnomeShellChannel::availabilityChanged, this, &GnomeShortcutGrabber::extensionAvailabilityChanged);
}

GnomeShortcutGrabber::~GnomeShortcutGrabber()
{
    for (const auto& [handle, grab] : m_grabs) {
        if (grab.action)
            m_channel.send(QStringLiteral("UngrabAccelerator"), { grab.action });
    }
}

std::optional<QString> GnomeShortcutGrabber::accelerator(KeyCombination combination)
{
    const quint32 keycode = combination.evdevCode + kKeycodeOffset;
    if (combination.evdevCode == 0 || keycode > kLastKeycode)
        return std::nullopt;
    QString text;
    if (combination.modifiers & ShortcutModifier::Shift)
        text += QStringLiteral("<Shift>");
    if (combination.modifiers & ShortcutModifier::Control)
        text += QStringLiteral("<Control>");
    if (combination.modifiers & ShortcutModifier::Alt)
        text += QStringLiteral("<Alt>");
    if (combination.modifiers & ShortcutModifier::Super)
        text += QStringLiteral("<Super>");
    return text + QStringLiteral("0x%1").arg(keycode, 2, 16, QLatin1Char('0'));
}

GrabResult GnomeShortcutGrabber::grab(KeyCombination combination, std::function<void()> onPressed)
{
    const std::optional<QString> text = accelerator(combination);
    if (!text) {
        m_logger.error("No X keycode stands for evdev code %u", combination.evdevCode);
        return { 0, GrabFailure::NoSuchKey };
    }
    Grab grab { *text, std::move(onPressed) };
    // Kept for the extension while it does not run.
    if (m_channel.isAvailable()) {
        if (const std::optional<GrabFailure> failure = take(grab))
            return { 0, failure };
    }
    const quint64 handle = m_nextHandle++;
    m_grabs.emplace(handle, std::move(grab));
    return { handle, std::nullopt };
}

std::optional<GrabFailure> GnomeShortcutGrabber::take(Grab& grab)
{
    const auto answer = m_channel.call(QStringLiteral("GrabAccelerator"), { grab.accelerator });
    if (!answer || answer->size() != 2)
        return GrabFailure::DesktopFailed;
    grab.action = answer->at(0).toUInt();
    if (grab.action == 0)
        return GrabFailure::HeldByAnotherProgram;
    return std::nullopt;
}

bool GnomeShortcutGrabber::release(quint64 handle)
{
    const auto found = m_grabs.find(handle);
    if (found == m_grabs.end())
        return false;
    if (found->second.action)
        (void)m_channel.call(QStringLiteral("UngrabAccelerator"), { found->second.action });
    m_grabs.erase(found);
    return true;
}

void GnomeShortcutGrabber::extensionAvailabilityChanged(bool available)
{
    for (auto& [handle, grab] : m_grabs) {
        grab.action = 0;
        if (available && take(grab))
            m_logger.error("GNOME Shell did not give the shortcut %s to Gridlume: another program has it",
                qUtf8Printable(grab.accelerator));
    }
}

void GnomeShortcutGrabber::deliver(quint32 action) { deliverPress(m_grabs, action); }

} // namespace gridlume
