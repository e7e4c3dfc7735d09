#pragma once

#include "layouts/PlacementLayout.h"
#include "platform/Log.h"

#include <QJsonArray>
#include <QObject>

#include <functional>

namespace gridlume {

class HotKeyService;
class SettingsStore;
class UserDefaults;

// The user's layouts, stored under one key as JSON ({"version":1,"layouts":[…]}), with their
// shortcuts registered as hot keys. Read leniently, once: an entry that cannot be read is
// logged once and skipped, the others kept; a value that is not such a list at all reads as no
// layouts and is logged once. Nothing is written until the user changes a layout, and then the
// entries that could not be read are written back as they were. Main thread only.
class LayoutStore : public QObject {
    Q_OBJECT
public:
    static inline const QString layoutsKey = QStringLiteral("placementLayouts");
    static constexpr int formatVersion = 1;
    // Layouts' hot keys take the IDs from here on (the panel's is 1).
    static constexpr quint32 firstHotKeyID = 100;

    LayoutStore(UserDefaults& userDefaults, HotKeyService& hotKeyService, const SettingsStore& settingsStore,
        LogSink& logSink, QObject* parent = nullptr);
    ~LayoutStore() override;

    const QList<PlacementLayout>& layouts() const { return m_layouts; }

    // Stores what a press of a layout's shortcut runs (given the layout's index) and registers
    // every stored shortcut; one that cannot be registered is logged and stays stored, inactive.
    void setPressHandler(std::function<void(qsizetype index)> handler);

    // Adds or replaces a layout and stores the list. False, with nothing changed, when its
    // shortcut is the panel's or another layout's, or cannot be registered (held by another
    // program); the cause is logged.
    bool addLayout(const PlacementLayout& layout);
    bool updateLayout(qsizetype index, const PlacementLayout& layout);
    void removeLayout(qsizetype index);

Q_SIGNALS:
    void layoutsChanged();

private:
    bool canUse(const std::optional<KeyboardShortcut>& shortcut, qsizetype index) const;
    // Registers (or releases) the hot key of the layout at `index`; false when refused.
    bool bind(qsizetype index);
    void release(qsizetype index);
    void store();

    UserDefaults& m_userDefaults;
    HotKeyService& m_hotKeyService;
    const SettingsStore& m_settingsStore;
    Logger m_logger;
    QList<PlacementLayout> m_layouts;
    // The hot-key ID of each layout, in step with m_layouts; IDs are never reused.
    QList<quint32> m_hotKeyIDs;
    quint32 m_nextHotKeyID = firstHotKeyID;
    QJsonArray m_unreadableEntries;
    std::function<void(qsizetype)> m_pressHandler;
};

} // namespace gridlume
