// Preparing reports as a whole: composite reports (chained reports in one store), rtMultiple
// reports, pages continuing on the previous page, what the final pass of a two-pass build starts
// from, STOPREPORT per pass, and the progress texts a window is given.
#include "build_fixture.h"

#include "core/report/composite_report.h"
#include "core/store/emf_pages.h"
#include "engine/build/build_host.h"

#include <gtest/gtest.h>

using kvtest::BuildFixture;
using kvtest::Row;

namespace {

std::vector<TkvRow> NamedRows(std::initializer_list<const char*> names) {
    std::vector<TkvRow> rows;
    int n = 0;
    for (const char* name : names) rows.push_back(Row({QByteArray(name), int64_t(++n)}));
    return rows;
}

// A second report built on the fixture's pages helpers.
struct OtherReport {
    TkvReport report;
    TkvPage* page = BuildFixture::AddPage(report);
};

// Adds to `page` (through the fixture, which adds to its current page).
template <class F> void On(BuildFixture& f, TkvPage* page, F add) {
    TkvPage* kept = f.page;
    f.page = page;
    add();
    f.page = kept;
}

TEST(CompositeReport, NextReportContinuesOnTheLastPageOnlyOnTheSamePaper) {
    struct Case {
        const char* what;
        bool printToPrevPage;
        uint8_t orientation; // of the second report's page
        const char* expected;
    } cases[] = {
        {"continues below the first report", true, 0, "[A a p1, A b p1, B p1 of 1]"},
        {"another orientation starts a page", true, 1, "[A a p1, A b p1][B p2 of 2]"},
        {"without PrintToPrevPage", false, 0, "[A a p1, A b p1][B p2 of 2]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NamedRows({"a", "b"}));
        f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
        f.AddText(20, 20, 200, 18, "A [T.Name] p[PAGE#]");
        OtherReport b;
        b.page->PrintToPrevPage = c.printToPrevPage;
        f.page->PaperSize = b.page->PaperSize = 9;
        b.page->Orientation = c.orientation;
        On(f, b.page, [&] {
            f.AddBand(kvbt::Title, 20, 20, "BTitle");
            f.AddText(20, 20, 200, 18, "B p[PAGE#] of [TOTALPAGES]");
        });
        TkvCompositeReport composite;
        composite.DoublePassReport = 1;
        composite.Reports = {&f.report, &b.report};
        TkvReportBuilder builder(composite);
        const TkvBuildResult r = builder.BuildDocument();
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        EXPECT_EQ(f.AllText(&composite).toStdString(), c.expected);
        EXPECT_EQ(f.report.EMFPages.Count(), 0) << "the pages go to the composite's store";
        if (c.printToPrevPage && c.orientation == 0) {
            EXPECT_EQ(f.Texts(0, &composite).back().Top, 60);
        }
    }
}

TEST(CompositeReport, PerRecordOfItsDatasetEachReportStartsFromItsTemplate) {
    BuildFixture f;
    auto* customers = f.AddTable("C", {{"Name"}, {"N", TkvFieldType::Integer}}, NamedRows({"x", "y"}));
    // A script that moves its object: built from a fresh template copy each time, the move
    // happens once per record, not once more per record.
    auto* title = f.AddBand(kvbt::Title, 20, 20, "ATitle");
    title->ScriptLines = {"MOVED.Left := MOVED.Left + 100"};
    f.AddText(20, 20, 200, 18, "A [C.Name] p[PAGE#]")->Name = "MOVED";
    OtherReport b;
    On(f, b.page, [&] {
        f.AddBand(kvbt::Title, 20, 20, "BTitle");
        f.AddText(20, 20, 200, 18, "B [C.Name] p[PAGE#]");
    });
    TkvCompositeReport composite;
    composite.Dataset = customers;
    composite.Reports = {&f.report, &b.report};
    TkvReportBuilder builder(composite);
    const TkvBuildResult r = builder.BuildDocument();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    EXPECT_EQ(f.AllText(&composite).toStdString(), "[A x p1][B x p2][A y p3][B y p4]");
    EXPECT_EQ(f.Texts(0, &composite).front().Left, 120);
    EXPECT_EQ(f.Texts(2, &composite).front().Left, 120);
    EXPECT_EQ(f.report.FindViewByName("MOVED")->Left, 20) << "the template is back as it was";
}

TEST(CompositeReport, AStopInOneReportEndsTheWholeChain) {
    struct Case {
        const char* what;
        bool stopReport;      // STOPREPORT in the first report, else the progress cancels
        bool doublePass;
        const char* expected; // pages kept
    } cases[] = {
        {"STOPREPORT, single pass", true, false, "[A a][]"},
        {"progress cancel as page 2 starts", false, false, "[A a][]"},
        {"STOPREPORT in the first pass", true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NamedRows({"a", "b", "c"}));
        auto* rows = f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T", kvbf::FormNewPage);
        if (c.stopReport) rows->ScriptLines = {"if [T.N] = 2 then STOPREPORT"};
        f.AddText(20, 20, 200, 18, "A [T.Name]");
        OtherReport b;
        On(f, b.page, [&] {
            f.AddBand(kvbt::Title, 20, 20, "BTitle");
            f.AddText(20, 20, 200, 18, "B");
        });
        TkvCompositeReport composite;
        composite.DoublePassReport = c.doublePass;
        composite.Reports = {&f.report, &b.report};
        TkvReportBuilder builder(composite);
        if (!c.stopReport) builder.Progress = [](int page) { return page < 2; };
        const TkvBuildResult r = builder.BuildDocument();
        EXPECT_FALSE(r.Ok);
        EXPECT_TRUE(r.Cancelled);
        EXPECT_TRUE(r.ErrorText.isEmpty()) << r.ErrorText.constData();
        EXPECT_EQ(f.AllText(&composite).toStdString(), c.expected);
        EXPECT_FALSE(f.report.CancelRequested);
        EXPECT_FALSE(composite.CancelRequested);
    }
}

TEST(CompositeReport, ErrorsNameTheReportAndLeaveAnEmptyStore) {
    BuildFixture f;
    f.report.Name = "First";
    f.AddBand(kvbt::Title, 20, 20, "ATitle");
    f.AddText(20, 20, 200, 18, "A");
    OtherReport b;
    b.report.Name = "Second";
    On(f, b.page, [&] {
        f.AddBand(kvbt::Title, 20, 20, "BTitle");
        f.AddText(20, 20, 200, 18, "[NOSUCHNAME]");
    });
    TkvCompositeReport composite;
    composite.Reports = {&f.report, &b.report};
    TkvReportBuilder builder(composite);
    TkvBuildResult r = builder.BuildDocument();
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.ErrorText.contains("Second")) << r.ErrorText.constData();
    EXPECT_TRUE(r.ErrorText.endsWith("Undefined symbol \"NOSUCHNAME\"")) << r.ErrorText.constData();
    EXPECT_EQ(composite.EMFPages.Count(), 0);

    // A chain that holds the composite itself cannot be built.
    composite.Reports = {&f.report, &composite};
    r = builder.BuildDocument();
    EXPECT_FALSE(r.Ok);
    EXPECT_FALSE(r.ErrorText.isEmpty());
}

// ---------------------------------------------------------------- one report

TEST(ReportPreparation, MultipleReportBuildsItsPagesOncePerRecord) {
    BuildFixture f;
    auto* customers = f.AddTable("C", {{"Name"}, {"N", TkvFieldType::Integer}}, NamedRows({"x", "y", "z"}));
    f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NamedRows({"a", "b"}));
    f.AddBand(kvbt::Title, 20, 20, "Title");
    f.AddText(20, 20, 200, 18, "[C.Name] p[PAGE#] of [TOTALPAGES]");
    f.AddBand(kvbt::MasterData, 50, 20, "Rows", "T");
    f.AddText(20, 50, 200, 18, "[T.Name][LINE#]");
    f.report.Dataset = customers;
    f.report.ReportType = TkvReportType::rtMultiple;
    f.report.DoublePassReport = 1;
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    EXPECT_EQ(f.AllText().toStdString(),
              "[x p1 of 3, a1, b2][y p2 of 3, a1, b2][z p3 of 3, a1, b2]");
}

