#include "script/parser.h"

#include "base/date_time.h"
#include "base/number_format.h"
#include "base/value_ops.h"
#include "script/interpretator.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

[[noreturn]] void SyntaxError(const std::string& message) { throw TkvExpressionError(message); }

std::string Excerpt(const QByteArray& text) {
    const QByteArray t = text.size() > 60 ? text.left(60) + "..." : text;
    return t.toStdString();
}

bool IsDigitStart(char c) { return (c >= '0' && c <= '9') || c == ',' || c == '.'; }

bool IsStop(char c) {
    switch (c) {
    case 13:
    case ' ':
    case '(':
    case ')':
    case '*':
    case '+':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>':
    case '[':
    case ';': return true;
    default: return false;
    }
}

bool IsPrefix(char code) {
    return code == kvop::Negate || code == kvop::Plus || code == kvop::Not || code == kvop::Int ||
           code == kvop::Frac || code == kvop::Round || code == kvop::Str;
}

int Priority(char code) {
    switch (code) {
    case '*':
    case '/':
    case kvop::Mod:
    case kvop::And:
    case kvop::Or:
    case kvop::Not: return 1;
    case '+':
    case '-':
    case kvop::Negate:
    case kvop::Plus: return 2;
    case '=':
    case '<':
    case '>':
    case kvop::GreaterEqual:
    case kvop::LessEqual:
    case kvop::NotEqual: return 3;
    case kvop::Int:
    case kvop::Frac:
    case kvop::Round:
    case kvop::Str: return 0;
    case '(': return 5;
    default: return 4;
    }
}

char WordOperator(const QByteArray& w) {
    if (w.size() < 2 || w.size() > 5) return 0;
    const QByteArray u = w.toUpper();
    if (u == "INT") return kvop::Int;
    if (u == "FRAC") return kvop::Frac;
    if (u == "ROUND") return kvop::Round;
    if (u == "OR") return kvop::Or;
    if (u == "AND") return kvop::And;
    if (u == "NOT") return kvop::Not;
    if (u == "STR") return kvop::Str;
    if (u == "MOD") return kvop::Mod;
    return 0;
}

// Round to nearest, halves to the even neighbour, independent of the floating point mode.
double RoundHalfEven(double x) {
    const double f = std::floor(x);
    const double diff = x - f;
    if (diff > 0.5) return f + 1;
    if (diff < 0.5) return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

// A number token: "," and "." are both the decimal separator; no sign, no exponent.
TkvVariant NumberToken(const QByteArray& token) {
    std::array<char, 400> buf;
    if (token.size() >= qsizetype(buf.size())) SyntaxError("The number '" + Excerpt(token) + "' is too long");
    int points = 0, digits = 0;
    qsizetype n = 0;
    for (char c : token) {
        if (c == ',' || c == '.') {
            ++points;
            c = '.';
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            points = 99;
        }
        buf[size_t(n++)] = c;
    }
    if (points > 1 || digits == 0)
        throw TkvVariantError("'" + Excerpt(token) + "' is not a valid floating point value");
    const char* b = buf.data();
    const char* e = b + n;
    if (points == 0) {
        int64_t v = 0;
        const auto r = std::from_chars(b, e, v);
        if (r.ec == std::errc() && r.ptr == e) return TkvVariant(v);
    }
    double d = 0;
    const auto r = std::from_chars(b, e, d);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(d))
        throw TkvVariantError("'" + Excerpt(token) + "' is not a valid floating point value");
    return TkvVariant(d);
}

struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) {
        if (++depth > TkvParser::kMaxDepth) {
            --depth;
            SyntaxError("Expressions are nested too deeply");
        }
    }
    ~DepthGuard() { --depth; }
};

} // namespace

// ---------------------------------------------------------------- reading routines

