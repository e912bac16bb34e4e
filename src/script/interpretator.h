#pragma once
// The script language of report objects, bands and dialog pages: Compile turns the source lines
// into a flat list of instructions whose expressions are already postfix forms of the expression
// language, Execute runs such a list. The interpreter knows no names: its parser's hooks lead to
// GetValue and CallFunction, assignments to SetValue, all three for the host to override.
//
// Compiled line format (one instruction a line, the first byte tells the kind):
//   1 lo hi POSTFIX   conditional jump: when POSTFIX gives 0, continue at instruction lo + 256*hi
//   2 lo hi           jump to instruction lo + 256*hi (a target equal to the line count ends)
//   3 POSTFIX         call: evaluate and drop the value; EXIT(0) stops the script
//   NAME POSTFIX      assignment: SetValue(NAME, value of POSTFIX)
//
// Errors: compile errors go to the error list as "Line L/C: message" (source line and column of
// the word where the problem was found, counted from 1 in the text as written); a missing or
// malformed operand is reported too, so a script is never cut short without a message. Execution raises
// TkvVariantError from the expressions, TkvScriptError when the step bound is exceeded, the
// script is cancelled or scripts run inside one another too deeply.

#include "base/expression_evaluator.h"
#include "base/format_settings.h"
#include "base/stream_text.h"
#include "base/variables.h"
#include "script/parser.h"
#include "script/script_position.h"

#include <QByteArray>
#include <cstdint>
#include <functional>

class TkvScriptError : public TkvExpressionError {
public:
    using TkvExpressionError::TkvExpressionError;
};

namespace kvscript {
constexpr char CondJump = 1, Jump = 2, Call = 3;
// Instruction indexes are written in two bytes; the count itself must be a valid target.
constexpr int kMaxInstructions = 65535;
// Sources are joined into one text; longer ones are reported as an error, never cut.
constexpr qsizetype kMaxSourceLength = 1 << 20;
} // namespace kvscript

class TkvInterpretator {
public:
    explicit TkvInterpretator(const TkvFormatSettings& settings = TkvFormatSettings::System());
    virtual ~TkvInterpretator() = default;
    TkvInterpretator(const TkvInterpretator&) = delete;
    TkvInterpretator& operator=(const TkvInterpretator&) = delete;

    // A name read by an expression; the value arrives null. Base: leaves it null.
    virtual void GetValue(const QByteArray& name, TkvVariant& value);
    // An assignment. Base: nothing.
    virtual void SetValue(const QByteArray& name, const TkvVariant& value);
    // A function the parser does not compute itself, with its argument texts unevaluated; the value
    // arrives null. Base: leaves it null.
    virtual void CallFunction(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                              const TkvVariant& p3, TkvVariant& value);
    // Clears `compiled` and `errors` and fills them. `source` and `compiled` may be the same list:
    // the source is read completely first. After an error compilation stops and keeps what it has
    // compiled; jumps that were never resolved then lead to the end of the script.
    // `positions`, when given, receives the source line and column of each compiled instruction.
    virtual void Compile(const TkvStringList& source, TkvStringList& compiled, TkvStringList& errors,
                         TkvScriptPositions* positions = nullptr);
    // Runs the lines from the first. `owner` names the script's object in the errors raised here.
    // With the positions Compile gave, an error raised while running an instruction is a
    // TkvScriptError whose text starts with the instruction's "Line L/C: ".
    virtual void Execute(const TkvStringList& compiled, const QByteArray& owner = {},
                         const TkvScriptPositions* positions = nullptr);

    // Aggregate discovery: splits every instruction's expression with a TkvFunctionSplitter.
    void FindFunctionCalls(const TkvStringList& compiled, const TkvStringList& functionNames,
                           const TkvVariables& variables, TkvStringList& found);

    // Execution stops with TkvScriptError after this many instructions (0: no bound).
    int64_t MaxSteps = 10'000'000;
    // ... and once its texts joined by "+" add up to more characters than this (0: no bound), so
    // that a loop growing a text ends in seconds, not hours.
    int64_t MaxTextWork = int64_t(1) << 30;
    // Asked every few thousand instructions; true stops the script with TkvScriptError.
    std::function<bool()> CancelRequested;
    // Scripts executed from inside a running script (through functions or assignments).
    static constexpr int kMaxNesting = 16;

    TkvParser& Parser() { return parser_; }

    // The target of a jump line.
    static int JumpTarget(const QByteArray& line);
    // A compiled line as text for people: "IFNOT 3 x 1 >", "GOTO 0", "CALL f(0)", "x := x 1 +".
    static QByteArray DescribeLine(const QByteArray& line);

private:
    // Runs from instruction `i`, which is left at the instruction that raised an error.
    void Run(const TkvStringList& compiled, const QByteArray& owner, int& i);

    TkvParser parser_;
    int nesting_ = 0;
};
