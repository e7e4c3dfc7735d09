#pragma once

#include "tiling/PanelSymbol.h"

#include <QAbstractButton>

class QPainter;

namespace gridlume {

// A borderless button of the panel that shows one symbol, centred: 28 × 28 points, all of it
// clickable, never taking the keyboard focus. It tracks whether the pointer is over it;
// subclasses choose the symbol's style and may draw behind it.
class PanelSymbolButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(bool isHovered READ isHovered NOTIFY isHoveredChanged)
public:
    bool isHovered() const { return m_isHovered; }
    // The style the symbol is drawn in now.
    virtual QColor symbolColor() const = 0;

    QSize sizeHint() const override { return QSize(28, 28); }

Q_SIGNALS:
    void isHoveredChanged();

protected:
    PanelSymbolButton(PanelSymbol symbol, int symbolSize, QWidget* parent);

    // Drawn before the symbol; nothing by default.
    virtual void paintBackground(QPainter& painter);

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovered(bool hovered);

    PanelSymbol m_symbol;
    int m_symbolSize;
    bool m_isHovered = false;
};

} // namespace gridlume
