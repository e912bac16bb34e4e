#pragma once
// Small templates built in code over in-memory data sets, built with TkvReportBuilder, and the
// texts of the prepared pages read back as the viewer reads them.
#include "base/component_directory.h"
#include "core/globals.h"
#include "core/startup.h"
#include "core/report/report.h"
#include "core/views/band_control_views.h"
#include "core/views/band_view.h"
#include "core/views/memo_view.h"
#include "core/views/standard_views.h"
#include "engine/build/report_builder.h"
#include "engine/data/dataset.h"
#include "engine/data/row_sources.h"

#include <QStringList>

namespace kvtest {

struct PrintedText {
    int Left = 0, Top = 0, Height = 0;
    QByteArray Text; // lines joined with "|", paragraph marks removed
};

class BuildFixture {
public:
    BuildFixture() {
        kv::StartUp();
        kv::RegisterStandardViews();
        kv::RegisterBandAndControlViews();
        kv::SetComponentDirectory(&directory);
        page = AddPage(report);
    }

    // A report page with 20-unit margins on A4 (in page units, whatever printer the machine has).
    static TkvPage* AddPage(TkvReport& to) {
        TkvPage* p = to.Page(to.Pages.Add());
        p->LeftMargin = p->TopMargin = p->RightMargin = p->BottomMargin = 20;
        p->UseMargins = 1;
        p->Metrics.PageWidth = 758;
        p->Metrics.PageHeight = 1071;
        return p;
    }
    ~BuildFixture() { kv::SetComponentDirectory(nullptr); }
    BuildFixture(const BuildFixture&) = delete;
    BuildFixture& operator=(const BuildFixture&) = delete;

    // A data set NAME over rows of text and integer columns.
    TkvDBDataSet* AddTable(const QByteArray& name, std::vector<TkvColumn> columns, std::vector<TkvRow> rows) {
        auto* table = module.Add(std::make_unique<TkvRecordSet>(
            name + "Table", std::make_unique<TkvMemoryRowSource>(std::move(columns), std::move(rows))));
        auto* set = module.Add(std::make_unique<TkvDBDataSet>(name));
        set->SetDataSet(table);
        return set;
    }

    TkvBandView* AddBand(int type, int top, int height, const QByteArray& name, const QByteArray& source = {},
                         uint16_t flags = 0) {
        auto v = std::make_unique<TkvBandView>();
        v->Name = name;
        v->SetBandType(type);
        v->SetBounds(0, top, 700, height);
        v->SetDataSource(source);
        v->Flags = flags;
        auto* raw = v.get();
        page->Objects.push_back(std::move(v));
        return raw;
    }

    TkvMemoView* AddText(int left, int top, int width, int height, const QByteArray& text, uint16_t flags = 0x0002) {
        auto v = std::make_unique<TkvMemoView>();
        v->Name = "Text" + QByteArray::number(++texts_);
        v->SetBounds(left, top, width, height);
        v->Memo = kv::SplitLines(text);
        v->Flags = flags;
        auto* raw = v.get();
        page->Objects.push_back(std::move(v));
        return raw;
    }

    TkvBuildResult Build(int maxPages = 100000) {
        TkvReportBuilder builder(report);
        builder.MaxPages = maxPages;
        if (progress) builder.Progress = progress;
        for (const auto& [k, v] : vars) builder.Variables.SetVariable(k, v);
        if (setup) setup(builder);
        bottom = page->PrintAreaBottom();
        top = page->PrintAreaTop();
        TkvBuildResult r = builder.BuildDocument();
        page = report.Page(0); // the template was reloaded
        return r;
    }

    // The texts of a prepared page of `report`, or of `from` (a composite's store).
    std::vector<PrintedText> Texts(int pageIndex, TkvReport* from = nullptr) {
        TkvEMFPages& store = (from ? *from : report).EMFPages;
        std::vector<PrintedText> out;
        TkvPage& p = store.UnpackPage(pageIndex);
        for (const auto& v : p.Objects) {
            if (v->ObjectType != kvvt::Text) continue;
            QByteArray t;
            for (QByteArray line : v->Memo) {
                line.replace('\x01', "");
                if (line.isEmpty()) continue;
                t += (t.isEmpty() ? "" : "|") + line;
            }
            out.push_back({v->Left, v->Top, v->Height, t});
        }
        store.ReleasePage(pageIndex);
        return out;
    }

    // The texts of a page in print order, joined with ", ".
    QByteArray PageText(int pageIndex, TkvReport* from = nullptr) {
        QByteArray s;
        for (const PrintedText& t : Texts(pageIndex, from)) s += (s.isEmpty() ? "" : ", ") + t.Text;
        return s;
    }

    // Every page as "[texts]".
    QByteArray AllText(TkvReport* from = nullptr) {
        QByteArray s;
        for (int i = 0; i < (from ? *from : report).EMFPages.Count(); ++i) s += "[" + PageText(i, from) + "]";
        return s;
    }

    TkvDataDirectory directory;
    TkvDataModule& module = directory.AddModule("Data");
    TkvReport report;
    TkvPage* page = nullptr;
    std::function<bool(int)> progress;
    std::function<void(TkvReportBuilder&)> setup; // called before the build starts
    int top = 0, bottom = 0; // the print area the build used
    std::vector<std::pair<QByteArray, TkvVariant>> vars;

private:
    int texts_ = 0;
};

inline TkvRow Row(std::initializer_list<TkvVariant> values) { return TkvRow(values); }

} // namespace kvtest
