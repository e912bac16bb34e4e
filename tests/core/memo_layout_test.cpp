#include "stand_in_evaluator.h"
#include "core/views/memo_layout.h"
#include "core/views/export_target.h"

#include "core/fixed_metric_canvas.h"
#include "core/globals.h"
#include "core/views/memo_view.h"
#include "core/views/view.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr int kW = FixedMetricCanvas::kCharWidth;
constexpr int kStep = 15; // 10 points: 13 pixels, plus the default line spacing 2

class PlainView : public TkvView {
public:
    void Draw(TkvCanvas&) override {}
};

class MemoLayoutTest : public testing::Test {
protected:
    void SetUp() override {
        kv::Library().TextMeasuringCanvas = &measuring;
        kv::DocumentMode() = 1;
        view.Flags = 0x0003;
        view.FillColor = 0x1FFFFFFF;
        layout.Charset = 0;
    }
    void TearDown() override {
        kv::Library().TextMeasuringCanvas = nullptr;
        kv::DocumentMode() = 0;
    }
    std::vector<kvrec::Text> DrawTexts() {
        layout.Draw(canvas);
        return canvas.Texts();
    }
    static QStringList TextsOf(const std::vector<kvrec::Text>& texts) {
        QStringList out;
        for (const auto& t : texts)
            out << t.text;
        return out;
    }

    FixedMetricCanvas measuring;
    FixedMetricCanvas canvas;
    PlainView view;
    TkvMemoLayout layout{view};
};

TEST_F(MemoLayoutTest, TextHeightAndLineStep) {
    view.SetBounds(0, 0, 4 + 7 * kW, 100);
    view.ResultText = {"AAA BBB CCC DDD", "", "E"};
    const TkvStringList lines = layout.LayoutText();
    EXPECT_EQ(lines, (TkvStringList{"AAA BBB", "CCC DDD\x01", "\x01", "E\x01"}));
    EXPECT_EQ(layout.LineHeight, kStep);
    EXPECT_EQ(layout.TextHeight, 4 * kStep + 2);

    // A negative spacing larger than the font still steps by at least one pixel.
    layout.LineSpacing = -1000;
    layout.LayoutText();
    EXPECT_EQ(layout.LineHeight, 1);
}

TEST_F(MemoLayoutTest, WordWrapOffKeepsLines) {
    view.SetBounds(0, 0, 30, 100);
    view.Flags = 0x0001;
    view.ResultText = {"AAA BBB CCC", ""};
    EXPECT_EQ(layout.LayoutText(), (TkvStringList{"AAA BBB CCC\x01", "\x01"}));
    // Rotated lines get no paragraph mark.
    layout.Alignment = 4;
    EXPECT_EQ(layout.LayoutText(), (TkvStringList{"AAA BBB CCC", ""}));
}

TEST_F(MemoLayoutTest, VerticalBlockPlacement) {
    view.SetBounds(10, 20, 200, 100);
    view.Memo = {"A", "B", "C"};
    struct Case {
        int32_t alignment;
        const char* name;
    } cases[] = {{0, "top"}, {8, "middle"}, {16, "bottom"}, {24, "both bits: top"}};
    for (const Case& c : cases) {
        canvas.Clear();
        layout.Alignment = c.alignment;
        const auto texts = DrawTexts();
        ASSERT_EQ(texts.size(), 3u) << c.name;
        EXPECT_EQ(layout.TextHeight, 3 * kStep + 2);
        const TkvRect& in = view.InnerRect;
        int top = 20;
        if (c.alignment == 8) top += (in.Height() - layout.TextHeight) / 2;
        if (c.alignment == 16) top = in.Bottom - layout.TextHeight - 1;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(texts[i].at, QPoint(12, top + 1 + i * kStep)) << c.name << " line " << i;
        EXPECT_EQ(layout.Alignment, c.alignment);
        EXPECT_EQ(view.Top, 20);
    }
}