TEST(ReportPreparation, APageContinuesOnThePreviousOneUnlessItWasFull) {
    struct Case {
        const char* what;
        int rows;             // rows of the first design page
        const char* expected; // page texts
        int secondTop;        // where the second design page's title printed
    } cases[] = {
        {"room left", 2, "[a, b, Second]", 60},
        {"first page full", 0, "", 0}, // filled below: exactly a page of rows
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        const int perPage = (f.page->PrintAreaBottom() - f.page->PrintAreaTop()) / 20;
        std::vector<TkvRow> rows;
        const int n = c.rows ? c.rows : perPage;
        for (int i = 0; i < n; ++i) rows.push_back(Row({QByteArray(1, char('a' + i % 26)), int64_t(i)}));
        f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, rows);
        f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
        f.AddText(20, 20, 200, 18, "[T.Name]");
        TkvPage* second = BuildFixture::AddPage(f.report);
        second->PrintToPrevPage = 1;
        On(f, second, [&] {
            f.AddBand(kvbt::Title, 20, 20, "Title2");
            f.AddText(20, 20, 200, 18, "Second");
        });
        const TkvBuildResult r = f.Build();
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        if (c.rows) {
            EXPECT_EQ(f.AllText().toStdString(), c.expected);
            EXPECT_EQ(f.Texts(0).back().Top, c.secondTop);
        } else {
            ASSERT_EQ(r.PageCount, 2) << "a full page is not written over";
            EXPECT_EQ(f.PageText(1).toStdString(), "Second");
            EXPECT_EQ(f.Texts(1).front().Top, 20);
        }
    }
}

