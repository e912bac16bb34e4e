// The standard function library with its argument edge cases, the installed-functions list, the
// aggregate keys, registration, accumulation, reading and reset, and the aggregate splitter.
#include "script/aggregate_splitter.h"
#include "script/aggregates.h"
#include "script/installed_functions.h"
#include "script/standalone_interpretator.h"

#include "base/date_time.h"
#include "base/function_library_registry.h"
#include "base/value_ops.h"

#include <gtest/gtest.h>
#include <cstdio>

namespace {

using V = TkvVariant;

// Records prompts and answers from a script of answers.
class ScriptedDialogs : public TkvScriptDialogs {
public:
    QByteArray Input(const QByteArray& caption, const QByteArray& defaultText) override {
        asked.append("INPUT " + caption + "|" + defaultText);
        return answer;
    }
    int MessageBox(const QByteArray& text, const QByteArray& title, int buttons) override {
        asked.append("BOX " + text + "|" + title + "|" + QByteArray::number(buttons));
        return 7;
    }
    QByteArray answer = "typed";
    QByteArrayList asked;
};

class StdFunctions : public ::testing::Test {
protected:
    StdFunctions() : in(fs, &dialogs) {
        in.Variables.SetVariable("D", V(TkvVariant::DateTimeValue{0}));
        double days = 0;
        kv::EncodeDate(2024, 2, 29, days);
        in.Variables.SetVariable("D", V(TkvVariant::DateTimeValue{days}));
    }
    V Eval(const QByteArray& e) { return in.Parser().Evaluate(e); }
    std::string Text(const QByteArray& e) { return kvval::ToText(Eval(e), fs).toStdString(); }

    TkvFormatSettings fs;
    ScriptedDialogs dialogs;
    TkvStandaloneInterpretator in;
};

TEST_F(StdFunctions, EveryFunctionWithItsEdgeCases) {
    struct Case {
        const char* expr;
        const char* text;
    } cases[] = {
        {"DAYOF(D)", "29"},
        {"MONTHOF(D)", "2"},
        {"YEAROF(D)", "2024"},
        {"DAYOF(0)", "30"}, // day 0 is 30 December 1899
        {"FORMATDATETIME('yyyy-mm-dd', D)", "2024-02-29"},
        {"FORMATFLOAT('#,##0.00', 1234.5)", "1,234.50"},
        {"FORMATTEXT('(000) 000-0000', '5551234567')", "(555) 123-4567"},
        {"FORMATTEXT('>LL-00', 'ab12')", "AB-12"},
        {"FORMATTEXT('00-00', '1')", "1 -  "},
        {"FORMATTEXT('\\(00\\)', '12')", "(12)"},
        {"LENGTH('abc')", "3"},
        {"LENGTH('')", "0"},
        {"LENGTH(12.5)", "4"},
        {"LOWERCASE('AbC')", "abc"},
        {"UPPERCASE('AbC')", "ABC"},
        {"NAMECASE('jOHN sMITH')", "John smith"},
        {"NAMECASE('')", ""},
        {"TRIM('  a b  ')", "a b"},
        {"TRIM('')", ""},
        {"POS('b', 'abc')", "2"},
        {"POS('x', 'abc')", "0"},
        {"POS('', 'abc')", "0"},
        {"MAXNUM(2, 10)", "10"},
        {"MAXNUM('b', 'a')", "b"},
        {"MINNUM(2, 10)", "2"},
        {"MINNUM(3, 3)", "3"},
        {"SUM([X])", "0"}, // no build: the preset text
        {"COUNT(Band1)", "0"},
        {"INPUT('Name?', 'Bob')", "typed"},
        {"MESSAGEBOX('Sure?', 'Question', 4)", "7"},
    };
    for (const Case& c : cases) EXPECT_EQ(Text(c.expr), c.text) << c.expr;
    EXPECT_EQ(dialogs.asked, (QByteArrayList{"INPUT Name?|Bob", "BOX Sure?|Question|4"}));
}

TEST_F(StdFunctions, BadArgumentsAndFormatsRaise) {
    const char* bad[] = {
        "DAYOF('not a date')",
        "FORMATFLOAT('0.00', 'abc')",
        "FORMATTEXT('00\\', '1')",
        "MESSAGEBOX('a', 'b', 'c')",
        "YEAROF(1e9)",
    };
    for (const char* e : bad) EXPECT_THROW(Eval(e), TkvVariantError) << e;
    EXPECT_THROW(Eval("FORMATDATETIME('" + QByteArray(5000, 'd') + "', 1)"), TkvVariantError);
    EXPECT_THROW(Eval("FORMATTEXT('" + QByteArray(5000, '0') + "', 1)"), TkvVariantError);
}

TEST(HeadlessDialogs, AnswerTheDefaultAndWriteThePrompt) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    TkvHeadlessDialogs headless(f);
    EXPECT_EQ(headless.Input("Year?", "2024"), "2024");
    EXPECT_EQ(headless.MessageBox("Go\ron?", "Title", 4 + 32), 6); // yes/no: yes
    EXPECT_EQ(headless.MessageBox("x", "", 1), 1);
    EXPECT_EQ(headless.MessageBox("x", "", 5), 4);
    std::rewind(f);
    char buf[256] = {};
    const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    EXPECT_EQ(QByteArray(buf, qsizetype(n)), "INPUT: Year? [2024]\nMESSAGEBOX: Title: Go on?\nMESSAGEBOX: x\nMESSAGEBOX: x\n");
}

