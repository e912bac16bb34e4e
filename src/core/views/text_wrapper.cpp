#include "core/views/text_wrapper.h"

#include "base/codepage.h"
#include "core/views/memo_flags.h"
#include "render/canvas.h"

namespace {

bool IsBreakChar(QChar c) {
    return c == u' ' || c == u',' || c == u'-' || c == u'.';
}

bool IsVowel(QChar c) {
    switch (c.unicode()) {
    case 0x0401: // Ё
    case 0x0410: // А
    case 0x0415: // Е
    case 0x0418: // И
    case 0x041E: // О
    case 0x0423: // У
    case 0x042B: // Ы
    case 0x042D: // Э
    case 0x042E: // Ю
    case 0x042F: // Я
        return true;
    default:
        return false;
    }
}

bool IsSign(QChar c) {
    return c.unicode() == 0x042A || c.unicode() == 0x042C;
} // Ъ Ь

} // namespace

TkvTextWrapper::TkvTextWrapper(TkvCanvas& measuring, int charset, int width, bool wordBreak)
    : canvas_(measuring), charset_(charset), width_(width), wordBreak_(wordBreak) {
    hyphenation_ =
        wordBreak && kv::CodecNameForCharset(charset).compare("windows-1251", Qt::CaseInsensitive) == 0;
}

const QString& TkvTextWrapper::DecodeByte(uint8_t byte) {
    auto& slot = byteCache_[byte];
    if (!slot) slot = kv::DecodeText(QByteArray(1, char(byte)), charset_);
    return *slot;
}

TkvTextWrapper::Decoded TkvTextWrapper::Decode(const QByteArray& text) {
    Decoded d;
    d.bytes.reserve(text.size() + 1);
    d.units.reserve(text.size() + 1);
    d.text.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const auto b = uint8_t(text[i]);
        d.bytes.push_back(int(i));
        d.units.push_back(int(d.text.size()));
        auto& lead = leadCache_[b];
        if (!lead) lead = kv::IsLeadByte(charset_, b);
        if (*lead && i + 1 < text.size()) {
            const uint16_t key = uint16_t(b << 8 | uint8_t(text[i + 1]));
            auto it = pairCache_.constFind(key);
            if (it == pairCache_.constEnd())
                it = pairCache_.insert(key, kv::DecodeText(text.mid(i, 2), charset_));
            d.text += it.value();
            i += 2;
        } else {
            d.text += DecodeByte(b);
            ++i;
        }
    }
    d.bytes.push_back(int(text.size()));
    d.units.push_back(int(d.text.size()));
    return d;
}

int TkvTextWrapper::Measure(const Decoded& d, int from, int to) {
    if (to <= from) return 0;
    return canvas_.TextExtent(d.text.mid(d.units[from], d.units[to] - d.units[from])).width();
}

int TkvTextWrapper::TextWidth(const QByteArray& text) {
    const Decoded d = Decode(text);
    return Measure(d, 0, d.Count());
}

int TkvTextWrapper::FitEnd(const Decoded& d, int from) {
    const int n = d.Count();
    // Invariant: [from, lo) fits (lo == from is the empty text), [from, hi) does not.
    int lo = from;
    int hi = -1;
    for (int64_t step = 1;; step *= 2) {
        const int64_t end = from + step;
        if (end >= n) {
            if (Fits(d, from, n)) return n;
            hi = n;
            break;
        }
        if (!Fits(d, from, int(end))) {
            hi = int(end);
            break;
        }
        lo = int(end);
    }
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        if (Fits(d, from, mid))
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

std::vector<int> TkvTextWrapper::Hyphenate(const QString& word) {
    std::vector<int> positions;
    const QString w = word.toUpper();
    const int n = int(w.size());
    if (n < 4) return positions;
    // 1-based as the rules are written: w(i) is w[i - 1].
    auto at = [&w](int i) { return w[i - 1]; };
    for (int i = 2; i <= n - 2; ++i) {
        bool brk;
        if (IsVowel(at(i)) && (IsVowel(at(i + 1)) || IsVowel(at(i + 2))))
            brk = true;
        else if (IsSign(at(i)) && !IsBreakChar(at(i + 2)))
            brk = true;
        else
            brk = !IsVowel(at(i + 1)) && !IsSign(at(i + 1)) && IsVowel(at(i + 2));
        if (brk) positions.push_back(i);
    }
    return positions;
}

void TkvTextWrapper::WrapLine(const QByteArray& line, TkvStringList& out) {
    if (!line.contains('\r') && !line.contains('\n')) {
        WrapPiece(line, out);
        return;
    }
    // A run of CR and LF characters is one paragraph break; breaks at the end add no paragraph.
    qsizetype start = 0, i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        if (line[i] != '\r' && line[i] != '\n') {
            ++i;
            continue;
        }
        WrapPiece(line.mid(start, i - start), out);
        while (i < n && (line[i] == '\r' || line[i] == '\n'))
            ++i;
        start = i;
    }
    if (start < n) WrapPiece(line.mid(start), out);
}

