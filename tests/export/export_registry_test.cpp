// The export filter registry: one entry per class and mask, standby filters of later document
// windows, the 64-entry limit.
#include "export/export_registry.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class TextFilter : public TkvExportFilter {
public:
    const char* ClassName() const override { return "TkvTextExport"; }
};

class RtfFilter : public TkvExportFilter {
public:
    const char* ClassName() const override { return "TkvRTFExport"; }
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { kv::ClearExportFilters(); }
    void TearDown() override { kv::ClearExportFilters(); }
};

} // namespace

TEST_F(RegistryTest, ExportFiltersRefuseSameClassAndMaskOnly) {
    TextFilter a, b;
    RtfFilter r;
    EXPECT_TRUE(kv::RegisterExportFilter(&a, "ASCII Text file (*.txt)", "*.txt"));
    EXPECT_TRUE(kv::RegisterExportFilter(&a, "CSV", "*.csv")); // same class, other mask
    EXPECT_FALSE(kv::RegisterExportFilter(&b, "ASCII Text file (*.txt)", "*.txt"));
    EXPECT_TRUE(kv::RegisterExportFilter(&r, "Rich Text file (*.rtf)", "*.rtf"));
    ASSERT_EQ(kv::ExportFilters().size(), 3u);
    EXPECT_EQ(kv::ExportFilters()[0].Filter, &a);
    EXPECT_EQ(kv::ExportFilters()[1].FileMask, "*.csv");
    EXPECT_EQ(kv::ExportFilters()[2].ClassName, "TkvRTFExport");

    // The last entry of the filter goes first; the gap closes.
    kv::UnregisterExportFilter(&a);
    ASSERT_EQ(kv::ExportFilters().size(), 2u);
    EXPECT_EQ(kv::ExportFilters()[0].FileMask, "*.txt");
    EXPECT_EQ(kv::ExportFilters()[1].Filter, &r);
}

// Two document windows each create a text filter: the second is refused. When the first window
// closes, its entry must neither dangle nor vanish: the second window's filter takes it over.
TEST_F(RegistryTest, RefusedFilterTakesOverWhenTheRegisteredOneGoes) {
    auto first = std::make_unique<TextFilter>();
    auto second = std::make_unique<TextFilter>();
    RtfFilter r;
    ASSERT_TRUE(kv::RegisterExportFilter(first.get(), "Text", "*.txt"));
    ASSERT_TRUE(kv::RegisterExportFilter(&r, "RTF", "*.rtf"));
    ASSERT_FALSE(kv::RegisterExportFilter(second.get(), "Text", "*.txt"));

    kv::UnregisterExportFilter(first.get());
    first.reset();
    ASSERT_EQ(kv::ExportFilters().size(), 2u);
    EXPECT_EQ(kv::ExportFilters()[0].Filter, second.get()); // keeps its place in the list
    EXPECT_EQ(kv::ExportFilters()[1].Filter, &r);

    kv::UnregisterExportFilter(second.get());
    ASSERT_EQ(kv::ExportFilters().size(), 1u);
    EXPECT_EQ(kv::ExportFilters()[0].Filter, &r);
    kv::UnregisterExportFilter(second.get()); // no entry left: nothing happens
    EXPECT_EQ(kv::ExportFilters().size(), 1u);
}

// Each window exports through its own filters: the registry's entry of a class and mask names the
// first window's filter, whose options and dialog belong to that window.
TEST_F(RegistryTest, EachWindowGetsItsOwnFiltersForTheEntries) {
    TextFilter text1, text2;
    RtfFilter rtf1;
    ASSERT_TRUE(kv::RegisterExportFilter(&text1, "Text", "*.txt"));
    ASSERT_TRUE(kv::RegisterExportFilter(&rtf1, "RTF", "*.rtf"));
    ASSERT_TRUE(kv::RegisterExportFilter(&text1, "CSV", "*.csv"));
    ASSERT_FALSE(kv::RegisterExportFilter(&text2, "Text", "*.txt")); // standby

    struct Case {
        std::vector<TkvExportFilter*> own;
        std::vector<TkvExportFilter*> served; // per entry: txt, rtf, csv
    };
    const Case cases[] = {
        {{}, {&text1, &rtf1, &text1}},
        {{&text1, &rtf1}, {&text1, &rtf1, &text1}},
        // The second window has no filter registered for *.csv nor any RTF filter: those
        // entries stay with the registered filters.
        {{&text2}, {&text2, &rtf1, &text1}},
    };
    for (const Case& c : cases) {
        const std::vector<TkvExportFilterInfo> entries = kv::ExportFiltersFor(c.own);
        ASSERT_EQ(entries.size(), 3u);
        for (size_t e = 0; e < entries.size(); ++e) {
            EXPECT_EQ(entries[e].Filter, c.served[e]) << "entry " << e << " for " << c.own.size() << " own";
            EXPECT_EQ(entries[e].FileMask, kv::ExportFilters()[e].FileMask);
        }
    }
}

TEST_F(RegistryTest, ExportRegistryHoldsAtMost64Entries) {
    std::vector<std::unique_ptr<TextFilter>> filters;
    for (int i = 0; i < 65; ++i) {
        filters.push_back(std::make_unique<TextFilter>());
        EXPECT_EQ(kv::RegisterExportFilter(filters.back().get(), "f", "*." + QByteArray::number(i)), i < 64);
    }
    EXPECT_EQ(kv::ExportFilters().size(), 64u);
    filters.clear(); // destroyed filters leave the registry
    EXPECT_TRUE(kv::ExportFilters().empty());
}
