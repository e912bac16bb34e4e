// The script interpreter: compiled images of every statement form, execution, error lines with
// their positions, the step bound, nesting, in-place compilation and aggregate discovery.
#include "script/interpretator.h"

#include "base/value_ops.h"

#include <gtest/gtest.h>

namespace {

using V = TkvVariant;

// Variables in a list; SETARRAY/GETARRAY over "NAME[INDEX]" entries; every call recorded.
class TableInterpretator : public TkvInterpretator {
public:
    TableInterpretator() : TkvInterpretator(fs) {}

    void GetValue(const QByteArray& name, V& value) override {
        const int i = vars.IndexOf(name);
        if (i >= 0) value = vars.Value(i);
    }
    void SetValue(const QByteArray& name, const V& value) override { vars.SetVariable(name, value); }
    void CallFunction(const QByteArray& name, const V& p1, const V& p2, const V& p3, V& value) override {
        calls.append(name + "|" + p1.toText() + "|" + p2.toText() + "|" + p3.toText());
        if (name == "SETARRAY")
            vars.SetVariable(p1.toText().trimmed() + "[" + Parser().Evaluate(p2.toText()).toText() + "]",
                             Parser().Evaluate(p3.toText()));
        else if (name == "GETARRAY")
            value = vars.GetVariable(p1.toText().trimmed() + "[" + Parser().Evaluate(p2.toText()).toText() + "]");
        else if (name == "RUN" && inner)
            Execute(*inner);
    }

    TkvStringList Compiled(const QByteArray& source, TkvStringList* errors = nullptr) {
        TkvStringList out, errs;
        Compile(kv::SplitLines(source), out, errs);
        if (errors) *errors = errs;
        return out;
    }
    QByteArrayList Image(const QByteArray& source) {
        QByteArrayList image;
        for (const QByteArray& line : Compiled(source)) image.append(DescribeLine(line));
        return image;
    }
    void Run(const QByteArray& source) { Execute(Compiled(source)); }
    std::string Value(const char* name) { return kvval::ToText(vars.GetVariable(name), fs).toStdString(); }

