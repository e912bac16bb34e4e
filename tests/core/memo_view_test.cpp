// The text object's data: defaults, record tail in every accepted stream version, the current
// layout on write, truncated records, properties and methods by name, height queries.
#include "core/views/memo_view.h"
#include "record_builder.h"
#include "stand_in_evaluator.h"
#include "render/recording_canvas.h"

#include <gtest/gtest.h>

using kvtest::AppendViewRecord;
using kvtest::ReadRecord;
using kvtest::RecordBuilder;
using kvtest::ViewRecordFields;
using kvtest::WriteRecord;

namespace {

class MemoViewTest : public ::testing::Test {
protected:
    void TearDown() override {
        kv::StreamVersion = kv::CurrentStreamVersion;
        kv::DocumentMode() = 0;
    }
};

// The tail items as stored.
struct MemoTail {
    QByteArray FontName = "Times New Roman";
    int32_t FontSize = 14;
    uint16_t FontStyle = 3;
    uint32_t FontColor = 0x0000FF;
    int32_t Alignment = 0x0A;
    uint16_t Charset = 204;
    uint16_t HighlightFontStyle = 4;
    uint32_t HighlightFontColor = 0x00FF00;
    uint32_t HighlightFillColor = 0xC0C0C0;
    QByteArray HighlightCondition = "[Amount] > 100";
    int32_t LineSpacing = 7;
    int32_t CharSpacing = -1;
};

void AppendMemoTail(RecordBuilder& b, const MemoTail& t, bool prepared) {
    b.Str(t.FontName).I32(t.FontSize).U16(t.FontStyle).U32(t.FontColor).I32(t.Alignment).U16(t.Charset);
    if (!prepared)
        b.U16(t.HighlightFontStyle)
            .U32(t.HighlightFontColor)
            .U32(t.HighlightFillColor)
            .Str(t.HighlightCondition);
    if (b.Version() >= 24) b.I32(t.LineSpacing).I32(t.CharSpacing);
}

QByteArray BuildMemoRecord(int version, bool prepared, const ViewRecordFields& common = {},
                           const MemoTail& tail = {}) {
    RecordBuilder b(version);
    AppendViewRecord(b, common, prepared);
    AppendMemoTail(b, tail, prepared);
    return b.Bytes();
}

TEST_F(MemoViewTest, ConstructorDefaults) {
    TkvMemoView m;
    EXPECT_EQ(m.ObjectType, 0);
    EXPECT_EQ(m.NamePrefix, "Memo");
    EXPECT_EQ(m.Flags, 0x0003);
    EXPECT_EQ(m.Font, (TkvViewFont{"Arial", 10, 0, 0, 1}));
    EXPECT_EQ(m.Alignment, 0);
    EXPECT_EQ(m.HighlightFontStyle, 2);
    EXPECT_EQ(m.HighlightFontColor, 0u);
    EXPECT_EQ(m.HighlightFillColor, 0xFFFFFFu);
    EXPECT_TRUE(m.HighlightCondition.isEmpty());
    EXPECT_EQ(m.LineSpacing, 2);
    EXPECT_EQ(m.CharSpacing, 0);
    EXPECT_EQ(m.PrintPhase, 0);
    EXPECT_STREQ(m.ClassName(), "TkvMemoView");
}

void FillMemo(TkvMemoView& m) {
    m.Name = "Memo12";
    m.SetBounds(5, 6, 70, 80);
    m.Flags = 0x01A5;
    m.FrameTyp = 9;
    m.Memo = {"[Customer]", "", "line 3"};
    m.ScriptLines = {"if x then y"};
    m.Font = {"Courier New", 12, kvfs::Bold | kvfs::Underline, 0x123456, 204};
    m.Alignment = kvta::Center | kvta::Middle;
    m.HighlightFontStyle = kvfs::Italic;
    m.HighlightFontColor = 0x0000FF;
    m.HighlightFillColor = 0x00FFFF;
    m.HighlightCondition = "Value < 0";
    m.LineSpacing = -3;
    m.CharSpacing = 4;
}

void ExpectSameTail(const TkvMemoView& a, const TkvMemoView& b, bool highlight) {
    EXPECT_EQ(a.Font, b.Font);
    EXPECT_EQ(a.Alignment, b.Alignment);
    EXPECT_EQ(a.LineSpacing, b.LineSpacing);
    EXPECT_EQ(a.CharSpacing, b.CharSpacing);
    if (!highlight) return;
    EXPECT_EQ(a.HighlightFontStyle, b.HighlightFontStyle);
    EXPECT_EQ(a.HighlightFontColor, b.HighlightFontColor);
    EXPECT_EQ(a.HighlightFillColor, b.HighlightFillColor);
    EXPECT_EQ(a.HighlightCondition, b.HighlightCondition);
}

TEST_F(MemoViewTest, DesignRecordRoundTrips) {
    TkvMemoView m;
    FillMemo(m);
    const QByteArray bytes = WriteRecord(m, false);
    qint64 end = 0;
    auto back = ReadRecord<TkvMemoView>(bytes, 25, false, &end);
    EXPECT_EQ(end, bytes.size());
    ExpectSameTail(m, *back, true);
    EXPECT_EQ(back->Name, m.Name);
    EXPECT_EQ(back->Flags, m.Flags);
    EXPECT_EQ(back->Memo, m.Memo);
    EXPECT_EQ(back->ScriptLines, m.ScriptLines);
    EXPECT_EQ(WriteRecord(*back, false), bytes);
}

TEST_F(MemoViewTest, PreparedRecordCarriesResultTextAndNoHighlight) {
    TkvMemoView m;
    FillMemo(m);
    m.ResultText = {"Smith & Co", "\x01"};
    const QByteArray bytes = WriteRecord(m, true);
    qint64 end = 0;
    auto back = ReadRecord<TkvMemoView>(bytes, 25, true, &end);
    EXPECT_EQ(end, bytes.size());
    EXPECT_EQ(back->Memo, m.ResultText);
    ExpectSameTail(m, *back, false);
    const TkvMemoView fresh;
    EXPECT_EQ(back->HighlightFontStyle, fresh.HighlightFontStyle);
    EXPECT_EQ(back->HighlightFillColor, fresh.HighlightFillColor);
    EXPECT_TRUE(back->HighlightCondition.isEmpty());
    // The prepared record is shorter by exactly the highlight block and the condition string.
    const QByteArray design = WriteRecord(m, false);
    EXPECT_LT(bytes.size(), design.size());
}

// Every accepted stream version, with and without the prepared flag, read from hand-built bytes.
class MemoVersionTest : public MemoViewTest, public ::testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(MemoVersionTest, ReadsTheItemsOfItsVersion) {
    const auto [version, prepared] = GetParam();
    const ViewRecordFields common;
    const MemoTail tail;
    const QByteArray bytes = BuildMemoRecord(version, prepared, common, tail);
    qint64 end = 0;
    auto m = ReadRecord<TkvMemoView>(bytes, version, prepared, &end);
    const TkvMemoView fresh;

