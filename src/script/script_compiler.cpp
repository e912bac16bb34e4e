#include "script/script_compiler.h"

#include "script/interpretator.h"

#include <string>

namespace {

bool IsKeyword(const QByteArray& upper) {
    static const char* const keywords[] = {"BEGIN", "END", "IF",  "THEN", "ELSE", "REPEAT",
                                           "UNTIL", "WHILE", "DO", "FOR", "TO",   "GOTO"};
    for (const char* k : keywords)
        if (upper == k) return true;
    return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || uint8_t(c) >= 128; }

// END closing a compound statement, also as "END;" or "END." written without a blank.
bool IsClosingWord(const QByteArray& w, const char* closing) {
    const qsizetype n = qsizetype(std::char_traits<char>::length(closing));
    if (!w.startsWith(closing)) return false;
    return w.size() == n || (w.size() == n + 1 && (w.endsWith(';') || w.endsWith('.')));
}

struct NestingGuard {
    int& depth;
    NestingGuard(int& d, bool& overflow) : depth(d) { overflow = ++depth > TkvScriptCompiler::kMaxNesting; }
    ~NestingGuard() { --depth; }
};

} // namespace

// ---------------------------------------------------------------- source and positions

void TkvScriptCompiler::StripComments(const QByteArray& joined) {
    const qsizetype n = joined.size();
    t_.reserve(n);
    bool quoted = false;
    qsizetype i = 0;
    while (i < n) {
        const char c = joined[i];
        if (quoted) {
            if (c == '\'') quoted = false;
            t_ += c;
            ++i;
            continue;
        }
        qsizetype end = -1;
        if (c == '{') {
            const qsizetype close = joined.indexOf('}', i + 1);
            end = close < 0 ? n : close + 1;
        } else if (c == '/' && i + 1 < n && joined[i + 1] == '/') {
            const qsizetype cr = joined.indexOf('\r', i + 2);
            end = cr < 0 ? n : cr + 1;
        }
        if (end >= 0) {
            cuts_.push_back({t_.size(), end - i});
            i = end;
            continue;
        }
        if (c == '\'') quoted = true;
        t_ += c;
        ++i;
    }
}

TkvScriptPosition TkvScriptCompiler::PositionOf(qsizetype at) const {
    qsizetype original = at;
    for (const Cut& cut : cuts_)
        if (cut.At <= at) original += cut.Length;
    // The end of the text is reported at the end of the last line.
    original = std::max<qsizetype>(0, std::min(original, joined_.size() - 1));
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < original; ++i)
        if (joined_[i] == '\r') {
            ++line;
            lineStart = i + 1;
        }
    return {line, int(original - lineStart + 1)};
}

void TkvScriptCompiler::Fail(const QByteArray& message, qsizetype at) {
    if (!failed_) errors_.append(PositionOf(at).Text() + ": " + message);
    failed_ = true;
    throw Stop{};
}

void TkvScriptCompiler::Emitted(qsizetype at) {
    if (positions_) positions_->push_back(PositionOf(at));
}

// ---------------------------------------------------------------- words

void TkvScriptCompiler::SkipBlanks() {
    while (pos_ < t_.size() && uint8_t(t_[pos_]) <= 32) ++pos_;
}

QByteArray TkvScriptCompiler::PeekWord(qsizetype& start) {
    qsizetype i = pos_;
    while (i < t_.size() && uint8_t(t_[i]) <= 32) ++i;
    start = i;
    while (i < t_.size() && uint8_t(t_[i]) > 32) ++i;
    return t_.mid(start, i - start).toUpper();
}

bool TkvScriptCompiler::WordOperatorAt(qsizetype at, const char* word) const {
    const qsizetype len = qsizetype(std::char_traits<char>::length(word));
    if (at + len > t_.size()) return false;
    if (QByteArrayView(t_).sliced(at, len).compare(QByteArrayView(word), Qt::CaseInsensitive) != 0) return false;
    // A word operator is a word of its own: ORDER is a name, not OR followed by DER.
    return !IsNameChar(at + len);
}