    TkvFormatSettings fs;
    TkvVariables vars;
    QByteArrayList calls;
    const TkvStringList* inner = nullptr;
};

QByteArray Joined(const QByteArrayList& lines) { return lines.join(" ; "); }

TEST(Interpretator, CompiledImagesOfEveryStatementForm) {
    struct Case {
        const char* source;
        const char* image; // DescribeLine of each instruction, joined by " ; "
    } cases[] = {
        {"begin a := 1; b := 2 end", "a := 1 ; b := 2"},
        // Several statements at the top level, separated by ";" on one line or over lines.
        {"a := 1; b := 2", "a := 1 ; b := 2"},
        {"a := 1;\rif a = 1 then NEWPAGE;", "a := 1 ; IFNOT 3 a 1 = ; CALL NEWPAGE(0)"},
        {"a := 1;\r\rb := 2;\r", "a := 1 ; b := 2"},
        {"NewPage; NewColumn", "CALL NewPage(0) ; CALL NewColumn(0)"},
        {"if a then b := 1 else c := 2; d := 3", "IFNOT 3 a ; b := 1 ; GOTO 4 ; c := 2 ; d := 3"},
        {"begin a := 1 end; b := 2", "a := 1 ; b := 2"},
        {"goto 10; x := 1; 10: y := 2", "GOTO 2 ; x := 1 ; y := 2"},
        {"begin a := 1 end.", "a := 1"},
        // A full stop right after END ends the text, also after a semicolon, a nested block or on
        // its own line; nothing after it is compiled.
        {"begin\r  a := 1;\rend.", "a := 1"},
        {"begin if a then begin b := 1 end; end.\rjunk here", "IFNOT 2 a ; b := 1"},
        {"begin a := 1\rend.\r", "a := 1"},
        // IF(...) is a function wherever an operand may stand; "if(" still starts a statement.
        {"x := IF(a > 1, 'big', 'small')", "x := IF(a > 1, 'big', 'small')"},
        {"if IF(a, 1, 0) = 1 then y := 1", "IFNOT 2 IF(a, 1, 0) 1 = ; y := 1"},
        {"if(a > 1) then y := 1", "IFNOT 2 a 1 > ; y := 1"},
        {";;a := 1", "a := 1"},
        {"if x > 1 then y := 1 else y := 2", "IFNOT 3 x 1 > ; y := 1 ; GOTO 4 ; y := 2"},
        {"if x > 1 then y := 1", "IFNOT 2 x 1 > ; y := 1"},
        {"while i < 3 do i := i + 1", "IFNOT 3 i 3 < ; i := i 1 + ; GOTO 0"},
        {"for i := 1 to 3 do s := s + i", "i := 1 ; IFNOT 5 i 3 <= ; s := s i + ; i := i 1 + ; GOTO 1"},
        {"repeat i := i + 1 until i >= 5", "i := i 1 + ; IFNOT 0 i 5 >="},
        {"begin goto 10; x := 1; 10: y := 2 end", "GOTO 2 ; x := 1 ; y := 2"},
        {"A[2] := 5", "CALL SETARRAY(A, 2, 5)"},
        {"NewPage;", "CALL NewPage(0)"},
        {"exit", "CALL exit(0)"},
        {"ShowBand(Band1)", "CALL ShowBand(Band1)"},
        {"x :=5", "x := 5"},
        {"BEGIN x := 1 END;", "x := 1"},
        {"begin begin a := 1 end; b := 2 end", "a := 1 ; b := 2"},
        {"begin if a then b := 1 else c := 2; d := 3 end", "IFNOT 3 a ; b := 1 ; GOTO 4 ; c := 2 ; d := 3"},
        {"if a then NewPage else NewColumn", "IFNOT 3 a ; CALL NewPage(0) ; GOTO 4 ; CALL NewColumn(0)"},
        {"repeat NewPage until a = 1", "CALL NewPage(0) ; IFNOT 0 a 1 ="},
        {"begin end", ""},
        {"x := -y * (2 + z)", "x := y 2 z + * NEG"},
        {"x := NOT a AND b", "x := a NOT b AND"},
        {"s := 'a {not a comment}' + [Customer Name]", "s := 'a {not a comment}' [Customer Name] +"},
        {"x := PAGE# + 1", "x := PAGE# 1 +"},
        {"x := f() + g(1, h(2))", "x := f() g(1, h(2)) +"},
        {"x := a {comment} + b // to the end\r", "x := a b +"},
        {"", ""},
        {"{ only a comment }", ""},
    };
    for (const Case& c : cases) {
        TableInterpretator in;
        EXPECT_EQ(Joined(in.Image(c.source)), QByteArray(c.image)) << c.source;
    }
}

TEST(Interpretator, CompiledLinesHoldKindTargetAndPostfix) {
    TableInterpretator in;
    const TkvStringList lines = in.Compiled("if x > 1 then y := 1 else y := 2");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QByteArray("\x01\x03\x00", 3) + "x 1 >");
    EXPECT_EQ(lines[1], QByteArray("y 1 "));
    EXPECT_EQ(lines[2], QByteArray("\x02\x04\x00", 3));
    // Targets above 255 use the high byte.
    QByteArray source = "begin ";
    for (int i = 0; i < 300; ++i) source += "a := 1; ";
    source += "1: goto 1 end";
    TkvStringList errors;
    const TkvStringList big = in.Compiled(source, &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(big.last(), QByteArray("\x02\x2c\x01", 3));
}

TEST(Interpretator, RunsLoopsConditionsAndJumps) {
    struct Case {
        const char* source;
        const char* name;
        const char* value;
    } cases[] = {
        {"begin s := 0; for i := 1 to 3 do s := s + i end", "s", "6"},
        {"begin s := 0; for i := 1 to 3 do s := s + i end", "i", "4"},
        {"begin i := 0; repeat i := i + 1 until i >= 5 end", "i", "5"},
        {"begin i := 0; while i < 3 do i := i + 1 end", "i", "3"},
        {"begin x := 0; goto 10; x := 1; 10: y := 2 end", "x", "0"},
        {"begin x := 0; goto 10; x := 1; 10: y := 2 end", "y", "2"},
        {"begin x := 2; if x > 1 then y := 'big' else y := 'small' end", "y", "big"},
        {"begin x := 0; if x > 1 then y := 'big' else y := 'small' end", "y", "small"},
        {"begin a := 1; exit; a := 2 end", "a", "1"},
        {"begin n := 3; s := 0; for i := 1 to n do begin s := s + i; n := 2 end end", "s", "3"},
        {"begin A[2] := 5; b := A[2] * 2 end", "b", "10"},
        {"begin if u then v := 1 else v := 2 end", "v", "2"}, // an unknown (null) condition is false
        {"begin k := 0; 1: k := k + 1; if k < 4 then goto 1 end", "k", "4"},
        {"begin a := 2; x := IF(a > 1, 'big', 'small') + '!' end.", "x", "big!"},
    };
    for (const Case& c : cases) {
        TableInterpretator in;
        in.Run(c.source);
        EXPECT_EQ(in.Value(c.name), c.value) << c.source;
    }
}

TEST(Interpretator, ProcedureCallsPassTheDummyArgument) {
    TableInterpretator in;
    in.Run("begin NewPage; ShowBand(Band1); x := COUNTER end");
    ASSERT_EQ(in.calls.size(), 2);
    EXPECT_EQ(in.calls[0], "NEWPAGE|0||");
    EXPECT_EQ(in.calls[1], "SHOWBAND|Band1||");
}

TEST(Interpretator, ErrorLinesGiveLineAndColumnAsWritten) {
    struct Case {
        const char* source;
        const char* error; // empty: no message at all
    } cases[] = {
        {"begin a := 1 b := 2 end", R"(Line 1/14: Need ";" or "end" here)"},
        {"begin\r  a := 1\r  b := 2\rend", R"(Line 3/3: Need ";" or "end" here)"},
        {"begin {x} a := 1 b := 2 end", R"(Line 1/18: Need ";" or "end" here)"},
        {"begin { a\r comment } a := 1 b := 2 end", R"(Line 2/19: Need ";" or "end" here)"},
        {"begin\ta := 1\tb := 2 end", R"(Line 1/14: Need ";" or "end" here)"},
        {"repeat a := 1 b := 2 until a", R"(Line 1/15: Need ";" or "until" here)"},
        {"if a > 1 y := 2", R"(Line 1/10: Need "then" here)"},
        {"while a > 1 y := 2", R"(Line 1/13: Need "do" here)"},
        {"for i := 1 2 do x := 1", R"(Line 1/12: Need "to" here)"},
        {"for i := 1 to 2 x := 1", R"(Line 1/17: Need "do" here)"},
        {"for i = 1 to 2 do x := 1", R"(Line 1/7: Need ":=" here)"},
        {"x = 1", R"(Line 1/3: Need ":=" here)"},
        {"goto ten", R"(Line 1/6: "goto" label must be a number)"},
        {"x := (1 + 2", R"x(Line 1/12: Need ")" here)x"},
        {"x := [Name", R"(Line 1/6: Need "]" here)"},
        {"x := f(1 2)", R"x(Line 1/10: Need "," or ")" here)x"},
        {"begin goto 20; 10: x := 1 end", R"(Line 1/12: Label 20 is not defined)"},
        {"begin 10: x := 1; 10: y := 2 end", R"(Line 1/19: Label 10 is defined twice)"},
        {"x :=", "Line 1/5: Need an operand here"},
        {"x := 'open", "Line 1/6: The quoted text has no end"},
        {"x := a[1", R"(Line 1/9: Need "]" here)"},
        {"x := ?", "Line 1/6: Need an operand here"},
        {"for 1 := 2 to 3 do", "Line 1/5: Need a variable here"},
        {"begin\r  x := 1;\r  y := \rend", "Line 4/1: Need an operand here"},
        // Nothing after the top-level statements is dropped without a word.
        {"a := 1\rb := 2", R"(Line 2/1: Need ";" here)"},
        {"a := 1; b := 2 end", R"(Line 1/16: Need ";" here)"},
        {"x := a ORDER", R"(Line 1/8: Need ";" here)"}, // ORDER is a name, not OR
        {"if a then b := 1 else c := 2 else d := 3", R"(Line 1/30: Need ";" here)"},
        {"a := 1;\rif a = 1 then NEWPAGE;", ""},
    };
    for (const Case& c : cases) {
        TableInterpretator in;
        TkvStringList errors;
        in.Compiled(c.source, &errors);
        if (*c.error) {
            ASSERT_EQ(errors.size(), 1) << c.source;
            EXPECT_EQ(errors[0], QByteArray(c.error)) << c.source;
        } else {
            EXPECT_TRUE(errors.isEmpty()) << c.source << ": " << errors.join('|').toStdString();
        }
    }
}

