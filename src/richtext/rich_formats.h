#pragma once
// The conventions every rich text document of the library follows, shared by the RTF reader and
// writer and the layout: documents are laid out on a 1440-dpi device, so every length in them
// (indents, tab stops, table widths, picture sizes, line positions) is in twips, and fonts keep
// their point sizes.

#include <QTextCharFormat>

class QTextDocument;

namespace kvrich {

// The font character set a run was read with (int); the writer writes it back in the font table.
constexpr int CharsetProperty = QTextFormat::UserProperty + 1;
// Tables: whether the cells have borders (bool).
constexpr int TableBordersProperty = QTextFormat::UserProperty + 2;

constexpr int kTwipsPerInch = 1440;

// Qt's document layout takes some lengths as pixels at 96 dpi and scales them to the layout device
// (block top and bottom margins, tab stops, line heights, table padding and column widths,
// picture sizes): these are stored as twips / kScaled. Left and right margins, the first-line
// indent and font sizes are used as they are.
constexpr double kScaled = kTwipsPerInch / 96.0;

// Sets the document up for twips layout: no document margin, design metrics, Arial 10 pt as the
// default font. Creates the document's layout: fill a document before preparing it where possible,
// since a document with a layout lays itself out again after every change.
void PrepareDocument(QTextDocument& document);

// The format of text that says nothing else: Arial 10 pt, black.
QTextCharFormat DefaultCharFormat();

} // namespace kvrich
