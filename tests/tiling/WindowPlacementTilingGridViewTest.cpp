#include "settings/UIStates.h"
#include "tiling/WindowPlacementTilingGridView.h"

#include "QtTestPrinters.h"

#include <gtest/gtest.h>

#include <QTest>

using namespace gridlume;

namespace {

// A shown grid driven through Qt's input path, recording its callbacks.
class GridViewTest : public ::testing::Test {
protected:
    GridViewTest()
        : m_view(3, m_uiStates)
    {
        m_view.setOnTilePreviewChanged([this](const std::optional<WindowPlacementRegion>& region) {
            m_events.append(region ? "preview " + describe(*region) : QStringLiteral("preview none"));
        });
        m_view.setOnTileSelected([this](const WindowPlacementRegion& region) { m_events.append("select " + describe(region)); });
        m_view.move(100, 100);
        m_view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_view));
        // Qt remembers the pointer of earlier tests; start outside any tile.
        QTest::mouseMove(&m_view, QPoint(271, 171));
        leave();
        m_events.clear();
    }

    void leave()
    {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(&m_view, &event);
    }

    QRgb pixel(QPoint position) { return m_view.grab().toImage().pixel(position); }

    UIStates m_uiStates;
    WindowPlacementTilingGridView m_view;
    QStringList m_events;
};

// Qt keeps sending the moves of a gesture to the grid that took the press.
TEST_F(GridViewTest, ADragLeavingTheGridPreviewsEachStepAndSelectsTheBlock)
{
    QTest::mouseMove(&m_view, QPoint(10, 10));
    m_events.clear();
    QTest::mousePress(&m_view, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&m_view, QPoint(200, 50));
    QTest::mouseMove(&m_view, QPoint(600, 400));
    QTest::mouseRelease(&m_view, Qt::LeftButton, {}, QPoint(600, 400));
    EXPECT_EQ(m_events,
        QStringList({ "preview 0,0-0,0", "preview 0,0-0,1", "preview 0,0-1,1", "preview none", "select 0,0-1,1" }));
    EXPECT_EQ(m_uiStates.draggingTileGridID(), std::nullopt);
}

TEST_F(GridViewTest, OtherButtonsDoNotDrag)
{
    QTest::mouseMove(&m_view, QPoint(13, 17));
    m_events.clear();
    QTest::mousePress(&m_view, Qt::RightButton, {}, QPoint(13, 17));
    QTest::mouseMove(&m_view, QPoint(200, 100));
    QTest::mouseRelease(&m_view, Qt::RightButton, {}, QPoint(200, 100));
    // The pointer still hovers; nothing is dragged or selected.
    EXPECT_EQ(m_events, QStringList({ "preview 1,1-1,1" }));
    EXPECT_EQ(m_uiStates.draggingTileGridID(), std::nullopt);
}

TEST_F(GridViewTest, LeavingDuringADragDoesNotClearIt)
{
    QTest::mouseMove(&m_view, QPoint(10, 10));
    m_events.clear();
    QTest::mousePress(&m_view, Qt::LeftButton, {}, QPoint(10, 10));
    leave();
    QTest::mouseRelease(&m_view, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(m_events, QStringList({ "preview 0,0-0,0", "preview none", "select 0,0-0,0" }));
}

TEST_F(GridViewTest, PaintsHoveredAndCoveredTilesStrongerThanTheOthers)
{
    // Fills are the text colour laid over the background: the stronger the fill, the farther it
    // is from the background.
    const int background = qGray(m_view.palette().color(QPalette::Window).rgb());
    auto strength = [&](QRgb fill) { return std::abs(qGray(fill) - background); };
    QTest::mouseMove(&m_view, QPoint(33, 27));
    const QRgb hovered = pixel(QPoint(60, 40));
    const QRgb idle = pixel(QPoint(200, 120));
    EXPECT_GT(strength(idle), 0) << "idle tiles are filled too";
    EXPECT_GT(strength(hovered), strength(idle) + 10);

    QTest::mousePress(&m_view, Qt::LeftButton, {}, QPoint(33, 27));
    QTest::mouseMove(&m_view, QPoint(150, 100));
    EXPECT_EQ(pixel(QPoint(200, 120)), hovered);
    QTest::mouseRelease(&m_view, Qt::LeftButton, {}, QPoint(150, 100));
    EXPECT_EQ(pixel(QPoint(200, 120)), idle);
    EXPECT_EQ(pixel(QPoint(60, 40)), idle);
}

} // namespace
