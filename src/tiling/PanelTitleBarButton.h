#pragma once

#include "tiling/PanelSymbol.h"

#include <QAbstractButton>

namespace gridlume {

// A borderless symbol button of the panel's title bar: 28 × 28 points, all of it clickable, the
// symbol in the secondary style, turning primary while the pointer is over it.
class PanelTitleBarButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(bool isHovered READ isHovered NOTIFY isHoveredChanged)
public:
    explicit PanelTitleBarButton(PanelSymbol symbol, QWidget* parent = nullptr);

    bool isHovered() const { return m_isHovered; }
    // The style the symbol is drawn in now.
    QColor symbolColor() const;

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
