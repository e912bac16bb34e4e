// The line RTF export: tab stops, tables, formatting words, tables of fonts and colours, escaping,
// page breaks, and the hexadecimal metafile of pictures checked record by record.
#include "export/export_fixture.h"
#include "export/rtf_export.h"
#include "export/rtf_writer.h"

#include <QPainter>
#include <gtest/gtest.h>

using kvtest::LineDriver;

namespace {

QByteArray Body(LineDriver<TkvRTFExport>& d) {
    d.filter.PageBreaks = false;
    d.filter.EndPage();
    return d.filter.Body();
}

TEST(RtfExport, TabStopsAndFormatting) {
    LineDriver<TkvRTFExport> d;
    d.Line(60, 120, 65, 0, "left", 0, 0, 2);
    d.Line(100, 260, 200, 0, "right", 0, 1, 0);
    // A right tab stop at the right edge; the plain text after a bold one has no style words.
    EXPECT_EQ(Body(d), "\\pard\\tx1300\\tqr\\tx5200{\\tab\\f0\\fs20\\b\\cf1 left\\tab right\\par}\r\n");
}

TEST(RtfExport, WhiteTextIsBlackAndTextsAreEscaped) {
    LineDriver<TkvRTFExport> d;
    d.Line(0, 60, 0, 0, "{a\\b}", 0, 0, 0, 0xFFFFFF);
    d.Line(0, 60, 0, 14, kv::EncodeText(QStringLiteral("Дом"), 204));
    EXPECT_EQ(Body(d), "\\pard\\tx0{\\tab\\f0\\fs20\\cf1 \\{a\\\\b\\}\\par}\r\n"
                       "\\pard\\tx0{\\tab\\f0\\fs20\\cf1 \\u1044?\\u1086?\\u1084?\\par}\r\n");
}

TEST(RtfExport, TableRowsRepeatEveryWord) {
    LineDriver<TkvRTFExport> d;
    d.filter.ConvertToTable = true;
    d.Line(60, 120, 65, 0, "a");
    d.Line(130, 260, 130, 0, "b");
    EXPECT_EQ(Body(d), "\\trowd \\trgaph108\\cellx2600\\cellx5200 \\trleft1300 \\pard \\intbl "
                       "{\\f0\\fs20\\cf1 a}\\cell {\\f0\\fs20\\cf1 b}\\cell \\pard \\intbl \\row\r\n\\pard\r\n");
}

// A right-aligned text's cell starts at its left edge: a cell of no width wraps letter by letter.
TEST(RtfExport, RightAlignedTextsGetCellsOfTheirWidth) {
    LineDriver<TkvRTFExport> d;
    d.filter.ConvertToTable = true;
    d.Line(60, 120, 65, 0, "a");
    d.Line(130, 260, 260, 0, "b", 0, 1);
    EXPECT_EQ(Body(d),
              "\\trowd \\trgaph108\\cellx2600\\cellx5200 \\trleft1300 \\pard \\intbl "
              "{\\f0\\fs20\\cf1 a}\\cell {\\f0\\fs20\\cf1 b}\\cell \\pard \\intbl \\row\r\n\\pard\r\n");
}

// Font names are code page texts like every other text.
TEST(RtfWriter, FontNamesOfTheCodePage) {
    kvrtf::FontTable fonts;
    fonts.Number(kv::EncodeText(QStringLiteral("Шрифт"), kvcs::Default));
    EXPECT_EQ(fonts.Entries().value(0), "{\\f0 \\u1064?\\u1088?\\u1080?\\u1092?\\u1090?;}");
}

TEST(RtfExport, DocumentTablesAndPageBreaks) {
    TkvRTFExport f;
    TkvMemoryStream out;
    f.Stream = &out;
    f.BeginDocument();
    TkvMemoView memo;
    for (int page = 0; page < 2; ++page) {
        f.BeginPage();
        memo.Font.Name = page ? "Courier New" : "Arial";
        memo.Font.Color = page ? 0x0000FF : 0;
        if (page == 0) f.ExportTextLine({0, 0, 60, 14}, 0, 0, "x", 0, memo);
        f.EndPage(); // the second page has no text and still gets its break
    }
    f.EndDocument();
    EXPECT_EQ(out.Data(), "{\\rtf1\\ansi\r\n\\margl600\\margr600\\margt600\\margb600\r\n"
                          "{\\fonttbl{\\f0 Arial;}}\r\n{\\colortbl;\\red0\\green0\\blue0;}\r\n"
                          "\\pard\\tx0{\\tab\\f0\\fs20\\cf1 x\\par}\r\n\\page\r\n\\par}");
}

TEST(RtfWriter, LongTablesBreakBetweenEntries) {
    QList<QByteArray> entries;
    for (int i = 0; i < 30; ++i) entries.append("{\\f" + QByteArray::number(i) + " Some Font Name;}");
    const QByteArray t = kvrtf::TableLines("{\\fonttbl", entries, "\r\n");
    const QList<QByteArray> lines = t.split('\n');
    EXPECT_GT(lines.size(), 1);
    for (const QByteArray& l : lines) {
        EXPECT_LE(l.trimmed().size(), 254);
        EXPECT_TRUE(l.trimmed().endsWith("}")) << l.constData();
    }
}

// The metafile's header size equals the sum of its record sizes, and the stretch-DIB record holds
// exactly the bitmap.
TEST(RtfWriter, HexMetafileRecordsAddUp) {
    for (const QSize size : {QSize(1, 1), QSize(3, 2), QSize(33, 17)}) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray hex = kvrtf::HexMetafile(image, true) + "030000000000";
        hex.replace("\r\n", "");
        const QByteArray bytes = QByteArray::fromHex(hex);
        ASSERT_EQ(bytes.size() % 2, 0);
        const auto u16 = [&](qsizetype at) { return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8; };
        const auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
        EXPECT_EQ(u16(0), 1u);
        EXPECT_EQ(u16(2), 9u);
        EXPECT_EQ(qsizetype(u32(6)) * 2, bytes.size()) << "file size in words";
        qsizetype at = 18;
        uint32_t biggest = 0, records = 0;
        bool sawEnd = false;
        while (at < bytes.size()) {
            const uint32_t words = u32(at);
            ASSERT_GE(words, 3u);
            biggest = std::max(biggest, words);
            if (u16(at + 4) == 0x0F43) {
                EXPECT_EQ(u32(at + 6), 0x00CC0020u);
                EXPECT_EQ(u16(at + 12), uint32_t(size.height()));
                EXPECT_EQ(u16(at + 14), uint32_t(size.width()));
                EXPECT_EQ(u32(at + 28), 40u) << "bitmap info header";
            }
            if (u16(at + 4) == 0) sawEnd = true;
            at += qsizetype(words) * 2;
            ++records;
        }
        EXPECT_EQ(at, bytes.size());
        EXPECT_TRUE(sawEnd);
        EXPECT_EQ(records, 7u);
        EXPECT_EQ(u32(12), biggest) << "largest record";
    }
}

} // namespace
