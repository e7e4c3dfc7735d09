#include "tiling/WindowPlacementTilingPanelView.h"

#include "tiling/PanelStyle.h"
#include "tiling/PanelTitleBar.h"
#include "tiling/TargetApplicationView.h"
#include "tiling/TilingGridDimensionControls.h"
#include "tiling/WindowPlacementTilingGridView.h"

#include <QLabel>
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
    , m_keyboardHints(new QLabel(this))
{
    // Arrows, Shift, Return and Tab as the keys are labelled; the line must fit the grid's width
    // in the panel's small font.
    m_keyboardHints->setText(QStringLiteral("\u2190\u2191\u2193\u2192 move \u00B7 \u21E7 extend \u00B7 "
                                            "\u21B5 place \u00B7 Tab screen \u00B7 \u00B1 size"));
    m_keyboardHints->setAlignment(Qt::AlignCenter);
    m_keyboardHints->setFixedHeight(keyboardHintsHeight - 4);
    QFont hintFont = m_keyboardHints->font();
    hintFont.setPointSizeF(hintFont.pointSizeF() * 0.85);
    m_keyboardHints->setFont(hintFont);
    QPalette hintPalette = m_keyboardHints->palette();
    hintPalette.setColor(QPalette::WindowText, PanelStyle::secondary(palette()));
    m_keyboardHints->setPalette(hintPalette);
    m_keyboardHints->setToolTip(QStringLiteral("Arrows or h j k l move, with Shift they extend the block; Return or "
                                               "Space places the window; Tab goes to the next screen; + and \u2212 "
                                               "step the columns, with Shift the rows; 1\u20269 pick a column; "
                                               "Escape closes"));
    m_keyboardHints->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(8);
    layout->addWidget(m_titleBar);
    layout->addWidget(m_targetApplicationView);
    layout->addWidget(m_gridView, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    layout->addWidget(m_dimensionControls);
    layout->addWidget(m_keyboardHints);
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

void WindowPlacementTilingPanelView::setKeyboardHintsVisible(bool visible)
{
    m_keyboardHints->setVisible(visible);
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
