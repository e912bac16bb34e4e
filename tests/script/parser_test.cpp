// The expression language: results and postfix images of the edge cases, priorities, hooks,
// built-ins, the reading routines, aggregate discovery and every error that must be clean.
#include "script/function_splitter.h"
#include "script/parser.h"

#include "base/value_ops.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

using V = TkvVariant;

// A parser whose names come from a table and whose functions are recorded.
class ParserTest : public ::testing::Test {
protected:
    ParserTest() : parser(fs) {
        parser.OnGetVariable = [this](const QByteArray& name, V& value) {
            asked.append(name);
            const int i = vars.IndexOf(name);
            if (i >= 0) value = vars.Value(i);
        };
        parser.OnFunction = [this](const QByteArray& name, const V& p1, const V& p2, const V& p3, V& value) {
            calls.append(name + "|" + p1.toText() + "|" + p2.toText() + "|" + p3.toText());
            if (name == "TWICE") value = kvval::Multiply(parser.Evaluate(p1.toText()), V(2), fs);
            if (name == "GETARRAY") value = V(p1.toText() + ":" + parser.Evaluate(p2.toText()).toText());
        };
        vars.SetVariable("A", V(10));
        vars.SetVariable("Customer Name", V("Smith"));
        vars.SetVariable("Price", V(2.5));
        vars.SetVariable("Qty", V(4));
    }

    std::string Text(const QByteArray& e) { return kvval::ToText(parser.Evaluate(e), fs).toStdString(); }

    TkvFormatSettings fs;
    TkvParser parser;
    TkvVariables vars;
    QByteArrayList asked, calls;
};

TEST_F(ParserTest, EdgeCasesOfTheLanguage) {
    struct Case {
        const char* expr;
        V result;
    } cases[] = {
        {"2+3*4", V(14)},
        {"(2+3)*4", V(20)},
        {"10-4-3", V(3)},
        {"-3+5", V(2)},
        {"+5", V(5)},
        {"7 MOD 3", V(1)},
        {"7 mod 3", V(1)},
        {"7/2", V(3.5)},
        {"7/0", V(0)},
        {"1=1", V(1)},
        {"NOT 0", V(1)},
        {"NOT 5", V(0)},
        {"1 = 1 AND 2 = 2", V(0)},
        {"(1 = 1) AND (2 = 2)", V(1)},
        {"INT(2.9999999999999)", V(3.0)},
        {"INT(-2.5)", V(-2.0)},
        {"FRAC(2.75)", V(0.75)},
        {"ROUND(2.5)", V(2.0)},
        {"ROUND(3.5)", V(4.0)},
        {"ROUND(-2.5)", V(-2.0)},
        {"'It''s'", V("It's")},
        {"'a' + 'b'", V("ab")},
        {"'5' + 1", V(6)},
        {"1,5 + 1", V(2.5)},
        {"IF(1 > 0, 'yes', [Missing])", V("yes")},
        {"COPY('abcdef', 2, 3)", V("bcd")},
        {"COPY('abcdef', 9, 3)", V("")},
        {"COPY('abcdef', 0, 2)", V("ab")},
        {"a; b", V(10)},
        {"", V(0)},
        {"TRUE", V(true)},
        {"false OR TRUE", V(true)},
        {"STR 5 + 'x'", V("5x")},
        {"1 < 2", V(1)},
        {"2 >= 2", V(1)},
        {"2 <= 1", V(0)},
        {"1 <> 2", V(1)},
        {"'abc' < 'abd'", V(1)},
        {"[Price] * [Qty] + 1", V(11.0)},
        {"[Customer Name]", V("Smith")},
        {"TWICE(3 + 4)", V(14)},
        {"IF(TRUE, 1, 2)", V(1)},
        {"IF(0.5, 1, 2)", V(2)},
        {"IF('1', 1, 2)", V(1)},
        {"IF([Nothing], 1, 2)", V(2)},
        // A prefix operator right after a binary one takes its own operand.
        {"2*-3", V(-6)},
        {"1+-1", V(0)},
        {"1 AND NOT 0", V(1)},
        {"NOT -1", V(0)},
        {"2 - -2", V(4)},
        {"(1)-2", V(-1)},
        {"\t1\n+\r2", V(3)},
    };
    for (const Case& c : cases) {
        const V r = parser.Evaluate(c.expr);
        EXPECT_EQ(r, c.result) << c.expr << " gave " << kvval::ToText(r, fs).constData();
    }
}