TEST(InstalledFunctions, ListsCategoriesAndDropsALibrary) {
    TkvInstalledFunctions list;
    list.Install();
    ASSERT_TRUE(kv::RegisterFunctionLibrary("TkvStdFunctionLibrary", [] { return std::make_unique<TkvStdFunctionLibrary>(); }));
    EXPECT_EQ(list.Count(), 66);
    EXPECT_EQ(list.Categories(), (TkvStringList{"Aggregate", "Boolean", "Date and time", "Interpreter", "Math", "Other",
                                                "Report info", "String"}));
    TkvStringList names;
    list.FunctionsOfCategory("aggregate", names);
    EXPECT_EQ(names, (TkvStringList{"AVG", "COUNT", "MAX", "MIN", "SUM"}));
    list.FunctionsOfCategory("All functions", names);
    EXPECT_EQ(names.size(), 66);
    EXPECT_TRUE(list.Description("namecase").startsWith("NAMECASE(<String>)/"));
    EXPECT_EQ(list.Description("NOSUCH"), "");
    list.Add(nullptr, "AVG", "Other", "again"); // same name: ignored
    list.Add(nullptr, "NEW", "", "no category");
    EXPECT_EQ(list.Count(), 66);
    kv::UnregisterFunctionLibrary("TkvStdFunctionLibrary");
    EXPECT_EQ(list.Count(), 0);
}

// ---------------------------------------------------------------- aggregates

class Band : public TkvAggregateBand {
public:
    Band(const char* name, int type, bool cells = false) : name_(name), type_(type), cells_(cells) {}
    QByteArray BandName() const override { return name_; }
    int BandType() const override { return type_; }
    bool HasCrossCells() const override { return cells_; }

private:
    QByteArray name_;
    int type_;
    bool cells_;
};

TEST(Aggregates, KeysForEveryKindWithAndWithoutTheInvisibleRowsFlag) {
    struct Case {
        char kind;
        const char *p1, *p2, *p3;
        QByteArray key; // empty: not registered
    } cases[] = {
        {kvagg::Sum, "[Amount]", "", "", QByteArray("Summary1\1\x0b\1[Amount]\1\1")},
        {kvagg::Avg, "[Amount]", " MasterData1", "", QByteArray("Summary1\1\x0e\1[Amount]\1\1")},
        {kvagg::Min, "[Amount]", "masterdata1", " 1", QByteArray("Summary1\1\x0c\1[Amount]\1 1\1")},
        {kvagg::Max, "[A] * 2", "MasterData1", "1", QByteArray("Summary1\1\x0d\1[A] * 2\1" "1\1")},
        {kvagg::Count, "MasterData1", "", "", QByteArray("Summary1\1\x0f\1MasterData1\1\1")},
        {kvagg::Count, "MasterData1", "1", "", QByteArray("Summary1\1\x0f\1MasterData1\1" "1\1")},
        {kvagg::Sum, "[Amount]", "DetailData1", "", QByteArray()},
    };
    for (const Case& c : cases) {
        Band data("MasterData1", kvagg::bt::MasterData), summary("Summary1", kvagg::bt::Summary);
        TkvAggregates agg;
        agg.Discovering = true;
        agg.CurrentBand = &summary;
        agg.ExaminedBand = &data;
        EXPECT_EQ(agg.Call(c.kind, c.p1, c.p2, c.p3, TkvFormatSettings::System()).toText(), "0");
        if (c.key.isEmpty()) {
            EXPECT_EQ(data.Aggregates.Count(), 0) << c.p1;
            EXPECT_EQ(summary.AggregateSource, nullptr);
            continue;
        }
        ASSERT_EQ(data.Aggregates.Count(), 1) << c.p1;
        EXPECT_EQ(data.Aggregates.Name(0), c.key);
        EXPECT_EQ(summary.AggregateSource, &data);
        kvagg::TkvAggregateKey k;
        ASSERT_TRUE(kvagg::ParseKey(c.key, k));
        EXPECT_EQ(k.Kind, c.kind);
        EXPECT_FALSE(k.HasColumn);
    }
}

