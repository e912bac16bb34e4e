#include "export/text_export.h"

#include "base/codepage.h"
#include "base/text_util.h"
#include "core/locale.h"
#include "core/views/memo_view.h"
#include "export/export_registry.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

bool IsDirection(uint8_t c) {
    switch (c) {
    case 3: case 5: case 6: case 7: case 9: case 10: case 11: case 12: case 13: case 14: case 15:
        return true;
    default:
        return false;
    }
}

// The DOS code page that goes with an ANSI code page (same language).
QByteArray OemCodePageFor(const QByteArray& ansi) {
    static const std::pair<const char*, const char*> table[] = {
        {"windows-1250", "IBM852"}, {"windows-1251", "IBM866"}, {"windows-1252", "IBM850"},
        {"windows-1253", "IBM737"}, {"windows-1254", "IBM857"}, {"windows-1255", "IBM862"},
        {"windows-1256", "IBM864"}, {"windows-1257", "IBM775"},
    };
    for (const auto& [a, o] : table)
        if (ansi.compare(a, Qt::CaseInsensitive) == 0) return o;
    return "IBM437";
}

// Byte for byte: each ANSI character to the DOS code page's byte, "?" when it has none.
std::array<char, 256> OemTable() {
    std::array<char, 256> t{};
    const QByteArray ansi = kv::DefaultCodePage();
    QStringDecoder decode(ansi.constData());
    QStringEncoder encode(OemCodePageFor(ansi).constData());
    for (int b = 0; b < 256; ++b) {
        t[size_t(b)] = char(b);
        if (b < 128 || !decode.isValid() || !encode.isValid()) continue;
        const QString ch = decode(QByteArray(1, char(b)));
        const QByteArray out = encode(ch);
        t[size_t(b)] = out.size() == 1 && ch.size() == 1 && ch != QChar::ReplacementCharacter ? out[0] : '?';
    }
    return t;
}

} // namespace

TkvTextExport::TkvTextExport() {
    kv::RegisterExportFilter(this, kv::LoadLibraryText(55212) + " (*.txt)", "*.txt");
}

char TkvTextExport::FrameChar(uint8_t code, bool pseudographic) {
    if (!IsDirection(code)) return char(code);
    if (pseudographic) {
        switch (code) {
        case 5: return char(179);
        case 10: return char(196);
        case 6: return char(218);
        case 12: return char(191);
        case 3: return char(192);
        case 9: return char(217);
        case 11: return char(193);
        case 7: return char(195);
        case 14: return char(194);
        case 13: return char(180);
        default: return char(197);
        }
    }
    if (code == 5) return '|';
    if (code == 10) return '-';
    return '+';
}

void TkvTextExport::BeginPage() {
    ClearLines();
    Lines.resize(kInitialLines);
}

int TkvTextExport::LineOf(int y) const {
    const double step = 14.0 / (ScaleY > 0 ? ScaleY : 1.0);
    const double line = std::nearbyint(double(y) / step);
    if (!std::isfinite(line) || line < 0 || line >= kMaxLines) return -1;
    return int(line);
}

TkvTextRec TkvTextExport::MakeRecord(const TkvRect& drawRect, int x, const QByteArray& text, uint16_t frameSides,
                                     TkvView& view) {
    TkvTextRec rec;
    rec.X = x;
    rec.Text = text;
    if (auto* memo = dynamic_cast<TkvMemoView*>(&view)) {
        rec.FontName = memo->Font.Name.left(32);
        rec.FontSize = memo->Font.Size;
        rec.FontStyle = memo->Font.Style;
        rec.FontColor = memo->Font.Color;
        rec.FontCharset = memo->Font.Charset;
        rec.Alignment = memo->Alignment;
        if (rec.Alignment == 1) rec.X = drawRect.Right;
    }
    rec.DrawRect = drawRect;
    rec.FrameTyp = frameSides;
    rec.FillColor = view.FillColor;
    return rec;
}

void TkvTextExport::ExportTextLine(const TkvRect& drawRect, int x, int y, const QByteArray& text,
                                   uint16_t frameSides, TkvView& view) {
    const int line = LineOf(y);
    if (line < 0) return;
    PlaceText(line, MakeRecord(drawRect, x, text, frameSides, view));
}

void TkvTextExport::PlaceText(int line, TkvTextRec rec) {
    if (line < 0 || line >= kMaxLines) return;
    if (size_t(line) >= Lines.size()) Lines.resize(size_t(line) + 1);
    auto& chain = Lines[size_t(line)];
    const auto at = std::find_if(chain.begin(), chain.end(), [&](const TkvTextRec& r) { return r.X >= rec.X; });
    chain.insert(at, std::move(rec));
}

int TkvTextExport::LastUsedLine() const {
    for (size_t i = Lines.size(); i-- > 0;)
        if (!Lines[i].empty()) return int(i);
    return -1;
}

