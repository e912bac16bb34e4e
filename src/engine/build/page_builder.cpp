#include "engine/build/page_builder.h"

#include "core/globals.h"
#include "core/library_context.h"
#include "core/report/name_resolution.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/views/memo_view.h"
#include "engine/build/report_builder.h"
#include "engine/data/dataset.h"
#include "engine/data/dictionary_lookup.h"
#include "script/aggregate_splitter.h"

#include <algorithm>

namespace {

// What a run-time band copies of the band view it is made from; the view points back at it.
void TakeView(TkvRunBand& band, TkvBandView& view) {
    band.View = &view;
    band.Name = view.Name;
    band.Flags = view.Flags;
    band.Left = view.Left;
    band.Top = view.Top;
    band.Width = view.Width;
    band.Height = view.Height;
    band.Visible = view.Visible != 0;
    band.ScriptLines = view.ScriptLines;
    view.OwnerBand = &band;
}

} // namespace

TkvPageBuilder::TkvPageBuilder(TkvReportBuilder& builder, TkvPage& page) : Builder(builder), Page(page) {}

TkvPageBuilder::~TkvPageBuilder() = default;

TkvRunBand* TkvPageBuilder::NewBand(int type) {
    owned_.push_back(std::make_unique<TkvRunBand>(type, *this));
    return owned_.back().get();
}

// ---------------------------------------------------------------- geometry

int TkvPageBuilder::LeftEdge() const {
    return MarginsOf ? MarginsOf->LeftEdge() : Page.PrintAreaLeft();
}
int TkvPageBuilder::RightEdge() const {
    return MarginsOf ? MarginsOf->RightEdge() : Page.PrintAreaRight();
}
int TkvPageBuilder::TopEdge() const {
    return MarginsOf ? MarginsOf->TopEdge() : Page.PrintAreaTop();
}
int TkvPageBuilder::BottomEdge() const {
    if (MarginsOf) return MarginsOf->BottomEdge();
    const TkvRunBand* f = bands_[kvbt::PageFooter];
    return Page.PrintAreaBottom() - (f && f->Real() ? f->Height : 0);
}
int TkvPageBuilder::ColumnFooterHeight() const {
    const TkvRunBand* f = bands_[kvbt::ColumnFooter];
    return f && f->Real() && f->Visible ? f->Height : 0;
}

// ---------------------------------------------------------------- band initialisation

