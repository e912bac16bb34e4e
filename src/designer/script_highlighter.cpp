#include "designer/script_highlighter.h"

#include <QSet>

namespace {
constexpr int kInBraceComment = 1;

bool IsWordStart(QChar c) {
    return c.isLetter() || c == '_';
}
bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == '_';
}
} // namespace

TkvScriptHighlighter::TkvScriptHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    keyword_.setFontWeight(QFont::Bold);
    keyword_.setForeground(QColor(0, 0, 0x80));
    comment_.setForeground(QColor(0, 0x80, 0));
    comment_.setFontItalic(true);
    string_.setForeground(QColor(0x80, 0, 0x80));
    number_.setForeground(QColor(0, 0, 0xFF));
}

bool TkvScriptHighlighter::IsKeyword(const QString& word) {
    static const QSet<QString> words = {"begin", "end", "if",  "then", "else",   "repeat", "until",
                                        "while", "do",  "for", "to",   "downto", "goto",   "and",
                                        "or",    "not", "div", "mod",  "xor"};
    return words.contains(word.toLower());
}

std::vector<TkvScriptHighlighter::Span> TkvScriptHighlighter::Scan(const QString& line, bool startsInComment,
                                                                   bool& endsInComment) {
    std::vector<Span> spans;
    const int n = int(line.size());
    int i = 0;
    endsInComment = false;
    if (startsInComment) {
        const int close = int(line.indexOf('}'));
        const int end = close < 0 ? n : close + 1;
        spans.push_back({0, end, Token::Comment});
        if (close < 0) {
            endsInComment = true;
            return spans;
        }
        i = end;
    }
    while (i < n) {
        const QChar c = line[i];
        if (c == '{') {
            const int close = int(line.indexOf('}', i + 1));
            const int end = close < 0 ? n : close + 1;
            spans.push_back({i, end - i, Token::Comment});
            if (close < 0) endsInComment = true;
            i = end;
        } else if (c == '/' && i + 1 < n && line[i + 1] == '/') {
            spans.push_back({i, n - i, Token::Comment});
            i = n;
        } else if (c == '\'' || c == '"') {
            const int close = int(line.indexOf(c, i + 1));
            const int end = close < 0 ? n : close + 1;
            spans.push_back({i, end - i, Token::String});
            i = end;
        } else if (c.isDigit() || (c == '$' && i + 1 < n &&
                                   QStringLiteral("0123456789abcdefABCDEF").contains(line[i + 1]))) {
            int end = i + 1;
            while (end < n && (line[end].isLetterOrNumber() || line[end] == '.'))
                ++end;
            spans.push_back({i, end - i, Token::Number});
            i = end;
        } else if (IsWordStart(c)) {
            int end = i + 1;
            while (end < n && IsWordChar(line[end]))
                ++end;
            if (IsKeyword(line.mid(i, end - i))) spans.push_back({i, end - i, Token::Keyword});
            i = end;
        } else {
            ++i;
        }
    }
    return spans;
}

QTextCharFormat TkvScriptHighlighter::FormatOf(Token kind) const {
    switch (kind) {
    case Token::Keyword:
        return keyword_;
    case Token::Comment:
        return comment_;
    case Token::String:
        return string_;
    case Token::Number:
        return number_;
    default:
        return {};
    }
}

void TkvScriptHighlighter::highlightBlock(const QString& text) {
    bool endsInComment = false;
    for (const Span& s : Scan(text, previousBlockState() == kInBraceComment, endsInComment))
        setFormat(s.Start, s.Length, FormatOf(s.Kind));
    setCurrentBlockState(endsInComment ? kInBraceComment : 0);
}