void TkvTextWrapper::WrapPiece(const QByteArray& s, TkvStringList& out) {
    if (s.size() <= 1) {
        out.append(s + kv::ParagraphMark);
        return;
    }
    const Decoded d = Decode(s);
    const int n = d.Count();
    if (Fits(d, 0, n)) {
        out.append(s + kv::ParagraphMark);
        return;
    }
    auto bytesOf = [&](int from, int to) { return s.mid(d.bytes[from], d.bytes[to] - d.bytes[from]); };
    auto isSpace = [&](int i) { return d.bytes[i + 1] - d.bytes[i] == 1 && s[d.bytes[i]] == ' '; };
    auto charAt = [&](int i) { return d.units[i] < d.text.size() ? d.text[d.units[i]] : QChar(); };

    int start = 0; // first character of the line being built
    int brk = 0;   // last space seen in it (or start)
    int a = 0;     // scan position
    int limit = FitEnd(d, start);
    for (;;) {
        // Spaces never break by themselves: they may stick out beyond the width.
        while (a < n) {
            if (isSpace(a))
                brk = a;
            else if (a >= limit)
                break;
            ++a;
        }
        if (a >= n) break;
        // Characters [start, a] do not fit.
        if (hyphenation_) {
            // Only break positions before the overflowing character can fit, and the rules look
            // two letters ahead, so the word is taken no further than that.
            const int wordStart = isSpace(brk) ? brk + 1 : brk;
            int e = a;
            while (e < n && e < a + 2 && !IsBreakChar(charAt(e)))
                ++e;
            const QString word = d.text.mid(d.units[wordStart], d.units[e] - d.units[wordStart]);
            const std::vector<int> positions = Hyphenate(word);
            // The last position whose text plus "-" still fits (widths grow with the position).
            auto fitsWithHyphen = [&](int end) {
                const QString candidate = d.text.mid(d.units[start], d.units[end] - d.units[start]) + u'-';
                return canvas_.TextExtent(candidate).width() <= width_;
            };
            int lo = -1, hi = int(positions.size());
            while (hi - lo > 1) {
                const int mid = lo + (hi - lo) / 2;
                if (fitsWithHyphen(wordStart + positions[mid]))
                    lo = mid;
                else
                    hi = mid;
            }
            const int cut = lo >= 0 ? wordStart + positions[lo] : -1;
            if (cut > start) {
                out.append(bytesOf(start, cut) + '-');
                start = brk = a = cut;
                limit = FitEnd(d, start);
                continue;
            }
        }
        // Without a hyphenation point the line breaks at its last space, else before the character
        // that overflows. A line never comes out empty and no character is dropped: a character
        // wider than the whole width gets a line of its own.
        if (isSpace(brk) && brk > start) {
            out.append(bytesOf(start, brk));
            start = brk + 1;
        } else if (a > start) {
            out.append(bytesOf(start, a));
            start = a;
        } else {
            if (a + 1 >= n) break;
            out.append(bytesOf(a, a + 1));
            start = a = a + 1;
        }
        brk = start;
        limit = FitEnd(d, start);
    }
    out.append(bytesOf(start, n) + kv::ParagraphMark);
}