TEST(Interpretator, AFailedCompilationKeepsWhatItCompiledAndEndsOpenJumps) {
    TableInterpretator in;
    TkvStringList errors;
    const TkvStringList lines = in.Compiled("begin a := 1; while a < 3 do begin a := a + 1 b end end", &errors);
    ASSERT_EQ(errors.size(), 1);
    ASSERT_EQ(lines.size(), 3);
    // The loop's conditional jump was never patched: it leads to the end, not back to line 0.
    EXPECT_EQ(TkvInterpretator::JumpTarget(lines[1]), 3);
    in.Execute(lines);
    EXPECT_EQ(in.Value("a"), "2");
}

TEST(Interpretator, CompilesInPlace) {
    TableInterpretator in;
    TkvStringList script = kv::SplitLines("begin\r  x := 1;\r  y := x + 1\rend");
    TkvStringList errors;
    in.Compile(script, script, errors);
    EXPECT_TRUE(errors.isEmpty());
    ASSERT_EQ(script.size(), 2);
    in.Execute(script);
    EXPECT_EQ(in.Value("y"), "2");
}

TEST(Interpretator, StepBoundCancellationAndNestingStopScripts) {
    TableInterpretator in;
    in.MaxSteps = 1000;
    const TkvStringList endless = in.Compiled("while 1 do x := 1");
    try {
        in.Execute(endless, "Memo1");
        FAIL() << "an endless loop ran to its end";
    } catch (const TkvScriptError& e) {
        EXPECT_STREQ(e.what(), "The script of Memo1 was stopped after 1000 steps");
    }
    in.MaxSteps = 0;
    int asked = 0;
    in.CancelRequested = [&] { return ++asked == 3; };
    EXPECT_THROW(in.Execute(endless), TkvScriptError);
    EXPECT_EQ(asked, 3);
    in.CancelRequested = nullptr;
    in.MaxSteps = 100000;
    // A script that runs itself through a function.
    const TkvStringList self = in.Compiled("RUN");
    in.inner = &self;
    EXPECT_THROW(in.Execute(self), TkvScriptError);
}

