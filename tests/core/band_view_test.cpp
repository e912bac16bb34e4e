// The design-time band: defaults, its record tail with every version gate, properties by name
// (at design time and forwarded to the running band), the inspector's lists, hit region and the
// geometry its drawing imposes.
#include "band_control_support.h"

#include "core/views/band.h"
#include "core/views/band_view.h"
#include "core/report/page.h"
#include "core/views/view_factory.h"

#include <gtest/gtest.h>

using namespace kvtest;

namespace {

QByteArray WrittenBand(TkvBandView& band) {
    TkvMemoryStream s;
    band.SaveToStream(s);
    return s.Data();
}

void Fill(TkvBandView& b) {
    b.Name = "MasterData1";
    b.SetBandType(kvbt::MasterData);
    b.SetDataSource("Customers");
    b.SetBounds(0, 120, 700, 40);
    b.Flags = 0x00CF;
    b.ScriptLines = {"begin", "end"};
    b.ChildBand = "Child1";
    b.Master = "MasterData0";
    b.Columns = 3;
    b.ColumnWidth = 180;
    b.ColumnGap = -5;
    b.NewColumnAfter = 0;
}

TEST(BandView, ConstructorValues) {
    TkvBandView b;
    EXPECT_EQ(b.Flags, 0x0030);
    EXPECT_EQ(b.Columns, 1);
    EXPECT_EQ(b.ColumnWidth, 200);
    EXPECT_EQ(b.ColumnGap, 20);
    EXPECT_EQ(b.NewColumnAfter, 1);
    EXPECT_EQ(b.ObjectType, kvvt::Band);
    EXPECT_EQ(b.NamePrefix, "Band");
    EXPECT_EQ(b.DisplayFormat, 0u);
    EXPECT_TRUE(b.ChildBand.isEmpty());
    EXPECT_TRUE(b.Master.isEmpty());
}

TEST(BandView, BandTypeKeepsItsLowSevenBitsInFrameTyp) {
    TkvBandView b;
    b.SetBandType(0x80 | kvbt::GroupHeader);
    EXPECT_EQ(b.BandType(), kvbt::GroupHeader);
    EXPECT_EQ(b.FrameTyp, kvbt::GroupHeader);
    b.SetProperty("BandType", 0x95);
    EXPECT_EQ(b.BandType(), 0x15);
    EXPECT_EQ(b.Property("bandtype").toInt(), 0x15);
    EXPECT_EQ(kv::BandTypeName(kvbt::Child), "Child");
    EXPECT_EQ(kv::BandTypeName(kvbt::None), "None");
    EXPECT_TRUE(kv::BandTypeName(23).isEmpty());
    EXPECT_TRUE(kv::BandTypeName(-1).isEmpty());
}

TEST(BandViewRecord, WrittenRecordReadsBackFieldByField) {
    GlobalsGuard guard;
    TkvBandView a;
    Fill(a);
    const QByteArray bytes = WrittenBand(a);
    EXPECT_EQ(a.ClassRecordVersion, 1) << "the writer marks the tail with Master";

    kv::StreamVersion = 25;
    TkvBandView b;
    TkvMemoryStream s(bytes);
    b.LoadFromStream(s);
    EXPECT_EQ(s.Position(), bytes.size());
    EXPECT_EQ(b.Name, a.Name);
    EXPECT_EQ(b.BandType(), kvbt::MasterData);
    EXPECT_EQ(b.DataSource(), "Customers");
    EXPECT_EQ(b.Left, 0);
    EXPECT_EQ(b.Top, 120);
    EXPECT_EQ(b.Width, 700);
    EXPECT_EQ(b.Height, 40);
    EXPECT_EQ(b.Flags, 0x00CF);
    EXPECT_EQ(b.ScriptLines, a.ScriptLines);
    EXPECT_EQ(b.RecordVersion, 2);
    EXPECT_EQ(b.ClassRecordVersion, 1);
    EXPECT_EQ(b.ChildBand, "Child1");
    EXPECT_EQ(b.Master, "MasterData0");
    EXPECT_EQ(b.Columns, 3);
    EXPECT_EQ(b.ColumnWidth, 180);
    EXPECT_EQ(b.ColumnGap, -5);
    EXPECT_EQ(b.NewColumnAfter, 0);

    // And the copy writes the same bytes again.
    EXPECT_EQ(WrittenBand(b), bytes);
}

TEST(BandViewRecord, TailLayoutIsChildBandColumnBlockMaster) {
    TkvBandView a;
    Fill(a);
    TkvMemoryStream tail;
    kv::WriteStreamString(tail, "Child1");
    tail.WriteInt(3);
    tail.WriteInt(180);
    tail.WriteInt(-5);
    tail.WriteInt(0);
    kv::WriteStreamString(tail, "MasterData0");
    EXPECT_TRUE(WrittenBand(a).endsWith(tail.Data()));
}

struct VersionCase {
    int version;
    uint8_t recordVersion;
    uint8_t classRecordVersion;
    bool hasTail;
    bool hasMaster;
};

TEST(BandViewRecord, EveryAcceptedVersionAndItsGates) {
    GlobalsGuard guard;
    const VersionCase cases[] = {
        {21, 0, 0, false, false}, {22, 0, 0, false, false}, {23, 0, 0, false, false},
        {24, 2, 0, true, false},  {24, 1, 9, true, false},  {24, 2, 1, true, true},
        {25, 2, 1, true, true},   {25, 3, 0, true, true},   {25, 2, 0, true, false},
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " record " << int(c.recordVersion)
                                        << "." << int(c.classRecordVersion));
        CommonRecord r;
        r.recordVersion = c.recordVersion;
        r.classRecordVersion = c.classRecordVersion;
        r.frameTyp = kvbt::GroupHeader;
        r.displayFormatText = "[Orders.CustNo]";
        TkvMemoryStream s;
        PutCommonRecord(s, c.version, r);
        if (c.hasTail) {
            PutString(s, c.version, "Child2");
            s.WriteInt(2);
            s.WriteInt(150);
            s.WriteInt(10);
            s.WriteInt(0);
            if (c.hasMaster) PutString(s, c.version, "DetailData1");
        }
        s.WriteByte(0xEE); // the next entry: must not be read

        kv::StreamVersion = static_cast<uint8_t>(c.version);
        TkvBandView b;
        TkvMemoryStream in(s.Data());
        b.LoadFromStream(in);
        EXPECT_EQ(in.Position(), s.Data().size() - 1);
        EXPECT_EQ(b.BandType(), kvbt::GroupHeader);
        EXPECT_EQ(b.Property("Condition").toText(), "[Orders.CustNo]");
        EXPECT_EQ(b.Flags, 0x0031);
        EXPECT_EQ(b.BandAlign, 0);
        if (c.version >= 23) {
            EXPECT_EQ(b.ScriptLines, (TkvStringList{"begin", "end"}));
        } else {
            EXPECT_TRUE(b.ScriptLines.isEmpty());
        }
        EXPECT_EQ(b.ChildBand, c.hasTail ? "Child2" : "");
        EXPECT_EQ(b.Columns, c.hasTail ? 2 : 1);
        EXPECT_EQ(b.ColumnWidth, c.hasTail ? 150 : 200);
        EXPECT_EQ(b.ColumnGap, c.hasTail ? 10 : 20);
        EXPECT_EQ(b.NewColumnAfter, c.hasTail ? 0 : 1);
        EXPECT_EQ(b.Master, c.hasMaster ? "DetailData1" : "");
    }
}

