#pragma once

#include "tiling/PanelSymbol.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace gridlume {

class StepperButton;

// A compact stepper for one grid dimension, 120 × 32 points: the dimension's symbol, a divider,
// a minus button, the value and a plus button, on a rounded, outlined field. The title is not
// shown; it forms the buttons' help texts ("Decrease columns", "Increase columns").
class TilingGridDimensionStepper : public QWidget {
    Q_OBJECT
public:
    TilingGridDimensionStepper(const QString& title, PanelSymbol symbol, QWidget* parent = nullptr);

    // Shows `value`; each button is enabled only when its direction is possible.
    void setValue(qint64 value, bool canDecrease, bool canIncrease);
    void setDecrease(std::function<void()> action) { m_decrease = std::move(action); }
    void setIncrease(std::function<void()> action) { m_increase = std::move(action); }

    QString title() const { return m_title; }
    QString valueText() const;
    StepperButton& decreaseButton() const { return *m_decreaseButton; }
    StepperButton& increaseButton() const { return *m_increaseButton; }

    QSize sizeHint() const override { return QSize(120, 32); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    PanelSymbol m_symbol;
    QLabel* m_valueLabel;
    StepperButton* m_decreaseButton;
    StepperButton* m_increaseButton;
    std::function<void()> m_decrease;
    std::function<void()> m_increase;
};

} // namespace gridlume
