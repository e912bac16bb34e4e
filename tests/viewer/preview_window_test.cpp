// The preview window on real widgets: toolbar by PreviewButtons, the key table, load, the save
// dialog's filters and forced extension, page setup's margin conversions, add and delete page, the
// find command with F3 and the mark it paints, window placement in the settings.
#include "core/paper/printer.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/store/emf_pages.h"
#include "export/rtf_adv_export.h"
#include "export/text_export.h"
#include "preview/page_box.h"
#include "preview/page_setup_form.h"
#include "preview/preview.h"
#include "preview/preview_form.h"
#include "preview/preview_search_form.h"
#include "preview/separate_preview.h"
#include "support/kvp_builder.h"
#include "viewer/child_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

kvpfile::PageSpec PageWithTexts(const QList<std::pair<QPoint, QByteArray>>& texts, std::array<int32_t, 4> margins = {},
                                uint8_t useMargins = 1) {
    kvpfile::PackedPage packed;
    int n = 0;
    for (const auto& [at, text] : texts) {
        kvpfile::CommonRecord r;
        r.Name = "Memo" + QByteArray::number(++n);
        r.Left = at.x(), r.Top = at.y(), r.Width = 300, r.Height = 30;
        r.Memo = {text};
        kvpfile::TextTail t;
        t.FontSize = 14;
        packed.Text(r, t);
    }
    kvpfile::PageSpec p;
    p.Data = packed.Data();
    for (size_t i = 0; i < 4; ++i) p.Margins[i] = margins[i];
    p.UseMargins = useMargins;
    return p;
}

// Pages 1 and 2 hold "needle" twice (near the top and near the bottom right), page 3 nothing,
// page 4 "NEEDLE" in capitals, on a page stretched to its printable area inside wide margins.
QString WriteSearchReport(const QString& path) {
    kvpfile::FileSpec f;
    const QList<std::pair<QPoint, QByteArray>> two = {{QPoint(100, 100), "a needle here"},
                                                      {QPoint(420, 980), "needle again"}};
    f.Pages = {PageWithTexts(two, {18, 10, 0, 0}), PageWithTexts(two), PageWithTexts({{QPoint(100, 100), "nothing"}}),
               PageWithTexts({{QPoint(100, 300), "NEEDLE"}}, {90, 120, 40, 40}, 0)};
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(kvpfile::BuildKvp(f));
    return path;
}

// Restores a static hook of the preview window when the test ends.
template <class T>
class HookGuard {
public:
    explicit HookGuard(T& hook) : hook_(hook), saved_(hook) {}
    ~HookGuard() { hook_ = saved_; }

private:
    T& hook_;
    T saved_;
};

// Answers the next modal dialog: `answer` gets it (and accepts or rejects it itself).
void AnswerNextDialog(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        static_cast<void>(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 2000));
        answer(QApplication::activeModalWidget());
    });
}

class PreviewWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kv::StartUp(); }
    void SetUp() override {
        TkvPreviewForm::LastZoom = 1.0;
        TkvPreviewForm::LastZoomMode = TkvPreviewZoom::pzDefault;
        report.LoadPreparedFile(WriteSearchReport(dir.filePath("search.kvp")));
        form.resize(1000, 800);
        form.TakePages(&report);
        form.ApplyToolbarSettings(report);
        form.ResetView(true);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.ShowMessage = [this](const QString& caption, const QString& text) { messages << caption + ": " + text; };
        form.AskYesNo = [this](const QString& caption, const QString& text) {
            questions << caption + ": " + text;
            return answerYes;
        };
    }
    void TearDown() override { form.ReturnPages(); }

    QTemporaryDir dir;
    TkvReport report;
    TkvPreviewForm form;
    QStringList messages, questions;
    bool answerYes = true;
};

