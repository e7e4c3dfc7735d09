#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelWindowTraits.h"
#include "tiling/SpotlightLikePanel.h"
#include "tiling/WindowPlacementPreviewPanel.h"
#include "tiling/WindowPlacementPreviewView.h"

#include "QtTestPrinters.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

class PanelWindowsTest : public ::testing::Test {
protected:
    SimPanelWindowTraits& traits() { return m_desktop.panelWindowTraits(); }
    SimDesktop m_desktop;
};

TEST_F(PanelWindowsTest, TilingPanelSwitchesBetweenTranslucentCardAndRoundedShape)
{
    SpotlightLikePanel panel(QSize(304, 326), traits());
    EXPECT_TRUE(panel.isTranslucent());
    EXPECT_TRUE(panel.mask().isEmpty());

    traits().setCompositing(false);
    EXPECT_FALSE(panel.isTranslucent());
    const QRegion shape = panel.mask();
    EXPECT_TRUE(shape.contains(QPoint(152, 163)));
    EXPECT_TRUE(shape.contains(QPoint(152, 0)));
    // The corners are cut round.
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(303, 325)));

    traits().setCompositing(true);
    EXPECT_TRUE(panel.isTranslucent());
    EXPECT_TRUE(panel.mask().isEmpty());
}

TEST_F(PanelWindowsTest, PreviewBecomesAnOutlineRingWithoutACompositor)
{
    WindowPlacementPreviewPanel preview(traits());
    preview.setFrame(QRect(0, 25, 720, 438), QRect(0, 25, 720, 438));
    EXPECT_FALSE(preview.previewView().isOutlineOnly());
    EXPECT_TRUE(preview.mask().isEmpty());

    traits().setCompositing(false);
    EXPECT_TRUE(preview.previewView().isOutlineOnly());
    EXPECT_TRUE(preview.mask().contains(QPoint(1, 200)));
    EXPECT_FALSE(preview.mask().contains(QPoint(360, 219)));

    // The ring follows the frame.
    preview.setFrame(QRect(720, 25, 360, 200), QRect(720, 25, 360, 200));
    EXPECT_TRUE(preview.mask().contains(QPoint(358, 100)));
    EXPECT_FALSE(preview.mask().contains(QPoint(180, 100)));

    traits().setCompositing(true);
    EXPECT_TRUE(preview.mask().isEmpty());
}

} // namespace
