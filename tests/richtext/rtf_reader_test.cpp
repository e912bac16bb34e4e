#include "graphics/graphic_samples.h"
#include "richtext/rich_formats.h"
#include "richtext/rich_text.h"
#include "richtext/rtf_reader.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

QString Plain(const QByteArray& rtf) {
    TkvRichText text;
    text.LoadRtf(rtf);
    return text.PlainText();
}

QTextCharFormat FormatAt(TkvRichText& text, int position) {
    QTextCursor c(&text.Document());
    c.setPosition(position + 1);
    return c.charFormat();
}

struct TextCase {
    const char* name;
    QByteArray rtf;
    QString expected;
};

TEST(RtfReader, TextOfTheDocument) {
    const TextCase cases[] = {
        {"font charset picks the code page",
         R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset204 Arial;}}\f0 \'cf\'f0\'e8\'e2\'e5\'f2})",
         QStringLiteral("Привет")},
        {"ansicpg for fonts without a charset", R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0 Arial;}}\f0 \'e4\'e0})",
         QStringLiteral("да")},
        {"windows-1252 font", R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fcharset238 Arial;}}\f0 \'b9})",
         QStringLiteral("ą")},
        {"unicode with one fallback", R"({\rtf1\uc1 \u1055?\u1088?x})", QStringLiteral("Прx")},
        {"unicode with two fallbacks", R"({\rtf1\uc2 \u1055\'3f\'3fy})", QStringLiteral("Пy")},
        {"negative unicode", R"({\rtf1 \u-4064?})", QString(QChar(0xF020))},
        {"unknown starred destination", R"({\rtf1 {\*\unknowndest secret {nested}}shown})", QStringLiteral("shown")},
        {"skipped destinations", R"({\rtf1 {\info{\title T}}{\stylesheet{\s0 Normal;}}body})",
         QStringLiteral("body")},
        {"field result shown, instruction not",
         R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}} end})", QStringLiteral("link end")},
        {"line, par, tab", R"({\rtf1 a\line b\par c\tab d\par})", QStringLiteral("a\nb\nc\td")},
        {"named characters", R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})",
         QStringLiteral("—–•‘’“”")},
        {"escapes", R"({\rtf1 \\ \{ \} a\~b})", QStringLiteral("\\ { } a b")},
        {"hidden text", R"({\rtf1 a{\v hidden}b})", QStringLiteral("ab")},
        {"binary data skipped", QByteArray("{\\rtf1 a\\bin3 \x01}\x7f" "b}"), QStringLiteral("ab")},
        {"cut short", R"({\rtf1 {\b bold)", QStringLiteral("bold")},
        {"group depth beyond the cap", "{\\rtf1 a" + QByteArray(5000, '{') + "lost" + QByteArray(5000, '}') + "b}",
         QStringLiteral("ab")},
        {"bullet text of list items",
         R"({\rtf1{\fonttbl{\f1\fcharset2 Symbol;}}{\pntext\f1\'b7\tab}{\*\pn\pnlvlblt}\fi-360\li360 item\par})",
         QStringLiteral("·\titem")},
        {"not RTF at all", "plain \xcf\xf0", QStringLiteral("plain Пр")},
        {"empty", "", QString()},
        {"empty group", "{\\rtf1}", QString()},
        {"text after the document", "{\\rtf1 in}out", QStringLiteral("in")},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Plain(c.rtf), c.expected) << c.name;
}

