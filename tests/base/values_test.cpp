// Values under explicit format settings: text forms, number patterns, dates, arithmetic and
// comparison across kinds, display formats and inline formats.
#include "base/date_time.h"
#include "base/display_format.h"
#include "base/expression_evaluator.h"
#include "base/format_settings.h"
#include "base/number_format.h"
#include "base/value_ops.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <cmath>

namespace {

using V = TkvVariant;
using kvval::Compare;

// A European setting: comma decimals, blank thousands, day.month.year.
TkvFormatSettings European() {
    TkvFormatSettings fs;
    fs.ApplyOverrides("decimal=,;thousands= ;dateSeparator=.;timeSeparator=:;shortDate=dd/mm/yyyy;"
                      "longDate=d mmmm yyyy;shortTime=hh:nn;longTime=hh:nn:ss");
    return fs;
}

V Date(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
    double days = 0, t = 0;
    EXPECT_TRUE(kv::EncodeDate(y, m, d, days));
    EXPECT_TRUE(kv::EncodeTime(h, n, s, 0, t));
    return V(V::DateTimeValue{days + t});
}

TEST(FormatSettings, OverridesApplyExactlyTheNamedItems) {
    TkvFormatSettings fs;
    const QByteArrayList rejected = fs.ApplyOverrides(
        "decimal=,;thousands= ;dateSeparator=.;shortDate=dd.mm.yyyy;longTime=hh:nn:ss;Decimal=x;bogus=1;decimal=ab");
    EXPECT_EQ(fs.DecimalSeparator, ',');
    EXPECT_EQ(fs.ThousandSeparator, ' ');
    EXPECT_EQ(fs.DateSeparator, '.');
    EXPECT_EQ(fs.ShortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(fs.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(rejected, (QByteArrayList{"Decimal=x", "bogus=1", "decimal=ab"}));
    fs.ApplyOverrides("thousands=");
    EXPECT_EQ(fs.ThousandSeparator, 0);
}

TEST(FormatSettings, FromQtLocaleUsesTheLibraryLetters) {
    const TkvFormatSettings de = TkvFormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.DecimalSeparator, ',');
    EXPECT_EQ(de.ThousandSeparator, '.');
    EXPECT_EQ(de.DateSeparator, '.');
    EXPECT_EQ(de.ShortDateFormat, "dd/mm/yy");
    EXPECT_EQ(de.LongTimeFormat.left(8), "hh:nn:ss");
    const TkvFormatSettings ru = TkvFormatSettings::FromLocale(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(ru.DecimalSeparator, ',');
    EXPECT_EQ(kv::FormatDateTime("d mmmm yyyy", Date(1998, 11, 15).toDouble(), ru).right(4), "1998");
}

TEST(NumberText, GeneralFormUnderTwoSettings) {
    const TkvFormatSettings us;
    const TkvFormatSettings eu = European();
    struct Case {
        double v;
        const char* us;
        const char* eu;
    } cases[] = {
        {0, "0", "0"},
        {3.5, "3.5", "3,5"},
        {-0.25, "-0.25", "-0,25"},
        {1.0 / 3, "0.333333333333333", "0,333333333333333"},
        {123456789012345.0, "123456789012345", "123456789012345"},
        {1e15, "1E15", "1E15"},
        {1.5e20, "1.5E20", "1,5E20"},
        {0.0001, "0.0001", "0,0001"},
        {0.00001, "1E-5", "1E-5"},
        {0.1 + 0.2, "0.3", "0,3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kv::FloatToText(c.v, us), c.us) << c.v;
        EXPECT_EQ(kv::FloatToText(c.v, eu), c.eu) << c.v;
    }
}

TEST(NumberText, PatternsFixedAndGrouped) {
    TkvFormatSettings fs;
    fs.ThousandSeparator = ' ';
    fs.DecimalSeparator = ',';
    struct Case {
        const char* pattern;
        double v;
        const char* out;
    } cases[] = {
        {"##0.##", 1234.5, "1234,5"},
        {"##0.", 1234.5, "1235"},
        {"#,##0.00", 1234567.891, "1 234 567,89"},
        {"0.00", 0.005, "0,01"},
        {"0.00", -0.001, "0,00"},
        {"000", 7, "007"},
        {"#.##", 0.5, ",5"},
        {"0.0;(0.0);zero", -2.25, "(2,3)"},
        {"0.0;(0.0);zero", 0, "zero"},
        {"0.0;;", -1.5, "-1,5"},
        {"'No.' 0", 12, "No. 12"},
        {"0.00E+00", 1234, "1,23E+03"},
        {"0.00E-00", 0.000123, "1,23E-04"},
        {"0.0E+0", 9.96, "1,0E+1"},
        {"(###) ###-####", 5551234567, "(555) 123-4567"},
        {"", 2.5, "2,5"},
    };
    for (const Case& c : cases) EXPECT_EQ(kv::FormatFloat(c.pattern, c.v, fs), c.out) << c.pattern << " " << c.v;
    EXPECT_EQ(kv::FloatToFixed(1234.5, 2, false, fs), "1234,50");
    EXPECT_EQ(kv::FloatToFixed(1234.5, 2, true, fs), "1 234,50");
    EXPECT_EQ(kv::FloatToFixed(2.675, 2, false, fs), "2,68"); // decimal rounding, not binary
    EXPECT_EQ(kv::FloatToFixed(-0.004, 2, false, fs), "0,00");
    EXPECT_THROW(kv::FormatFloat(QByteArray(5000, '0'), 1, fs), TkvVariantError);
}

TEST(NumberText, ParseNumberByTheSettings) {
    const TkvFormatSettings eu = European();
    const TkvFormatSettings us;
    V v;
    ASSERT_TRUE(kv::ParseNumber(" 1,5 ", eu, v));
    EXPECT_EQ(v.toDouble(), 1.5);
    ASSERT_TRUE(kv::ParseNumber("1.5", eu, v)); // "." is always read as the separator
    EXPECT_EQ(v.toDouble(), 1.5);
    EXPECT_FALSE(kv::ParseNumber("1,5", us, v));
    ASSERT_TRUE(kv::ParseNumber("-42", us, v));
    EXPECT_EQ(v.kind(), V::Kind::Integer);
    ASSERT_TRUE(kv::ParseNumber("$FF", us, v));
    EXPECT_EQ(v.toInt(), 255);
    ASSERT_TRUE(kv::ParseNumber("99999999999999999999", us, v)); // too big for an integer
    EXPECT_EQ(v.kind(), V::Kind::Float);
    for (const char* bad : {"", "abc", "1.2.3", "12abc", "1e", "-", "$", "1e999"})
        EXPECT_FALSE(kv::ParseNumber(bad, us, v)) << bad;
}

TEST(DateText, PatternsNamesAndSeparators) {
    const TkvFormatSettings us;
    const TkvFormatSettings eu = European();
    const double d = Date(1998, 11, 15, 14, 43, 35).toDouble();
    EXPECT_EQ(d, 36114 + (14 * 3600 + 43 * 60 + 35) / 86400.0);
    struct Case {
        const char* pattern;
        const char* us;
        const char* eu;
    } cases[] = {
        {"mm.dd.yy", "11.15.98", "11.15.98"},
        {"d mmm yyyy", "15 Nov 1998", "15 Nov 1998"},
        {"dddd d mmmm", "Sunday 15 November", "Sunday 15 November"},
        {"dd/mm/yyyy", "15/11/1998", "15.11.1998"},
        {"hh:nn:ss", "14:43:35", "14:43:35"},
        {"h:mm am/pm", "2:43 PM", "2:43 PM"},
        {"hh:mm", "14:43", "14:43"},
        {"\"at\" h", "at 14", "at 14"},
        {"", "11/15/1998 2:43:35 PM", "15.11.1998 14:43:35"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kv::FormatDateTime(c.pattern, d, us), c.us) << c.pattern;
        EXPECT_EQ(kv::FormatDateTime(c.pattern, d, eu), c.eu) << c.pattern;
    }
    EXPECT_EQ(kv::FormatDateTime("", 0.5, eu), "12:00:00"); // a time alone
    EXPECT_EQ(kv::FormatDateTime("", 0, eu), "30.12.1899");
    EXPECT_EQ(kv::FormatDateTime("dd.mm.yyyy", -1, eu), "29.12.1899");
    EXPECT_THROW(kv::FormatDateTime("", 1e9, eu), TkvVariantError);
    EXPECT_THROW(kv::FormatDateTime("", NAN, eu), TkvVariantError);
}

TEST(DateText, ParseInTheShortDateOrder) {
    const TkvFormatSettings us;
    const TkvFormatSettings eu = European();
    EXPECT_EQ(kv::ParseDate("15.11.1998", eu), Date(1998, 11, 15).toDouble());
    EXPECT_EQ(kv::ParseDate("11/15/98", us), Date(1998, 11, 15).toDouble());
    EXPECT_EQ(kv::ParseDate("1.2.03 10:30", eu), Date(2003, 2, 1, 10, 30).toDouble());
    EXPECT_DOUBLE_EQ(kv::ParseTime("2:43:35 pm", us), (14 * 3600 + 43 * 60 + 35) / 86400.0);
    for (const char* bad : {"", "31.02.2000", "15/11/1998", "1.2.3.4", "99999999999.1.1", "15.11.1998 25:00"})
        EXPECT_THROW(kv::ParseDate(bad, eu), TkvVariantError) << bad;
    EXPECT_THROW(kv::ParseTime("24:00", eu), TkvVariantError);
}

TEST(ValueOps, ArithmeticByKind) {
    const TkvFormatSettings fs;
    EXPECT_EQ(kvval::Add(V("a"), V("b"), fs), V("ab"));
    EXPECT_EQ(kvval::Add(V("5"), V(1), fs), V(int64_t(6)));
    EXPECT_EQ(kvval::Add(V(), V("x"), fs), V("x"));
    EXPECT_EQ(kvval::Add(V(2), V(0.5), fs), V(2.5));
    EXPECT_TRUE(kvval::Add(V::Null(), V(1), fs).isNull());
    EXPECT_EQ(kvval::Multiply(V(int64_t(1) << 62), V(4), fs), V(std::ldexp(1.0, 64))); // overflow -> float
    EXPECT_EQ(kvval::Subtract(V(7), V(10), fs), V(int64_t(-3)));
    EXPECT_EQ(kvval::Add(Date(2000, 1, 1), V(1), fs).kind(), V::Kind::DateTime);
    EXPECT_EQ(kvval::Subtract(Date(2000, 1, 2), Date(2000, 1, 1), fs), V(1.0));
    EXPECT_EQ(kvval::Modulo(V(7), V(3), fs), V(int64_t(1)));
    EXPECT_EQ(kvval::Modulo(V(std::numeric_limits<int64_t>::min()), V(-1), fs), V(int64_t(0)));
    EXPECT_EQ(kvval::And(V(true), V(false), fs), V(false));
    EXPECT_EQ(kvval::Or(V(12), V(3), fs), V(int64_t(15)));
    EXPECT_EQ(kvval::Negate(V(std::numeric_limits<int64_t>::min()), fs).kind(), V::Kind::Float);
    EXPECT_THROW(kvval::Add(V("abc"), V(1), fs), TkvVariantError);
    EXPECT_THROW(kvval::Modulo(V(1), V(0), fs), TkvVariantError);
    EXPECT_THROW(kvval::Divide(V(1), V(0), fs), TkvVariantError);
    EXPECT_THROW(kvval::ToInteger(V(1e30), fs), TkvVariantError);
    EXPECT_THROW(kvval::Multiply(V(1e300), V(1e300), fs), TkvVariantError);
}

TEST(ValueOps, ComparisonsAcrossKinds) {
    const TkvFormatSettings fs;
    struct Case {
        V a, b;
        Compare op;
        bool result;
    } cases[] = {
        {V("abc"), V("abd"), Compare::Less, true},
        {V("B"), V("a"), Compare::Less, true}, // by byte code, case-sensitive
        {V("10"), V(9), Compare::Greater, true},     // text and number as numbers
        {V("10"), V("9"), Compare::Greater, false},  // two texts as texts
        {V(2), V(2.0), Compare::Equal, true},
        {Date(2000, 1, 1), V(36526), Compare::Equal, true},
        {Date(2000, 1, 1), V("1/2/2000"), Compare::Less, true},
        {V(false), V(true), Compare::Less, true},
        {V(true), V(1), Compare::Equal, true},
        {V(true), V("True"), Compare::Equal, true},
        {V(), V(-5), Compare::Less, true},
        {V(), V(""), Compare::Less, true},
        {V(), V(), Compare::Equal, true},
        {V::Null(), V::Null(), Compare::Equal, true},
        {V::Null(), V(0), Compare::Equal, false},
        {V::Null(), V(0), Compare::NotEqual, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kvval::CompareValues(c.a, c.b, c.op, fs), c.result) << kvval::ToText(c.a, fs).constData();
    EXPECT_THROW(kvval::CompareValues(V::Null(), V(1), Compare::Less, fs), TkvVariantError);
    EXPECT_THROW(kvval::CompareValues(V("x"), V(1), Compare::Equal, fs), TkvVariantError);
}

TEST(ValueOps, TextForms) {
    const TkvFormatSettings eu = European();
    EXPECT_EQ(kvval::ToText(V(2.5), eu), "2,5");
    EXPECT_EQ(kvval::ToText(V(true), eu), "True");
    EXPECT_EQ(kvval::ToText(V::Null(), eu), "");
    EXPECT_EQ(kvval::ToText(Date(1998, 11, 15), eu), "15.11.1998");
    EXPECT_EQ(kvval::ToNumber(V("2,5"), eu), V(2.5));
}

TEST(DisplayFormat, FormatValueByWord) {
    TkvFormatSettings fs;
    fs.ThousandSeparator = ' ';
    const V d = Date(1998, 11, 15, 2, 43, 35);
    struct Case {
        V v;
        uint32_t word;
        const char* fmt;
        const char* out;
    } cases[] = {
        {V(1234.5), 0x100022C, "", "1234,5"},
        {V(1234.5), 0x101022C, "", "1234,50"},
        {V(1234.5), 0x102022C, "", "1 234,5"},
        {V(1234.5), 0x103022C, "", "1 234,50"},
        {V(1234.5), 0x104002E, "#,##0.00", "1 234.50"},
        {V("1234.5"), 0x101022C, "", "1234,50"},
        {V("abc"), 0x101022C, "", "abc"}, // no number: plain text
        {d, 0x2000000, "", "11.15.98"},
        {d, 0x2010000, "", "11.15.1998"},
        {d, 0x2020000, "", "15 Nov 1998"},
        {d, 0x2030000, "", "Sunday, November 15, 1998"},
        {d, 0x2040000, "yyyy-mm-dd", "1998-11-15"},
        {d, 0x3000000, "", "02:43:35"},
        {d, 0x3030000, "", "2:43"},
        {V(1), 0x4010000, "", "Yes"},
        {V(true), 0x4010000, "", "Yes"},
        {V(0), 0x4010000, "", "No"},
        {V(0), 0x4040000, "only", ""},
        {V(5), 0x4040000, "only", "only"},
        {V(2.5), 0x0000000, "", "2.5"},
        {V::Null(), 0x101022C, "", ""},
        {V("   "), 0x0000000, "", ""},
        {V(5), 0x7000000, "", ""},
        {V(1e300), 0x2000000, "", "1E300"}, // no date: plain text
    };
    for (const Case& c : cases)
        EXPECT_EQ(kv::FormatValue(c.v, c.word, c.fmt, fs), c.out) << std::hex << c.word;
}

TEST(DisplayFormat, InlineFormats) {
    struct Case {
        const char* expr;
        const char* rest;
        uint32_t word;
        const char* fmt;
    } cases[] = {
        {"[X] #N2.2", "[X]", 0x101022E, "keep"}, // fixed: the format text stays
        {"[X] #N#,##0.00", "[X]", 0x104002E, "#,##0.00"},
        {"[X] #2,3", "[X]", 0x101032C, "keep"},
        {"[X] #Ddd.mm.yyyy", "[X]", 0x2040000, "dd.mm.yyyy"},
        {"[X] #tHH:nn", "[X]", 0x2040000, "HH:nn"},
        {"[X] #BNo;Yes", "[X]", 0x4040000, "No;Yes"},
        {"[X] #xyz", "[X]", 0x7, "xyz"},
        {"[X] #", "[X]", 0x7, ""},
        {"[X]", "[X]", 0x7, "keep"},
    };
    for (const Case& c : cases) {
        const kv::TkvInlineFormat f = kv::ParseInlineFormat(c.expr, 0x7, "keep");
        EXPECT_EQ(f.Expression, c.rest) << c.expr;
        EXPECT_EQ(f.Word, c.word) << c.expr;
        EXPECT_EQ(f.Format, c.fmt) << c.expr;
    }
    EXPECT_THROW(kv::ParseInlineFormat("[X] #N1.256", 0, ""), TkvExpressionError);
}

// Answers every expression with one preset value.
class FixedEvaluator : public TkvExpressionEvaluator {
public:
    explicit FixedEvaluator(V v) : value(std::move(v)) {}
    TkvVariant Evaluate(const QByteArray& e) override {
        asked = e;
        return value;
    }
    QByteArray ConvertToPostfix(const QByteArray& e) override { return e; }
    TkvVariant EvaluatePostfix(const QByteArray& e) override { return value; }
    const TkvFormatSettings& FormatSettings() const override { return fs; }
    V value;
    QByteArray asked;
    TkvFormatSettings fs;
};

TEST(DisplayFormat, ExpressionToTextHidesZerosButNotTexts) {
    struct Case {
        V v;
        bool hide;
        const char* out;
    } cases[] = {
        {V(0), true, ""}, {V(0.0), true, ""}, {V("0"), true, "0"}, {V(0), false, "0"}, {V("abc"), true, "abc"},
    };
    for (const Case& c : cases) {
        FixedEvaluator e(c.v);
        EXPECT_EQ(kv::ExpressionToText("[X]", 0, "", c.hide, e), c.out);
    }
    FixedEvaluator e(V(3.14159));
    EXPECT_EQ(kv::ExpressionToText("[Pi] #N2.2", 0, "", false, e), "3.14");
    EXPECT_EQ(e.asked, "[Pi]");
}

} // namespace
