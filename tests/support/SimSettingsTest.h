#pragma once

#include "hotkeys/HotKeyService.h"
#include "platform/sim/SimDesktop.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

namespace gridlume {

// Keeps the appearances applied, in order.
class RecordingAppearance final : public AppearanceApplier {
public:
    void applyAppearance(AppAppearance appearance) override { applied.append(appearance); }
    QList<AppAppearance> applied;
};

// The simulated desktop with the settings store and its hot key service, built as the program
// builds them: the fixture of what works with the user's settings.
class SimSettingsTest : public ::testing::Test {
protected:
    SimDesktop m_desktop;
    Platform m_platform { m_desktop.platform() };
    HotKeyService m_hotKeys { m_platform.hotKeys, m_platform.logSink };
    RecordingAppearance m_appearance;
    SettingsStore m_settings { m_platform.userDefaults, m_hotKeys, m_appearance, m_platform.logSink };
};

} // namespace gridlume
