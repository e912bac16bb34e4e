// Report objects with the parser as their report's evaluator: [expressions] in texts and tags, the
// list methods that evaluate, the highlight condition and suppressed values across two passes.
#include "script/parser.h"

#include "../core/fixed_metric_canvas.h"
#include "core/globals.h"
#include "core/report/report.h"
#include "core/views/memo_layout.h"
#include "core/views/memo_view.h"

#include <gtest/gtest.h>

namespace {

class ObjectExpressions : public ::testing::Test {
protected:
    ObjectExpressions() {
        report.Evaluator = &evaluator;
        keptReport_ = kv::CurReport();
        keptMaster_ = kv::MasterReport();
        kv::CurReport() = &report;
        kv::Library().TextMeasuringCanvas = &measuring;
        evaluator.Variables.SetVariable("Customer", TkvVariant("Smith"));
        evaluator.Variables.SetVariable("Total", TkvVariant(1234.5));
        evaluator.Variables.SetVariable("Zero", TkvVariant(0));
    }
    ~ObjectExpressions() override {
        kv::CurReport() = keptReport_;
        kv::MasterReport() = keptMaster_;
        kv::CurView() = nullptr;
        kv::DocumentMode() = 0;
        kv::FirstPassActive() = 0;
        kv::Library().TextMeasuringCanvas = nullptr;
    }

    std::unique_ptr<TkvMemoView> Memo(TkvStringList lines) {
        auto m = std::make_unique<TkvMemoView>();
        m->SetBounds(10, 10, 400, 200);
        m->Memo = std::move(lines);
        m->FillColor = 0x1FFFFFFF;
        return m;
    }

