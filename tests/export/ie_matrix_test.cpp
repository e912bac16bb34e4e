// The layout matrix: grid lines merged within the inaccuracy and split above the maximum cell
// size, spans, covering and cutting, inherited fills, frame optimisation, stacked pages, the cap.
#include "export/export_fixture.h"
#include "export/ie_matrix.h"

#include <gtest/gtest.h>

namespace {

using kvtest::MakeMemo;
using kvtest::MemoSpec;

void Add(TkvIEMatrix& m, const MemoSpec& s) {
    auto v = MakeMemo(s);
    m.AddObject(*v);
}

TEST(IEMatrix, CloseLinesMergeOntoTheLargest) {
    TkvIEMatrix m;
    m.Inaccuracy = 1;
    Add(m, {100, 0, 100, 10, "a"});
    Add(m, {101, 20, 99, 10, "b"});
    m.Prepare();
    ASSERT_EQ(m.ColCount(), 2); // 100 merged onto 101, then 200
    EXPECT_DOUBLE_EQ(m.XPosition(0), 101);
    EXPECT_EQ(m.Cell(0, 0), 0); // the object at 100 starts in the column of 101
    EXPECT_EQ(m.Placement(0).ColSpan, 1);
}

TEST(IEMatrix, TallObjectIsSplitIntoRows) {
    TkvIEMatrix m;
    m.MaxCellHeight = 535.79;
    Add(m, {0, 0, 50, 1200, "tall"});
    m.Prepare();
    ASSERT_EQ(m.RowCount(), 4);
    EXPECT_DOUBLE_EQ(m.YPosition(1), 535.79);
    EXPECT_DOUBLE_EQ(m.YPosition(2), 1071.58);
    EXPECT_EQ(m.Placement(0).RowSpan, 3);
    EXPECT_EQ(m.Placement(0).ColSpan, 1);
}

TEST(IEMatrix, CoveredObjectIsCutAndKeepsItsOuterFrames) {
    TkvIEMatrix m;
    Add(m, {0, 0, 300, 300, "big", 15, 0, 0xFF0000});
    Add(m, {100, 100, 100, 100, "top"}); // transparent, over the middle
    m.Prepare();
    ASSERT_EQ(m.ColCount(), 4);
    ASSERT_EQ(m.RowCount(), 4);
    // The first part in row order: the whole top row, with the text and the top, left, right sides.
    const int first = m.Cell(0, 0);
    ASSERT_GE(first, 2);
    const TkvIEMPlacement& p = m.Placement(first);
    EXPECT_EQ(p.ColSpan, 3);
    EXPECT_EQ(p.RowSpan, 1);
    EXPECT_EQ(p.Obj.TextLines, TkvStringList{"big"});
    EXPECT_EQ(m.Style(p.Obj.StyleIndex).FrameTyp, 8 | 4 | 1);
    // The other parts are empty text cells with the sides that lie on the object's edges: the left
    // column (rows 1-2), the right column and the piece below the covering object.
    const TkvIEMPlacement& left = m.Placement(m.Cell(0, 2));
    EXPECT_TRUE(left.Obj.TextLines.isEmpty());
    EXPECT_TRUE(left.Obj.IsText);
    EXPECT_EQ(left.RowSpan, 2);
    EXPECT_EQ(m.Style(left.Obj.StyleIndex).FrameTyp, 4 | 2);
    EXPECT_EQ(m.Style(m.CellObject(2, 1)->StyleIndex).FrameTyp, 1 | 2);
    EXPECT_EQ(m.Style(m.CellObject(1, 2)->StyleIndex).FrameTyp, 2);
    // The transparent object on top takes the fill of the object beneath.
    const TkvIEMObject* over = m.CellObject(1, 1);
    ASSERT_NE(over, nullptr);
    EXPECT_EQ(over->TextLines, TkvStringList{"top"});
    EXPECT_EQ(m.Style(over->StyleIndex).FillColor, 0xFF0000u);
    EXPECT_EQ(m.Cell(3, 3), -1);
    EXPECT_EQ(m.Cell(-1, 0), -1);
    EXPECT_EQ(m.Cell(0, 99), -1);
}

TEST(IEMatrix, CutTextGoesToItsLargestPart) {
    // A band drawn over all but a thin strip at the top: the text belongs in the part below, where
    // it has room, not in the strip met first.
    TkvIEMatrix m;
    Add(m, {0, 0, 300, 300, "big"});
    Add(m, {0, 10, 300, 200, "band"});
    m.Prepare();
    ASSERT_EQ(m.RowCount(), 4);
    EXPECT_TRUE(m.CellObject(0, 0)->TextLines.isEmpty());
    EXPECT_EQ(m.CellObject(0, 2)->TextLines, TkvStringList{"big"});
    EXPECT_EQ(m.CellObject(0, 1)->TextLines, TkvStringList{"band"});
}

TEST(IEMatrix, SharedFrameLinesAreDrawnOnce) {
    TkvIEMatrix m;
    m.FramesOptimization = true;
    Add(m, {0, 0, 100, 20, "a", 15});
    Add(m, {0, 20, 100, 20, "b", 15});
    m.Prepare();
    EXPECT_EQ(m.Style(m.CellObject(0, 0)->StyleIndex).FrameTyp, 15);
    EXPECT_EQ(m.Style(m.CellObject(0, 1)->StyleIndex).FrameTyp, 15 & ~8);
}

TEST(IEMatrix, PagesStackAndRecordTheirBreaks) {
    TkvIEMatrix m;
    Add(m, {0, 900, 100, 100, "page 1"});
    m.NewPage();
    Add(m, {0, 0, 100, 50, "page 2"});
    m.NewPage();
    m.Prepare();
    ASSERT_EQ(m.PageBreakCount(), 2);
    EXPECT_DOUBLE_EQ(m.PageBreak(0), 1000);
    EXPECT_DOUBLE_EQ(m.PageBreak(1), 1050);
    EXPECT_DOUBLE_EQ(m.Placement(1).Obj.Top, 1000);
    EXPECT_EQ(m.PageBreak(5), 0);
}

TEST(IEMatrix, WhiteBackgroundAndEmptyMatrix) {
    TkvIEMatrix empty;
    empty.Prepare();
    EXPECT_EQ(empty.ColCount(), 0);
    TkvIEMatrix white;
    white.WhiteBackground = true;
    Add(white, {50, 50, 50, 50, "x"});
    white.Prepare();
    EXPECT_EQ(white.ColCount(), 3);
    EXPECT_EQ(white.Style(white.CellObject(0, 0)->StyleIndex).FillColor, 0xFFFFFFu);
    EXPECT_EQ(white.CellObject(1, 1)->TextLines, TkvStringList{"x"});
}

TEST(IEMatrix, GridBeyondTheCapIsRefused) {
    TkvIEMatrix m;
    for (int i = 0; i < 7000; ++i) Add(m, {i, i, 1, 1, "d"}); // a diagonal: 7000 x 7000 cells
    EXPECT_THROW(m.Prepare(), TkvExportError);
}

} // namespace