void TkvPageBuilder::StartPageBuild() {
    // Without a printer that knows the paper (a headless machine) the page has no geometry; the
    // paper size itself (A4 when it has none) gives it, so that bands have room.
    TkvPageMetrics& m = Page.Metrics;
    if (m.PageWidth <= 0 || m.PageHeight <= 0) {
        int w = TkvPage::TenthsToPageUnits(Page.PaperWidth > 0 ? Page.PaperWidth : 2100);
        int h = TkvPage::TenthsToPageUnits(Page.PaperHeight > 0 ? Page.PaperHeight : 2970);
        if (Page.Orientation == 1 && w < h) std::swap(w, h);
        m.PageWidth = m.PrintableWidth = w;
        m.PageHeight = m.PrintableHeight = h;
        m.OffsetLeft = m.OffsetTop = 0;
    }
    for (int t = 0; t < kvbt::Count; ++t) bands_[size_t(t)] = NewBand(t);
    std::vector<TkvView*> unassigned;
    std::vector<TkvBandView*> views;
    for (const auto& o : Page.Objects) {
        TkvView* v = o.get();
        v->Prepared = 1;
        v->OwnerBand = nullptr;
        if (auto* m = dynamic_cast<TkvMemoView*>(v); m && !m->HighlightCondition.isEmpty())
            m->HighlightPostfix = Builder.ConvertToPostfix(m->HighlightCondition);
        Builder.CompileScript(v->ScriptLines, v->Name);
        if (v->Flags & kvflag::Notify) Builder.NotifyList.push_back(v);
        if (auto* bv = dynamic_cast<TkvBandView*>(v))
            views.push_back(bv);
        else
            unassigned.push_back(v);
    }

    // Vertical bands of a cross-tab (one of each type): the objects within their width become
    // cells, owned by the vertical band and listed as well by the horizontal band they lie in.
    auto isCell = [](const TkvView* v) {
        auto* owner = dynamic_cast<const TkvRunBand*>(v->OwnerBand);
        return owner && owner->Type >= kvbt::CrossHeader && owner->Type <= kvbt::CrossFooter;
    };
    for (int t = kvbt::CrossHeader; t <= kvbt::CrossFooter; ++t) {
        TkvRunBand* band = bands_[size_t(t)];
        for (TkvBandView* bv : views) {
            if (bv->BandType() != t || band->View) continue;
            TakeView(*band, *bv);
            band->SetDataSource(bv->DataSource());
        }
        if (!band->View) continue;
        for (TkvView* v : unassigned)
            if (!v->OwnerBand && v->ObjectType != kvvt::SubReport && v->Left >= band->Left &&
                int64_t(v->Left) + v->Width <= int64_t(band->Left) + band->Width) {
                v->Left -= band->Left;
                v->OwnerBand = band;
                band->Objects.push_back(v);
            }
    }

    // Horizontal bands, in type order then page order; each takes the objects whose top lies in it.
    for (int t = 0; t < kvbt::Count - 1; ++t) {
        if (t >= kvbt::CrossHeader && t <= kvbt::CrossFooter) continue;
        std::vector<TkvRunBand*> ofType;
        for (TkvBandView* bv : views) {
            if (bv->BandType() != t) continue;
            TkvRunBand* band = ofType.empty() ? bands_[size_t(t)] : NewBand(t);
            ofType.push_back(band);
            TakeView(*band, *bv);
            band->Stretched = bv->Flags & kvbf::Stretched;
            band->PrintIfSubsetEmpty = bv->Flags & kvbf::PrintIfSubsetEmpty;
            band->PrintChildIfInvisible = bv->Flags & kvbf::PrintChildIfInvisible;
            // A sub-report's pages are started by the page it prints on.
            band->FormNewPage = !IsSubReport && (bv->Flags & kvbf::FormNewPage);
            band->Breaked = !IsSubReport && (bv->Flags & kvbf::Breaked);
            band->SetDataSource(bv->DataSource());
            for (auto it = unassigned.begin(); it != unassigned.end();) {
                TkvView* v = *it;
                if (v->Top >= band->Top && int64_t(v->Top) <= int64_t(band->Top) + band->Height) {
                    v->Top -= band->Top;
                    if (isCell(v))
                        band->HasCells = true;
                    else
                        v->OwnerBand = band;
                    band->Objects.push_back(v);
                    it = unassigned.erase(it);
                } else {
                    ++it;
                }
            }
        }
        // The band's own objects first, then cross-tab cells, then sub-report objects: the band
        // prints its objects, its cells, then hands over to its sub-reports.
        for (TkvRunBand* band : ofType) {
            std::stable_partition(band->Objects.begin(), band->Objects.end(),
                                  [](TkvView* v) { return v->ObjectType != kvvt::SubReport; });
            std::stable_partition(band->Objects.begin(), band->Objects.end(),
                                  [&](TkvView* v) { return !isCell(v) && v->ObjectType != kvvt::SubReport; });
        }
        // Ordered by their position on the page (stable: ties keep view order).
        std::stable_sort(ofType.begin(), ofType.end(), [](TkvRunBand* a, TkvRunBand* b) {
            return a->View->Top < b->View->Top;
        });
        if (!ofType.empty()) {
            bands_[size_t(t)] = ofType.front();
            for (size_t i = 0; i < ofType.size(); ++i) {
                ofType[i]->Prev = i ? ofType[i - 1] : nullptr;
                ofType[i]->Next = i + 1 < ofType.size() ? ofType[i + 1] : nullptr;
            }
            ofType.front()->LastBand = ofType.back();
        }
    }
    // Objects outside every band keep their page positions.
    // (cells outside every horizontal band print nowhere)
    TkvRunBand* none = bands_[kvbt::None];
    for (TkvView* v : unassigned) {
        if (isCell(v)) continue;
        v->OwnerBand = none;
        none->Objects.push_back(v);
    }

    // Headers and footers of the three data levels.
    const int levels[3][3] = {{kvbt::MasterHeader, kvbt::MasterData, kvbt::MasterFooter},
                              {kvbt::DetailHeader, kvbt::DetailData, kvbt::DetailFooter},
                              {kvbt::SubdetailHeader, kvbt::SubdetailData, kvbt::SubdetailFooter}};
    for (const auto& l : levels) {
        for (TkvRunBand* h = bands_[size_t(l[0])]; h && h->View; h = h->Next)
            for (TkvRunBand* d = bands_[size_t(l[1])]; d && d->View; d = d->Next)
                if (h->Top + h->Height < d->Top) {
                    if (!d->HeaderBand) {
                        d->HeaderBand = h;
                        h->DataBand = d;
                    }
                    break;
                }
        for (TkvRunBand* f = bands_[size_t(l[2])]; f && f->View; f = f->Next) {
            TkvRunBand* found = nullptr;
            for (TkvRunBand* d = bands_[size_t(l[1])]; d && d->View; d = d->Next)
                if (d->Top + d->Height <= f->Top) found = d;
            if (found && !found->FooterBand) {
                found->FooterBand = f;
                f->DataBand = found;
            }
        }
    }
    // Group footers pair with group headers from the inside out.
    {
        std::vector<TkvRunBand*> headers, footers;
        for (TkvRunBand* h = bands_[kvbt::GroupHeader]; h && h->View; h = h->Next) headers.push_back(h);
        for (TkvRunBand* f = bands_[kvbt::GroupFooter]; f && f->View; f = f->Next) footers.push_back(f);
        for (size_t i = 0; i < headers.size() && i < footers.size(); ++i)
            headers[headers.size() - 1 - i]->FooterBand = footers[i];
    }
    // A cross data band's source text "Band=source;..." gives the bands it names their columns.
    if (TkvRunBand* cross = bands_[kvbt::CrossData]; cross->View && cross->View->DataSource().contains(';')) {
        for (const QByteArray& pair : cross->View->DataSource().split(';')) {
            const qsizetype eq = pair.indexOf('=');
            if (eq <= 0) continue;
            const QByteArray name = pair.left(eq).trimmed(), source = pair.mid(eq + 1).trimmed();
            for (int t = kvbt::MasterHeader; t <= kvbt::Child; ++t)
                for (TkvRunBand* b = bands_[size_t(t)]; b; b = b->Next)
                    if (b->View && b->View->Name.compare(name, Qt::CaseInsensitive) == 0)
                        b->SetColumnDataSource(source);
        }
    }
    // Child bands by name.
    for (const auto& b : owned_)
        if (b->View && !b->View->ChildBand.isEmpty()) {
            TkvView* target = Page.FindObject(b->View->ChildBand);
            if (target) b->ChildBand = dynamic_cast<TkvRunBand*>(target->OwnerBand);
        }
    // Groups attach to the data band their view names, or to the first master data band.
    TkvRunBand* master = bands_[kvbt::MasterData];
    if (master->View) {
        for (TkvRunBand* g = bands_[kvbt::GroupHeader]; g && g->View; g = g->Next) {
            TkvRunBand* d = master;
            if (!g->View->Master.isEmpty()) {
                TkvView* named = Page.FindObject(g->View->Master);
                if (auto* rb = named ? dynamic_cast<TkvRunBand*>(named->OwnerBand) : nullptr) d = rb;
            }
            g->DataBand = d;
            if (!d->FirstGroup) {
                d->FirstGroup = d->LastGroup = g;
            } else {
                d->LastGroup->NextGroup = g;
                g->PrevGroup = d->LastGroup;
                d->LastGroup = g;
            }
        }
    }
    ColCount = std::max(1, Page.Columns);
    ColGap = Page.ColumnGap;
    ColWidth = (RightEdge() - LeftEdge() - (ColCount - 1) * ColGap) / ColCount;
    CurPos = 1;
    ColPos = 1;
    BandsReady = true;
}

