#include "base/stream_text.h"

#include "base/stream_version.h"

namespace kv {

namespace {

// Old encoding: the characters up to a 0 byte.
QByteArray ReadZeroTerminated(TkvStream& s) {
    QByteArray out;
    for (;;) {
        const uint8_t c = s.ReadByte("a string");
        if (c == 0) return out;
        out.append(static_cast<char>(c));
    }
}

} // namespace

QByteArray ReadStreamString(TkvStream& s) {
    if (StreamVersion < 23) return ReadZeroTerminated(s);
    const uint16_t n = s.ReadWord("a string length");
    QByteArray text = s.ReadBytes(n, "a string");
    s.ReadByte("a string end mark");
    return text;
}

void WriteStreamString(TkvStream& s, const QByteArray& text) {
    const qsizetype n = std::min<qsizetype>(text.size(), 0xFFFF);
    s.WriteWord(static_cast<uint16_t>(n));
    s.WriteBuffer(text.constData(), n);
    s.WriteByte(0);
}

void ReadStreamMemo(TkvStream& s, TkvStringList& lines) {
    lines.clear();
    if (StreamVersion < 23) {
        // Every 13 ends a line; the text before the final 0 is a line only when not empty.
        QByteArray line;
        for (;;) {
            const uint8_t c = s.ReadByte("a memo");
            if (c == 0) break;
            if (c == 13) {
                lines.append(line);
                line.clear();
            } else {
                line.append(static_cast<char>(c));
            }
        }
        if (!line.isEmpty()) lines.append(line);
        return;
    }
    const uint16_t count = s.ReadWord("a memo line count");
    if (count == 0) {
        s.ReadByte("a memo end mark");
        return;
    }
    // The separators, not the count, bound the list.
    for (;;) {
        const uint16_t n = s.ReadWord("a memo line length");
        lines.append(s.ReadBytes(n, "a memo line"));
        if (s.ReadByte("a memo line separator") == 0) break;
    }
}

void WriteStreamMemo(TkvStream& s, const TkvStringList& lines) {
    // The reader uses the count only to tell an empty list from a non-empty one, so a non-empty
    // list whose low 16 bits of the count are 0 must not store 0.
    uint16_t count = static_cast<uint16_t>(lines.size() & 0xFFFF);
    if (count == 0 && !lines.isEmpty()) count = 0xFFFF;
    s.WriteWord(count);
    if (lines.isEmpty()) {
        s.WriteByte(0);
        return;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype n = std::min<qsizetype>(line.size(), 0xFFFF);
        s.WriteWord(static_cast<uint16_t>(n));
        s.WriteBuffer(line.constData(), n);
        s.WriteByte(i + 1 < lines.size() ? 13 : 0);
    }
}

QByteArray HexEncode(const QByteArray& text) { return text.toHex().toUpper(); }

QByteArray HexDecode(const QByteArray& hex) {
    auto digit = [](char c) {
        const int u = QChar::toUpper(static_cast<uchar>(c));
        return u > '9' ? u - 55 : u - 48;
    };
    QByteArray out;
    out.reserve(hex.size() / 2);
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2)
        out.append(static_cast<char>((digit(hex[i]) << 4) + digit(hex[i + 1])));
    return out;
}

TkvStringList SplitLines(const QByteArray& text) {
    TkvStringList lines;
    QByteArray line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.append(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line.append(c);
        }
    }
    if (!line.isEmpty()) lines.append(line);
    return lines;
}

QByteArray JoinLines(const TkvStringList& lines) {
    QByteArray out;
    for (const QByteArray& l : lines) {
        out.append(l);
        out.append("\r\n");
    }
    return out;
}

} // namespace kv