TEST_F(PreviewWindow, ButtonsFollowPreviewButtons) {
    struct Case {
        uint16_t set;
        const char* shown; // the visible buttons in order
    } cases[] = {
        {kvpb::Zoom | kvpb::Load | kvpb::Save | kvpb::Print | kvpb::Find | kvpb::Help | kvpb::Exit,
         "ZoomBtn LoadBtn SaveBtn PrintBtn FindBtn HelpBtn ExitBtn"},
        {kvpb::Save | kvpb::PageSetup, "SaveBtn PageSetupBtn"},
        {kvpb::Help, "HelpBtn"},
        {0, ""},
    };
    const char* all[] = {"ZoomBtn", "LoadBtn", "SaveBtn", "PrintBtn", "PageSetupBtn", "FindBtn", "HelpBtn", "ExitBtn"};
    for (const Case& c : cases) {
        report.PreviewButtons = c.set;
        form.ApplyToolbarSettings(report);
        QStringList shown;
        for (const char* name : all)
            if (!form.Button(name)->isHidden()) shown << name;
        EXPECT_EQ(shown.join(' ').toStdString(), c.shown);
        EXPECT_EQ(form.Separator(3)->isHidden(), form.Button("FindBtn")->isHidden() && form.Button("HelpBtn")->isHidden());
    }
    // A hidden zoom button takes its separator along, for good.
    EXPECT_TRUE(form.Separator(1)->isHidden());
    // Printing and page setup need a printer of the platform.
    const bool printer = kv::SharedPrinter().VirtualPrinterIndex > 0;
    EXPECT_EQ(form.Button("PrintBtn")->isEnabled(), printer);
    EXPECT_EQ(form.Button("PageSetupBtn")->isEnabled(), printer);
}

TEST(PreviewControl, ToolbarInTheControlHasNoHelpOrExit) {
    kv::StartUp();
    QTemporaryDir dir;
    TkvReport report;
    report.LoadPreparedFile(WriteSearchReport(dir.filePath("search.kvp")));
    report.PreviewButtons = 0xFF;
    TkvPreview control;
    control.resize(800, 600);
    control.SetShowToolbar(true);
    control.AttachReport(&report);
    control.show();
    TkvPreviewForm& form = control.Form();
    EXPECT_EQ(form.ToolbarPanel()->parentWidget(), &control);
    EXPECT_TRUE(form.Button("HelpBtn")->isHidden());
    EXPECT_TRUE(form.Button("ExitBtn")->isHidden());
    EXPECT_FALSE(form.Button("FindBtn")->isHidden());
    control.SetShowToolbar(false);
    EXPECT_EQ(form.ToolbarPanel()->parentWidget(), &form);
    EXPECT_FALSE(form.Button("HelpBtn")->isHidden());
    control.DetachReport();
}

