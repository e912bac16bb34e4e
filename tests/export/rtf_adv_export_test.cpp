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
    EXPECT_TRUE(rtf.contains("\\clcbpat1\\ql\\clbrdrt\\brdrs\\brdrw20 \\brdrcf2 \\clbrdrl"));
    EXPECT_TRUE(rtf.contains("\\qc\\sl240{\\f0\\fs20\\i\\b\\cf2 \\{a\\\\b\\}\\cell}"));
    EXPECT_TRUE(rtf.contains("\\clcbpat3"));
}

TEST(RtfAdvExport, OnePageBreakBetweenPages) {
    const QByteArray two = Export({{{0, 0, 100, 20, "p1"}}, {{0, 0, 100, 20, "p2"}}});
    EXPECT_EQ(two.count("{\\page\\fs1\\par}"), 1);
    EXPECT_LT(two.indexOf("p1"), two.indexOf("{\\page"));
    EXPECT_LT(two.indexOf("{\\page"), two.indexOf("p2"));
    EXPECT_EQ(Export({{{0, 0, 100, 20, "p1"}}, {{0, 0, 100, 20, "p2"}}}, false).count("\\page"), 0);
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
