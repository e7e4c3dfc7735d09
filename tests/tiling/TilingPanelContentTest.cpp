#include "platform/sim/SimDesktop.h"
#include "settings/UIStates.h"
#include "tiling/PanelTitleBar.h"
#include "tiling/PanelTitleBarButton.h"
#include "tiling/StepperButton.h"
#include "tiling/TargetApplicationView.h"
#include "tiling/TilingGridDimensionControls.h"
#include "tiling/TilingGridDimensionStepper.h"
#include "tiling/WindowPlacementTilingGridView.h"
#include "tiling/WindowPlacementTilingPanelView.h"
#include "tracking/ForegroundApplicationStore.h"

#include "QtTestPrinters.h"

#include <gtest/gtest.h>

#include <QTest>

using namespace gridlume;

namespace {

class PanelContentTest : public ::testing::Test {
protected:
    PanelContentTest()
        : m_store(m_desktop.platform().workspace)
        , m_first(1, m_uiStates, m_store)
        , m_second(2, m_uiStates, m_store)
    {
        m_first.resize(304, 326);
        m_second.resize(304, 326);
        m_first.show();
        m_second.show();
    }

    SimDesktop m_desktop;
    UIStates m_uiStates;
    ForegroundApplicationStore m_store;
    WindowPlacementTilingPanelView m_first;
    WindowPlacementTilingPanelView m_second;
};

struct StepperCase {
    qint64 value;
    bool canDecrease;
    bool canIncrease;
};

class StepperBoundsTest : public PanelContentTest, public ::testing::WithParamInterface<StepperCase> { };

TEST_P(StepperBoundsTest, ButtonsAreEnabledOnlyWithinTheRange)
{
    const StepperCase& c = GetParam();
    m_uiStates.setTileGridColumnCount(c.value);
    m_uiStates.setTileGridRowCount(c.value);
    for (TilingGridDimensionStepper* stepper :
        { &m_first.dimensionControls().columnsStepper(), &m_first.dimensionControls().rowsStepper() }) {
        SCOPED_TRACE(stepper->title().toStdString());
        EXPECT_EQ(stepper->valueText(), QString::number(c.value));
        EXPECT_EQ(stepper->decreaseButton().isEnabled(), c.canDecrease);
        EXPECT_EQ(stepper->increaseButton().isEnabled(), c.canIncrease);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, StepperBoundsTest,
    ::testing::Values(StepperCase { 2, false, true }, StepperCase { 5, true, true }, StepperCase { 8, true, false }));

TEST_F(PanelContentTest, SteppingOnOnePanelChangesEveryPanel)
{
    StepperButton& plusRows = m_first.dimensionControls().rowsStepper().increaseButton();
    QTest::mouseClick(&plusRows, Qt::LeftButton);
    EXPECT_EQ(m_uiStates.tileGridRowCount(), 3);
    EXPECT_EQ(m_second.dimensionControls().rowsStepper().valueText(), "3");
    EXPECT_EQ(m_second.gridView().model().rowCount(), 3);

    StepperButton& minusColumns = m_second.dimensionControls().columnsStepper().decreaseButton();
    QTest::mouseClick(&minusColumns, Qt::LeftButton);
    // At the lower bound the button is disabled and a click does nothing.
    EXPECT_EQ(m_uiStates.tileGridColumnCount(), 2);
}

// The close button is the controller tests' way of hiding the panels.
TEST_F(PanelContentTest, TheSettingsButtonOpensTheSettings)
{
    int settings = 0;
    m_first.setOpenSettings([&] { ++settings; });
    QTest::mouseClick(&m_first.titleBar().settingsButton(), Qt::LeftButton);
    EXPECT_EQ(settings, 1);
}

TEST_F(PanelContentTest, FollowsTheTargetApplicationOnEveryPanelOnOneLine)
{
    EXPECT_EQ(m_first.targetApplicationView().displayedName(), "Choose a window");
    m_desktop.activate(m_desktop.addApplication("Terminal"));
    m_store.startTracking();
    SimDesktop::processEvents();
    EXPECT_EQ(m_first.targetApplicationView().displayedName(), "Terminal");
    EXPECT_EQ(m_second.targetApplicationView().displayedName(), "Terminal");
    // The simulated applications have no icons.
    EXPECT_TRUE(m_first.targetApplicationView().showsPlaceholderIcon());

    // A long name ends in an ellipsis.
    const QString longName = QString(80, QLatin1Char('W'));
    m_desktop.activate(m_desktop.addApplication(longName));
    SimDesktop::processEvents();
    const TargetApplicationView& view = m_second.targetApplicationView();
    EXPECT_EQ(view.fullName(), longName);
    EXPECT_TRUE(view.displayedName().endsWith(QChar(0x2026)));
    EXPECT_LT(view.displayedName().size(), longName.size());
    EXPECT_LE(view.sizeHint().height(), 32);
}

} // namespace
