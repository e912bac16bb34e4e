// The designer window's commands on real widgets: alignment palette, z-order, fit to grid, undo
// and redo of every kind and their page rule, the clipboard between two windows (and a damaged
// clipboard refused), keyboard moves and resizes, text and frame commands with their defaults,
// pages and their tabs, restrictions, and the question before unsaved changes are lost.
#include "designer_fixture.h"

#include "core/views/memo_view.h"
#include "core/views/subreport_view.h"
#include "designer/designer_clipboard.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>

using namespace designer_test;

namespace {

class DesignerCommandsTest : public DesignerFixture {};

TEST_F(DesignerCommandsTest, AlignmentPalette) {
    struct Case {
        TkvAlignCommand command;
        std::vector<QRect> result; // from a (10,10,40,20), b (100,50,20,40), c (200,30,30,10); ref a
    };
    const Case cases[] = {
        {TkvAlignCommand::LeftEdges, {{10, 10, 40, 20}, {10, 50, 20, 40}, {10, 30, 30, 10}}},
        {TkvAlignCommand::RightEdges, {{10, 10, 40, 20}, {30, 50, 20, 40}, {20, 30, 30, 10}}},
        {TkvAlignCommand::Tops, {{10, 10, 40, 20}, {100, 10, 20, 40}, {200, 10, 30, 10}}},
        {TkvAlignCommand::Bottoms, {{10, 10, 40, 20}, {100, -10, 20, 40}, {200, 20, 30, 10}}},
        {TkvAlignCommand::HorizontalCenters, {{10, 10, 40, 20}, {20, 50, 20, 40}, {15, 30, 30, 10}}},
        {TkvAlignCommand::VerticalCenters, {{10, 10, 40, 20}, {100, 0, 20, 40}, {200, 15, 30, 10}}},
        {TkvAlignCommand::SpaceHorizontally, {{10, 10, 40, 20}, {105, 50, 20, 40}, {200, 30, 30, 10}}},
        {TkvAlignCommand::SpaceVertically, {{10, 10, 40, 20}, {100, 50, 20, 40}, {200, 30, 30, 10}}},
    };
    for (const Case& c : cases) {
        TkvView* a = Add(kvvt::Text, 10, 10, 40, 20);
        TkvView* b = Add(kvvt::Text, 100, 50, 20, 40);
        TkvView* d = Add(kvvt::Text, 200, 30, 30, 10);
        form_->SelectAllCommand();
        form_->Selection().SelectedView = a;
        form_->AlignCommand(c.command);
        EXPECT_EQ((std::vector<QRect>{RectOf(a), RectOf(b), RectOf(d)}), c.result) << int(c.command);
        Page()->Objects.clear();
    }
    // Spaced equally: lefts 0, 10 and 100 put the middle one at 50.
    TkvView* l0 = Add(kvvt::Text, 0, 0, 5, 5);
    TkvView* l10 = Add(kvvt::Text, 10, 20, 5, 5);
    TkvView* l100 = Add(kvvt::Text, 100, 40, 5, 5);
    form_->SelectAllCommand();
    form_->AlignCommand(TkvAlignCommand::SpaceHorizontally);
    EXPECT_EQ(l0->Left, 0);
    EXPECT_EQ(l10->Left, 50);
    EXPECT_EQ(l100->Left, 100);
    // Centred in the window; a view that may not move stays.
    Page()->Objects.clear();
    TkvView* one = Add(kvvt::Text, 0, 0, 100, 20);
    TkvView* fixed = Add(kvvt::Text, 0, 40, 100, 20);
    fixed->Restrictions = 0x20;
    form_->SelectAllCommand();
    form_->AlignCommand(TkvAlignCommand::CenterHorizontally);
    EXPECT_EQ(one->Left, (Surface()->width() - 100) / 2);
    EXPECT_EQ(fixed->Left, 0);
    // With a band selected, left edges packs the band's objects from the margin.
    Page()->Objects.clear();
    Page()->LeftMargin = 36;
    Page()->UseMargins = 1;
    TkvBandView* band = AddBand(kvbt::MasterData, 100, 40);
    TkvView* p2 = Add(kvvt::Text, 300, 110, 50, 20);
    TkvView* p1 = Add(kvvt::Text, 200, 105, 40, 20);
    form_->SelectAllCommand();
    form_->AlignCommand(TkvAlignCommand::LeftEdges);
    EXPECT_EQ(p1->Left, Page()->PrintAreaLeft());
    EXPECT_EQ(p2->Left, Page()->PrintAreaLeft() + 40);
    EXPECT_EQ(p1->Top, p2->Top);
    (void)band;
}

TEST_F(DesignerCommandsTest, ZOrderKeepsBandsBelowAndUndoes) {
    TkvView* a = Add(kvvt::Text, 10, 10, 40, 20, "A");
    TkvView* b = Add(kvvt::Text, 20, 10, 40, 20, "B");
    TkvBandView* band = AddBand(kvbt::MasterData, 0, 60);
    TkvView* c = Add(kvvt::Text, 30, 10, 40, 20, "C");
    form_->ReorderBands();
    ASSERT_EQ(Page()->Object(0), band);
    Click({15, 15});
    form_->BringToFront();
    EXPECT_EQ((std::vector<TkvView*>{band, b, c, a}),
              (std::vector<TkvView*>{Page()->Object(0), Page()->Object(1), Page()->Object(2), Page()->Object(3)}));
    form_->SelectObject("C");
    form_->SendToBack();
    EXPECT_EQ(Page()->Object(0), band); // bands stay below everything
    EXPECT_EQ(Page()->Object(1), c);
    form_->UndoCommand();
    form_->UndoCommand();
    EXPECT_EQ((std::vector<TkvView*>{band, a, b, c}),
              (std::vector<TkvView*>{Page()->Object(0), Page()->Object(1), Page()->Object(2), Page()->Object(3)}));
}

TEST_F(DesignerCommandsTest, FitToGridRoundsAndKeepsASize) {
    form_->Options().GridSize = 8;
    TkvView* v = Add(kvvt::Text, 13, 19, 3, 21);
    form_->SelectAllCommand();
    form_->FitToGrid();
    EXPECT_EQ(RectOf(v), QRect(16, 16, 8, 24));
}

TEST_F(DesignerCommandsTest, UndoRedoOfEveryKindOnItsOwnPage) {
    TkvView* v = Add(kvvt::Text, 100, 100, 60, 20, "Moved");
    // modify (a drag)
    Click({110, 110});
    Drag({110, 110}, {150, 130});
    ASSERT_EQ(v->Left, 140);
    // insert
    form_->SetTool(TkvDesignerTool::Insert, kvtag::Picture);
    Drag({300, 300}, {340, 340});
    ASSERT_EQ(Page()->ObjectCount(), 2);
    const QByteArray pictureName = Page()->Object(1)->Name;
    // delete
    form_->SelectObject("Moved");
    Key(Qt::Key_Delete);
    ASSERT_EQ(Page()->ObjectCount(), 1);
    // z-order on a second page does not reach the first page's stack
    form_->AddPageCommand();
    ASSERT_EQ(form_->CurPageIndex(), 1);
    EXPECT_FALSE(form_->Action("acUndo")->isEnabled());
    form_->UndoCommand();
    form_->SetCurPage(0);
    EXPECT_EQ(Page()->ObjectCount(), 1);
    EXPECT_TRUE(form_->Action("acUndo")->isEnabled());

    form_->UndoCommand(); // the delete
    ASSERT_EQ(Page()->ObjectCount(), 2);
    TkvView* back = Page()->FindObject("Moved");
    ASSERT_TRUE(back);
    EXPECT_EQ(Page()->Object(0), back); // at its old index
    form_->UndoCommand(); // the insert
    EXPECT_EQ(Page()->ObjectCount(), 1);
    form_->UndoCommand(); // the move
    EXPECT_EQ(Page()->Object(0)->Left, 100);
    EXPECT_FALSE(form_->Action("acUndo")->isEnabled());

    form_->RedoCommand();
    EXPECT_EQ(Page()->Object(0)->Left, 140);
    form_->RedoCommand();
    ASSERT_EQ(Page()->ObjectCount(), 2);
    EXPECT_EQ(Page()->Object(1)->Name, pictureName);
    form_->RedoCommand();
    EXPECT_EQ(Page()->ObjectCount(), 1);
    EXPECT_EQ(Page()->Object(0)->Name, pictureName);
}

TEST_F(DesignerCommandsTest, StacksKeepTheLastHundredSteps) {
    TkvView* v = Add(kvvt::Text, 0, 0, 10, 10);
    form_->SelectAllCommand();
    for (int i = 0; i < 101; ++i) form_->MoveSelectionBy(1, 0);
    ASSERT_EQ(v->Left, 101);
    EXPECT_EQ(form_->History().UndoCount(), 100);
    while (form_->Action("acUndo")->isEnabled()) form_->UndoCommand();
    EXPECT_EQ(v->Left, 1);

    form_->Options().DisableUndo = true;
    form_->History().Clear();
    form_->MoveSelectionBy(1, 0);
    EXPECT_FALSE(form_->Action("acUndo")->isEnabled());
    EXPECT_TRUE(form_->IsModified());
}

TEST_F(DesignerCommandsTest, CopyAndPasteBetweenTwoWindows) {
    TkvView* a = Add(kvvt::Text, 40, 40, 60, 20, "Memo1");
    a->Memo = {"[Items.Name]"};
    Add(kvvt::Text, 140, 40, 60, 20, "Memo2");
    AddBand(kvbt::PageHeader, 300, 30);
    AddBand(kvbt::MasterData, 360, 30);
    form_->SelectAllCommand();
    Key(Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(TkvDesignerClipboard::kMimeType));

    // Another window with designer state of its own: what it pastes comes through the system
    // clipboard, as from another program.
    TkvReport other;
    TkvDesignerShared otherShared;
    std::unique_ptr<TkvDesignerForm> second = MakeForm(other, otherShared);
    TkvView* existing = nullptr;
    {
        std::unique_ptr<TkvView> v = kv::CreateViewByType(kvvt::Text, {});
        v->Name = "Memo1";
        v->OwnerPage = second->Page();
        existing = v.get();
        second->Page()->Objects.push_back(std::move(v));
    }
    QApplication::setActiveWindow(second.get());
    QTest::keyClick(second->Surface(), Qt::Key_V, Qt::ControlModifier);
    TkvPage* p = second->Page();
    ASSERT_EQ(p->ObjectCount(), 5);
    EXPECT_EQ(p->Object(0)->ObjectType, kvvt::Band);
    EXPECT_EQ(p->Object(1)->ObjectType, kvvt::Band);
    TkvView* pasted = nullptr;
    for (const auto& v : p->Objects)
        if (v.get() != existing && !v->Memo.isEmpty() && v->Memo.front() == "[Items.Name]") pasted = v.get();
    ASSERT_TRUE(pasted);
    EXPECT_NE(pasted->Name, "Memo1"); // the name was taken
    EXPECT_EQ(pasted->Left, 40 - 0);  // the group's top-left lands at the top-left of the page
    EXPECT_EQ(second->SelectedViews().size(), 4u);
    // Pasted again: the page header is skipped, the master data band repeats.
    QTest::keyClick(second->Surface(), Qt::Key_Insert, Qt::ShiftModifier);
    int headers = 0, masters = 0;
    for (const auto& v : p->Objects)
        if (v->ObjectType == kvvt::Band) {
            const int t = static_cast<TkvBandView&>(*v).BandType();
            headers += t == kvbt::PageHeader;
            masters += t == kvbt::MasterData;
        }
    EXPECT_EQ(headers, 1);
    EXPECT_EQ(masters, 2);
    QSet<QByteArray> names;
    for (const auto& v : p->Objects) names.insert(v->Name.toUpper());
    EXPECT_EQ(names.size(), p->ObjectCount());
    // Undo takes the paste away as one step.
    second->UndoCommand();
    EXPECT_EQ(p->ObjectCount(), 5);
}

TEST_F(DesignerCommandsTest, CutThenPasteRestoresSelected) {
    Add(kvvt::Text, 40, 60, 60, 20, "Memo1");
    Add(kvvt::Text, 140, 80, 60, 20, "Memo2");
    form_->SelectAllCommand();
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Page()->ObjectCount(), 0);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Page()->ObjectCount(), 2);
    EXPECT_EQ(Page()->Object(0)->Name, "Memo1");
    EXPECT_EQ(QRect(Page()->Object(0)->Left, Page()->Object(0)->Top, 0, 0).topLeft(), QPoint(0, 0));
    EXPECT_EQ(Page()->Object(1)->Left, 100);
    EXPECT_EQ(Selected().size(), 2u);
}

