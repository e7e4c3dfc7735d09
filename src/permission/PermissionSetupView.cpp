#include "permission/PermissionSetupView.h"

#include "permission/PermissionSetupService.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace gridlume {

namespace {

    constexpr int columnWidth = 360;
    constexpr int padding = 32;

    QColor secondaryTextColor(const QPalette& palette)
    {
        QColor color = palette.color(QPalette::WindowText);
        color.setAlphaF(0.62);
        return color;
    }

    QColor fillColor(const QPalette& palette, double alpha)
    {
        QColor color = palette.color(QPalette::WindowText);
        color.setAlphaF(alpha);
        return color;
    }

    QFont scaledFont(const QFont& base, double pointSize, QFont::Weight weight)
    {
        QFont font = base;
        font.setPointSizeF(pointSize);
        font.setWeight(weight);
        return font;
    }

    // The step number on a filled circle.
    class StepNumberBadge final : public QWidget {
    public:
        StepNumberBadge(int number, QWidget* parent)
            : QWidget(parent)
            , m_text(QString::number(number))
        {
            setFixedSize(24, 24);
            setAccessibleName(m_text);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(fillColor(palette(), 0.1));
            painter.drawEllipse(rect());
            QFont font = scaledFont(this->font(), 10.5, QFont::DemiBold);
            font.setStyleHint(QFont::Monospace);
            painter.setFont(font);
            painter.setPen(secondaryTextColor(palette()));
            painter.drawText(rect(), Qt::AlignCenter, m_text);
        }

    private:
        QString m_text;
    };

    // A switch in the "on" position, as the settings list draws it. Decoration only.
    class SwitchDrawing final : public QWidget {
    public:
        explicit SwitchDrawing(QWidget* parent)
            : QWidget(parent)
        {
            setFixedSize(38, 22);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x0A, 0x84, 0xFF));
            painter.drawRoundedRect(QRectF(rect()), 11, 11);
            painter.setBrush(Qt::white);
            painter.drawEllipse(QRectF(width() - 2 - 18, 2, 18, 18));
        }
    };

    // Square icon of a fixed side, drawn from a QIcon at the screen's pixel density.
    class IconView final : public QWidget {
    public:
        IconView(const QIcon& icon, int side, QWidget* parent)
            : QWidget(parent)
            , m_icon(icon)
        {
            setFixedSize(side, side);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            m_icon.paint(&painter, rect());
        }

    private:
        QIcon m_icon;
    };

    // Blue rounded background for the one prominent button.
    class ProminentButton final : public QPushButton {
    public:
        ProminentButton(const QString& text, QWidget* parent)
            : QPushButton(text, parent)
        {
            setCursor(Qt::PointingHandCursor);
            setFlat(true);
            QFont font = this->font();
            font.setWeight(QFont::Medium);
            setFont(font);
            const QSize text_ = fontMetrics().size(Qt::TextSingleLine, text);
            setFixedSize(text_.width() + 16, text_.height() + 16);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(isDown() ? QColor(0x00, 0x5F, 0xCC) : QColor(0x0A, 0x7A, 0xFF));
            painter.drawRoundedRect(QRectF(rect()), 6, 6);
            if (hasFocus()) {
                painter.setPen(QPen(QColor(255, 255, 255, 160), 1.5));
                painter.setBrush(Qt::NoBrush);
                painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 4, 4);
            }
            painter.setPen(Qt::white);
            painter.drawText(rect(), Qt::AlignCenter, text());
        }
    };

    // Rounded background in a light level of the text colour.
    class RoundedFill final : public QWidget {
    public:
        explicit RoundedFill(QWidget* parent)
            : QWidget(parent)
        {
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(fillColor(palette(), 0.06));
            painter.drawRoundedRect(QRectF(rect()), 8, 8);
        }
    };

} // namespace

