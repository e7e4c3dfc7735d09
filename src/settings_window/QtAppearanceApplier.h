#pragma once

#include "settings/AppAppearance.h"

#include <QObject>
#include <QPalette>

#include <functional>

namespace gridlume {

// Applies the appearance to every Gridlume window: the Fusion style with a complete light or
// dark palette. "System" follows the desktop's colour-scheme preference as the settings portal
// reports it, also when it changes later, and is light when the desktop states none.
class QtAppearanceApplier final : public QObject, public AppearanceApplier {
    Q_OBJECT
public:
    // Whether the desktop prefers dark; none when it has no stated preference.
    using SystemPrefersDark = std::function<std::optional<bool>()>;

    // `systemPrefersDark` defaults to the settings portal.
    explicit QtAppearanceApplier(SystemPrefersDark systemPrefersDark = {}, QObject* parent = nullptr);

    void applyAppearance(AppAppearance appearance) override;
    // Re-applies "system" after the desktop's preference changed.
    void systemPreferenceChanged();

    bool isDark() const { return m_isDark; }

    static QPalette lightPalette();
    static QPalette darkPalette();

private:
    void applyPalette(bool dark);

    SystemPrefersDark m_systemPrefersDark;
    AppAppearance m_appearance = AppAppearance::system;
    bool m_isDark = false;
    bool m_didApplyOnce = false;
};

} // namespace gridlume
