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
