#pragma once
// The expression language and its evaluator. ConvertToPostfix turns an expression text into a
// postfix form (operands followed by a blank, function calls copied verbatim, one-byte operator
// codes, below) in one pass; EvaluatePostfix runs a postfix form on a fixed stack of 32 values.
// The parser knows no names: every name goes to OnGetVariable, every function other than COPY,
// IF, STRTODATE and STRTOTIME to OnFunction, with its argument texts unevaluated.
//
// Failures: a syntax error (unbalanced brackets or quotes, an operator without operands, "%" with
// nothing to escape), a value stack over 32 entries and evaluations nested deeper than kMaxDepth
// raise TkvExpressionError; conversion failures raise TkvVariantError. Division by zero gives 0.

#include "base/bracketed.h"
#include "base/expression_evaluator.h"
#include "base/format_settings.h"
#include "base/variables.h"
#include "base/variant.h"

#include <QByteArray>
#include <functional>
#include <memory>

// Operator codes of the postfix form (besides the characters * + - / < = > themselves).
namespace kvop {
constexpr char GreaterEqual = 1, LessEqual = 2, NotEqual = 3, Or = 4, And = 5, Int = 6, Frac = 7;
constexpr char Negate = 9, Plus = 10, Str = 11, Not = 12, Mod = 13, Round = 14;
} // namespace kvop

class TkvParser {
public:
    // A name met as an operand; the value arrives preset to null.
    using TDetailEvent = std::function<void(const QByteArray& name, TkvVariant& value)>;
    // A function call: the upper-cased name and up to three argument texts as written (absent
    // ones empty); the value arrives preset to null.
    using TFunctionEvent = std::function<void(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                                              const TkvVariant& p3, TkvVariant& value)>;

    static constexpr int kStackSize = 32;
    // Evaluations running inside one another (built-ins, array elements, hooks that evaluate).
    static constexpr int kMaxDepth = 32;

    // The settings are borrowed and must outlive the parser.
    explicit TkvParser(const TkvFormatSettings& settings = TkvFormatSettings::System()) : settings_(&settings) {}

    TkvVariant Evaluate(const QByteArray& expression);
    QByteArray ConvertToPostfix(const QByteArray& expression) const;
    // An empty postfix form gives the integer 0.
    TkvVariant EvaluatePostfix(const QByteArray& postfix);

    TDetailEvent OnGetVariable;
    TFunctionEvent OnFunction;
    // Characters of the texts joined by "+" so far: scripts bound their work by it.
    int64_t TextWork = 0;

    const TkvFormatSettings& Settings() const { return *settings_; }
    void SetSettings(const TkvFormatSettings& settings) { settings_ = &settings; }

private:
    TkvVariant CallFunction(const QByteArray& name, const QByteArray (&args)[3]);
    TkvVariant Variable(const QByteArray& name);

    const TkvFormatSettings* settings_;
    int depth_ = 0;
};

// Reading routines shared by the parser, the script interpreter, text objects and aggregate
// discovery. Positions count from 0; none of them reads outside the text.
namespace kvparse {

// ExtractBracketed: base/bracketed.h.

// After blanks and control characters, the characters up to a blank or control character, "(",
// ")", "*", "+", "-", "/", "<", "=", ">", "[" or ";" (none of which stops it inside double quotes).
// `end` receives the position after the token; the token may be empty.
QByteArray ReadToken(const QByteArray& text, qsizetype pos, qsizetype& end);

// The single-quoted literal at `pos`, quotes kept, a doubled quote taken as part of it. `end`
// receives the position after it; `closed` whether the closing quote was found (otherwise the
// literal runs to the end of the text).
QByteArray ReadQuoted(const QByteArray& text, qsizetype pos, qsizetype& end, bool* closed = nullptr);
// The literal's text: enclosing quotes removed, doubled quotes made single.
QByteArray Unquote(const QByteArray& quoted);

// The arguments of the call whose "(" is at `pos`: commas at depth 1 outside single quotes end
// argument 1, then argument 2; the text before the ")" is argument 1, 2 or 3 by the commas met.
// Arguments keep their blanks. End is the position after the ")". Raises TkvExpressionError when
// the text ends inside the list.
struct TkvArguments {
    QByteArray Args[3];
    qsizetype End = 0;
};
TkvArguments SplitArguments(const QByteArray& text, qsizetype pos);

} // namespace kvparse

class TkvInterpretator;

// The parser as the evaluator of report objects: names are answered from Variables (compared
// without regard to case; bracketed names as written), functions by OnFunction of the parser.
// Object scripts read the same names and functions and assign into Variables.
class TkvParserEvaluator : public TkvExpressionEvaluator {
public:
    explicit TkvParserEvaluator(const TkvFormatSettings& settings = TkvFormatSettings::System());
    ~TkvParserEvaluator() override;

    TkvVariant Evaluate(const QByteArray& expression) override { return Parser.Evaluate(expression); }
    QByteArray ConvertToPostfix(const QByteArray& expression) override { return Parser.ConvertToPostfix(expression); }
    TkvVariant EvaluatePostfix(const QByteArray& postfix) override { return Parser.EvaluatePostfix(postfix); }
    const TkvFormatSettings& FormatSettings() const override { return Parser.Settings(); }
    void ExecuteScript(const TkvStringList& compiled, const QByteArray& owner) override;

    TkvParser Parser;
    TkvVariables Variables;
    // Scripts stop with TkvScriptError after this many instructions.
    int64_t MaxScriptSteps = 10'000'000;

private:
    std::unique_ptr<TkvInterpretator> scripts_; // made on first use
};