bool TkvScriptCompiler::IsNameStart(qsizetype at) const { return at < t_.size() && IsLetter(t_[at]); }

bool TkvScriptCompiler::IsNameChar(qsizetype at) const {
    if (at >= t_.size()) return false;
    const char c = t_[at];
    // "#" belongs to names such as PAGE# and LINE#.
    return IsLetter(c) || IsDigit(c) || c == '.' || c == '#';
}

void TkvScriptCompiler::ReadName() {
    ++pos_;
    while (IsNameChar(pos_)) ++pos_;
}

// ---------------------------------------------------------------- statements

void TkvScriptCompiler::Run(const TkvStringList& source) {
    QByteArray joined;
    for (const QByteArray& line : source) {
        joined += line;
        joined += '\r';
        if (joined.size() > kvscript::kMaxSourceLength) break;
    }
    out_.clear();
    errors_.clear();
    if (positions_) positions_->clear();
    joined.replace('\t', ' ');
    joined_ = joined;
    if (joined_.trimmed().isEmpty()) return;
    if (joined_.size() > kvscript::kMaxSourceLength) {
        errors_.append("Line 1/1: The script is longer than " + QByteArray::number(kvscript::kMaxSourceLength) +
                       " characters");
        return;
    }
    StripComments(joined_);
    try {
        StatementList();
    } catch (const Stop&) {
    }
    Finish();
}

// The text is a list of statements separated by ";", so "a := 1; if a = 1 then NewPage" runs
// both; whatever follows the list that is not a statement is an error, never silently dropped.
// A full stop after the last statement ("begin ... end.") ends the text.
void TkvScriptCompiler::StatementList() {
    for (;;) {
        Statement();
        qsizetype ws = 0;
        const QByteArray w = PeekWord(ws);
        // The full stop ends the text: what follows it is not compiled.
        if (w.isEmpty() || w.startsWith('.')) return;
        if (w.startsWith(';')) {
            pos_ = ws + 1;
            continue;
        }
        Fail(R"(Need ";" here)", ws);
    }
}

void TkvScriptCompiler::Statement() {
    bool overflow = false;
    NestingGuard guard(nesting_, overflow);
    qsizetype ws = 0;
    const QByteArray w = PeekWord(ws);
    if (overflow) Fail("Statements are nested too deeply", ws);
    // An empty statement: the list around it reads the ";".
    if (w.isEmpty() || w.startsWith(';') || IsClosingWord(w, "END") || w == "UNTIL" || w == "ELSE") return;
    if (w == "BEGIN") {
        pos_ = ws + 5;
        Compound("END", R"(Need ";" or "end" here)");
        return;
    }
    // "if(" starts an if statement too: a call of IF(...) as a statement would have no effect.
    if (w == "IF" || w.startsWith("IF(")) {
        pos_ = ws + 2;
        qsizetype at = 0;
        const QByteArray condition = ExpressionText(at);
        if (PeekWord(ws) != "THEN") Fail(R"(Need "then" here)", ws);
        pos_ = ws + 4;
        const int jump = Emit(kvscript::CondJump, condition, at);
        Statement();
        if (PeekWord(ws) == "ELSE") {
            const int skip = EmitJump(-1, ws);
            Patch(jump, skip + 1);
            pos_ = ws + 4;
            Statement();
            Patch(skip, int(out_.size()));
        } else {
            Patch(jump, int(out_.size()));
        }
        return;
    }
    if (w == "REPEAT") {
        pos_ = ws + 6;
        const int first = int(out_.size());
        Compound("UNTIL", R"(Need ";" or "until" here)");
        qsizetype at = 0;
        const QByteArray condition = ExpressionText(at);
        const int jump = Emit(kvscript::CondJump, condition, at);
        Patch(jump, first);
        return;
    }
    if (w == "WHILE") {
        pos_ = ws + 5;
        qsizetype at = 0;
        const QByteArray condition = ExpressionText(at);
        if (PeekWord(ws) != "DO") Fail(R"(Need "do" here)", ws);
        pos_ = ws + 2;
        const int jump = Emit(kvscript::CondJump, condition, at);
        Statement();
        EmitJump(jump, at);
        Patch(jump, int(out_.size()));
        return;
    }
    if (w == "FOR") {
        pos_ = ws + 3;
        SkipBlanks();
        const qsizetype nameAt = pos_;
        if (!IsNameStart(pos_)) Fail("Need a variable here", pos_);
        ReadName();
        const QByteArray name = t_.mid(nameAt, pos_ - nameAt);
        if (!PeekWord(ws).startsWith(":=")) Fail(R"(Need ":=" here)", ws);
        pos_ = ws + 2;
        qsizetype startAt = 0, endAt = 0;
        const QByteArray from = ExpressionText(startAt);
        if (PeekWord(ws) != "TO") Fail(R"(Need "to" here)", ws);
        pos_ = ws + 2;
        const QByteArray to = ExpressionText(endAt);
        if (PeekWord(ws) != "DO") Fail(R"(Need "do" here)", ws);
        pos_ = ws + 2;
        EmitAssignment(name, from, startAt);
        const int jump = Emit(kvscript::CondJump, name + " <= " + to, endAt);
        Statement();
        EmitAssignment(name, name + "+1", nameAt);
        EmitJump(jump, endAt);
        Patch(jump, int(out_.size()));
        return;
    }
    if (w == "GOTO") {
        pos_ = ws + 4;
        SkipBlanks();
        const qsizetype at = pos_;
        while (pos_ < t_.size() && IsDigit(t_[pos_])) ++pos_;
        if (pos_ == at) Fail(R"("goto" label must be a number)", at);
        const int jump = EmitJump(-1, ws);
        gotos_.push_back({jump, t_.mid(at, pos_ - at), at});
        return;
    }
    if (TryLabel()) return;
    if (TryVariable()) return;
    qsizetype at = 0;
    const QByteArray call = ExpressionText(at);
    Emit(kvscript::Call, call, at);
}

