#pragma once

#include "Backend.h"

#include <QString>

namespace gridlume {

// The registry of the backends this build has (X11; KDE Plasma's and GNOME's Wayland sessions
// when built with them), used by the program and by `gridlume place` alike.
class Backends {
public:
    // The backend whose kind of session the environment names, before any Qt application;
    // none, with the one-line reason, when no backend's is.
    static const Backend* forEnvironment(QString* problem);
    // The backend of this session, asked once a Qt application exists; none, with the one-line
    // reason, when no backend applies (a Wayland compositor other than KWin and GNOME Shell).
    static const Backend* forSession(QString* problem);
};

} // namespace gridlume
