#pragma once
// Stream strings, stream memos and hex text: the text encodings of report streams.
// Strings stay single-byte code page bytes here; they are decoded only where shown.

#include "base/stream.h"

#include <QByteArray>
#include <QList>

using TkvStringList = QList<QByteArray>;

namespace kv {

// Pick the old (below 23) or the current encoding from StreamVersion.
QByteArray ReadStreamString(TkvStream& s);
void ReadStreamMemo(TkvStream& s, TkvStringList& lines);
// Always write the current encoding. Texts longer than 65535 bytes keep their first 65535
// bytes: the length word cannot say more, and a cut-off text is better than a corrupt stream.
void WriteStreamString(TkvStream& s, const QByteArray& text);
void WriteStreamMemo(TkvStream& s, const TkvStringList& lines);

QByteArray HexEncode(const QByteArray& text);
QByteArray HexDecode(const QByteArray& hex);

// Splits a text into lines at CR, LF or CR LF; joins lines each followed by CR LF.
TkvStringList SplitLines(const QByteArray& text);
QByteArray JoinLines(const TkvStringList& lines);

} // namespace kv
