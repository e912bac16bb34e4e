// The table RTF export: merged cells, cell edges, fills, formatting words, escaping, page breaks,
// rich text renumbering and balanced groups.
#include "export/export_fixture.h"
#include "export/rtf_adv_export.h"

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
    // The break is a paragraph of its own that starts a page, outside any group: a \\page inside a
    // group between table rows was dropped by LibreOffice, and each page's rows ran into the next.
    const QByteArray two = Export({{{0, 0, 100, 20, "p1"}}, {{0, 0, 100, 20, "p2"}}});
    const QByteArray brk = "\\pard\\plain\\pagebb\\fs2\\par\r\n\\trowd ";
    EXPECT_EQ(two.count(brk), 1);
    EXPECT_EQ(two.count("\\page"), 1);
    EXPECT_LT(two.indexOf("p1"), two.indexOf(brk));
    EXPECT_LT(two.indexOf(brk), two.indexOf("p2"));
    EXPECT_EQ(Export({{{0, 0, 100, 20, "p1"}}, {{0, 0, 100, 20, "p2"}}}, false).count("\\page"), 0);
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

} // namespace
