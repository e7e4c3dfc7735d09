#include "tiling/PanelTitleBarButton.h"

#include "tiling/PanelStyle.h"

namespace gridlume {

namespace {
    // The symbol at the heading's size.
    constexpr int symbolSize = 20;
} // namespace

PanelTitleBarButton::PanelTitleBarButton(PanelSymbol symbol, QWidget* parent)
    : PanelSymbolButton(symbol, symbolSize, parent)
{
    setCursor(Qt::ArrowCursor);
}

QColor PanelTitleBarButton::symbolColor() const
{
    return isHovered() ? PanelStyle::primary(palette()) : PanelStyle::secondary(palette());
}

} // namespace gridlume