void TkvPageBuilder::RestartPass() {
    for (const auto& b : owned_) {
        b->ResetLineNo(1);
        b->LineThroughNo = 1;
        b->GroupValue = TkvVariant();
        b->CurColumn = 1;
        if (b->DataSet) b->DataFirst();
    }
    // Aggregates start again: a band whose footer never printed (a page footer not on the last
    // page) must not carry the first pass's sums into the final one.
    for (const auto& b : owned_) {
        for (int i = 0; i < b->Aggregates.Count(); ++i) {
            kvagg::TkvAggregateKey key;
            if (kvagg::ParseKey(b->Aggregates.Name(i), key)) b->Aggregates.SetValue(i, kvagg::StartValue(key.Kind));
        }
        b->RowCount = 0;
        b->MaxColumns = 0;
    }
    pending_.clear();
    CurPos = 1;
    ColPos = 1;
    LastPrintedBand = nullptr;
    PlayList.clear();
    PlayPosition = 0;
    InterruptedBand = nullptr;
    Active = false;
}

void TkvPageBuilder::BindObjects() {
    for (const auto& o : Page.Objects) {
        TkvView* v = o.get();
        v->BoundDataSet = nullptr;
        v->BoundFieldName.clear();
        if (v->ObjectType == kvvt::Band) continue;
        const QByteArray text = kv::JoinLines(v->Memo).trimmed();
        if (text.size() <= 2 || !text.startsWith('[')) continue;
        if (dynamic_cast<TkvMemoView*>(v) && (v->Flags & kvmf::TextOnly)) continue;
        const qsizetype close = text.lastIndexOf(']');
        if (close != text.size() - 1) continue;
        const QByteArray name = text.mid(1, close - 1);
        if (name.contains('[')) continue;
        // The name is read with the object's band as the current band.
        const TkvSetForScope<TkvBand*> band(kv::CurBand(), v->OwnerBand);
        TkvComponent* dataset = nullptr;
        QByteArray field;
        const TkvVariables& dictionary = Builder.Report.Dictionary.Variables;
        if (dictionary.Contains(name)) {
            // A dictionary variable that names a field (Items."name") binds to that field.
            const TkvVariant value = dictionary.GetVariable(name);
            if (!value.isText() || !value.toText().contains('.')) continue;
            dataset = Builder.DefaultDataset();
            field = kv::FindDatasetAndField(value.toText(), dataset);
        } else {
            dataset = Builder.Report.UseDefaultDataSetName ? Builder.DefaultDataset() : nullptr;
            field = kv::FindDatasetAndField(name, dataset);
        }
        if (field.isEmpty() || !dataset) continue;
        if (TkvRecordSet* rs = TkvDictionaryLookup::RecordSetOf(dataset)) {
            v->BoundDataSet = rs;
            v->BoundFieldName = field;
        }
    }
    DiscoverAggregates();
}

