#include "tiling/SpotlightLikePanel.h"

#include "platform/PanelWindowTraits.h"
#include "tiling/PanelHostingView.h"
#include "tiling/PanelStyle.h"
#include "tiling/WindowShapes.h"

#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace gridlume {

namespace {
    Qt::WindowFlags panelWindowFlags(const PanelWindowTraits& traits)
    {
        const Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
        // Set when the native window is made; it cannot change afterwards.
        return traits.tilingPanelsBypassWindowManager() ? flags | Qt::X11BypassWindowManagerHint : flags;
    }
} // namespace

SpotlightLikePanel::SpotlightLikePanel(const QSize& contentSize, PanelWindowTraits& panelWindowTraits)
    : QWidget(nullptr, panelWindowFlags(panelWindowTraits))
    , m_panelWindowTraits(panelWindowTraits)
{
    // Never Qt::WindowDoesNotAcceptFocus: the panel could then not take focus even when clicked.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Always an ARGB window: without a compositor the shape hides the corners and the card is
    // painted opaque, so switching needs no new native window.
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(title);
    setFixedSize(contentSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    winId();
    m_panelWindowTraits.prepare(*windowHandle(), PanelWindowRole::TilingPanel);
    connect(&m_panelWindowTraits, &PanelWindowTraits::compositingChanged, this, &SpotlightLikePanel::updateAppearance);
    // Built on the primary screen and shown on its own: Qt turns the shape into device pixels when
    // it is set, so on a screen of another device pixel ratio it must be set again.
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { setShapeAgain(*this); });
    updateAppearance();
}

void SpotlightLikePanel::setContentView(PanelHostingView* contentView)
{
    delete m_contentView;
    m_contentView = contentView;
    layout()->addWidget(m_contentView);
}

void SpotlightLikePanel::orderFrontRegardless()
{
    show();
    raise();
    Q_EMIT orderedFront();
}

void SpotlightLikePanel::updateAppearance()
{
    m_isTranslucent = m_panelWindowTraits.isCompositing();
    if (m_isTranslucent)
        clearMask();
    else
        setMask(roundedRectRegion(size(), PanelStyle::cardCornerRadius));
    update();
}

void SpotlightLikePanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_isTranslucent)
        setMask(roundedRectRegion(size(), PanelStyle::cardCornerRadius));
}

void SpotlightLikePanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(PanelStyle::separator(palette()), 1));
    painter.setBrush(PanelStyle::cardBackground(palette(), m_isTranslucent));
    painter.drawRoundedRect(card, PanelStyle::cardCornerRadius, PanelStyle::cardCornerRadius);
}

} // namespace gridlume
