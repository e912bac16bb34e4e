// Properties by name: every property the inspector lists for a class reads back through a script
// what a script wrote, so the inspector's list and the script's accessors name the same field.
#include "core/report/page.h"
#include "core/views/band_view.h"
#include "core/views/line_view.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "core/views/rich_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct ClassCase {
    const char* name;
    std::function<std::unique_ptr<TkvObject>()> make;
};

void PrintTo(const ClassCase& c, std::ostream* os) {
    *os << c.name;
}

// Writes two different values to each listed boolean and integer property and reads each back.
// Page paper sizes go through the printer's paper table and are left out.
void ExpectRoundTrips(TkvObject& o, const char* cls) {
    o.RegisterProperties();
    ASSERT_FALSE(o.PropertyTable.empty()) << cls;
    std::vector<QByteArray> names;
    for (const auto& p : o.PropertyTable)
        names.push_back(p->PropName);
    for (const QByteArray& name : names) {
        const TkvPropRec* rec = o.FindProperty(name);
        ASSERT_NE(rec, nullptr) << cls << "." << name.constData();
        const uint16_t kind = rec->PropKind;
        if (kind == kvpk::Boolean) {
            for (bool v : {true, false, true}) {
                o.SetProperty(name, v);
                EXPECT_EQ(o.Property(name.toUpper()).toBool(), v) << cls << "." << name.constData();
            }
        } else if ((kind == kvpk::Integer || kind == kvpk::PageUnits) && name != "Width" &&
                   name != "Height") {
            for (int v : {7, 11}) {
                o.SetProperty(name.toLower(), v);
                EXPECT_EQ(o.Property(name).toInt(), v) << cls << "." << name.constData();
            }
        }
    }
}

class PropertyDescriptorTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(PropertyDescriptorTest, ListedPropertiesReadBackWhatScriptsWrite) {
    std::unique_ptr<TkvObject> o = GetParam().make();
    ExpectRoundTrips(*o, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, PropertyDescriptorTest,
    ::testing::Values(ClassCase{"Memo", [] { return std::make_unique<TkvMemoView>(); }},
                      ClassCase{"Picture", [] { return std::make_unique<TkvPictureView>(); }},
                      ClassCase{"Line", [] { return std::make_unique<TkvLineView>(); }},
                      ClassCase{"Rich", [] { return std::make_unique<TkvRichView>(); }},
                      ClassCase{"ReportPage", [] { return std::make_unique<TkvPage>(); }},
                      ClassCase{"DialogPage",
                                [] {
                                    auto p = std::make_unique<TkvPage>();
                                    p->SetProperty("Type", int(kvpt::Dialog));
                                    return p;
                                }}),
    [](const ::testing::TestParamInfo<ClassCase>& i) { return std::string(i.param.name); });

// The band lists other settings for each band type; all of them round trip outside a build.
TEST(PropertyDescriptorBandTest, EveryBandTypeListsPropertiesThatReadBack) {
    for (int t = 0; t < kvbt::Count; ++t) {
        TkvBandView band;
        band.SetBandType(t);
        ExpectRoundTrips(band, ("Band type " + std::to_string(t)).c_str());
    }
}

// A name the class does not describe reads as null and writing it changes nothing.
TEST(PropertyDescriptorNamesTest, UnknownNamesReadAsNullAndWriteNothing) {
    TkvMemoView m;
    const int left = m.Left;
    m.SetProperty("NoSuchProperty", 5);
    EXPECT_TRUE(m.Property("NoSuchProperty").isNull());
    EXPECT_EQ(m.Left, left);
    // Editors without a value of their own read as null as well.
    EXPECT_TRUE(m.Property("Font").isNull());
}

} // namespace

namespace {

// The inspector's editors are the designer's editors in the active context when the table is listed.
TEST(PropertyDescriptorNamesTest, ListedEditorsAreThoseOfTheActiveContext) {
    TkvObject* edited = nullptr;
    TkvPictureView v;
    {
        const TkvSetForScope<TkvEditorProc> tag(kv::Library().Editors.Tag,
                                                [&edited](TkvObject* o) { edited = o; });
        v.RegisterProperties();
    }
    ASSERT_TRUE(v.FindProperty("Tag")->EditorProc);
    v.FindProperty("Tag")->EditorProc(&v);
    EXPECT_EQ(edited, &v);
    EXPECT_FALSE(v.FindProperty("DataField")->EditorProc) << "no field chooser installed";
    v.RegisterProperties();
    EXPECT_FALSE(v.FindProperty("Tag")->EditorProc) << "listed again after the scope: no editor";
}

} // namespace