TEST_F(ParserTest, PostfixImages) {
    struct Case {
        const char* expr;
        QByteArray postfix;
    } cases[] = {
        {"2+3*4", "2 3 4 *+"},
        {"(2+3)*4", "2 3 +4 *"},
        {"10-4-3", "10 4 -3 -"},
        {"-3+5", "3 \x09" "5 +"},
        {"+5", "5 \x0a"},
        {"7 MOD 3", "7 3 \x0d"},
        {"a >= b <= c <> d", "a b \x01" "c \x02" "d \x03"},
        {"x or y and z", "x y \x04" "z \x05"},
        {"INT([X] / 2)", "[X] 2 /\x06"},
        {"FRAC 1 + ROUND 2", "1 \x07" "2 \x0e+"},
        {"NOT STR 1", "1 \x0b\x0c"},
        {"SUM([Amount], MasterData1) + 1", "SUM([Amount], MasterData1)1 +"},
        {"Arr[2]", "Arr[2] "},
        {"'a b' + [c d]", "'a b' [c d] +"},
        {"a; b", "a "},
        {"2*-3", "2 3 \x09*"},
    };
    // Names keep their spelling in the postfix form; evaluation upper-cases them.
    for (const Case& c : cases) EXPECT_EQ(parser.ConvertToPostfix(c.expr), c.postfix) << c.expr;
}

TEST_F(ParserTest, HooksSeeNamesAndArgumentsAsWritten) {
    parser.Evaluate("[Customer Name] + customer");
    EXPECT_EQ(asked, (QByteArrayList{"Customer Name", "CUSTOMER"}));
    parser.Evaluate("SUM([Amount], MasterData1)");
    EXPECT_EQ(calls.last(), "SUM|[Amount]| MasterData1|");
    EXPECT_EQ(parser.Evaluate("Arr[1+1]"), V("Arr:2"));
    EXPECT_EQ(calls.last(), "GETARRAY|Arr| 1+1|");
    calls.clear();
    parser.Evaluate("f(1, 2, 3, 4)");
    EXPECT_EQ(calls.last(), "F|1| 3| 4"); // three argument positions only
    asked.clear();
    parser.Evaluate("IF(0, [Left], [Right])");
    EXPECT_EQ(asked, (QByteArrayList{"Right"}));
    EXPECT_TRUE(parser.Evaluate("[Unknown]").isNull());
    EXPECT_TRUE(parser.Evaluate("unknownfn(1)").isNull());
}

TEST_F(ParserTest, DatesAndSeparatorsFollowTheSettings) {
    TkvFormatSettings eu;
    eu.ApplyOverrides("decimal=,;dateSeparator=.;shortDate=dd/mm/yyyy;longTime=hh:nn:ss");
    parser.SetSettings(eu);
    EXPECT_EQ(kvval::ToText(parser.Evaluate("1.5 + 1"), eu), "2,5");
    EXPECT_EQ(kvval::ToText(parser.Evaluate("STR(1.5)"), eu), "1,5");
    EXPECT_EQ(kvval::ToText(parser.Evaluate("STRTODATE('15.11.1998')"), eu), "15.11.1998");
    EXPECT_EQ(kvval::ToText(parser.Evaluate("STRTODATE('15.11.1998') + 1"), eu), "16.11.1998");
    EXPECT_EQ(kvval::ToText(parser.Evaluate("STRTOTIME('10:30')"), eu), "10:30:00");
    EXPECT_EQ(parser.Evaluate("STRTODATE('1.1.2000') = 36526"), V(1));
    parser.SetSettings(fs);
    EXPECT_EQ(Text("1,5 + 1"), "2.5");
}

