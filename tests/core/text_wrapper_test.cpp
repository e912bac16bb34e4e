#include "core/views/text_wrapper.h"

#include "base/codepage.h"
#include "core/fixed_metric_canvas.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

namespace {

constexpr int kW = FixedMetricCanvas::kCharWidth;
constexpr int kLatin = kvcs::Ansi;
constexpr int kCyrillic = kvcs::Russian;

// Expected lines are written with '|' for the paragraph mark.
TkvStringList Marked(std::initializer_list<const char*> lines) {
    TkvStringList out;
    for (const char* l : lines)
        out.append(QByteArray(l).replace('|', '\x01'));
    return out;
}

QByteArray Cyr(const char* utf8) {
    return kv::EncodeText(QString::fromUtf8(utf8), kCyrillic);
}

TkvStringList CyrLines(std::initializer_list<const char*> lines) {
    TkvStringList out;
    for (const char* l : lines)
        out.append(Cyr(l).replace('|', '\x01'));
    return out;
}

TkvStringList Wrap(const QByteArray& text, int width, bool wordBreak = false, int charset = kLatin) {
    FixedMetricCanvas canvas;
    TkvTextWrapper wrapper(canvas, charset, width, wordBreak);
    TkvStringList out;
    wrapper.WrapLine(text, out);
    return out;
}

struct WrapCase {
    const char* name;
    const char* text;
    int chars; // available width in characters (negative: a width narrower than one character)
    TkvStringList expected;
};

// Cases print as their names in test listings, so the names ctest derives from them are stable.
void PrintTo(const WrapCase& c, std::ostream* os) {
    *os << c.name;
}

class WrapTest : public testing::TestWithParam<WrapCase> {};

TEST_P(WrapTest, BreaksAsExpected) {
    const WrapCase& c = GetParam();
    const int width = c.chars < 0 ? kW - 2 : c.chars * kW;
    for (bool wordBreak : {false, true})
        EXPECT_EQ(Wrap(c.text, width, wordBreak), c.expected) << "word break " << wordBreak;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WrapTest,
    testing::Values(WrapCase{"Fits", "ABC", 3, Marked({"ABC|"})}, WrapCase{"Empty", "", 3, Marked({"|"})},
                    WrapCase{"OneCharNeverCut", "A", 0, Marked({"A|"})},
                    WrapCase{"AtSpaces", "AAA BBB CCC", 7, Marked({"AAA BBB", "CCC|"})},
                    WrapCase{"TrailingSpacesStickOut", "AAAA   BB", 5, Marked({"AAAA  ", "BB|"})},
                    WrapCase{"HardCut", "ABCDEFGHIJ", 4, Marked({"ABCD", "EFGH", "IJ|"})},
                    WrapCase{"LongWordAfterSpace", "AB CDEFGHIJ", 4, Marked({"AB", "CDEF", "GHIJ|"})},
                    // A leading space never yields an empty first line.
                    WrapCase{"LeadingSpace", " ABCDEFG", 4, Marked({" ABC", "DEFG|"})},
                    // A character wider than the box gets a line of its own, with no empty line before.
                    WrapCase{"CharWiderThanBox", "ABC", -1, Marked({"A", "B", "C|"})},
                    WrapCase{"CrLfEachBreak", "AB\r\nCD\rEF\nGH", 10, Marked({"AB|", "CD|", "EF|", "GH|"})},
                    WrapCase{"CrLfRunIsOneBreak", "AB\r\n\r\nCD", 10, Marked({"AB|", "CD|"})},
                    WrapCase{"LfCrRunIsOneBreak", "AB\n\r\n\rCD", 10, Marked({"AB|", "CD|"})},
                    WrapCase{"TrailingBreaksAddNoLine", "AB\r\n\r\n\r\n", 10, Marked({"AB|"})},
                    WrapCase{"LeadingBreak", "\r\nAB", 10, Marked({"|", "AB|"})},
                    WrapCase{"CrLfAtEnd", "AB\r\n", 10, Marked({"AB|"})},
                    WrapCase{"CrLfOnly", "\r\n", 10, Marked({"|"})},
                    WrapCase{"CrLfThenWrap", "X\nAAA BBB", 3, Marked({"X|", "AAA", "BBB|"})}),
    [](const testing::TestParamInfo<WrapCase>& i) { return std::string(i.param.name); });

TEST(TextWrapper, Hyphenate) {
    struct Case {
        const char* word;
        std::vector<int> positions;
    } cases[] = {
        {"КОРОВА", {2, 4}}, {"корова", {2, 4}}, {"КОШКА", {3}}, {"ПОДЪЕЗД", {4}}, {"КОТ", {}}, {"WORLD", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TkvTextWrapper::Hyphenate(QString::fromUtf8(c.word)), c.positions) << c.word;
}

TEST(TextWrapper, WordBreakHyphenatesAtLastFittingPosition) {
    EXPECT_EQ(Wrap(Cyr("КОРОВА"), 4 * kW, true, kCyrillic), CyrLines({"КО-", "РОВА|"}));
    EXPECT_EQ(Wrap(Cyr("КОРОВА"), 5 * kW, true, kCyrillic), CyrLines({"КОРО-", "ВА|"}));
    EXPECT_EQ(Wrap(Cyr("А КОРОВА"), 5 * kW, true, kCyrillic), CyrLines({"А КО-", "РОВА|"}));
    // Without word break, or in a code page the rules are not written for, words are cut or moved.
    EXPECT_EQ(Wrap(Cyr("А КОРОВА"), 5 * kW, false, kCyrillic), CyrLines({"А", "КОРОВ", "А|"}));
    EXPECT_EQ(Wrap("A KOROVA", 5 * kW, true, kLatin), Marked({"A", "KOROV", "A|"}));
}

// Where no hyphenation point leaves room for "-", the line is cut like without word break instead
// of producing empty lines and dropping the word's first letter.
TEST(TextWrapper, WordBreakFallsBackToPlainCut) {
    EXPECT_EQ(Wrap(Cyr("КОРОВА"), 3 * kW - 1, true, kCyrillic), CyrLines({"КО", "РО", "ВА|"}));
    EXPECT_EQ(Wrap(Cyr("КОРОВА КОРОВА"), 3 * kW - 1, true, kCyrillic),
              CyrLines({"КО", "РО", "ВА", "КО", "РО", "ВА|"}));
    EXPECT_EQ(Wrap(Cyr(" КОРОВА"), 2 * kW, true, kCyrillic), CyrLines({" К", "ОР", "ОВ", "А|"}));
}

TEST(TextWrapper, DoubleByteCharactersStayWhole) {
    const QByteArray text("\x82\xA0\x82\xA2\x82\xA4");
    if (!kv::IsLeadByte(kvcs::ShiftJis, 0x82)) GTEST_SKIP() << "\nnot checked: Shift-JIS line breaks: no Shift-JIS codec";
    EXPECT_EQ(Wrap(text, 2 * kW, false, kvcs::ShiftJis),
              (TkvStringList{QByteArray("\x82\xA0\x82\xA2"), QByteArray("\x82\xA4\x01")}));
    // A width of 3 characters in bytes is still 2 characters.
    EXPECT_EQ(Wrap(text, 2 * kW + 3, false, kvcs::ShiftJis).size(), 2);
}

// Over many random texts and widths: every output line is non-empty, fits (unless it is one
// character, or spaces stick out at its end), and the characters other than spaces come out in
// order with none lost or added.
TEST(TextWrapper, NeverLosesText) {
    QRandomGenerator rng(4711);
    const QString alphabet = QString::fromUtf8("КОРОВАШЪЬЕЁИУЫЭЮЯДПЗ   ");
    for (int round = 0; round < 400; ++round) {
        QString t;
        const int len = 1 + int(rng.bounded(40));
        for (int i = 0; i < len; ++i)
            t += alphabet[int(rng.bounded(alphabet.size()))];
        const QByteArray text = kv::EncodeText(t, kCyrillic);
        const int width = int(rng.bounded(12 * kW));
        const bool wordBreak = rng.bounded(2);
        const TkvStringList lines = Wrap(text, width, wordBreak, kCyrillic);
        QByteArray joined;
        for (int i = 0; i < lines.size(); ++i) {
            QByteArray l = lines[i];
            const bool last = i == lines.size() - 1;
            ASSERT_EQ(l.endsWith('\x01'), last) << t.toStdString() << " width " << width;
            if (last) l.chop(1);
            if (!last && l.endsWith('-')) l.chop(1);
            ASSERT_FALSE(!last && l.isEmpty()) << t.toStdString() << " width " << width;
            const QByteArray trimmed = QByteArray(l).replace(' ', "");
            if (!last && trimmed.size() > 1 && !l.endsWith(' ') && !lines[i].endsWith('-')) {
                EXPECT_LE(l.size() * kW, width) << t.toStdString() << " line " << i;
            }
            joined += trimmed;
        }
        ASSERT_EQ(joined, QByteArray(text).replace(' ', "")) << t.toStdString() << " width " << width;
    }
}

TEST(TextWrapper, LongLineWithoutSpaces) {
    QByteArray text(64 * 1024, 'x');
    for (int i = 0; i < text.size(); ++i)
        text[i] = char('a' + i % 26);
    FixedMetricCanvas canvas;
    TkvTextWrapper wrapper(canvas, kLatin, 100 * kW, false);
    TkvStringList out;
    wrapper.WrapLine(text, out);
    ASSERT_EQ(out.size(), (text.size() + 99) / 100);
    QByteArray joined;
    for (int i = 0; i + 1 < out.size(); ++i) {
        ASSERT_EQ(out[i].size(), 100);
        joined += out[i];
    }
    joined += out.last().chopped(1);
    EXPECT_EQ(joined, text);
    // Measuring stays near-linear: far below re-measuring every growing prefix (n^2 / 2 characters).
    EXPECT_LT(canvas.measuredChars, int64_t(text.size()) * 40);
}

TEST(TextWrapper, LongCyrillicLineWithWordBreak) {
    QByteArray text;
    while (text.size() < 64 * 1024)
        text += Cyr("КОРОВА");
    FixedMetricCanvas canvas;
    TkvTextWrapper wrapper(canvas, kCyrillic, 50 * kW, true);
    TkvStringList out;
    wrapper.WrapLine(text, out);
    QByteArray joined;
    for (QByteArray l : out) {
        if (l.endsWith('\x01')) l.chop(1);
        if (l.endsWith('-')) l.chop(1);
        EXPECT_LE(l.size(), 50);
        joined += l;
    }
    EXPECT_EQ(joined, text);
    EXPECT_LT(canvas.measuredChars, int64_t(text.size()) * 60);
}

} // namespace
