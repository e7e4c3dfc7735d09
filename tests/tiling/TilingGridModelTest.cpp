#include "settings/UIStates.h"
#include "tiling/TilingGridModel.h"

#include "QtTestPrinters.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace gridlume;

namespace {

// Records the callbacks of a grid as "preview a,b-c,d", "preview none" and "select a,b-c,d".
struct GridHarness {
    explicit GridHarness(qint64 rows = 2, qint64 columns = 2, DisplayID id = 7)
        : model(id, uiStates)
    {
        uiStates.setTileGridRowCount(rows);
        uiStates.setTileGridColumnCount(columns);
        model.setOnTilePreviewChanged([this](const std::optional<WindowPlacementRegion>& region) {
            events.append(region ? "preview " + describe(*region) : "preview none");
        });
        model.setOnTileSelected(
            [this](const WindowPlacementRegion& region) { events.append("select " + describe(region)); });
    }

    // A whole gesture: press at the first point, move through the others, release.
    void drag(const QList<Point>& points)
    {
        for (const Point& point : points)
            model.dragChanged(points.first(), point);
        model.dragEnded();
    }

    UIStates uiStates;
    TilingGridModel model;
    QStringList events;
};

// --- drags ----------------------------------------------------------------------------------

struct DragCase {
    const char* name;
    qint64 rows;
    qint64 columns;
    QList<Point> path; // press, moves…; released at the last point
    // The region previewed at the press and at each move, worked out by hand from the tiles'
    // rectangles; the last one is selected. Empty when the press starts no drag.
    QStringList previews;
};

class DragTest : public ::testing::TestWithParam<DragCase> { };

TEST_P(DragTest, PreviewsEachStepAndSelectsTheBlockTheDragCovers)
{
    const DragCase& c = GetParam();
    GridHarness grid(c.rows, c.columns);
    grid.drag(c.path);

    QStringList expected;
    for (const QString& region : c.previews)
        expected.append("preview " + region);
    // The end clears the preview, then selects.
    expected.append("preview none");
    if (!c.previews.isEmpty())
        expected.append("select " + c.previews.last());
    EXPECT_EQ(grid.events, expected);
    EXPECT_EQ(grid.uiStates.draggingTileGridID(), std::nullopt);
    EXPECT_EQ(grid.model.dragOutline(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Directions, DragTest,
    ::testing::Values(DragCase { "clickSelectsTheClickedTile", 2, 3, { { 200, 100 } }, { "1,2-1,2" } },
        DragCase { "downRight", 2, 2, { { 10, 10 }, { 80, 50 }, { 150, 100 } }, { "0,0-0,0", "0,0-0,0", "0,0-1,1" } },
        // Pressed on the shared corner, which belongs to the lower-right tile: it stays in the block.
        DragCase { "upLeftFromASharedCorner", 2, 2, { { 140, 87.5 }, { 10, 10 } }, { "1,1-1,1", "0,0-1,1" } },
        DragCase {
            "backToTheStart", 3, 3, { { 10, 10 }, { 250, 150 }, { 20, 20 } }, { "0,0-0,0", "0,0-2,2", "0,0-0,0" } },
        DragCase {
            "endingOnAnEdgeDoesNotTakeTheNextTile", 2, 2, { { 10, 10 }, { 140, 50 } }, { "0,0-0,0", "0,0-0,0" } },
        DragCase {
            "leavingLeftAndUpGrowsToTheFirstTile", 3, 3, { { 270, 170 }, { -50, -80 } }, { "2,2-2,2", "0,0-2,2" } },
        DragCase { "pressOnTheRightBorderStartsNoDrag", 2, 2, { { 280, 50 }, { 10, 10 } }, {} }),
    [](const auto& info) { return std::string(info.param.name); });

// --- rubber band -------------------------------------------------------------------------------

struct OutlineCase {
    const char* name;
    Point start;
    Point location;
    std::optional<Rect> expected;
};

class DragOutlineTest : public ::testing::TestWithParam<OutlineCase> { };

TEST_P(DragOutlineTest, IsClippedFourPointsInsideTheGrid)
{
    const OutlineCase& c = GetParam();
    GridHarness grid;
    grid.model.dragChanged(c.start, c.location);
    EXPECT_EQ(grid.model.dragOutline(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Outlines, DragOutlineTest,
    ::testing::Values(OutlineCase { "inside", { 20, 30 }, { 120, 80 }, Rect(20, 30, 100, 50) },
        OutlineCase { "leavingEverywhere", { 278, 173 }, { -50, -60 }, Rect(4, 4, 272, 167) },
        // A click leaves a dot and a flat drag a line; a drag within the margin leaves nothing.
        OutlineCase { "click", { 50, 50 }, { 50, 50 }, Rect(50, 50, 0, 0) },
        OutlineCase { "withinTheMargin", { 1, 1 }, { 3, 100 }, std::nullopt }),
    [](const auto& info) { return std::string(info.param.name); });

// --- hover ---------------------------------------------------------------------------------------

struct HoverCase {
    const char* name;
    QList<std::optional<Point>> steps; // none: the pointer left the grid
    QStringList events;
};

class HoverTest : public ::testing::TestWithParam<HoverCase> { };

TEST_P(HoverTest, PreviewsEachNewTileOnceAndClearsOnLeaving)
{
    const HoverCase& c = GetParam();
    GridHarness grid;
    for (const std::optional<Point>& step : c.steps) {
        if (step)
            grid.model.hoverMoved(*step);
        else
            grid.model.hoverEnded();
    }
    EXPECT_EQ(grid.events, c.events);
}

INSTANTIATE_TEST_SUITE_P(Sequences, HoverTest,
    ::testing::Values(
        // A shared edge belongs to the tile right of and below it.
        HoverCase { "movingToAnotherTile",
            { Point { 10, 10 }, Point { 139.9, 87.4 }, Point { 140, 10 }, Point { 150, 87.5 } },
            { "preview 0,0-0,0", "preview 0,1-0,1", "preview 1,1-1,1" } },
        HoverCase { "ontoTheBorderClears", { Point { 10, 10 }, Point { 280, 10 }, Point { 280, 20 } },
            { "preview 0,0-0,0", "preview none" } },
        // Leaving twice clears once; coming back previews the same tile again.
        HoverCase { "leavingAndComingBack", { Point { 10, 10 }, std::nullopt, std::nullopt, Point { 12, 12 } },
            { "preview 0,0-0,0", "preview none", "preview 0,0-0,0" } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TilingGridModel, HoverIsSuppressedDuringADragAndResumesAfterIt)
{
    GridHarness grid;
    grid.model.hoverMoved({ 10, 10 });
    grid.model.dragChanged({ 10, 10 }, { 10, 10 });
    // The drag takes over the hover's tile without a callback of its own.
    EXPECT_FALSE(grid.model.hoveredTile());
    grid.events.clear();
    grid.model.hoverMoved({ 200, 100 });
    grid.model.hoverEnded();
    EXPECT_TRUE(grid.events.isEmpty());
    grid.model.dragEnded();
    grid.events.clear();
    grid.model.hoverMoved({ 12, 12 });
    EXPECT_EQ(grid.events, QStringList { "preview 0,0-0,0" });
}

// --- cancel requests -----------------------------------------------------------------------------

// Another screen's grid on the same shared state is left alone.
TEST(TilingGridModel, CancelDuringADragClearsThePreviewAndTheMouseUpSelectsNothing)
{
    GridHarness grid;
    TilingGridModel other(8, grid.uiStates);
    int otherCallbacks = 0;
    other.setOnTilePreviewChanged([&](const auto&) { ++otherCallbacks; });
    other.setOnTileSelected([&](const auto&) { ++otherCallbacks; });
    grid.model.dragChanged({ 10, 10 }, { 150, 100 });
    grid.events.clear();

    grid.uiStates.requestTileGridDragCancel();
    EXPECT_EQ(grid.events, QStringList { "preview none" });
    EXPECT_EQ(grid.uiStates.draggingTileGridID(), std::nullopt);
    EXPECT_TRUE(grid.model.isDragCancelled());
    EXPECT_FALSE(other.isDragCancelled());
    EXPECT_EQ(otherCallbacks, 0);
    EXPECT_EQ(grid.model.dragOutline(), std::nullopt);

    // Until the button is released nothing shows: neither the drag nor hovering.
    grid.model.dragChanged({ 10, 10 }, { 200, 120 });
    grid.model.hoverMoved({ 200, 120 });
    grid.model.dragEnded();
    EXPECT_EQ(grid.events, QStringList { "preview none" });
    EXPECT_FALSE(grid.model.isDragCancelled());

    // The next press is a fresh drag.
    grid.events.clear();
    grid.drag({ { 150, 100 } });
    EXPECT_EQ(grid.events, QStringList({ "preview 1,1-1,1", "preview none", "select 1,1-1,1" }));
    other.dragChanged({ 10, 10 }, { 10, 10 });
    other.dragEnded();
    EXPECT_EQ(otherCallbacks, 3);
}

// The panels' steppers check that every grid follows the shared dimensions; here, that it repaints.
TEST(TilingGridModel, RepaintsWhenTheSharedDimensionsChange)
{
    GridHarness grid;
    int repaints = 0;
    QObject::connect(&grid.model, &TilingGridModel::displayChanged, [&] { ++repaints; });
    grid.uiStates.setTileGridRowCount(5);
    grid.uiStates.setTileGridColumnCount(7);
    grid.uiStates.setTileGridColumnCount(7); // unchanged
    EXPECT_EQ(repaints, 2);
}

} // namespace
