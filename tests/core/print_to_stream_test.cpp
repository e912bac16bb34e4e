// What each kind of object writes into a prepared page while a report is built: the entry is read
// back as the viewer reads it. Scripts run through the report's evaluator (a recording stand-in
// here), expressions through a stand-in that answers by name.
#include "stand_in_evaluator.h"

#include "core/fixed_metric_canvas.h"
#include "core/views/band.h"
#include "core/views/band_control_views.h"
#include "core/views/line_view.h"
#include "core/views/memo_layout.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "core/views/rich_view.h"
#include "core/views/standard_views.h"
#include "core/views/subreport_view.h"
#include "core/views/view_factory.h"

#include <gtest/gtest.h>

namespace {

// Runs scripts as "NAME=VALUE" property assignments on CurView, and records what ran.
class ScriptingEvaluator : public kvtest::StandInEvaluator {
public:
    using StandInEvaluator::StandInEvaluator;
    void ExecuteScript(const TkvStringList& compiled, const QByteArray& owner) override {
        ran.append(owner);
        for (const QByteArray& line : compiled) {
            const qsizetype eq = line.indexOf('=');
            if (eq > 0 && kv::CurView()) kv::CurView()->SetProperty(line.left(eq), TkvVariant(line.mid(eq + 1)));
        }
    }
    QList<QByteArray> ran;
};

class FixedBand : public TkvBand {
public:
    int BandTop() const override { return top; }
    int BandHeight() const override { return height; }
    int BandWidth() const override { return width; }
    uint16_t BandFlags() const override { return 0; }
    int BandType() const override { return type; }
    int top = 100, height = 60, width = 333, type = 5;
};

class PrintToStreamTest : public testing::Test {
protected:
    void SetUp() override {
        kv::RegisterStandardViews();
        kv::RegisterBandAndControlViews();
        kv::Library().TextMeasuringCanvas = &measuring;
        keptReport = kv::CurReport();
        report.Evaluator = &evaluator;
        kv::CurReport() = &report;
        kv::DocumentMode() = 1;
    }
    void TearDown() override {
        kv::Library().TextMeasuringCanvas = nullptr;
        kv::CurReport() = keptReport;
        kv::CurBand() = nullptr;
        kv::CurView() = nullptr;
        kv::DocumentMode() = 0;
    }

    // The entries a print wrote, read back as a prepared page holds them.
    std::vector<std::unique_ptr<TkvView>> Print(TkvView& v) {
        TkvMemoryStream s;
        v.Prepared = 1;
        v.PrintToStream(s);
        v.Prepared = 0;
        s.Seek(0);
        kv::StreamVersion = kv::CurrentStreamVersion;
        std::vector<std::unique_ptr<TkvView>> out;
        while (s.Position() < s.Size()) out.push_back(kv::ReadObjectEntry(s, true));
        return out;
    }

    FixedMetricCanvas measuring;
    ScriptingEvaluator evaluator{[](const QByteArray& e) -> TkvVariant {
        if (e == "Name") return QByteArray("Ann");
        if (e == "Total") return 1234.5;
        if (e == "Flag") return int64_t(1);
        if (e == "Br") return QByteArray("1\r\n2");
        return QByteArray("?" + e);
    }};
    TkvReport report;
    TkvReport* keptReport = nullptr;
};

TEST_F(PrintToStreamTest, TextObjectWritesItsExpandedText) {
    struct Case {
        const char* what;
        TkvStringList memo;
        uint16_t flags;
        TkvStringList written;
    } cases[] = {
        {"expression replaced", {"Dear [Name],", "", "sum [Total]"}, 0x0003, {"Dear Ann,", "", "sum 1234.5"}},
        {"text only keeps brackets", {"[Name]"}, 0x0013, {"[Name]"}},
        {"value with a line break gives lines", {"a[Br]"}, 0x0003, {"a1", "2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TkvMemoView m;
        m.SetBounds(10, 20, 200, 40);
        m.Memo = c.memo;
        m.Flags = c.flags;
        const auto out = Print(m);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0]->Memo, c.written);
        EXPECT_EQ(out[0]->Left, 10);
        EXPECT_EQ(out[0]->Top, 20);
        EXPECT_EQ(m.PrintPhase, kvpp::Normal);
    }
}

TEST_F(PrintToStreamTest, ScriptRunsBeforeTheTextAndCanHideTheObject) {
    TkvMemoView m;
    m.Name = "M1";
    m.SetBounds(0, 0, 100, 20);
    m.Memo = {"x"};
    m.ScriptLines = {"Memo=from script"};
    auto out = Print(m);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0]->Memo, TkvStringList{"from script"});
    EXPECT_EQ(evaluator.ran, QList<QByteArray>{"M1"});

    m.ScriptLines = {"Visible=0"};
    EXPECT_TRUE(Print(m).empty()) << "a hidden object writes nothing";
}

TEST_F(PrintToStreamTest, AfterCalcHeightTheScriptDoesNotRunAgainAndLaidOutLinesAreWritten) {
    TkvMemoView m;
    m.Name = "M2";
    m.SetBounds(0, 0, 7 * 4 + 8, 20);
    m.Memo = {"aaa bbb ccc"};
    m.ScriptLines = {"Tag=t"};
    const int h = m.CalcHeight();
    EXPECT_EQ(h, 3 * 15 + 2) << "three laid-out lines of step 15 and two gaps";
    const auto out = Print(m);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(evaluator.ran.size(), 1) << "CalcHeight ran the script, the print did not";
    EXPECT_EQ(out[0]->Memo, (TkvStringList{"aaa", "bbb", QByteArray("ccc\x01")}));
}

