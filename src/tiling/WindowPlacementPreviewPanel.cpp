#include "tiling/WindowPlacementPreviewPanel.h"

#include "platform/PanelWindowTraits.h"
#include "tiling/WindowPlacementPreviewView.h"
#include "tiling/WindowShapes.h"

#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace gridlume {

WindowPlacementPreviewPanel::WindowPlacementPreviewPanel(PanelWindowTraits& panelWindowTraits)
    : QWidget(nullptr,
          Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
              // Input transparency alone would still let a window manager's frame catch clicks.
              | Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput)
    , m_panelWindowTraits(panelWindowTraits)
    , m_previewView(new WindowPlacementPreviewView(cornerRadius, this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_previewView);

    winId();
    m_panelWindowTraits.prepare(*windowHandle(), PanelWindowRole::Preview);
    connect(&m_panelWindowTraits, &PanelWindowTraits::compositingChanged, this,
        &WindowPlacementPreviewPanel::updateAppearance);
    // Qt turns the shape into device pixels when it is set: on a screen of another device pixel
    // ratio it must be set again.
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { setShapeAgain(*this); });
    updateAppearance();
}

void WindowPlacementPreviewPanel::setFrame(const QRect& frame, const QRect& nativeFrame)
{
    m_nativeFrame = nativeFrame;
    setGeometry(frame);
    // A hidden window gets its resize event only when shown; its shape must fit before that.
    updateShape();
    if (isVisible())
        m_panelWindowTraits.setNativeGeometry(*windowHandle(), m_nativeFrame);
}

void WindowPlacementPreviewPanel::orderFrontRegardless()
{
    if (isVisible())
        return;
    // Qt configures a hidden window's geometry when it shows it; the exact one must come after.
    show();
    m_panelWindowTraits.setNativeGeometry(*windowHandle(), m_nativeFrame);
}

void WindowPlacementPreviewPanel::updateAppearance()
{
    m_previewView->setOutlineOnly(!m_panelWindowTraits.isCompositing());
    updateShape();
}

void WindowPlacementPreviewPanel::updateShape()
{
    if (!m_previewView->isOutlineOnly()) {
        if (!mask().isEmpty())
            clearMask();
        return;
    }
    // The preview follows the pointer from block to block: each size's ring is drawn once. A grid
    // has at most 64 block sizes per screen.
    auto ring = m_ringShapes.constFind(size());
    if (ring == m_ringShapes.cend()) {
        if (m_ringShapes.size() >= 256)
            m_ringShapes.clear();
        ring = m_ringShapes.insert(size(), roundedRingRegion(size(), cornerRadius, WindowPlacementPreviewView::outlineThickness));
    }
    // Setting an equal shape still goes to the window system.
    if (mask() != *ring)
        setMask(*ring);
}

void WindowPlacementPreviewPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateShape();
}

} // namespace gridlume
