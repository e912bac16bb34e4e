#pragma once
// Finding the end of a bracketed [expression]: shared by the expression parser and by report
// objects, which replace the [expressions] of their texts and sit below the parser.

#include <QByteArray>

namespace kvparse {

// The text between the "[" at `start` and its matching "]" (brackets inside single or double
// quotes do not count). Close is the position of that "]". Without a "[" at start the result is
// empty and Open = Close = start; when the text ends first, Closed is false, Close the last
// position, and Text runs from after "[" up to (not including) the last character.
struct TkvBracketed {
    QByteArray Text;
    qsizetype Open = 0;
    qsizetype Close = 0;
    bool Closed = false;
};
TkvBracketed ExtractBracketed(const QByteArray& text, qsizetype start);

} // namespace kvparse
