// Layout in twips: indents, tab stops and spacing where RTF puts them; fitting a rectangle moves on
// by whole rows; the writer's RTF reads back to the same text and formatting.
#include "render/recording_canvas.h"
#include "richtext/rich_formats.h"
#include "richtext/rich_text.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

double XOf(TkvRichText& t, int block, int pos) {
    const QTextBlock b = t.Document().findBlockByNumber(block);
    return b.layout()->position().x() + b.layout()->lineAt(0).cursorToX(pos);
}

TEST(RichLayout, IndentsTabsAndSpacingInTwips) {
    TkvRichText t;
    t.LoadRtf("{\\rtf1\\fs20 A\\par\\pard\\sb100\\sa300\\li720 B\\par\\pard\\li720\\fi-360\\tx2000 C\\tab D\\tab F\\par"
              "\\pard\\sl-600\\slmult0 E\\par\\pard G}");
    const auto& rows = t.Rows(9000);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1].top - rows[0].bottom, 100) << "space before";
    EXPECT_EQ(rows[2].top - rows[1].bottom, 300) << "space after";
    EXPECT_EQ(rows[3].bottom - rows[3].top, 600) << "exact line spacing";
    EXPECT_EQ(rows[4].top, rows[3].bottom);
    EXPECT_EQ(XOf(t, 1, 0), 720) << "left indent";
    EXPECT_EQ(XOf(t, 2, 0), 360) << "hanging first line";
    EXPECT_NEAR(XOf(t, 2, 2), 720, 1) << "the hanging indent is a tab stop";
    EXPECT_NEAR(XOf(t, 2, 4), 2000, 1) << "\\tx from the text area's edge";
}

TEST(RichLayout, FitRangeMovesByWholeRowsAndAlwaysForward) {
    TkvRichText t;
    t.LoadRtf("{\\rtf1\\fs20 one\\par two\\par three\\par four}");
    const auto rows = t.Rows(3000);
    ASSERT_EQ(rows.size(), 4u);
    const double line = rows[0].bottom - rows[0].top;
    EXPECT_EQ(t.FitRange(0, 3000, int(2 * line)), rows[2].start);
    EXPECT_EQ(t.FitRange(rows[2].start, 3000, int(2 * line)), t.Length());
    EXPECT_EQ(t.FitRange(0, 3000, 10), rows[0].end) << "a row taller than the rectangle still moves on";
    EXPECT_EQ(t.FitRange(t.Length(), 3000, 10), t.Length());
    EXPECT_EQ(t.HeightTwips(0, 3000), int(std::ceil(rows[3].bottom - 0.5)));
    EXPECT_EQ(t.HeightTwips(rows[2].start, 3000), int(std::ceil(rows[3].bottom - rows[2].top - 0.5)));
    TkvRichText empty;
    EXPECT_EQ(empty.HeightTwips(0, 3000), 0);
}

TEST(RichLayout, WrittenRtfReadsBackTheSameTextAndFormatting) {
    const QByteArray source =
        "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1 Courier New;}}"
        "{\\colortbl;\\red10\\green20\\blue30;\\red200\\green200\\blue0;}"
        "\\pard\\qr\\li400\\ri200\\fi100\\sb60\\sa120\\tx3000\\f0\\fs28\\b\\cf1 \\'cf\\'f0\\u8364?\\tab{\\i\\ul x}"
        "{\\highlight2\\strike y}\\line z\\par\\pard\\f1\\fs16 \\{mono\\}\\\\\\par"
        "\\trowd\\clbrdrt\\brdrs\\cellx1500\\cellx4000\\pard\\intbl c1\\cell c2\\cell\\row\\pard end}";
    TkvRichText a;
    a.LoadRtf(source);
    TkvRichText b;
    b.LoadRtf(a.SaveRtf());
    EXPECT_EQ(b.PlainText(), a.PlainText());
    EXPECT_EQ(b.RawText(), a.RawText());
    for (int pos = 0; pos < a.Length(); ++pos) {
        QTextCursor ca(&a.Document()), cb(&b.Document());
        ca.setPosition(pos + 1);
        cb.setPosition(pos + 1);
        const QTextCharFormat fa = ca.charFormat(), fb = cb.charFormat();
        EXPECT_EQ(fa.fontFamilies(), fb.fontFamilies()) << pos;
        EXPECT_EQ(fa.fontPointSize(), fb.fontPointSize()) << pos;
        EXPECT_EQ(fa.fontWeight(), fb.fontWeight()) << pos;
        EXPECT_EQ(fa.fontItalic(), fb.fontItalic()) << pos;
        EXPECT_EQ(fa.fontUnderline(), fb.fontUnderline()) << pos;
        EXPECT_EQ(fa.fontStrikeOut(), fb.fontStrikeOut()) << pos;
        EXPECT_EQ(fa.foreground(), fb.foreground()) << pos;
        EXPECT_EQ(fa.background(), fb.background()) << pos;
        const QTextBlockFormat pa = ca.blockFormat(), pb = cb.blockFormat();
        EXPECT_EQ(pa.alignment(), pb.alignment()) << pos;
        EXPECT_EQ(pa.leftMargin(), pb.leftMargin()) << pos;
        EXPECT_EQ(pa.rightMargin(), pb.rightMargin()) << pos;
        EXPECT_EQ(pa.textIndent(), pb.textIndent()) << pos;
        EXPECT_NEAR(pa.topMargin(), pb.topMargin(), 0.1) << pos;
        EXPECT_NEAR(pa.bottomMargin(), pb.bottomMargin(), 0.1) << pos;
        EXPECT_EQ(pa.tabPositions().size(), pb.tabPositions().size()) << pos;
    }
    EXPECT_EQ(a.PlainText(), QStringLiteral("Пр€\txy\nz\n{mono}\\\nc1\tc2\nend"));
}

TEST(RichLayout, DrawingRecordsRunsPicturesAndHighlights) {
    TkvRichText t;
    t.LoadRtf("{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}\\fs20 plain {\\highlight1 marked} tail}");
    TkvRecordingCanvas canvas;
    t.Draw(canvas, QRect(100, 50, 200, 100), 3000, 1500);
    QStringList dump = canvas.Dump();
    const QString all = dump.join('\n');
    EXPECT_TRUE(all.contains("\"plain \"")) << all.toStdString();
    EXPECT_TRUE(all.contains("\"marked\""));
    EXPECT_TRUE(all.contains("fillrect")) << "the highlight";
    EXPECT_TRUE(all.contains("clip 100,50 200x100"));
}

} // namespace