void TkvPageBuilder::DiscoverAggregates() {
    TkvAggregates& a = Builder.Aggregates;
    a.Discovering = true;
    struct Off {
        TkvAggregates& a;
        ~Off() {
            a.Discovering = false;
            a.CurrentBand = nullptr;
            a.ExaminedBand = nullptr;
        }
    } off{a};
    kv::CurPage() = &Page;
    // The aggregate calls of the band's script and of its objects' texts and scripts (also those
    // inside IF branches and dictionary variables) are split out and each evaluated once, so they
    // register; nothing else of the texts runs.
    const TkvVariables& dictionary = Builder.Report.Dictionary.Variables;
    auto discover = [&](const TkvStringList& calls) {
        for (const QByteArray& call : calls) {
            try {
                Builder.Evaluate(call);
            } catch (const std::exception&) {
                // Discovery only collects calls; the real print reports failures.
            }
        }
    };
    auto visitBand = [&](TkvRunBand* band) {
        for (int guard = 0; band && guard < 64 && !Builder.Stopped(); band = band->ChildBand, ++guard) {
            if (!band->Real()) continue;
            a.CurrentBand = band;
            kv::CurBand() = band;
            kv::CurView() = band->View;
            TkvStringList calls;
            TAggregateFunctionsSplitter splitter(dictionary, calls);
            try {
                splitter.FindInScript(band->ScriptLines);
            } catch (const std::exception&) {
            }
            discover(calls);
            for (TkvView* v : band->Objects) {
                calls.clear();
                try {
                    splitter.FindInScript(v->ScriptLines);
                    if (!(dynamic_cast<TkvMemoView*>(v) && (v->Flags & kvmf::TextOnly)))
                        splitter.FindInMemo(v->Memo);
                } catch (const std::exception&) {
                }
                kv::CurView() = v;
                discover(calls);
            }
        }
    };
    const int visited[3][7] = {
        {kvbt::PageFooter, kvbt::ColumnFooter, kvbt::MasterFooter, kvbt::GroupFooter, kvbt::Summary, -1, -1},
        {kvbt::PageFooter, kvbt::ColumnFooter, kvbt::MasterFooter, kvbt::GroupFooter, kvbt::Summary,
         kvbt::DetailFooter, -1},
        {kvbt::PageFooter, kvbt::ColumnFooter, kvbt::MasterFooter, kvbt::GroupFooter, kvbt::Summary,
         kvbt::DetailFooter, kvbt::SubdetailFooter}};
    const int dataTypes[3] = {kvbt::MasterData, kvbt::DetailData, kvbt::SubdetailData};
    for (int level = 0; level < 3; ++level)
        for (TkvRunBand* d = bands_[size_t(dataTypes[level])]; d && d->View; d = d->Next) {
            if (d != bands_[size_t(dataTypes[level])] && !d->DataSet) break;
            a.ExaminedBand = d;
            for (int t : visited[level])
                if (t >= 0)
                    for (TkvRunBand* b = bands_[size_t(t)]; b; b = b->Next) visitBand(b);
        }
    // A row's total over its columns: the cross footer's cells run over the cross data band.
    if (bands_[kvbt::CrossData]->View) {
        a.ExaminedBand = bands_[kvbt::CrossData];
        visitBand(bands_[kvbt::CrossFooter]);
    }
    kv::CurView() = nullptr;
    kv::CurBand() = nullptr;
}

