#include "tiling/PanelTitleBarButton.h"

#include "tiling/PanelStyle.h"

#include <QPainter>

namespace gridlume {

namespace {
    // The symbol at the heading's size.
    constexpr int symbolSize = 20;
} // namespace

PanelTitleBarButton::PanelTitleBarButton(PanelSymbol symbol, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setFixedSize(28, 28);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

QColor PanelTitleBarButton::symbolColor() const
{
    return m_isHovered ? PanelStyle::primary(palette()) : PanelStyle::secondary(palette());
}

void PanelTitleBarButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QSize size(symbolSize, symbolSize);
    const QPixmap symbol = tintedPanelSymbol(m_symbol, size, symbolColor(), devicePixelRatioF());
    painter.drawPixmap(QRect(QPoint((width() - symbolSize) / 2, (height() - symbolSize) / 2), size), symbol);
}

void PanelTitleBarButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    setHovered(true);
}

void PanelTitleBarButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    setHovered(false);
}

void PanelTitleBarButton::setHovered(bool hovered)
{
    if (m_isHovered == hovered)
        return;
    m_isHovered = hovered;
    update();
    Q_EMIT isHoveredChanged();
}

} // namespace gridlume