namespace kvparse {

QByteArray ReadToken(const QByteArray& text, qsizetype pos, qsizetype& end) {
    const qsizetype n = text.size();
    while (pos < n && uint8_t(text[pos]) <= 32) ++pos;
    const qsizetype start = pos;
    bool inQuotes = false;
    while (pos < n) {
        const char c = text[pos];
        // Control characters end a token like a blank: conversion skips them between tokens.
        if (!inQuotes && (IsStop(c) || uint8_t(c) < 32)) break;
        if (c == '"') inQuotes = !inQuotes;
        ++pos;
    }
    end = pos;
    return text.mid(start, pos - start);
}

QByteArray ReadQuoted(const QByteArray& text, qsizetype pos, qsizetype& end, bool* closed) {
    const qsizetype n = text.size();
    qsizetype i = pos + 1;
    bool found = false;
    while (i < n) {
        if (text[i] == '\'') {
            if (i + 1 < n && text[i + 1] == '\'') {
                i += 2;
                continue;
            }
            found = true;
            ++i;
            break;
        }
        ++i;
    }
    end = i;
    if (closed) *closed = found;
    return text.mid(pos, i - pos);
}

QByteArray Unquote(const QByteArray& quoted) {
    QByteArray s = quoted;
    if (s.startsWith('\'')) s.remove(0, 1);
    if (s.endsWith('\'')) s.chop(1);
    s.replace("''", "'");
    return s;
}

TkvArguments SplitArguments(const QByteArray& text, qsizetype pos) {
    TkvArguments r;
    const qsizetype n = text.size();
    int depth = 1;
    bool quoted = false;
    int commas = 0;
    qsizetype from = pos + 1;
    for (qsizetype i = pos + 1; i < n; ++i) {
        const char c = text[i];
        if (c == '\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted) continue;
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth == 0) {
                r.Args[std::min(commas, 2)] = text.mid(from, i - from);
                r.End = i + 1;
                return r;
            }
        } else if (c == ',' && depth == 1) {
            r.Args[commas == 0 ? 0 : 1] = text.mid(from, i - from);
            ++commas;
            from = i + 1;
        }
    }
    SyntaxError("Missing ) after the arguments in '" + Excerpt(text.mid(pos)) + "'");
}

} // namespace kvparse

// ---------------------------------------------------------------- conversion