TEST(RtfReader, CharacterAndParagraphFormatting) {
    TkvRichText text;
    text.LoadRtf(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset204 Times New Roman;}})"
                 R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
                 R"(\pard\qc\li720\ri360\fi-360\sb120\sa240\sl-300\slmult0 \f1\fs28\b\i\ul\strike\cf1\highlight2 A)"
                 R"(\plain\f0 B\par\pard\qr C\par\pard\qj D})");
    ASSERT_EQ(text.PlainText(), QStringLiteral("AB\nC\nD"));
    const QTextCharFormat a = FormatAt(text, 0);
    EXPECT_EQ(a.fontFamilies().toStringList().value(0), QStringLiteral("Times New Roman"));
    EXPECT_EQ(a.fontPointSize(), 14);
    EXPECT_EQ(a.fontWeight(), QFont::Bold);
    EXPECT_TRUE(a.fontItalic());
    EXPECT_TRUE(a.fontUnderline());
    EXPECT_TRUE(a.fontStrikeOut());
    EXPECT_EQ(a.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(a.background().color(), QColor(0, 0, 255));
    EXPECT_EQ(a.intProperty(kvrich::CharsetProperty), 204);
    const QTextCharFormat b = FormatAt(text, 1);
    EXPECT_EQ(b.fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    EXPECT_EQ(b.fontPointSize(), 12);
    EXPECT_FALSE(b.fontItalic());
    EXPECT_EQ(b.foreground().style(), Qt::NoBrush);

    const QTextBlockFormat p = text.Document().begin().blockFormat();
    EXPECT_TRUE(p.alignment() & Qt::AlignHCenter);
    EXPECT_EQ(p.leftMargin(), 720);
    EXPECT_EQ(p.rightMargin(), 360);
    EXPECT_EQ(p.textIndent(), -360);
    EXPECT_EQ(p.topMargin() * kvrich::kScaled, 120);
    EXPECT_EQ(p.bottomMargin() * kvrich::kScaled, 240);
    EXPECT_EQ(p.lineHeightType(), int(QTextBlockFormat::FixedHeight));
    EXPECT_EQ(p.lineHeight() * kvrich::kScaled, 300);
    EXPECT_TRUE(text.Document().begin().next().blockFormat().alignment() & Qt::AlignRight);
    EXPECT_TRUE(text.Document().lastBlock().blockFormat().alignment() & Qt::AlignJustify);
}

TEST(RtfReader, TablesKeepRowsAndCells) {
    TkvRichText text;
    text.LoadRtf(R"({\rtf1 before\par)"
                 R"(\trowd\clbrdrt\brdrs\cellx1440\cellx4320 \pard\intbl A1\cell B1\cell\row)"
                 R"(\trowd\cellx1440\cellx4320 \pard\intbl A2\cell B2\par more\cell\row)"
                 R"(\pard after})");
    EXPECT_EQ(text.PlainText(), QStringLiteral("before\nA1\tB1\nA2\tB2 more\nafter"));
    QTextTable* table = nullptr;
    for (auto it = text.Document().rootFrame()->begin(); !it.atEnd(); ++it)
        if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) table = t;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_TRUE(table->format().property(kvrich::TableBordersProperty).toBool());
    const auto widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_EQ(widths[0].rawValue() * kvrich::kScaled, 1440);
    EXPECT_EQ(widths[1].rawValue() * kvrich::kScaled, 2880);
}

TEST(RtfReader, TableSizesAreCapped) {
    QByteArray rtf = "{\\rtf1 \\trowd";
    for (int i = 1; i <= 500; ++i)
        rtf += "\\cellx" + QByteArray::number(i * 100);
    rtf += "\\pard\\intbl ";
    for (int i = 0; i < 500; ++i)
        rtf += "c\\cell ";
    rtf += "\\row}";
    kvrtf::Limits limits;
    QTextDocument doc;
    kvrtf::ReadRtf(rtf, doc, limits);
    QTextTable* table = nullptr;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it)
        if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) table = t;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columns(), limits.maxTableColumns);
}

QByteArray PngBytes(QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    image.save(&b, "PNG");
    return bytes;
}

QTextImageFormat FirstImage(const QTextDocument& doc) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) return it.fragment().charFormat().toImageFormat();
    return QTextImageFormat();
}

