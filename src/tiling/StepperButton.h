#pragma once

#include "tiling/PanelSymbol.h"

#include <QAbstractButton>

namespace gridlume {

// The minus or plus button of a grid dimension stepper: 28 × 28 points, all of it clickable.
// Its help text is both its tooltip and its accessible name. Enabled, the symbol is in the
// foreground style, on a rounded highlight while the pointer is over it; disabled, it is faint and
// cannot be pressed.
class StepperButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(bool isHovered READ isHovered NOTIFY isHoveredChanged)
public:
    StepperButton(PanelSymbol symbol, const QString& helpText, QWidget* parent = nullptr);

    bool isHovered() const { return m_isHovered; }
    // The style the symbol is drawn in now.
    QColor symbolColor() const;
    // Whether the rounded highlight is drawn behind the symbol.
    bool showsHoverBackground() const { return m_isHovered && isEnabled(); }

    QSize sizeHint() const override { return QSize(28, 28); }

Q_SIGNALS:
    void isHoveredChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovered(bool hovered);

    PanelSymbol m_symbol;
    bool m_isHovered = false;
};

} // namespace gridlume
