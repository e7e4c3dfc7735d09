#pragma once

#include <QHash>
#include <QRegion>
#include <QSize>
#include <QWidget>

namespace gridlume {

class PanelWindowTraits;
class WindowPlacementPreviewView;

// The overlay that shows where a selection will place the window. One exists for the whole run;
// it is moved and resized to each previewed frame. Click-through, never focused, outside the
// window manager's control and kept below the tiling panels by whoever shows it. Translucent with
// a compositor; an outlined ring without one.
class WindowPlacementPreviewPanel : public QWidget {
    Q_OBJECT
public:
    static inline const QString title = QStringLiteral("Gridlume Preview");
    static constexpr double cornerRadius = 16;

    explicit WindowPlacementPreviewPanel(PanelWindowTraits& panelWindowTraits);

    // Moves the preview to `frame` (Qt's logical coordinates) and, once shown, to exactly
    // `nativeFrame` (device pixels), which the logical frame only approximates at a fractional
    // device pixel ratio.
    void setFrame(const QRect& frame, const QRect& nativeFrame);
    // Shows the preview without activating it.
    void orderFrontRegardless();
    void orderOut() { hide(); }

    WindowPlacementPreviewView& previewView() const { return *m_previewView; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateAppearance();
    void updateShape();

    PanelWindowTraits& m_panelWindowTraits;
    WindowPlacementPreviewView* m_previewView;
    QRect m_nativeFrame;
    QHash<QSize, QRegion> m_ringShapes;
};

} // namespace gridlume
