// The inspector's rows without a window: display forms and row values per kind, sizes in the
// designer's unit, the rows of a selection, applying a row under restrictions, renaming that keeps
// references, the page "Type" question and failed setters leaving objects as they were.
#include "core/object.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "designer/insp_model.h"
#include "designer/insp_values.h"

#include <gtest/gtest.h>

namespace {

TkvInspRow MakeRow(uint16_t kind, const QByteArray& text, TkvStringList names = {}, TkvVariant values = {}) {
    TkvInspRow r;
    r.Name = "P";
    r.DataType = kind;
    r.Text = text;
    r.Enum = std::move(names);
    r.EnumValues = std::move(values);
    return r;
}

const TkvStringList kStyles = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psDouble"};
const TkvVariant kStyleValues = QList<TkvVariant>{0, 1, 2, 3, 4, 5};
const TkvStringList kPositions = {"poDesigned", "poScreenCenter"};
const TkvVariant kPositionValues = QList<TkvVariant>{0, 4};

TEST(InspDisplayForm, ByKind) {
    struct Case {
        TkvVariant value;
        uint16_t kind;
        TkvStringList names;
        TkvVariant values;
        QByteArray shown;
    } cases[] = {
        {1.0, kvpk::Real, {}, {}, "1.00"},
        {"2,5", kvpk::Real, {}, {}, "2.50"},
        {0.125, kvpk::PageUnits | kvpk::Real, {}, {}, "0.13"},
        {true, kvpk::Boolean, {}, {}, "True"},
        {"true", kvpk::Boolean, {}, {}, "True"},
        {"-1", kvpk::Boolean, {}, {}, "True"},
        {"0", kvpk::Boolean, {}, {}, "False"},
        {"yes", kvpk::Boolean, {}, {}, "False"},
        {0x0000FF, kvpk::Color, {}, {}, "clRed"},
        {0xFF0000, kvpk::Color, {}, {}, "clBlue"},
        {0x123456, kvpk::Color, {}, {}, "$123456"},
        {0x0000AB, kvpk::Color, {}, {}, "$0000AB"},
        {int64_t(int32_t(0x8000000F)), kvpk::Color, {}, {}, "clBtnFace"},
        {0x1FFFFFFF, kvpk::Color, {}, {}, "clTransparent"},
        {5, kvpk::Enum, kStyles, kStyleValues, "psDouble"},
        {"4", kvpk::Enum, kPositions, kPositionValues, "poScreenCenter"},
        {7, kvpk::Enum, kPositions, kPositionValues, "7"},
        {"baNone", kvpk::Enum, {"baNone"}, {}, "baNone"},
        {"text", kvpk::Text, {}, {}, "text"},
        {42, kvpk::Integer, {}, {}, "42"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kvinsp::DisplayForm(c.value, c.kind, c.names, c.values), c.shown)
            << c.value.toText().constData();
}

TEST(InspRowValue, ByKind) {
    struct Case {
        TkvInspRow row;
        TkvVariant value;
    } cases[] = {
        {MakeRow(kvpk::Text, "abc"), "abc"},
        {MakeRow(kvpk::Text | kvpk::Editor, "[Price]"), "[Price]"},
        {MakeRow(kvpk::Integer, "12"), int64_t(12)},
        {MakeRow(kvpk::Integer, " $1F "), int64_t(31)},
        {MakeRow(kvpk::Integer, "-3"), int64_t(-3)},
        {MakeRow(kvpk::Real, "1,5"), 1.5},
        {MakeRow(kvpk::Real, "2.25"), 2.25},
        {MakeRow(kvpk::Boolean, "true"), true},
        {MakeRow(kvpk::Boolean, "yes"), true},
        {MakeRow(kvpk::Boolean, "FALSE"), false},
        {MakeRow(kvpk::Boolean, "0"), false},
        {MakeRow(kvpk::Boolean, ""), false},
        {MakeRow(kvpk::Color, "$FF0000"), int64_t(0xFF0000)},
        {MakeRow(kvpk::Color, "16711680"), int64_t(0xFF0000)},
        {MakeRow(kvpk::Color, "clblue"), int64_t(0xFF0000)},
        {MakeRow(kvpk::Color, "clRed"), int64_t(0x0000FF)},
        {MakeRow(kvpk::Color, "clBtnFace"), int64_t(0x8000000F)},
        {MakeRow(kvpk::Enum, "psDash", kStyles, kStyleValues), 1},
        {MakeRow(kvpk::Enum, "poScreenCenter", kPositions, kPositionValues), 4},
        {MakeRow(kvpk::Enum, "9", kPositions, kPositionValues), int64_t(9)},
        {MakeRow(kvpk::Enum, "anything", {"a", "b"}), "anything"},
    };
    for (const Case& c : cases) {
        const TkvVariant v = kvinsp::RowValue(c.row);
        EXPECT_EQ(v, c.value) << c.row.Text.constData();
    }
}

TEST(InspRowValue, RefusesTextsThatAreNoValueOfTheKind) {
    const TkvInspRow refused[] = {
        MakeRow(kvpk::Integer, "abc"),
        MakeRow(kvpk::Integer, "1.5"),
        MakeRow(kvpk::Integer, ""),
        MakeRow(kvpk::Integer, "$-1"),
        MakeRow(kvpk::Integer, "99999999999"),
        MakeRow(kvpk::Real, "ten"),
        MakeRow(kvpk::Real, "inf"),
        MakeRow(kvpk::Color, "clPink"),
        MakeRow(kvpk::Color, ""),
        MakeRow(kvpk::Enum, "psWavy", kStyles, kStyleValues),
    };
    for (const TkvInspRow& row : refused) {
        try {
            kvinsp::RowValue(row);
            ADD_FAILURE() << "taken: " << row.Text.constData();
        } catch (const TkvInspValueError& e) {
            EXPECT_TRUE(QByteArray(e.what()).contains(row.Text)) << e.what();
        }
    }
}

TEST(InspSizes, DesignerUnits) {
    EXPECT_EQ(kvinsp::SizeText(36, TkvDesignerUnit::Millimetres), "10.00");
    EXPECT_EQ(kvinsp::SizeText(36, TkvDesignerUnit::Pixels), "36");
    EXPECT_EQ(kvinsp::SizeText(91.44, TkvDesignerUnit::Inches), "1.00");
    EXPECT_EQ(kvinsp::SizeFromDesignerUnit("10", TkvDesignerUnit::Millimetres, true),
              TkvVariant(int64_t(36)));
    EXPECT_EQ(kvinsp::SizeFromDesignerUnit(1.0, TkvDesignerUnit::Inches, true), TkvVariant(int64_t(91)));
    EXPECT_DOUBLE_EQ(kvinsp::SizeFromDesignerUnit(1.0, TkvDesignerUnit::Millimetres, false).toDouble(), 3.6);
    EXPECT_THROW(kvinsp::SizeFromDesignerUnit(1e12, TkvDesignerUnit::Millimetres, true), TkvInspValueError);
    EXPECT_THROW(kvinsp::SizeFromDesignerUnit("wide", TkvDesignerUnit::Pixels, true), TkvInspValueError);
}

TEST(InspCycle, DoubleClickOrder) {
    EXPECT_EQ(kvinsp::NextCycleText(MakeRow(kvpk::Enum, "psDouble", kStyles, kStyleValues)), "psSolid");
    EXPECT_EQ(kvinsp::NextCycleText(MakeRow(kvpk::Enum, "psDot", kStyles, kStyleValues)), "psDashDot");
    EXPECT_EQ(kvinsp::NextCycleText(MakeRow(kvpk::Enum, "7", kPositions, kPositionValues)), "poDesigned");
    EXPECT_EQ(kvinsp::NextCycleText(MakeRow(kvpk::Enum, "b", {"a", "b"})), "a");
    EXPECT_EQ(kvinsp::NextCycleText(MakeRow(kvpk::Boolean, "True")), "False");
    EXPECT_EQ(kvinsp::NextCycleText(MakeRow(kvpk::Boolean, "False")), "True");
}

// A text object whose "Left" setter refuses negative values by raising, like a setter that
// checks its input.
class CheckingView : public TkvMemoView {
public:
    static const TkvPropertyTable& Table() {
        static const TkvPropertyTable t = [] {
            TkvPropertyTable table(&TkvMemoView::ClassProperties());
            TkvPropertyBuilder<CheckingView> b(table);
            b.Add(
                "Left", kvpk::PageUnits, [](CheckingView& v) { return TkvVariant(v.Left); },
                [](CheckingView& v, const TkvVariant& x) {
                    if (x.toInt() < 0) throw TkvError("Left cannot be negative");
                    v.Left = int32_t(x.toInt());
                });
            return table;
        }();
        return t;
    }
    const TkvPropertyTable& Properties() const override { return Table(); }
};

class InspModel : public ::testing::Test {
protected:
    InspModel() {
        auto page = std::make_unique<TkvPage>();
        pagePtr = page.get();
        report.Pages.push_back(std::move(page));
        auto page2 = std::make_unique<TkvPage>();
        page2Ptr = page2.get();
        report.Pages.push_back(std::move(page2));
        memo1 = Add<TkvMemoView>("Memo1", 10);
        memo2 = Add<TkvMemoView>("Memo2", 20);
        picture = Add<TkvPictureView>("Picture1", 30);
    }
    template <class T> T* Add(const QByteArray& name, int left, TkvPage* on = nullptr) {
        auto v = std::make_unique<T>();
        v->Name = name;
        v->Left = left;
        v->Width = 36;
        T* p = v.get();
        (on ? on : pagePtr)->Objects.push_back(std::move(v));
        return p;
    }
    TkvInspSelection Select(std::vector<TkvView*> views) {
        TkvInspSelection s;
        s.Report = &report;
        s.Page = pagePtr;
        s.Views = std::move(views);
        return s;
    }
    static const TkvInspRow* Find(const TkvInspContents& c, const QByteArray& name) {
        for (const TkvInspRow& r : c.Rows)
            if (r.Name == name) return &r;
        return nullptr;
    }
    static TkvInspRow Typed(const TkvInspContents& c, const QByteArray& name, const QByteArray& text) {
        const TkvInspRow* r = Find(c, name);
        EXPECT_TRUE(r) << name.constData();
        TkvInspRow row = r ? *r : TkvInspRow{};
        row.Text = text;
        return row;
    }

    TkvReport report;
    TkvPage* pagePtr = nullptr;
    TkvPage* page2Ptr = nullptr;
    TkvMemoView* memo1 = nullptr;
    TkvMemoView* memo2 = nullptr;
    TkvPictureView* picture = nullptr;
};

TEST_F(InspModel, OneObjectListsItsRowsSortedWithNameAndEditors) {
    memo1->FrameColor = 0x0000FF;
    const TkvInspContents c = kvinsp::FillRows(Select({memo1}));
    EXPECT_EQ(c.CurrentObject, memo1);
    EXPECT_EQ(c.Caption, "Memo1");
    ASSERT_TRUE(Find(c, "Name"));
    EXPECT_EQ(Find(c, "Name")->Text, "Memo1");
    EXPECT_EQ(Find(c, "FrameColor")->Text, "clRed");
    EXPECT_EQ(Find(c, "Font")->Text, "(Font)");
    EXPECT_EQ(Find(c, "Left")->Text, "10");
    EXPECT_EQ(Find(c, "Left")->DataType, kvpk::PageUnits | kvpk::Integer);
    EXPECT_FALSE(Find(c, "Font.Size")); // hidden kind
    for (size_t i = 1; i < c.Rows.size(); ++i)
        EXPECT_LT(c.Rows[i - 1].Name.compare(c.Rows[i].Name, Qt::CaseInsensitive), 0);
}

TEST_F(InspModel, SeveralObjectsListCommonRowsWithoutNameAndEmptyDifferences) {
    const TkvInspContents c = kvinsp::FillRows(Select({memo1, picture}));
    EXPECT_EQ(c.CurrentObject, nullptr);
    EXPECT_TRUE(c.Caption.isEmpty());
    EXPECT_FALSE(Find(c, "Name"));
    EXPECT_FALSE(Find(c, "Font"));    // text objects only
    EXPECT_FALSE(Find(c, "Picture")); // picture objects only
    ASSERT_TRUE(Find(c, "Left"));
    EXPECT_EQ(Find(c, "Left")->Text, "");
    EXPECT_EQ(Find(c, "Width")->Text, "36"); // equal values stay

    // Typing 10 into the empty "Left" sets both.
    ASSERT_EQ(kvinsp::ApplyRow(Select({memo1, picture}), Typed(c, "Left", "10")),
              TkvInspApplyResult::Applied);
    EXPECT_EQ(memo1->Left, 10);
    EXPECT_EQ(picture->Left, 10);
}

TEST_F(InspModel, NothingSelectedListsThePage) {
    TkvInspSelection s = Select({});
    s.PageIndex = 1;
    const TkvInspContents c = kvinsp::FillRows(s);
    EXPECT_EQ(c.CurrentObject, pagePtr);
    EXPECT_EQ(c.Caption, "Page2");
    EXPECT_TRUE(Find(c, "Type"));
    EXPECT_TRUE(Find(c, "Orientation"));
}

TEST_F(InspModel, SizesInMillimetres) {
    TkvInspSelection s = Select({memo1});
    s.Unit = TkvDesignerUnit::Millimetres;
    const TkvInspContents c = kvinsp::FillRows(s);
    EXPECT_EQ(Find(c, "Width")->Text, "10.00");
    EXPECT_EQ(Find(c, "Width")->DataType, kvpk::PageUnits | kvpk::Real);
    EXPECT_EQ(Find(c, "FrameWidth")->Text, "0.28"); // 1 page unit
    ASSERT_EQ(kvinsp::ApplyRow(s, Typed(c, "Width", "20")), TkvInspApplyResult::Applied);
    EXPECT_EQ(memo1->Width, 72);
    EXPECT_THROW(kvinsp::ApplyRow(s, Typed(c, "Width", "1e12")), TkvInspValueError);
    EXPECT_EQ(memo1->Width, 72);
}

TEST_F(InspModel, RestrictionsSkipChanges) {
    struct Case {
        const char* row;
        const char* text;
        uint16_t viewRestrictions;
        uint16_t designerRestrictions;
    } cases[] = {
        {"Name", "Other", kvvr::Modify, 0}, {"Name", "Other", 0, kvdr::Properties},
        {"Left", "99", kvvr::Move, 0},      {"Top", "99", kvvr::Move, 0},
        {"Left", "99", 0, kvdr::Move},      {"Width", "99", kvvr::Size, 0},
        {"Height", "99", 0, kvdr::Resize},  {"FrameTyp", "3", 0, kvdr::Properties},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        memo1->Restrictions = c.viewRestrictions;
        TkvInspSelection s = Select({memo1});
        s.DesignerRestrictions = c.designerRestrictions;
        const TkvInspContents rows = kvinsp::FillRows(s);
        const TkvVariant before = memo1->Property(c.row);
        int undoSteps = 0;
        TkvInspApplyHooks hooks;
        hooks.BeforeChange = [&] { ++undoSteps; };
        EXPECT_EQ(kvinsp::ApplyRow(s, Typed(rows, c.row, c.text), hooks), TkvInspApplyResult::Skipped);
        EXPECT_EQ(memo1->Property(c.row), before);
        EXPECT_EQ(undoSteps, 0);
    }
    // A view that may not move can still be resized.
    memo1->Restrictions = kvvr::Move;
    const TkvInspContents rows = kvinsp::FillRows(Select({memo1}));
    EXPECT_EQ(kvinsp::ApplyRow(Select({memo1}), Typed(rows, "Width", "50")), TkvInspApplyResult::Applied);
    EXPECT_EQ(memo1->Width, 50);
}

TEST_F(InspModel, TakenOrEmptyNamesAreIgnored) {
    const TkvInspContents rows = kvinsp::FillRows(Select({memo1}));
    auto* other = Add<TkvMemoView>("Total", 0, page2Ptr);
    (void)other;
    for (const char* name : {"Memo2", "memo2", "TOTAL", "  "}) {
        EXPECT_EQ(kvinsp::ApplyRow(Select({memo1}), Typed(rows, "Name", name)), TkvInspApplyResult::Skipped)
            << name;
        EXPECT_EQ(memo1->Name, "Memo1");
    }
    // Its own name in another case is free.
    EXPECT_EQ(kvinsp::ApplyRow(Select({memo1}), Typed(rows, "Name", "MEMO1")), TkvInspApplyResult::Applied);
    EXPECT_EQ(memo1->Name, "MEMO1");
}

TEST_F(InspModel, RenameUpdatesReferences) {
    memo2->Memo = {"Left is [Memo1.Left] of Memo1", "[IIF(memo1.Visible, 'Memo1', Other.Memo1)]"};
    memo2->ScriptLines = {"begin", "  Memo1.Visible := False; { Memo1 stays in comments }",
                          "  s := 'Memo1' // and here: Memo1", "  Memo10.Left := Memo1.Left", "end"};
    memo2->HighlightCondition = "Memo1.Left > 5";
    memo2->Tag = "[Memo1.Top] Memo1";
    auto* far = Add<TkvMemoView>("Far", 0, page2Ptr);
    far->Memo = {"[Memo1.Width]"};
    pagePtr->Script = {"Memo1.Left := 0"};

    const TkvInspContents rows = kvinsp::FillRows(Select({memo1}));
    ASSERT_EQ(kvinsp::ApplyRow(Select({memo1}), Typed(rows, "Name", "Price")), TkvInspApplyResult::Applied);
    EXPECT_EQ(memo1->Name, "Price");
    EXPECT_EQ(memo2->Memo,
              (TkvStringList{"Left is [Price.Left] of Memo1", "[IIF(Price.Visible, 'Memo1', Other.Memo1)]"}));
    EXPECT_EQ(memo2->ScriptLines,
              (TkvStringList{"begin", "  Price.Visible := False; { Memo1 stays in comments }",
                             "  s := 'Memo1' // and here: Memo1", "  Memo10.Left := Price.Left", "end"}));
    EXPECT_EQ(memo2->HighlightCondition, "Price.Left > 5");
    EXPECT_EQ(memo2->Tag, "[Price.Top] Memo1");
    EXPECT_EQ(far->Memo, TkvStringList{"[Price.Width]"});
    EXPECT_EQ(pagePtr->Script, TkvStringList{"Price.Left := 0"});
}

TEST_F(InspModel, RefusedValuesChangeNothing) {
    const TkvInspContents rows = kvinsp::FillRows(Select({memo1, memo2}));
    int undoSteps = 0;
    TkvInspApplyHooks hooks;
    hooks.BeforeChange = [&] { ++undoSteps; };
    EXPECT_THROW(kvinsp::ApplyRow(Select({memo1, memo2}), Typed(rows, "Left", "ten"), hooks),
                 TkvInspValueError);
    EXPECT_THROW(kvinsp::ApplyRow(Select({memo1, memo2}), Typed(rows, "FrameColor", "clPink"), hooks),
                 TkvInspValueError);
    EXPECT_EQ(undoSteps, 0);
    EXPECT_EQ(memo1->Left, 10);
    EXPECT_EQ(memo2->FrameColor, 0u);
}

TEST_F(InspModel, AThrowingSetterLeavesEveryObjectAsItWas) {
    auto* checking = Add<CheckingView>("Checking", 40);
    const TkvInspSelection s = Select({memo1, memo2, checking});
    const TkvInspContents rows = kvinsp::FillRows(s);
    EXPECT_THROW(kvinsp::ApplyRow(s, Typed(rows, "Left", "-5")), TkvError);
    EXPECT_EQ(memo1->Left, 10);
    EXPECT_EQ(memo2->Left, 20);
    EXPECT_EQ(checking->Left, 40);
    EXPECT_EQ(kvinsp::ApplyRow(s, Typed(rows, "Left", "5")), TkvInspApplyResult::Applied);
    EXPECT_EQ(checking->Left, 5);
}

TEST_F(InspModel, PageTypeAsksBeforeDeletingObjects) {
    const TkvInspContents rows = kvinsp::FillRows(Select({}));
    int asked = 0;
    TkvInspApplyHooks hooks;
    hooks.ConfirmPageTypeChange = [&] {
        ++asked;
        return false;
    };
    EXPECT_EQ(kvinsp::ApplyRow(Select({}), Typed(rows, "Type", "ptDialog"), hooks),
              TkvInspApplyResult::Cancelled);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(pagePtr->PageType, kvpt::Report);
    EXPECT_EQ(pagePtr->ObjectCount(), 3);

    hooks.ConfirmPageTypeChange = [&] { return true; };
    EXPECT_EQ(kvinsp::ApplyRow(Select({}), Typed(rows, "Type", "ptDialog"), hooks),
              TkvInspApplyResult::Applied);
    EXPECT_EQ(pagePtr->PageType, kvpt::Dialog);
    EXPECT_EQ(pagePtr->ObjectCount(), 0);

    TkvInspSelection restricted = Select({});
    restricted.DesignerRestrictions = kvdr::PageOptions;
    EXPECT_EQ(kvinsp::ApplyRow(restricted, Typed(rows, "Type", "ptReport"), hooks),
              TkvInspApplyResult::Skipped);
}

} // namespace
