#include "script/interpretator.h"

#include "base/value_ops.h"
#include "script/function_splitter.h"
#include "script/script_compiler.h"

namespace {

// The expression part of an instruction, without copying it.
QByteArray Tail(const QByteArray& line, qsizetype from) {
    if (from >= line.size()) return {};
    return QByteArray::fromRawData(line.constData() + from, line.size() - from);
}

struct NestingGuard {
    int& depth;
    explicit NestingGuard(int& d) : depth(d) {
        if (++depth > TkvInterpretator::kMaxNesting) {
            --depth;
            throw TkvScriptError("Scripts run inside one another too deeply");
        }
    }
    ~NestingGuard() { --depth; }
};

QByteArray OwnerText(const QByteArray& owner) { return owner.isEmpty() ? QByteArray("The script") : "The script of " + owner; }

} // namespace

TkvInterpretator::TkvInterpretator(const TkvFormatSettings& settings) : parser_(settings) {
    parser_.OnGetVariable = [this](const QByteArray& name, TkvVariant& value) { GetValue(name, value); };
    parser_.OnFunction = [this](const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                                const TkvVariant& p3, TkvVariant& value) { CallFunction(name, p1, p2, p3, value); };
}

void TkvInterpretator::GetValue(const QByteArray&, TkvVariant&) {}
void TkvInterpretator::SetValue(const QByteArray&, const TkvVariant&) {}
void TkvInterpretator::CallFunction(const QByteArray&, const TkvVariant&, const TkvVariant&, const TkvVariant&,
                                    TkvVariant&) {}

void TkvInterpretator::Compile(const TkvStringList& source, TkvStringList& compiled, TkvStringList& errors,
                               TkvScriptPositions* positions) {
    TkvScriptCompiler compiler(parser_, compiled, errors, positions);
    compiler.Run(source);
}

int TkvInterpretator::JumpTarget(const QByteArray& line) {
    if (line.size() < 3) return kvscript::kMaxInstructions + 1;
    return int(uint8_t(line[1])) | (int(uint8_t(line[2])) << 8);
}

void TkvInterpretator::Execute(const TkvStringList& compiled, const QByteArray& owner,
                               const TkvScriptPositions* positions) {
    NestingGuard guard(nesting_);
    int i = 0;
    try {
        Run(compiled, owner, i);
    } catch (const TkvVariantError& e) {
        if (!positions || i < 0 || i >= int(positions->size())) throw;
        throw TkvScriptError((*positions)[size_t(i)].Text().toStdString() + ": " + e.what());
    }
}

void TkvInterpretator::Run(const TkvStringList& compiled, const QByteArray& owner, int& i) {
    const TkvFormatSettings& fs = parser_.Settings();
    int64_t steps = 0;
    const int64_t workAtStart = parser_.TextWork;
    // The size is read on every step and the line held by a copy: a host's SetValue may change the
    // list being run.
    while (i >= 0 && i < int(compiled.size())) {
        ++steps;
        if (MaxSteps > 0 && steps > MaxSteps)
            throw TkvScriptError(OwnerText(owner).toStdString() + " was stopped after " + std::to_string(MaxSteps) +
                                 " steps");
        if (MaxTextWork > 0 && parser_.TextWork - workAtStart > MaxTextWork)
            throw TkvScriptError(OwnerText(owner).toStdString() +
                                 " was stopped after joining texts of more than " +
                                 std::to_string(MaxTextWork) + " characters");
        if ((steps & 0xFFF) == 0 && CancelRequested && CancelRequested())
            throw TkvScriptError(OwnerText(owner).toStdString() + " was cancelled");
        const QByteArray line = compiled[i];
        if (line.isEmpty()) {
            ++i;
            continue;
        }
        switch (line[0]) {
        case kvscript::CondJump: {
            const TkvVariant v = parser_.EvaluatePostfix(Tail(line, 3));
            // A null condition counts as false, like 0.
            const bool zero = v.isEmpty() || kvval::CompareValues(v, TkvVariant(int64_t(0)), kvval::Compare::Equal, fs);
            i = zero ? JumpTarget(line) : i + 1;
            break;
        }
        case kvscript::Jump: i = JumpTarget(line); break;
        case kvscript::Call: {
            const QByteArray call = Tail(line, 1);
            if (call.size() == 7 && call.compare("EXIT(0)", Qt::CaseInsensitive) == 0) return;
            parser_.EvaluatePostfix(call);
            ++i;
            break;
        }
        default: {
            qsizetype start = 0;
            while (start < line.size() && uint8_t(line[start]) <= 32) ++start;
            qsizetype blank = line.indexOf(' ', start);
            if (blank < 0) blank = line.size();
            const QByteArray name = line.mid(start, blank - start);
            const TkvVariant value = parser_.EvaluatePostfix(Tail(line, blank + 1));
            SetValue(name, value);
            ++i;
            break;
        }
        }
    }
}