TEST_F(DesignerCommandsTest, DamagedClipboardIsRefusedWithAMessage) {
    Add(kvvt::Text, 40, 60, 60, 20);
    auto* data = new QMimeData;
    QByteArray bytes = TkvDesignerClipboard::Encode({QByteArray("\x00\x05TkvMX\x01", 8)});
    data->setData(TkvDesignerClipboard::kMimeType, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
    QString shown;
    AnswerNextDialog([&shown](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) shown = box->text();
        w->close();
    });
    form_->PasteCommand();
    EXPECT_TRUE(shown.contains("damaged")) << shown.toStdString();
    EXPECT_EQ(Page()->ObjectCount(), 1);
}

TEST(DesignerClipboard, DecodeRefusesDamagedStreams) {
    const QByteArray good = TkvDesignerClipboard::Encode({"abc", "de"});
    EXPECT_EQ(TkvDesignerClipboard::Decode(good), (std::vector<QByteArray>{"abc", "de"}));
    QByteArray hugeCount = good;
    hugeCount[5] = '\xFF';
    hugeCount[6] = '\xFF';
    hugeCount[7] = '\xFF';
    hugeCount[8] = '\x7F';
    QByteArray longItem = good;
    longItem[9] = '\x7F';
    const QByteArray cases[] = {QByteArray(), good.left(3), "XXXX" + good.mid(4), good.left(good.size() - 1),
                                hugeCount, longItem, good.left(4) + '\x09' + good.mid(5)};
    for (const QByteArray& c : cases) EXPECT_THROW(TkvDesignerClipboard::Decode(c), TkvClipboardError) << c.toHex().toStdString();
}