void TkvScriptCompiler::Compound(const char* closing, const char* message) {
    const qsizetype closingLength = qsizetype(std::char_traits<char>::length(closing));
    for (;;) {
        Statement();
        qsizetype ws = 0;
        const QByteArray w = PeekWord(ws);
        if (w.startsWith(';')) {
            pos_ = ws + 1;
            continue;
        }
        // "END;" and "END." leave their semicolon or full stop for the statement list around this one.
        if (IsClosingWord(w, closing)) {
            pos_ = ws + closingLength;
            return;
        }
        Fail(message, ws);
    }
}

bool TkvScriptCompiler::TryLabel() {
    qsizetype i = pos_;
    while (i < t_.size() && uint8_t(t_[i]) <= 32) ++i;
    const qsizetype start = i;
    while (i < t_.size() && IsDigit(t_[i])) ++i;
    if (i == start || i >= t_.size() || t_[i] != ':' || (i + 1 < t_.size() && t_[i + 1] == '=')) return false;
    const QByteArray label = t_.mid(start, i - start);
    if (labels_.contains(label)) Fail("Label " + label + " is defined twice", start);
    labels_.insert(label, int(out_.size()));
    pos_ = i + 1;
    Statement();
    return true;
}

bool TkvScriptCompiler::TryVariable() {
    const qsizetype saved = pos_;
    SkipBlanks();
    const qsizetype nameAt = pos_;
    if (!IsNameStart(pos_)) {
        pos_ = saved;
        return false;
    }
    ReadName();
    const QByteArray name = t_.mid(nameAt, pos_ - nameAt);
    QByteArray index;
    bool indexed = false;
    if (pos_ < t_.size() && t_[pos_] == '[') {
        ++pos_;
        qsizetype at = 0;
        index = ExpressionText(at);
        SkipBlanks();
        if (pos_ >= t_.size() || t_[pos_] != ']') Fail(R"(Need "]" here)", pos_);
        index = t_.mid(nameAt + name.size() + 1, pos_ - nameAt - name.size() - 1);
        ++pos_;
        indexed = true;
    }
    if (pos_ < t_.size() && t_[pos_] == '(') { // a call: compiled as an expression
        pos_ = saved;
        return false;
    }
    qsizetype ws = 0;
    const QByteArray w = PeekWord(ws);
    if (!indexed &&
        (w.isEmpty() || w.startsWith(';') || IsClosingWord(w, "END") || w == "ELSE" || w == "UNTIL")) {
        // A procedure call always passes the dummy argument 0.
        Emit(kvscript::Call, name + "(0)", nameAt);
        return true;
    }
    if (!w.startsWith(":=")) Fail(R"(Need ":=" here)", ws);
    pos_ = ws + 2;
    qsizetype at = 0;
    const QByteArray value = ExpressionText(at);
    if (indexed) Emit(kvscript::Call, "SETARRAY(" + name + ", " + index + ", " + value + ")", nameAt);
    else EmitAssignment(name, value, at);
    return true;
}

