#pragma once
// Colours the script language in a text document: keywords and word operators, { } and //
// comments (braces may span lines), quoted texts and numbers (decimal and $hexadecimal).

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class TkvScriptHighlighter : public QSyntaxHighlighter {
public:
    explicit TkvScriptHighlighter(QTextDocument* document);

    // What a span of the text is, for the formats and for tests.
    enum class Token { Plain, Keyword, Comment, String, Number };
    struct Span {
        int Start;
        int Length;
        Token Kind;
    };
    // The spans of one line, given whether it starts inside a { comment; `endsInComment` tells
    // whether the next line starts inside one.
    static std::vector<Span> Scan(const QString& line, bool startsInComment, bool& endsInComment);
    static bool IsKeyword(const QString& word);

    QTextCharFormat FormatOf(Token kind) const;

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat keyword_, comment_, string_, number_;
};
