// Scaling for drawing, band alignment, unique names and property access of the view base.
#include "core/views/band.h"
#include "core/globals.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/views/view.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class PlainView : public TkvView {
public:
    void Draw(TkvCanvas&) override {}
};

struct GlobalsGuard {
    ~GlobalsGuard() {
        kv::CurReport() = nullptr;
        kv::CurPage() = nullptr;
        kv::CurBand() = nullptr;
        kv::CurView() = nullptr;
        kv::DesignerPage() = nullptr;
        kv::DocumentMode() = 0;
    }
};

TEST(ViewScale, InnerRectAndGapsAtFrameWidthsOneAndThree) {
    GlobalsGuard guard;
    struct Case {
        float frameWidth;
        TkvRect inner;
        int gapX, gapY;
    };
    const Case cases[] = {
        {1.0f, {10, 20, 111, 51}, 2, 1},
        {3.0f, {11, 21, 109, 49}, 4, 2},
    };
    for (const Case& c : cases) {
        PlainView v;
        v.SetBounds(10, 20, 100, 30);
        v.FrameTyp = 15;
        v.FrameWidth = c.frameWidth;
        v.ScaleForDrawing();
        EXPECT_EQ(v.InnerRect, c.inner) << c.frameWidth;
        EXPECT_EQ(v.GapX, c.gapX);
        EXPECT_EQ(v.GapY, c.gapY);
        v.RestoreAfterDrawing();
        EXPECT_EQ(v.Left, 10);
        EXPECT_EQ(v.Width, 100);
        EXPECT_EQ(v.FrameWidth, c.frameWidth);
        EXPECT_EQ(v.GapX, 2);
    }
}

TEST(ViewScale, ZoomAndOriginApplyOnlyOutsideDesign) {
    GlobalsGuard guard;
    PlainView v;
    v.SetBounds(10, 20, 101, 31);
    v.ZoomX = v.ZoomY = 1.5;
    v.OriginX = 100;
    v.OriginY = 200;
    kv::DocumentMode() = 1;
    v.ScaleForDrawing();
    // 10 * 1.5 = 15, 101 * 1.5 = 151.5 -> 152 (halves to even), 31 * 1.5 = 46.5 -> 46.
    EXPECT_EQ(v.Left, 115);
    EXPECT_EQ(v.Top, 230);
    EXPECT_EQ(v.Width, 152);
    EXPECT_EQ(v.Height, 46);
    // Right and bottom come from the unscaled sums: (10 + 101) * 1.5 = 166.5 -> 166.
    EXPECT_EQ(v.InnerRect, (TkvRect{115, 230, 267, 277}));
    v.RestoreAfterDrawing();
    kv::DocumentMode() = 0;
    v.ScaleForDrawing();
    EXPECT_EQ(v.ZoomX, 1.0);
    EXPECT_EQ(v.Left, 10);
}

// A run-time band for alignment while building.
struct FakeBand : TkvBand {
    int top = 0, height = 0, width = 0, type = 5;
    uint16_t flags = 0;
    int BandTop() const override { return top; }
    int BandHeight() const override { return height; }
    int BandWidth() const override { return width; }
    uint16_t BandFlags() const override { return flags; }
    int BandType() const override { return type; }
};

PlainView* AddView(TkvPage& page, int left, int top, int width, uint8_t align) {
    auto v = std::make_unique<PlainView>();
    v->SetBounds(left, top, width, 10);
    v->BandAlign = align;
    page.Objects.push_back(std::move(v));
    return static_cast<PlainView*>(page.Objects.back().get());
}

TEST(ViewBandAlign, MovesObjectsAsTheModeSays) {
    GlobalsGuard guard;
    TkvPage page;
    page.UseMargins = 0;
    page.Metrics.PageWidth = 101;
    kv::CurPage() = &page;
    kv::DesignerPage() = &page;

    struct Case {
        const char* what;
        uint8_t align;
        int left, width;
        int wantLeft, wantWidth;
    };
    const Case cases[] = {
        {"center", 3, 7, 50, 25, 50},
        {"left without neighbour", 1, 40, 10, 0, 10},
        {"right without neighbour", 2, 40, 10, 91, 10},
        {"width", 4, 40, 10, 0, 101},
        {"rest without neighbours", 7, 40, 10, 0, 101},
    };
    for (const Case& c : cases) {
        PlainView* v = AddView(page, c.left, 500, c.width, c.align);
        v->AttachCanvas(nullptr);
        EXPECT_EQ(v->Left, c.wantLeft) << c.what;
        EXPECT_EQ(v->Width, c.wantWidth) << c.what;
        EXPECT_EQ(kv::CurView(), v);
        page.Objects.pop_back();
    }
}

