#include "export/rtf_writer.h"

#include "base/codepage.h"
#include "base/text_util.h"
#include "core/views/view.h"
#include "render/painter_canvas.h"

#include <cmath>

namespace kvrtf {

QByteArray Escape(const QString& text, bool lineBreaks) {
    QByteArray out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c == '\r' || c == '\n') {
            if (!lineBreaks) continue;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += "\\line\r\n";
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c < 0x20) {
            continue;
        } else if (c < 0x80) {
            out += char(c);
        } else {
            out += "\\u" + QByteArray::number(int(int16_t(c))) + '?';
        }
    }
    return out;
}

QByteArray EscapeBytes(const QByteArray& bytes, int charset, bool lineBreaks) {
    return Escape(kv::DecodeText(bytes, charset), lineBreaks);
}

QByteArray TableLines(const QByteArray& head, const QList<QByteArray>& entries, const QByteArray& lineEnd) {
    QByteArray out, pending = head;
    for (const QByteArray& e : entries) {
        if (pending.size() + e.size() > 254) {
            out += pending + lineEnd;
            pending.clear();
        }
        pending += e;
    }
    return out + pending + '}';
}

int FontTable::Number(const QByteArray& name) {
    const qsizetype i = names_.indexOf(name);
    if (i >= 0) return int(i);
    names_.append(name);
    symbol_.append(false);
    return int(names_.size() - 1);
}

void FontTable::MarkSymbol(int number) {
    if (number >= 0 && number < symbol_.size()) symbol_[number] = true;
}

QList<QByteArray> FontTable::Entries() const {
    QList<QByteArray> out;
    for (qsizetype i = 0; i < names_.size(); ++i)
        out.append("{\\f" + QByteArray::number(i) + (symbol_[i] ? "\\fcharset2 " : " ") +
                   EscapeBytes(names_[i], kvcs::Default) + ";}");
    return out;
}

int ColorTable::Number(uint32_t rgb) {
    rgb &= 0xFFFFFF;
    const qsizetype i = colors_.indexOf(rgb);
    if (i >= 0) return int(i + 1);
    colors_.append(rgb);
    return int(colors_.size());
}

QList<QByteArray> ColorTable::Entries() const {
    QList<QByteArray> out;
    for (uint32_t c : colors_)
        out.append("\\red" + QByteArray::number(c & 0xFF) + "\\green" + QByteArray::number((c >> 8) & 0xFF) +
                   "\\blue" + QByteArray::number((c >> 16) & 0xFF) + ';');
    return out;
}

QImage DrawViewToImage(TkvView& view) {
    double w = view.Width, h = view.Height;
    if (kv::RoundEven(w) == 0) w = 1;
    if (kv::RoundEven(h) == 0) h = 1;
    const int pw = kv::RoundEven(std::fabs(w)) + 1, ph = kv::RoundEven(std::fabs(h)) + 1;
    if (pw <= 0 || ph <= 0 || pw > kMaxPictureSide || ph > kMaxPictureSide) return {};
    QImage image(pw, ph, QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(Qt::white);
    const int left = view.Left, top = view.Top;
    const double zx = view.ZoomX, zy = view.ZoomY;
    const int ox = view.OriginX, oy = view.OriginY;
    TkvCanvas* keptCanvas = view.Canvas;
    view.Left = view.Top = 0;
    view.ZoomX = view.ZoomY = 1.0;
    view.OriginX = view.OriginY = 0;
    try {
        TkvPainterCanvas canvas(&image, TkvPainterCanvas::Options{96, 96, 0});
        view.Draw(canvas);
    } catch (...) {
        image = QImage(); // a picture that cannot be drawn is left out, not the page
    }
    view.Left = left;
    view.Top = top;
    view.ZoomX = zx;
    view.ZoomY = zy;
    view.OriginX = ox;
    view.OriginY = oy;
    view.Canvas = keptCanvas;
    return image;
}

QByteArray DibBytes(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    QByteArray out;
    out.reserve(40 + qsizetype(stride) * h);
    const auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
    };
    const auto put16 = [&](uint16_t v) {
        out += char(v & 0xFF);
        out += char(v >> 8);
    };
    put32(40);
    put32(uint32_t(w));
    put32(uint32_t(h));
    put16(1);
    put16(24);
    put32(0); // no compression
    put32(uint32_t(stride * h));
    put32(3780); // 96 dpi
    put32(3780);
    put32(0);
    put32(0);
    for (int y = h - 1; y >= 0; --y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            out += char(line[3 * x + 2]); // blue, green, red
            out += char(line[3 * x + 1]);
            out += char(line[3 * x]);
        }
        for (int p = w * 3; p < stride; ++p) out += '\0';
    }
    return out;
}

namespace {

QByteArray Hex16(uint32_t v) {
    return QByteArray::number(v & 0xFF, 16).rightJustified(2, '0') +
           QByteArray::number((v >> 8) & 0xFF, 16).rightJustified(2, '0');
}

QByteArray Hex32(uint32_t v) {
    return Hex16(v & 0xFFFF) + Hex16(v >> 16);
}

} // namespace

QByteArray HexMetafile(const QImage& image, bool lastLineEnd) {
    const QByteArray dib = DibBytes(image);
    const uint32_t fileSize = uint32_t(dib.size() + 14); // as the BMP file it comes from
    const uint32_t v = fileSize / 2 + 7;                   // words of the stretch-DIB record
    const uint32_t w = uint32_t(image.width()), h = uint32_t(image.height());
    QByteArray out;
    out.reserve(dib.size() * 2 + dib.size() / 32 + 256);
    out += "010009000003" + Hex32(v + 36) + "0000" + Hex32(v) + "0000";
    out += "050000000b0200000000" "050000000c02" + Hex16(h) + Hex16(w);
    out += "05000000090200000000" "050000000102ffffff00" "040000000701" "0300";
    out += Hex32(v) + "430f" "2000cc00" "0000" + Hex16(h) + Hex16(w) + "00000000" + Hex16(h) + Hex16(w) +
           "00000000\r\n";
    const QByteArray hex = dib.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        out += hex.mid(i, 128);
        if (i + 128 <= hex.size() || lastLineEnd) out += "\r\n";
    }
    return out.toUpper();
}

} // namespace kvrtf