QByteArray TkvParser::ConvertToPostfix(const QByteArray& s) const {
    QByteArray out;
    out.reserve(s.size() + 8);
    std::vector<char> ops;
    bool operand = false;
    auto place = [&](char code) {
        // Prefix operators wait for their operand: they never move what is already on the stack,
        // so 2*-3 and 1 AND NOT 0 keep both operands of the binary operator.
        if (!IsPrefix(code)) {
            while (!ops.empty() && Priority(code) >= Priority(ops.back())) {
                out += ops.back();
                ops.pop_back();
            }
        }
        ops.push_back(code);
    };
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = s[i];
        if (uint8_t(c) <= 32) {
            ++i;
            continue;
        }
        if (c == ';') break;
        if (c == '(') {
            ops.push_back('(');
            operand = false;
            ++i;
            continue;
        }
        if (c == ')') {
            while (!ops.empty() && ops.back() != '(') {
                out += ops.back();
                ops.pop_back();
            }
            if (ops.empty()) SyntaxError("Unbalanced ) in '" + Excerpt(s) + "'");
            ops.pop_back();
            operand = true;
            ++i;
            continue;
        }
        if (c == '*' || c == '+' || c == '-' || c == '/' || c == '<' || c == '=' || c == '>') {
            char code = c;
            const char next = i + 1 < n ? s[i + 1] : 0;
            if (c == '<' && next == '>') code = kvop::NotEqual;
            else if (c == '>' && next == '=') code = kvop::GreaterEqual;
            else if (c == '<' && next == '=') code = kvop::LessEqual;
            i += code == c ? 1 : 2;
            if (!operand && c == '-') code = kvop::Negate;
            else if (!operand && c == '+') code = kvop::Plus;
            place(code);
            operand = false;
            continue;
        }
        // An operand.
        const qsizetype start = i;
        if (c == '%') {
            if (i + 1 >= n || s[i + 1] == ')') SyntaxError("Nothing follows % in '" + Excerpt(s) + "'");
            i += 2;
        }
        qsizetype end = i;
        bool plain = false; // a name or number read as a token
        if (i < n && s[i] == '\'') {
            bool closed = false;
            kvparse::ReadQuoted(s, i, end, &closed);
            if (!closed) SyntaxError("Unterminated quoted text in '" + Excerpt(s) + "'");
        } else if (i < n && s[i] == '[') {
            const kvparse::TkvBracketed b = kvparse::ExtractBracketed(s, i);
            if (!b.Closed) SyntaxError("Missing ] in '" + Excerpt(s) + "'");
            end = b.Close + 1;
        } else if (i < n) {
            kvparse::ReadToken(s, i, end);
            if (end < n && s[end] == '[') {
                const kvparse::TkvBracketed b = kvparse::ExtractBracketed(s, end);
                if (!b.Closed) SyntaxError("Missing ] in '" + Excerpt(s) + "'");
                end = b.Close + 1;
            } else {
                plain = start == i;
            }
        }
        if (end <= start) SyntaxError("Unexpected character in '" + Excerpt(s) + "'");
        const QByteArray word = s.mid(start, end - start);
        i = end;
        if (IsDigitStart(word[0])) {
            out += word;
            out += ' ';
            operand = true;
        } else if (const char code = plain ? WordOperator(word) : 0) {
            place(code);
            operand = false;
        } else if (i < n && s[i] == '(') {
            const kvparse::TkvArguments a = kvparse::SplitArguments(s, i);
            out += s.mid(start, a.End - start);
            i = a.End;
            operand = true;
        } else {
            out += word;
            out += ' ';
            operand = true;
        }
    }
    while (!ops.empty()) {
        if (ops.back() == '(') SyntaxError("Missing ) in '" + Excerpt(s) + "'");
        out += ops.back();
        ops.pop_back();
    }
    return out;
}

// ---------------------------------------------------------------- evaluation

TkvVariant TkvParser::Evaluate(const QByteArray& expression) { return EvaluatePostfix(ConvertToPostfix(expression)); }

TkvVariant TkvParser::Variable(const QByteArray& name) {
    TkvVariant v = TkvVariant::Null();
    if (OnGetVariable) OnGetVariable(name, v);
    return v;
}