TEST(ViewBandAlign, NeighbourKeysSortAsText) {
    GlobalsGuard guard;
    TkvPage page;
    page.Metrics.PageWidth = 20000;
    page.UseMargins = 0;
    kv::CurPage() = &page;
    kv::DesignerPage() = &page;
    AddView(page, 2000, 0, 100, 1);
    AddView(page, 12345, 0, 50, 1);
    AddView(page, 100, 5, 50, 1); // another line
    PlainView* v = AddView(page, 15000, 0, 10, 1);
    v->AttachCanvas(nullptr);
    // "12345" sorts before "2000", so the neighbour at 2000 is taken as the nearest.
    EXPECT_EQ(v->Left, 2100);

    // A right-aligned neighbour: the first (smallest) key.
    PlainView* r1 = AddView(page, 3000, 40, 10, 2);
    AddView(page, 4000, 40, 10, 2);
    PlainView* w = AddView(page, 2500, 40, 30, 2);
    w->AttachCanvas(nullptr);
    EXPECT_EQ(w->Left, r1->Left - 30 - 1);
}

TEST(ViewBandAlign, WhileBuildingBandTopIsTakenOffAndBottomWaitsForPrint) {
    GlobalsGuard guard;
    TkvPage page;
    page.Metrics.PageWidth = 1000;
    page.UseMargins = 0;
    FakeBand band;
    band.top = 300;
    kv::CurPage() = &page;
    kv::CurBand() = &band;
    kv::DocumentMode() = 1;
    AddView(page, 100, 20, 40, 1);
    PlainView* v = AddView(page, 500, 320, 10, 1);
    v->AttachCanvas(nullptr);
    EXPECT_EQ(v->Left, 140);

    PlainView* b = AddView(page, 5, 320, 10, 5);
    b->AttachCanvas(nullptr);
    EXPECT_EQ(b->Top, 320) << "bottom alignment is applied when the object is printed";

    PlainView* w = AddView(page, 5, 999, 10, 4);
    w->AttachCanvas(nullptr);
    EXPECT_EQ(w->Width, 10) << "width alignment inside a band waits for PrintToStream";
    kv::CurBand() = nullptr;
    w->AttachCanvas(nullptr);
    EXPECT_EQ(w->Left, 0);
    EXPECT_EQ(w->Width, 999);
}

TEST(ViewNames, CreateUniqueNameTakesTheFirstFreeNumber) {
    GlobalsGuard guard;
    TkvReport report;
    report.Pages.push_back(std::make_unique<TkvPage>());
    kv::CurReport() = &report;
    for (const char* n : {"Memo1", "Memo2", "Memo4"}) {
        PlainView* v = AddView(*report.Pages[0], 0, 0, 1, 0);
        v->Name = n;
    }
    PlainView v;
    v.NamePrefix = "Memo";
    v.CreateUniqueName();
    EXPECT_EQ(v.Name, "Memo3");
}

TEST(ViewProperties, ByNameIgnoringCase) {
    PlainView v;
    v.Flags = 0x0002;
    v.SetProperty("stretched", true);
    EXPECT_EQ(v.Flags, 0x0003);
    EXPECT_EQ(v.Property("DataField").toText(), QByteArray());
    v.SetProperty("Memo", QByteArray("a\r\nb\nc\rd"));
    EXPECT_EQ(v.Memo, (TkvStringList{"a", "b", "c", "d"}));
    v.Memo = {"a", "b"};
    EXPECT_EQ(v.Property("MEMO").toText(), "a\r\nb\r\n");
    EXPECT_EQ(v.Property("memo.count").toInt(), 2);
    EXPECT_EQ(v.Property("DATAFIELD").toText(), "a");
    v.SetProperty("FrameWidth", 2.5);
    EXPECT_EQ(v.Property("framewidth").toDouble(), 2.5);
    EXPECT_TRUE(v.Property("NoSuchThing").isNull());
    v.SetProperty("NoSuchThing", 5); // ignored
    EXPECT_THROW(v.SetProperty("Left", QByteArray("abc")), TkvVariantError);

    TkvVariant r;
    v.CallMethod("HIDE", {}, {}, {}, r);
    EXPECT_EQ(v.Visible, 0);
    v.CallMethod("SHOW", {}, {}, {}, r);
    EXPECT_NE(v.Visible, 0);
    v.CallMethod("GETINDEXPROPERTY", QByteArray("MEMO"), 1, {}, r);
    EXPECT_EQ(r.toText(), "b");
    v.CallMethod("SETINDEXPROPERTY", QByteArray("MEMO"), 0, QByteArray("z"), r);
    EXPECT_EQ(v.Memo.first(), "z");
    EXPECT_THROW(v.CallMethod("GETINDEXPROPERTY", QByteArray("MEMO"), 5, {}, r), TkvListIndexError);
    v.CallMethod("MEMO.CLEAR", {}, {}, {}, r);
    EXPECT_TRUE(v.Memo.isEmpty());
}