// ---------------------------------------------------------------- forming

void TkvPageBuilder::RunPageScript() {
    if (Page.Script.isEmpty()) return;
    TkvStringList compiled = Page.Script;
    Builder.CompileScript(compiled, Page.Name);
    kv::CurView() = nullptr;
    try {
        Builder.ExecuteScript(compiled, Page.Name);
    } catch (const std::exception& e) {
        Builder.Fail(e.what());
    }
}

void TkvPageBuilder::BuildPages() {
    TkvReport& report = Builder.Report;
    TkvRunBand* master = bands_[kvbt::MasterData];
    if (!report.PrintIfEmpty) {
        bool empty = true;
        try {
            if (master->DataSet) {
                master->DataFirst();
                empty = master->DataEof();
            }
        } catch (const std::exception&) {
            empty = true;
        }
        if (empty) {
            if (Builder.AppendToPrevious) ++Builder.CurrentPageNo;
            return;
        }
    }
    DisableRepeatHeader = false;
    RunPageScript();
    if (Builder.Stopped()) return;
    if (Builder.AppendToPrevious && Builder.SavedCurY == Builder.SavedBottomY) {
        Builder.AppendToPrevious = false;
        Builder.LastFootersDone = false;
        Builder.CurrentPageNo = Builder.Store().Count();
    }
    CurBottomY = Builder.AppendToPrevious && Builder.LastFootersDone ? Builder.SavedBottomY : BottomEdge();
    CurColumn = 0;
    XAdjust = LeftEdge();
    LastStaticColumnY = TopEdge();
    if (Builder.AppendToPrevious) {
        CurY = Builder.SavedCurY;
    } else {
        Builder.AddPage(*this);
        CurY = TopEdge();
        ShowBand(bands_[kvbt::Overlay]);
        ShowBand(bands_[kvbt::None]);
    }
    BodyTop = CurY;
    const int pages = Builder.Store().Count();
    if (!report.OnManualBuild) ShowBand(bands_[kvbt::Title]);
    if (Builder.Store().Count() == pages && !Builder.Stopped()) {
        if (bands_[kvbt::PageHeader]->Flags & kvbf::OnFirstPage) ShowBand(bands_[kvbt::PageHeader]);
        ShowBand(bands_[kvbt::ColumnHeader]);
    }
    // The body starts below the title and headers, as on every later page: a first band taller
    // than the page is split here instead of leaving page 1 to the headers alone.
    if (Builder.Store().Count() == pages) BodyTop = CurY;
    if (!report.OnManualBuild) {
        int levels = 0;
        if (bands_[kvbt::MasterData]->View) levels = 1;
        if (bands_[kvbt::DetailData]->View) levels = 2;
        if (bands_[kvbt::SubdetailData]->View) levels = 3;
        if (levels) DataLoop(1, levels);
    }
    if (report.OnManualBuild) {
        report.OnManualBuild(&Page);
    } else if (!Builder.Stopped()) {
        DisableRepeatHeader = true;
        ShowBand(bands_[kvbt::ColumnFooter]);
        IgnoreColumnFooter = true;
        ShowBand(bands_[kvbt::Summary]);
        IgnoreColumnFooter = false;
        DisableRepeatHeader = false;
    }
    if (Builder.Stopped()) return;
    Builder.SavedCurY = CurColumn > 0 ? CurBottomY : CurY;
    Builder.SavedBottomY = CurBottomY;
    CurColumn = 0;
    XAdjust = LeftEdge();
    Builder.LastFootersDone = false;
    const int before = Builder.CurrentPageNo;
    TkvRunBand* footer = bands_[kvbt::PageFooter];
    bool endPageDone = false;
    if (!report.OnManualBuild &&
        ((footer->Flags & kvbf::OnLastPage) || (before == 0 && (footer->Flags & kvbf::OnFirstPage)))) {
        const uint16_t kept = footer->Flags;
        footer->Flags |= kvbf::OnFirstPage;
        if (footer->Real()) {
            Builder.LastFootersDone = true;
            // EndPage calls OnEndPage for the pages whose footers it prints; once per page.
            endPageDone = !Builder.AppendToPrevious;
            EndPage();
        }
        footer->Flags = kept;
    }
    if (report.OnEndPage && !endPageDone) report.OnEndPage(before);
    if (&Builder.Master != &report && Builder.Master.OnEndPage && !endPageDone) Builder.Master.OnEndPage(before);
    Builder.CurrentPageNo = before + 1;
    LastPrintedBand = nullptr;
}

