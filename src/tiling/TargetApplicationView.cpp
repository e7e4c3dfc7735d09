#include "tiling/TargetApplicationView.h"

#include "tiling/PanelStyle.h"
#include "tiling/PanelSymbol.h"
#include "tracking/ForegroundApplicationStore.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace gridlume {

namespace {
    constexpr int iconSize = 32;

    QPixmap roundedIcon(const QIcon& icon, qreal devicePixelRatio)
    {
        QPixmap pixmap(QSize(iconSize, iconSize) * devicePixelRatio);
        pixmap.setDevicePixelRatio(devicePixelRatio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath clip;
        clip.addRoundedRect(
            QRectF(0, 0, iconSize, iconSize), PanelStyle::controlCornerRadius, PanelStyle::controlCornerRadius);
        painter.setClipPath(clip);
        icon.paint(&painter, QRect(0, 0, iconSize, iconSize));
        return pixmap;
    }
} // namespace

TargetApplicationView::TargetApplicationView(ForegroundApplicationStore& foregroundApplicationStore, QWidget* parent)
    : QWidget(parent)
    , m_foregroundApplicationStore(foregroundApplicationStore)
    , m_iconLabel(new QLabel(this))
    , m_nameLabel(new QLabel(this))
{
    m_iconLabel->setFixedSize(iconSize, iconSize);
    m_nameLabel->setFont(PanelStyle::title3Font(font()));
    m_nameLabel->setTextFormat(Qt::PlainText);
    m_nameLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addStretch();
    layout->addWidget(m_iconLabel);
    layout->addWidget(m_nameLabel, 1);
    layout->addStretch();

    connect(&m_foregroundApplicationStore, &ForegroundApplicationStore::targetApplicationChanged, this,
        &TargetApplicationView::updateContent);
    updateContent();
}

QString TargetApplicationView::displayedName() const
{
    return m_nameLabel->text();
}

void TargetApplicationView::updateContent()
{
    m_fullName = m_foregroundApplicationStore.targetApplicationName();
    updateIcon();
    updateElidedName();
}

void TargetApplicationView::updateIcon()
{
    const auto& target = m_foregroundApplicationStore.targetApplication();
    m_showsPlaceholderIcon = !target || target->icon().isNull();
    if (m_showsPlaceholderIcon) {
        m_iconLabel->setPixmap(tintedPanelSymbol(
            PanelSymbol::Window, QSize(iconSize, iconSize), PanelStyle::secondary(palette()), devicePixelRatioF()));
    } else {
        m_iconLabel->setPixmap(roundedIcon(target->icon(), devicePixelRatioF()));
    }
}

void TargetApplicationView::updateElidedName()
{
    // The label takes what the icon leaves and shrinks to the name when it is shorter, so that
    // icon and name stay centred together.
    const QFontMetrics metrics(m_nameLabel->font());
    const int available = std::max(0, width() - iconSize - 6);
    const QString elided = metrics.elidedText(m_fullName, Qt::ElideRight, available);
    m_nameLabel->setText(elided);
    m_nameLabel->setMaximumWidth(metrics.horizontalAdvance(elided) + 2);
    m_nameLabel->setToolTip(elided == m_fullName ? QString() : m_fullName);
}

void TargetApplicationView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateElidedName();
}

void TargetApplicationView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The panel is built on the primary screen and shown on its own, whose device pixel ratio
    // may differ: the icon is drawn again for the screen it is shown on.
    updateIcon();
}

void TargetApplicationView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        updateIcon();
}

} // namespace gridlume
