#include "KWinGlobalAccel.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QPointer>

namespace gridlume {

namespace {

    const QString kService = QStringLiteral("org.kde.kglobalaccel");
    const QString kPath = QStringLiteral("/kglobalaccel");
    const QString kInterface = QStringLiteral("org.kde.KGlobalAccel");
    const QString kComponent = QStringLiteral("gridlume");

    // KGlobalAccel's setShortcut() flags: set the key as given, without looking for a key the
    // user configured earlier.
    constexpr uint kSetPresent = 2;
    constexpr uint kNoAutoloading = 4;

    constexpr int kShift = 0x02000000;
    constexpr int kControl = 0x04000000;
    constexpr int kAlt = 0x08000000;
    constexpr int kMeta = 0x10000000;

    // Qt keys of evdev codes on a US layout: the main block's rows, then named keys.
    int qtKeyOfEvdevCode(quint16 code)
    {
        static const struct {
            quint16 first;
            const char* keys;
        } rows[] = { { 2, "1234567890-=" }, { 16, "QWERTYUIOP[]" }, { 30, "ASDFGHJKL;'`" }, { 43, "\\ZXCVBNM,./" } };
        for (const auto& row : rows) {
            const std::size_t length = std::strlen(row.keys);
            if (code >= row.first && code < row.first + length)
                return row.keys[code - row.first];
        }
        static const struct {
            quint16 code;
            int key;
        } named[] = { { 1, 0x01000000 }, { 14, 0x01000003 }, { 15, 0x01000001 }, { 28, 0x01000004 }, { 57, 0x20 },
            { 102, 0x01000010 }, { 103, 0x01000013 }, { 104, 0x01000016 }, { 105, 0x01000012 }, { 106, 0x01000014 },
            { 107, 0x01000011 }, { 108, 0x01000015 }, { 109, 0x01000017 }, { 110, 0x01000006 }, { 111, 0x01000007 },
            { 87, 0x0100003a }, { 88, 0x0100003b } };
        for (const auto& entry : named) {
            if (entry.code == code)
                return entry.key;
        }
        // F1 to F10.
        if (code >= 59 && code <= 68)
            return 0x01000030 + (code - 59);
        return 0;
    }

} // namespace

KWinGlobalAccel::KWinGlobalAccel(LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_logger(logSink, QStringLiteral("KWin"))
    , m_bus(QDBusConnection::sessionBus())
{
}

std::optional<int> KWinGlobalAccel::qtKey(KeyCombination combination)
{
    const int key = qtKeyOfEvdevCode(combination.evdevCode);
    if (key == 0)
        return std::nullopt;
    int qtModifiers = 0;
    if (combination.modifiers & ShortcutModifier::Shift)
        qtModifiers |= kShift;
    if (combination.modifiers & ShortcutModifier::Control)
        qtModifiers |= kControl;
    if (combination.modifiers & ShortcutModifier::Alt)
        qtModifiers |= kAlt;
    if (combination.modifiers & ShortcutModifier::Super)
        qtModifiers |= kMeta;
    return key | qtModifiers;
}

QStringList KWinGlobalAccel::actionID(const QString& action, const QString& friendlyName) const
{
    // Component and action, each as an ID and as the name KDE's shortcut settings show.
    return { kComponent, action, QStringLiteral("Gridlume"), friendlyName };
}

void KWinGlobalAccel::connectPresses()
{
    if (m_didConnect)
        return;
    // Presses come as a signal of the component's object, which exists once the first action is
    // registered; the match rule may name it before.
    m_didConnect = m_bus.connect(kService, QStringLiteral("/component/") + kComponent,
        QStringLiteral("org.kde.kglobalaccel.Component"), QStringLiteral("globalShortcutPressed"), this,
        SLOT(onGlobalShortcutPressed(QString, QString, qlonglong)));
}

void KWinGlobalAccel::registerActionLater(const QString& action, const QString& friendlyName, int qtKey)
{
    connectPresses();
    const QStringList id = actionID(action, friendlyName);
    QDBusMessage doRegister = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("doRegister"));
    doRegister << id;
    m_bus.send(doRegister);
    QDBusMessage setShortcut
        = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("setShortcut"));
    setShortcut << id << QVariant::fromValue(QList<int> { qtKey }) << (kSetPresent | kNoAutoloading);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(setShortcut), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, action, qtKey](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QList<int>> assigned = *call;
        if (assigned.isError() || !assigned.value().contains(qtKey))
            m_logger.info("KDE's shortcut service did not give the key of \"%s\" to Gridlume", qUtf8Printable(action));
    });
}

void KWinGlobalAccel::unregisterActionLater(const QString& action)
{
    QDBusMessage unregister = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("unregister"));
    unregister << kComponent << action;
    m_bus.send(unregister);
}

std::optional<GrabFailure> KWinGlobalAccel::registerAction(
    const QString& action, const QString& friendlyName, int qtKey)
{
    connectPresses();
    QDBusMessage available
        = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("isGlobalShortcutAvailable"));
    available << qtKey << kComponent;
    const QDBusReply<bool> isAvailable = m_bus.call(available, QDBus::Block, 3000);
    if (!isAvailable.isValid()) {
        m_logger.error("KDE's shortcut service does not answer: %s", qUtf8Printable(isAvailable.error().message()));
        return GrabFailure::DesktopFailed;
    }
    if (!isAvailable.value())
        return GrabFailure::HeldByAnotherProgram;

    const QStringList id = actionID(action, friendlyName);
    QDBusMessage doRegister = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("doRegister"));
    doRegister << id;
    m_bus.call(doRegister, QDBus::Block, 3000);
    QDBusMessage setShortcut
        = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("setShortcut"));
    setShortcut << id << QVariant::fromValue(QList<int> { qtKey }) << (kSetPresent | kNoAutoloading);
    const QDBusReply<QList<int>> assigned = m_bus.call(setShortcut, QDBus::Block, 3000);
    if (!assigned.isValid()) {
        m_logger.error(
            "KDE's shortcut service did not take a shortcut: %s", qUtf8Printable(assigned.error().message()));
        unregisterAction(action);
        return GrabFailure::DesktopFailed;
    }
    // The service leaves out a key another component took meanwhile.
    if (!assigned.value().contains(qtKey)) {
        unregisterAction(action);
        return GrabFailure::HeldByAnotherProgram;
    }
    return std::nullopt;
}

void KWinGlobalAccel::unregisterAction(const QString& action)
{
    QDBusMessage unregister = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("unregister"));
    unregister << kComponent << action;
    m_bus.call(unregister, QDBus::Block, 3000);
}

void KWinGlobalAccel::onGlobalShortcutPressed(const QString& component, const QString& action, qlonglong)
{
    if (component == kComponent)
        Q_EMIT actionPressed(action);
}

} // namespace gridlume
