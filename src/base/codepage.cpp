#include "base/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <map>
#include <memory>

namespace kv {

namespace {

constexpr const char* kLatin1 = "ISO-8859-1";
constexpr const char* kFallback = "windows-1252";

bool CodecAvailable(const QByteArray& name) {
    return !name.isEmpty() && QStringDecoder(name.constData()).isValid() &&
           QStringEncoder(name.constData()).isValid();
}

QByteArray ReadEnvironmentDefault() {
    const QByteArray env = qgetenv("KV_DEFAULT_CODEPAGE").trimmed();
    return CodecAvailable(env) ? env : QByteArray("windows-1251");
}

QByteArray& EnvironmentDefault() {
    static QByteArray chosen = ReadEnvironmentDefault();
    return chosen;
}

QByteArray& DefaultOverride() {
    static QByteArray name;
    return name;
}

// The code page of a charset before the availability check; the first available name wins.
QByteArray PreferredCodec(int charset) {
    switch (charset) {
    case kvcs::Ansi:
        return "windows-1252";
    case kvcs::Symbol:
        return kLatin1;
    case kvcs::Mac:
        return "macintosh";
    case kvcs::ShiftJis:
        return "Shift_JIS";
    case kvcs::Hangeul:
        return "cp949";
    case kvcs::Gb2312:
        return "GBK";
    case kvcs::ChineseBig5:
        return "Big5";
    case kvcs::Greek:
        return "windows-1253";
    case kvcs::Turkish:
        return "windows-1254";
    case kvcs::Vietnamese:
        return "windows-1258";
    case kvcs::Hebrew:
        return "windows-1255";
    case kvcs::Arabic:
        return "windows-1256";
    case kvcs::Baltic:
        return "windows-1257";
    case kvcs::Russian:
        return "windows-1251";
    case kvcs::Thai:
        return "windows-874";
    case kvcs::EastEurope:
        return "windows-1250";
    case kvcs::Oem:
        return "IBM866";
    default:
        return DefaultCodePage();
    }
}

// Converters are costly to make (ICU), so each code page keeps one per thread.
QStringDecoder& DecoderFor(const QByteArray& name) {
    thread_local std::map<QByteArray, std::unique_ptr<QStringDecoder>> cache;
    auto& d = cache[name];
    if (!d) d = std::make_unique<QStringDecoder>(name.constData());
    d->resetState();
    return *d;
}

QStringEncoder& EncoderFor(const QByteArray& name) {
    thread_local std::map<QByteArray, std::unique_ptr<QStringEncoder>> cache;
    auto& e = cache[name];
    if (!e) e = std::make_unique<QStringEncoder>(name.constData());
    e->resetState();
    return *e;
}

enum class LeadBytes { None, ShiftJis, Wide };

LeadBytes LeadBytesOf(const QByteArray& codec) {
    const QByteArray c = codec.toLower();
    if (c == "shift_jis" || c == "windows-31j" || c == "cp932") return LeadBytes::ShiftJis;
    if (c == "gbk" || c == "cp936" || c == "windows-936" || c == "gb2312" || c == "cp949" ||
        c == "windows-949" || c == "euc-kr" || c == "big5" || c == "cp950" || c == "windows-950")
        return LeadBytes::Wide;
    return LeadBytes::None;
}

} // namespace

QByteArray DefaultCodePage() {
    const QByteArray& o = DefaultOverride();
    return o.isEmpty() ? EnvironmentDefault() : o;
}

bool SetDefaultCodePage(const QByteArray& name) {
    if (name.isEmpty()) {
        DefaultOverride().clear();
        EnvironmentDefault() = ReadEnvironmentDefault();
        return true;
    }
    if (!CodecAvailable(name)) return false;
    DefaultOverride() = name;
    return true;
}

QByteArray CodecNameForCharset(int charset) {
    const QByteArray preferred = PreferredCodec(charset);
    if (preferred == kLatin1) return preferred;
    // Availability is checked once per name: it does not change while the program runs.
    thread_local std::map<QByteArray, bool> available;
    auto it = available.find(preferred);
    if (it == available.end()) it = available.emplace(preferred, CodecAvailable(preferred)).first;
    return it->second ? preferred : QByteArray(kFallback);
}

QString DecodeText(const QByteArray& bytes, int charset) {
    if (bytes.isEmpty()) return {};
    const QByteArray codec = CodecNameForCharset(charset);
    if (codec == kLatin1) return QString::fromLatin1(bytes);
    QStringDecoder& d = DecoderFor(codec);
    if (!d.isValid()) return QString::fromLatin1(bytes);
    return d.decode(bytes);
}

QByteArray EncodeText(const QString& text, int charset) {
    if (text.isEmpty()) return {};
    const QByteArray codec = CodecNameForCharset(charset);
    if (codec == kLatin1) return text.toLatin1();
    QStringEncoder& e = EncoderFor(codec);
    QStringDecoder& d = DecoderFor(codec);
    if (!e.isValid() || !d.isValid()) return text.toLatin1();
    // Qt's error flag of a converter does not clear with resetState, so whether the code page holds
    // every character is told by decoding the result again.
    QByteArray out = e.encode(text);
    if (QString(d.decode(out)) == text) return out;
    // Slow path: character by character, so that only the characters the code page lacks turn into
    // "?" (the converter's own substitute would be a control character).
    out.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView piece = QStringView(text).mid(i, n);
        e.resetState();
        const QByteArray bytes = e.encode(piece);
        d.resetState();
        out += QString(d.decode(bytes)) == piece ? bytes : QByteArray("?");
        i += n;
    }
    return out;
}

bool IsLeadByte(int charset, uint8_t byte) {
    switch (LeadBytesOf(CodecNameForCharset(charset))) {
    case LeadBytes::ShiftJis:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case LeadBytes::Wide:
        return byte >= 0x81 && byte <= 0xFE;
    case LeadBytes::None:
        return false;
    }
    return false;
}

} // namespace kv
