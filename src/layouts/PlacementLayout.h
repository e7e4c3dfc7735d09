#pragma once

#include "hotkeys/KeyboardShortcut.h"
#include "placement/WindowPlacementRegion.h"

#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace gridlume {

// A placement the user names and binds to a shortcut of its own, done without the panels.
//
// A layout of blocks holds one or more steps, each a block of a grid of its own ("2x1 0,0": the
// left half). The first press places the active window on the first step; a press of the same
// shortcut while the window is still where the previous press put it goes on to the next step,
// after the last back to the first. The monitor is chosen at the first step (the one holding
// most of the window, the next one in Gridlume's screen order, or the primary); later steps
// stay on the monitor the window is on. A next-monitor layout moves the window to the next
// monitor onto the same part of its usable area.
struct PlacementLayout {
    enum class Kind { blocks, nextMonitor };
    enum class Monitor { current, next, primary };

    QString name;
    Kind kind = Kind::blocks;
    QList<WindowPlacementRegion> steps;
    Monitor monitor = Monitor::current;
    std::optional<KeyboardShortcut> shortcut;

    friend bool operator==(const PlacementLayout&, const PlacementLayout&) = default;

    // The steps as the settings window and the settings file spell them: "GRID BLOCK" each, in
    // the grammar of `gridlume place`, separated by "; " ("2x1 0,0; 3x1 0,0").
    QString stepsText() const;
    // None, with what is wrong in `error`, unless `text` holds one step or more.
    static std::optional<QList<WindowPlacementRegion>> parseSteps(const QString& text, QString* error = nullptr);

    // The word of `monitor` in `gridlume place`'s grammar ("current", "next", "primary").
    static QString monitorWord(Monitor monitor);

    // One entry of the stored list: {"name":…,"steps":[…],"monitor":…,"shortcut":{…}}, or
    // {"name":…,"action":"nextMonitor",…}.
    QJsonValue toJson() const;
    // Reads one entry; none, with the reason in `error`, when it is not one.
    static std::optional<PlacementLayout> fromJson(const QJsonValue& value, QString* error = nullptr);

    // Offered in the settings window, none of them bound to a shortcut.
    static QList<PlacementLayout> presets();
};

} // namespace gridlume