// The final pass of a two-pass build gives the pages a single pass gives (but for TOTALPAGES):
// nothing of the first pass carries over.
TEST(ReportPreparation, TheFinalPassStartsWhereTheFirstDid) {
    struct Case {
        const char* what;
        uint16_t footerFlags;
        const char* footer;
    } cases[] = {
        {"page sums, no footer on the last page", kvbf::OnFirstPage, "sum [SUM(T.N)]"},
        {"page sums on every page", kvbf::OnFirstPage | kvbf::OnLastPage, "sum [SUM(T.N)]"},
        {"line numbers and page numbers", kvbf::OnFirstPage | kvbf::OnLastPage, "[LINE#] [PAGE#] [CURRENT#]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray single;
        std::vector<int> endPages[2];
        for (int pass = 0; pass < 2; ++pass) {
            BuildFixture f;
            std::vector<TkvRow> rows;
            for (int i = 1; i <= 150; ++i) rows.push_back(Row({QByteArray("r" + QByteArray::number(i)), int64_t(i)}));
            f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, rows);
            f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
            f.AddText(20, 20, 200, 18, "[T.Name] [LINE#]");
            f.AddBand(kvbt::PageFooter, 60, 20, "PF", {}, c.footerFlags);
            f.AddText(20, 60, 300, 18, c.footer);
            f.report.DoublePassReport = pass;
            std::vector<int>& ends = endPages[pass];
            TkvReportBuilder* builder = nullptr;
            f.setup = [&](TkvReportBuilder& b) { builder = &b; };
            f.report.OnEndPage = [&](int page) {
                if (builder->FinalPass) ends.push_back(page);
            };
            const TkvBuildResult r = f.Build();
            ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
            ASSERT_GE(r.PageCount, 3);
            if (pass == 0)
                single = f.AllText();
            else
                EXPECT_EQ(f.AllText().toStdString(), single.toStdString());
        }
        EXPECT_EQ(endPages[0], endPages[1]);
        for (size_t i = 0; i < endPages[1].size(); ++i) EXPECT_EQ(endPages[1][i], int(i)) << "OnEndPage once per page";
    }
}

