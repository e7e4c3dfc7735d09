#include "tiling/PanelSymbolButton.h"

#include <QPainter>

namespace gridlume {

PanelSymbolButton::PanelSymbolButton(PanelSymbol symbol, int symbolSize, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_symbolSize(symbolSize)
{
    setFixedSize(28, 28);
    setFocusPolicy(Qt::NoFocus);
}

void PanelSymbolButton::paintBackground(QPainter&) { }

void PanelSymbolButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintBackground(painter);
    const QSize size(m_symbolSize, m_symbolSize);
    const QPixmap symbol = tintedPanelSymbol(m_symbol, size, symbolColor(), devicePixelRatioF());
    painter.drawPixmap(QRect(QPoint((width() - m_symbolSize) / 2, (height() - m_symbolSize) / 2), size), symbol);
}

void PanelSymbolButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    setHovered(true);
}

void PanelSymbolButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    setHovered(false);
}

void PanelSymbolButton::setHovered(bool hovered)
{
    if (m_isHovered == hovered)
        return;
    m_isHovered = hovered;
    update();
    Q_EMIT isHoveredChanged();
}

} // namespace gridlume
