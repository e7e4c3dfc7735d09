#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace gridlume {

// The monochrome symbols of the tiling panel. Each comes from the desktop's icon theme when the
// theme has a symbolic icon for it, and otherwise from the bundled drawings, so the panel reads
// the same on a bare desktop.
enum class PanelSymbol {
    Close, // a cross in a filled circle
    Settings, // a gear
    Window, // a generic window, shown when the target application has no icon
    Columns, // a rectangle split into two columns
    Rows, // a rectangle split into two rows
    Minus,
    Plus,
};

// The freedesktop icon name tried first for `symbol`.
QString themeIconName(PanelSymbol symbol);
// The theme's icon when it has one, else the bundled drawing.
QIcon panelSymbolIcon(PanelSymbol symbol);
// The symbol drawn in one colour at `size` (device-independent pixels) for `devicePixelRatio`.
QPixmap tintedPanelSymbol(PanelSymbol symbol, const QSize& size, const QColor& color, qreal devicePixelRatio);

} // namespace gridlume