TEST(ReportPreparation, StopReportPerPassAndFinalPass) {
    struct Case {
        const char* what;
        bool doublePass;
        const char* script;   // of the data band
        const char* expected; // pages kept
        bool cancelled;
    } cases[] = {
        {"single pass: FINALPASS is true", false, "", "[a T, b T, c T]", false},
        {"two passes: only the final pass is kept", true, "", "[a T, b T, c T]", false},
        {"STOPREPORT in a single pass keeps the pages so far", false, "if [T.N] = 3 then STOPREPORT", "[a T, b T]",
         true},
        {"STOPREPORT in the first pass leaves no pages", true, "if [T.N] = 3 then STOPREPORT", "", true},
        {"STOPREPORT in the final pass keeps its pages so far", true, "if FINALPASS and ([T.N] = 3) then STOPREPORT",
         "[a T, b T]", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NamedRows({"a", "b", "c"}));
        auto* rows = f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
        rows->ScriptLines = {"if FINALPASS then P := 'T' else P := 'F';"};
        if (*c.script) rows->ScriptLines.append(c.script);
        f.vars.push_back({"P", TkvVariant(QByteArray("?"))});
        f.AddText(20, 20, 200, 18, "[T.Name] [P]");
        f.report.DoublePassReport = c.doublePass;
        const TkvBuildResult r = f.Build();
        EXPECT_TRUE(r.ErrorText.isEmpty()) << r.ErrorText.constData();
        EXPECT_EQ(r.Cancelled, c.cancelled);
        EXPECT_EQ(f.AllText().toStdString(), c.expected);
    }
}

// Records what a progress window would be told.
class FakeHost : public TkvBuildHost {
public:
    void RunBuild(TkvReport& report, const QByteArray& caption, const std::function<void()>& build) override {
        Report = &report;
        Caption = caption;
        ++Runs;
        build();
    }
    void ShowProgressNote(const QByteArray& text) override { Notes.push_back(text); }
    void ShowProgress(const QByteArray& text) override {
        Lines.push_back(text);
        if (CancelAt == int(Lines.size())) Report->CancelRequested = true; // the Cancel button
    }
    TkvReport* Report = nullptr;
    QByteArray Caption;
    int Runs = 0;
    std::vector<QByteArray> Lines;
    std::vector<QByteArray> Notes; // PROGRESS of scripts
    int CancelAt = -1;
};

