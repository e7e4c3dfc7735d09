#pragma once

#include <QWidget>

namespace gridlume {

class PanelHostingView;
class PanelWindowTraits;

// The borderless floating window of one screen's tiling panel: above ordinary windows, on every
// virtual desktop, never taking focus when shown (a click into it does). It draws a rounded card
// behind its content: translucent where a compositor blends it, opaque and cut to a rounded shape
// where none runs, switching when a compositor starts or stops. Positions are in Qt's global
// coordinates.
class SpotlightLikePanel : public QWidget {
    Q_OBJECT
public:
    static inline const QString title = QStringLiteral("Gridlume Tiling Panel");

    SpotlightLikePanel(const QSize& contentSize, PanelWindowTraits& panelWindowTraits);

    // Takes ownership of `contentView` and fills the panel with it.
    void setContentView(PanelHostingView* contentView);
    PanelHostingView* contentView() const { return m_contentView; }

    // Moves the panel's top-left corner.
    void setFrameOrigin(const QPoint& topLeft) { move(topLeft); }
    // Shows the panel in front of every other window without activating it.
    void orderFrontRegardless();
    // Hides the panel; it can be shown again.
    void orderOut() { hide(); }

    // True while the card is translucent (a compositor runs).
    bool isTranslucent() const { return m_isTranslucent; }

Q_SIGNALS:
    // The panel was shown and raised by orderFrontRegardless(), visible or not before.
    void orderedFront();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateAppearance();

    PanelWindowTraits& m_panelWindowTraits;
    PanelHostingView* m_contentView = nullptr;
    bool m_isTranslucent = false;
};

} // namespace gridlume
