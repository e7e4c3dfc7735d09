#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace gridlume {

// The semantic styles of the tiling panel, derived from the palette so that light and dark
// themes both read well. Foreground levels fade the text colour; fills and the separator are
// the text colour at low opacity, so they darken a light card and lighten a dark one.
namespace PanelStyle {

    bool isDark(const QPalette& palette);

    QColor primary(const QPalette& palette);
    QColor secondary(const QPalette& palette);
    QColor tertiary(const QPalette& palette);
    QColor quaternary(const QPalette& palette);

    QColor fill(const QPalette& palette);
    QColor tertiaryFill(const QPalette& palette);
    QColor quaternaryFill(const QPalette& palette);
    QColor separator(const QPalette& palette);

    // The panel's card; `translucent` only where a compositor blends it with what lies below.
    QColor cardBackground(const QPalette& palette, bool translucent);
    // The preview's blue, a little lighter on dark themes.
    QColor accentBlue(const QPalette& palette);

    // Heading text (the target application's name), about 15 points, semibold.
    QFont title3Font(const QFont& base);
    // Body text (the stepper values), about 13 points.
    QFont bodyFont(const QFont& base, QFont::Weight weight);

    // Corner radii, in points.
    inline constexpr double cardCornerRadius = 12;
    inline constexpr double controlCornerRadius = 6;
    inline constexpr double previewCornerRadius = 16;

} // namespace PanelStyle

} // namespace gridlume