TEST_F(PreviewWindow, KeyTable) {
    HookGuard printGuard(TkvPreviewForm::PrintHook);
    HookGuard editGuard(TkvPreviewForm::EditPageHook);
    int printed = 0, edited = 0;
    TkvPreviewForm::PrintHook = [&printed](TkvPreviewForm&) { ++printed; };
    TkvPreviewForm::EditPageHook = [&edited](TkvPreviewForm&) { return ++edited > 0; };
    form.PickZoom(200);
    QScrollBar* v = form.VScrollBar();
    QScrollBar* h = form.HScrollBar();
    ASSERT_GT(h->maximum(), 300);
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        bool consumed;
        int dv, dh, page; // scroll changes and the current page after (0: unchanged)
    } cases[] = {
        {Qt::Key_Down, Qt::NoModifier, true, 10, 0, 0},
        {Qt::Key_Up, Qt::NoModifier, true, -10, 0, 0},
        {Qt::Key_Right, Qt::NoModifier, true, 0, 10, 0},
        {Qt::Key_Left, Qt::NoModifier, true, 0, -10, 0},
        {Qt::Key_Down, Qt::ControlModifier, true, 10, 0, 0},
        {Qt::Key_Left, Qt::ControlModifier, true, 0, -10, 0},
        {Qt::Key_PageDown, Qt::NoModifier, true, 200, 0, 0},
        {Qt::Key_PageUp, Qt::NoModifier, true, -200, 0, 0},
        {Qt::Key_Home, Qt::NoModifier, false, 0, 0, 0},
        {Qt::Key_End, Qt::NoModifier, false, 0, 0, 0},
        {Qt::Key_A, Qt::NoModifier, false, 0, 0, 0},
        {Qt::Key_P, Qt::NoModifier, false, 0, 0, 0},
        {Qt::Key_A, Qt::ControlModifier, true, 0, 0, 0},
        {Qt::Key_F3, Qt::NoModifier, true, 0, 0, 0}, // no search text: nothing happens
        {Qt::Key_F3, Qt::ControlModifier, true, 0, 0, 0},
    };
    v->setValue(300);
    h->setValue(100);
    for (const Case& c : cases) {
        const int v0 = v->value(), h0 = h->value(), page0 = form.CurrentPage;
        EXPECT_EQ(form.HandleKey(c.key, c.mods), c.consumed) << c.key;
        EXPECT_EQ(v->value() - v0, c.dv) << c.key;
        EXPECT_EQ(h->value() - h0, c.dh) << c.key;
        EXPECT_EQ(form.CurrentPage, c.page ? c.page : page0) << c.key;
    }
    EXPECT_TRUE(messages.isEmpty());

    // Pages: Ctrl+End the last, Ctrl+Page Up the one before, Ctrl+Page Down back, Ctrl+Home the top.
    QTest::keyClick(form.PageBox(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(form.CurrentPage, 4);
    QTest::keyClick(form.PageBox(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(form.CurrentPage, 3);
    QTest::keyClick(form.PageBox(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(form.CurrentPage, 4);
    QTest::keyClick(form.PageBox(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(v->value(), 0);
    EXPECT_EQ(form.CurrentPage, 1);

    // Tab and the arrows never move the focus away from the pages.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.PageBox()->setFocus();
    for (int key : {int(Qt::Key_Tab), int(Qt::Key_Backtab), int(Qt::Key_Down), int(Qt::Key_Right)}) {
        QTest::keyClick(form.PageBox(), Qt::Key(key));
        EXPECT_TRUE(form.PageBox()->hasFocus()) << key;
    }

    // Space opens the zoom menu (without the page-editing items).
    QTest::keyClick(form.PageBox(), Qt::Key_Space);
    EXPECT_TRUE(form.ProcMenu()->isVisible());
    EXPECT_FALSE(form.MenuItem("N5")->isVisible());
    form.ProcMenu()->close();

    // Ctrl+P prints only while the print button is enabled; Ctrl+E edits only while "Edit page" shows.
    form.Button("PrintBtn")->setEnabled(false);
    QTest::keyClick(form.PageBox(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printed, 0);
    form.Button("PrintBtn")->setEnabled(true);
    QTest::keyClick(form.PageBox(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printed, 1);
    form.MenuItem("N5")->setVisible(false);
    QTest::keyClick(form.PageBox(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(edited, 0);
    form.MenuItem("N5")->setVisible(true);
    QTest::keyClick(form.PageBox(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(edited, 1);

    // Ctrl+O, Ctrl+S and Ctrl+F open their dialogs.
    struct DialogCase {
        Qt::Key key;
        const char* className;
    } dialogs[] = {{Qt::Key_O, "QFileDialog"}, {Qt::Key_S, "QFileDialog"}, {Qt::Key_F, "TkvPreviewSearchForm"}};
    for (const DialogCase& d : dialogs) {
        QString opened;
        AnswerNextDialog([&opened](QWidget* w) {
            if (!w) return;
            opened = w->inherits("QFileDialog") ? "QFileDialog" : w->objectName();
            static_cast<QDialog*>(w)->reject();
        });
        QTest::keyClick(form.PageBox(), d.key, Qt::ControlModifier);
        EXPECT_EQ(opened.toStdString(), d.className);
    }

    // Esc closes the window.
    QTest::keyClick(form.PageBox(), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PreviewWindow, FindMarksEveryMatchInTurnAndStopsAfterTheLast) {
    form.PickZoom(3); // two pages a row
    form.StartSearch("needle", false, true);
    const QList<int> expectedPages = {1, 1, 2, 2, 4};
    QList<QRect> found;
    for (int page : expectedPages) {
        ASSERT_TRUE(form.FindNext()) << page;
        EXPECT_EQ(form.CurrentPage, page);
        ASSERT_TRUE(form.CurrentMark().has_value());
        EXPECT_EQ(form.CurrentMark()->page, page - 1);
        // The match is in view.
        const QRect mark = form.MarkScreenRect();
        EXPECT_TRUE(form.PageBox()->rect().contains(mark)) << page;
        found << form.FoundRect;
    }
    // Both matches of a page, top first, at the same places on pages 1 and 2.
    EXPECT_LT(found[0].top(), found[1].top());
    EXPECT_EQ(found[0], found[2]);
    EXPECT_EQ(found[1], found[3]);
    EXPECT_TRUE(messages.isEmpty());
    // After the last match nothing more is found, however often F3 is pressed.
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(form.FindNext());
        EXPECT_EQ(form.CurrentPage, 4);
        EXPECT_FALSE(form.CurrentMark().has_value());
    }
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], "Find text: \"needle\" was not found.");

    // F3 goes through the key table (from the page in view).
    form.StartSearch("needle", false, true);
    form.SetCurrentPage(1);
    QTest::keyClick(form.PageBox(), Qt::Key_F3);
    EXPECT_EQ(form.CurrentPage, 1);
    QTest::keyClick(form.PageBox(), Qt::Key_F3);
    QTest::keyClick(form.PageBox(), Qt::Key_F3);
    EXPECT_EQ(form.CurrentPage, 2);
}

TEST_F(PreviewWindow, F3GoesOnFromThePageInView) {
    form.PickZoom(3);
    form.StartSearch("needle", false, true);
    QTest::keyClick(form.PageBox(), Qt::Key_F3);
    ASSERT_EQ(form.CurrentPage, 1);
    // Moved on to page 4: the next F3 searches there, not on page 1.
    form.SetCurrentPage(4);
    QTest::keyClick(form.PageBox(), Qt::Key_F3);
    EXPECT_EQ(form.CurrentPage, 4);
    ASSERT_TRUE(form.CurrentMark().has_value());
    EXPECT_EQ(form.CurrentMark()->page, 3);
    // Past the last match: "not found" once, then F3 starts over on the page in view.
    QTest::keyClick(form.PageBox(), Qt::Key_F3);
    EXPECT_FALSE(form.CurrentMark().has_value());
    EXPECT_EQ(messages.size(), 1);
    form.SetCurrentPage(2);
    QTest::keyClick(form.PageBox(), Qt::Key_F3);
    EXPECT_EQ(form.CurrentPage, 2);
    ASSERT_TRUE(form.CurrentMark().has_value());
    EXPECT_EQ(form.CurrentMark()->page, 1);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(PreviewWindow, FindOptions) {
    struct Case {
        QString text;
        bool caseSensitive;
        bool fromFirst;
        int startPage;
        QList<int> pages; // the pages of the matches, in order
    } cases[] = {
        {"needle", true, true, 1, {1, 1, 2, 2}},
        {"NEEDLE", true, true, 1, {4}},
        {"eEdL", false, true, 3, {1, 1, 2, 2, 4}},
        {"needle", false, false, 2, {2, 2, 4}}, // from the current page
        {"absent", false, true, 1, {}},
        {"", false, true, 1, {}},
    };
    for (const Case& c : cases) {
        form.SetCurrentPage(c.startPage);
        form.CurrentPage = c.startPage;
        form.SearchPage = 0, form.FoundIndex = 0;
        form.StartSearch(c.text, c.caseSensitive, c.fromFirst);
        QList<int> pages;
        while (form.FindNext() && pages.size() < 10) pages << form.CurrentPage;
        EXPECT_EQ(pages, c.pages) << c.text.toStdString();
    }
    // An empty text finds nothing and says nothing.
    messages.clear();
    form.StartSearch("", false, true);
    EXPECT_FALSE(form.FindNext());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PreviewWindow, FindDialogStartsEmptyAndRunsTheSearch) {
    form.SetCurrentPage(3);
    AnswerNextDialog([](QWidget* w) {
        auto* dialog = dynamic_cast<TkvPreviewSearchForm*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Find text");
        EXPECT_TRUE(dialog->Edit1->text().isEmpty());
        EXPECT_FALSE(dialog->CB1->isChecked());
        EXPECT_TRUE(dialog->RB1->isChecked());
        QTest::keyClicks(dialog->Edit1, "needle");
        dialog->CB1->setChecked(true);
        dialog->Button1->click();
    });
    form.FindCommand();
    EXPECT_EQ(form.CurrentPage, 1);
    EXPECT_EQ(form.SearchText, "needle");
    EXPECT_TRUE(form.CaseSensitive);
}

// The mark inverts the found text's rectangle on screen: white paper turns black there, and the
// next scroll takes it away.
TEST_F(PreviewWindow, MarkPixels) {
    form.PickZoom(100);
    const double dpr = form.PageBox()->devicePixelRatioF();
    auto darkShare = [&](const QRect& r) {
        const QImage img = form.PageBox()->grab().toImage();
        int dark = 0, all = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = img.pixelColor(int(x * dpr + dpr / 2), int(y * dpr + dpr / 2));
                ++all;
                dark += c.lightness() < 128;
            }
        return all ? double(dark) / all : 0.0;
    };
    // On a page drawn whole and on one drawn into its printable area.
    for (const char* text : {"needle", "NEEDLE"}) {
        form.StartSearch(text, true, true);
        ASSERT_TRUE(form.FindNext()) << text;
        QApplication::processEvents();
        const QRect mark = form.MarkScreenRect();
        ASSERT_FALSE(mark.isEmpty());
        // Text covers a small share of its box: inverted, most of the box is dark.
        EXPECT_GT(darkShare(mark), 0.6) << text;
        // Just below the mark the paper is white.
        EXPECT_LT(darkShare(mark.translated(0, mark.height() + 4)), 0.05) << text;
        // Scrolling clears the mark: the text is there, plain.
        QTest::keyClick(form.PageBox(), Qt::Key_Down);
        QApplication::processEvents();
        EXPECT_FALSE(form.CurrentMark().has_value());
        const double plain = darkShare(mark.translated(0, -10));
        EXPECT_GT(plain, 0.0) << text;
        EXPECT_LT(plain, 0.4) << text;
    }
}

TEST_F(PreviewWindow, LoadKeepsZoomAndHorizontalPositionAndAFailedLoadChangesNothing) {
    kvpfile::FileSpec f;
    for (int i = 0; i < 7; ++i) f.Pages.push_back(PageWithTexts({{QPoint(100, 100), "other"}}));
    const QString other = dir.filePath("other.kvp");
    {
        QFile out(other);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(kvpfile::BuildKvp(f));
    }
    form.PickZoom(200);
    form.HScrollBar()->setValue(120);
    form.SetCurrentPage(3);
    ASSERT_TRUE(form.LoadFile(other));
    EXPECT_EQ(form.PageCount(), 7);
    EXPECT_DOUBLE_EQ(form.Zoom, 2.0);
    EXPECT_EQ(form.HScrollBar()->value(), 120);
    EXPECT_EQ(form.CurrentPage, 1);
    EXPECT_EQ(form.PageLabel()->text(), "Page 1/7");

    const QString broken = dir.filePath("broken.kvp");
    {
        QFile out(broken);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(kvpfile::BuildKvp(f).left(300));
    }
    TkvEMFPages* shown = form.Pages();
    EXPECT_FALSE(form.LoadFile(broken));
    EXPECT_FALSE(form.LoadFile(dir.filePath("missing.kvp")));
    EXPECT_EQ(form.Pages(), shown);
    EXPECT_EQ(form.PageCount(), 7);
    EXPECT_EQ(report.EMFPages.Count(), 0);
    EXPECT_EQ(messages.size(), 2);
}

TEST_F(PreviewWindow, SaveDialogListsTheFiltersAndForcesTheExtension) {
    TkvTextExport text;
    int preselected = -1;
    QStringList filters = form.SaveFilterList(&preselected);
    ASSERT_GE(filters.size(), 2);
    EXPECT_EQ(filters[0], "Report file (*.kvp)");
    EXPECT_TRUE(filters.last().contains("(*.txt)"));
    EXPECT_EQ(preselected, 0);
    text.Default = true;
    form.SaveFilterList(&preselected);
    EXPECT_EQ(preselected, filters.size() - 1);

    struct Case {
        QString typed;
        int filter; // -1: the last (text)
        QString written;
    } cases[] = {
        {"saved.txt", 0, "saved.txt.kvp"},
        {"plain", -1, "plain.txt"},
        {"again.kvp", 0, "again.kvp"},
    };
    for (const Case& c : cases) {
        AnswerNextDialog([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->nameFilters(), filters);
            dialog->selectNameFilter(filters[c.filter < 0 ? filters.size() - 1 : c.filter]);
            dialog->selectFile(dir.filePath(c.typed));
            static_cast<QDialog*>(dialog)->accept();
        });
        form.SaveCommand();
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(c.written))) << c.written.toStdString();
        EXPECT_EQ(form.PageCount(), 4);
    }
    TkvReport again;
    again.LoadPreparedFile(dir.filePath("saved.txt.kvp"));
    EXPECT_EQ(again.EMFPages.Count(), 4);
}

TEST(PageSetup, MarginConversions) {
    struct Case {
        int32_t units, hundredths;
    } toDialog[] = {{18, 500}, {10, 277}, {0, 0}, {36, 1000}, {1, 27}};
    for (const Case& c : toDialog) EXPECT_EQ(kv::MarginToHundredthsMm(c.units), c.hundredths) << c.units;
    Case fromDialog[] = {{36, 1000}, {18, 500}, {17, 499}, {0, 27}};
    for (const Case& c : fromDialog) EXPECT_EQ(kv::HundredthsMmToMargin(c.hundredths), c.units) << c.hundredths;
}

TEST_F(PreviewWindow, PageSetupSetsTheDesignMarginsAndKeepsPagesOfAFile) {
    // Starting values: the first prepared page's margins (18 and 10 page units).
    const TkvPageSetupChoice initial = form.InitialPageSetup();
    EXPECT_EQ(initial.Margins, (std::array<int32_t, 4>{500, 277, 0, 0}));
    {
        TkvPageSetupForm dialog(initial);
        EXPECT_DOUBLE_EQ(dialog.MarginBoxes[1]->value(), 2.77);
        dialog.MarginBoxes[0]->setValue(10.0);
        EXPECT_EQ(dialog.Choice().Margins[0], 1000);
    }
    report.Pages.Add();
    int rebuilt = 0;
    form.RebuildReport = [&rebuilt](TkvReport&) { return ++rebuilt > 0; };
    TkvPageSetupChoice choice = initial;
    choice.Margins = {1000, 500, 277, 0};
    // A report read from a file cannot be rebuilt: its pages stay.
    ASSERT_FALSE(report.Rebuildable);
    TkvEMFPages* shown = form.Pages();
    form.ApplyPageSetup(choice);
    EXPECT_EQ(rebuilt, 0);
    EXPECT_EQ(form.Pages(), shown);
    EXPECT_EQ(form.PageCount(), 4);
    const TkvPage& page = *report.Page(0);
    EXPECT_EQ(page.LeftMargin, 36);
    EXPECT_EQ(page.TopMargin, 18);
    EXPECT_EQ(page.RightMargin, 9);
    EXPECT_EQ(page.BottomMargin, 0);
    // One that can is prepared again.
    report.Rebuildable = true;
    form.ApplyPageSetup(choice);
    EXPECT_EQ(rebuilt, 1);
}

TEST_F(PreviewWindow, AddAndDeletePage) {
    // The page-editing items, as where page editing is allowed (a hidden item is also disabled).
    for (const char* n : {"N6", "N7"}) form.MenuItem(n)->setVisible(true);
    form.ResetView(false);
    // Without a design page there is nothing to take the paper from.
    EXPECT_FALSE(form.CanAddPage());
    EXPECT_FALSE(form.MenuItem("N6")->isEnabled());
    form.AddPageCommand();
    EXPECT_EQ(form.PageCount(), 4);

    report.Pages.Add();
    form.ResetView(false);
    EXPECT_TRUE(form.MenuItem("N6")->isEnabled());
    form.SetCurrentPage(2);
    form.CurrentPage = 2;
    form.AddPageCommand();
    ASSERT_EQ(form.PageCount(), 5);
    EXPECT_EQ(form.Pages()->UnpackPage(1).ObjectCount(), 0);
    EXPECT_EQ(form.Pages()->UnpackPage(2).ObjectCount(), 2);

    // Delete asks, and deletes only on Yes; the first page is current afterwards.
    form.CurrentPage = 3;
    answerYes = false;
    form.DeletePageCommand();
    EXPECT_EQ(form.PageCount(), 5);
    answerYes = true;
    form.DeletePageCommand();
    EXPECT_EQ(form.PageCount(), 4);
    EXPECT_EQ(form.CurrentPage, 1);
    EXPECT_EQ(questions.value(0), "Confirm: Remove this page?");
    while (form.PageCount() > 1) form.DeletePageCommand();
    // The last page is never deleted, and the command is not even offered.
    questions.clear();
    form.DeletePageCommand();
    EXPECT_EQ(form.PageCount(), 1);
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_FALSE(form.MenuItem("N7")->isEnabled());
}

TEST_F(PreviewWindow, HelpModeShowsTheContextOfTheControlClicked) {
    QList<int> shown;
    form.ContextHelp = [&shown](int context) { shown << context; };
    form.HelpCommand();
    EXPECT_TRUE(form.InHelpMode());
    QTest::mouseClick(&form, Qt::LeftButton, {}, form.PageBox()->mapTo(&form, QPoint(5, 5)));
    EXPECT_FALSE(form.InHelpMode());
    form.HelpCommand();
    QTest::mouseClick(&form, Qt::LeftButton, {}, form.Button("HelpBtn")->mapTo(&form, QPoint(3, 3)));
    EXPECT_EQ(shown, QList<int>{207});
}

TEST(PreviewPlacement, KeptInTheUserSettings) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QWidget window;
    window.setGeometry(40, 50, 640, 480);
    kv::SavePreviewPlacement(window);
    {
        QSettings s(QSettings::UserScope, "Kavora", QCoreApplication::applicationName());
        s.beginGroup("Form/TkvPreviewForm");
        EXPECT_EQ(s.value("Width").toInt(), 640);
        EXPECT_EQ(s.value("Height").toInt(), 480);
        EXPECT_FALSE(s.value("Maximized").toBool());
    }
    QWidget other;
    other.setGeometry(0, 0, 300, 200);
    kv::RestorePreviewPlacement(other);
    EXPECT_EQ(other.size(), QSize(640, 480));
    EXPECT_FALSE(other.windowState() & Qt::WindowMaximized);
    {
        QSettings s(QSettings::UserScope, "Kavora", QCoreApplication::applicationName());
        s.remove("Form/TkvPreviewForm/Maximized");
    }
    kv::RestorePreviewPlacement(other);
    EXPECT_TRUE(other.windowState() & Qt::WindowMaximized);
}

// The viewer's document window finds through its embedded preview; F3 goes on.
TEST(ViewerFind, EmbeddedPreviewFindsAndGoesOnWithF3) {
    kv::StartUp();
    QTemporaryDir dir;
    const QString path = WriteSearchReport(dir.filePath("search.kvp"));
    TfrmChild child;
    child.resize(900, 700);
    child.show();
    ASSERT_TRUE(child.OpenFile(path));
    EXPECT_TRUE(child.Capabilities() & kvcap::Find);
    TkvPreviewForm& form = child.Preview().Form();
    form.ShowMessage = [](const QString&, const QString&) {};
    AnswerNextDialog([](QWidget* w) {
        auto* dialog = dynamic_cast<TkvPreviewSearchForm*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Edit1->setText("needle");
        dialog->Button1->click();
    });
    child.Find();
    EXPECT_EQ(child.CurrentPage(), 1);
    QTest::keyClick(form.PageBox(), Qt::Key_F3);
    QTest::keyClick(form.PageBox(), Qt::Key_F3);
    EXPECT_EQ(child.CurrentPage(), 2);
    EXPECT_TRUE(form.CurrentMark().has_value());
}

// Two document windows each have their own table RTF filter; only the first is registered. The
// second window's save must export through its own filter, with its options: it once used the
// first window's, whose options and state it then shared.
TEST(ViewerExport, EachWindowExportsThroughItsOwnFilter) {
    kv::StartUp();
    QTemporaryDir dir;
    const QString path = WriteSearchReport(dir.filePath("search.kvp"));
    TfrmChild first, second;
    ASSERT_TRUE(first.OpenFile(path));
    ASSERT_TRUE(second.OpenFile(path));
    const auto tableFilter = [](TfrmChild& child) -> TkvExportFilter* {
        for (TkvExportFilter* f : child.Preview().Form().OwnExportFilters)
            if (QByteArray(f->ClassName()) == "TkvRtfAdvExport") return f;
        return nullptr;
    };
    auto* mine = dynamic_cast<TkvRtfAdvExport*>(tableFilter(second));
    auto* theirs = dynamic_cast<TkvRtfAdvExport*>(tableFilter(first));
    ASSERT_TRUE(mine && theirs && mine != theirs);
    mine->ShowDialog = theirs->ShowDialog = false;
    mine->PageBreaks = false; // the first window keeps its page breaks

    TkvPreviewForm& form = second.Preview().Form();
    form.ShowMessage = [](const QString&, const QString&) {};
    const QStringList filters = form.SaveFilterList(nullptr);
    const qsizetype table = filters.indexOf(QRegularExpression(".*advanced.*"));
    ASSERT_GT(table, 0);
    AnswerNextDialog([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->selectNameFilter(filters[table]);
        dialog->selectFile(dir.filePath("table.rtf"));
        static_cast<QDialog*>(dialog)->accept();
    });
    form.SaveCommand();
    EXPECT_EQ(mine->FileName, dir.filePath("table.rtf"));
    EXPECT_TRUE(theirs->FileName.isEmpty());
    QFile written(dir.filePath("table.rtf"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray rtf = written.readAll();
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_FALSE(rtf.contains("\\sect\\sectd")) << "exported with the first window's page breaks";
}

} // namespace