TEST(BandViewRecord, EveryPrefixOfARecordIsAStreamError) {
    GlobalsGuard guard;
    TkvBandView a;
    Fill(a);
    const QByteArray bytes = WrittenBand(a);
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        TkvBandView b;
        TkvMemoryStream s(bytes.left(n));
        EXPECT_THROW(b.LoadFromStream(s), TkvStreamError) << "prefix " << n;
    }
}

TEST(BandViewRecord, MadeByTypeByteTwoThroughTheFactory) {
    GlobalsGuard guard;
    kv::RegisterViewType(kvvt::Band, [] { return std::make_unique<TkvBandView>(); });
    TkvBandView a;
    Fill(a);
    TkvMemoryStream s;
    kv::WriteObjectEntry(s, a);
    EXPECT_EQ(s.Data().at(0), char(2));
    s.Seek(0);
    auto v = kv::ReadObjectEntry(s, false);
    auto* b = dynamic_cast<TkvBandView*>(v.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Master, "MasterData0");
}

// ---------------------------------------------------------------- properties

struct PropCase {
    const char* name;
    TkvVariant value;
    TkvVariant readBack;
};

TEST(BandViewProperties, SetAndGetByName) {
    const PropCase cases[] = {
        {"ChildBand", "Child3", "Child3"},
        {"master", "MasterData2", "MasterData2"},
        {"Condition", "[Orders.Date]", "[Orders.Date]"},
        {"Columns", 4, 4},
        {"COLUMNWIDTH", 250, 250},
        {"ColumnGap", 12, 12},
        {"NewColumnAfter", 0, 0},
        {"Stretched", true, true},
        {"FormNewPage", true, true},
        {"PrintIfSubsetEmpty", true, true},
        {"Breaked", true, true},
        {"OnFirstPage", false, false},
        {"OnLastPage", false, false},
        {"RepeatHeader", true, true},
        {"PrintChildIfInvisible", true, true},
        {"Left", 7, 7},
        {"Visible", false, false},
    };
    for (const PropCase& c : cases) {
        SCOPED_TRACE(c.name);
        TkvBandView b;
        b.SetProperty(c.name, c.value);
        EXPECT_EQ(b.Property(c.name), c.readBack);
    }
}