TEST_F(DesignerCommandsTest, KeyboardMovesResizesAndSteps) {
    TkvView* a = Add(kvvt::Text, 100, 100, 50, 20);
    TkvView* b = Add(kvvt::Text, 300, 104, 50, 20);
    TkvView* fixed = Add(kvvt::Text, 100, 300, 50, 20);
    fixed->Restrictions = 0x10; // may not be resized: moved instead
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        TkvView* selected;
        QRect a, fixed;
    };
    form_->SelectObject(a->Name);
    const Case cases[] = {
        {Qt::Key_Right, Qt::ControlModifier, a, {101, 100, 50, 20}, {100, 300, 50, 20}},
        {Qt::Key_Down, Qt::ControlModifier, a, {101, 101, 50, 20}, {100, 300, 50, 20}},
        {Qt::Key_Right, Qt::ShiftModifier, a, {101, 101, 51, 20}, {100, 300, 50, 20}},
        {Qt::Key_Up, Qt::ShiftModifier, a, {101, 101, 51, 19}, {100, 300, 50, 20}},
        {Qt::Key_Right, Qt::AltModifier, a, {249, 101, 51, 19}, {100, 300, 50, 20}},
        {Qt::Key_Right, Qt::NoModifier, b, {249, 101, 51, 19}, {100, 300, 50, 20}},
    };
    for (const Case& c : cases) {
        Key(c.key, c.mods);
        EXPECT_EQ(Selected(), std::vector<TkvView*>{c.selected}) << c.key;
        EXPECT_EQ(RectOf(a), c.a) << c.key << " " << int(c.mods);
    }
    form_->SelectAllCommand();
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(RectOf(fixed), QRect(101, 300, 50, 20));
    EXPECT_EQ(b->Width, 51);
}

