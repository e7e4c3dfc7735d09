#include "tiling/WindowPlacementTilingGridView.h"

#include "tiling/PanelStyle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace gridlume {

namespace {
    Point pointOf(const QPointF& position)
    {
        return Point { position.x(), position.y() };
    }

    QRectF qRectF(const Rect& rect)
    {
        return QRectF(rect.minX(), rect.minY(), rect.width(), rect.height());
    }
} // namespace

WindowPlacementTilingGridView::WindowPlacementTilingGridView(DisplayID tileGridID, UIStates& uiStates, QWidget* parent)
    : QWidget(parent)
    , m_model(tileGridID, uiStates)
{
    setFixedSize(int(TilingGridModel::width), int(TilingGridModel::height));
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    connect(&m_model, &TilingGridModel::displayChanged, this, qOverload<>(&QWidget::update));
}

void WindowPlacementTilingGridView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& palette = this->palette();
    const QRectF bounds(0, 0, TilingGridModel::width, TilingGridModel::height);

    QPainterPath clip;
    clip.addRoundedRect(bounds, PanelStyle::controlCornerRadius, PanelStyle::controlCornerRadius);
    painter.setClipPath(clip);

    const qint64 rows = m_model.rowCount();
    const qint64 columns = m_model.columnCount();
    const QList<WindowPlacementTile> covered = m_model.coveredTiles();
    const auto& hovered = m_model.hoveredTile();
    for (qint64 row = 0; row < rows; ++row) {
        for (qint64 column = 0; column < columns; ++column) {
            const WindowPlacementTile tile { row, column };
            const bool highlighted = covered.contains(tile) || hovered == tile || m_model.isInKeyboardBlock(tile);
            painter.fillRect(qRectF(m_model.tileRect(tile)),
                highlighted ? PanelStyle::fill(palette) : PanelStyle::tertiaryFill(palette));
        }
    }

    QPainterPath lines;
    for (qint64 i = 1; i < columns; ++i) {
        const double x = TilingGridModel::width / double(columns) * double(i);
        lines.moveTo(x, 0);
        lines.lineTo(x, TilingGridModel::height);
    }
    for (qint64 j = 1; j < rows; ++j) {
        const double y = TilingGridModel::height / double(rows) * double(j);
        lines.moveTo(0, y);
        lines.lineTo(TilingGridModel::width, y);
    }
    painter.strokePath(lines, QPen(PanelStyle::separator(palette), 1));

    if (const auto outline = m_model.dragOutline()) {
        constexpr double lineWidth = 1.5;
        const QRectF band(outline->minX(), outline->minY(), std::max(lineWidth, outline->width()),
            std::max(lineWidth, outline->height()));
        // Stroked inside its bounds, as the band is clipped to them.
        const double half = lineWidth / 2;
        painter.setPen(QPen(PanelStyle::separator(palette), lineWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(band.adjusted(half, half, -half, -half));
    }

    painter.setClipping(false);
    painter.setPen(QPen(PanelStyle::separator(palette), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(
        bounds.adjusted(0.5, 0.5, -0.5, -0.5), PanelStyle::controlCornerRadius, PanelStyle::controlCornerRadius);
}

void WindowPlacementTilingGridView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_gestureStartLocation) {
        event->ignore();
        return;
    }
    m_gestureStartLocation = pointOf(event->position());
    m_model.dragChanged(*m_gestureStartLocation, *m_gestureStartLocation);
}

void WindowPlacementTilingGridView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_gestureStartLocation)
        m_model.dragChanged(*m_gestureStartLocation, pointOf(event->position()));
    else
        m_model.hoverMoved(pointOf(event->position()));
}

void WindowPlacementTilingGridView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_gestureStartLocation) {
        event->ignore();
        return;
    }
    m_gestureStartLocation.reset();
    m_model.dragEnded();
}

void WindowPlacementTilingGridView::enterEvent(QEnterEvent* event)
{
    if (!m_gestureStartLocation)
        m_model.hoverMoved(pointOf(event->position()));
}

void WindowPlacementTilingGridView::leaveEvent(QEvent*)
{
    if (!m_gestureStartLocation)
        m_model.hoverEnded();
}

void WindowPlacementTilingGridView::showEvent(QShowEvent*)
{
    // Its panel serves again: nothing of the last showing carries over, nor pointer events that
    // reached the hidden grid.
    m_gestureStartLocation.reset();
    m_model.startAfresh();
}

} // namespace gridlume
