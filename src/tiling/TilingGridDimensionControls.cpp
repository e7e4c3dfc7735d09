#include "tiling/TilingGridDimensionControls.h"

#include "settings/UIStates.h"
#include "tiling/TilingGridDimensionStepper.h"

#include <QHBoxLayout>

namespace gridlume {

TilingGridDimensionControls::TilingGridDimensionControls(UIStates& uiStates, QWidget* parent)
    : QWidget(parent)
    , m_uiStates(uiStates)
    , m_columnsStepper(new TilingGridDimensionStepper(QStringLiteral("Columns"), PanelSymbol::Columns, this))
    , m_rowsStepper(new TilingGridDimensionStepper(QStringLiteral("Rows"), PanelSymbol::Rows, this))
{
    m_columnsStepper->setDecrease([this] { m_uiStates.decrementTileGridColumnCount(); });
    m_columnsStepper->setIncrease([this] { m_uiStates.incrementTileGridColumnCount(); });
    m_rowsStepper->setDecrease([this] { m_uiStates.decrementTileGridRowCount(); });
    m_rowsStepper->setIncrease([this] { m_uiStates.incrementTileGridRowCount(); });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    layout->addStretch();
    layout->addWidget(m_columnsStepper);
    layout->addWidget(m_rowsStepper);
    layout->addStretch();

    connect(&m_uiStates, &UIStates::tileGridColumnCountChanged, this, &TilingGridDimensionControls::updateSteppers);
    connect(&m_uiStates, &UIStates::tileGridRowCountChanged, this, &TilingGridDimensionControls::updateSteppers);
    updateSteppers();
}

void TilingGridDimensionControls::updateSteppers()
{
    const qint64 columns = m_uiStates.tileGridColumnCount();
    const qint64 rows = m_uiStates.tileGridRowCount();
    constexpr auto columnRange = UIStates::tileGridColumnCountRange;
    constexpr auto rowRange = UIStates::tileGridRowCountRange;
    m_columnsStepper->setValue(columns, columns > columnRange.lowerBound, columns < columnRange.upperBound);
    m_rowsStepper->setValue(rows, rows > rowRange.lowerBound, rows < rowRange.upperBound);
}

} // namespace gridlume
