#include "tiling/TilingGridDimensionStepper.h"

#include "tiling/PanelStyle.h"
#include "tiling/StepperButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace gridlume {

namespace {
    // Draws the dimension's symbol in the tertiary style, at the body text's size.
    class StepperSymbolView : public QWidget {
    public:
        StepperSymbolView(PanelSymbol symbol, QWidget* parent)
            : QWidget(parent)
            , m_symbol(symbol)
        {
            setFixedSize(22, 22);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            constexpr int size = 18;
            QPainter painter(this);
            painter.drawPixmap(QRect((width() - size) / 2, (height() - size) / 2, size, size),
                tintedPanelSymbol(m_symbol, QSize(size, size), PanelStyle::tertiary(palette()), devicePixelRatioF()));
        }

    private:
        PanelSymbol m_symbol;
    };

    class StepperDivider : public QWidget {
    public:
        explicit StepperDivider(QWidget* parent)
            : QWidget(parent)
        {
            setFixedSize(1, 16);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.fillRect(rect(), PanelStyle::separator(palette()));
        }
    };
} // namespace

TilingGridDimensionStepper::TilingGridDimensionStepper(const QString& title, PanelSymbol symbol, QWidget* parent)
    : QWidget(parent)
    , m_title(title)
    , m_symbol(symbol)
{
    setFixedSize(120, 32);
    const QString lowerTitle = title.toLower();
    m_decreaseButton = new StepperButton(PanelSymbol::Minus, QStringLiteral("Decrease ") + lowerTitle, this);
    m_increaseButton = new StepperButton(PanelSymbol::Plus, QStringLiteral("Increase ") + lowerTitle, this);
    m_valueLabel = new QLabel(this);
    m_valueLabel->setFixedWidth(18);
    m_valueLabel->setAlignment(Qt::AlignCenter);
    // A fixed width, so the buttons do not move as the value changes.
    m_valueLabel->setFont(PanelStyle::bodyFont(font(), QFont::DemiBold));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(2);
    layout->addStretch();
    layout->addWidget(new StepperSymbolView(m_symbol, this));
    layout->addWidget(new StepperDivider(this));
    layout->addWidget(m_decreaseButton);
    layout->addWidget(m_valueLabel);
    layout->addWidget(m_increaseButton);
    layout->addStretch();

    connect(m_decreaseButton, &QAbstractButton::clicked, this, [this] {
        if (m_decrease)
            m_decrease();
    });
    connect(m_increaseButton, &QAbstractButton::clicked, this, [this] {
        if (m_increase)
            m_increase();
    });
}

void TilingGridDimensionStepper::setValue(qint64 value, bool canDecrease, bool canIncrease)
{
    m_valueLabel->setText(QString::asprintf("%lld", static_cast<long long>(value)));
    m_decreaseButton->setEnabled(canDecrease);
    m_increaseButton->setEnabled(canIncrease);
}

QString TilingGridDimensionStepper::valueText() const
{
    return m_valueLabel->text();
}

void TilingGridDimensionStepper::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(PanelStyle::separator(palette()), 1));
    painter.setBrush(PanelStyle::quaternaryFill(palette()));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), PanelStyle::controlCornerRadius,
        PanelStyle::controlCornerRadius);
}

} // namespace gridlume