void TkvPageBuilder::Push(TkvRunBand* band) {
    if (band) pending_.push_back(band);
}

void TkvPageBuilder::Flush() {
    std::vector<TkvRunBand*> list;
    list.swap(pending_);
    for (TkvRunBand* b : list)
        if (b->Real() && !Builder.Stopped()) ShowBand(b);
}

void TkvPageBuilder::DataLoop(int level, int levels) {
    const int type = level == 1 ? kvbt::MasterData : level == 2 ? kvbt::DetailData : kvbt::SubdetailData;
    for (TkvRunBand* d = bands_[size_t(type)]; d && !Builder.Stopped(); d = d->Next) {
        if (!d->DataSet) continue;
        try {
            d->DataFirst();
            if (RecordingMode) {
                RecordStep(d, PlayKind::First);
            } else {
                d->ResetLineNo(1);
                d->LineThroughNo = 1;
            }
            for (TkvRunBand* g = d->FirstGroup; g; g = g->NextGroup) {
                g->ResetLineNo(0);
                g->LineThroughNo = 0;
                g->GroupValue = TkvVariant();
            }
            if (d->DataEof()) continue;
        } catch (const std::exception& e) {
            Builder.Fail(e.what());
            return;
        }
        Push(d->HeaderBand);
        if (d->FooterBand) TkvAggregates::Reset(*d->FooterBand);
        for (TkvRunBand* g = d->FirstGroup; g; g = g->NextGroup) {
            Push(g);
            ++g->LineNo;
            ++g->LineThroughNo;
        }
        while (!Builder.Stopped()) {
            bool counted = true;
            try {
                if (d->DataEof()) break;
            } catch (const std::exception& e) {
                Builder.Fail(e.what());
                return;
            }
            Push(d);
            if (d->PrintIfSubsetEmpty) Flush();
            if (level < levels) {
                DataLoop(level + 1, levels);
                if (!pending_.empty()) {
                    if (d->PrintIfSubsetEmpty) {
                        Flush();
                    } else {
                        pending_.pop_back();
                        counted = false;
                    }
                }
            } else {
                Flush();
            }
            if (Builder.Stopped()) return;
            try {
                d->DataNext();
                for (TkvRunBand* g = d->FirstGroup; g; g = g->NextGroup) {
                    const bool eof = d->DataEof();
                    bool ended = eof || g->GroupValue.isUnassigned();
                    if (!ended) {
                        const TkvVariant now = Builder.EvaluatePostfix(g->GroupCondition);
                        ended = now.toText() != g->GroupValue.toText() || now.kind() != g->GroupValue.kind();
                    }
                    if (!ended) continue;
                    bool steppedBack = false;
                    if (!eof) {
                        try {
                            steppedBack = d->DataPrior();
                        } catch (const std::exception&) {
                            steppedBack = false;
                        }
                    }
                    for (TkvRunBand* inner = d->LastGroup; inner && inner != g; inner = inner->PrevGroup) {
                        inner->ResetLineNo(0);
                        if (inner->FooterBand) inner->FooterBand->ResetLineNo(0);
                        Push(inner->FooterBand);
                    }
                    Push(g->FooterBand);
                    Flush();
                    if (eof || Builder.Stopped()) break;
                    if (steppedBack) d->DataNext();
                    if (g->FormNewPage && g->Visible) NewPage();
                    for (TkvRunBand* h = g; h; h = h->NextGroup) {
                        Push(h);
                        ++h->LineNo;
                        ++h->LineThroughNo;
                    }
                    if (RecordingMode)
                        RecordStep(d, PlayKind::GroupStart);
                    else
                        d->ResetLineNo(0);
                    break;
                }
            } catch (const std::exception& e) {
                Builder.Fail(e.what());
                return;
            }
            if (RecordingMode) {
                RecordStep(d, PlayKind::Next);
            } else if (counted) {
                ++CurPos;
                ++d->LineThroughNo;
                ++d->LineNo;
                if (!d->DataEof() && d->FormNewPage && d->Visible) NewPage();
            }
        }
        if (!pending_.empty())
            pending_.pop_back();
        else
            ShowBand(d->FooterBand);
    }
}