TEST_F(DesignerCommandsTest, TextAndFrameCommandsAndTheirDefaults) {
    auto* m = static_cast<TkvMemoView*>(Add(kvvt::Text, 10, 10, 60, 20));
    TkvBandView* band = AddBand(kvbt::MasterData, 100, 30);
    form_->SelectAllCommand();
    Key(Qt::Key_B, Qt::ControlModifier);
    Key(Qt::Key_F, Qt::ControlModifier);
    Key(Qt::Key_3, Qt::ControlModifier);
    form_->FormatCommand(kvfmt::AlignCenter, true);
    form_->FormatCommand(kvfmt::VerticalAlign, kvfmt::VBottom);
    form_->FormatCommand(kvfmt::FrameWidth, "0,5");
    QComboBox* size = form_->FontSizeBox();
    size->setCurrentText("14");
    emit size->textActivated("14");
    EXPECT_EQ(m->Font.Style & kvfs::Bold, kvfs::Bold);
    EXPECT_EQ(m->FrameTyp & 0x0F, 0x0F);
    EXPECT_FLOAT_EQ(m->FrameWidth, 0.5f);
    EXPECT_EQ(m->Alignment & 0x1B, 2 + 16);
    EXPECT_EQ(m->Font.Size, 14);
    EXPECT_EQ(band->BandType(), kvbt::MasterData); // a band's FrameTyp is its type: untouched
    // New text objects take what was chosen.
    form_->SetTool(TkvDesignerTool::Insert, kvtag::Text);
    Drag({300, 300}, {300, 300});
    auto* n = dynamic_cast<TkvMemoView*>(Selected().front());
    ASSERT_TRUE(n);
    EXPECT_EQ(n->Font.Size, 14);
    EXPECT_EQ(n->Font.Style & kvfs::Bold, kvfs::Bold);
    EXPECT_EQ(n->FrameTyp & 0x0F, 0x0F);
    EXPECT_FLOAT_EQ(n->FrameWidth, 0.5f);
    // A view that may not be modified keeps its look.
    n->Restrictions = 0x08;
    Key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(n->FrameTyp & 0x0F, 0x0F);
    // Status bar: the unit, the geometry, the name and first line.
    n->Memo = {"First", "Second"};
    form_->SelectObject(n->Name);
    EXPECT_EQ(form_->StatusPanel(0)->text(), "Pixels");
    EXPECT_EQ(form_->StatusPanel(2)->text(), QString::fromUtf8(n->Name) + ": First");
    form_->SetUnits(TkvDesignerUnits::Millimetres);
    EXPECT_EQ(form_->StatusPanel(0)->text(), "MM");
    EXPECT_TRUE(form_->StatusPanel(1)->text().startsWith("83.3; 83.3")) << form_->StatusPanel(1)->text().toStdString();
}