TEST(Interpretator, LimitsAreReportedNotTruncated) {
    TableInterpretator in;
    TkvStringList errors;
    // Many labels with long texts.
    QByteArray source = "begin ";
    for (int i = 0; i < 150; ++i) source += QByteArray::number(100000000000000000 + i) + ": x := " + QByteArray::number(i) + "; ";
    source += "goto 100000000000000149 end";
    const TkvStringList lines = in.Compiled(source, &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
    EXPECT_EQ(TkvInterpretator::JumpTarget(lines.last()), 149);
    // A source over the length bound is an error, not a shorter script.
    in.Compiled(QByteArray(kvscript::kMaxSourceLength + 10, ' ') + "x := 1", &errors);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Line 1/1: The script is longer than"));
    // Deep nesting is an error, not a stack overflow.
    in.Compiled("x := " + QByteArray(100000, '(') + "1", &errors);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("nested too deeply"));
    in.Compiled(QByteArray(1000, ' ').replace(" ", "begin ") + "x := 1", &errors);
    ASSERT_EQ(errors.size(), 1);
}

TEST(Interpretator, RunErrorsNameTheLineAndColumnOfTheirInstruction) {
    struct Case {
        const char* source;
        const char* error;
    } cases[] = {
        {"begin\r  x := 1;\r  y := 5 MOD 0\rend", "Line 3/8: Division by zero"},
        {"begin x := 1; if 'abc' then x := 2 end", "Line 1/18: "},
        {"while 1 do\r  x := 1", "Line 1/7: The script was stopped after 99 steps"},
    };
    for (const Case& c : cases) {
        TableInterpretator in;
        in.MaxSteps = 99; // the 100th step is the loop's jump back
        TkvStringList compiled, errors;
        TkvScriptPositions positions;
        in.Compile(kv::SplitLines(c.source), compiled, errors, &positions);
        ASSERT_TRUE(errors.isEmpty()) << c.source;
        ASSERT_EQ(positions.size(), size_t(compiled.size()));
        try {
            in.Execute(compiled, {}, &positions);
            ADD_FAILURE() << c.source << " ran to its end";
        } catch (const TkvScriptError& e) {
            EXPECT_TRUE(QByteArray(e.what()).startsWith(c.error)) << c.source << ": " << e.what();
        }
    }
}