TEST_F(ParserTest, ErrorsAreCleanAndNamed) {
    struct Case {
        const char* expr;
        const char* message; // part of the message
    } cases[] = {
        {"(1+2", "Missing )"},
        {"1+2)", "Unbalanced )"},
        {"'abc", "Unterminated quoted"},
        {"'abc + [A]", "Unterminated quoted"},
        {"[A", "Missing ]"},
        {"Arr[1", "Missing ]"},
        {"f(1, 2", "Missing )"},
        {"%", "Nothing follows %"},
        {"(%)", "Nothing follows %"},
        {"1 +", "missing an operand"},
        {"*", "missing an operand"},
        {"7 MOD 0", "Division by zero"},
        {"1.2.3", "not a valid floating point"},
        {"12abc", "not a valid floating point"},
        {"'x' * 2", "not a valid number"},
        {"NULLVALUE < 1", "null value"},
        {"1e400 * 1", "not a valid floating point"},
        {"INT 1e20 MOD 3", "not a valid floating point"},
        {"STRTODATE('32.13.2000')", "not a valid date"},
    };
    vars.SetVariable("NULLVALUE", V::Null());
    for (const Case& c : cases) {
        try {
            parser.Evaluate(c.expr);
            ADD_FAILURE() << c.expr << " did not fail";
        } catch (const TkvVariantError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.expr << ": " << e.what();
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
        }
    }
    // Out-of-range integer conversion.
    EXPECT_THROW(parser.Evaluate("99999999999999999999 MOD 2"), TkvVariantError);
}

TEST_F(ParserTest, StackAndNestingAreBounded) {
    QByteArray deep;
    for (int i = 0; i < 40; ++i) deep += "1+(";
    deep += "1" + QByteArray(40, ')');
    EXPECT_THROW(parser.Evaluate(deep), TkvExpressionError);
    QByteArray ok;
    for (int i = 0; i < 20; ++i) ok += "1+(";
    ok += "1" + QByteArray(20, ')');
    EXPECT_EQ(parser.Evaluate(ok), V(21));
    // A variable whose value is evaluated and names itself.
    parser.OnGetVariable = [this](const QByteArray& name, V& value) { value = parser.Evaluate("[" + name + "] + 1"); };
    EXPECT_THROW(parser.Evaluate("[Loop]"), TkvExpressionError);
    // Function nesting through the built-ins.
    QByteArray calls;
    for (int i = 0; i < 50; ++i) calls += "IF(1,";
    calls += "1" + QByteArray(50, ')');
    EXPECT_THROW(parser.Evaluate(calls), TkvExpressionError);
}

TEST_F(ParserTest, EvaluatePostfixOfForeignTextNeverLoops) {
    // Postfix forms come from callers that keep them; text that no conversion produced must end in
    // an error or a value, never hang or read outside.
    for (const QByteArray& p : {QByteArray("("), QByteArray(")"), QByteArray("\x01"), QByteArray("\x08"),
                                QByteArray("1 \x09\x09\x09"), QByteArray("abc("), QByteArray("["),
                                QByteArray("'"), QByteArray("\x1f"), QByteArray("1 ;")}) {
        try {
            parser.EvaluatePostfix(p);
        } catch (const TkvVariantError&) {
        }
    }
}