TEST(BandViewProperties, FlagNamesChangeOnlyTheirBit) {
    const std::pair<const char*, uint16_t> flags[] = {
        {"STRETCHED", 0x01},    {"FORMNEWPAGE", 0x02},           {"PRINTIFSUBSETEMPTY", 0x04},
        {"BREAKED", 0x08},      {"ONFIRSTPAGE", 0x10},           {"ONLASTPAGE", 0x20},
        {"REPEATHEADER", 0x40}, {"PRINTCHILDIFINVISIBLE", 0x80},
    };
    for (const auto& [name, bit] : flags) {
        SCOPED_TRACE(name);
        TkvBandView b;
        b.Flags = 0xA55A & ~bit;
        b.SetProperty(name, true);
        EXPECT_EQ(b.Flags, (0xA55A & ~bit) | bit);
        b.Flags = 0xFFFF;
        b.SetProperty(name, false);
        EXPECT_EQ(b.Flags, 0xFFFF & ~bit);
        EXPECT_EQ(b.Property(name), TkvVariant(false));
    }
}

TEST(BandViewProperties, ConditionIsTheDataSourceTextAndDataSourceIsOnlyForTheRunningBand) {
    TkvBandView b;
    b.SetBandType(kvbt::GroupHeader);
    b.SetProperty("CONDITION", "[Cust.Region]");
    EXPECT_EQ(b.DataSource(), "[Cust.Region]");
    EXPECT_EQ(b.DisplayFormatText, "[Cust.Region]");
    b.SetProperty("DataSource", "Other");
    EXPECT_EQ(b.DataSource(), "[Cust.Region]") << "without a running band the view keeps its source";
    EXPECT_TRUE(b.Property("EOF").isNull()) << "no running band: no answer";
    EXPECT_TRUE(b.Property("NoSuchName").isNull());
    TkvVariant r;
    b.CallMethod("NEXT", {}, {}, {}, r); // nothing to move: no failure
}

// A running band that remembers what the band view told it.
class FakeRunBand : public TkvBand, public TkvBandViewLink {
public:
    int BandTop() const override { return 0; }
    int BandHeight() const override { return 0; }
    int BandWidth() const override { return 0; }
    uint16_t BandFlags() const override { return 0; }
    int BandType() const override { return kvbt::MasterData; }

    void SetChildBand(TkvBand* c) override {
        child = c;
        childSet = true;
    }
    bool Breaked() const override { return breaked; }
    void SetBreaked(bool b) override { breaked = b; }
    void SetGroupCondition(const QByteArray& c) override { condition = c; }
    int Coordinate(const QByteArray& n) const override {
        return n == "LEFT" ? 11 : n == "TOP" ? 22 : n == "WIDTH" ? 33 : 44;
    }
    void SetCoordinate(const QByteArray& n, int v) override { coords.emplace_back(n, v); }
    bool BandVisible() const override { return visible; }
    void SetBandVisible(bool v) override { visible = v; }
    void ReplaceDataSource(const QByteArray& t) override { source = t; }
    bool HasDataSource() const override { return hasSource; }
    bool DataSourceEof() override { return true; }
    void DataSourceNext() override { moves += "N"; }
    void DataSourcePrior() override { moves += "P"; }
    void DataSourceFirst() override { moves += "F"; }

