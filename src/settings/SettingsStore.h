#pragma once

#include "hotkeys/HotKeyService.h"
#include "hotkeys/KeyboardShortcut.h"
#include "placement/WindowPlacementRegion.h"
#include "platform/Log.h"
#include "platform/UserDefaults.h"
#include "settings/AppAppearance.h"
#include "settings/SettingServiceError.h"

#include <QObject>

#include <functional>
#include <optional>

namespace gridlume {

// The user's settings: the tiling panel's shortcut, whether the panels stay open after a
// placement, the appearance, and the gaps around placed windows. Persisted in the user defaults on every change and read once,
// at construction. Keeps the registered hot key in step with the stored shortcut. Main thread
// only.
//
// Operations that can fail return the error, or none on success.
class SettingsStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool keepTilingPanelOpenAfterTiling READ keepTilingPanelOpenAfterTiling NOTIFY
            keepTilingPanelOpenAfterTilingChanged)
    Q_PROPERTY(bool showKeyboardHints READ showKeyboardHints NOTIFY showKeyboardHintsChanged)
    Q_PROPERTY(bool hasTilingPanelKeyboardShortcut READ hasTilingPanelKeyboardShortcut NOTIFY
            tilingPanelKeyboardShortcutChanged)

public:
    static inline const QString tilingPanelKeyboardShortcutKey = QStringLiteral("tilingPanelKeyboardShortcut");
    static inline const QString keepTilingPanelOpenAfterTilingKey = QStringLiteral("keepTilingPanelOpenAfterTiling");
    static inline const QString appAppearanceKey = QStringLiteral("appAppearance");
    static inline const QString showKeyboardHintsKey = QStringLiteral("showKeyboardHints");
    static inline const QString tileGapKey = QStringLiteral("tileGap");
    static inline const QString screenMarginKey = QStringLiteral("screenMargin");
    // The gaps accepted, in points; anything else reads as 0.
    static constexpr int largestGap = 64;

    // The gaps as `userDefaults` holds them. A value that is not a whole number from 0 to
    // largestGap reads as 0 and is logged once, as a warning, by this call; the stored value is
    // left as it is. Also for the `place` command, which runs without a store.
    static PlacementGaps readPlacementGaps(const UserDefaults& userDefaults, const Logger& logger);

    // Loads the settings (odd stored values read as the defaults: no shortcut, keep open,
    // system appearance; the stored data is left as it is) and applies the appearance. A stored
    // shortcut that cannot be decoded is the one odd value the user would otherwise miss: it is
    // logged once, as a warning. Registers no hot key.
    SettingsStore(UserDefaults& userDefaults, HotKeyService& hotKeyService, AppearanceApplier& appearanceApplier,
        LogSink& logSink, QObject* parent = nullptr);

    // The service the panel shortcut is registered with.
    HotKeyService& hotKeyService() const { return m_hotKeyService; }
    const std::optional<KeyboardShortcut>& tilingPanelKeyboardShortcut() const { return m_tilingPanelKeyboardShortcut; }
    bool hasTilingPanelKeyboardShortcut() const { return m_tilingPanelKeyboardShortcut.has_value(); }
    bool keepTilingPanelOpenAfterTiling() const { return m_keepTilingPanelOpenAfterTiling; }
    AppAppearance appAppearance() const { return m_appAppearance; }
    // Whether the tiling panels show the line of keys under the steppers (default true).
    bool showKeyboardHints() const { return m_showKeyboardHints; }
    // The space between placed windows and at the visible frame's edges (default 0 and 0).
    PlacementGaps placementGaps() const { return m_placementGaps; }

    // Stores the handler of the panel shortcut and registers the stored shortcut, if any. On a
    // refusal the handler stays set and the shortcut stays stored but inactive.
    [[nodiscard]] std::optional<SettingServiceError> setTilingPanelHotKeyHandler(std::function<void()> handler);
    // Registers the new shortcut and, once the system has accepted it, stores it. On a refusal
    // the previous shortcut is registered again and nothing is stored.
    [[nodiscard]] std::optional<SettingServiceError> updateTilingPanelKeyboardShortcut(const KeyboardShortcut& shortcut);
    // Releases the shortcut and forgets it. On a refusal nothing changes.
    [[nodiscard]] std::optional<SettingServiceError> clearTilingPanelKeyboardShortcut();
    void updateKeepTilingPanelOpenAfterTiling(bool value);
    void updateAppAppearance(AppAppearance appearance);
    void updateShowKeyboardHints(bool value);
    // Each clamped to 0 ... largestGap.
    void updateTileGap(int points);
    void updateScreenMargin(int points);

Q_SIGNALS:
    void tilingPanelKeyboardShortcutChanged();
    void keepTilingPanelOpenAfterTilingChanged();
    void appAppearanceChanged();
    void showKeyboardHintsChanged();
    void placementGapsChanged();

private:
    void setTilingPanelKeyboardShortcut(std::optional<KeyboardShortcut> shortcut);

    HotKeyService& m_hotKeyService;
    UserDefaults& m_userDefaults;
    AppearanceApplier& m_appearanceApplier;
    Logger m_logger;
    std::optional<KeyboardShortcut> m_tilingPanelKeyboardShortcut;
    bool m_keepTilingPanelOpenAfterTiling = true;
    AppAppearance m_appAppearance = AppAppearance::system;
    bool m_showKeyboardHints = true;
    PlacementGaps m_placementGaps;
};

} // namespace gridlume