// ---------------------------------------------------------------- expressions

QByteArray TkvScriptCompiler::ExpressionText(qsizetype& start) {
    SkipBlanks();
    start = pos_;
    Expression();
    return t_.mid(start, pos_ - start);
}

void TkvScriptCompiler::Expression() {
    bool overflow = false;
    NestingGuard guard(nesting_, overflow);
    if (overflow) Fail("The expression is nested too deeply", pos_);
    SimpleExpression();
    const qsizetype saved = pos_;
    SkipBlanks();
    const QByteArrayView rest = QByteArrayView(t_).sliced(pos_);
    if (rest.startsWith(">=") || rest.startsWith("<=") || rest.startsWith("<>")) pos_ += 2;
    else if (rest.startsWith('<') || rest.startsWith('=') || rest.startsWith('>')) pos_ += 1;
    else {
        pos_ = saved;
        return;
    }
    SimpleExpression();
}

void TkvScriptCompiler::SimpleExpression() {
    for (;;) {
        Term();
        const qsizetype saved = pos_;
        SkipBlanks();
        if (pos_ < t_.size() && (t_[pos_] == '+' || t_[pos_] == '-')) ++pos_;
        else if (WordOperatorAt(pos_, "OR")) pos_ += 2;
        else {
            pos_ = saved;
            return;
        }
    }
}

void TkvScriptCompiler::Term() {
    for (;;) {
        Factor();
        const qsizetype saved = pos_;
        SkipBlanks();
        if (pos_ < t_.size() && (t_[pos_] == '*' || t_[pos_] == '/')) ++pos_;
        else if (WordOperatorAt(pos_, "AND") || WordOperatorAt(pos_, "MOD")) pos_ += 3;
        else {
            pos_ = saved;
            return;
        }
    }
}

void TkvScriptCompiler::Factor() {
    SkipBlanks();
    if (pos_ >= t_.size()) Fail("Need an operand here", pos_);
    const char c = t_[pos_];
    if (c == '(') {
        ++pos_;
        Expression();
        SkipBlanks();
        if (pos_ >= t_.size() || t_[pos_] != ')') Fail(R"x(Need ")" here)x", pos_);
        ++pos_;
        return;
    }
    if (c == '[') {
        const kvparse::TkvBracketed b = kvparse::ExtractBracketed(t_, pos_);
        if (!b.Closed) Fail(R"(Need "]" here)", pos_);
        pos_ = b.Close + 1;
        return;
    }
    if (c == '+' || c == '-') {
        ++pos_;
        Expression();
        return;
    }
    if (WordOperatorAt(pos_, "NOT")) {
        pos_ += 3;
        Expression();
        return;
    }
    if (c == '\'') {
        qsizetype end = pos_;
        bool closed = false;
        kvparse::ReadQuoted(t_, pos_, end, &closed);
        if (!closed) Fail("The quoted text has no end", pos_);
        pos_ = end;
        return;
    }
    if (IsDigit(c)) {
        while (pos_ < t_.size() && IsDigit(t_[pos_])) ++pos_;
        if (pos_ + 1 < t_.size() && t_[pos_] == '.' && IsDigit(t_[pos_ + 1])) {
            ++pos_;
            while (pos_ < t_.size() && IsDigit(t_[pos_])) ++pos_;
        }
        return;
    }
    if (!IsNameStart(pos_)) Fail("Need an operand here", pos_);
    const qsizetype nameAt = pos_;
    ReadName();
    // A keyword is never an operand: "y := end" misses its value, it does not read a name END.
    // IF followed by "(" is the expression language's IF(condition, then, else).
    const QByteArray word = t_.mid(nameAt, pos_ - nameAt).toUpper();
    if (IsKeyword(word) && !(word == "IF" && pos_ < t_.size() && t_[pos_] == '('))
        Fail("Need an operand here", nameAt);
    if (pos_ < t_.size() && t_[pos_] == '[') {
        ++pos_;
        Expression();
        SkipBlanks();
        if (pos_ >= t_.size() || t_[pos_] != ']') Fail(R"(Need "]" here)", pos_);
        ++pos_;
        return;
    }
    if (pos_ < t_.size() && t_[pos_] == '(') {
        ++pos_;
        SkipBlanks();
        if (pos_ < t_.size() && t_[pos_] == ')') { // no arguments
            ++pos_;
            return;
        }
        for (;;) {
            Expression();
            SkipBlanks();
            if (pos_ < t_.size() && t_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < t_.size() && t_[pos_] == ')') {
                ++pos_;
                return;
            }
            Fail(R"x(Need "," or ")" here)x", pos_);
        }
    }
}