TEST_F(MemoLayoutTest, HorizontalAlignment) {
    view.SetBounds(0, 0, 4 + 10 * kW, 100);
    view.Memo = {"AAA BB CC DDDD"};
    layout.Alignment = 3;
    auto texts = DrawTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "AAA BB CC");
    const int iw = view.InnerRect.Width();
    const int extra = iw - 4 - 9 * kW;
    ASSERT_TRUE(texts[0].advances);
    const int share = extra / 2;
    EXPECT_EQ(*texts[0].advances, (QVector<int>{7, 7, 7, 7 + share + extra % 2, 7, 7, 7 + share, 7, 7}));
    // The last line of a paragraph is never justified.
    EXPECT_EQ(texts[1].text, "DDDD");
    EXPECT_FALSE(texts[1].advances);
    EXPECT_EQ(texts[1].at.x(), 2);
    // The clip rectangle leaves a pixel on the left and two on the right.
    ASSERT_TRUE(texts[0].clip);
    EXPECT_EQ(*texts[0].clip, QRect(1, 0, iw - 3, view.InnerRect.Height() - 1));

    canvas.Clear();
    layout.Alignment = 1;
    texts = DrawTexts();
    EXPECT_EQ(texts[1].at.x(), iw - 1 - 2 - 4 * kW);
    canvas.Clear();
    layout.Alignment = 2;
    texts = DrawTexts();
    EXPECT_EQ(texts[1].at.x(), 2 + (iw - 4 - 4 * kW) / 2);
}

TEST_F(MemoLayoutTest, JustifiedWithoutWordWrapJustifiesNothing) {
    view.SetBounds(0, 0, 200, 100);
    view.Flags = 0x0001;
    view.Memo = {"A B", "C D"};
    layout.Alignment = 3;
    for (const auto& t : DrawTexts())
        EXPECT_FALSE(t.advances) << t.text.toStdString();
}

TEST_F(MemoLayoutTest, RotatedPlacement) {
    view.SetBounds(10, 20, 100, 200);
    view.Flags = 0x0001;
    view.Memo = {"AB", "C D"};
    for (int32_t value : {4, 5, 6, 7}) {
        canvas.Clear();
        layout.Alignment = value;
        const auto texts = DrawTexts();
        ASSERT_EQ(texts.size(), 2u);
        const TkvRect& in = view.InnerRect;
        for (int i = 0; i < 2; ++i) {
            const int t = int(texts[i].text.size()) * kW;
            int y = in.Bottom - 1;
            if (value == 5) y = 20 + 1 + t;
            if (value == 6) y = in.Bottom - 1 - (in.Height() - 2 - t) / 2 - 1;
            if (value == 7) y = in.Bottom + 20 - in.Top - 1;
            EXPECT_EQ(texts[i].at, QPoint(12 + i * kStep, y)) << "alignment " << value << " line " << i;
            EXPECT_EQ(texts[i].font.escapement, 900);
        }
        // Without word wrap rotated lines carry no mark, so a justified line with spaces is spread.
        EXPECT_EQ(bool(texts[1].advances), value == 7);
    }
    // The block moves right with "middle" and "bottom".
    canvas.Clear();
    layout.Alignment = 4 | 8;
    auto texts = DrawTexts();
    EXPECT_EQ(texts[0].at.x(), 10 + (view.InnerRect.Width() - (2 * kStep + 4)) / 2 + 2);
    canvas.Clear();
    layout.Alignment = 4 | 16;
    texts = DrawTexts();
    EXPECT_EQ(texts[0].at.x(), view.InnerRect.Right - (2 * kStep + 4) + 2);
}

TEST_F(MemoLayoutTest, PreWrappedTextIsDrawnUnchanged) {
    view.SetBounds(0, 0, 40, 100);
    view.Memo = {"AAAAAAAAAAAA BBB", "C\x01", "\x01"};
    EXPECT_EQ(TextsOf(DrawTexts()), (QStringList{"AAAAAAAAAAAA BBB", "C"}));
    EXPECT_TRUE(layout.PreWrapped);
}

