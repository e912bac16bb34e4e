#pragma once
// Text of metafile records and fonts: single-byte (or double-byte Far East) code page bytes whose
// code page follows from the font's character set.

#include <QByteArrayView>
#include <QString>
#include <QVector>

namespace kv {

// The code page name a font character set stands for (ANSI 0 -> windows-1252, Russian 204 ->
// windows-1251, ...). Default (1) takes the ANSI code page set below; OEM (255) the matching DOS
// code page; symbol fonts (2) keep byte values as code points.
QByteArray CodePageForCharset(int charset);

// Decodes with the code page of `charset`; unknown code pages fall back to Latin-1.
QString DecodeCharsetText(QByteArrayView bytes, int charset);

// The ANSI code page that the default character set stands for (1252 until set); the application
// sets it from the platform or the report's language once at start-up.
void SetDefaultAnsiCodePage(int codePage);
int DefaultAnsiCodePage();

} // namespace kv

namespace kv {

// Decodes like DecodeCharsetText and moves per-byte advances (as records of double-byte code
// pages store them) onto the resulting UTF-16 characters: a character gets the sum of its bytes'
// advances. `perChar` receives one advance per UTF-16 unit.
QString DecodeCharsetTextWithAdvances(QByteArrayView bytes, int charset, const QVector<double>& perByte,
                                      QVector<double>* perChar);

} // namespace kv
