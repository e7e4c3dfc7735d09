#include "tiling/PanelStyle.h"

namespace gridlume::PanelStyle {

namespace {
    QColor withAlpha(QColor color, double alpha)
    {
        color.setAlphaF(float(alpha));
        return color;
    }
} // namespace

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QColor primary(const QPalette& palette)
{
    return palette.color(QPalette::WindowText);
}

QColor secondary(const QPalette& palette)
{
    return withAlpha(primary(palette), 0.6);
}

QColor tertiary(const QPalette& palette)
{
    return withAlpha(primary(palette), 0.4);
}

QColor quaternary(const QPalette& palette)
{
    return withAlpha(primary(palette), 0.22);
}

QColor fill(const QPalette& palette)
{
    return withAlpha(primary(palette), isDark(palette) ? 0.34 : 0.26);
}

QColor tertiaryFill(const QPalette& palette)
{
    return withAlpha(primary(palette), isDark(palette) ? 0.12 : 0.08);
}

QColor quaternaryFill(const QPalette& palette)
{
    return withAlpha(primary(palette), isDark(palette) ? 0.07 : 0.04);
}

QColor separator(const QPalette& palette)
{
    return withAlpha(primary(palette), isDark(palette) ? 0.22 : 0.16);
}

QColor cardBackground(const QPalette& palette, bool translucent)
{
    return withAlpha(palette.color(QPalette::Window), translucent ? 0.96 : 1.0);
}

QColor accentBlue(const QPalette& palette)
{
    return isDark(palette) ? QColor(10, 132, 255) : QColor(0, 122, 255);
}

QFont title3Font(const QFont& base)
{
    QFont font = base;
    font.setPixelSize(15);
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont bodyFont(const QFont& base, QFont::Weight weight)
{
    QFont font = base;
    font.setPixelSize(13);
    font.setWeight(weight);
    return font;
}

} // namespace gridlume::PanelStyle