TEST_F(MemoLayoutTest, AutoWidthKeepsRightEdge) {
    view.SetBounds(100, 0, 200, 50);
    view.Flags = 0x0003 | 0x0008;
    view.Memo = {"ABCDE", "AB"};
    layout.Alignment = 1;
    const auto texts = DrawTexts();
    const int w = 5 * kW + 1 + 2 * 2 + 1;
    EXPECT_EQ(view.Width, w);
    EXPECT_EQ(view.Left, 300 - w);
    ASSERT_EQ(texts.size(), 2u); // nothing wraps
    // In the designer the size stays.
    kv::DocumentMode() = 0;
    view.SetBounds(100, 0, 200, 50);
    layout.Draw(canvas);
    EXPECT_EQ(view.Width, 200);
}

TEST_F(MemoLayoutTest, DesignerShowsLongExpressionOnOneLineRightAligned) {
    kv::DocumentMode() = 0;
    view.SetBounds(0, 0, 100, 50);
    view.Memo = {"[SomeVeryLongExpression]"};
    const auto texts = DrawTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].at.x(), view.InnerRect.Width() - 1 - 2 - 24 * kW);
}

TEST_F(MemoLayoutTest, RightToLeftReading) {
    view.SetBounds(0, 0, 100, 50);
    view.Flags = 0x0003 | 0x0100;
    view.Memo = {"AB"};
    const auto texts = DrawTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, QString(QChar(0x202B)) + "AB" + QChar(0x202C));
}

TEST_F(MemoLayoutTest, Underlines) {
    view.SetBounds(0, 0, 50, 50);
    view.Flags = 0x0003 | 0x0080;
    view.FrameColor = 0xFF;
    layout.Draw(canvas);
    // 50 div 15 = 3 rules, the first one line step plus 2 below the top gap; drawn with no text.
    const auto lines = canvas.Lines();
    ASSERT_EQ(lines.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[i].from, QPoint(0, 1 + i * kStep + 2 + 13));
        EXPECT_EQ(lines[i].to, QPoint(49, 1 + i * kStep + 2 + 13));
        EXPECT_EQ(lines[i].pen.color, 0xFFu);
    }
}

TEST_F(MemoLayoutTest, ExportGetsLinesWithFrameSides) {
    struct Out {
        int x, y;
        QByteArray line;
        uint16_t sides;
    };
    struct Collect : TkvExportTarget {
        std::vector<Out> got;
        void ExportObject(int, int, TkvView&) override {}
        void ExportTextLine(const TkvRect&, int x, int y, const QByteArray& line, uint16_t sides,
                            TkvView&) override {
            got.push_back({x, y, line, sides});
        }
    } target;
    std::vector<Out>& got = target.got;
    layout.ExportTarget = &target;
    view.SetBounds(0, 0, 200, 100);
    view.FrameTyp = 15;
    view.Memo = {"A", "B", "C"};
    layout.Exporting = true;
    layout.Draw(canvas);
    EXPECT_TRUE(canvas.Texts().empty());
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].line, "A");
    EXPECT_EQ(got[0].sides, 13);
    EXPECT_EQ(got[1].sides, 5);
    EXPECT_EQ(got[2].sides, 7);
    EXPECT_EQ(got[2].y - got[1].y, kStep);

    got.clear();
    view.Memo = {"A"};
    layout.Draw(canvas);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].sides, 15);
}

TEST_F(MemoLayoutTest, SplitKeepsTheLinesThatFit) {
    view.SetBounds(0, 0, 200, 40);
    view.ResultText = {"A", "B", "C", "D", "E\x01"};
    view.ScaleForDrawing();
    const TkvStringList rest = layout.TakeFittingLines();
    view.RestoreAfterDrawing();
    EXPECT_EQ(layout.LinesDone, 2);
    EXPECT_EQ(view.ResultText, (TkvStringList{"A", "B", "\x01"}));
    EXPECT_EQ(rest, (TkvStringList{"C", "D", "E\x01"}));
    EXPECT_TRUE(measuring.Texts().empty());
}

