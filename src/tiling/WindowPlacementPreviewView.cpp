#include "tiling/WindowPlacementPreviewView.h"

#include "tiling/PanelStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace gridlume {

WindowPlacementPreviewView::WindowPlacementPreviewView(double cornerRadius, QWidget* parent)
    : QWidget(parent)
    , m_cornerRadius(cornerRadius)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WindowPlacementPreviewView::setOutlineOnly(bool outlineOnly)
{
    if (m_isOutlineOnly == outlineOnly)
        return;
    m_isOutlineOnly = outlineOnly;
    update();
}

void WindowPlacementPreviewView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor blue = PanelStyle::accentBlue(palette());
    const QRectF bounds(rect());
    if (m_isOutlineOnly) {
        // The window's shape is the ring; filling it all is what shows.
        painter.fillRect(bounds, blue);
        return;
    }
    constexpr double lineWidth = 2.5;
    QColor fill = blue;
    fill.setAlphaF(0.12f);
    QColor border = blue;
    border.setAlphaF(0.45f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(bounds, m_cornerRadius, m_cornerRadius);
    const double half = lineWidth / 2;
    painter.setPen(QPen(border, lineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(bounds.adjusted(half, half, -half, -half), m_cornerRadius - half, m_cornerRadius - half);
}

} // namespace gridlume
