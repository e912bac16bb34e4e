// The inspector window on real widgets, bound to objects: typing and Enter, Escape, Up and Down,
// the drop-down, double-click cycling, the editor button, a refused value's message with the old
// value shown again, the selector's text and collapsing. Runs at scale 1 and 2 (second ctest
// entry); with KV_TEST_SHOTS set the window is grabbed to PNG there.
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "designer/insp_binding.h"
#include "designer/insp_form.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

void Shot(QWidget& w, const char* name) {
    const QByteArray dir = qgetenv("KV_TEST_SHOTS");
    if (dir.isEmpty()) return;
    w.grab().save(QString::fromLocal8Bit(dir) + '/' + name + QStringLiteral("@") +
                  QString::number(w.devicePixelRatioF()) + QStringLiteral(".png"));
}

class InspForm : public ::testing::Test {
protected:
    InspForm() : binding(form) {
        auto page = std::make_unique<TkvPage>();
        pagePtr = page.get();
        report.Pages.push_back(std::move(page));
        memo1 = Add<TkvMemoView>("Memo1", 10);
        memo2 = Add<TkvMemoView>("Memo2", 20);
        memo2->Memo = {"[Memo1.Left]"};
        picture = Add<TkvPictureView>("Picture1", 30);
        binding.Selection = [this] {
            TkvInspSelection s;
            s.Report = &report;
            s.Page = pagePtr;
            s.Views = selected;
            s.Unit = unit;
            return s;
        };
        binding.Hooks.BeforeChange = [this] { ++undoSteps; };
        binding.ShowError = [this](const QString& m) { errors << m; };
        binding.AfterChange = [this] { ++afterChanges; };
        form.resize(260, 420);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    template <class T> T* Add(const QByteArray& name, int left) {
        auto v = std::make_unique<T>();
        v->Name = name;
        v->Left = left;
        v->Width = 36;
        T* p = v.get();
        pagePtr->Objects.push_back(std::move(v));
        return p;
    }
    void Show(std::vector<TkvView*> views) {
        selected = std::move(views);
        binding.Refill();
    }
    // Clicks the row's name, then types into its value and presses Enter.
    void Type(const QByteArray& row, const QString& text) {
        ClickRow(row);
        form.Edit()->selectAll();
        QTest::keyClicks(form.Edit(), text);
        QTest::keyClick(form.Edit(), Qt::Key_Return);
    }
    void ClickRow(const QByteArray& row) {
        const int i = form.RowIndex(row);
        ASSERT_GE(i, 0) << row.constData();
        form.Box()->ensureVisible(0, i * form.RowHeight() + form.RowHeight() / 2, 0, form.RowHeight());
        QTest::mouseClick(form.RowArea(), Qt::LeftButton, {},
                          QPoint(10, i * form.RowHeight() + form.RowHeight() / 2));
        ASSERT_EQ(form.CurrentRow(), i);
    }
    QString Shown(const QByteArray& row) const {
        const int i = form.RowIndex(row);
        return i < 0 ? QStringLiteral("<none>") : QString::fromLatin1(form.Row(i).Text);
    }

    TkvInspForm form;
    TkvInspBinding binding;
    TkvReport report;
    TkvPage* pagePtr = nullptr;
    TkvMemoView* memo1 = nullptr;
    TkvMemoView* memo2 = nullptr;
    TkvPictureView* picture = nullptr;
    std::vector<TkvView*> selected;
    TkvDesignerUnit unit = TkvDesignerUnit::Pixels;
    int undoSteps = 0;
    int afterChanges = 0;
    QStringList errors;
};

TEST_F(InspForm, TypingAndEnterSetsTheValue) {
    Show({memo1});
    EXPECT_EQ(form.SelectorText(), QStringLiteral("Memo1: TkvMemoView"));
    Type("Left", "25");
    EXPECT_EQ(memo1->Left, 25);
    EXPECT_EQ(undoSteps, 1);
    EXPECT_EQ(afterChanges, 1);
    EXPECT_EQ(form.Row(form.CurrentRow()).Name, "Left"); // the same row stays selected
    Type("FrameColor", "clblue");
    EXPECT_EQ(memo1->FrameColor, 0xFF0000u);
    EXPECT_EQ(Shown("FrameColor"), QStringLiteral("clBlue"));
    Type("FrameColor", "$123456");
    EXPECT_EQ(memo1->FrameColor, 0x123456u);
    EXPECT_EQ(Shown("FrameColor"), QStringLiteral("$123456"));
    Shot(form, "inspector");
}

TEST_F(InspForm, RenameThroughTheRowUpdatesReferences) {
    Show({memo1});
    Type("Name", "Price");
    EXPECT_EQ(memo1->Name, "Price");
    EXPECT_EQ(memo2->Memo, TkvStringList{"[Price.Left]"});
    EXPECT_EQ(form.SelectorText(), QStringLiteral("Price: TkvMemoView"));
    // An empty name leaves the row as it was.
    Type("Name", "");
    EXPECT_EQ(memo1->Name, "Price");
    EXPECT_EQ(form.Edit()->text(), QStringLiteral("Price"));
}

TEST_F(InspForm, RefusedValueShowsItsMessageAndTheOldValue) {
    Show({memo1});
    Type("LineSpacing", "wide");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("wide"))) << errors[0].toStdString();
    EXPECT_EQ(undoSteps, 0);
    EXPECT_EQ(form.Edit()->text(), QString::number(memo1->LineSpacing));
    Type("FrameColor", "clPink");
    EXPECT_EQ(errors.size(), 2);
    EXPECT_EQ(Shown("FrameColor"), QStringLiteral("clBlack"));
}

