// Object scripts run through the report's evaluator: before the text is expanded, once for a height
// and the print that follows it, and their failures reach the caller.
#include "script/interpretator.h"
#include "script/parser.h"

#include "../core/fixed_metric_canvas.h"
#include "base/stream.h"
#include "core/globals.h"
#include "core/report/report.h"
#include "core/views/memo_layout.h"
#include "core/views/memo_view.h"

#include <gtest/gtest.h>

namespace {

class ObjectScripts : public ::testing::Test {
protected:
    ObjectScripts() {
        report.Evaluator = &evaluator;
        keptReport_ = kv::CurReport();
        kv::CurReport() = &report;
        kv::DocumentMode() = 1;
        kv::Library().TextMeasuringCanvas = &measuring;
        evaluator.Variables.SetVariable("Runs", TkvVariant(0));
    }
    ~ObjectScripts() override {
        kv::CurReport() = keptReport_;
        kv::CurView() = nullptr;
        kv::DocumentMode() = 0;
        kv::Library().TextMeasuringCanvas = nullptr;
    }

    std::unique_ptr<TkvMemoView> Memo(const QByteArray& script) {
        auto m = std::make_unique<TkvMemoView>();
        m->SetBounds(10, 10, 400, 200);
        m->Memo = {"Run [Runs]"};
        m->ScriptLines = kv::SplitLines(script);
        TkvInterpretator compiler;
        TkvStringList errors;
        compiler.Compile(m->ScriptLines, m->ScriptLines, errors); // in place, as the page builder does
        EXPECT_TRUE(errors.isEmpty());
        return m;
    }
    int Runs() { return int(evaluator.Variables.GetVariable("Runs").toInt()); }

    TkvParserEvaluator evaluator;
    TkvReport report;
    FixedMetricCanvas measuring;

private:
    TkvReport* keptReport_;
};

TEST_F(ObjectScripts, RunBeforeTheTextAndOnceForAHeightAndItsPrint) {
    auto m = Memo("Runs := Runs + 1");
    ASSERT_GT(m->CalcHeight(), 0);
    EXPECT_EQ(Runs(), 1);
    ASSERT_EQ(m->ResultText.size(), 1);
    EXPECT_TRUE(m->ResultText[0].startsWith("Run 1")) << m->ResultText[0].toStdString(); // laid out
    TkvMemoryStream out;
    m->PrintToStream(out); // right after CalcHeight: the script already ran
    EXPECT_EQ(Runs(), 1);
    m->PrintPhase = kvpp::Normal;
    m->PrintToStream(out);
    EXPECT_EQ(Runs(), 2);
}

TEST_F(ObjectScripts, FailuresAndEndlessLoopsReachTheCaller) {
    auto bad = Memo("x := 'a' - 1");
    EXPECT_THROW(bad->CalcHeight(), TkvVariantError);
    auto endless = Memo("while 1 do Runs := Runs + 1");
    endless->Name = "Memo7";
    evaluator.MaxScriptSteps = 5000;
    try {
        endless->CalcHeight();
        FAIL() << "an endless script ended";
    } catch (const TkvScriptError& e) {
        EXPECT_STREQ(e.what(), "The script of Memo7 was stopped after 5000 steps");
    }
}

} // namespace
