// The designer surface on real widgets: selection by click, Shift and rubber band, moving with and
// without the grid, each resize handle, group resize, the shared border, a band carrying its
// contents, insertion by each tool and the line tool's snapping. Runs at scale 1 and 2.
#include "designer_fixture.h"

#include "core/views/line_view.h"
#include "core/views/memo_view.h"
#include "core/views/subreport_view.h"

#include <QSet>
#include <QTabBar>

using namespace designer_test;

namespace {

class DesignerPageTest : public DesignerFixture {};

TEST_F(DesignerPageTest, ClickShiftClickAndRubberBandSelect) {
    TkvView* a = Add(kvvt::Text, 100, 100, 80, 20);
    TkvView* b = Add(kvvt::Text, 150, 110, 80, 20); // above a, overlapping it
    TkvView* line = Add(kvvt::Line, 100, 300, 200, 0);
    AddBand(kvbt::MasterData, 380, 40);
    AddBand(kvbt::PageHeader, 440, 40);
    TkvView* inBand = Add(kvvt::Text, 300, 450, 50, 20);

    struct Case {
        const char* what;
        std::function<void()> act;
        std::vector<TkvView*> selected;
    };
    const std::vector<Case> cases = {
        {"click on the overlap takes the top-most", [&] { Click({160, 115}); }, {b}},
        {"shift-click adds", [&] { Click({105, 105}, Qt::ShiftModifier); }, {a, b}},
        {"shift-click on a selected view drops it", [&] { Click({160, 125}, Qt::ShiftModifier); }, {a}},
        {"click on empty paper unselects", [&] { Click({600, 250}); }, {}},
        {"a line of no height is hit 2 pixels away", [&] { Click({150, 302}); }, {line}},
        {"rubber band selects what it touches", [&] { Drag({90, 90}, {160, 300}); }, {a, b, line}},
        {"rubber band over bands and a text selects only the text", [&] { Drag({600, 370}, {320, 490}); }, {inBand}},
        {"rubber band over bands alone selects the bands", [&] { Drag({650, 370}, {680, 490}); },
         {Page()->Object(3), Page()->Object(4)}},
        {"ctrl starts a rubber band on a view", [&] { Drag({105, 105}, {110, 112}, Qt::ControlModifier); }, {a}},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(Selected(), c.selected) << c.what;
        EXPECT_EQ(form_->Selection().SelNum, static_cast<int>(c.selected.size())) << c.what;
    }
}

TEST_F(DesignerPageTest, MovesByGridStepsOrPixels) {
    struct Case {
        int grid;
        bool align;
        int drag;
        Qt::KeyboardModifiers mods;
        int moved;
    };
    const Case cases[] = {
        {8, true, 7, Qt::NoModifier, 0},  {8, true, 15, Qt::NoModifier, 8},  {8, true, -17, Qt::NoModifier, -16},
        {8, true, 7, Qt::AltModifier, 7}, {4, false, 5, Qt::NoModifier, 5}, {4, false, 5, Qt::AltModifier, 4},
    };
    for (const Case& c : cases) {
        TkvView* v = Add(kvvt::Text, 200, 200, 60, 20);
        form_->Options().GridSize = c.grid;
        form_->Options().GridAlign = c.align;
        Click({210, 210});
        Drag({210, 210}, {210 + c.drag, 210 + c.drag}, c.mods);
        EXPECT_EQ(v->Left, 200 + c.moved) << c.grid << " " << c.drag;
        EXPECT_EQ(v->Top, 200 + c.moved) << c.grid << " " << c.drag;
        Page()->Objects.clear();
        form_->Surface()->UnselectAll();
    }
}

TEST_F(DesignerPageTest, EachHandleResizesItsSide) {
    // From (100, 100, 80, 40), each handle dragged by (+10, +6).
    struct Case {
        QPoint handle;
        QRect result;
    };
    const Case cases[] = {
        {{100, 100}, {110, 106, 70, 34}}, {{180, 100}, {100, 106, 90, 34}}, {{100, 140}, {110, 100, 70, 46}},
        {{180, 140}, {100, 100, 90, 46}}, {{140, 100}, {100, 106, 80, 34}}, {{140, 140}, {100, 100, 80, 46}},
        {{100, 120}, {110, 100, 70, 40}}, {{180, 120}, {100, 100, 90, 40}},
    };
    for (const Case& c : cases) {
        TkvView* v = Add(kvvt::Text, 100, 100, 80, 40);
        Click({120, 110});
        Drag(c.handle, c.handle + QPoint(10, 6));
        EXPECT_EQ(RectOf(v), c.result) << c.handle.x() << "," << c.handle.y();
        Page()->Objects.clear();
        form_->Surface()->UnselectAll();
    }
    // Dragged past the opposite side, the size turns positive on release.
    TkvView* v = Add(kvvt::Text, 100, 100, 80, 40);
    Click({120, 110});
    Drag({180, 140}, {60, 120});
    EXPECT_EQ(RectOf(v), QRect(60, 100, 40, 20));
}

TEST_F(DesignerPageTest, GroupResizeKeepsNeighboursTouching) {
    TkvView* a = Add(kvvt::Text, 100, 100, 33, 20);
    TkvView* b = Add(kvvt::Text, 133, 100, 33, 20);
    Click({110, 110});
    Click({140, 110}, Qt::ShiftModifier);
    ASSERT_EQ(form_->Selection().AnchorIndex, 1);
    // The anchor's bottom-right handle: the group's right edge from 166 to 232 doubles its width.
    Drag({166, 120}, {232, 140});
    EXPECT_EQ(a->Left + a->Width, b->Left);
    EXPECT_EQ(RectOf(a), QRect(100, 100, 66, 40));
    EXPECT_EQ(RectOf(b), QRect(166, 100, 66, 40));

    // A group with no width (two vertical lines one above the other) resizes without a division
    // by zero: its horizontal extent stays.
    Page()->Objects.clear();
    TkvView* l1 = Add(kvvt::Line, 300, 100, 0, 50);
    TkvView* l2 = Add(kvvt::Line, 300, 200, 0, 50);
    form_->SelectAllCommand();
    Drag({300, 250}, {320, 300});
    EXPECT_EQ(l1->Left, 300);
    EXPECT_EQ(l1->Width, 0);
    EXPECT_EQ(l2->Left, 300);
    EXPECT_EQ(l2->Top + l2->Height, 300);
}

TEST_F(DesignerPageTest, SharedBorderMovesBetweenNeighbours) {
    TkvView* a = Add(kvvt::Text, 100, 100, 50, 20);
    TkvView* b = Add(kvvt::Text, 150, 100, 60, 20);
    TkvView* c = Add(kvvt::Text, 150, 200, 60, 20); // selected, but not beside a
    form_->SelectAllCommand();
    Hover({150, 108});
    EXPECT_EQ(Surface()->cursor().shape(), Qt::SplitHCursor);
    Drag({150, 108}, {170, 108});
    EXPECT_EQ(RectOf(a), QRect(100, 100, 70, 20));
    EXPECT_EQ(RectOf(b), QRect(170, 100, 40, 20));
    EXPECT_EQ(RectOf(c), QRect(150, 200, 60, 20));
    // A border dragged past the right view's far edge is refused.
    Drag({170, 108}, {260, 108});
    EXPECT_EQ(RectOf(b), QRect(170, 100, 40, 20));
}

TEST_F(DesignerPageTest, BandCarriesWhatLiesInside) {
    TkvBandView* band = AddBand(kvbt::MasterData, 200, 40);
    TkvView* inside = Add(kvvt::Text, 50, 210, 60, 20);
    TkvView* across = Add(kvvt::Text, 150, 230, 60, 20); // reaches below the band
    Click({400, 205});
    ASSERT_EQ(Selected(), std::vector<TkvView*>{band});
    Drag({400, 205}, {400, 245});
    EXPECT_EQ(band->Top, 240);
    EXPECT_EQ(inside->Top, 250);
    EXPECT_EQ(across->Top, 230);
    // With Alt the band moves alone.
    form_->Surface()->UnselectAll();
    Click({400, 245});
    Drag({400, 245}, {400, 265}, Qt::AltModifier);
    EXPECT_EQ(band->Top, 260);
    EXPECT_EQ(inside->Top, 250);
}

TEST_F(DesignerPageTest, InsertsWithEachTool) {
    form_->Options().GridAlign = true;
    form_->Options().GridSize = 8;
    struct Case {
        int tag;
        QPoint from, to;
        uint8_t type;
        QRect rect;
    };
    const int pageWidth = Surface()->width();
    const Case cases[] = {
        {kvtag::Text, {101, 101}, {101, 101}, kvvt::Text, {96, 96, 96, 18}},
        {kvtag::Picture, {203, 301}, {203, 301}, kvvt::Picture, {200, 296, 36, 36}},
        {kvtag::Text, {300, 400}, {405, 431}, kvvt::Text, {296, 400, 104, 24}},
        {kvtag::Band, {10, 500}, {20, 530}, kvvt::Band, {0, 496, pageWidth, 32}},
    };
    for (const Case& c : cases) {
        form_->SetTool(TkvDesignerTool::Insert, c.tag);
        Drag(c.from, c.to);
        ASSERT_EQ(Selected().size(), 1u) << c.tag;
        const TkvView* v = Selected().front();
        EXPECT_EQ(v->ObjectType, c.type);
        EXPECT_EQ(RectOf(v), c.rect) << c.tag;
        EXPECT_EQ(form_->Tool(), TkvDesignerTool::Select);
    }
    // Names and IDs are unique; the band went to the front of the list.
    QSet<QByteArray> names;
    QSet<uint32_t> ids;
    for (const auto& v : Page()->Objects) names.insert(v->Name.toUpper()), ids.insert(v->ID);
    EXPECT_EQ(names.size(), Page()->ObjectCount());
    EXPECT_EQ(ids.size(), Page()->ObjectCount());
    EXPECT_EQ(Page()->Object(0)->ObjectType, kvvt::Band);

    // A second band of a type that cannot repeat is not offered.
    const std::vector<int> offered = form_->OfferedBandTypes();
    EXPECT_NE(std::find(offered.begin(), offered.end(), kvbt::MasterData), offered.end());
    AddBand(kvbt::PageHeader, 600, 20);
    const std::vector<int> after = form_->OfferedBandTypes();
    EXPECT_EQ(std::find(after.begin(), after.end(), kvbt::PageHeader), after.end());

    // A sub-report brings a page of its own and points at it.
    form_->SetTool(TkvDesignerTool::Insert, kvtag::SubReport);
    Drag({400, 700}, {500, 740});
    ASSERT_EQ(report_.PageCount(), 2);
    auto* sub = dynamic_cast<TkvSubReportView*>(Selected().front());
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->SubPageIndex, 1);
    EXPECT_EQ(form_->PageTabs()->count(), 2);
    EXPECT_EQ(form_->PageTabs()->tabText(1), QString::fromUtf8(sub->Name));