TEST(Aggregates, DefaultBandFollowsTheFooterType) {
    struct Case {
        int footer, data;
        bool registered;
    } cases[] = {
        {kvagg::bt::PageFooter, kvagg::bt::MasterData, true},   {kvagg::bt::GroupFooter, kvagg::bt::MasterData, true},
        {kvagg::bt::DetailFooter, kvagg::bt::DetailData, true}, {kvagg::bt::DetailFooter, kvagg::bt::MasterData, false},
        {kvagg::bt::CrossFooter, kvagg::bt::CrossData, true},   {2 /* page header */, kvagg::bt::MasterData, false},
    };
    for (const Case& c : cases) {
        Band data("Data", c.data), footer("Footer", c.footer);
        TkvAggregates agg;
        agg.Discovering = true;
        agg.CurrentBand = &footer;
        agg.ExaminedBand = &data;
        agg.Call(kvagg::Sum, "[X]", "", "", TkvFormatSettings::System());
        EXPECT_EQ(data.Aggregates.Count(), c.registered ? 1 : 0) << c.footer << "/" << c.data;
    }
}

// Three rows of 10, 20 and 30 (or the given values) through a data band and a summary.
struct Build {
    Band data{"MasterData1", kvagg::bt::MasterData};
    Band summary{"Summary1", kvagg::bt::Summary};
    Band group{"GroupFooter1", kvagg::bt::GroupFooter};
    TkvAggregates agg;
    TkvFormatSettings fs;
    V row;

    void Register(Band& footer, char kind, const char* p1, const char* p2 = "", const char* p3 = "") {
        agg.Discovering = true;
        agg.CurrentBand = &footer;
        agg.ExaminedBand = &data;
        agg.Call(kind, p1, p2, p3, fs);
        agg.Discovering = false;
    }
    void Rows(std::initializer_list<V> values, bool visible = true) {
        for (const V& v : values) {
            row = v;
            TkvAggregates::Accumulate(data, visible, [&](const QByteArray&) { return row; }, fs);
        }
    }
    std::string Read(Band& footer, char kind, const char* p1, const char* p2 = "", const char* p3 = "") {
        agg.CurrentBand = &footer;
        return kvval::ToText(agg.Call(kind, p1, p2, p3, fs), fs).toStdString();
    }
};

TEST(Aggregates, AccumulateReadAndReset) {
    struct Case {
        char kind;
        const char *p1, *p3;
        std::initializer_list<V> rows;
        bool visible;
        const char* result;
    } cases[] = {
        {kvagg::Sum, "[Amount]", "", {V(10), V(20), V(30)}, true, "60"},
        {kvagg::Avg, "[Amount]", "", {V(10), V(20), V(30)}, true, "20"},
        {kvagg::Count, "MasterData1", "", {V(10), V(20), V(30)}, true, "3"},
        {kvagg::Min, "[Amount]", "", {V(20), V(10), V(30)}, true, "10"},
        {kvagg::Max, "[Amount]", "", {V(-5), V(-3)}, true, "-3"},
        {kvagg::Min, "[Amount]", "", {}, true, "0"},
        {kvagg::Max, "[Amount]", "", {}, true, "0"},
        {kvagg::Avg, "[Amount]", "", {}, true, "0"},
        {kvagg::Sum, "[Amount]", "", {V(10), V::Null()}, true, "10"},
        {kvagg::Sum, "[Amount]", "", {V(10), V(20)}, false, "0"},
        {kvagg::Sum, "[Amount]", " 1 ", {V(10), V(20)}, false, "30"},
        {kvagg::Count, "MasterData1", "", {V(1), V(2)}, false, "0"},
    };
    for (const Case& c : cases) {
        Build b;
        const char* band = c.kind == kvagg::Count ? "" : "MasterData1";
        const char* flag = c.kind == kvagg::Count ? c.p3 : c.p3;
        if (c.kind == kvagg::Count) b.Register(b.summary, c.kind, c.p1, flag);
        else b.Register(b.summary, c.kind, c.p1, band, flag);
        b.Rows(c.rows, c.visible);
        const std::string got = c.kind == kvagg::Count ? b.Read(b.summary, c.kind, c.p1, flag)
                                                       : b.Read(b.summary, c.kind, c.p1, band, flag);
        EXPECT_EQ(got, c.result) << int(c.kind) << " " << c.p1 << " flag '" << c.p3 << "'";
        TkvAggregates::Reset(b.summary);
        EXPECT_EQ(b.data.RowCount, 0);
        b.Rows({V(7)});
        const std::string again = c.kind == kvagg::Count ? b.Read(b.summary, c.kind, c.p1, flag)
                                                         : b.Read(b.summary, c.kind, c.p1, band, flag);
        EXPECT_EQ(again, c.kind == kvagg::Count ? "1" : "7") << int(c.kind);
    }
}

