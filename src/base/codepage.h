#pragma once
// Stored texts are single-byte (or, for the East Asian character sets, double-byte) code page
// bytes; the font's character set says which code page. These routines decode them where text is
// shown, drawn, measured or exported, and encode edited text back.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace kvcs {
constexpr int Ansi = 0;
constexpr int Default = 1; // the default ANSI code page of the system
constexpr int Symbol = 2;
constexpr int Mac = 77;
constexpr int ShiftJis = 128;
constexpr int Hangeul = 129;
constexpr int Gb2312 = 134;
constexpr int ChineseBig5 = 136;
constexpr int Greek = 161;
constexpr int Turkish = 162;
constexpr int Vietnamese = 163;
constexpr int Hebrew = 177;
constexpr int Arabic = 178;
constexpr int Baltic = 186;
constexpr int Russian = 204;
constexpr int Thai = 222;
constexpr int EastEurope = 238;
constexpr int Oem = 255;
} // namespace kvcs

namespace kv {

// The codec that decodes texts of a font character set. Character sets without a code page of
// their own use the default ANSI code page, like charset 1; a code page this Qt cannot convert
// falls back to windows-1252. The symbol charset passes bytes through as Latin-1 ("ISO-8859-1").
QByteArray CodecNameForCharset(int charset);

QString DecodeText(const QByteArray& bytes, int charset);
// Characters the code page cannot hold become "?", as the platform's own conversion does.
QByteArray EncodeText(const QString& text, int charset);

// Whether the byte starts a two-byte character in the character set's code page (false for every
// single-byte code page). Text wrapping must not split such a pair.
bool IsLeadByte(int charset, uint8_t byte);

// The default ANSI code page: windows-1251 unless the environment variable KV_DEFAULT_CODEPAGE
// (read on first use) names another one that this Qt can convert. SetDefaultCodePage refuses (false)
// a code page this Qt cannot convert; an empty name goes back to the environment's choice, reading
// the variable again.
QByteArray DefaultCodePage();
bool SetDefaultCodePage(const QByteArray& name);

} // namespace kv
