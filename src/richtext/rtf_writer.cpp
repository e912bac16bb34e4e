#include "richtext/rtf_writer.h"

#include "richtext/rich_formats.h"
#include "richtext/rtf_reader.h"

#include "base/codepage.h"
#include "render/colors.h"

#include <QBuffer>
#include <QImage>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <cmath>

namespace kvrtf {

namespace {

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : doc_(doc) {}
    QByteArray Run();

private:
    void CollectTables(const QTextFrame* frame);
    void CollectBlock(const QTextBlock& block);
    int FontIndex(const QTextCharFormat& f);
    int ColorIndex(const QColor& c);
    void WriteFrame(const QTextFrame* frame);
    void WriteTable(const QTextTable* table);
    void WriteBlock(const QTextBlock& block, bool inTable, bool last);
    void WriteParagraphFormat(const QTextBlockFormat& f, bool inTable);
    void WriteCharFormat(const QTextCharFormat& f);
    void WriteText(const QString& text, int charset);
    void WritePicture(const QTextImageFormat& f);

    const QTextDocument& doc_;
    QList<QPair<QString, int>> fonts_;
    QList<QColor> colors_;
    QByteArray out_;
};

int Writer::FontIndex(const QTextCharFormat& f) {
    const QStringList families = f.fontFamilies().toStringList();
    const QString name = families.isEmpty() ? doc_.defaultFont().family() : families.first();
    const int charset = f.hasProperty(kvrich::CharsetProperty) ? f.intProperty(kvrich::CharsetProperty)
                                                               : kvcs::Default;
    const QPair<QString, int> key(name, charset);
    qsizetype i = fonts_.indexOf(key);
    if (i < 0) {
        fonts_.append(key);
        i = fonts_.size() - 1;
    }
    return int(i);
}

int Writer::ColorIndex(const QColor& c) {
    const QColor rgb = c.toRgb();
    qsizetype i = colors_.indexOf(rgb);
    if (i < 0) {
        colors_.append(rgb);
        i = colors_.size() - 1;
    }
    return int(i) + 1; // entry 0 is the automatic colour
}

void Writer::CollectBlock(const QTextBlock& block) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        FontIndex(f);
        if (f.foreground().style() != Qt::NoBrush) ColorIndex(f.foreground().color());
        if (f.background().style() != Qt::NoBrush) ColorIndex(f.background().color());
    }
    FontIndex(block.charFormat());
}

void Writer::CollectTables(const QTextFrame* frame) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (it.currentFrame())
            CollectTables(it.currentFrame());
        else
            CollectBlock(it.currentBlock());
    }
}

QByteArray Writer::Run() {
    CollectTables(doc_.rootFrame());
    QByteArray body;
    std::swap(out_, body);
    WriteFrame(doc_.rootFrame());
    std::swap(out_, body);

    // The code page number: the digits that end its name ("windows-1251", "IBM866").
    const QByteArray codePage = kv::DefaultCodePage();
    qsizetype digits = codePage.size();
    while (digits > 0 && codePage[digits - 1] >= '0' && codePage[digits - 1] <= '9')
        --digits;
    out_ += "{\\rtf1\\ansi\\ansicpg" + (digits < codePage.size() ? codePage.mid(digits) : QByteArray("1252")) +
            "\\deff0\\uc1{\\fonttbl";
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        out_ += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + QByteArray::number(fonts_[i].second) + ' ';
        WriteText(fonts_[i].first, fonts_[i].second);
        out_ += ";}";
    }
    out_ += "}\r\n{\\colortbl ;";
    for (const QColor& c : colors_)
        out_ += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue" +
                QByteArray::number(c.blue()) + ';';
    out_ += "}\r\n\\viewkind4";
    out_ += body;
    out_ += "}\r\n";
    return out_;
}

