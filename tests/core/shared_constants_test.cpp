// Colour names, font style codes, the named-value list and the constants list.
#include "base/constants.h"
#include "base/constants_list.h"
#include "core/library_tables.h"
#include "base/variables.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The colour table is the one source: every entry is found by its name (in any case) and named by its
// value; the system colours follow the plain ones without gaps.
TEST(ColorNames, EveryEntryRoundTripsAndSystemColoursRunWithoutGaps) {
    ASSERT_EQ(kv::kColorNames.size(), 42u);
    std::set<QByteArray> names;
    for (const auto& entry : kv::kColorNames) {
        const QByteArray name(entry.Name);
        EXPECT_TRUE(names.insert(name.toUpper()).second) << entry.Name;
        EXPECT_TRUE(name.startsWith("cl")) << entry.Name;
        uint32_t v = 0;
        EXPECT_TRUE(kv::ColorByName(name.toUpper(), v)) << entry.Name;
        EXPECT_EQ(v, entry.Value) << entry.Name;
        EXPECT_EQ(kv::ColorName(entry.Value), name);
    }
    EXPECT_STREQ(kv::kColorNames[17].Name, "clScrollBar");
    for (size_t i = 17; i < 42; ++i)
        EXPECT_EQ(kv::kColorNames[i].Value, 0x80000000u + (i - 17));
    uint32_t v = 0;
    EXPECT_FALSE(kv::ColorByName("clPink", v));
    EXPECT_EQ(kv::ColorName(0x123456), "");
}

TEST(FontStyleCode, BoldIsTwoAndItalicIsOne) {
    using S = kv::TkvFontStyleSet;
    EXPECT_EQ(kv::FontStyleToCode(S{.Bold = true}), 2);
    EXPECT_EQ(kv::FontStyleToCode(S{.Italic = true}), 1);
    EXPECT_EQ(kv::FontStyleToCode(S{true, true, true, true}), 15);
    EXPECT_EQ(kv::FontStyleToCode(S{}), 0);
    EXPECT_EQ(kv::CodeToFontStyle(3), (S{.Bold = true, .Italic = true}));
    EXPECT_EQ(kv::CodeToFontStyle(12), (S{.Underline = true, .StrikeOut = true}));
    // Only the four style bits count.
    EXPECT_EQ(kv::CodeToFontStyle(0x12), (S{.Bold = true}));
    for (int code = 0; code < 16; ++code)
        EXPECT_EQ(kv::FontStyleToCode(kv::CodeToFontStyle(code)), code);
}

TEST(Variables, NamesIgnoreCaseAndSortedModeKeepsOrder) {
    TkvVariables v(true);
    v.SetVariable("beta", 2);
    v.SetVariable("Alpha", 1);
    v.SetVariable("gamma", 3);
    v.SetVariable("ALPHA", 10); // overwrites, keeps the first spelling
    ASSERT_EQ(v.Count(), 3);
    EXPECT_EQ(v.Name(0), "Alpha");
    EXPECT_EQ(v.Name(1), "beta");
    EXPECT_EQ(v.Name(2), "gamma");
    EXPECT_EQ(v.GetVariable("alpha"), TkvVariant(10));
    EXPECT_TRUE(v.GetVariable("delta").isNull());
    EXPECT_EQ(v.IndexOf("GAMMA"), 2);
    EXPECT_EQ(v.IndexOf("delta"), -1);
    // Insertion order is remembered.
    const std::vector<int> order = v.InsertionOrder();
    EXPECT_EQ((std::vector<int>{1, 0, 2}), order);
}

TEST(Variables, OutOfRangeIndexesReadDefaultsAndWritesAreIgnored) {
    TkvVariables v;
    v.SetVariable("b", 1);
    v.SetVariable("a", 2);
    EXPECT_EQ(v.Name(0), "b"); // unsorted: insertion order
    EXPECT_EQ(v.Name(5), "");
    EXPECT_EQ(v.Value(-1), TkvVariant(0));
    v.SetValue(7, 9);
    v.SetName(7, "x");
    v.Delete(7);
    EXPECT_EQ(v.Count(), 2);
    v.SetName(0, "A"); // would clash with "a": ignored
    EXPECT_EQ(v.Name(0), "b");
    v.Insert(1, "c");
    EXPECT_EQ(v.Name(1), "c");
    EXPECT_EQ(v.Value(1), TkvVariant(0));
    v.Insert(0, "C"); // already there
    EXPECT_EQ(v.Count(), 3);
    v.SetSorted(true);
    EXPECT_EQ(v.Name(0), "a");
    EXPECT_EQ(v.Name(2), "c");
    v.Delete(0);
    EXPECT_EQ(v.IndexOf("b"), 0);
}

TEST(ConstantsList, HoldsTheNamedConstantsInTheirFixedOrder) {
    TkvVariables list; // unsorted, so the filling order shows
    kv::FillConstantsList(list);
    ASSERT_EQ(list.Count(), 42 + 5 + 2 + 4 + 5 + 6 + 8 + 6 + 8);
    EXPECT_EQ(list.Name(42), "mrNone");
    EXPECT_EQ(list.Name(47), "CRLF");
    EXPECT_EQ(list.Name(48), "Null");
    EXPECT_EQ(list.Name(49), "fsBold");
    EXPECT_EQ(list.Name(list.Count() - 1), "mb_IconWarning");
    // Every colour, as a signed 32-bit integer like the colour properties read it.
    for (size_t i = 0; i < kv::kColorNames.size(); ++i) {
        EXPECT_EQ(list.Name(int(i)), kv::kColorNames[i].Name);
        EXPECT_EQ(list.GetVariable(kv::kColorNames[i].Name),
                  TkvVariant(int64_t(int32_t(kv::kColorNames[i].Value))));
    }
    EXPECT_EQ(list.GetVariable("crlf"), TkvVariant(QByteArray("\r\n")));
    EXPECT_TRUE(list.GetVariable("Null").isNull());
    EXPECT_EQ(list.GetVariable("mrNo"), TkvVariant(7));
    EXPECT_EQ(list.GetVariable("fsBold"), TkvVariant(2));
    EXPECT_EQ(list.GetVariable("kvtaDown"), TkvVariant(16));
    EXPECT_EQ(list.GetVariable("baRest"), TkvVariant(7));
    EXPECT_EQ(list.GetVariable("psDouble"), TkvVariant(5));
    EXPECT_EQ(list.GetVariable("mb_YesNoCancel"), TkvVariant(3));
    EXPECT_EQ(list.GetVariable("mb_IconWarning"), TkvVariant(48));

    // The library's own list is sorted by name and remembers the fixed order.
    const TkvVariables& shared = kv::ConstantsList();
    ASSERT_EQ(shared.Count(), list.Count());
    EXPECT_TRUE(shared.Sorted());
    for (int i = 1; i < shared.Count(); ++i)
        EXPECT_LT(shared.Name(i - 1).compare(shared.Name(i), Qt::CaseInsensitive), 0);
    EXPECT_EQ(shared.Name(shared.InsertionOrder().front()), "clWhite");
}

} // namespace