TEST(ReportPreparation, ProgressWindowTexts) {
    struct Case {
        const char* what;
        bool doublePass;
        QByteArray title;
        int cancelAt;
        QByteArray caption;
        std::vector<QByteArray> lines;
        int pages;
    } cases[] = {
        {"single pass", false, "", -1, "Preparing report",
         {"Processing page:  1", "Processing page:  2", "Processing page:  3"}, 3},
        {"two passes", true, "Prices", -1, "Preparing report - Prices",
         {"Performing 1st pass:  1", "Performing 1st pass:  2", "Performing 1st pass:  3", "Processing page:  1 from 3",
          "Processing page:  2 from 3", "Processing page:  3 from 3"},
         3},
        {"cancel as page 2 starts: it is kept", false, "", 2, "Preparing report",
         {"Processing page:  1", "Processing page:  2"}, 2},
        {"cancel in the first pass", true, "", 2, "Preparing report",
         {"Performing 1st pass:  1", "Performing 1st pass:  2"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NamedRows({"a", "b", "c"}));
        f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T", kvbf::FormNewPage)->ScriptLines = {"PROGRESS := [T.Name]"};
        f.AddText(20, 20, 200, 18, "[T.Name]");
        f.report.DoublePassReport = c.doublePass;
        f.report.Title = c.title;
        FakeHost host;
        host.CancelAt = c.cancelAt;
        f.setup = [&](TkvReportBuilder& b) { b.Host = &host; };
        const TkvBuildResult r = f.Build();
        EXPECT_EQ(host.Runs, 1);
        EXPECT_EQ(host.Caption, c.caption);
        EXPECT_EQ(host.Lines, c.lines);
        ASSERT_FALSE(host.Notes.empty());
        EXPECT_EQ(host.Notes.front(), "a");
        EXPECT_EQ(r.PageCount, c.pages);
        EXPECT_EQ(r.Ok, c.cancelAt < 0);
        EXPECT_EQ(r.Cancelled, c.cancelAt >= 0);
    }
    // Without ShowProgress, or with the report's own OnProgress, no window is shown.
    for (int variant = 0; variant < 2; ++variant) {
        BuildFixture f;
        f.AddBand(kvbt::Title, 20, 20, "Title");
        f.AddText(20, 20, 200, 18, "t");
        std::vector<int> pages;
        if (variant == 0)
            f.report.ShowProgress = false;
        else
            f.report.OnProgress = [&](int page) { pages.push_back(page); };
        FakeHost host;
        f.setup = [&](TkvReportBuilder& b) { b.Host = &host; };
        EXPECT_TRUE(f.Build().Ok);
        EXPECT_EQ(host.Runs, 0);
        EXPECT_TRUE(host.Lines.empty());
        EXPECT_EQ(pages, variant == 0 ? std::vector<int>{} : std::vector<int>{1});
    }
}

TEST(ReportPreparation, AnInvisiblePageRunsItsScriptWhichMayShowIt) {
    for (int show = 0; show < 2; ++show) {
        SCOPED_TRACE(show);
        BuildFixture f;
        f.AddBand(kvbt::Title, 20, 20, "Title1");
        f.AddText(20, 20, 200, 18, "one");
        TkvPage* second = BuildFixture::AddPage(f.report);
        second->PageVisible = false;
        second->Script = {"Runs := Runs + 1; if Show = 1 then PAGE2.Visible := True"};
        On(f, second, [&] {
            f.AddBand(kvbt::Title, 20, 20, "Title2");
            f.AddText(20, 20, 200, 18, "two [Runs]");
        });
        f.vars = {{"Show", TkvVariant(int64_t(show))}, {"Runs", TkvVariant(int64_t(0))}};
        const TkvBuildResult r = f.Build();
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        // A page made visible runs its script again as it is built.
        EXPECT_EQ(f.AllText().toStdString(), show ? "[one][two 2]" : "[one]");
    }
}

TEST(ReportPreparation, ViewsAlignedToTheBandEdgesPrintAtTheirAlignedPlaces) {
    struct Case {
        const char* what;
        uint8_t bandAlign;
        int expectedLeft; // from the print area's edges, -1 for the right edge less the width
    } cases[] = {{"right", 2, -1}, {"centre", 3, -2}, {"none", 0, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddBand(kvbt::Title, 20, 20, "Title");
        f.AddText(50, 20, 100, 18, "aligned")->BandAlign = c.bandAlign;
        const int left = f.page->PrintAreaLeft(), right = f.page->PrintAreaRight();
        const TkvBuildResult r = f.Build();
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        const int expected = c.expectedLeft == -1   ? right - 100
                             : c.expectedLeft == -2 ? left + (right - left - 100) / 2
                                                    : c.expectedLeft;
        EXPECT_EQ(f.Texts(0).front().Left, expected);
        EXPECT_EQ(f.page->Objects.back()->Left, 50) << "the template keeps its place";
    }
}

} // namespace
