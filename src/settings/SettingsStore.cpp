#include "settings/SettingsStore.h"

#include <algorithm>
#include <utility>

namespace gridlume {

SettingsStore::SettingsStore(UserDefaults& userDefaults, HotKeyService& hotKeyService,
    AppearanceApplier& appearanceApplier, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_hotKeyService(hotKeyService)
    , m_userDefaults(userDefaults)
    , m_appearanceApplier(appearanceApplier)
    , m_logger(logSink, QStringLiteral("SettingsStore"))
{
    if (const auto raw = m_userDefaults.stringForKey(appAppearanceKey))
        m_appAppearance = appAppearanceFromRawValue(*raw).value_or(AppAppearance::system);
    if (const auto keepOpen = m_userDefaults.boolForKey(keepTilingPanelOpenAfterTilingKey))
        m_keepTilingPanelOpenAfterTiling = *keepOpen;
    if (const auto showHints = m_userDefaults.boolForKey(showKeyboardHintsKey))
        m_showKeyboardHints = *showHints;
    m_placementGaps = readPlacementGaps(m_userDefaults, m_logger);
    // Undecodable data means no shortcut; the data stays until the next update or clear. A
    // shortcut written by hand that silently did nothing would leave the user guessing.
    if (m_userDefaults.objectForKey(tilingPanelKeyboardShortcutKey)) {
        if (const auto data = m_userDefaults.dataForKey(tilingPanelKeyboardShortcutKey))
            m_tilingPanelKeyboardShortcut = KeyboardShortcut::fromJson(*data);
        if (!m_tilingPanelKeyboardShortcut) {
            m_logger.warning("The stored \"%s\" cannot be decoded as a shortcut; the default (no shortcut) applies "
                             "and the stored value is left as it is",
                qUtf8Printable(tilingPanelKeyboardShortcutKey));
        }
    }
    m_appearanceApplier.applyAppearance(m_appAppearance);
}

std::optional<SettingServiceError> SettingsStore::setTilingPanelHotKeyHandler(std::function<void()> handler)
{
    m_hotKeyService.setHotKeyHandler(tilingPanelHotKeyID, std::move(handler));
    if (!m_tilingPanelKeyboardShortcut)
        return std::nullopt;
    if (!m_hotKeyService.registerOrUpdateHotKey(tilingPanelHotKeyID, *m_tilingPanelKeyboardShortcut))
        return SettingServiceError::hotKeyRegistrationFailed;
    return std::nullopt;
}

std::optional<SettingServiceError> SettingsStore::updateTilingPanelKeyboardShortcut(const KeyboardShortcut& shortcut)
{
    const QByteArray json = shortcut.toJson();
    const std::optional<KeyboardShortcut> previous = m_tilingPanelKeyboardShortcut;
    if (!m_hotKeyService.registerOrUpdateHotKey(tilingPanelHotKeyID, shortcut)) {
        if (previous)
            (void)m_hotKeyService.registerOrUpdateHotKey(tilingPanelHotKeyID, *previous);
        return SettingServiceError::hotKeyRegistrationFailed;
    }
    m_userDefaults.setObject(tilingPanelKeyboardShortcutKey, json);
    setTilingPanelKeyboardShortcut(shortcut);
    return std::nullopt;
}

std::optional<SettingServiceError> SettingsStore::clearTilingPanelKeyboardShortcut()
{
    if (!m_hotKeyService.unregisterHotKey(tilingPanelHotKeyID))
        return SettingServiceError::hotKeyRegistrationFailed;
    m_userDefaults.removeObject(tilingPanelKeyboardShortcutKey);
    setTilingPanelKeyboardShortcut(std::nullopt);
    return std::nullopt;
}

void SettingsStore::updateKeepTilingPanelOpenAfterTiling(bool value)
{
    m_userDefaults.setBool(keepTilingPanelOpenAfterTilingKey, value);
    if (m_keepTilingPanelOpenAfterTiling == value)
        return;
    m_keepTilingPanelOpenAfterTiling = value;
    Q_EMIT keepTilingPanelOpenAfterTilingChanged();
}

void SettingsStore::updateShowKeyboardHints(bool value)
{
    m_userDefaults.setBool(showKeyboardHintsKey, value);
    if (m_showKeyboardHints == value)
        return;
    m_showKeyboardHints = value;
    Q_EMIT showKeyboardHintsChanged();
}

PlacementGaps SettingsStore::readPlacementGaps(const UserDefaults& userDefaults, const Logger& logger)
{
    const auto read = [&](const QString& key) {
        if (!userDefaults.objectForKey(key))
            return 0.0;
        const std::optional<qint64> points = userDefaults.integerForKey(key);
        if (points && *points >= 0 && *points <= largestGap)
            return double(*points);
        logger.warning("The stored \"%s\" is not a whole number from 0 to %d; the default (0) applies and the stored "
                       "value is left as it is",
            qUtf8Printable(key), largestGap);
        return 0.0;
    };
    return { read(tileGapKey), read(screenMarginKey) };
}

void SettingsStore::updateTileGap(int points)
{
    points = std::clamp(points, 0, largestGap);
    m_userDefaults.setObject(tileGapKey, qint64(points));
    if (std::exchange(m_placementGaps.tileGap, double(points)) != double(points))
        Q_EMIT placementGapsChanged();
}

void SettingsStore::updateScreenMargin(int points)
{
    points = std::clamp(points, 0, largestGap);
    m_userDefaults.setObject(screenMarginKey, qint64(points));
    if (std::exchange(m_placementGaps.screenMargin, double(points)) != double(points))
        Q_EMIT placementGapsChanged();
}

void SettingsStore::updateAppAppearance(AppAppearance appearance)
{
    m_userDefaults.setObject(appAppearanceKey, rawValue(appearance));
    if (m_appAppearance != appearance) {
        m_appAppearance = appearance;
        Q_EMIT appAppearanceChanged();
    }
    m_appearanceApplier.applyAppearance(appearance);
}

void SettingsStore::setTilingPanelKeyboardShortcut(std::optional<KeyboardShortcut> shortcut)
{
    if (m_tilingPanelKeyboardShortcut == shortcut)
        return;
    m_tilingPanelKeyboardShortcut = shortcut;
    Q_EMIT tilingPanelKeyboardShortcutChanged();
}

} // namespace gridlume