PermissionSetupView::PermissionSetupView(PermissionSetupService& permissionSetupService, QIcon applicationIcon,
    QWidget* parent, std::optional<TrustGuide> guide)
    : QWidget(parent)
    , m_permissionSetupService(permissionSetupService)
    , m_applicationIcon(applicationIcon.isNull() ? QApplication::windowIcon() : std::move(applicationIcon))
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(padding, padding, padding, padding);
    outer->setSpacing(24);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    auto* header = new QVBoxLayout;
    header->setSpacing(16);
    auto* title = new QLabel(guide ? guide->title : tr("Allow Gridlume"), this);
    title->setFont(scaledFont(font(), 22, QFont::DemiBold));
    title->setAlignment(Qt::AlignCenter);
    header->addWidget(title);
    header->addWidget(new IconView(m_applicationIcon, 96, this), 0, Qt::AlignHCenter);
    const QFont explanationFont = scaledFont(font(), 13, QFont::Normal);
    // Its lines 4 points further apart than the font's own spacing.
    const int explanationLineHeight = QFontMetrics(explanationFont).lineSpacing() + 4;
    auto* explanation = new QLabel(
        QStringLiteral("<div style=\"line-height: %1px\">%2</div>")
            .arg(explanationLineHeight)
            .arg(guide ? guide->explanation : tr("Gridlume needs Accessibility permission to manage your windows.")),
        this);
    explanation->setTextFormat(Qt::RichText);
    explanation->setFont(explanationFont);
    explanation->setWordWrap(true);
    explanation->setAlignment(Qt::AlignCenter);
    // The secondary text colour of whichever palette is in force, light or dark.
    explanation->setForegroundRole(QPalette::PlaceholderText);
    explanation->setFixedWidth(columnWidth);
    header->addWidget(explanation);
    outer->addLayout(header);

    auto* steps = new QVBoxLayout;
    steps->setSpacing(24);
    const QString buttonText = guide ? guide->openButton : tr("Open Settings");
    m_openSettingsButton = new ProminentButton(QStringLiteral("\u2699  ") + buttonText, this);
    m_openSettingsButton->setAccessibleName(buttonText);
    connect(m_openSettingsButton, &QPushButton::clicked, this, [this, open = guide ? guide->open : nullptr] {
        if (!open || !open())
            m_permissionSetupService.openAccessibilitySettings();
    });
    steps->addWidget(makeStep(1, guide ? guide->openStep : tr("Open Accessibility Settings"), m_openSettingsButton));
    steps->addWidget(makeStep(2, tr("Find Gridlume and turn on the switch"), makeIllustration()));
    outer->addLayout(steps);

    setAutoFillBackground(true);
}

QWidget* PermissionSetupView::makeStep(int number, const QString& title, QWidget* body)
{
    auto* step = new QWidget(this);
    auto* grid = new QGridLayout(step);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->addWidget(new StepNumberBadge(number, step), 0, 0, Qt::AlignCenter);
    auto* titleLabel = new QLabel(title, step);
    titleLabel->setFont(scaledFont(font(), 11, QFont::DemiBold));
    grid->addWidget(titleLabel, 0, 1, Qt::AlignVCenter | Qt::AlignLeft);
    grid->setColumnMinimumWidth(0, 24);
    grid->setColumnStretch(1, 1);
    body->setParent(step);
    grid->addWidget(body, 1, 1, Qt::AlignLeft);
    step->setFixedWidth(columnWidth);
    return step;
}

QWidget* PermissionSetupView::makeIllustration()
{
    auto* illustration = new RoundedFill(this);
    auto* row = new QHBoxLayout(illustration);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(6);
    row->addWidget(new IconView(m_applicationIcon, 36, illustration));
    row->addWidget(new QLabel(QStringLiteral("Gridlume"), illustration));
    row->addStretch(1);
    row->addWidget(new SwitchDrawing(illustration));
    illustration->setFixedWidth(columnWidth - 24 - 12);
    return illustration;
}

} // namespace gridlume