TkvVariant TkvParser::EvaluatePostfix(const QByteArray& p) {
    DepthGuard guard(depth_);
    const TkvFormatSettings& fs = *settings_;
    std::array<TkvVariant, kStackSize> stack;
    int sp = 0;
    bool any = false;
    auto push = [&](TkvVariant v) {
        if (sp == kStackSize) SyntaxError("The expression is too complex (more than 32 values pending)");
        stack[size_t(sp++)] = std::move(v);
    };
    auto need = [&](int count, char code) {
        if (sp < count) SyntaxError("An operator is missing an operand");
    };
    const qsizetype n = p.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = p[i];
        if (c == ' ' || c == kvop::Plus) {
            any = any || c == kvop::Plus;
            ++i;
            continue;
        }
        any = true;
        switch (c) {
        case '*':
        case '+':
        case '-':
        case '/':
        case '<':
        case '=':
        case '>':
        case kvop::GreaterEqual:
        case kvop::LessEqual:
        case kvop::NotEqual:
        case kvop::Or:
        case kvop::And:
        case kvop::Mod: {
            need(2, c);
            TkvVariant& a = stack[size_t(sp - 2)];
            const TkvVariant& b = stack[size_t(sp - 1)];
            using kvval::Compare;
            auto cmp = [&](Compare op) { return TkvVariant(int64_t(kvval::CompareValues(a, b, op, fs) ? 1 : 0)); };
            switch (c) {
            case '*': a = kvval::Multiply(a, b, fs); break;
            case '+':
                a = kvval::Add(a, b, fs);
                if (a.isText()) TextWork += a.toText().size();
                break;
            case '-': a = kvval::Subtract(a, b, fs); break;
            case '/':
                if (a.isNull() || b.isNull()) a = TkvVariant::Null();
                else if (kvval::ToDouble(b, fs) == 0) a = TkvVariant(int64_t(0));
                else a = kvval::Divide(a, b, fs);
                break;
            case '<': a = cmp(Compare::Less); break;
            case '=': a = cmp(Compare::Equal); break;
            case '>': a = cmp(Compare::Greater); break;
            case kvop::GreaterEqual: a = cmp(Compare::GreaterEqual); break;
            case kvop::LessEqual: a = cmp(Compare::LessEqual); break;
            case kvop::NotEqual: a = cmp(Compare::NotEqual); break;
            case kvop::Or: a = kvval::Or(a, b, fs); break;
            case kvop::And: a = kvval::And(a, b, fs); break;
            case kvop::Mod: a = kvval::Modulo(a, b, fs); break;
            }
            stack[size_t(--sp)] = TkvVariant();
            ++i;
            continue;
        }
        case kvop::Negate:
        case kvop::Not:
        case kvop::Str:
        case kvop::Round:
        case kvop::Int:
        case kvop::Frac: {
            need(1, c);
            TkvVariant& v = stack[size_t(sp - 1)];
            if (c == kvop::Negate) {
                v = kvval::Negate(v, fs);
            } else if (c == kvop::Not) {
                const bool zero = kvval::CompareValues(v, TkvVariant(int64_t(0)), kvval::Compare::Equal, fs);
                v = TkvVariant(int64_t(zero ? 1 : 0));
            } else if (c == kvop::Str) {
                v = TkvVariant(kvval::ToText(v, fs));
            } else if (c == kvop::Round) {
                v = TkvVariant(RoundHalfEven(kvval::ToDouble(v, fs)));
            } else {
                double x = kvval::ToDouble(v, fs);
                const double r = RoundHalfEven(x);
                if (std::fabs(x - r) < 1e-10) x = r;
                v = TkvVariant(c == kvop::Int ? std::trunc(x) : x - std::trunc(x));
            }
            ++i;
            continue;
        }
        case '[': {
            const kvparse::TkvBracketed b = kvparse::ExtractBracketed(p, i);
            if (!b.Closed) SyntaxError("Missing ] in '" + Excerpt(p) + "'");
            push(Variable(b.Text));
            i = b.Close + 1;
            continue;
        }
        case '\'': {
            qsizetype end = i;
            bool closed = false;
            const QByteArray q = kvparse::ReadQuoted(p, i, end, &closed);
            if (!closed) SyntaxError("Unterminated quoted text in '" + Excerpt(p) + "'");
            push(TkvVariant(kvparse::Unquote(q)));
            i = end;
            continue;
        }
        default: break;
        }
        qsizetype end = i;
        const QByteArray token = kvparse::ReadToken(p, i, end);
        if (token.isEmpty()) {
            if (end >= n) break; // only control characters were left
            SyntaxError("Unexpected character in '" + Excerpt(p) + "'");
        }
        if (IsDigitStart(token[0])) {
            push(NumberToken(token));
            i = end;
        } else if (end < n && p[end] == '[') {
            const kvparse::TkvBracketed b = kvparse::ExtractBracketed(p, end);
            if (!b.Closed) SyntaxError("Missing ] in '" + Excerpt(p) + "'");
            push(Evaluate("GETARRAY(" + token + ", " + b.Text + ")"));
            i = b.Close + 1;
        } else if (end < n && p[end] == '(') {
            const kvparse::TkvArguments a = kvparse::SplitArguments(p, end);
            push(CallFunction(token.toUpper(), a.Args));
            i = a.End;
        } else {
            const QByteArray upper = token.toUpper();
            if (upper == "TRUE") push(TkvVariant(true));
            else if (upper == "FALSE") push(TkvVariant(false));
            else push(Variable(upper));
            i = end;
        }
    }
    if (sp == 0) {
        if (any) SyntaxError("An operator is missing an operand");
        return TkvVariant(int64_t(0));
    }
    return std::move(stack[0]);
}

