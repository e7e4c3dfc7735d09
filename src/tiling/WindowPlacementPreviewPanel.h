#pragma once

#include <QWidget>

namespace gridlume {

class PanelWindowTraits;
class WindowPlacementPreviewView;

// The overlay that shows where a selection will place the window. One exists for the whole run;
// it is moved and resized to each previewed frame. Click-through, never focused, outside the
// window manager's control and kept below the tiling panels by whoever shows it. Translucent with
// a compositor; an outlined ring without one. Frames are in Qt's global coordinates.
class WindowPlacementPreviewPanel : public QWidget {
    Q_OBJECT
public:
    static inline const QString title = QStringLiteral("Gridlume Preview");
    static constexpr double cornerRadius = 16;

    explicit WindowPlacementPreviewPanel(PanelWindowTraits& panelWindowTraits);

    void setFrame(const QRect& frame);
    // Shows the preview without activating it.
    void orderFrontRegardless() { show(); }
    void orderOut() { hide(); }

    WindowPlacementPreviewView& previewView() const { return *m_previewView; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateAppearance();
    void updateShape();

    PanelWindowTraits& m_panelWindowTraits;
    WindowPlacementPreviewView* m_previewView;
};

} // namespace gridlume