// ---------------------------------------------------------------- pages and columns

bool TkvPageBuilder::ShowBand(TkvRunBand* band) {
    if (!band || Builder.Stopped()) return false;
    TkvPage* keptPage = kv::CurPage();
    kv::CurPage() = &Page;
    TkvPageBuilder* kept = Builder.CurPageBuilder;
    Builder.CurPageBuilder = this;
    bool needsPage = false;
    if (RecordingMode) {
        // A group header's value is the one of the row it is recorded at; the data loop compares
        // the next rows with it before anything plays.
        if (band->Type == kvbt::GroupHeader && !band->GroupCondition.isEmpty()) {
            kv::CurBand() = band;
            try {
                band->GroupValue = Builder.EvaluatePostfix(band->GroupCondition);
            } catch (const std::exception& e) {
                Builder.Fail(e.what());
            }
        }
        RecordStep(band, PlayKind::Print);
    } else {
        needsPage = band->Draw();
    }
    Builder.CurPageBuilder = kept;
    if (kept) kv::CurPage() = keptPage;
    return needsPage;
}

void TkvPageBuilder::RecordStep(TkvRunBand* band, PlayKind kind) {
    // A sub-report is recorded whole before it plays; its length is bounded like the build's pages.
    constexpr size_t kMaxSteps = 50'000'000;
    if (PlayList.size() >= kMaxSteps) {
        Builder.Fail("The sub-report page " + Page.Name + " has more than " +
                     QByteArray::number(qint64(kMaxSteps)) + " bands to print");
        return;
    }
    PlayList.push_back({band, kind});
}

void TkvPageBuilder::Record() {
    PlayList.clear();
    PlayPosition = 0;
    InterruptedBand = nullptr;
    RecordingMode = 1;
    struct Off {
        int& mode;
        ~Off() { mode = 0; }
    } off{RecordingMode};
    pending_.clear();
    TkvReport& report = Builder.Report;
    TkvRunBand* master = bands_[kvbt::MasterData];
    if (!report.PrintIfEmpty && master->DataSet) {
        bool empty = true;
        try {
            master->DataFirst();
            empty = master->DataEof();
        } catch (const std::exception&) {
            empty = true;
        }
        if (empty) return;
    }
    DisableRepeatHeader = false;
    if (!report.OnManualBuild) ShowBand(bands_[kvbt::Title]);
    if (bands_[kvbt::PageHeader]->Flags & kvbf::OnFirstPage) ShowBand(bands_[kvbt::PageHeader]);
    ShowBand(bands_[kvbt::ColumnHeader]);
    int levels = 0;
    if (bands_[kvbt::MasterData]->View) levels = 1;
    if (bands_[kvbt::DetailData]->View) levels = 2;
    if (bands_[kvbt::SubdetailData]->View) levels = 3;
    if (levels && !report.OnManualBuild) DataLoop(1, levels);
    // The sub-report's summary ends it inside the object.
    if (!Builder.Stopped()) ShowBand(bands_[kvbt::Summary]);
    pending_.clear();
}

bool TkvPageBuilder::PlayRecords() {
    while (PlayPosition < PlayList.size() && !Builder.Stopped()) {
        const PlayStep step = PlayList[PlayPosition];
        try {
            switch (step.Kind) {
            case PlayKind::Print:
                if (InterruptedBand) {
                    TkvRunBand* band = InterruptedBand;
                    InterruptedBand = nullptr;
                    // Sets InterruptedBand again while they still need a page.
                    if (band->ContinueSubReports()) return true;
                } else if (ShowBand(step.Band)) {
                    return true;
                }
                break;
            case PlayKind::First:
                step.Band->DataFirst();
                step.Band->ResetLineNo(1);
                step.Band->LineThroughNo = 1;
                break;
            case PlayKind::GroupStart:
                step.Band->ResetLineNo(0);
                break;
            case PlayKind::Next:
                step.Band->DataNext();
                ++CurPos;
                ++step.Band->LineThroughNo;
                ++step.Band->LineNo;
                break;
            }
        } catch (const std::exception& e) {
            Builder.Fail(e.what());
            return false;
        }
        ++PlayPosition;
    }
    return false;
}