    EXPECT_EQ(end, bytes.size()) << "the reader must consume exactly the record";
    EXPECT_EQ(m->Font.Name, tail.FontName);
    EXPECT_EQ(m->Font.Size, tail.FontSize);
    EXPECT_EQ(m->Font.Style, tail.FontStyle);
    EXPECT_EQ(m->Font.Color, tail.FontColor);
    EXPECT_EQ(m->Alignment, tail.Alignment);
    EXPECT_EQ(m->Font.Charset, version >= 23 ? tail.Charset : kv::DefaultCharset);
    if (prepared) {
        EXPECT_EQ(m->HighlightFontStyle, fresh.HighlightFontStyle);
        EXPECT_EQ(m->HighlightFontColor, fresh.HighlightFontColor);
        EXPECT_EQ(m->HighlightFillColor, fresh.HighlightFillColor);
        EXPECT_EQ(m->HighlightCondition, fresh.HighlightCondition);
    } else {
        EXPECT_EQ(m->HighlightFontStyle, tail.HighlightFontStyle);
        EXPECT_EQ(m->HighlightFontColor, tail.HighlightFontColor);
        EXPECT_EQ(m->HighlightFillColor, tail.HighlightFillColor);
        EXPECT_EQ(m->HighlightCondition, tail.HighlightCondition);
    }
    EXPECT_EQ(m->LineSpacing, version >= 24 ? tail.LineSpacing : fresh.LineSpacing);
    EXPECT_EQ(m->CharSpacing, version >= 24 ? tail.CharSpacing : fresh.CharSpacing);
    // Word wrap is switched on for version 21 records only.
    EXPECT_EQ(m->Flags, version == 21 ? (common.Flags | kvmf::WordWrap) : common.Flags);
    // The common part around the tail.
    EXPECT_EQ(m->Memo, common.Lines);
    EXPECT_EQ(m->Name, (version > 23 || (version == 23 && !prepared)) ? common.Name : QByteArray("Memo1"));
    EXPECT_EQ(m->BandAlign, version >= 24 ? common.BandAlign : 0);
}

TEST_P(MemoVersionTest, EveryPrefixRaisesTheStreamError) {
    const auto [version, prepared] = GetParam();
    kvtest::ExpectEveryPrefixFails<TkvMemoView>(BuildMemoRecord(version, prepared), version, prepared);
}

INSTANTIATE_TEST_SUITE_P(AllVersions, MemoVersionTest,
                         ::testing::Combine(::testing::Values(20, 21, 22, 23, 24, 25), ::testing::Bool()));

TEST_F(MemoViewTest, WrittenRecordHasTheCurrentLayoutWhateverVersionWasRead) {
    // An old record, then written while StreamVersion still says 22.
    auto m = ReadRecord<TkvMemoView>(BuildMemoRecord(22, false), 22, false);
    ASSERT_EQ(kv::StreamVersion, 22);
    const QByteArray written = WriteRecord(*m, false);

    ViewRecordFields common;
    common.Name = m->Name;
    common.Visible = m->Visible;
    common.Script = {};
    common.Restrictions = 0;
    common.Tag = "";
    common.GapX = 2;
    common.GapY = 1;
    common.BandAlign = 0;
    MemoTail tail;
    tail.Charset = kv::DefaultCharset;
    tail.LineSpacing = 2;
    tail.CharSpacing = 0;
    RecordBuilder expected(25);
    AppendViewRecord(expected, common, false);
    AppendMemoTail(expected, tail, false);
    EXPECT_EQ(written.toHex(' '), expected.Bytes().toHex(' '));
}

TEST_F(MemoViewTest, CharsetIsTheLowByteOfItsWord) {
    MemoTail tail;
    tail.Charset = 0x01CC; // a stray high byte
    auto m = ReadRecord<TkvMemoView>(BuildMemoRecord(25, false, {}, tail), 25, false);
    EXPECT_EQ(m->Font.Charset, 0xCC);
}

// ---------------------------------------------------------------- properties

TEST_F(MemoViewTest, OwnPropertiesSetAndGetByName) {
    struct Case {
        const char* name;
        TkvVariant value;
        TkvVariant expected; // what GetProperty gives back
    };
    const Case cases[] = {
        {"Alignment", 9, 9},
        {"LineSpacing", -4, -4},
        {"CharSpacing", 3, 3},
        {"Font.Name", "Tahoma", "Tahoma"},
        {"font.size", 11, 11},
        {"Font.Style", 0x13, 3}, // only the four style bits are a style
        {"FONT.COLOR", 0x00FF00, 0x00FF00},
        {"GapX", 7, 7}, // the view's own names still work through the text object
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TkvMemoView m;
        m.SetProperty(c.name, c.value);
        EXPECT_EQ(m.Property(QByteArray(c.name).toLower()), c.expected);
    }
}

TEST_F(MemoViewTest, FlagPropertiesSwitchExactlyTheirBit) {
    const std::pair<const char*, uint16_t> cases[] = {
        {"WordWrap", 0x0002},   {"WordBreak", 0x0004},  {"AutoWidth", 0x0008},
        {"TextOnly", 0x0010},   {"Suppress", 0x0020},   {"HideZeros", 0x0040},
        {"Underlines", 0x0080}, {"RTLReading", 0x0100}, {"Stretched", 0x0001},
    };
    for (const auto& [name, bit] : cases) {
        SCOPED_TRACE(name);
        TkvMemoView m;
        m.Flags = 0;
        m.SetProperty(name, true);
        EXPECT_EQ(m.Flags, bit);
        EXPECT_EQ(m.Property(name), TkvVariant(true));
        m.Flags = 0xFFFF;
        m.SetProperty(name, false);
        EXPECT_EQ(m.Flags, 0xFFFF & ~bit);
        EXPECT_EQ(m.Property(name), TkvVariant(false));
    }
}

TEST_F(MemoViewTest, LinesCountIsReadOnlyAndUnknownNamesStayNull) {
    TkvMemoView m;
    m.Memo = {"a", "b", "c"};
    m.SetProperty("Lines.Count", 10);
    EXPECT_EQ(m.Property("LINES.COUNT"), TkvVariant(int64_t(3)));
    EXPECT_TRUE(m.Property("NoSuchProperty").isNull());
    m.SetProperty("NoSuchProperty", 1); // ignored, no error
}

TEST_F(MemoViewTest, FontPropertyOfWrongKindRaisesTheConversionError) {
    TkvMemoView m;
    EXPECT_THROW(m.SetProperty("Font.Size", "large"), TkvVariantError);
}

TEST_F(MemoViewTest, RegisteredPropertiesFollowTheViewList) {
    TkvMemoView m;
    m.EnsureProperties();
    const std::pair<const char*, uint16_t> expected[] = {
        {"Font.Name", 0},        {"Font.Size", 0},    {"Font.Style", 0},
        {"Font.Color", 0},       {"Font", 0x40},      {"Alignment", 0},
        {"DisplayFormat", 0x40}, {"Highlight", 0x40}, {"LineSpacing", 2},
        {"CharSpacing", 2},      {"GapX", 2},         {"GapY", 2},
        {"Stretched", 8},        {"WordWrap", 8},     {"WordBreak", 8},
        {"AutoWidth", 8},        {"TextOnly", 8},     {"Suppress", 8},
        {"HideZeros", 8},        {"Lines.Count", 0},  {"Underlines", 8},
        {"RTLReading", 8},
    };
    const size_t own = std::size(expected);
    ASSERT_GT(m.PropertyTable.size(), own);
    EXPECT_EQ(m.PropertyTable.front()->PropName, "Name");
    const size_t first = m.PropertyTable.size() - own;
    EXPECT_EQ(m.PropertyTable[first - 1]->PropName, "Restrictions");
    for (size_t i = 0; i < own; ++i) {
        EXPECT_EQ(m.PropertyTable[first + i]->PropName, expected[i].first);
        EXPECT_EQ(m.PropertyTable[first + i]->PropKind, expected[i].second) << expected[i].first;
    }
}

TEST_F(MemoViewTest, ListMethodsActOnTheMemoUnderBothNames) {
    kvtest::ScopedEvaluator scope([](const QByteArray& e) { return TkvVariant(e + "!"); });
    TkvMemoView m;
    TkvVariant r;
    m.CallMethod("LINES.ADD", "x", {}, {}, r);
    m.CallMethod("MEMO.ADD", "y", {}, {}, r);
    EXPECT_EQ(m.Memo, (TkvStringList{"x!", "y!"}));
    m.CallMethod("LINES.INDEXOF", "y", {}, {}, r);
    EXPECT_EQ(r, TkvVariant(int64_t(1)));
    r = {};
    m.CallMethod("GETINDEXPROPERTY", "LINES", 0, {}, r);
    EXPECT_EQ(r, TkvVariant(QByteArray("x!")));
    m.CallMethod("LINES.CLEAR", {}, {}, {}, r);
    EXPECT_TRUE(m.Memo.isEmpty());
}

// A stretcheable view with fixed answers, to see the method dispatch on its own.
class FixedHeightView : public TkvStretcheable {
public:
    void Draw(TkvCanvas&) override {}
    int CalcHeight() override { return 42; }
    int MinHeight() override { return 1; }
    int RemainingHeight() override { return 0; }
};

TEST_F(MemoViewTest, CalcHeightAnswersByNameAndViewMethodsStillWork) {
    FixedHeightView v;
    TkvVariant r;
    v.CallMethod("CALCHEIGHT", {}, {}, {}, r);
    EXPECT_EQ(r, TkvVariant(42));
    r = {};
    v.CallMethod("calcheight", {}, {}, {}, r); // method names are compared exactly
    EXPECT_TRUE(r.isEmpty());
    v.CallMethod("HIDE", {}, {}, {}, r);
    EXPECT_EQ(v.Visible, 0);

    TkvMemoView m;
    m.CallMethod("CALCHEIGHT", {}, {}, {}, r);
    EXPECT_EQ(r.kind(), TkvVariant::Kind::Integer);
}

// ---------------------------------------------------------------- heights and drawing

TEST_F(MemoViewTest, MinAndRemainingHeightFromFontLineSpacingFrameAndGaps) {
    TkvMemoView m; // 10 points = 13 pixels, line spacing 2: a line step of 15
    m.Height = 100;
    m.FrameWidth = 1;
    m.GapY = 1;
    EXPECT_EQ(m.MinHeight(), 2 + 2 + 13 + 2);
    EXPECT_EQ(m.LineHeight, 15);
    // 100 - 2 (frame) - 2 (gaps) = 96 = 6 lines of 15 and 6 left over.
    EXPECT_EQ(m.RemainingHeight(), 4 + 6);
}

TEST_F(MemoViewTest, RemainingHeightSurvivesALineStepOfZeroOrLess) {
    TkvMemoView m;
    m.Height = 100;
    for (int spacing : {-13, -20, INT_MIN}) {
        m.LineSpacing = spacing;
        EXPECT_EQ(m.RemainingHeight(), 2 * m.GapY + 2);
    }
}

TEST_F(MemoViewTest, DrawPaintsFillAndFrameAndRestoresTheGeometry) {
    kv::DocumentMode() = 1;
    TkvMemoView m;
    m.SetBounds(10, 20, 100, 30);
    m.FrameTyp = 15;
    m.FillColor = 0x00FFFF;
    m.Memo = {"text"};
    m.ZoomX = m.ZoomY = 2.0;
    TkvRecordingCanvas canvas;
    m.Draw(canvas);
    const QStringList dump = canvas.Dump();
    EXPECT_TRUE(dump.filter("fillrect 20,40 200x60").size() == 1) << dump.join('\n').toStdString();
    EXPECT_EQ(dump.filter("line ").size(), 4);
    EXPECT_EQ(m.Left, 10);
    EXPECT_EQ(m.Width, 100);
    EXPECT_EQ(m.FrameWidth, 1.0f);
}

} // namespace
