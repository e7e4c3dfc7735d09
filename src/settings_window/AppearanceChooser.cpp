#include "settings_window/AppearanceChooser.h"

#include "settings/SettingsStore.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace gridlume {

namespace {

    constexpr int optionWidth = 64;
    constexpr int symbolSide = 24;

    QString caption(AppAppearance appearance)
    {
        switch (appearance) {
        case AppAppearance::light:
            return AppearanceChooser::tr("Light");
        case AppAppearance::dark:
            return AppearanceChooser::tr("Dark");
        case AppAppearance::system:
            break;
        }
        return AppearanceChooser::tr("System");
    }

} // namespace

AppearanceChooser::AppearanceChooser(SettingsStore& settingsStore, QWidget* parent)
    : QWidget(parent)
    , m_settingsStore(settingsStore)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    for (AppAppearance appearance : allAppAppearances) {
        auto* button = new AppearanceOptionButton(appearance, this);
        connect(button, &QAbstractButton::clicked, this,
            [this, appearance] { m_settingsStore.updateAppAppearance(appearance); });
        row->addWidget(button);
        m_buttons.append(button);
    }
    row->addStretch(1);
    auto select = [this] {
        for (QAbstractButton* button : std::as_const(m_buttons)) {
            auto* option = static_cast<AppearanceOptionButton*>(button);
            option->setSelectedOption(option->appearance() == m_settingsStore.appAppearance());
        }
    };
    connect(&m_settingsStore, &SettingsStore::appAppearanceChanged, this, select);
    select();
}

QAbstractButton* AppearanceChooser::button(AppAppearance appearance) const
{
    for (QAbstractButton* button : m_buttons) {
        if (static_cast<AppearanceOptionButton*>(button)->appearance() == appearance)
            return button;
    }
    return nullptr;
}

AppearanceOptionButton::AppearanceOptionButton(AppAppearance appearance, QWidget* parent)
    : QAbstractButton(parent)
    , m_appearance(appearance)
{
    setText(caption(appearance));
    setAccessibleName(caption(appearance));
    setCheckable(false);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(sizeHint());
}

void AppearanceOptionButton::setSelectedOption(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

QFont AppearanceOptionButton::captionFont() const
{
    QFont font = this->font();
    font.setWeight(m_selected ? QFont::DemiBold : QFont::Normal);
    return font;
}

QSize AppearanceOptionButton::sizeHint() const
{
    const QFontMetrics metrics(captionFont());
    return QSize(optionWidth, 4 + symbolSide + 4 + metrics.height() + 4 + 4);
}

void AppearanceOptionButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& palette = this->palette();
    if (m_selected || isDown()) {
        QColor highlight = palette.color(QPalette::Highlight);
        highlight.setAlphaF(isDown() ? 0.32 : 0.2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(highlight);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette.color(QPalette::Highlight), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    }
    const QRectF symbolBox((width() - symbolSide) / 2.0, 4, symbolSide, symbolSide);
    paintSymbol(painter, symbolBox);
    painter.setFont(captionFont());
    painter.setPen(palette.color(QPalette::WindowText));
    const QRectF captionBox(0, symbolBox.bottom() + 4, width(), height() - symbolBox.bottom() - 4);
    painter.drawText(captionBox.adjusted(0, 2, 0, -2), Qt::AlignHCenter | Qt::AlignTop, text());
}

void AppearanceOptionButton::paintSymbol(QPainter& painter, const QRectF& box) const
{
    const QColor ink = palette().color(QPalette::WindowText);
    const QPointF centre = box.center();
    painter.save();
    switch (m_appearance) {
    case AppAppearance::light: {
        // A sun: a disc and eight rays.
        painter.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, 4.5, 4.5);
        for (int i = 0; i < 8; ++i) {
            const double angle = i * M_PI / 4;
            const QPointF direction(std::cos(angle), std::sin(angle));
            painter.drawLine(centre + direction * 7.5, centre + direction * 10.5);
        }
        break;
    }
    case AppAppearance::dark: {
        // A crescent moon: a disc with a disc cut out of its upper right.
        QPainterPath disc;
        disc.addEllipse(centre, 9, 9);
        QPainterPath bite;
        bite.addEllipse(centre + QPointF(5, -4), 7.5, 7.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPath(disc.subtracted(bite));
        break;
    }
    case AppAppearance::system: {
        // A circle with its left half filled.
        painter.setPen(QPen(ink, 1.8));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, 9, 9);
        QPainterPath half;
        half.moveTo(centre + QPointF(0, -9));
        half.arcTo(QRectF(centre - QPointF(9, 9), QSizeF(18, 18)), 90, 180);
        half.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPath(half);
        break;
    }
    }
    painter.restore();
}

} // namespace gridlume