TEST(ReadingRoutines, TokensQuotesBracketsArguments) {
    qsizetype end = 0;
    EXPECT_EQ(kvparse::ReadToken("  abc+1", 0, end), "abc");
    EXPECT_EQ(end, 5);
    EXPECT_EQ(kvparse::ReadToken("Data.\"Last Name\"+1", 0, end), "Data.\"Last Name\"");
    EXPECT_EQ(kvparse::ReadToken("a,b.c]d;e", 0, end), "a,b.c]d");
    EXPECT_EQ(kvparse::ReadToken("(x", 0, end), "");
    EXPECT_EQ(end, 0);
    EXPECT_EQ(kvparse::ReadToken("   ", 0, end), "");
    EXPECT_EQ(end, 3);

    bool closed = false;
    EXPECT_EQ(kvparse::ReadQuoted("x'a''b'c", 1, end, &closed), "'a''b'");
    EXPECT_TRUE(closed);
    EXPECT_EQ(end, 7);
    EXPECT_EQ(kvparse::ReadQuoted("'abc", 0, end, &closed), "'abc");
    EXPECT_FALSE(closed);
    EXPECT_EQ(kvparse::Unquote("'a''b'"), "a'b");

    kvparse::TkvBracketed b = kvparse::ExtractBracketed("x[a[b]']'\"[\"]y", 1);
    EXPECT_TRUE(b.Closed);
    EXPECT_EQ(b.Text, "a[b]']'\"[\"");
    EXPECT_EQ(b.Close, 12);
    b = kvparse::ExtractBracketed("[abc", 0);
    EXPECT_FALSE(b.Closed);
    EXPECT_EQ(b.Text, "ab");
    EXPECT_EQ(b.Close, 3);
    b = kvparse::ExtractBracketed("abc", 1);
    EXPECT_EQ(b.Text, "");
    EXPECT_EQ(b.Close, 1);
    b = kvparse::ExtractBracketed("[", 0);
    EXPECT_FALSE(b.Closed);
    EXPECT_EQ(b.Text, "");

    kvparse::TkvArguments a = kvparse::SplitArguments("f(g(1,2), 'x,)', 3)+1", 1);
    EXPECT_EQ(a.Args[0], "g(1,2)");
    EXPECT_EQ(a.Args[1], " 'x,)'");
    EXPECT_EQ(a.Args[2], " 3");
    EXPECT_EQ(a.End, 19);
    a = kvparse::SplitArguments("f()", 1);
    EXPECT_EQ(a.Args[0], "");
    EXPECT_EQ(a.End, 3);
    EXPECT_THROW(kvparse::SplitArguments("f(1, (2)", 1), TkvExpressionError);
}

TEST(FunctionSplitter, FindsCallsThroughArgumentsAndVariables) {
    TkvStringList names{"sum", "COUNT"};
    TkvVariables variables;
    variables.SetVariable("Total", V("SUM([Net]) + COUNT(MasterData1)"));
    variables.SetVariable("Self", V("[Self]"));
    TkvStringList found;
    TkvFunctionSplitter splitter(names, variables, found);
    struct Case {
        const char* expr;
        TkvStringList calls;
    } cases[] = {
        {"[Price] * 2 + SUM([Qty])", {" SUM([Qty])"}},
        {"IF([A] > 0, SUM([B]), 0)", {"SUM([B])"}},
        {"SUM(SUM([X]))", {"SUM([X])", "SUM(SUM([X]))"}},
        {"[Total] * 2", {"SUM([Net])", " COUNT(MasterData1)"}},
        {"Total", {"SUM([Net])", " COUNT(MasterData1)"}},
        {"(SUM([A]))", {"SUM([A])"}},
        {"'SUM([A])'", {}},
        {"", {}},
        {"MAX([A])", {}},
    };
    for (const Case& c : cases) {
        found.clear();
        splitter.Split(c.expr);
        EXPECT_EQ(found, c.calls) << c.expr;
    }
    EXPECT_THROW(splitter.Split("[Self]"), TkvExpressionError);
    EXPECT_THROW(splitter.Split("SUM(1"), TkvExpressionError);
}

TEST(ParserEvaluator, NamesFromItsVariables) {
    TkvParserEvaluator e;
    e.Variables.SetVariable("Price", V(3));
    EXPECT_EQ(e.Evaluate("[price] * 2"), V(6));
    const QByteArray postfix = e.ConvertToPostfix("PRICE + 1");
    EXPECT_EQ(e.EvaluatePostfix(postfix), V(4));
    EXPECT_TRUE(e.Evaluate("[Other]").isNull());
}

} // namespace
