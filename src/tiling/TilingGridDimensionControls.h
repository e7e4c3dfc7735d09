#pragma once

#include <QWidget>

namespace gridlume {

class TilingGridDimensionStepper;
class UIStates;

// The "Columns" and "Rows" steppers, bound to UIStates: they show the shared counts, change them
// only through UIStates' step operations (which keep them within 2…8), and disable a direction
// at its bound.
class TilingGridDimensionControls : public QWidget {
    Q_OBJECT
public:
    explicit TilingGridDimensionControls(UIStates& uiStates, QWidget* parent = nullptr);

    TilingGridDimensionStepper& columnsStepper() const { return *m_columnsStepper; }
    TilingGridDimensionStepper& rowsStepper() const { return *m_rowsStepper; }

private:
    void updateSteppers();

    UIStates& m_uiStates;
    TilingGridDimensionStepper* m_columnsStepper;
    TilingGridDimensionStepper* m_rowsStepper;
};

} // namespace gridlume
