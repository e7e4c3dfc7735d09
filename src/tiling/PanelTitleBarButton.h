#pragma once

#include "tiling/PanelSymbolButton.h"

namespace gridlume {

// A symbol button of the panel's title bar: the symbol in the secondary style, turning primary
// while the pointer is over it.
class PanelTitleBarButton : public PanelSymbolButton {
    Q_OBJECT
public:
    explicit PanelTitleBarButton(PanelSymbol symbol, QWidget* parent = nullptr);

    QColor symbolColor() const override;
};

} // namespace gridlume
