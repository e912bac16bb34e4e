#include "script/function_splitter.h"

#include "script/parser.h"

void TkvFunctionSplitter::Split(const QByteArray& expression) { Split(expression, 0); }

bool TkvFunctionSplitter::IsFunctionName(const QByteArray& token) const {
    for (const QByteArray& name : FunctionNames)
        if (name.compare(token, Qt::CaseInsensitive) == 0) return true;
    return false;
}

void TkvFunctionSplitter::Split(const QByteArray& expression, int depth) {
    if (depth > kMaxDepth) throw TkvExpressionError("Variables refer to one another too deeply");
    const QByteArray s = expression.trimmed();
    if (s.isEmpty() || s[0] == '\'') return;
    auto followVariable = [&](const QByteArray& name) {
        const int i = Variables.IndexOf(name);
        if (i < 0) return false;
        Split(Variables.Value(i).toText(), depth + 1);
        return true;
    };
    const qsizetype n = s.size();
    qsizetype pos = 0;
    while (pos < n) {
        const qsizetype stepStart = pos;
        if (s[pos] == '[') {
            const kvparse::TkvBracketed b = kvparse::ExtractBracketed(s, pos);
            if (!followVariable(b.Text)) Split(b.Text, depth + 1);
            pos = b.Close + 1;
            continue;
        }
        qsizetype end = pos;
        const QByteArray token = kvparse::ReadToken(s, pos, end);
        if (end < n && s[end] == '(') {
            const kvparse::TkvArguments a = kvparse::SplitArguments(s, end);
            for (const QByteArray& arg : a.Args) Split(arg, depth + 1);
            if (IsFunctionName(token)) Found.append(s.mid(stepStart, a.End - stepStart));
            pos = a.End;
            continue;
        }
        if (!token.isEmpty() && followVariable(token)) {
            pos = end;
            continue;
        }
        pos = end;
        if (pos >= n) break;
        const char c = s[pos];
        if (c == 13 || c == ' ' || c == '*' || c == '+' || c == '-' || c == '/' || c == '<' || c == '=' ||
            c == '>' || c == '(' || c == ')' || c == ';')
            ++pos;
        else if (token.isEmpty())
            break;
    }
}
