#pragma once

#include "placement/PlacementRequest.h"

#include <QString>
#include <QStringList>

namespace gridlume {

// What the command line asks for. The settings live in the settings file; the options only
// choose what this start does.
struct CommandLineOptions {
    enum class Action {
        // Start Gridlume, or bring up the settings window of the one already running.
        run,
        // Toggle the panels of the running Gridlume (for a desktop's own shortcut settings).
        toggle,
        // Place the active window on a block of a grid (`place GRID BLOCK [--monitor WHICH]`).
        place,
        help,
        version,
        // Unknown option; `error` says which.
        invalid,
    };

    Action action = Action::run;
    QString error;
    // What `place` asks for.
    PlacementRequest placement;

    // `arguments` without the program name.
    static CommandLineOptions parse(const QStringList& arguments);
    static QString helpText();
    // The one line of `place`'s grammar, for a usage message.
    static QString placeUsage();
};

} // namespace gridlume
