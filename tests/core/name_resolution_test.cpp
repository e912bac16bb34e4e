// Resolving names written in templates: components, datasets and fields, band data sources,
// object properties.
#include "core/globals.h"
#include "core/library_context.h"
#include "core/report/page.h"
#include "core/report/name_resolution.h"
#include "core/report/report.h"
#include "core/views/band.h"
#include "core/views/view_factory.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

class FontView : public TkvView {
public:
    void Draw(TkvCanvas&) override {}
    void RegisterProperties() override {
        TkvView::RegisterProperties();
        AddProperty("Font", kvpk::Editor);
    }
};

// A small component tree: forms and modules own components; a frame owns its own.
class FakeComponent : public TkvComponent {
public:
    FakeComponent(QByteArray name, QByteArray cls, FakeComponent* owner = nullptr)
        : name_(name), cls_(cls), owner_(owner) {
        if (owner) owner->children_.push_back(this);
    }
    QByteArray ComponentName() const override { return name_; }
    TkvComponent* ComponentOwner() const override { return owner_; }
    bool InheritsFrom(const QByteArray& c) const override {
        return c == cls_ || (c == "TDataSet" && IsDataset());
    }
    int ComponentCount() const override { return static_cast<int>(children_.size()); }
    TkvComponent* ComponentAt(int i) const override { return children_[static_cast<size_t>(i)]; }
    bool IsFrame() const override { return cls_ == "TFrame"; }
    bool IsDataset() const override { return cls_ == "TTable" || cls_ == "TkvUserDataset"; }
    bool HasField(const QByteArray& f) const override { return fields_.contains(f); }
    void InitDataset() override { ++inits; }
    TkvComponent* FindComponent(const QByteArray& name) const override {
        if (raises) throw std::runtime_error("platform failure");
        return TkvComponent::FindComponent(name);
    }

    QList<QByteArray> fields_;
    int inits = 0;
    bool raises = false;

private:
    QByteArray name_, cls_;
    FakeComponent* owner_;
    std::vector<TkvComponent*> children_;
};

class FakeDirectory : public TkvComponentDirectory {
public:
    std::vector<TkvComponent*> GlobalComponents() const override { return globals; }
    TkvComponent* ReportComponent(const TkvReport*) const override { return report; }
    std::vector<TkvComponent*> globals;
    TkvComponent* report = nullptr;
};

class NameResolutionTest : public ::testing::Test {
protected:
    NameResolutionTest() {
        table1.fields_ = {"Price", "A.B"};
        moduleTable.fields_ = {"Id"};
        frameTable.fields_ = {"X"};
        directory.globals = {&form1, &module1};
        directory.report = &reportComponent;
        kv::SetComponentDirectory(&directory);

        auto page1 = std::make_unique<TkvPage>();
        auto page2 = std::make_unique<TkvPage>();
        auto memo = std::make_unique<FontView>();
        memo->Name = "Memo1";
        memo->Memo = {"[Price]", "x"};
        memoView = memo.get();
        page2->Objects.push_back(std::move(memo));
        page1Ptr = page1.get();
        page2Ptr = page2.get();
        report.Name = "Report1";
        report.Pages.push_back(std::move(page1));
        report.Pages.push_back(std::move(page2));
        kv::CurReport() = &report;
        kv::CurView() = memoView;
    }
    ~NameResolutionTest() override {
        kv::SetComponentDirectory(nullptr);
        kv::CurReport() = nullptr;
        kv::CurView() = nullptr;
        kv::Library().CountDatasetFactory = nullptr;
    }

    FakeComponent form1{"Form1", "TForm"};
    FakeComponent table1{"Table1", "TTable", &form1};
    FakeComponent reportComponent{"kvReport1", "TkvReport", &form1};
    FakeComponent frame1{"Frame1", "TFrame", &form1};
    FakeComponent frameTable{"Table9", "TTable", &frame1};
    FakeComponent label{"Label1", "TLabel", &form1};
    FakeComponent module1{"DataModule1", "TDataModule"};
    FakeComponent moduleTable{"Query1", "TTable", &module1};
    FakeDirectory directory;
    TkvReport report;
    TkvView* memoView = nullptr;
    TkvPage* page1Ptr = nullptr;
    TkvPage* page2Ptr = nullptr;
};

