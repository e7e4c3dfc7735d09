#pragma once

#include "layouts/LayoutStore.h"
#include "platform/Accessibility.h"
#include "platform/Geometry.h"
#include "platform/Log.h"
#include "platform/Screens.h"
#include "platform/Workspace.h"

#include <optional>

namespace gridlume {

class SettingsStore;

// Carries out a press of a layout's shortcut on the active window, without the panels: the
// layout's first step, or its next one while the window is still where the previous press of
// the same layout put it. Every placement leaves the user's gaps. Main thread only.
class LayoutShortcutController {
public:
    LayoutShortcutController(LayoutStore& layoutStore, const SettingsStore& settingsStore, Accessibility& accessibility,
        ScreenProvider& screens, Workspace& workspace, LogSink& logSink);

    // Installs itself as the store's press handler.
    void start();
    // What a press of the shortcut of the layout at `index` does. False, with the cause
    // logged, when nothing was placed.
    bool apply(qsizetype index);

private:
    bool moveToNextMonitor();

    struct LastPlacement {
        QString layoutName;
        qsizetype step = 0;
        pid_t processIdentifier = 0;
        Rect frame;
    };

    LayoutStore& m_layoutStore;
    const SettingsStore& m_settingsStore;
    Accessibility& m_accessibility;
    ScreenProvider& m_screens;
    Workspace& m_workspace;
    LogSink& m_logSink;
    Logger m_logger;
    std::optional<LastPlacement> m_last;
};

} // namespace gridlume