TEST_F(PrintToStreamTest, SplitPartWritesWhatFitsAndKeepsTheRest) {
    TkvMemoView m;
    m.SetBounds(0, 0, 7 * 4 + 8, 200);
    m.Memo = {"aaa bbb ccc ddd"};
    ASSERT_EQ(m.CalcHeight(), 4 * 15 + 2);
    m.Height = 2 * 15 + 2;
    m.PrintPhase = kvpp::SplitPart;
    auto out = Print(m);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0]->Memo, (TkvStringList{"aaa", "bbb", QByteArray("\x01")}))
        << "the part that fits, with a paragraph mark so the viewer draws it as laid out";
    EXPECT_EQ(m.ResultText, (TkvStringList{"ccc", QByteArray("ddd\x01")}));

    m.Height = 200;
    m.PrintPhase = kvpp::SplitPart;
    out = Print(m);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0]->Memo, (TkvStringList{"ccc", QByteArray("ddd\x01")}));
    EXPECT_TRUE(m.ResultText.isEmpty());
}

TEST_F(PrintToStreamTest, SuppressRepeatedValuesWritesOnce) {
    TkvMemoView m;
    m.SetBounds(0, 0, 100, 20);
    m.Memo = {"[Name]"};
    m.Flags = 0x0023;
    EXPECT_EQ(Print(m).size(), 1u);
    EXPECT_EQ(Print(m).size(), 0u);
    m.Memo = {"[Total]"};
    EXPECT_EQ(Print(m).size(), 1u);
}

TEST_F(PrintToStreamTest, HighlightReachesOnlyTheRecord) {
    TkvMemoView m;
    m.SetBounds(0, 0, 100, 20);
    m.Memo = {"x"};
    m.HighlightCondition = "Flag";
    m.HighlightFontColor = 0xFF;
    m.HighlightFillColor = 0xAA;
    const auto out = Print(m);
    ASSERT_EQ(out.size(), 1u);
    auto* written = dynamic_cast<TkvMemoView*>(out[0].get());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->Font.Color, 0xFFu);
    EXPECT_EQ(written->FillColor, 0xAAu);
    EXPECT_EQ(m.Font.Color, 0u);
    EXPECT_EQ(m.FillColor, 0x1FFFFFFFu);
}

TEST_F(PrintToStreamTest, BandAlignmentPlacesTheRecordAndTagsExpandWithoutFormat) {
    FixedBand band;
    kv::CurBand() = &band;
    struct Case {
        uint8_t align;
        int bandType;
        int top, width;
        uint8_t writtenAlign;
    } cases[] = {
        {5, 5, 100 + 60 - 20, 50, 0}, // bottom of the band
        {6, 5, 100, 50, 6},           // top of the band
        {4, 19, 130, 333, 0},         // width of a cross band
        {4, 5, 130, 50, 4},           // width outside a cross band: nothing here
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.align));
        band.type = c.bandType;
        TkvMemoView m;
        m.SetBounds(0, 130, 50, 20);
        m.BandAlign = c.align;
        m.Memo = {"x"};
        m.Tag = "id=[Total]";
        m.DisplayFormat = 0x01020000; // would show 1234.5 otherwise
        const auto out = Print(m);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0]->Top, c.top);
        EXPECT_EQ(out[0]->Width, c.width);
        EXPECT_EQ(out[0]->BandAlign, c.writtenAlign);
        EXPECT_EQ(out[0]->Tag, "id=1234.5");
        EXPECT_EQ(m.Tag, "id=[Total]");
        EXPECT_EQ(m.Top, 130);
        EXPECT_EQ(m.Width, 50);
    }
}

TEST_F(PrintToStreamTest, OtherObjectsRunTheirScriptAndWriteTheirRecord) {
    TkvLineView line;
    line.SetBounds(5, 6, 100, 0);
    line.Name = "L";
    TkvPictureView picture;
    picture.SetBounds(1, 2, 30, 40);
    picture.Name = "P";
    TkvSubReportView sub;
    sub.SetBounds(3, 4, 50, 60);
    sub.Name = "S";
    TkvRichView rich;
    rich.SetBounds(7, 8, 200, 50);
    rich.Name = "R";
    rich.RichText = "{\\rtf1 Hello [Name]}";
    TkvView* views[] = {&line, &picture, &sub, &rich};
    for (TkvView* v : views) {
        SCOPED_TRACE(v->ClassName());
        evaluator.ran.clear();
        v->ScriptLines = {"Tag=by script"};
        auto out = Print(*v);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_STREQ(out[0]->ClassName(), v->ClassName());
        EXPECT_EQ(out[0]->Left, v->Left);
        EXPECT_EQ(out[0]->Top, v->Top);
        EXPECT_EQ(out[0]->Tag, "by script");
        EXPECT_EQ(evaluator.ran, QList<QByteArray>{v->Name});

        v->ScriptLines = {"Visible=0"};
        EXPECT_TRUE(Print(*v).empty());
    }
    rich.Visible = 0xFFFF;
    rich.ScriptLines.clear();
    auto out = Print(rich);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(dynamic_cast<TkvRichView*>(out[0].get())->PlainText().contains("Hello Ann"));
}

} // namespace