TEST_F(InspForm, MultipleSelectionAndDifferingValues) {
    Show({memo1, picture});
    EXPECT_EQ(form.RowIndex("Name"), -1);
    EXPECT_EQ(Shown("Left"), QString());
    EXPECT_TRUE(form.SelectorText().isEmpty());
    Type("Left", "10");
    EXPECT_EQ(memo1->Left, 10);
    EXPECT_EQ(picture->Left, 10);
    EXPECT_EQ(Shown("Left"), QStringLiteral("10"));
}

TEST_F(InspForm, KeysInTheEdit) {
    Show({memo1});
    ClickRow("Left");
    QTest::keyClicks(form.Edit(), "77");
    QTest::keyClick(form.Edit(), Qt::Key_Escape);
    EXPECT_EQ(form.Edit()->text(), QStringLiteral("10"));
    EXPECT_FALSE(form.Edit()->isModified());
    const int left = form.CurrentRow();
    QTest::keyClick(form.Edit(), Qt::Key_Down);
    EXPECT_EQ(form.CurrentRow(), left + 1);
    QTest::keyClick(form.Edit(), Qt::Key_Up);
    QTest::keyClick(form.Edit(), Qt::Key_Up);
    EXPECT_EQ(form.CurrentRow(), left - 1);
    // Moving to another row commits a modified edit.
    ClickRow("Left");
    form.Edit()->selectAll();
    QTest::keyClicks(form.Edit(), "33");
    QTest::keyClick(form.Edit(), Qt::Key_Down);
    EXPECT_EQ(memo1->Left, 33);
    EXPECT_EQ(memo1->Left, 33);
    EXPECT_EQ(form.Row(form.CurrentRow()).Name, "LineSpacing");
}

TEST_F(InspForm, DoubleClickCyclesAndTheDropDownChooses) {
    memo1->FrameStyle = 5; // psDouble
    Show({memo1});
    ClickRow("FrameStyle");
    EXPECT_EQ(form.Edit()->text(), QStringLiteral("psDouble"));
    EXPECT_TRUE(form.ComboButton()->isVisible());
    EXPECT_FALSE(form.EditButton()->isVisible());
    QTest::mouseDClick(form.Edit(), Qt::LeftButton);
    EXPECT_EQ(memo1->FrameStyle, 0);
    EXPECT_EQ(form.Edit()->text(), QStringLiteral("psSolid"));

    ClickRow("Visible");
    QTest::mouseDClick(form.Edit(), Qt::LeftButton);
    EXPECT_EQ(memo1->Visible, 0);

    ClickRow("FrameStyle");
    QTest::mouseClick(form.ComboButton(), Qt::LeftButton);
    QListWidget* list = form.PopupList();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 6);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("psSolid"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(memo1->FrameStyle, 2);

    // Colours: 42 names; a second press closes the list.
    ClickRow("FillColor");
    QTest::mouseClick(form.ComboButton(), Qt::LeftButton);
    EXPECT_EQ(list->count(), 42);
    form.ToggleDropDown();
    EXPECT_FALSE(list->isVisible());
    form.ChooseColor = [](uint32_t& c) {
        c = 0x00FF00;
        return true;
    };
    QTest::mouseDClick(form.Edit(), Qt::LeftButton);
    EXPECT_EQ(memo1->FillColor, 0x00FF00u);
}

