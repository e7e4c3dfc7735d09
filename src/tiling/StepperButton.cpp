#include "tiling/StepperButton.h"

#include "tiling/PanelStyle.h"

#include <QPainter>

namespace gridlume {

namespace {
    constexpr int symbolSize = 14;
} // namespace

StepperButton::StepperButton(PanelSymbol symbol, const QString& helpText, QWidget* parent)
    : PanelSymbolButton(symbol, symbolSize, parent)
{
    setToolTip(helpText);
    setAccessibleName(helpText);
}

QColor StepperButton::symbolColor() const
{
    return isEnabled() ? PanelStyle::primary(palette()) : PanelStyle::quaternary(palette());
}

void StepperButton::paintBackground(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    if (!showsHoverBackground())
        return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(PanelStyle::tertiaryFill(palette()));
    painter.drawRoundedRect(QRectF(rect()), PanelStyle::controlCornerRadius, PanelStyle::controlCornerRadius);
}

} // namespace gridlume
