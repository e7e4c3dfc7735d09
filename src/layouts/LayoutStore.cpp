#include "layouts/LayoutStore.h"

#include "hotkeys/HotKeyService.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsStore.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace gridlume {

LayoutStore::LayoutStore(UserDefaults& userDefaults, HotKeyService& hotKeyService, const SettingsStore& settingsStore,
    LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_userDefaults(userDefaults)
    , m_hotKeyService(hotKeyService)
    , m_settingsStore(settingsStore)
    , m_logger(logSink, QStringLiteral("LayoutStore"))
{
    if (!m_userDefaults.objectForKey(layoutsKey))
        return;
    // An INI file hands back text; data is read the same.
    const QByteArray json = m_userDefaults.dataForKey(layoutsKey).value_or(
        m_userDefaults.stringForKey(layoutsKey).value_or(QString()).toUtf8());
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QStringLiteral("version")) != QJsonValue(formatVersion)
        || !root.value(QStringLiteral("layouts")).isArray()) {
        m_logger.warning("The stored \"%s\" is not a version %d list of layouts; no layouts apply and the stored value "
                         "is left as it is until a layout is changed",
            qUtf8Printable(layoutsKey), formatVersion);
        return;
    }
    const QJsonArray entries = root.value(QStringLiteral("layouts")).toArray();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        QString error;
        std::optional<PlacementLayout> layout = PlacementLayout::fromJson(entries[i], &error);
        if (layout && !canUse(layout->shortcut, m_layouts.size()))
            layout->shortcut.reset();
        if (!layout) {
            m_logger.warning("Layout %lld of \"%s\" cannot be read (%s); it is skipped and kept in the file",
                qint64(i + 1), qUtf8Printable(layoutsKey), qUtf8Printable(error));
            m_unreadableEntries.append(entries[i]);
            continue;
        }
        m_layouts.append(*layout);
        m_hotKeyIDs.append(m_nextHotKeyID++);
    }
}

LayoutStore::~LayoutStore()
{
    for (qsizetype i = 0; i < m_layouts.size(); ++i)
        release(i);
}

void LayoutStore::setPressHandler(std::function<void(qsizetype index)> handler)
{
    m_pressHandler = std::move(handler);
    for (qsizetype i = 0; i < m_layouts.size(); ++i)
        (void)bind(i);
}

bool LayoutStore::addLayout(const PlacementLayout& layout)
{
    if (!canUse(layout.shortcut, m_layouts.size()))
        return false;
    m_layouts.append(layout);
    m_hotKeyIDs.append(m_nextHotKeyID++);
    if (!bind(m_layouts.size() - 1)) {
        m_layouts.removeLast();
        m_hotKeyIDs.removeLast();
        return false;
    }
    store();
    return true;
}

bool LayoutStore::updateLayout(qsizetype index, const PlacementLayout& layout)
{
    if (index < 0 || index >= m_layouts.size() || !canUse(layout.shortcut, index))
        return false;
    const PlacementLayout previous = m_layouts[index];
    m_layouts[index] = layout;
    if (previous.shortcut != layout.shortcut && !bind(index)) {
        m_layouts[index] = previous;
        (void)bind(index);
        return false;
    }
    store();
    return true;
}

void LayoutStore::removeLayout(qsizetype index)
{
    if (index < 0 || index >= m_layouts.size())
        return;
    release(index);
    m_layouts.removeAt(index);
    m_hotKeyIDs.removeAt(index);
    store();
}

bool LayoutStore::canUse(const std::optional<KeyboardShortcut>& shortcut, qsizetype index) const
{
    if (!shortcut)
        return true;
    QString owner;
    if (m_settingsStore.tilingPanelKeyboardShortcut() == shortcut)
        owner = QStringLiteral("the tiling panel");
    for (qsizetype i = 0; i < m_layouts.size() && owner.isEmpty(); ++i) {
        if (i != index && m_layouts[i].shortcut == shortcut)
            owner = QStringLiteral("the layout \"%1\"").arg(m_layouts[i].name);
    }
    if (owner.isEmpty())
        return true;
    m_logger.warning("%s is the shortcut of %s already", qUtf8Printable(displayText(*shortcut)), qUtf8Printable(owner));
    return false;
}

bool LayoutStore::bind(qsizetype index)
{
    const quint32 id = m_hotKeyIDs[index];
    const std::optional<KeyboardShortcut>& shortcut = m_layouts[index].shortcut;
    if (!shortcut)
        return m_hotKeyService.unregisterHotKey(id);
    if (!m_pressHandler)
        return true;
    // By ID, not by index: the list may change between the binding and a press.
    m_hotKeyService.setHotKeyHandler(id, [this, id] {
        const qsizetype at = m_hotKeyIDs.indexOf(id);
        if (at >= 0 && m_pressHandler)
            m_pressHandler(at);
    });
    return m_hotKeyService.registerOrUpdateHotKey(id, *shortcut);
}

void LayoutStore::release(qsizetype index)
{
    (void)m_hotKeyService.unregisterHotKey(m_hotKeyIDs[index]);
    m_hotKeyService.setHotKeyHandler(m_hotKeyIDs[index], {});
}

void LayoutStore::store()
{
    QJsonArray entries;
    for (const PlacementLayout& layout : m_layouts)
        entries.append(layout.toJson());
    for (const QJsonValue& unreadable : m_unreadableEntries)
        entries.append(unreadable);
    const QJsonObject root { { QStringLiteral("version"), formatVersion }, { QStringLiteral("layouts"), entries } };
    m_userDefaults.setObject(layoutsKey, QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact)));
    Q_EMIT layoutsChanged();
}

} // namespace gridlume
