#pragma once
// Reads Rich Text Format into a QTextDocument laid out in twips (see rich_text.h): fonts with their
// character sets and the document's ANSI code page, \'hh and \uN characters, character and paragraph
// formatting, tabs, bullets (as the text the writer of the file put before each item), line and
// paragraph breaks, simple tables and pictures (\pict with PNG, JPEG, packed DIB, WMF and EMF data).
//
// The input is untrusted. The reader never reads past it, ignores what lies deeper than
// kMaxGroupDepth groups, skips unknown {\*\...} destinations and the ones it has no use for, caps
// picture data, picture counts, table sizes and text length, and never fails: input that is not RTF
// is shown as plain text in the default code page, and whatever malformed RTF yields up to the
// point where it stops making sense is kept.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>

class QTextDocument;

namespace kvrtf {

struct Limits {
    int maxGroupDepth = 200;
    qsizetype maxPictureBytes = 32 * 1024 * 1024; // decoded bytes of one picture
    qsizetype maxTotalPictureBytes = 64 * 1024 * 1024;
    int maxPictures = 512;
    int maxTableColumns = 63;
    int maxTableRows = 2000;
    int maxTableCells = 20000;
    int maxFonts = 4096;
    int maxColors = 4096;
    qsizetype maxTextChars = 8 * 1024 * 1024;
};

// Resource names of pictures: an image format names "kvpict:<kind>/<n>" (kind png, jpeg, dib, wmf,
// emf), the document's image resource of that name, a rendered image, is what the layout, drawing
// and an editor show, and the picture's original bytes are kept under PictureBytesUrl of that name,
// so the writer can write them back unchanged. (A document holds one resource per name whatever
// its type, so the two need names of their own.)
constexpr const char* kPictureScheme = "kvpict";
QUrl PictureBytesUrl(const QUrl& picture);

// Replaces the document's content; fastest on a document without a layout yet, since the layout
// follows every change (kvrich::PrepareDocument is applied at the end). Returns false when the bytes do not start with "{\rtf" (they are
// then loaded as plain text).
bool ReadRtf(QByteArrayView rtf, QTextDocument& document, const Limits& limits = {});

// Whether the bytes start like an RTF file (leading white space allowed).
bool LooksLikeRtf(QByteArrayView bytes);

} // namespace kvrtf