// ---------------------------------------------------------------- output

QByteArray TkvScriptCompiler::Postfix(const QByteArray& expression, qsizetype at) {
    try {
        return parser_.ConvertToPostfix(expression);
    } catch (const TkvVariantError& e) {
        Fail(QByteArray(e.what()), at);
    }
}

int TkvScriptCompiler::Emit(char kind, const QByteArray& expression, qsizetype at) {
    if (out_.size() >= kvscript::kMaxInstructions)
        Fail("The script has more than " + QByteArray::number(kvscript::kMaxInstructions) + " instructions", at);
    QByteArray line(1, kind);
    if (kind == kvscript::CondJump) line += QByteArray(2, '\0');
    line += Postfix(expression, at);
    out_.append(line);
    open_.push_back(kind == kvscript::CondJump);
    Emitted(at);
    return int(out_.size() - 1);
}

int TkvScriptCompiler::EmitAssignment(const QByteArray& name, const QByteArray& expression, qsizetype at) {
    if (out_.size() >= kvscript::kMaxInstructions)
        Fail("The script has more than " + QByteArray::number(kvscript::kMaxInstructions) + " instructions", at);
    out_.append(name + ' ' + Postfix(expression, at));
    open_.push_back(false);
    Emitted(at);
    return int(out_.size() - 1);
}

int TkvScriptCompiler::EmitJump(int target, qsizetype at) {
    if (out_.size() >= kvscript::kMaxInstructions)
        Fail("The script has more than " + QByteArray::number(kvscript::kMaxInstructions) + " instructions", pos_);
    out_.append(QByteArray(1, kvscript::Jump) + QByteArray(2, '\0'));
    open_.push_back(true);
    Emitted(at);
    const int index = int(out_.size() - 1);
    if (target >= 0) Patch(index, target);
    return index;
}

void TkvScriptCompiler::Patch(int instruction, int target) {
    QByteArray& line = out_[instruction];
    line[1] = char(target & 0xFF);
    line[2] = char((target >> 8) & 0xFF);
    open_[size_t(instruction)] = false;
}

void TkvScriptCompiler::Finish() {
    const int end = int(out_.size());
    for (const Goto& g : gotos_) {
        const auto it = labels_.constFind(g.Label);
        if (it != labels_.constEnd()) {
            Patch(g.Instruction, *it);
        } else if (!failed_) {
            try {
                Fail("Label " + g.Label + " is not defined", g.At);
            } catch (const Stop&) {
            }
        }
    }
    // After an error, jumps whose target was never known end the script instead of jumping to 0.
    for (int i = 0; i < end; ++i)
        if (open_[size_t(i)]) Patch(i, end);
}