void Writer::WriteFrame(const QTextFrame* frame) {
    QList<QTextBlock> blocks;
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame()))
            WriteTable(table);
        else if (!it.currentFrame()) {
            const QTextBlock b = it.currentBlock();
            auto next = it;
            ++next;
            WriteBlock(b, false, next.atEnd());
        }
    }
}

void Writer::WriteTable(const QTextTable* table) {
    const QTextTableFormat tf = table->format();
    const bool borders = tf.property(kvrich::TableBordersProperty).toBool();
    const QList<QTextLength> widths = tf.columnWidthConstraints();
    for (int r = 0; r < table->rows(); ++r) {
        out_ += "\r\n\\trowd\\trgaph60";
        int x = 0;
        for (int c = 0; c < table->columns(); ++c) {
            const double w = c < widths.size() && widths[c].type() == QTextLength::FixedLength
                                 ? widths[c].rawValue() * kvrich::kScaled
                                 : 1440.0;
            x += int(std::lround(w));
            if (borders)
                out_ += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr"
                        "\\brdrs\\brdrw10";
            out_ += "\\cellx" + QByteArray::number(x);
        }
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            QTextBlock b = cell.firstCursorPosition().block();
            const int end = cell.lastPosition();
            bool first = true;
            while (b.isValid() && b.position() <= end) {
                if (!first) out_ += "\\par";
                WriteBlock(b, true, true);
                first = false;
                b = b.next();
            }
            out_ += "\\cell";
        }
        out_ += "\\row";
    }
    out_ += "\r\n\\pard";
}

void Writer::WriteParagraphFormat(const QTextBlockFormat& f, bool inTable) {
    out_ += "\r\n\\pard";
    if (inTable) out_ += "\\intbl";
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter) out_ += "\\qc";
    else if (a & Qt::AlignRight) out_ += "\\qr";
    else if (a & Qt::AlignJustify) out_ += "\\qj";
    auto num = [&](const char* word, double v) {
        const long n = std::lround(v);
        if (n != 0) out_ += QByteArray(word) + QByteArray::number(qlonglong(n));
    };
    const double left = f.leftMargin() + f.indent() * 720;
    num("\\li", left);
    num("\\ri", f.rightMargin());
    num("\\fi", f.textIndent());
    num("\\sb", f.topMargin() * kvrich::kScaled);
    num("\\sa", f.bottomMargin() * kvrich::kScaled);
    switch (f.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (f.lineHeight() != 100) num("\\sl", f.lineHeight() * 240 / 100), out_ += "\\slmult1";
        break;
    case QTextBlockFormat::FixedHeight:
        num("\\sl-", f.lineHeight() * kvrich::kScaled);
        out_ += "\\slmult0";
        break;
    case QTextBlockFormat::MinimumHeight:
        num("\\sl", f.lineHeight() * kvrich::kScaled);
        out_ += "\\slmult0";
        break;
    default:
        break;
    }
    for (const QTextOption::Tab& t : f.tabPositions()) {
        if (t.position <= 0) continue;
        if (t.type == QTextOption::RightTab) out_ += "\\tqr";
        if (t.type == QTextOption::CenterTab) out_ += "\\tqc";
        num("\\tx", t.position * kvrich::kScaled + left + f.textIndent());
    }
    out_ += ' ';
}

void Writer::WriteCharFormat(const QTextCharFormat& f) {
    out_ += "\\plain\\f" + QByteArray::number(FontIndex(f));
    const double pt = f.fontPointSize() > 0 ? f.fontPointSize() : doc_.defaultFont().pointSizeF();
    out_ += "\\fs" + QByteArray::number(qlonglong(std::lround(pt * 2)));
    if (f.fontWeight() >= QFont::DemiBold) out_ += "\\b";
    if (f.fontItalic()) out_ += "\\i";
    if (f.fontUnderline()) out_ += "\\ul";
    if (f.fontStrikeOut()) out_ += "\\strike";
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) out_ += "\\super";
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) out_ += "\\sub";
    if (f.foreground().style() != Qt::NoBrush) out_ += "\\cf" + QByteArray::number(ColorIndex(f.foreground().color()));
    if (f.background().style() != Qt::NoBrush)
        out_ += "\\highlight" + QByteArray::number(ColorIndex(f.background().color()));
    out_ += ' ';
}

