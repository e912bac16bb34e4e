// Colour names, font style codes, the named-value list and the constants list.
#include "base/constants.h"
#include "base/constants_list.h"
#include "core/library_tables.h"
#include "base/variables.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorNames, FixedOrderAndValues) {
    ASSERT_EQ(kv::kColorNames.size(), 42u);
    struct Case {
        size_t index;
        const char* name;
        uint32_t value;
    };
    const Case cases[] = {{0, "clWhite", 0xFFFFFF},          {2, "clMaroon", 0x000080},
                          {10, "clRed", 0x0000FF},           {13, "clBlue", 0xFF0000},
                          {16, "clTransparent", 0x1FFFFFFF}, {17, "clScrollBar", 0x80000000},
                          {32, "clBtnFace", 0x8000000F},     {41, "clInfoBk", 0x80000018}};
    for (const Case& c : cases) {
        EXPECT_STREQ(kv::kColorNames[c.index].Name, c.name);
        EXPECT_EQ(kv::kColorNames[c.index].Value, c.value) << c.name;
    }
    // The system colours run without gaps from 17 (n = 0) to 41 (n = 24).
    for (size_t i = 17; i < 42; ++i)
        EXPECT_EQ(kv::kColorNames[i].Value, 0x80000000u + (i - 17));
    uint32_t v = 0;
    EXPECT_TRUE(kv::ColorByName("CLSILVER", v));
    EXPECT_EQ(v, 0xC0C0C0u);
    EXPECT_FALSE(kv::ColorByName("clPink", v));
    EXPECT_EQ(kv::ColorName(0x8000000F), "clBtnFace");
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

TEST(ConstantsList, HoldsTheNamedConstantsInTheDocumentedOrder) {
    TkvVariables list; // unsorted, so the filling order shows
    kv::FillConstantsList(list);
    ASSERT_EQ(list.Count(), 42 + 5 + 2 + 4 + 5 + 6 + 8 + 6 + 8);
    EXPECT_EQ(list.Name(0), "clWhite");
    EXPECT_EQ(list.Name(41), "clInfoBk");
    EXPECT_EQ(list.Name(42), "mrNone");
    EXPECT_EQ(list.Name(47), "CRLF");
    EXPECT_EQ(list.Name(48), "Null");
    EXPECT_EQ(list.Name(49), "fsBold");
    EXPECT_EQ(list.Name(list.Count() - 1), "mb_IconWarning");
    // Colours as signed 32-bit integers, like the colour properties read them.
    EXPECT_EQ(list.GetVariable("clBtnFace"), TkvVariant(int64_t(int32_t(0x8000000F))));
    EXPECT_EQ(list.GetVariable("clTransparent"), TkvVariant(int64_t(0x1FFFFFFF)));
    EXPECT_EQ(list.GetVariable("crlf"), TkvVariant(QByteArray("\r\n")));
    EXPECT_TRUE(list.GetVariable("Null").isNull());
    EXPECT_EQ(list.GetVariable("mrNo"), TkvVariant(7));
    EXPECT_EQ(list.GetVariable("fsBold"), TkvVariant(2));
    EXPECT_EQ(list.GetVariable("kvtaDown"), TkvVariant(16));
    EXPECT_EQ(list.GetVariable("baRest"), TkvVariant(7));
    EXPECT_EQ(list.GetVariable("psDouble"), TkvVariant(5));
    EXPECT_EQ(list.GetVariable("mb_YesNoCancel"), TkvVariant(3));
    EXPECT_EQ(list.GetVariable("mb_IconWarning"), TkvVariant(48));

    // The library's own list is sorted by name and remembers the documented order.
    const TkvVariables& shared = kv::ConstantsList();
    ASSERT_EQ(shared.Count(), list.Count());
    EXPECT_TRUE(shared.Sorted());
    for (int i = 1; i < shared.Count(); ++i)
        EXPECT_LT(shared.Name(i - 1).compare(shared.Name(i), Qt::CaseInsensitive), 0);
    EXPECT_EQ(shared.Name(shared.InsertionOrder().front()), "clWhite");
}

} // namespace
