// Builds run from the viewer show the progress window: its caption and line follow the passes and
// pages, Cancel stops the build, and PrepareReport shows a failed build's error in a message box.
#include "app/build_progress_window.h"
#include "app/report_preparation.h"
#include "engine/build_fixture.h"
#include "preview/preview_form.h"
#include "print/progress_form.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using kvtest::BuildFixture;
using kvtest::Row;

namespace {

void AddPricesOnePerPage(BuildFixture& f) {
    f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}},
               {Row({QByteArray("a"), int64_t(1)}), Row({QByteArray("b"), int64_t(2)}),
                Row({QByteArray("c"), int64_t(3)})});
    f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T", kvbf::FormNewPage)->ScriptLines = {"PROGRESS := 'at ' + [T.Name]"};
    f.AddText(20, 20, 200, 18, "[T.Name]");
    f.report.Title = "Prices";
}

TEST(BuildProgressWindow, FollowsThePassesAndCancelStopsTheBuild) {
    struct Case {
        const char* what;
        bool doublePass;
        int cancelAt; // the progress call at which Cancel is clicked, or -1
        QStringList lines;
        int pages;
    } cases[] = {
        {"single pass", false, -1, {"Processing page:  1", "Processing page:  2", "Processing page:  3"}, 3},
        {"two passes",
         true,
         -1,
         {"Performing 1st pass:  1", "Performing 1st pass:  2", "Performing 1st pass:  3", "Processing page:  1 from 3",
          "Processing page:  2 from 3", "Processing page:  3 from 3"},
         3},
        {"Cancel on page 2", false, 2, {"Processing page:  1", "Processing page:  2"}, 2},
        {"Cancel in the first pass", true, 2, {"Performing 1st pass:  1", "Performing 1st pass:  2"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        AddPricesOnePerPage(f);
        f.report.DoublePassReport = c.doublePass;
        TkvBuildProgressWindow window;
        QStringList lines;
        QStringList captions;
        QString note;
        bool shown = true;
        f.setup = [&](TkvReportBuilder& b) { b.Host = &window; };
        f.progress = [&](int) {
            TkvProgressForm* form = window.Form();
            if (!form) return true;
            shown = shown && form->isVisible() && form->isModal();
            lines << form->Label1->text();
            captions << form->windowTitle();
            note = form->Label2->text();
            if (lines.size() == c.cancelAt) QTest::mouseClick(form->Button1, Qt::LeftButton);
            return true;
        };
        const TkvBuildResult r = f.Build();
        EXPECT_TRUE(shown);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(captions.value(0), "Preparing report - Prices");
        EXPECT_EQ(note, c.cancelAt < 0 ? "at b" : "at a") << "what the script assigned to PROGRESS";
        EXPECT_EQ(r.PageCount, c.pages);
        EXPECT_EQ(r.Cancelled, c.cancelAt > 0);
        EXPECT_EQ(r.Ok, c.cancelAt < 0);
        EXPECT_EQ(window.Form(), nullptr);
        ASSERT_NE(kv::ExistingProgressWindow(), nullptr);
        EXPECT_FALSE(kv::ExistingProgressWindow()->isVisible()) << "the window closes with the build";
        EXPECT_FALSE(f.report.CancelRequested);
    }
}

TEST(BuildProgressWindow, PrepareReportShowsTheBuildErrorInAMessageBox) {
    BuildFixture f;
    f.AddBand(kvbt::Title, 20, 20, "Title");
    f.AddText(20, 20, 200, 18, "[NOSUCHNAME]")->Name = "Broken";
    QString caption, text;
    // The box is modal: read and close it once it is up (the progress window comes first).
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w);
                box && box->objectName() == "kvBuildErrorBox" && box->isVisible()) {
                caption = box->windowTitle();
                text = box->text();
                box->accept();
                poll.stop();
            }
    });
    poll.start(5);
    TkvBuildResult result;
    EXPECT_FALSE(kv::PrepareReport(f.report, {}, &result));
    EXPECT_EQ(caption, "Error");
    EXPECT_TRUE(text.contains("Broken")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("Undefined symbol \"NOSUCHNAME\"")) << text.toStdString();
    EXPECT_EQ(f.report.EMFPages.Count(), 0);

    // A build that works shows no box and keeps its pages.
    BuildFixture good;
    AddPricesOnePerPage(good);
    EXPECT_TRUE(kv::PrepareReport(good.report));
    EXPECT_EQ(good.report.EMFPages.Count(), 3);
}

// ShowReport: the pages go to the report's preview when the build made them, and a failed
// build shows its error instead.
TEST(BuildProgressWindow, ShowReportShowsThePagesOfABuildThatWorked) {
    class Preview : public TkvPreviewHost {
    public:
        void AttachReport(TkvReport* report) override { Pages = report->EMFPages.Count(); ++Attached; }
        void DetachReport() override {}
        int Attached = 0;
        int Pages = -1;
    };
    for (bool broken : {false, true}) {
        SCOPED_TRACE(broken);
        BuildFixture f;
        AddPricesOnePerPage(f);
        if (broken) f.AddText(20, 300, 200, 18, "[NOSUCHNAME]");
        Preview preview;
        f.report.Preview = &preview;
        QTimer poll; // closes the error box
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) box->accept();
        });
        poll.start(5);
        EXPECT_EQ(kv::ShowReport(f.report), !broken);
        EXPECT_EQ(preview.Attached, broken ? 0 : 1);
        if (!broken) {
            EXPECT_EQ(preview.Pages, 3);
        }
        f.report.Preview = nullptr;
    }
}

TEST(BuildProgressWindow, ShowReportsPreviewWindowPreparesTheReportAgain) {
    BuildFixture f;
    AddPricesOnePerPage(f);
    f.report.ModalPreview = false;
    ASSERT_TRUE(kv::ShowReport(f.report));
    TkvPreviewForm* form = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = dynamic_cast<TkvPreviewForm*>(w); p && p->isVisible()) form = p;
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->PageCount(), 3);
    ASSERT_TRUE(form->RebuildReport) << "page setup can prepare the report again";
    form->ReturnPages();
    f.report.EMFPages.Clear();
    EXPECT_TRUE(form->RebuildReport(f.report));
    EXPECT_EQ(f.report.EMFPages.Count(), 3);
    form->TakePages(&f.report);
    form->close();
    QCoreApplication::processEvents();
}

} // namespace