void Writer::WriteText(const QString& text, int charset) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out_ += '\\';
            out_ += char(u);
        } else if (u == '\t') {
            out_ += "\\tab ";
        } else if (u == QChar::LineSeparator || u == '\n') {
            out_ += "\\line ";
        } else if (u == 0xA0) {
            out_ += "\\~";
        } else if (u >= 0x20 && u < 0x80) {
            out_ += char(u);
        } else if (u < 0x20 || u == QChar::ObjectReplacementCharacter || (u >= 0xFDD0 && u <= 0xFDEF)) {
            continue;
        } else {
            // \uN and the code page's byte for readers that skip it.
            const QByteArray local = kv::EncodeText(QString(ch), charset);
            out_ += "\\u" + QByteArray::number(int(int16_t(u)));
            if (local.size() == 1 && local != "?")
                out_ += "\\'" + local.toHex();
            else
                out_ += '?';
        }
    }
}

void Writer::WritePicture(const QTextImageFormat& f) {
    const QUrl url(f.name());
    QByteArray data = doc_.resource(QTextDocument::UserResource, PictureBytesUrl(url)).toByteArray();
    QByteArray kind;
    if (!data.isEmpty() && url.scheme() == QLatin1String(kPictureScheme))
        kind = url.path().section('/', 0, 0).toLatin1();
    static const QList<QByteArray> known = {"png", "jpeg", "dib", "wmf", "emf"};
    if (!known.contains(kind)) {
        const QVariant v = doc_.resource(QTextDocument::ImageResource, url);
        const QImage image = v.value<QImage>();
        if (image.isNull()) return;
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = "png";
    }
    out_ += "{\\pict";
    if (kind == "png") out_ += "\\pngblip";
    else if (kind == "jpeg") out_ += "\\jpegblip";
    else if (kind == "dib") out_ += "\\dibitmap0";
    else if (kind == "wmf") out_ += "\\wmetafile8";
    else out_ += "\\emfblip";
    const long w = std::lround(f.width() * kvrich::kScaled), h = std::lround(f.height() * kvrich::kScaled);
    // \picw/\pich: metafiles in hundredths of a millimetre, bitmaps in pixels.
    const bool meta = kind == "wmf" || kind == "emf";
    out_ += "\\picw" + QByteArray::number(qlonglong(meta ? w * 2540 / 1440 : w / 15)) + "\\pich" +
            QByteArray::number(qlonglong(meta ? h * 2540 / 1440 : h / 15));
    out_ += "\\picwgoal" + QByteArray::number(qlonglong(w)) + "\\pichgoal" + QByteArray::number(qlonglong(h));
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        out_ += "\r\n";
        out_ += hex.mid(i, 128);
    }
    out_ += "}";
}

void Writer::WriteBlock(const QTextBlock& block, bool inTable, bool last) {
    WriteParagraphFormat(block.blockFormat(), inTable);
    if (block.textList()) out_ += "{\\pntext\\bullet\\tab}";
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QTextCharFormat f = frag.charFormat();
        if (f.isImageFormat()) {
            for (qsizetype k = 0; k < frag.length(); ++k)
                WritePicture(f.toImageFormat());
            continue;
        }
        out_ += '{';
        WriteCharFormat(f);
        WriteText(frag.text(), f.hasProperty(kvrich::CharsetProperty) ? f.intProperty(kvrich::CharsetProperty)
                                                                     : kvcs::Default);
        out_ += '}';
    }
    if (!inTable && !last) out_ += "\\par";
}

} // namespace

QByteArray WriteRtf(const QTextDocument& document) {
    return Writer(document).Run();
}

} // namespace kvrtf