TEST(Interpretator, GrowingTextsEndWithAnErrorInsteadOfTakingAllMemoryOrTime) {
    struct Case {
        const char* source;
        const char* error;
    } cases[] = {
        {"begin s := 'x'; while 1 do s := s + s end", "The text would be longer than"},
        {"begin s := ''; while 1 do s := s + 'abcdefgh' end", "joining texts of more than"},
    };
    for (const Case& c : cases) {
        TableInterpretator in;
        in.MaxSteps = 0; // only the text bounds stop these
        try {
            in.Run(c.source);
            ADD_FAILURE() << c.source << " ran to its end";
        } catch (const TkvVariantError& e) {
            EXPECT_TRUE(QByteArray(e.what()).contains(c.error)) << c.source << ": " << e.what();
        }
    }
}

TEST(Interpretator, ExecutionFailuresReachTheCaller) {
    TableInterpretator in;
    EXPECT_THROW(in.Run("x := 'a' - 1"), TkvVariantError);
    EXPECT_THROW(in.Run("if 'abc' then x := 1"), TkvVariantError);
    // Lines that did not come from Compile never run outside the list.
    TkvStringList odd = {QByteArray("\x01", 1), QByteArray("\x02\xff\xff", 3), QByteArray("\x03", 1), " "};
    EXPECT_NO_THROW(in.Execute(odd));
}

TEST(Interpretator, FindFunctionCallsLooksIntoEveryExpression) {
    TableInterpretator in;
    const TkvStringList lines =
        in.Compiled("begin if SUM([A]) > 1 then x := AVG([B], Band1) else ShowBand(Band1); y := MAX([C]) end");
    TkvStringList names = {"SUM", "AVG", "MAX"};
    TkvVariables dictionary;
    TkvStringList found;
    in.FindFunctionCalls(lines, names, dictionary, found);
    EXPECT_EQ(found, (TkvStringList{"SUM([A])", "AVG([B], Band1)", "MAX([C])"}));
}

} // namespace