TEST(RtfReader, PicturesKeepTheirBytesAndSize) {
    const QByteArray png = PngBytes(QSize(40, 20), Qt::red);
    const QByteArray wmf = kvtest::WmfBuilder().Rec(0x020C, {100, 200}).Rec(0x041B, {100, 200, 0, 0}).Finish(0);
    struct Case {
        const char* name;
        QByteArray rtf;
        QString kind;
        double width, height;
        QByteArray bytes;
    } cases[] = {
        {"png with goal size", "{\\rtf1 {\\pict\\pngblip\\picwgoal1500\\pichgoal600 " + png.toHex() + "}}",
         "png", 1500, 600, png},
        {"png natural size", "{\\rtf1 {\\*\\shppict{\\pict\\pngblip " + png.toHex() + "}}{\\nonshppict{\\pict\\wmetafile8 00}}}",
         "png", 600, 300, png},
        {"png scaled", "{\\rtf1 {\\pict\\pngblip\\picscalex50\\picscaley200 " + png.toHex() + "}}", "png", 300,
         600, png},
        {"wmf in hundredths of mm", "{\\rtf1 {\\pict\\wmetafile8\\picw2540\\pich1270 " + wmf.toHex() + "}}",
         "wmf", 1440, 720, wmf},
        {"binary picture data", "{\\rtf1 {\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}}",
         "png", 600, 300, png},
    };
    for (const Case& c : cases) {
        TkvRichText text;
        text.LoadRtf(c.rtf);
        const QTextImageFormat f = FirstImage(text.Document());
        ASSERT_FALSE(f.name().isEmpty()) << c.name;
        EXPECT_EQ(QUrl(f.name()).path().section('/', 0, 0), c.kind) << c.name;
        EXPECT_EQ(f.width() * kvrich::kScaled, c.width) << c.name;
        EXPECT_EQ(f.height() * kvrich::kScaled, c.height) << c.name;
        EXPECT_EQ(text.Document().resource(QTextDocument::UserResource, kvrtf::PictureBytesUrl(QUrl(f.name()))).toByteArray(),
                  c.bytes)
            << c.name;
        // What drawing and the editor show: an image of its own, not the stored bytes.
        EXPECT_FALSE(text.Document().resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>().isNull())
            << c.name;
        EXPECT_EQ(text.Length(), 1) << c.name;
    }
}

TEST(RtfReader, BadPicturesAreDropped) {
    const QByteArray png = PngBytes(QSize(4, 4), Qt::blue);
    const QByteArray cases[] = {
        "{\\rtf1 a{\\pict\\pngblip 0011223344}b}",              // not a PNG
        "{\\rtf1 a{\\pict\\wmetafile8 0100090000}b}",           // truncated metafile
        "{\\rtf1 a{\\pict\\macpict " + png.toHex() + "}b}",      // a kind we do not draw
    };
    for (const QByteArray& rtf : cases) {
        TkvRichText text;
        text.LoadRtf(rtf);
        EXPECT_TRUE(FirstImage(text.Document()).name().isEmpty()) << rtf.left(40).constData();
        EXPECT_TRUE(text.PlainText().startsWith(QLatin1Char('a'))) << rtf.left(40).constData();
    }
}

// Damaged copies of a document with every feature: each loads without crashing, within time.
TEST(RtfReader, TruncationAndByteFlipSweep) {
    const QByteArray png = PngBytes(QSize(3, 3), Qt::green);
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
                           "\\f0\\fs20 \\'cf\\u1088? {\\b\\cf1 bold}\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b"
                           "\\cell\\row\\pard{\\pict\\pngblip " +
                           png.toHex() + "}{\\*\\x y}\\tab end\\line\\par}";
    for (qsizetype n = 0; n <= rtf.size(); ++n) {
        TkvRichText text;
        text.LoadRtf(rtf.left(n));
        text.SaveRtf();
        text.HeightTwips(0, 2000);
    }
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        for (char flip : {'{', '}', '\\', '0', '\xff'}) {
            QByteArray damaged = rtf;
            damaged[i] = flip;
            TkvRichText text;
            text.LoadRtf(damaged);
            text.FitRange(0, 1500, 300);
        }
    }
}

} // namespace
