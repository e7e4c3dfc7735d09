#pragma once

#include "placement/WindowPlacementRegion.h"
#include "platform/Screens.h"

#include <QWidget>

class QLabel;

#include <functional>
#include <optional>

namespace gridlume {

class ForegroundApplicationStore;
class PanelTitleBar;
class TargetApplicationView;
class TilingGridDimensionControls;
class UIStates;
class WindowPlacementTilingGridView;

// What a tiling panel shows, top to bottom: the title bar, the target application, the grid
// (identified by `tileGridID`, its screen's display ID), the grid's dimension steppers and, when
// asked for, one line of the keys the panels take. Holds
// no state of its own: it shows the shared UIStates and ForegroundApplicationStore, so every
// screen's panel shows the same and changes with the others. Transparent; the panel window draws
// the card behind it.
class WindowPlacementTilingPanelView : public QWidget {
    Q_OBJECT
public:
    WindowPlacementTilingPanelView(DisplayID tileGridID, UIStates& uiStates,
        ForegroundApplicationStore& foregroundApplicationStore, QWidget* parent = nullptr);

    DisplayID tileGridID() const { return m_tileGridID; }

    // Passed to the grid unchanged.
    void setOnTilePreviewChanged(std::function<void(const std::optional<WindowPlacementRegion>&)> callback);
    void setOnTileSelected(std::function<void(const WindowPlacementRegion&)> callback);
    // Passed to the title bar.
    void setOnClose(std::function<void()> callback);
    void setOpenSettings(std::function<void()> action);

    PanelTitleBar& titleBar() const { return *m_titleBar; }
    TargetApplicationView& targetApplicationView() const { return *m_targetApplicationView; }
    WindowPlacementTilingGridView& gridView() const { return *m_gridView; }
    TilingGridDimensionControls& dimensionControls() const { return *m_dimensionControls; }
    QLabel& keyboardHints() const { return *m_keyboardHints; }

    // The line of keys under the steppers; hidden until shown. The panel grows by
    // keyboardHintsHeight to make room for it.
    void setKeyboardHintsVisible(bool visible);
    static constexpr int keyboardHintsHeight = 18;

private:
    DisplayID m_tileGridID;
    PanelTitleBar* m_titleBar;
    TargetApplicationView* m_targetApplicationView;
    WindowPlacementTilingGridView* m_gridView;
    TilingGridDimensionControls* m_dimensionControls;
    QLabel* m_keyboardHints;
};

} // namespace gridlume