TEST_F(MemoLayoutTest, ExpandMemo) {
    view.Memo = {"A [x]", "", "B\r\nC"};
    layout.ExpandMemo(); // no evaluator: lines as they are
    EXPECT_EQ(view.ResultText, (TkvStringList{"A [x]", "", "B", "C"}));
    kvtest::ScopedEvaluator scope([](const QByteArray& e) { return TkvVariant(e == "x" ? "1\r\n2" : "?"); });
    layout.ExpandMemo();
    EXPECT_EQ(view.ResultText, (TkvStringList{"A 1", "2", "", "B", "C"}));
    view.Flags |= 0x0010; // text only
    layout.ExpandMemo();
    EXPECT_EQ(view.ResultText, (TkvStringList{"A [x]", "", "B", "C"}));
}

// Sizes and spacings from a damaged file: drawing finishes with bounded output and no overflow.
TEST_F(MemoLayoutTest, AbsurdValuesAreClamped) {
    struct Case {
        int32_t fontSize, lineSpacing, charSpacing;
        int left, top, width, height;
    } cases[] = {
        {INT_MAX, INT_MAX, INT_MAX, 0, 0, 200, 100},
        {INT_MIN, INT_MIN, INT_MIN, 0, 0, 200, 100},
        {10, INT_MIN, 0, INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {10, 2, 0, INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {0, 0, 0, -5, -5, -100, -100},
    };
    for (const Case& c : cases) {
        canvas.Clear();
        view.SetBounds(c.left, c.top, c.width, c.height);
        view.Flags = 0x0003 | 0x0080 | 0x0004;
        view.Memo = {"AAA BBB CCC", "DDD"};
        layout.FontSize = c.fontSize;
        layout.LineSpacing = c.lineSpacing;
        layout.CharSpacing = c.charSpacing;
        layout.Alignment = 3 | 8;
        layout.Draw(canvas);
        EXPECT_GE(layout.LineHeight, 1);
        EXPECT_LE(canvas.Records().size(), 100100u);
        layout.Alignment = 4 | 16 | 2;
        layout.Draw(canvas);
    }
    EXPECT_EQ(TkvMemoLayout::FontPixelHeight(INT_MAX), 2184);
    EXPECT_EQ(TkvMemoLayout::FontPixelHeight(0), 1);
}

TEST_F(MemoLayoutTest, LongLineDrawsOnlyWhatShows) {
    view.SetBounds(0, 0, 4 + 100 * kW, 200);
    view.Memo = {QByteArray(64 * 1024, 'x')};
    const auto texts = DrawTexts();
    EXPECT_EQ(layout.TextHeight, 656 * kStep + 2);
    // 200 pixels show 14 lines; the 642 further down are not measured or drawn.
    EXPECT_LE(texts.size(), 15u);
    EXPECT_EQ(texts[0].text, QString(100, u'x'));
}

// The text object draws and measures through the layout.
TEST_F(MemoLayoutTest, TextObjectDrawsAndCalculatesItsHeight) {
    TkvMemoView m;
    m.SetBounds(0, 0, 4 + 7 * kW, 100);
    m.Memo = {"AAA BBB CCC DDD"};
    m.Draw(canvas);
    EXPECT_EQ(TextsOf(canvas.Texts()), (QStringList{"AAA BBB", "CCC DDD"}));
    EXPECT_EQ(m.TextHeight, 2 * kStep + 2);
    EXPECT_EQ(m.ResultText.size(), 2);

    EXPECT_EQ(m.CalcHeight(), 2 * kStep + 2);
    EXPECT_EQ(m.PrintPhase, 1);
    EXPECT_EQ(m.ResultText, (TkvStringList{"AAA BBB", "CCC DDD\x01"}));
    EXPECT_EQ(m.Width, 4 + 7 * kW);

    // Suppressed repeated value, empty and invisible texts take no height.
    m.Flags |= kvmf::Suppress;
    m.LastValue = kv::JoinLines(m.ResultText);
    EXPECT_EQ(m.CalcHeight(), 0);
    m.Flags &= ~kvmf::Suppress;
    m.Memo.clear();
    EXPECT_EQ(m.CalcHeight(), 0);
    m.Memo = {"A"};
    m.Visible = 0;
    EXPECT_EQ(m.CalcHeight(), 0);
}

} // namespace
