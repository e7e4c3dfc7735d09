#pragma once

#include "tiling/TilingGridModel.h"

#include <QWidget>

namespace gridlume {

class UIStates;

// The interactive grid of a tiling panel: 280 × 175 points of tiles that follow UIStates' row
// and column counts. Turns the pointer's hover, press, movement and release into TilingGridModel
// input (which decides what is previewed and selected) and paints the model: tiles, the inner
// grid lines, the rubber band of a drag, clipped to a rounded rectangle.
class WindowPlacementTilingGridView : public QWidget {
    Q_OBJECT
public:
    WindowPlacementTilingGridView(DisplayID tileGridID, UIStates& uiStates, QWidget* parent = nullptr);

    TilingGridModel& model() { return m_model; }
    const TilingGridModel& model() const { return m_model; }

    void setOnTilePreviewChanged(std::function<void(const std::optional<WindowPlacementRegion>&)> callback)
    {
        m_model.setOnTilePreviewChanged(std::move(callback));
    }
    void setOnTileSelected(std::function<void(const WindowPlacementRegion&)> callback)
    {
        m_model.setOnTileSelected(std::move(callback));
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    TilingGridModel m_model;
    // Where the press of the gesture under way happened; the gesture lasts until its release.
    std::optional<Point> m_gestureStartLocation;
};

} // namespace gridlume
