#pragma once

#include "tiling/PanelSymbolButton.h"

namespace gridlume {

// The minus or plus button of a grid dimension stepper. Its help text is both its tooltip and its
// accessible name. Enabled, the symbol is in the foreground style, on a rounded highlight while
// the pointer is over it; disabled, it is faint and cannot be pressed.
class StepperButton : public PanelSymbolButton {
    Q_OBJECT
public:
    StepperButton(PanelSymbol symbol, const QString& helpText, QWidget* parent = nullptr);

    QColor symbolColor() const override;
    // Whether the rounded highlight is drawn behind the symbol.
    bool showsHoverBackground() const { return isHovered() && isEnabled(); }

protected:
    void paintBackground(QPainter& painter) override;
};

} // namespace gridlume
