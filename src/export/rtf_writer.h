#pragma once
// Pieces shared by the RTF exports: text escaping, the font and colour tables, and pictures as
// hexadecimal Windows metafiles that draw a bitmap.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>

class TkvView;

namespace kvrtf {

// RTF text: "\", "{" and "}" escaped, every character outside ASCII as \uN? (N the signed 16-bit
// UTF-16 unit), control characters dropped except tab (\tab) and line breaks (when `lineBreaks`, CR,
// LF and CR LF each become \line and a line end; otherwise dropped).
QByteArray Escape(const QString& text, bool lineBreaks = false);
// Code page bytes of a font character set to escaped RTF text.
QByteArray EscapeBytes(const QByteArray& bytes, int charset, bool lineBreaks = false);

// A table group written as lines of at most 254 characters, each entry whole: `head` ("{\fonttbl"),
// the entries, then "}".
QByteArray TableLines(const QByteArray& head, const QList<QByteArray>& entries, const QByteArray& lineEnd);

// Fonts numbered in order of first use (from 0).
class FontTable {
public:
    int Number(const QByteArray& name);
    // A font whose text bytes are glyph numbers: its entry says \fcharset2, so that readers keep
    // the bytes instead of decoding them in the document's code page.
    void MarkSymbol(int number);
    QList<QByteArray> Entries() const; // "{\fN name;}", "{\fN\fcharset2 name;}" for a symbol font
    int Count() const { return int(names_.size()); }

private:
    QList<QByteArray> names_;
    QList<bool> symbol_;
};

// Colours numbered in order of first use (from 1; 0 is the automatic colour).
class ColorTable {
public:
    int Number(uint32_t rgb); // red in the low byte
    QList<QByteArray> Entries() const; // "\redR\greenG\blueB;"
    int Count() const { return int(colors_.size()); }

private:
    QList<uint32_t> colors_;
};

// The biggest bitmap side a picture is written with (metafile fields are 16-bit).
constexpr int kMaxPictureSide = 4000;

// The object drawn into a white bitmap of (round(width) + 1) x (round(height) + 1) pixels at one
// pixel per page unit, its position moved to 0, 0 for the drawing. Empty for an object too large
// or of no size.
QImage DrawViewToImage(TkvView& view);

// The bitmap as the bytes of a BMP file without its 14-byte file header (24 bits per pixel).
QByteArray DibBytes(const QImage& image);

// The hexadecimal Windows metafile that draws the bitmap stretched to W x H, without the closing
// end-of-file record: header, window origin and extent, text and background colours, stretch mode
// and the stretch-DIB record, the DIB in lines of 64 bytes. `lastLineEnd`: the last, partial data
// line also ends with CR LF. The caller appends "030000000000" (end of file).
QByteArray HexMetafile(const QImage& image, bool lastLineEnd);

} // namespace kvrtf
