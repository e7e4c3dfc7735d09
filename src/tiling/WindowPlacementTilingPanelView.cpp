#include "tiling/WindowPlacementTilingPanelView.h"

#include "tiling/PanelTitleBar.h"
#include "tiling/TargetApplicationView.h"
#include "tiling/TilingGridDimensionControls.h"
#include "tiling/WindowPlacementTilingGridView.h"

#include <QVBoxLayout>

namespace gridlume {

WindowPlacementTilingPanelView::WindowPlacementTilingPanelView(DisplayID tileGridID, UIStates& uiStates,
    ForegroundApplicationStore& foregroundApplicationStore, QWidget* parent)
    : QWidget(parent)
    , m_tileGridID(tileGridID)
    , m_titleBar(new PanelTitleBar(this))
    , m_targetApplicationView(new TargetApplicationView(foregroundApplicationStore, this))
    , m_gridView(new WindowPlacementTilingGridView(tileGridID, uiStates, this))
    , m_dimensionControls(new TilingGridDimensionControls(uiStates, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(8);
    layout->addWidget(m_titleBar);
    layout->addWidget(m_targetApplicationView);
    layout->addWidget(m_gridView, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    layout->addWidget(m_dimensionControls);
    // The content sits at the top; what the panel has to spare stays below it.
    layout->addStretch();
}

void WindowPlacementTilingPanelView::setOnTilePreviewChanged(
    std::function<void(const std::optional<WindowPlacementRegion>&)> callback)
{
    m_gridView->setOnTilePreviewChanged(std::move(callback));
}

void WindowPlacementTilingPanelView::setOnTileSelected(std::function<void(const WindowPlacementRegion&)> callback)
{
    m_gridView->setOnTileSelected(std::move(callback));
}

void WindowPlacementTilingPanelView::setOnClose(std::function<void()> callback)
{
    m_titleBar->setOnClose(std::move(callback));
}

void WindowPlacementTilingPanelView::setOpenSettings(std::function<void()> action)
{
    m_titleBar->setOpenSettings(std::move(action));
}

} // namespace gridlume