void TkvTextExport::PutPiece(int row, int p, int n, char piece) {
    if (row < 0 || size_t(row) >= OutputRows.size() || n <= 0) return;
    // Positions count from 1; those left of the row or beyond the widest row are not drawn.
    const int first = std::max(p, 1);
    const int last = std::min(p + n - 1, kMaxColumns);
    if (first > last) return;
    QByteArray& r = OutputRows[size_t(row)];
    if (r.size() < last) r.append(QByteArray(last - r.size(), ' '));
    for (int q = first; q <= last; ++q) {
        const uint8_t c = uint8_t(r[q - 1]);
        r[q - 1] = IsDirection(c) ? char(c | uint8_t(piece)) : piece;
    }
}

void TkvTextExport::DrawFrame(const TkvTextRec& rec, int& row) {
    const double k = 6.5 / (ScaleX > 0 ? ScaleX : 1.0);
    const int c1 = std::clamp(kv::RoundEven(rec.DrawRect.Left / k), -kMaxColumns, kMaxColumns);
    const int w = std::clamp(kv::RoundEven(rec.DrawRect.Right / k), -kMaxColumns, kMaxColumns) - c1 + 1;
    const int f = rec.FrameTyp;
    const auto count = [&] { return int(OutputRows.size()); };
    const auto horizontal = [&](int on, char left, char right) {
        int p = c1, n = w;
        if (f & 4) {
            PutPiece(on, p, 1, left);
            --n;
            ++p;
        }
        if (f & 1) {
            PutPiece(on, p + n - 1, 1, right);
            --n;
        }
        PutPiece(on, p, n, kvframe::Horizontal);
    };
    if (f & 8) {
        if (OutputRows.empty()) {
            OutputRows.emplace_back();
            row = 1;
        } else {
            const QByteArray& above = OutputRows[size_t(row - 1)];
            if (std::any_of(above.begin(), above.end(),
                            [](char c) { return c != ' ' && !IsDirection(uint8_t(c)); })) {
                OutputRows.emplace_back();
                row = count();
            }
        }
        horizontal(row - 1, kvframe::TopLeft, kvframe::TopRight);
    }
    if (f & 2) {
        if (count() == row) OutputRows.resize(OutputRows.size() + 2);
        else if (count() == row + 1) OutputRows.emplace_back();
        horizontal(row + 1, kvframe::BottomLeft, kvframe::BottomRight);
    }
    if (f & (4 | 1)) {
        if (row >= count()) {
            OutputRows.emplace_back();
            row = count() - 1;
        }
        if (f & 4) PutPiece(row, c1, 1, kvframe::Vertical);
        if (f & 1) PutPiece(row, c1 + w - 1, 1, kvframe::Vertical);
    }
}

void TkvTextExport::EndPage() {
    OutputRows.clear();
    const double k = 6.5 / (ScaleX > 0 ? ScaleX : 1.0);
    const int last = LastUsedLine();
    for (int line = 0; line <= last; ++line) {
        QByteArray s;
        int row = int(OutputRows.size());
        bool empty = true;
        int end = 0;
        for (const TkvTextRec& rec : Lines[size_t(line)]) {
            empty = false;
            const int len = int(std::min<qsizetype>(rec.Text.size(), kMaxColumns));
            int c = std::clamp(kv::RoundEven(rec.X / k), -kMaxColumns, kMaxColumns);
            if (rec.Alignment == 1) c -= len;
            const int pad = std::min(c - end, kMaxColumns - int(s.size()));
            if (pad > 0) s.append(QByteArray(pad, ' '));
            s.append(rec.Text.left(len));
            if (ExportFrames && rec.FrameTyp != 0) DrawFrame(rec, row);
            end = c + len;
        }
        if (KillEmptyLines && empty) continue;
        if (row == int(OutputRows.size())) {
            OutputRows.push_back(s);
        } else {
            QByteArray& r = OutputRows[size_t(row)];
            if (r.size() < s.size()) r.append(QByteArray(s.size() - r.size(), ' '));
            for (qsizetype i = 0; i < s.size(); ++i)
                if (r[i] == ' ') r[i] = s[i];
        }
    }
    if (PageBreaks) OutputRows.push_back(QByteArray(1, '\x0c'));

    std::array<char, 256> oem{};
    if (ConvertToOEM) oem = OemTable();
    QByteArray out;
    for (const QByteArray& r : OutputRows) {
        QByteArray row = r;
        if (ConvertToOEM)
            for (char& c : row) c = oem[uint8_t(c)];
        if (row != "\x0c")
            for (char& c : row) c = FrameChar(uint8_t(c), UsePseudographic);
        out += row;
        out += "\r\n";
    }
    Write(out);
}
