#pragma once

#include <QString>
#include <QStringList>

namespace gridlume {

// Why a placement failed: what stood in the way, and what the placement logged about it, first
// line to last, in the log's own words.
struct PlacementFailure {
    enum class Kind {
        NoTargetApplication,
        OwnWindow,
        NoFocusedWindow,
        NoScreen,
        // The accessibility values of the frame could not be made.
        ValuesNotCreated,
        // A write of the frame failed.
        FrameNotSet,
        // The frame the window settled on could not be read back.
        FrameNotRead,
        // `gridlume place`: no monitor of that name or number.
        NoSuchMonitor,
        // `gridlume place`: the window was moved but kept a size of its own.
        KeptOwnSize,
    };

    Kind kind;
    QStringList messages;

    // The messages as one line, the reason `gridlume place` and the session bus give.
    QString reason() const { return messages.join(QStringLiteral("; ")); }
};

} // namespace gridlume
