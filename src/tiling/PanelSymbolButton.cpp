#include "tiling/PanelSymbolButton.h"

#include <QPainter>

#include <cmath>

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
    const qreal ratio = devicePixelRatioF();
    const QPixmap symbol = tintedPanelSymbol(m_symbol, QSize(m_symbolSize, m_symbolSize), symbolColor(), ratio);
    // At its own size and from a whole device pixel: scaled, or started between two pixels at a
    // fractional ratio, the symbol would be blurred.
    const QSizeF symbolSize = symbol.deviceIndependentSize();
    painter.drawPixmap(QPointF(std::round((width() - symbolSize.width()) / 2 * ratio) / ratio,
                           std::round((height() - symbolSize.height()) / 2 * ratio) / ratio),
        symbol);
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