TEST_F(InspForm, EditorRowsRunTheirEditor) {
    int opened = 0;
    TkvObject* with = nullptr;
    TkvLibraryContext context;
    TkvLibraryScope scope(context);
    context.Editors.Tag = [&](TkvObject* o) {
        ++opened;
        with = o;
        static_cast<TkvView*>(o)->Tag = "edited";
    };
    Show({memo1});
    ClickRow("Tag");
    EXPECT_TRUE(form.EditButton()->isVisible());
    EXPECT_TRUE(form.Edit()->isReadOnly());
    QTest::mouseClick(form.EditButton(), Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(with, memo1);
    QTest::keyClick(form.Edit(), Qt::Key_Return);
    EXPECT_EQ(opened, 2);
    QTest::mouseDClick(form.Edit(), Qt::LeftButton);
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(form.Row(form.CurrentRow()).Name, "Tag");
}

TEST_F(InspForm, SelectorListsObjectsAndPagesAndSelects) {
    Show({memo1});
    QString picked;
    binding.SelectObject = [&](const QString& name) {
        picked = name;
        selected = {picture};
    };
    auto* selector = form.Selector();
    selector->showPopup();
    EXPECT_EQ(selector->count(), 4);
    EXPECT_EQ(selector->itemText(0), QStringLiteral("Memo1"));
    EXPECT_EQ(selector->itemText(3), QStringLiteral("Picture1"));
    selector->hidePopup();
    emit selector->activated(3);
    EXPECT_EQ(picked, QStringLiteral("Picture1"));
    EXPECT_EQ(form.SelectorText(), QStringLiteral("Picture1: TkvPictureView"));
    EXPECT_GE(form.RowIndex("Picture"), 0);
}

TEST_F(InspForm, PageRowsAndUnits) {
    unit = TkvDesignerUnit::Millimetres;
    Show({memo1});
    EXPECT_EQ(Shown("Width"), QStringLiteral("10.00"));
    Type("Width", "20");
    EXPECT_EQ(memo1->Width, 72);
    Show({});
    EXPECT_EQ(form.SelectorText(), QStringLiteral("Page1: TkvPage"));
    EXPECT_GE(form.RowIndex("Orientation"), 0);
}

TEST_F(InspForm, RowsReadableAndCollapse) {
    Show({memo1});
    EXPECT_GE(form.RowHeight(), QFontMetrics(form.font()).height() + 3);
    EXPECT_GE(form.Edit()->height(), QFontMetrics(form.Edit()->font()).height());
    EXPECT_GT(form.Edit()->x(), form.SplitPos());
    form.SetSplitPos(5);
    EXPECT_EQ(form.SplitPos(), 20);
    form.SetSplitPos(90);
    EXPECT_EQ(form.Edit()->x(), 92);
    int toggled = 0;
    form.OnCollapseToggled = [&] { ++toggled; };
    const int h = form.height();
    form.ToggleCollapse();
    EXPECT_TRUE(form.IsCollapsed());
    EXPECT_FALSE(form.Selector()->isVisible());
    form.ShowInspector();
    EXPECT_FALSE(form.IsCollapsed());
    EXPECT_EQ(form.height(), h);
    EXPECT_EQ(toggled, 2);
    form.SetLocked(true);
    EXPECT_FALSE(form.Edit()->isVisible());
    form.SetLocked(false);
}

} // namespace

namespace {

// A press on the row and then a double-click on its value, as a person does it quickly: one step.
TEST_F(InspForm, PressThenDoubleClickCyclesOnce) {
    memo1->FrameStyle = 1; // psDash
    Show({memo1});
    ClickRow("FrameStyle");
    QTest::mousePress(form.Edit(), Qt::LeftButton);
    QTest::mouseRelease(form.Edit(), Qt::LeftButton);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), form.Edit()->mapToGlobal(QPointF(5, 5)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.Edit(), &dbl);
    EXPECT_EQ(memo1->FrameStyle, 2);
}

} // namespace
