#pragma once
// Writes a rich text document (twips layout, see rich_formats.h) as Rich Text Format that the RTF
// reader and word processors read back: fonts with their character sets, colours, character and
// paragraph formatting, tabs, tables and pictures (their original bytes when the document was read
// from RTF, otherwise PNG). Text that the ANSI code page holds is written as \'hh bytes, everything
// else as \uN with a "?" for readers without Unicode.

#include <QByteArray>

class QTextDocument;

namespace kvrtf {

QByteArray WriteRtf(const QTextDocument& document);

} // namespace kvrtf