    TkvBand* child = nullptr;
    bool childSet = false;
    bool breaked = false;
    bool visible = true;
    bool hasSource = true;
    QByteArray condition, source, moves;
    std::vector<std::pair<QByteArray, int>> coords;
};

TEST(BandViewProperties, WhileBuildingScriptsReachTheRunningBand) {
    GlobalsGuard guard;
    TkvPage page;
    auto child = std::make_unique<TkvBandView>();
    child->Name = "Child1";
    FakeRunBand childRun;
    child->OwnerBand = &childRun;
    page.Objects.push_back(std::move(child));
    auto owned = std::make_unique<TkvBandView>();
    TkvBandView& b = *owned;
    page.Objects.push_back(std::move(owned));
    FakeRunBand run;
    b.OwnerBand = &run;
    kv::CurPage() = &page;
    kv::DocumentMode() = 1;

    b.SetProperty("ChildBand", "Child1");
    EXPECT_EQ(run.child, &childRun);
    EXPECT_EQ(b.ChildBand, "Child1");
    b.SetProperty("ChildBand", "Missing");
    EXPECT_TRUE(run.childSet);
    EXPECT_EQ(run.child, nullptr) << "an unknown name leaves the running band without a child";
    EXPECT_EQ(b.ChildBand, "Missing");

    b.SetProperty("Breaked", true);
    EXPECT_TRUE(run.breaked);
    run.breaked = false;
    EXPECT_EQ(b.Property("Breaked"), TkvVariant(false)) << "read from the running band";
    EXPECT_TRUE(b.Flags & kvbf::Breaked) << "the view's own bit is set too";

    b.SetProperty("Condition", "[A]");
    EXPECT_EQ(run.condition, "[A]");
    b.SetProperty("DataSource", "Orders");
    EXPECT_EQ(run.source, "Orders");
    EXPECT_NE(b.DataSource(), "Orders");

    b.SetProperty("Top", 300);
    EXPECT_EQ(b.Top, 300);
    ASSERT_EQ(run.coords.size(), 1u);
    EXPECT_EQ(run.coords[0], (std::pair<QByteArray, int>{"TOP", 300}));
    EXPECT_EQ(b.Property("Left").toInt(), 11);
    EXPECT_EQ(b.Property("Height").toInt(), 44);
    b.SetProperty("Visible", false);
    EXPECT_FALSE(run.visible);
    EXPECT_EQ(b.Property("EOF"), TkvVariant(true));

    TkvVariant r;
    b.CallMethod("FIRST", {}, {}, {}, r);
    b.CallMethod("NEXT", {}, {}, {}, r);
    b.CallMethod("PRIOR", {}, {}, {}, r);
    EXPECT_EQ(run.moves, "FNP");
    run.hasSource = false;
    b.CallMethod("NEXT", {}, {}, {}, r);
    EXPECT_EQ(run.moves, "FNP");
    EXPECT_TRUE(b.Property("EOF").isNull());

    // Designing: the view alone changes.
    kv::DocumentMode() = 0;
    b.SetProperty("Top", 5);
    EXPECT_EQ(run.coords.size(), 1u);
    EXPECT_EQ(b.Property("Left").toInt(), b.Left);
}

// ---------------------------------------------------------------- inspector lists

QList<QByteArray> Names(TkvObject& o) {
    QList<QByteArray> out;
    for (const auto& p : o.PropertyTable)
        out.append(p->PropName);
    return out;
}