TEST_F(DesignerCommandsTest, PagesTabsAndSubReportTargets) {
    form_->AddPageCommand();
    form_->AddPageCommand();
    ASSERT_EQ(report_.PageCount(), 3);
    form_->SetCurPage(0);
    auto addSub = [&](int target) {
        auto* s = static_cast<TkvSubReportView*>(Add(kvvt::SubReport, 10, 10 + 50 * target, 100, 40));
        s->SubPageIndex = target;
        return s;
    };
    TkvSubReportView* to1 = addSub(1);
    TkvSubReportView* to2 = addSub(2);
    form_->RefreshTabs();
    EXPECT_EQ(form_->PageTabs()->tabText(2), QString::fromUtf8(to2->Name));
    // Page 2 dragged before page 1: the targets follow their pages.
    form_->SetCurPage(2);
    form_->PageTabs()->moveTab(2, 1);
    EXPECT_EQ(to2->SubPageIndex, 1);
    EXPECT_EQ(to1->SubPageIndex, 2);
    EXPECT_TRUE(form_->IsModified());
    // Removing the page a sub-report points to removes that sub-report.
    form_->SetCurPage(2);
    form_->RemovePageCommand(false);
    EXPECT_EQ(report_.PageCount(), 2);
    ASSERT_EQ(report_.Page(0)->ObjectCount(), 1);
    EXPECT_EQ(report_.Page(0)->Object(0), to2);
    EXPECT_EQ(form_->CurPageIndex(), 0);
}

