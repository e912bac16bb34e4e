#pragma once
// Text of metafile records and fonts: single-byte (or double-byte Far East) code page bytes whose
// code page follows from the font's character set.

#include <QByteArrayView>
#include <QString>
#include <QVector>

namespace kv {

// The code page name a font character set stands for (render/codepage.h); empty for symbol fonts,
// which keep byte values as code points.
QByteArray CodePageForCharset(int charset);

// Decodes with the code page of `charset` (kv::DecodeText).
QString DecodeCharsetText(QByteArrayView bytes, int charset);

} // namespace kv

namespace kv {

// Decodes like DecodeCharsetText and moves per-byte advances (as records of double-byte code
// pages store them) onto the resulting UTF-16 characters: a character gets the sum of its bytes'
// advances. `perChar` receives one advance per UTF-16 unit.
QString DecodeCharsetTextWithAdvances(QByteArrayView bytes, int charset, const QVector<double>& perByte,
                                      QVector<double>* perChar);

} // namespace kv
