#pragma once

#include "Geometry.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace gridlume {

// A 32-bit number that identifies a screen for as long as it stays connected.
using DisplayID = quint32;

// One connected screen. Frames are in the window-system space: origin at the bottom-left
// corner of the primary screen, y growing upwards, in points (device pixels: see QtScreenSpace).
struct Screen {
    // Absent when the window system cannot name the screen.
    std::optional<DisplayID> displayID;
    // The whole screen.
    Rect frame;
    // The part of the screen that windows may use: the frame less docks, panels and bars.
    Rect visibleFrame;
    // The window system's name of the monitor ("DP-1"): for logs, and to find the Qt screen of
    // the same name, whose device pixel ratio Gridlume's windows on this screen are drawn at.
    QString name;

    friend bool operator==(const Screen&, const Screen&) = default;
};

QDebug operator<<(QDebug debug, const Screen& screen);

// The part of the screen that windows and panels can really use: the visible frame within the
// screen's frame, unless that comes out empty or smaller than `minimum` in either direction (a
// dock whose strut is larger than the screen, a work area elsewhere); then the whole frame, and
// `fellBack` is set.
Rect usableVisibleFrame(const Screen& screen, Size minimum, bool* fellBack = nullptr);

// A screen as a desktop lists it: frames in the desktop's own coordinates, with the origin at
// the top-left corner of the desktop and y growing downwards, in the units of its Screen.
struct DesktopScreen {
    std::optional<DisplayID> displayID;
    Rect frame;
    Rect visibleFrame;
    QString name;
};

// The one translation of a desktop's screens into the window-system space, for every backend:
// each frame shifted to the top-left corner of the primary screen (the first) and mirrored about
// that screen's horizontal centre line, so that the primary screen's bottom-left corner is the
// origin and y grows upwards. The order stays.
QList<Screen> windowSystemScreens(const QList<DesktopScreen>& screens);

class ScreenProvider : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ScreenProvider() override = default;

    // The connected screens, the primary screen first, the others in the window system's order.
    // Empty when no screen is connected.
    virtual QList<Screen> screens() const = 0;

Q_SIGNALS:
    // Emitted on the main thread after a screen was added or removed, or after a frame or a
    // visible frame changed. screens() already returns the new configuration when it is emitted.
    // Several changes in quick succession may be reported once.
    void screensChanged();
};

} // namespace gridlume
