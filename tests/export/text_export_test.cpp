// The text export: placement of texts on the character grid, frames in plain and box-drawing
// characters, empty lines, page breaks, OEM conversion and the bounds on lines and columns.
#include "export/export_fixture.h"
#include "export/text_export.h"

#include <gtest/gtest.h>

using kvtest::LineDriver;

namespace {

// The frame characters of the DOS code page as bytes.
QByteArray Dos(std::initializer_list<int> codes) {
    QByteArray b;
    for (int c : codes) b += char(c);
    return b;
}

struct PlacementCase {
    const char* name;
    std::function<void(LineDriver<TkvTextExport>&)> lines;
    bool frames, pseudographic, killEmpty;
    QByteArray want; // without the page's form feed row
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class TextPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(TextPlacement, Rows) {
    const PlacementCase& c = GetParam();
    LineDriver<TkvTextExport> d;
    d.filter.ExportFrames = c.frames;
    d.filter.UsePseudographic = c.pseudographic;
    d.filter.KillEmptyLines = c.killEmpty;
    d.filter.PageBreaks = false;
    c.lines(d);
    EXPECT_EQ(d.EndPage(), c.want);
}

const PlacementCase kPlacements[] = {
    {"TwoTextsOnOneLine",
     [](auto& d) {
         d.Line(0, 60, 0, 0, "AB");
         d.Line(65, 120, 65, 0, "CD");
     },
     false, false, true, "AB        CD\r\n"},
    {"RightAlignedEndsAtTheRightEdge", [](auto& d) { d.Line(60, 130, 100, 0, "abc", 0, 1); }, false, false, true,
     QByteArray(17, ' ') + "abc\r\n"},
    {"LaterTextWithEqualXGoesFirst",
     [](auto& d) {
         d.Line(0, 60, 0, 0, "old");
         d.Line(0, 60, 0, 0, "new");
     },
     false, false, true, "newold\r\n"},
    {"FramedTextPlain", [](auto& d) { d.Line(13, 39, 20, 0, "AB", 15); }, true, false, true,
     " +---+\r\n | AB|\r\n +---+\r\n"},
    {"FramedTextPseudographic", [](auto& d) { d.Line(13, 39, 20, 0, "AB", 15); }, true, true, true,
     " " + Dos({218, 196, 196, 196, 191}) + "\r\n " + Dos({179}) + " AB" + Dos({179}) + "\r\n " +
         Dos({192, 196, 196, 196, 217}) + "\r\n"},
    {"NeighboursShareJunctions",
     [](auto& d) {
         d.Line(13, 39, 20, 0, "AB", 15);
         d.Line(39, 65, 46, 0, "CD", 15);
     },
     true, true, true,
     " " + Dos({218, 196, 196, 196, 194, 196, 196, 196, 191}) + "\r\n " + Dos({179}) + " AB" + Dos({179}) + " CD" +
         Dos({179}) + "\r\n " + Dos({192, 196, 196, 196, 193, 196, 196, 196, 217}) + "\r\n"},
    {"ThreeLineMemoFramedOnce",
     [](auto& d) {
         d.Line(13, 39, 20, 0, "A", 13);
         d.Line(13, 39, 20, 14, "B", 5);
         d.Line(13, 39, 20, 28, "C", 7);
     },
     true, false, true, " +---+\r\n | A |\r\n | B |\r\n | C |\r\n +---+\r\n"},
    {"EmptyLinesKeptWhenAsked",
     [](auto& d) {
         d.Line(0, 60, 0, 0, "A");
         d.Line(0, 60, 0, 56, "B");
     },
     false, false, false, "A\r\n\r\n\r\n\r\nB\r\n"},
    {"EmptyLinesDropped",
     [](auto& d) {
         d.Line(0, 60, 0, 0, "A");
         d.Line(0, 60, 0, 56, "B");
     },
     false, false, true, "A\r\nB\r\n"},
    {"TabBecomesACorner", [](auto& d) { d.Line(0, 60, 0, 0, "a\tb"); }, false, false, true, "a+b\r\n"},
    {"TabBecomesABoxCorner", [](auto& d) { d.Line(0, 60, 0, 0, "a\tb"); }, false, true, true,
     "a" + Dos({217}) + "b\r\n"},
    {"TextFarBelowThePageIsDropped",
     [](auto& d) {
         d.Line(0, 60, 0, 0, "A");
         d.Line(0, 60, 0, 2000000000, "far");
         d.Line(0, 60, 0, -2000000000, "above");
     },
     false, false, true, "A\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, TextPlacement, ::testing::ValuesIn(kPlacements),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextExport, LinesBeyondTwoHundredAreKeptAndColumnsBounded) {
    LineDriver<TkvTextExport> d;
    d.filter.PageBreaks = false;
    d.filter.ScaleY = 10; // 1.4 page units a line: a page holds far more than 201 lines
    d.Line(0, 60, 0, 1400, "line 1000");
    d.Line(0, 60, 2000000000, 1400, "far right");
    const QByteArray out = d.EndPage();
    EXPECT_TRUE(out.startsWith("line 1000"));
    EXPECT_LE(out.size(), TkvTextExport::kMaxColumns + 40);
    EXPECT_TRUE(out.endsWith("far right\r\n"));
}

TEST(TextExport, PageBreakRowAndOemConversion) {
    LineDriver<TkvTextExport> d;
    d.filter.ConvertToOEM = true;
    d.Line(0, 60, 0, 0, kv::EncodeText(QStringLiteral("Дом"), 204));
    // windows-1251 to the Russian DOS code page: Д 0x84, о 0xAE, м 0xAC.
    EXPECT_EQ(d.EndPage(), Dos({0x84, 0xAE, 0xAC}) + "\r\n\x0c\r\n");
}

} // namespace