TEST_F(DesignerCommandsTest, RestrictionsForbidCommands) {
    TkvView* v = Add(kvvt::Text, 10, 10, 60, 20);
    shared_.Restrictions = kvdr::Move | kvdr::Delete | kvdr::Insert;
    form_->SelectAllCommand();
    Drag({20, 20}, {60, 60});
    form_->MoveSelectionBy(5, 5);
    Key(Qt::Key_Delete);
    form_->SetTool(TkvDesignerTool::Insert, kvtag::Text);
    Drag({300, 300}, {300, 300});
    EXPECT_EQ(RectOf(v), QRect(10, 10, 60, 20));
    EXPECT_EQ(Page()->ObjectCount(), 1);
    EXPECT_FALSE(form_->Action("acDelete")->isEnabled());
    shared_.Restrictions = 0;
}

TEST_F(DesignerCommandsTest, ClosingWithUnsavedChangesAsks) {
    Add(kvvt::Text, 10, 10, 60, 20);
    form_->SelectAllCommand();
    form_->MoveSelectionBy(1, 1);
    ASSERT_TRUE(form_->IsModified());
    QString question;
    AnswerNextDialog([&question](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box);
        question = box->text();
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_FALSE(form_->close());
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(question, "Save changes to Untitled?");
    AnswerNextDialog([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::No)->click(); });
    EXPECT_TRUE(form_->close());
}

TEST_F(DesignerCommandsTest, OptionsAreKeptInSettings) {
    form_->Options().GridSize = 18;
    form_->Options().Units = TkvDesignerUnits::Inches;
    form_->Options().EditAfterInsert = false;
    form_.reset();
    QSettings settings;
    TkvDesignerOptions read;
    read.Load(settings);
    EXPECT_EQ(read.GridSize, 18);
    EXPECT_EQ(read.Units, TkvDesignerUnits::Inches);
    EXPECT_FALSE(read.EditAfterInsert);
    // A grid size of 0 (or any other than 4, 8 and 18) reads as 4.
    settings.setValue(TkvDesignerOptions::Section() + "/GridSize", 0);
    read.Load(settings);
    EXPECT_EQ(read.GridSize, 4);
}

TEST(DesignerUnits, ConvertBothWays) {
    EXPECT_DOUBLE_EQ(kv::PageUnitsToUnits(18, TkvDesignerUnits::Millimetres), 5.0);
    EXPECT_DOUBLE_EQ(kv::PageUnitsToUnits(18 * 25.4 / 5, TkvDesignerUnits::Inches), 1.0);
    EXPECT_DOUBLE_EQ(kv::UnitsToPageUnits(5, TkvDesignerUnits::Millimetres), 18.0);
    EXPECT_NEAR(kv::UnitsToPageUnits(1, TkvDesignerUnits::Inches), 91.44, 1e-9);
    EXPECT_DOUBLE_EQ(kv::UnitsToPageUnits(7, TkvDesignerUnits::Pixels), 7.0);
}

} // namespace
