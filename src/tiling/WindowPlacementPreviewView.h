#pragma once

#include <QWidget>

namespace gridlume {

// The content of the placement preview: a rounded rectangle tinted in the system blue with a
// stronger blue border. In outline-only mode (no compositor, so no translucency) only the border
// is drawn, opaque, for a window shaped to a ring.
class WindowPlacementPreviewView : public QWidget {
    Q_OBJECT
public:
    explicit WindowPlacementPreviewView(double cornerRadius, QWidget* parent = nullptr);

    double cornerRadius() const { return m_cornerRadius; }
    bool isOutlineOnly() const { return m_isOutlineOnly; }
    void setOutlineOnly(bool outlineOnly);

    // Width of the ring shown in outline-only mode, in points.
    static constexpr double outlineThickness = 4;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_cornerRadius;
    bool m_isOutlineOnly = false;
};

} // namespace gridlume
