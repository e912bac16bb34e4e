// The table RTF export: merged cells, cell edges, fills, formatting words, escaping, page breaks,
// rich text renumbering and balanced groups.
#include "export/export_fixture.h"
#include "export/export_run.h"
#include "export/rtf_adv_export.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using kvtest::MakeMemo;
using kvtest::MemoSpec;

QByteArray Export(const std::vector<std::vector<MemoSpec>>& pages, bool pageBreaks = true) {
    TkvRtfAdvExport f;
    f.PageBreaks = pageBreaks;
    TkvMemoryStream out;
    f.Stream = &out;
    f.BeginDocument();
    for (const auto& page : pages) {
        f.BeginPage();
        for (const auto& s : page) {
            auto v = MakeMemo(s);
            f.ExportObject(v->Left, v->Top, *v);
        }
        f.EndPage();
    }
    f.EndDocument();
    return out.Data();
}

bool Balanced(const QByteArray& rtf) {
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

TEST(RtfAdvExport, MergedCellsAndCellEdges) {
    // "tall" spans two rows (a neighbour splits it), "wide" three columns.
    const QByteArray rtf = Export({{{0, 0, 100, 40, "tall"},
                                    {100, 0, 50, 20, "x"},
                                    {100, 20, 50, 20, "y"},
                                    {0, 40, 300, 20, "wide"},
                                    {150, 0, 150, 40, "z"}}});
    EXPECT_TRUE(Balanced(rtf));
    EXPECT_TRUE(rtf.contains("\\clvmgf")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\clvmrg\\cltxlrtb\\cellx1520"));
    EXPECT_TRUE(rtf.contains("{\\fs18 \\cell}")); // 300 twips high row: min(300 div 16, 20)
    EXPECT_TRUE(rtf.contains("\\cellx4560")); // the wide object's right edge, once
    EXPECT_EQ(rtf.count("wide"), 1);
}

TEST(RtfAdvExport, FillFormattingAndEscaping) {
    const QByteArray rtf =
        Export({{{0, 0, 100, 20, "{a\\b}", 15, 2, 0x1FFFFFFF, 3}, {100, 0, 100, 20, "red", 0, 0, 0x0000FF}}});
    EXPECT_TRUE(Balanced(rtf));
    // White is the first colour (the background), then the frame colour black, red fill.
    EXPECT_TRUE(rtf.contains("{\\colortbl;\\red255\\green255\\blue255;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}"));
    EXPECT_TRUE(rtf.contains("\\clcbpat1\\clvertalt\\clbrdrt\\brdrs\\brdrw20 \\brdrcf2 \\clbrdrl"));
    EXPECT_TRUE(rtf.contains("\\qc\\sl240{\\f0\\fs20\\i\\b\\cf2 \\{a\\\\b\\}\\cell}"));
    EXPECT_TRUE(rtf.contains("\\clcbpat3"));
}

TEST(RtfAdvExport, OnePageBreakBetweenPages) {
    // The break is a section break in a paragraph of its own, outside any group, and the new
    // section opens with a paragraph: a break inside a group between table rows was dropped by
    // LibreOffice, and a section holding only table rows lost its paper.
    const QByteArray two = Export({{{0, 0, 100, 20, "p1"}}, {{0, 0, 100, 20, "p2"}}});
    const qsizetype brk = two.indexOf("\\pard\\plain\\fs2\\sect\\sectd");
    ASSERT_GE(brk, 0) << two.constData();
    EXPECT_EQ(two.count("\\sect\\sectd"), 1);
    EXPECT_TRUE(two.indexOf("\\pard\\plain\\fs2\\par\r\n\\trowd ", brk) > brk);
    EXPECT_LT(two.indexOf("p1"), brk);
    EXPECT_LT(brk, two.indexOf("p2"));
    EXPECT_EQ(Export({{{0, 0, 100, 20, "p1"}}, {{0, 0, 100, 20, "p2"}}}, false).count("\\sect\\sectd"), 0);
}

// Each page is a section with its own paper: a landscape page among portrait ones was written on
// the first page's paper and cut at the right.
TEST(RtfAdvExport, EveryPageCarriesItsOwnPaper) {
    TkvReport report;
    const bool landscape[] = {false, false, true, false};
    for (int p = 0; p < 4; ++p) {
        kvtest::AddMemoPage(report, {{0, 0, 100, 20, QStringLiteral("page %1").arg(p + 1)}});
        PreparedPageInfo& info = report.EMFPages.PageInfo(p);
        info.PaperWidth = landscape[p] ? 2970 : 2100;
        info.PaperHeight = landscape[p] ? 2100 : 2970;
        info.Orientation = landscape[p] ? 1 : 0;
        info.Margins = {40, 20, 40, 20};
    }
    const QByteArray portrait = "\\sectd\\sbkpage\\pgwsxn11907\\pghsxn16840\\marglsxn629\\margrsxn629"
                                "\\margtsxn314\\margbsxn314";
    const QByteArray wide = "\\sectd\\sbkpage\\pgwsxn16840\\pghsxn11907\\marglsxn629\\margrsxn629"
                            "\\margtsxn314\\margbsxn314\\lndscpsxn";
    struct Case {
        std::vector<int> pageList;
        bool pageBreaks;
        std::vector<QByteArray> sections; // in order; the first opens the document
        const char* paper;                // the document's paper: the first exported page's
    };
    const Case cases[] = {
        {{}, true, {portrait, portrait, wide, portrait}, "\\paperw11907\\paperh16840"},
        // Without page breaks the rows run on, but never onto another page's paper.
        {{}, false, {portrait, wide, portrait}, "\\paperw11907\\paperh16840"},
        {{3, 4}, true, {wide, portrait}, "\\paperw16840\\paperh11907"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        TkvRtfAdvExport f;
        f.ShowDialog = false;
        f.PageBreaks = c.pageBreaks;
        f.PageList = c.pageList;
        ASSERT_TRUE(kv::ExportWithFilter(report, f, dir.filePath("out.rtf")).Ok());
        QFile file(dir.filePath("out.rtf"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray rtf = file.readAll();
        EXPECT_TRUE(Balanced(rtf));
        EXPECT_TRUE(rtf.contains(c.paper)) << rtf.left(600).constData();
        EXPECT_EQ(rtf.count("\\sectd"), qsizetype(c.sections.size())) << c.pageBreaks;
        qsizetype at = 0;
        for (const QByteArray& words : c.sections) {
            const qsizetype found = rtf.indexOf("\\sectd", at);
            ASSERT_GE(found, 0);
            const QByteArray written = rtf.mid(found, rtf.indexOf('\r', found) - found);
            EXPECT_TRUE(written == words || written == words + "\\pard\\plain\\fs2\\par")
                << written.constData();
            at = found + 1;
        }
    }
}

TEST(RtfAdvExport, RowsHaveExactHeights) {
    // Rows that may grow push a page's last rows onto the next page, ahead of its own break.
    const QByteArray rtf = Export({{{0, 0, 100, 20, "a"}, {0, 20, 100, 40, "b"}}});
    EXPECT_TRUE(rtf.contains("\\trowd \\trrh-300\\trgaph15"));
    EXPECT_TRUE(rtf.contains("\\trowd \\trrh-600\\trgaph15"));
    EXPECT_FALSE(rtf.contains("\\trrh3"));
}

TEST(RtfAdvExport, CellWordsOfTheAlignmentBits) {
    struct Case {
        int32_t alignment;
        const char* words; // vertical placement and text flow of the cell
    };
    const Case cases[] = {
        {0, "\\clvertalt\\cltxlrtb\\cellx"},
        {1, "\\clvertalt\\cltxlrtb\\cellx"},
        {8, "\\clvertalc\\cltxlrtb\\cellx"},
        {16, "\\clvertalb\\cltxlrtb\\cellx"},
        {8 | 16, "\\clvertalt\\cltxlrtb\\cellx"},
        // Rotated text runs bottom to top; in a left-to-right cell that is only as wide as its
        // lines are high, a reader wraps it into a column of single letters.
        {4, "\\clvertalt\\cltxbtlr\\cellx"},
        {4 | 8, "\\clvertalc\\cltxbtlr\\cellx"},
    };
    for (const Case& c : cases) {
        const QByteArray rtf = Export({{{0, 0, 20, 200, "ROTATED", 0, c.alignment, 0xFFFFFF}}});
        const qsizetype cell = rtf.indexOf("\\clcbpat1\\cl", rtf.indexOf("\\trowd"));
        ASSERT_GE(cell, 0) << c.alignment;
        EXPECT_EQ(rtf.mid(cell + 9, qstrlen(c.words)), QByteArray(c.words)) << "alignment " << c.alignment;
    }
}

TEST(RtfAdvExport, RichTextIsRenumberedIntoTheDocumentTables) {
    kvrtf::FontTable fonts;
    kvrtf::ColorTable colors;
    fonts.Number("Arial");
    colors.Number(0);
    const QByteArray piece = TkvRtfAdvExport::RemapRichText(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Times New Roman;}{\\f1\\fswiss Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\pard\\f0\\fs24 Hello \\cf1\\f1 world\\par\r\n}",
        fonts, colors);
    EXPECT_EQ(piece, "\\f1 \\fs24 Hello \\cf2 \\f0 world");
    EXPECT_EQ(fonts.Entries().size(), 2);
    EXPECT_TRUE(Balanced(piece));
    EXPECT_EQ(TkvRtfAdvExport::RemapRichText("plain {text}", fonts, colors), "plain \\{text\\}");
}

// The renumbered fonts of the document carry no character set and the document has its own code
// page, so a rich text's code page bytes are written as the characters they stand for in the font
// they were set in: Cyrillic from a windows-1251 rich text came out as Latin accented letters.
TEST(RtfAdvExport, RichTextCharactersKeepTheirCodePage) {
    struct Case {
        const char* name;
        QByteArray rtf;
        QByteArray piece;
    };
    const QByteArray privet = "\\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090?"; // "Привет"
    const Case cases[] = {
        {"font charset",
         "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\\pard\\f0 "
         "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\par}",
         "\\f0 " + privet},
        {"document code page",
         "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}",
         "\\f0 " + privet},
        {"raw bytes", "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0 \xcf\xf0\xe8\xe2\xe5\xf2}",
         "\\f0 " + privet},
        {"western", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 caf\\'e9}", "\\f0 caf\\u233?"},
        // Fallback characters of \uN are dropped however many \uc says; the piece uses one "?".
        {"unicode", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0\\uc2\\u1071\\'df\\'df!}",
         "\\f0 \\u1071?!"},
        // A group's font ends with the group; a symbol font keeps its glyph numbers.
        {"groups and symbols",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1\\fcharset2 "
         "Symbol;}}\\f0\\'df{\\f1\\'b7}\\'df}",
         "\\f0 \\u1071?{\\f1 \\'b7}\\u1071?"},
    };
    for (const Case& c : cases) {
        kvrtf::FontTable fonts;
        kvrtf::ColorTable colors;
        const QByteArray piece = TkvRtfAdvExport::RemapRichText(c.rtf, fonts, colors);
        EXPECT_EQ(piece, c.piece) << c.name;
        EXPECT_TRUE(Balanced(piece)) << c.name;
        EXPECT_FALSE(std::any_of(piece.begin(), piece.end(), [](char ch) { return uchar(ch) >= 0x80; }))
            << c.name;
    }
    kvrtf::FontTable fonts;
    kvrtf::ColorTable colors;
    TkvRtfAdvExport::RemapRichText(cases[5].rtf, fonts, colors);
    EXPECT_EQ(fonts.Entries(), (QList<QByteArray>{"{\\f0 Arial;}", "{\\f1\\fcharset2 Symbol;}"}));
}

} // namespace
