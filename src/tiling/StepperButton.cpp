#include "tiling/StepperButton.h"

#include "tiling/PanelStyle.h"

#include <QPainter>

namespace gridlume {

namespace {
    constexpr int symbolSize = 14;
} // namespace

StepperButton::StepperButton(PanelSymbol symbol, const QString& helpText, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setFixedSize(28, 28);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(helpText);
    setAccessibleName(helpText);
}

QColor StepperButton::symbolColor() const
{
    return isEnabled() ? PanelStyle::primary(palette()) : PanelStyle::quaternary(palette());
}

void StepperButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (showsHoverBackground()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(PanelStyle::tertiaryFill(palette()));
        painter.drawRoundedRect(QRectF(rect()), PanelStyle::controlCornerRadius, PanelStyle::controlCornerRadius);
    }
    const QSize size(symbolSize, symbolSize);
    const QPixmap symbol = tintedPanelSymbol(m_symbol, size, symbolColor(), devicePixelRatioF());
    painter.drawPixmap(QRect(QPoint((width() - symbolSize) / 2, (height() - symbolSize) / 2), size), symbol);
}

void StepperButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    setHovered(true);
}

void StepperButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    setHovered(false);
}

void StepperButton::setHovered(bool hovered)
{
    if (m_isHovered == hovered)
        return;
    m_isHovered = hovered;
    update();
    Q_EMIT isHoveredChanged();
}

} // namespace gridlume
