#pragma once

#include "Accessibility.h"
#include "HotKeyPlatform.h"
#include "KeyEvent.h"
#include "KeyboardGrabber.h"
#include "Log.h"
#include "PanelWindowTraits.h"
#include "Screens.h"
#include "UrlOpener.h"
#include "UserDefaults.h"
#include "Workspace.h"

namespace gridlume {

// Everything the program asks of the desktop, handed from main() to whoever needs a part of it.
// A backend (X11, the simulated desktop) fills it in; the core never knows which one it got.
struct Platform {
    ScreenProvider& screens;
    Accessibility& accessibility;
    AccessibilityTrust& trust;
    Workspace& workspace;
    HotKeyPlatform& hotKeys;
    GlobalKeyMonitor& globalKeyMonitor;
    UserDefaults& userDefaults;
    LogSink& logSink;
    // Reads Qt key events of our own windows as positional key codes (the shortcut recorder,
    // the panels' Escape).
    KeyEventTranslator& keyEventTranslator;
    UrlOpener& urlOpener;
    PanelWindowTraits& panelWindowTraits;
    // The keyboard while the tiling panels are shown.
    KeyboardGrabber& keyboardGrabber;
};

} // namespace gridlume