    TkvParserEvaluator evaluator;
    TkvReport report;
    FixedMetricCanvas measuring;

private:
    TkvReport* keptReport_;
    TkvReport* keptMaster_;
};

TEST_F(ObjectExpressions, PreparedTextsDrawTheValuesOfTheReportsVariables) {
    kv::DocumentMode() = 1;
    auto m = Memo({"Dear [Customer],", "Total: [Total #N2.2]", "", "[IF([Total] > 1000, 'large', 'small')] order"});
    // What the page builder does for a stretched text: expand and lay out, then the laid-out lines
    // are what the prepared page keeps and draws.
    ASSERT_GT(m->CalcHeight(), 0);
    m->Memo = m->ResultText;
    FixedMetricCanvas canvas;
    m->Draw(canvas);
    QStringList drawn;
    for (const kvrec::Text& t : canvas.Texts())
        if (!t.text.isEmpty()) drawn.append(t.text);
    EXPECT_EQ(drawn, (QStringList{"Dear Smith,", "Total: 1234.50", "large order"}));

    // New values, new text.
    evaluator.Variables.SetVariable("Customer", TkvVariant("Jones"));
    m->Memo = {"Dear [Customer],"};
    m->CalcHeight();
    EXPECT_EQ(m->ResultText.value(0).left(11), "Dear Jones,");
}

TEST_F(ObjectExpressions, DisplayFormatTextOnlyAndHideZeros) {
    auto m = Memo({"[Total]", "[Zero]", "[Customer]"});
    m->DisplayFormat = 0x101022C; // fixed, 2 decimals, comma
    m->CalcHeight();
    EXPECT_EQ(m->ResultText.value(0).left(7), "1234,50");
    EXPECT_EQ(m->ResultText.value(1).left(4), "0,00");
    m->Flags |= 0x0040; // hide zeros
    m->CalcHeight();
    EXPECT_EQ(m->ResultText.value(1), "\x01"); // an empty paragraph
    m->Flags |= 0x0010; // text only
    m->CalcHeight();
    EXPECT_EQ(m->ResultText.value(0).left(7), "[Total]");
    // A broken expression is the build's error, not silently printed.
    m->Flags &= ~0x0010;
    m->Memo = {"[1 +]"};
    EXPECT_THROW(m->CalcHeight(), TkvExpressionError);
    m->Memo = {"[Total"};
    EXPECT_THROW(m->CalcHeight(), TkvExpressionError);
}

TEST_F(ObjectExpressions, TagsExpandWithTheViewsFormat) {
    auto m = Memo({});
    m->Tag = "[Customer] #[1+1] [Total #N1.1]";
    m->ExpandTagBrackets();
    EXPECT_EQ(m->Tag, "Smith #2 1234.5");
    m->Tag = "no expressions";
    m->ExpandTagBrackets();
    EXPECT_EQ(m->Tag, "no expressions");
    report.Evaluator = nullptr; // without an evaluator the tag stays as written
    m->Tag = "[Customer]";
    m->ExpandTagBrackets();
    EXPECT_EQ(m->Tag, "[Customer]");
}

TEST_F(ObjectExpressions, ListMethodsEvaluateTheirArgument) {
    auto m = Memo({});
    TkvVariant r;
    m->CallMethod("MEMO.ADD", "1+2", {}, {}, r);
    m->CallMethod("LINES.ADD", "'x' + [Customer]", {}, {}, r);
    m->CallMethod("MEMO.ADD", "7/2", {}, {}, r);
    EXPECT_EQ(m->Memo, (TkvStringList{"3", "xSmith", "3.5"}));
    m->CallMethod("MEMO.INDEXOF", "'xSm' + 'ith'", {}, {}, r);
    EXPECT_EQ(r, TkvVariant(int64_t(1)));
    m->CallMethod("MEMO.DELETE", "2 - 2", {}, {}, r);
    EXPECT_EQ(m->Memo, (TkvStringList{"xSmith", "3.5"}));
    EXPECT_THROW(m->CallMethod("MEMO.DELETE", "5", {}, {}, r), TkvListIndexError);
    EXPECT_THROW(m->CallMethod("MEMO.ADD", "(1", {}, {}, r), TkvExpressionError);
}

TEST_F(ObjectExpressions, HighlightHoldsOnlyForANonZeroValue) {
    auto m = Memo({"x"});
    m->HighlightFontStyle = 2;
    m->HighlightFontColor = 0x0000FF;
    m->HighlightFillColor = 0x00FF00;
    struct Case {
        const char* condition;
        bool holds;
    } cases[] = {
        {"[Total] > 1000", true}, {"[Total] < 1000", false}, {"1", true},      {"0", false},
        {"[Missing]", false},     {"'abc' > 1", false},      {"(1", false},    {"TRUE", true},
    };
    for (const Case& c : cases) {
        m->Font.Style = 0;
        m->Font.Color = 0;
        m->FillColor = 0x1FFFFFFF;
        m->HighlightCondition = c.condition;
        m->ApplyHighlight();
        EXPECT_EQ(m->Font.Style == 2 && m->Font.Color == 0x0000FF && m->FillColor == 0x00FF00, c.holds)
            << c.condition;
    }
    // CalcHeight measures with the highlight and restores the object afterwards.
    m->HighlightCondition = "1";
    m->Font.Style = 0;
    m->CalcHeight();
    EXPECT_EQ(m->Font.Style, 0);
    EXPECT_EQ(m->FillColor, 0x00FF00u); // from the last case above: restored to what it was
}

TEST_F(ObjectExpressions, FirstPassOfATwoPassBuildRemembersSuppressedValues) {
    TkvReport master;
    master.DoublePassReport = 1;
    kv::MasterReport() = &master;
    auto m = Memo({"[Customer]"});
    m->Flags |= 0x0020; // suppress repeated values
    kv::FirstPassActive() = 1;
    EXPECT_GT(m->CalcHeight(), 0);
    EXPECT_EQ(m->LastValue.left(5), "Smith");
    EXPECT_EQ(m->CalcHeight(), 0); // the same value again
    kv::FirstPassActive() = 0;
    m->LastValue.clear();
    m->CalcHeight();
    EXPECT_TRUE(m->LastValue.isEmpty()); // outside the first pass the writer keeps LastValue
}

} // namespace