void TkvInterpretator::FindFunctionCalls(const TkvStringList& compiled, const TkvStringList& functionNames,
                                         const TkvVariables& variables, TkvStringList& found) {
    TkvFunctionSplitter splitter(functionNames, variables, found);
    for (const QByteArray& line : compiled) {
        if (line.isEmpty()) continue;
        switch (line[0]) {
        case kvscript::CondJump: splitter.Split(line.mid(3)); break;
        case kvscript::Jump: break;
        case kvscript::Call: splitter.Split(line.mid(1)); break;
        default: {
            const qsizetype blank = line.indexOf(' ');
            if (blank >= 0) splitter.Split(line.mid(blank + 1));
        }
        }
    }
}

QByteArray TkvInterpretator::DescribeLine(const QByteArray& line) {
    // Operators get blanks around them; function calls and quoted texts stay as written.
    auto readable = [](const QByteArray& postfix) {
        QByteArray out;
        bool quoted = false;
        int depth = 0;
        for (char c : postfix) {
            if (c == '\'') quoted = !quoted;
            const char* name = nullptr;
            if (!quoted && depth == 0) {
                switch (c) {
                case kvop::GreaterEqual: name = ">="; break;
                case kvop::LessEqual: name = "<="; break;
                case kvop::NotEqual: name = "<>"; break;
                case kvop::Or: name = "OR"; break;
                case kvop::And: name = "AND"; break;
                case kvop::Int: name = "INT"; break;
                case kvop::Frac: name = "FRAC"; break;
                case kvop::Negate: name = "NEG"; break;
                case kvop::Plus: name = "POS"; break;
                case kvop::Str: name = "STR"; break;
                case kvop::Not: name = "NOT"; break;
                case kvop::Mod: name = "MOD"; break;
                case kvop::Round: name = "ROUND"; break;
                case '+': name = "+"; break;
                case '-': name = "-"; break;
                case '*': name = "*"; break;
                case '/': name = "/"; break;
                case '<': name = "<"; break;
                case '=': name = "="; break;
                case '>': name = ">"; break;
                default: break;
                }
            }
            if (!quoted && (c == '(' || c == '[')) ++depth;
            if (name) {
                out += ' ';
                out += name;
                out += ' ';
            } else if (uint8_t(c) < 32) {
                out += ' ';
            } else {
                out += c;
                if (!quoted && (c == ')' || c == ']') && depth > 0 && --depth == 0) out += ' ';
            }
        }
        return out.simplified();
    };
    if (line.isEmpty()) return {};
    switch (line[0]) {
    case kvscript::CondJump: return "IFNOT " + QByteArray::number(JumpTarget(line)) + " " + readable(line.mid(3));
    case kvscript::Jump: return "GOTO " + QByteArray::number(JumpTarget(line));
    case kvscript::Call: return "CALL " + readable(line.mid(1));
    default: {
        const qsizetype blank = line.indexOf(' ');
        if (blank < 0) return line + " :=";
        return line.left(blank) + " := " + readable(line.mid(blank + 1));
    }
    }
}
