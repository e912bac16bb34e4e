#pragma once
// The compiler behind TkvInterpretator::Compile: one recursive descent over the joined source
// text that checks the form of every statement and expression, emits instructions and patches
// jump targets. Labels live in the compiler object for the one compilation (no shared table), so
// there is no limit on their number or length.

#include "base/stream_text.h"
#include "script/parser.h"
#include "script/script_position.h"

#include <QByteArray>
#include <QHash>
#include <vector>

class TkvScriptCompiler {
public:
    // `positions`, when given, receives where each compiled instruction comes from in the source.
    TkvScriptCompiler(const TkvParser& parser, TkvStringList& compiled, TkvStringList& errors,
                      TkvScriptPositions* positions = nullptr)
        : parser_(parser), out_(compiled), errors_(errors), positions_(positions) {}

    // `source` is read completely before `compiled` is touched, so both may be one list.
    void Run(const TkvStringList& source);

    // Statements and expressions nested deeper than this are reported as an error.
    static constexpr int kMaxNesting = 256;

private:
    struct Stop {}; // unwinds the descent once the error state is set

    struct Cut {
        qsizetype At;     // position in the text without comments
        qsizetype Length; // characters removed there
    };
    struct Goto {
        int Instruction;
        QByteArray Label;
        qsizetype At;
    };

    void StripComments(const QByteArray& joined);
    // Adds the error line (the first error only) and unwinds.
    [[noreturn]] void Fail(const QByteArray& message, qsizetype at);
    // Line and column in the text as written of a position in the compiled text.
    TkvScriptPosition PositionOf(qsizetype at) const;
    // Records the source position of the instruction just appended.
    void Emitted(qsizetype at);

    void SkipBlanks();
    // The next word, upper-cased, and where it starts; empty at the end of the text.
    QByteArray PeekWord(qsizetype& start);
    bool WordOperatorAt(qsizetype at, const char* word) const;
    bool IsNameStart(qsizetype at) const;
    bool IsNameChar(qsizetype at) const;
    void ReadName();

    void StatementList();
    void Statement();
    void Compound(const char* closing, const char* message);
    bool TryLabel();
    bool TryVariable();

    // Skips blanks, checks an expression, returns its text; `start` receives its position.
    QByteArray ExpressionText(qsizetype& start);
    void Expression();
    void SimpleExpression();
    void Term();
    void Factor();

    int Emit(char kind, const QByteArray& expression, qsizetype at);
    int EmitAssignment(const QByteArray& name, const QByteArray& expression, qsizetype at);
    int EmitJump(int target, qsizetype at);
    void Patch(int instruction, int target);
    QByteArray Postfix(const QByteArray& expression, qsizetype at);
    void Finish();

    const TkvParser& parser_;
    TkvStringList& out_;
    TkvStringList& errors_;
    TkvScriptPositions* positions_;

    QByteArray joined_; // the source as written (lines joined by CR, tabs as blanks)
    QByteArray t_;      // the same without comments: what is compiled
    std::vector<Cut> cuts_;
    qsizetype pos_ = 0;
    int nesting_ = 0;
    bool failed_ = false;

    std::vector<bool> open_; // jump targets still to be patched, by instruction
    QHash<QByteArray, int> labels_;
    std::vector<Goto> gotos_;
};