void TkvPageBuilder::ShowBandByName(const QByteArray& name) {
    for (int t = 0; t < kvbt::Count; ++t)
        for (TkvRunBand* b = bands_[size_t(t)]; b; b = b->Next)
            if (b->View && b->View->Name.compare(name, Qt::CaseInsensitive) == 0) {
                ShowBand(b);
                return;
            }
    Builder.Fail("SHOWBAND: there is no band named " + name);
}

void TkvPageBuilder::NewPage() {
    if (Builder.Stopped() || IsSubReport) return;
    // A page header or column header that needs a new page of its own would otherwise start pages
    // for ever.
    if (newPageDepth_ > 2) {
        Builder.Fail("The page header and column header do not fit on one page");
        return;
    }
    struct Depth {
        int& d;
        explicit Depth(int& v) : d(v) { ++d; }
        ~Depth() { --d; }
    } depth(newPageDepth_);
    if (!DisableRepeatHeader) ShowBand(bands_[kvbt::ColumnFooter]);
    EndPage();
    if (Builder.Stopped()) return;
    CurBottomY = BottomEdge();
    Builder.AddPage(*this);
    if (Builder.Stopped()) return;
    // The number of the page now started; a cancel here keeps it with its headers.
    Builder.ReportProgress(Builder.CurrentPageNo + 1);
    Builder.AppendToPrevious = false;
    LastPrintedBand = nullptr;
    ShowBand(bands_[kvbt::Overlay]);
    ShowBand(bands_[kvbt::None]);
    CurY = TopEdge();
    LastStaticColumnY = CurY;
    ShowBand(bands_[kvbt::PageHeader]);
    ShowBand(bands_[kvbt::ColumnHeader]);
    BodyTop = CurY;
}

void TkvPageBuilder::NewColumn(TkvRunBand* band) {
    if (IsSubReport) return;
    if (CurColumn < ColCount - 1) {
        ShowBand(bands_[kvbt::ColumnFooter]);
        ++CurColumn;
        XAdjust += ColWidth + ColGap;
        CurY = LastStaticColumnY;
        ShowBand(bands_[kvbt::ColumnHeader]);
        BodyTop = CurY;
    } else {
        NewPage();
    }
    if (!band || Builder.Stopped()) return;
    TkvRunBand* data = band->IsDataBand() ? band : nullptr;
    if (data && data->HeaderBand && (data->HeaderBand->Flags & kvbf::RepeatHeader) && !DisableRepeatHeader) {
        data->HeaderBand->SuppressReset = true;
        ShowBand(data->HeaderBand);
        data->HeaderBand->SuppressReset = false;
    }
    TkvRunBand* groupsOf = data ? data : band->DataBand;
    if (groupsOf && !DisableRepeatHeader)
        for (TkvRunBand* g = groupsOf->FirstGroup; g && g != band; g = g->NextGroup)
            if (g->Flags & kvbf::RepeatHeader) {
                g->SuppressReset = true;
                ShowBand(g);
                g->SuppressReset = false;
            }
}

void TkvPageBuilder::EndPage() {
    CurColumn = 0;
    XAdjust = LeftEdge();
    TkvRunBand* footer = bands_[kvbt::PageFooter];
    TkvReport& report = Builder.Report;
    if (Builder.CurrentPageNo > 0 || (footer->Flags & kvbf::OnFirstPage)) {
        const int last = Builder.Store().Count() - 1;
        for (int p = Builder.CurrentPageNo; p <= last && !Builder.Stopped(); ++p) {
            if (Builder.AppendToPrevious && Builder.LastFootersDone) continue;
            Builder.CurrentPageNo = p;
            if (report.OnEndPage) report.OnEndPage(p);
            if (&Builder.Master != &report && Builder.Master.OnEndPage) Builder.Master.OnEndPage(p);
            ShowBand(footer);
        }
    }
    Builder.CurrentPageNo = Builder.Store().Count();
}