TEST(BandViewProperties, InspectorListsOnlyWhatTheBandTypeOffers) {
    const QList<QByteArray> base{"Name",  "Left",    "Top",           "Width",      "Height",
                                 "Flags", "Visible", "OnBeforePrint", "Memo.Count", "Restrictions"};
    struct Case {
        int type;
        QList<QByteArray> own;
    };
    const Case cases[] = {
        {kvbt::PageFooter, {"OnFirstPage", "OnLastPage", "EOF"}},
        {kvbt::MasterData,
         {"ChildBand", "PrintChildIfInvisible", "Stretched", "FormNewPage", "PrintIfSubsetEmpty", "Breaked",
          "Columns", "ColumnWidth", "ColumnGap", "DataSource", "EOF"}},
        {kvbt::GroupHeader,
         {"ChildBand", "PrintChildIfInvisible", "Stretched", "FormNewPage", "Breaked", "RepeatHeader",
          "Condition", "Master", "EOF"}},
        {kvbt::CrossData, {"ChildBand", "PrintChildIfInvisible", "DataSource", "EOF"}},
        {kvbt::PageHeader, {"ChildBand", "PrintChildIfInvisible", "Stretched", "OnFirstPage", "EOF"}},
        {kvbt::Overlay, {"ChildBand", "PrintChildIfInvisible", "EOF"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        TkvBandView b;
        b.SetBandType(c.type);
        b.RegisterProperties();
        QList<QByteArray> want = base;
        want.append(c.own);
        EXPECT_EQ(Names(b), want);
        EXPECT_EQ(b.FindProperty("FrameTyp"), nullptr);
        EXPECT_EQ(b.FindProperty("Memo"), nullptr) << "the memo is the band's OnBeforePrint script";
    }
}

TEST(BandViewProperties, ChildAndMasterChoicesComeFromTheDesignerPage) {
    GlobalsGuard guard;
    TkvPage page;
    auto add = [&](const char* name, int type) {
        auto v = std::make_unique<TkvBandView>();
        v->Name = name;
        v->SetBandType(type);
        page.Objects.push_back(std::move(v));
        return static_cast<TkvBandView*>(page.Objects.back().get());
    };
    add("Child1", kvbt::Child);
    add("MasterData1", kvbt::MasterData);
    add("DetailData1", kvbt::DetailData);
    TkvBandView* self = add("Child2", kvbt::Child);
    TkvBandView* group = add("GroupHeader1", kvbt::GroupHeader);
    kv::DesignerPage() = &page;

    self->RegisterProperties();
    const TkvPropRec* child = self->FindProperty("ChildBand");
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->PropKind, kvpk::Enum);
    EXPECT_EQ(*child->EnumNames, (TkvStringList{"Child1"})) << "not the band itself";
    EXPECT_TRUE(child->EnumValues.isNull());

    group->RegisterProperties();
    EXPECT_EQ(*group->FindProperty("Master")->EnumNames, (TkvStringList{"MasterData1", "DetailData1"}));
    EXPECT_EQ(*group->FindProperty("ChildBand")->EnumNames, (TkvStringList{"Child1", "Child2"}));

    kv::DocumentMode() = 1;
    group->RegisterProperties();
    EXPECT_TRUE(group->FindProperty("Master")->EnumNames->isEmpty()) << "no choices while building";
}

// ---------------------------------------------------------------- geometry

TEST(BandViewDrawing, LabelWidthIsTheNamePlusEightAndAtLeastAHundred) {
    NoteCanvas c;
    TkvBandView b;
    {
        const TkvSetForScope<TkvCanvas*> measuring(kv::Library().BandMeasuringCanvas, &c);
        b.SetBandType(kvbt::Child);
        EXPECT_EQ(b.LabelWidth(), 100);
        c.charWidth = 19; // "Child": 95 pixels
        EXPECT_EQ(b.LabelWidth(), 103);
        EXPECT_EQ(c.Font().pointSize, 10) << "the measuring canvas keeps its font";
        b.SetBandType(60); // a type out of range has no name
        EXPECT_EQ(b.LabelWidth(), 100);
    }

    // The real measuring canvas: a short name still gets the least width.
    b.SetBandType(kvbt::Child);
    EXPECT_EQ(b.LabelWidth(), 100);
}

TEST(BandViewDrawing, ClipRegionTakesTheTitleTabWhenTitlesAreShown) {
    NoteCanvas c;
    const TkvSetForScope<TkvCanvas*> measuring(kv::Library().BandMeasuringCanvas, &c);
    TkvBandView b;
    b.SetBandType(kvbt::MasterData);
    b.SetBounds(0, 100, 500, 40);
    QRegion r;
    b.GetClipRegion(false, r);
    EXPECT_TRUE(r.contains(QPoint(50, 90))) << "10 pixels above, within the tab";
    EXPECT_FALSE(r.contains(QPoint(150, 90))) << "above, beyond the tab";
    EXPECT_TRUE(r.contains(QPoint(500, 140)));
    EXPECT_FALSE(r.contains(QPoint(501, 141)));

    b.SetBandType(kvbt::CrossData);
    b.GetClipRegion(false, r);
    EXPECT_TRUE(r.contains(QPoint(-10, 150)));
    EXPECT_FALSE(r.contains(QPoint(50, 90)));

    kv::BandTitles = false;
    b.SetBandType(kvbt::MasterData);
    b.GetClipRegion(false, r);
    EXPECT_FALSE(r.contains(QPoint(50, 90)));
    kv::BandTitles = true;
}

TEST(BandViewDrawing, BandsSpanTheWholePageAcrossTheirStrip) {
    GlobalsGuard guard;
    TkvPage page;
    page.Metrics.PageWidth = 794;
    page.Metrics.PageHeight = 1123;
    kv::DesignerPage() = &page;
    kv::CurPage() = &page;
    NoteCanvas c;

    TkvBandView master;
    master.SetBandType(kvbt::MasterData);
    master.SetBounds(30, 200, 100, 40);
    master.Draw(c);
    EXPECT_EQ(master.Left, 0);
    EXPECT_EQ(master.Width, 794);
    EXPECT_EQ(master.Top, 200);

    TkvBandView cross;
    cross.SetBandType(kvbt::CrossData);
    cross.SetBounds(300, 50, 80, 90);
    cross.Draw(c);
    EXPECT_EQ(cross.Top, 0);
    EXPECT_EQ(cross.Height, 1123);
    EXPECT_EQ(cross.Left, 300);
}

TEST(BandViewDrawing, TitleTabAndColumns) {
    GlobalsGuard guard;
    TkvPage page;
    page.Metrics.PageWidth = 794;
    page.LeftMargin = 40;
    kv::DesignerPage() = &page;
    NoteCanvas c;
    TkvBandView b;
    b.SetBandType(kvbt::MasterData);
    b.SetBounds(0, 100, 794, 40);
    b.Columns = 2;
    b.ColumnWidth = 300;
    b.ColumnGap = 10;
    {
        const TkvSetForScope<TkvCanvas*> measuring(kv::Library().BandMeasuringCanvas, &c);
        b.Draw(c);
    }
    ASSERT_FALSE(c.images.empty());
    EXPECT_EQ(c.images[0].target, QRect(0, 100, 795, 41)) << "the checkerboard fills the inner rectangle";
    EXPECT_EQ(c.images[0].image.pixel(0, 0), qRgb(0xFF, 0xFF, 0xFF)) << "(0, 100): x + y even is white";
    EXPECT_EQ(c.images[0].image.pixel(1, 0), qRgb(0xC0, 0xC0, 0xC0));
    ASSERT_EQ(c.rectangles.size(), 3u);
    EXPECT_EQ(c.rectangles[0], QRect(0, 100, 795, 41));
    EXPECT_EQ(c.rectangles[1], QRect(40, 100, 300, 40));
    EXPECT_EQ(c.rectangles[2], QRect(350, 100, 300, 40));
    ASSERT_EQ(c.texts.size(), 1u);
    EXPECT_EQ(c.texts[0].at, QPoint(4, 83));
    EXPECT_EQ(c.texts[0].text, "Master data");
    ASSERT_FALSE(c.fills.empty());
    EXPECT_EQ(c.fills.back(), QRect(0, 82, 100, 18));
}

// Band alignment of other views asks a band view for its type by name.
TEST(BandViewDrawing, WidthAlignmentFollowsACrossBand) {
    GlobalsGuard guard;
    TkvPage page;
    page.Metrics.PageWidth = 794;
    auto cross = std::make_unique<TkvBandView>();
    cross->SetBandType(kvbt::CrossData);
    cross->SetBounds(300, 0, 120, 1000);
    page.Objects.push_back(std::move(cross));
    kv::DesignerPage() = &page;
    kv::CurPage() = &page;

    TkvBandView inside; // any view; band views have a concrete Draw at hand
    inside.ObjectType = kvvt::Text;
    inside.SetBounds(310, 50, 20, 20);
    inside.BandAlign = 4;
    inside.AttachCanvas(nullptr);
    EXPECT_EQ(inside.Left, 300);
    EXPECT_EQ(inside.Width, 120);
}

} // namespace