TEST_F(NameResolutionTest, FindComponentByBareAndDottedNames) {
    EXPECT_EQ(kv::ReportOwnerComponent(), &form1);
    EXPECT_EQ(kv::FindComponentByName(&form1, "table1"), &table1);
    EXPECT_EQ(kv::FindComponentByName(&form1, "Query1"), nullptr);
    EXPECT_EQ(kv::FindComponentByName(nullptr, "DataModule1.Query1"), &moduleTable);
    EXPECT_EQ(kv::FindComponentByName(nullptr, "Form1.Frame1.Table9"), &frameTable);
    EXPECT_EQ(kv::FindComponentByName(nullptr, "Form1.Nothing.Table9"), nullptr);
    EXPECT_EQ(kv::FindComponentByName(nullptr, "NoForm.Table1"), nullptr);
    EXPECT_EQ(kv::FindComponentByName(&form1, ""), nullptr);

    module1.raises = true;
    try {
        kv::FindComponentByName(nullptr, "DataModule1.Query1");
        FAIL() << "no failure raised";
    } catch (const TkvClassNotFound& e) {
        EXPECT_STREQ(e.what(), "Missing DataModule1.Query1");
    }
}

TEST_F(NameResolutionTest, FindDatasetAndFieldByPathAndQuotes) {
    struct Case {
        const char* text;
        TkvComponent* start;
        TkvComponent* dataset;
        const char* field;
    };
    const Case cases[] = {
        {"Price", &table1, &table1, "Price"},
        {"Price", nullptr, nullptr, ""},
        {"Table1.Price", nullptr, &table1, "Price"},
        {"Table1.\"Price\"", nullptr, &table1, "Price"},
        {"Table1.\"A.B\"", nullptr, &table1, "A.B"},
        {"Table1.Missing", nullptr, &table1, ""},
        {"Form1.Table1.Price", nullptr, &table1, "Price"},
        {"DataModule1.Query1.Id", nullptr, &moduleTable, "Id"},
        {"Form1.Frame1.Table9.X", nullptr, &frameTable, "X"},
        {"Label1.Caption", nullptr, nullptr, ""}, // not a dataset
        {"Nothing.Price", &table1, nullptr, ""},
    };
    for (const Case& c : cases) {
        TkvComponent* ds = c.start;
        EXPECT_EQ(kv::FindDatasetAndField(c.text, ds), QByteArray(c.field)) << c.text;
        EXPECT_EQ(ds, c.dataset) << c.text;
    }
}

TEST_F(NameResolutionTest, BandDataSourceByCountOrByName) {
    kv::Library().CountDatasetFactory = [](int32_t count) {
        auto ds = std::make_unique<FakeComponent>("", "TkvUserDataset");
        ds->fields_ = {QByteArray::number(count)};
        return ds;
    };
    kv::TkvBandDataSource byCount = kv::FindBandDataSource("5");
    ASSERT_TRUE(byCount.Created());
    EXPECT_TRUE(byCount.Dataset->HasField("5"));
    EXPECT_EQ(static_cast<FakeComponent*>(byCount.Dataset)->inits, 1);

    kv::TkvBandDataSource byName = kv::FindBandDataSource("Table1");
    EXPECT_FALSE(byName.Created());
    EXPECT_EQ(byName.Dataset, &table1);
    EXPECT_EQ(table1.inits, 1);

    EXPECT_EQ(kv::FindBandDataSource("Label1").Dataset, nullptr);
    EXPECT_EQ(kv::FindBandDataSource("Nothing").Dataset, nullptr);
    EXPECT_EQ(kv::FindBandDataSource("").Dataset, nullptr);
    EXPECT_EQ(kv::FindBandDataSource("0").Dataset, nullptr); // 0 is not a record count
    EXPECT_THROW(kv::FindBandDataSource("5x"), TkvVariantError);
}