TEST(Aggregates, GroupFooterResetsItsOwnEntriesOnly) {
    Build b;
    b.Register(b.summary, kvagg::Avg, "[Amount]");
    b.Register(b.group, kvagg::Sum, "[Amount]");
    b.Rows({V(10), V(20)});
    EXPECT_EQ(b.Read(b.group, kvagg::Sum, "[Amount]"), "30");
    TkvAggregates::Reset(b.group);
    b.Rows({V(30)});
    EXPECT_EQ(b.Read(b.group, kvagg::Sum, "[Amount]"), "30");
    // The summary's average runs over all three rows, whatever the group footer reset: 60 / 3.
    EXPECT_EQ(b.Read(b.summary, kvagg::Avg, "[Amount]"), "20");
    // A footer that registered nothing reads the text 0; an unknown key gives null.
    Band other("Other", kvagg::bt::Summary);
    EXPECT_EQ(b.Read(other, kvagg::Sum, "[Amount]"), "0");
    b.agg.CurrentBand = &b.summary;
    EXPECT_TRUE(b.agg.Call(kvagg::Sum, "[Missing]", "", "", b.fs).isNull());
}

TEST(Aggregates, CrossCellsKeepOneEntryPerColumn) {
    Band data("MasterData1", kvagg::bt::MasterData, true);
    Band summary("Summary1", kvagg::bt::Summary, true);
    TkvAggregates agg;
    agg.Discovering = true;
    agg.CurrentBand = &summary;
    agg.ExaminedBand = &data;
    agg.Call(kvagg::Sum, "[X]", "", "", TkvFormatSettings::System());
    agg.Discovering = false;
    ASSERT_EQ(data.Aggregates.Count(), 1);
    EXPECT_TRUE(data.Aggregates.Name(0).startsWith("0\1Summary1\1"));
    V row;
    auto value = [&](const QByteArray&) { return row; };
    const TkvFormatSettings& fs = TkvFormatSettings::System();
    row = V(5);
    TkvAggregates::Accumulate(data, true, value, fs, "1");
    row = V(7);
    TkvAggregates::Accumulate(data, true, value, fs, "2");
    TkvAggregates::Accumulate(data, true, value, fs, "2");
    agg.CurrentBand = &summary;
    agg.CellBand = "Summary1";
    agg.CellColumn = "1";
    EXPECT_EQ(agg.Call(kvagg::Sum, "[X]", "", "", fs).toInt(), 5);
    agg.CellColumn = "2";
    EXPECT_EQ(agg.Call(kvagg::Sum, "[X]", "", "", fs).toInt(), 14);
    // The template entry itself never accumulates.
    EXPECT_EQ(data.Aggregates.Value(0).toInt(), 0);
}

TEST(AggregateSplitter, FindsCallsInMemosAndScriptsThroughDictionaryVariables) {
    TkvVariables dictionary;
    dictionary.SetVariable("Total", V("SUM([Amount])"));
    TkvStringList found;
    TAggregateFunctionsSplitter splitter(dictionary, found);
    splitter.FindInMemo({"Total: [Total]   Avg: [AVG([Price], MasterData1)]", "[COUNT(MasterData1)] [Name] [unclosed"});
    EXPECT_EQ(found, (TkvStringList{"SUM([Amount])", "AVG([Price], MasterData1)", "COUNT(MasterData1)"}));
    found.clear();
    TkvInterpretator in;
    TkvStringList compiled, errors;
    in.Compile({"if MAX([A]) > 0 then x := MIN([B])"}, compiled, errors);
    splitter.FindInScript(compiled);
    EXPECT_EQ(found, (TkvStringList{"MAX([A])", "MIN([B])"}));
}

TEST(StandaloneInterpretator, RunsScriptsWithTheStandardLibrary) {
    TkvFormatSettings fs;
    TkvScriptDialogs* none = nullptr;
    TkvStandaloneInterpretator in(fs, none);
    TkvStringList compiled, errors;
    in.Compile(kv::SplitLines("begin s := ''; for i := 1 to 3 do s := s + UPPERCASE('a'); A[1] := LENGTH(s); "
                              "n := A[1] + clRed end"),
               compiled, errors);
    ASSERT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
    in.Execute(compiled);
    EXPECT_EQ(in.Variables.GetVariable("s").toText(), "AAA");
    EXPECT_EQ(in.Variables.GetVariable("n").toInt(), 3 + 255);
    EXPECT_TRUE(in.Assigned.contains("A[1]"));
}

} // namespace