    // The insertion tool stays when asked to.
    form_->Options().KeepTool = true;
    form_->SetTool(TkvDesignerTool::Insert, kvtag::Text);
    Drag({600, 800}, {600, 800});
    EXPECT_EQ(form_->Tool(), TkvDesignerTool::Insert);
    // Escape puts the arrow back and unselects.
    Key(Qt::Key_Escape);
    EXPECT_EQ(form_->Tool(), TkvDesignerTool::Select);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(DesignerPageTest, LineToolSnapsToCornersAndGrid) {
    form_->Options().GridAlign = true;
    form_->Options().GridSize = 8;
    Add(kvvt::Text, 101, 101, 50, 20);
    form_->SetTool(TkvDesignerTool::Line);
    // Starts 3 pixels from the corner (151, 121): the corner wins over the grid.
    Drag({153, 123}, {301, 125});
    auto* line = dynamic_cast<TkvLineView*>(Selected().front());
    ASSERT_TRUE(line);
    EXPECT_EQ(line->Left, 151);
    EXPECT_EQ(line->Top, 121);
    EXPECT_EQ(line->Width, 153); // to the grid point (304, 128)
    EXPECT_EQ(line->Height, 0);  // wider than high: horizontal
    EXPECT_FLOAT_EQ(line->FrameWidth, shared_.Defaults.LineWidth);
    // Far from any corner the start rounds to the nearest grid point; drawn leftwards, the
    // line keeps its extent.
    form_->SetTool(TkvDesignerTool::Line);
    Drag({401, 601}, {403, 501});
    line = dynamic_cast<TkvLineView*>(Selected().front());
    EXPECT_EQ(QRect(line->Left, line->Top, line->Width, line->Height), QRect(400, 504, 0, 96));
}

TEST_F(DesignerPageTest, DrawsGridViewsAndHandlesAtTheDeviceScale) {
    TkvView* v = Add(kvvt::Text, 100, 100, 80, 20);
    v->Memo = {"Hello"};
    v->FrameTyp = 15;
    Click({120, 110});
    const QImage image = Surface()->grab().toImage();
    const qreal dpr = image.devicePixelRatio();
    auto at = [&](int x, int y) { return image.pixelColor(QPoint(int(x * dpr), int(y * dpr))); };
    EXPECT_EQ(at(100, 100), QColor(Qt::black)); // a handle on the corner
    EXPECT_EQ(at(140, 110).rgb() & 0xFFFFFF, QColor(Qt::white).rgb() & 0xFFFFFF);
    // Grid dots every 4 page units on empty paper.
    EXPECT_NE(at(400, 400), QColor(Qt::white));
    EXPECT_EQ(at(401, 401), QColor(Qt::white));
    // Escape erases the handles exactly.
    Key(Qt::Key_Escape);
    EXPECT_EQ(at(182, 122), QColor(Qt::black));
    const QImage after = Surface()->grab().toImage();
    EXPECT_EQ(after.pixelColor(QPoint(int(182 * dpr), int(122 * dpr))), QColor(Qt::white));
}

} // namespace