TEST_F(NameResolutionTest, ResolveObjectProperty) {
    struct Case {
        const char* text;
        TkvObject* object;
        const char* prop;
    };
    const Case cases[] = {
        {"Visible", memoView, "Visible"},
        {"Page2.Visible", page2Ptr, "Visible"},
        {"page1.Visible", page1Ptr, "Visible"},
        {"Page3.Visible", nullptr, "Visible"}, // no third page
        {"Memo1.Font.Name", memoView, "Font.Name"},
        {"Font.Name", memoView, "Font.Name"}, // no view named Font: CurView's property
        {"Frame.Width", nullptr, "Width"},    // neither a view nor a property of CurView
    };
    for (const Case& c : cases) {
        const kv::TkvObjectProperty r = kv::ResolveObjectProperty(c.text);
        EXPECT_EQ(r.Object, c.object) << c.text;
        EXPECT_EQ(r.PropName, QByteArray(c.prop)) << c.text;
    }
}

TEST_F(NameResolutionTest, ListComponentsOfAClassQualifiesByOwner) {
    std::vector<std::pair<QByteArray, TkvComponent*>> got;
    for (const auto& e : kv::ListComponentsOfClass("TDataSet", &form1))
        got.emplace_back(e.Name, e.Component);
    const std::vector<std::pair<QByteArray, TkvComponent*>> want = {
        {"Table1", &table1}, {"Form1.Frame1.Table9", &frameTable}, {"DataModule1.Query1", &moduleTable}};
    EXPECT_EQ(got, want);
    // The report itself is never listed.
    EXPECT_TRUE(kv::ListComponentsOfClass("TkvReport", &form1).empty());
    got.clear();
    for (const auto& e : kv::ListComponentsOfClass("TDataSet", &module1))
        got.emplace_back(e.Name, e.Component);
    EXPECT_EQ(got.front().first, "Form1.Table1");
    EXPECT_EQ(got.back().first, "Query1");
}

// The current objects are borrowed: one that is destroyed while current must not stay behind
// for the next name resolution (a script assignment reads CurView) to follow.
TEST(CurrentObjects, AnObjectThatGoesAwayIsNoLongerCurrent) {
    struct StubBand : TkvBand {
        int BandTop() const override { return 0; }
        int BandHeight() const override { return 0; }
        int BandWidth() const override { return 0; }
        uint16_t BandFlags() const override { return 0; }
        int BandType() const override { return 0; }
    };
    const TkvCurrentObjectsScope scope;
    {
        FontView view;
        TkvPage page;
        StubBand band;
        kv::CurView() = &view;
        kv::CurPage() = kv::DesignerPage() = &page;
        kv::CurBand() = &band;
    }
    EXPECT_EQ(kv::CurView(), nullptr);
    EXPECT_EQ(kv::CurPage(), nullptr);
    EXPECT_EQ(kv::DesignerPage(), nullptr);
    EXPECT_EQ(kv::CurBand(), nullptr);
    EXPECT_EQ(kv::ResolveObjectProperty("Visible").Object, nullptr);

    // Another object that is current stays current when one that is not goes away.
    FontView current;
    kv::CurView() = &current;
    { FontView passing; }
    EXPECT_EQ(kv::CurView(), &current);
}

} // namespace

// The report's main data source and a view's bound data set are components, not untyped pointers:
// the engine hands its datasets over and gets them back without casts from void.
static_assert(std::is_same_v<decltype(TkvReport::Dataset), TkvComponent*>);
static_assert(!std::is_same_v<decltype(TkvView::BoundDataSet), void*>);
static_assert(!std::is_assignable_v<TkvComponent*&, int*>);