TEST(ViewProperties, RegisteredTableDependsOnClass) {
    PlainView v;
    v.EnsureProperties();
    QList<QByteArray> names;
    for (const auto& p : v.PropertyTable) names << p->PropName;
    EXPECT_EQ(names, (QList<QByteArray>{"Name", "Left", "Top", "Width", "Height", "Flags", "FrameTyp",
                                        "FrameWidth", "FrameColor", "FrameStyle", "FillColor", "Tag",
                                        "BandAlign", "Visible", "Memo", "Memo.Count", "Restrictions"}));
    EXPECT_EQ(v.FindProperty("framestyle")->EnumNames->size(), 6);
    EXPECT_EQ(v.FindProperty("NAME")->PropKind, 0x0101);
}

TEST(ViewClip, RegionCoversTheFrame) {
    PlainView v;
    v.SetBounds(10, 20, 100, 30);
    v.FrameTyp = 15;
    v.FrameWidth = 3;
    QRegion r;
    v.GetClipRegion(false, r);
    // outer = round(1.5) = 2, inner = round(1) = 1.
    EXPECT_EQ(r.boundingRect(), TkvRect({8, 18, 112, 52}).toQRect());
    v.FrameStyle = 5;
    v.GetClipRegion(true, r);
    // outer = round(4.5) = 4, inner = round(4) = 4, widened by 10.
    EXPECT_EQ(r.boundingRect(), TkvRect({-4, 6, 125, 65}).toQRect());
}

// Edges and frame widths from a file may be anything: the region is computed without overflow and
// clamped to the coordinate range, never wrapped into an empty or misplaced rectangle.
TEST(ViewClip, ExtremeGeometryIsClampedNotWrapped) {
    const int m = kv::kMaxCoord;
    struct Case {
        const char* what;
        int left, top, width, height, frameTyp;
        float frameWidth;
        QRect expected;
    };
    const Case cases[] = {
        {"wide from the left", -100, 0, INT_MAX, 10, 0, 1, TkvRect{-110, -10, m, 21}.toQRect()},
        {"tall from the top", 0, -100, 10, INT_MAX, 0, 1, TkvRect{-10, -110, 21, m}.toQRect()},
        {"huge frame", 0, 0, 10, 10, 15, 1e30f, TkvRect{-m, -m, m, m}.toQRect()},
        {"left edge at the minimum", INT_MIN, 0, INT_MAX, 10, 4, 3, TkvRect{-m, -10, 10, 21}.toQRect()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlainView v;
        v.Left = c.left, v.Top = c.top, v.Width = c.width, v.Height = c.height;
        v.FrameTyp = c.frameTyp;
        v.FrameWidth = c.frameWidth;
        QRegion r;
        v.GetClipRegion(true, r);
        EXPECT_EQ(r.boundingRect(), c.expected);
    }
}

// Margins from a file past the page: the print area is clamped, not wrapped.
TEST(PagePrintArea, ExtremeMarginsAreClamped) {
    TkvPage page;
    page.UseMargins = 1;
    page.Metrics.PageWidth = 100;
    page.Metrics.PageHeight = 100;
    page.RightMargin = INT_MIN + 1;
    page.BottomMargin = INT_MIN + 1;
    EXPECT_EQ(page.PrintAreaRight(), kv::kMaxCoord);
    EXPECT_EQ(page.PrintAreaBottom(), kv::kMaxCoord);
    page.LeftMargin = INT_MIN + 1;
    EXPECT_GE(page.ColumnWidthInUnits(), 0);
}

} // namespace