TkvVariant TkvParser::CallFunction(const QByteArray& name, const QByteArray (&args)[3]) {
    const TkvFormatSettings& fs = *settings_;
    auto text = [&](int k) { return kvval::ToText(Evaluate(args[k]), fs); };
    if (name == "COPY") {
        const QByteArray s = text(0);
        const int64_t from = kvval::ToInteger(TkvVariant(text(1)), fs);
        const int64_t count = kvval::ToInteger(TkvVariant(text(2)), fs);
        const int64_t start = std::max<int64_t>(from, 1) - 1;
        if (start >= s.size() || count <= 0) return TkvVariant(QByteArray());
        return TkvVariant(s.mid(qsizetype(start), qsizetype(std::min<int64_t>(count, s.size()))));
    }
    if (name == "IF") {
        const TkvVariant c = Evaluate(args[0]);
        bool yes = false;
        switch (c.kind()) {
        case TkvVariant::Kind::Boolean: yes = c.toBool(); break;
        case TkvVariant::Kind::Integer: yes = c.toInt() != 0; break;
        case TkvVariant::Kind::Unassigned:
        case TkvVariant::Kind::Null: yes = false; break;
        case TkvVariant::Kind::Text: {
            TkvVariant number;
            if (kv::ParseNumber(c.toText(), fs, number)) yes = std::trunc(kvval::ToDouble(number, fs)) != 0;
            else yes = kvval::ToBoolean(c, fs);
            break;
        }
        default: yes = std::trunc(kvval::ToDouble(c, fs)) != 0;
        }
        return Evaluate(args[yes ? 1 : 2]);
    }
    if (name == "STRTODATE") return TkvVariant(TkvVariant::DateTimeValue{kv::ParseDate(text(0).trimmed(), fs)});
    if (name == "STRTOTIME") return TkvVariant(TkvVariant::DateTimeValue{kv::ParseTime(text(0).trimmed(), fs)});
    TkvVariant v = TkvVariant::Null();
    if (OnFunction) OnFunction(name, TkvVariant(args[0]), TkvVariant(args[1]), TkvVariant(args[2]), v);
    return v;
}

// ---------------------------------------------------------------- evaluator for report objects

namespace {

// Scripts of report objects: names and functions as the evaluator's parser answers them,
// assignments into its variables.
class EvaluatorScripts : public TkvInterpretator {
public:
    explicit EvaluatorScripts(TkvParserEvaluator& evaluator)
        : TkvInterpretator(evaluator.Parser.Settings()), evaluator_(evaluator) {}
    void GetValue(const QByteArray& name, TkvVariant& value) override {
        if (evaluator_.Parser.OnGetVariable) evaluator_.Parser.OnGetVariable(name, value);
    }
    void SetValue(const QByteArray& name, const TkvVariant& value) override {
        evaluator_.Variables.SetVariable(name, value);
    }
    void CallFunction(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2, const TkvVariant& p3,
                      TkvVariant& value) override {
        if (evaluator_.Parser.OnFunction) evaluator_.Parser.OnFunction(name, p1, p2, p3, value);
    }

private:
    TkvParserEvaluator& evaluator_;
};

} // namespace

TkvParserEvaluator::~TkvParserEvaluator() = default;

void TkvParserEvaluator::ExecuteScript(const TkvStringList& compiled, const QByteArray& owner) {
    if (!scripts_) scripts_ = std::make_unique<EvaluatorScripts>(*this);
    scripts_->MaxSteps = MaxScriptSteps;
    scripts_->Execute(compiled, owner);
}

TkvParserEvaluator::TkvParserEvaluator(const TkvFormatSettings& settings) : Parser(settings) {
    Parser.OnGetVariable = [this](const QByteArray& name, TkvVariant& value) {
        const int i = Variables.IndexOf(name);
        if (i >= 0) value = Variables.Value(i);
    };
}
