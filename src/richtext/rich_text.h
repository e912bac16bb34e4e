#pragma once
// The library's rich text control: one formatted text (a QTextDocument laid out in twips), loaded
// from and saved to Rich Text Format, edited by character position, and laid out, measured and
// drawn through the canvas seam.
//
// Positions are character indices of the document: each paragraph ends with one separator
// character, a table takes one position before and one after its cells, a picture is one
// character. Length() is the number of positions; the implicit end of the text is not counted.
//
// Layout works on rows: a line of a paragraph, or a whole table (tables are never cut). Rows are
// measured from the row that holds the start position; a rectangle is B twips high and R twips
// wide. The row geometry is computed on demand and kept until the text or the width changes.

#include <QByteArray>
#include <QByteArrayView>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QTextDocument;
class TkvCanvas;

class TkvRichText {
public:
    TkvRichText();
    ~TkvRichText();
    TkvRichText(const TkvRichText&) = delete;
    TkvRichText& operator=(const TkvRichText&) = delete;

    void Clear();
    // Replaces the text. Bytes that are not RTF are loaded as plain text; returns false then.
    bool LoadRtf(QByteArrayView rtf);
    QByteArray SaveRtf() const;
    void SetPlainText(const QString& text);
    // Copies another control's text, formatting and pictures through Rich Text Format.
    void CopyFrom(const TkvRichText& source);

    // The document is replaced by every load: do not keep the reference across LoadRtf or Clear.
    QTextDocument& Document() { return *doc_; }
    const QTextDocument& Document() const { return *doc_; }

    int Length() const;
    bool IsEmpty() const { return Length() == 0; }
    // One character per position: paragraph and table boundaries are U+2029, pictures U+FFFC.
    QString RawText() const;
    // The text for plain-text consumers: paragraphs end with "\n", table cells are separated by
    // tabs and rows by line ends, pictures are left out.
    QString PlainText() const;

    // Removes `count` characters from `from` (both clamped to the text).
    void Delete(int from, int count);
    // Replaces `count` characters at `from` by `text` in the character formatting of the first
    // replaced character, with the default character set.
    void Replace(int from, int count, const QString& text);

    // The first position from `from` on that does not fit into a rectangle `width` x `height`
    // twips; Length() when everything fits. When the first row does not fit either, it counts as
    // fitting, so every call with from < Length() moves forward by at least one row.
    int FitRange(int from, int width, int height);
    // The height in twips the text from `from` on takes at `width` twips; 0 for an empty text.
    int HeightTwips(int from, int width);
    // Draws the text from `from` on laid out at `width` x `height` twips, stretched onto `target`
    // (device pixels of the canvas) and clipped to it. Text goes through TextOut with per-character
    // advances, highlights through FillRect, pictures through DrawImage or metafile playback.
    void Draw(TkvCanvas& canvas, const QRect& target, int width, int height, int from = 0);
    // The laid-out lines at `width` twips, as plain text (a table row is one line, its cells
    // separated by tabs).
    QStringList Lines(int width);

    struct Row {
        int start = 0, end = 0;    // positions [start, end)
        double top = 0, bottom = 0; // twips from the top of the document
        int block = -1;            // block number of a paragraph line, -1 for a table
        int line = 0;              // line number within the block
    };
    const std::vector<Row>& Rows(int width);

private:
    void Adopt(std::unique_ptr<QTextDocument> doc);
    void Invalidate();
    int FirstRow(int from) const;

    std::unique_ptr<QTextDocument> doc_;
    std::vector<Row> rows_;
    int rowsWidth_ = -1;
    int rowsRevision_ = -1;
};
