#include "engine/build/run_band.h"

#include "core/globals.h"
#include "core/report/name_resolution.h"
#include "core/report/report.h"
#include "core/views/memo_view.h"
#include "core/views/stretcheable.h"
#include "core/views/subreport_view.h"
#include "engine/build/page_builder.h"
#include "engine/build/report_builder.h"
#include "engine/data/dataset.h"

#include <algorithm>

namespace {

// A split whose pieces keep failing to fit is ended after this many pages of one band.
constexpr int kMaxSplitRounds = 100000;

bool Stretchable(TkvView* v) { return dynamic_cast<TkvStretcheable*>(v) != nullptr; }

} // namespace

TkvRunBand::TkvRunBand(int type, TkvPageBuilder& page) : Page(page), Type(type) {}

TkvRunBand::~TkvRunBand() {
    for (TkvDataset* d : {DataSet, ColumnDataSet}) {
        if (!d) continue;
        try {
            d->Exit();
        } catch (const std::exception&) {
            // Releasing a data source that failed is not a reason to fail the release of the page.
        }
    }
}

void TkvRunBand::SetColumnDataSource(const QByteArray& text) {
    kv::TkvBandDataSource found = kv::FindBandDataSource(text);
    if (found.Owned) OwnedColumnDataSet = std::move(found.Owned);
    ColumnDataSet =
        found.Dataset && found.Dataset->IsDataset() ? dynamic_cast<TkvDataset*>(found.Dataset) : nullptr;
    if (!ColumnDataSet)
        throw TkvDataError("The column data source " + text.toStdString() + " of " + Name.toStdString() +
                           " was not found");
}

void TkvRunBand::SetDataSource(const QByteArray& text) {
    if (Type == kvbt::GroupHeader) {
        GroupCondition = text.isEmpty() ? QByteArray() : Page.Builder.ConvertToPostfix(text);
        return;
    }
    if (text.isEmpty() || text.contains(';')) return;
    kv::TkvBandDataSource found = kv::FindBandDataSource(text);
    if (found.Owned) OwnedDataSet = std::move(found.Owned);
    DataSet = found.Dataset && found.Dataset->IsDataset() ? dynamic_cast<TkvDataset*>(found.Dataset) : nullptr;
    if (!DataSet) throw TkvDataError("The data source " + text.toStdString() + " of " + Name.toStdString() +
                                     " was not found");
}

void TkvRunBand::DataFirst() {
    if (DataSet) DataSet->First();
}
void TkvRunBand::DataNext() {
    if (DataSet) DataSet->Next();
}
bool TkvRunBand::DataPrior() {
    if (!DataSet) return false;
    DataSet->Prior();
    return true;
}
bool TkvRunBand::DataEof() { return DataSet ? DataSet->Eof() : true; }

void TkvRunBand::AccumulateAggregates(bool visible, const QByteArray& column) {
    if (Aggregates.Count() == 0) return;
    TkvReportBuilder& b = Page.Builder;
    try {
        TkvAggregates::Accumulate(
            *this, visible, [&b](const QByteArray& e) { return b.Evaluate(e); }, b.FormatSettings(), column);
    } catch (const std::exception& e) {
        b.Fail(e.what());
    }
}

void TkvRunBand::ResetLineNo(int value) {
    LineNo = value;
    for (TkvView* v : Objects)
        if (auto* m = dynamic_cast<TkvMemoView*>(v)) m->LastValue.clear();
}

// ---------------------------------------------------------------- Draw

bool TkvRunBand::Draw() {
    TkvReportBuilder& b = Page.Builder;
    if (drawing_) {
        kv::CurView() = View;
        b.Fail("The band " + Name + " is printed again while it prints (its child bands form a cycle)");
        return false;
    }
    if (Page.DrawDepth > 64) {
        b.Fail("Bands printed inside other bands go deeper than 64 levels at " + Name);
        return false;
    }
    struct Depth {
        TkvRunBand& band;
        bool keptBreaked;
        Depth(TkvRunBand& b) : band(b), keptBreaked(b.Breaked) {
            band.drawing_ = true;
            ++band.Page.DrawDepth;
        }
        ~Depth() {
            band.drawing_ = false;
            --band.Page.DrawDepth;
            band.Breaked = keptBreaked;
        }
    } depth(*this);

    TkvRunBand* keptBand = b.CurRunBand;
    TkvAggregateBand* keptAggregateBand = b.Aggregates.CurrentBand;
    b.CurRunBand = this;
    b.Aggregates.CurrentBand = this;
    struct RestoreAggregateBand {
        TkvAggregates& a;
        TkvAggregateBand* kept;
        ~RestoreAggregateBand() { a.CurrentBand = kept; }
    } restoreAggregateBand{b.Aggregates, keptAggregateBand};
    kv::CurBand() = this;
    kv::CurView() = View;
    CalculatedHeight = -1;
    NewPageRequests = NewColumnRequests = 0;
    if (b.Report.OnBeginBand) b.Report.OnBeginBand(this);

    // The row of band columns another band left unfinished ends here.
    TkvRunBand* w = Page.LastPrintedBand;
    if (w && w != this && w->Real() && w->CurColumn > 1) {
        Page.XAdjust = w->SaveXAdjust;
        Page.CurY += w->Height;
        w->CurColumn = 1;
    }

    CurYAssigned = false;
    try {
        if (View && !ScriptLines.isEmpty() && !SkipScript) b.ExecuteScript(ScriptLines, Name);
    } catch (const std::exception& e) {
        b.Fail(e.what());
    }
    if (Type == kvbt::GroupHeader && !GroupCondition.isEmpty() && !b.Stopped()) {
        try {
            GroupValue = b.EvaluatePostfix(GroupCondition);
        } catch (const std::exception& e) {
            b.Fail(e.what());
        }
    }
    SkipScript = false;
    const int y0 = Page.CurY;
    if (b.Stopped()) {
        b.CurRunBand = keptBand;
        return false;
    }
    for (int i = 0; i < NewPageRequests && !b.Stopped(); ++i) {
        Page.CurColumn = Page.ColCount - 1;
        Page.NewColumn(nullptr);
    }
    for (int i = 0; i < NewColumnRequests && !b.Stopped(); ++i) Page.NewColumn(nullptr);
    if (CurYAssigned) Page.CurY = y0;

    bool needsPage = false;
    clipToPage_ = false;
    if (Visible) {
        if (Type == kvbt::ColumnHeader) Page.LastStaticColumnY = Page.CurY;
        if (Type == kvbt::PageFooter) Top = Page.CurBottomY;
        if (!Real()) {
            b.CurRunBand = keptBand;
            return false;
        }
        CalculatedHeight = std::max(CalculatedHeight, Height);
        if (!Fixed() && Type != kvbt::ColumnFooter) {
            const int h = CalcHeight();
            if (Page.CurY + h > Page.CurBottomY && !Breaked) {
                const bool atTop = Page.CurY <= Page.BodyTop;
                if (Page.IsSubReport) {
                    // The page it prints on starts a new page and plays this band again there,
                    // its script done; at the top of a page it is cut at the bottom instead.
                    if (!atTop) {
                        SkipScript = true;
                        b.CurRunBand = keptBand;
                        kv::CurBand() = keptBand;
                        return true;
                    }
                    clipToPage_ = true;
                    CalculatedHeight = std::max(0, Page.CurBottomY - Page.CurY);
                } else if (h <= Page.CurBottomY - Page.TopEdge() || !atTop) {
                    Page.NewColumn(this);
                    // On the fresh page the band must fit or be split, never sent on again.
                    if (Page.CurY + h > Page.CurBottomY) Breaked = true;
                } else {
                    Breaked = true;
                }
            }
        }
        if (b.Stopped()) {
            b.CurRunBand = keptBand;
            return false;
        }
        SubReportsDone = true;
        if (IsDataBand() && Next && !Next->DataSet && DataSet) {
            for (TkvRunBand* c = this; c && !b.Stopped(); c = c->Next)
                if (c->Visible) {
                    kv::CurBand() = c;
                    b.CurRunBand = c;
                    c->DoDraw();
                }
            kv::CurBand() = this;
            b.CurRunBand = this;
        } else {
            DoDraw();
            // Sub-reports still waiting for a new page: the child follows once they end.
            if (ChildBand && SubReportsDone) Page.ShowBand(ChildBand);
            if (!IsDataBand() && Type != kvbt::GroupHeader && FormNewPage && Visible && !b.Stopped())
                Page.NewPage();
        }
        // Sub-reports that ran out of room on a page used as a sub-report: the outer level
        // continues them on its next page.
        needsPage = !SubReportsDone;
    } else {
        if (ChildBand && PrintChildIfInvisible) Page.ShowBand(ChildBand);
        if (IsDataBand()) AccumulateAggregates(false);
    }
    // A page footer printed on an earlier page keeps counting for the pages still to come.
    const bool lastPage = b.CurrentPageNo >= b.Store().Count() - 1;
    if (!SuppressReset && (Type != kvbt::PageFooter || lastPage)) TkvAggregates::Reset(*this);
    if (b.Report.OnEndBand) b.Report.OnEndBand(this);
    b.CurRunBand = keptBand;
    kv::CurBand() = keptBand;
    clipToPage_ = false;
    return needsPage;
}

int TkvRunBand::CalcHeight() {
    int result;
    if (IsDataBand() && Next && !Next->DataSet && DataSet) {
        result = 0;
        for (TkvRunBand* c = this; c; c = c->Next)
            if (c->Visible) result += c->Stretched ? c->Measure() : c->Height;
    } else {
        result = Stretched ? Measure() : Height;
    }
    CalculatedHeight = std::max(CalculatedHeight, result);
    return result;
}

int TkvRunBand::Measure() {
    if (HasCells && Type != kvbt::PageFooter) return MeasureWithCells();
    int result = Height;
    kv::CurBand() = this;
    for (TkvView* v : Objects) {
        auto* s = dynamic_cast<TkvStretcheable*>(v);
        if (!s || v->OwnerBand != this || !(v->Flags & kvflag::Stretched)) continue;
        v->SavedHeight = v->Height;
        try {
            result = std::max<int64_t>(result, int64_t(v->Top) + s->CalcHeight());
        } catch (const std::exception& e) {
            kv::CurView() = v;
            Page.Builder.Fail(e.what());
            break;
        }
    }
    return result;
}

// ---------------------------------------------------------------- DoDraw

bool TkvRunBand::PageBreak(int top, int height, bool newColumn) {
    if (Type == kvbt::ColumnFooter) return false;
    const int footer = Page.IgnoreColumnFooter ? 0 : Page.ColumnFooterHeight();
    if (int64_t(Page.CurBottomY) >= int64_t(top) + height + footer) return false;
    if (newColumn) Page.NewColumn(this);
    return true;
}

void TkvRunBand::DoDraw() {
    if (!Real()) return;
    TkvReportBuilder& b = Page.Builder;
    const int keptTop = Top;
    if (!Fixed()) Top = Page.CurY;
    if (Stretched) {
        const int h = CalculatedHeight >= 0 ? CalculatedHeight : Height;
        std::vector<std::pair<TkvView*, int>> heights;
        // (the band's cross-tab cells reach its bottom as well)
        for (TkvView* v : Objects)
            if (Stretchable(v) && (v->Flags & kvflag::Stretched) && v->Height > 0) {
                heights.emplace_back(v, v->Height);
                v->Height = h - v->Top;
            }
        SplitHeight = h;
        if (!Breaked) {
            PageBreak(Top, h, true);
            Top = Page.CurY;
        }
        int advance = h;
        if (Breaked) {
            DesignHeights = heights;
            SplitPrint();
            DesignHeights.clear();
            advance = 0;
        } else {
            PrintObjects();
            if (subReportsTookOver_)
                advance = 0;
            else
                PrintCells();
        }
        for (auto& [v, height] : heights) v->Height = height;
        Page.CurY += advance;
    } else {
        if (!Fixed()) {
            if (!Breaked) {
                PageBreak(Top, Height, true);
                Top = Page.CurY;
            }
        }
        if (Breaked) {
            SplitHeight = CalculatedHeight >= 0 ? CalculatedHeight : Height;
            SplitPrint();
        } else {
            PrintObjects();
            if (!subReportsTookOver_) PrintCells();
            if (!Fixed() && !subReportsTookOver_) Page.CurY += clipToPage_ ? CalculatedHeight : Height;
        }
    }

    // Band columns: instances print side by side, a row at a time.
    if (Page.LastPrintedBand != this) CurColumn = 1;
    Page.LastPrintedBand = this;
    if (View && View->Columns > 1 && View->NewColumnAfter == 1 && !Fixed()) {
        if (CurColumn == 1) SaveXAdjust = Page.XAdjust;
        ++CurColumn;
        if (CurColumn > View->Columns) {
            Page.XAdjust = SaveXAdjust;
            CurColumn = 1;
        } else {
            Page.XAdjust = (View->ColumnWidth + View->ColumnGap) * (CurColumn - 1) + SaveXAdjust;
            Page.CurY -= CalculatedHeight >= 0 ? CalculatedHeight : Height;
        }
    }
    Top = keptTop;
    if (IsDataBand() && !b.Stopped()) AccumulateAggregates(true);
}

void TkvRunBand::PrintObjects() {
    subReportsTookOver_ = false;
    for (size_t i = 0; i < Objects.size(); ++i) {
        if (Page.Builder.Stopped()) return;
        TkvView* v = Objects[i];
        if (v->ObjectType == kvvt::SubReport && v->OwnerBand == this) {
            if (!v->Visible) continue;
            subReportsTookOver_ = true;
            if (PrintSubReports(i)) SubReportsDone = false;
            return;
        }
        PrintObject(*v);
    }
}

void TkvRunBand::PrintObject(TkvView& v) {
    // A sub-report object is a place holder: its page prints there (PrintSubReports).
    if (v.OwnerBand != this || v.ObjectType == kvvt::SubReport) return;
    TkvReportBuilder& b = Page.Builder;
    kv::CurPage() = &Page.Page;
    kv::CurBand() = this;
    const int keptLeft = v.Left, keptTop = v.Top, keptHeight = v.Height;
    try {
        if (!b.FirstPass || Breaked) {
            if (clipToPage_) {
                if (v.Top >= CalculatedHeight) return;
                v.Height = std::min<int64_t>(v.Height, int64_t(CalculatedHeight) - v.Top);
            }
            v.Left += Page.XAdjust - Page.LeftEdge();
            v.Top += Top;
            b.PrintObject(v);
        } else {
            auto* s = dynamic_cast<TkvStretcheable*>(&v);
            kv::CurView() = &v;
            if (!s || s->PrintPhase == kvpp::Normal) v.RunScript();
            if (s) s->PrintPhase = kvpp::Normal;
        }
    } catch (const std::exception& e) {
        kv::CurView() = &v;
        b.Fail(e.what());
    }
    v.Left = keptLeft;
    v.Top = keptTop;
    v.Height = keptHeight;
}

// ---------------------------------------------------------------- splitting

void TkvRunBand::SplitPrint() {
    TkvReportBuilder& b = Page.Builder;
    for (TkvView* v : Objects) {
        v->Selected = 1;
        v->DeferredPrint = 0;
        v->SplitRect = {v->Left, v->Top, v->Left + v->Width, v->Top + v->Height};
        if (v->BandAlign == 5) v->Top = (CalculatedHeight >= 0 ? CalculatedHeight : Height) - v->Height;
        // A text split into parts prints from its laid-out lines.
        if (auto* s = dynamic_cast<TkvStretcheable*>(v); s && s->PrintPhase == kvpp::Normal && v->OwnerBand == this) {
            try {
                s->CalcHeight();
            } catch (const std::exception& e) {
                kv::CurView() = v;
                b.Fail(e.what());
                return;
            }
        }
    }
    auto restore = [this] {
        for (TkvView* v : Objects) {
            v->Top = v->SplitRect.Top;
            v->Height = v->SplitRect.Bottom - v->SplitRect.Top;
        }
    };
    if (!PageBreak(Top, SplitHeight, false)) {
        PrintObjects();
        restore();
        Page.CurY += SplitHeight;
        return;
    }
    // Objects placed below a stretched text stay below it when it splits: they move down by what
    // the text grew beyond its designed height (it now reaches the band's bottom over them).
    for (const auto& [o, design] : DesignHeights) {
        if (o->OwnerBand != this || design <= 0 || o->Height <= design) continue;
        for (TkvView* q : Objects)
            if (q != o && q->Selected && q->Top >= o->Top + design && q->Left >= o->Left &&
                q->Left <= o->Left + o->Width)
                q->Top += o->Height - design;
    }
    auto moveBelow = [this](TkvView* o, int r) {
        for (TkvView* q : Objects)
            if (q != o && q->Selected && q->Top >= o->Top + o->Height && q->Left >= o->Left &&
                q->Left <= o->Left + o->Width)
                q->Top += r;
    };
    int bottom = 0;
    for (int round = 0;; ++round) {
        if (round >= kMaxSplitRounds) {
            kv::CurView() = View;
            b.Fail("The band " + Name + " could not be split over pages");
            break;
        }
        const int footer = Page.IgnoreColumnFooter ? 0 : Page.ColumnFooterHeight();
        const int free = Page.CurBottomY - footer - Top - 2;
        const bool atTop = Top <= Page.BodyTop;
        bottom = 0;
        bool printed = false;
        // Top to bottom: a text that splits moves the objects below it down before they are
        // placed, whatever their order in the band.
        std::vector<TkvView*> order(Objects.begin(), Objects.end());
        std::stable_sort(order.begin(), order.end(),
                         [](const TkvView* a, const TkvView* c) { return a->Top < c->Top; });
        for (TkvView* v : order) {
            if (!v->Selected || b.Stopped()) continue;
            auto* s = dynamic_cast<TkvStretcheable*>(v);
            const int y = v->Top, h = v->Height;
            if (y >= 0 && y < free && int64_t(y) + h < free) {
                PrintObject(*v);
                v->Selected = 0;
                bottom = std::max(bottom, y + h);
                printed = true;
            } else if (y >= 0 && y < free && s && v->OwnerBand == this && s->MinHeight() < free - y + 1) {
                v->Height = free - y + 1;
                s->PrintPhase = kvpp::SplitPart;
                PrintObject(*v);
                const int r = s->RemainingHeight();
                s->PrintPhase = kvpp::HeightCalculated;
                v->Height = h;
                moveBelow(v, r);
                v->Height = h + r;
                bottom = std::max(bottom, free);
                printed = true;
            } else if (y >= 0 && y < free && atTop && y == 0) {
                // Taller than any page and it cannot be split: clipped to the page, never sent on
                // to the next page again.
                v->Height = free;
                PrintObject(*v);
                v->Height = h;
                v->Selected = 0;
                bottom = std::max(bottom, free);
                printed = true;
            } else if (y >= 0 && y < free) {
                v->Top = free;
            } else if (y < 0 && s) {
                const int d = y + h;
                if (d < 0) {
                    v->Selected = 0;
                } else if (d < free) {
                    v->Top = 0;
                    v->Height = d;
                    s->PrintPhase = kvpp::SplitPart;
                    v->Selected = 0;
                    bottom = std::max(bottom, d);
                    if (v->Flags & kvflag::Stretched) {
                        v->DeferredPrint = 1;
                    } else {
                        PrintObject(*v);
                        if (!b.FirstPass) b.NotifyPrinted(*v); // its last part
                    }
                    printed = true;
                } else {
                    v->Top = 0;
                    v->Height = free;
                    s->PrintPhase = kvpp::SplitPart;
                    PrintObject(*v);
                    const int r = s->RemainingHeight();
                    s->PrintPhase = kvpp::HeightCalculated;
                    v->Top = y;
                    v->Height = h;
                    moveBelow(v, r);
                    v->Height = h + r;
                    bottom = std::max(bottom, free);
                    printed = true;
                }
            } else if (y < 0) {
                v->Selected = 0;
            }
        }
        bool left = false;
        for (TkvView* v : Objects)
            if (v->Selected) {
                v->Top -= free;
                left = true;
            }
        if (!left || b.Stopped()) break;
        if (!printed && atTop && free <= 0) {
            kv::CurView() = View;
            b.Fail("The band " + Name + " does not fit on a page");
            break;
        }
        Page.NewColumn(this);
        Top = Page.CurY;
    }
    SplitHeight = bottom;
    for (TkvView* v : Objects)
        if (v->DeferredPrint) {
            v->Height = SplitHeight;
            PrintObject(*v);
            if (!b.FirstPass) b.NotifyPrinted(*v); // its last part
            v->DeferredPrint = 0;
        }
    restore();
    for (TkvView* v : Objects)
        if (auto* s = dynamic_cast<TkvStretcheable*>(v)) s->PrintPhase = kvpp::Normal;
    Page.CurY += SplitHeight;
}

// ---------------------------------------------------------------- sub-reports

bool TkvRunBand::PrintSubReports(size_t index) {
    TkvReportBuilder& b = Page.Builder;
    SubReportIndex = int(index);
    EndSubReports();
    for (size_t i = index; i < Objects.size() && !b.Stopped(); ++i) {
        auto* o = dynamic_cast<TkvSubReportView*>(Objects[i]);
        if (!o || !o->Visible || o->OwnerBand != this) continue;
        TkvPageBuilder* sub = b.SubReportPage(o->SubPageIndex);
        kv::CurView() = o;
        if (!sub) {
            b.Fail("The sub-report " + o->Name + " names page " + QByteArray::number(o->SubPageIndex + 1) +
                   ", which is not a report page of the report");
            break;
        }
        if (sub == &Page || sub->Active) {
            b.Fail("The sub-report " + o->Name +
                   " prints its own page inside itself (the sub-reports form a cycle)");
            break;
        }
        subReports_.push_back({o, sub, false});
        sub->Active = true;
    }
    if (b.Stopped()) {
        EndSubReports();
        return false;
    }
    // Every sub-report is recorded before any plays: they print side by side, page by page.
    const TkvPageBuilder* margins = Page.MarginsOf ? Page.MarginsOf : &Page;
    for (SubReportRun& s : subReports_) {
        TkvPageBuilder& sub = *s.Page;
        sub.Record();
        sub.CurY = s.Object->Top + Top;
        sub.CurBottomY = Page.CurBottomY;
        sub.BodyTop = Page.BodyTop;
        sub.MarginsOf = margins;
        sub.XAdjust = Page.XAdjust + s.Object->Left - Page.LeftEdge();
        sub.CurColumn = 0;
        sub.ColCount = 1;
        sub.PlayPosition = 0;
        sub.LastPrintedBand = nullptr;
        if (b.Stopped()) break;
    }
    subReportRound_ = 0;
    return PlaySubReports();
}

bool TkvRunBand::ContinueSubReports() {
    if (PlaySubReports()) return true;
    if (ChildBand) Page.ShowBand(ChildBand);
    return false;
}

bool TkvRunBand::PlaySubReports() {
    TkvReportBuilder& b = Page.Builder;
    while (!b.Stopped()) {
        // On each further page the sub-reports go on at the top of the page's body.
        if (subReportRound_ > 0)
            for (SubReportRun& s : subReports_)
                if (!s.Done) {
                    s.Page->CurY = Page.CurY;
                    s.Page->CurBottomY = Page.CurBottomY;
                    s.Page->BodyTop = Page.CurY;
                }
        ++subReportRound_;
        SubReportsDone = true;
        SubReportBottom = Page.CurY;
        for (SubReportRun& s : subReports_) {
            if (s.Done || b.Stopped()) continue;
            if (s.Page->PlayRecords()) {
                SubReportsDone = false;
            } else {
                s.Done = true;
                SubReportBottom = std::max(SubReportBottom, s.Page->CurY);
            }
        }
        if (SubReportsDone || b.Stopped()) break;
        if (Page.IsSubReport) {
            Page.InterruptedBand = this;
            return true;
        }
        Page.NewPage();
    }
    // The page goes on below the band and the tallest sub-report.
    if (subReportRound_ <= 1)
        Page.CurY = std::max({Page.CurY, Top + std::max(CalculatedHeight, Height), SubReportBottom});
    else
        Page.CurY = std::max(Page.CurY, SubReportBottom);
    EndSubReports();
    SubReportsDone = true;
    return false;
}

void TkvRunBand::EndSubReports() {
    for (SubReportRun& s : subReports_) {
        s.Page->PlayList.clear();
        s.Page->PlayList.shrink_to_fit();
        s.Page->PlayPosition = 0;
        s.Page->InterruptedBand = nullptr;
        s.Page->Active = false;
    }
    subReports_.clear();
}

// ---------------------------------------------------------------- cross-tab cells

namespace {
// Columns of one row are bounded like a build's pages.
constexpr int kMaxColumns = 100000;
} // namespace

TkvDataset* TkvRunBand::ColumnSource() {
    TkvRunBand* c = Page.Band(kvbt::CrossData);
    if (!c->View) return nullptr;
    return c->DataSet ? c->DataSet : ColumnDataSet;
}

void TkvRunBand::RunScriptOnly() {
    if (!View || ScriptLines.isEmpty()) return;
    TkvReportBuilder& b = Page.Builder;
    kv::CurView() = View;
    kv::CurBand() = this;
    try {
        b.ExecuteScript(ScriptLines, Name);
    } catch (const std::exception& e) {
        b.Fail(e.what());
    }
}

int TkvRunBand::MeasureWithCells() {
    TkvReportBuilder& b = Page.Builder;
    int result = Height;
    auto measure = [&] {
        for (TkvView* v : Objects) {
            auto* s = dynamic_cast<TkvStretcheable*>(v);
            if (!s || !(v->Flags & kvflag::Stretched)) continue;
            v->SavedHeight = v->Height;
            kv::CurView() = v;
            try {
                result = int(std::max<int64_t>(result, int64_t(v->Top) + s->CalcHeight()));
            } catch (const std::exception& e) {
                b.Fail(e.what());
            }
            // Each column lays its text out again when it prints.
            s->PrintPhase = kvpp::Normal;
        }
    };
    Page.ColPos = 1;
    if (b.Report.OnBeginColumn) b.Report.OnBeginColumn(this);
    TkvDataset* source = ColumnSource();
    if (!source) {
        measure();
        return result;
    }
    try {
        source->First();
        for (int n = 0; !source->Eof() && !b.Stopped() && n < kMaxColumns; ++n) {
            int width = 0;
            if (b.Report.OnPrintColumn) b.Report.OnPrintColumn(Page.ColPos, width);
            measure();
            CalculatedHeight = std::max(CalculatedHeight, result);
            ++Page.ColPos;
            source->Next();
        }
    } catch (const std::exception& e) {
        b.Fail(e.what());
    }
    kv::CurBand() = this;
    return result;
}

void TkvRunBand::PrintCells() {
    if (!HasCells || Type == kvbt::PageFooter) return;
    TkvReportBuilder& b = Page.Builder;
    TkvRunBand* header = Page.Band(kvbt::CrossHeader);
    TkvRunBand* data = Page.Band(kvbt::CrossData);
    TkvRunBand* footer = Page.Band(kvbt::CrossFooter);
    Page.ColPos = 1;
    const int keptPageNo = b.CurrentPageNo;
    struct Restore {
        TkvReportBuilder& b;
        int pageNo;
        TkvRunBand* band;
        ~Restore() {
            b.CurrentPageNo = pageNo;
            b.Aggregates.CurrentBand = band;
            b.Aggregates.CellBand.clear();
            b.Aggregates.CellColumn.clear();
            b.CurRunBand = band;
            kv::CurBand() = band;
        }
    } restore{b, keptPageNo, this};
    if (b.Report.OnBeginColumn) b.Report.OnBeginColumn(this);
    int x = 0;
    if (header->View && header->Visible && !b.Stopped()) {
        header->RunScriptOnly();
        PrintCellsAt(*header, header->Left);
        x = header->Left + header->Width;
    }
    if (data->View && data->Visible && !b.Stopped()) {
        if (x == 0) x = data->Left;
        TkvDataset* source = ColumnSource();
        std::unique_ptr<TkvComponent> owned;
        int columns = 0;
        try {
            if (source) source->First();
            // A totals row whose data gave no columns of its own gets as many as the rows had.
            if (Type == kvbt::MasterFooter && (!source || source->Eof())) {
                kv::TkvBandDataSource made = kv::FindBandDataSource(QByteArray::number(data->MaxColumns));
                owned = std::move(made.Owned);
                source = made.Dataset && made.Dataset->IsDataset() ? dynamic_cast<TkvDataset*>(made.Dataset)
                                                                   : nullptr;
                if (source) source->First();
            }
            // OnPrintColumn sizes one column at a time: each starts from the designed width.
            const int designWidth = data->Width;
            struct KeepWidth {
                TkvRunBand& band;
                int width;
                ~KeepWidth() { band.Width = width; }
            } keepWidth{*data, designWidth};
            while (source && !source->Eof() && !b.Stopped() && columns < kMaxColumns) {
                kv::CurView() = data->View;
                data->Width = designWidth;
                if (b.Report.OnPrintColumn) {
                    int width = designWidth;
                    b.Report.OnPrintColumn(Page.ColPos, width);
                    data->Width = std::clamp(width, 0, 1 << 20);
                }
                data->RunScriptOnly();
                HorizontalOverflow(x, data->Width);
                if (b.Stopped()) break;
                PrintCellsAt(*data, x);
                // Row totals count the columns of data rows only: a caption or totals row's
                // columns come from other sources, where the rows' expressions mean nothing.
                if (IsDataBand()) {
                    data->AccumulateAggregates(true);
                    AccumulateAggregates(true, QByteArray::number(Page.ColPos));
                }
                x += data->Width;
                ++Page.ColPos;
                ++columns;
                source->Next();
            }
        } catch (const std::exception& e) {
            b.Fail(e.what());
        }
        data->MaxColumns = std::max(data->MaxColumns, columns);
        if (owned && source) {
            try {
                source->Exit();
            } catch (const std::exception&) {
                // The made source only counts; releasing it cannot fail the row.
            }
        }
    }
    if (footer->View && footer->Visible && !b.Stopped()) {
        if (x == 0) x = footer->Left;
        footer->RunScriptOnly();
        HorizontalOverflow(x, footer->Width);
        // A totals row's footer column reads its sums over the rows from column "F" of the data
        // band, which each row adds to after its columns.
        if (IsDataBand()) AccumulateAggregates(true, "F");
        if (!b.Stopped()) PrintCellsAt(*footer, x);
        TkvAggregates::Reset(*footer);
    }
}

void TkvRunBand::PrintCellsAt(TkvRunBand& v, int x) {
    TkvReportBuilder& b = Page.Builder;
    kv::CurBand() = &v;
    b.CurRunBand = &v;
    v.LineThroughNo = LineThroughNo;
    v.LineNo = LineNo;
    // A data column's cells read the aggregates of this row's band for that column; header and
    // footer cells those of their own band.
    if (v.Type == kvbt::CrossData) {
        b.Aggregates.CurrentBand = this;
        b.Aggregates.CellBand = Name;
        b.Aggregates.CellColumn = QByteArray::number(Page.ColPos);
    } else if (v.Type == kvbt::CrossFooter && !IsDataBand() && AggregateSource) {
        b.Aggregates.CurrentBand = this;
        b.Aggregates.CellBand = Name;
        b.Aggregates.CellColumn = "F";
    } else {
        b.Aggregates.CurrentBand = &v;
        b.Aggregates.CellBand.clear();
        b.Aggregates.CellColumn.clear();
    }
    for (TkvView* o : v.Objects) {
        if (b.Stopped()) break;
        if (std::find(Objects.begin(), Objects.end(), o) == Objects.end()) continue;
        kv::CurPage() = &Page.Page;
        const int keptLeft = o->Left, keptTop = o->Top;
        try {
            if (!b.FirstPass) {
                o->Left += x;
                o->Top += Top;
                b.PrintObject(*o);
            } else {
                kv::CurView() = o;
                o->RunScript();
            }
        } catch (const std::exception& e) {
            kv::CurView() = o;
            b.Fail(e.what());
        }
        o->Left = keptLeft;
        o->Top = keptTop;
        o->OwnerBand = &v;
    }
}

void TkvRunBand::HorizontalOverflow(int& x, int width) {
    if (int64_t(x) + width <= Page.RightEdge()) return;
    TkvReportBuilder& b = Page.Builder;
    x = Page.LeftEdge();
    const bool firstPage = b.CurrentPageNo == 0;
    ++b.CurrentPageNo;
    if (b.CurrentPageNo >= b.Store().Count()) {
        // The columns to the right go on a page of their own, below its overlay and page header.
        b.AddPage(Page);
        if (b.Stopped()) return;
        const int keptY = Page.CurY;
        TkvRunBand* keptLast = Page.LastPrintedBand;
        Page.ShowBand(Page.Band(kvbt::Overlay));
        TkvRunBand* pageHeader = Page.Band(kvbt::PageHeader);
        if (!firstPage || (pageHeader->Flags & kvbf::OnFirstPage)) {
            Page.CurY = Page.TopEdge();
            Page.ShowBand(pageHeader);
        }
        Page.CurY = keptY;
        Page.LastPrintedBand = keptLast;
        b.ReportProgress(b.CurrentPageNo + 1);
    }
    TkvRunBand* header = Page.Band(kvbt::CrossHeader);
    if (header->View && header->Visible && (header->Flags & kvbf::RepeatHeader) && !b.Stopped()) {
        PrintCellsAt(*header, x);
        x += header->Width;
        TkvRunBand* data = Page.Band(kvbt::CrossData);
        if (data->View) {
            b.Aggregates.CurrentBand = this;
            b.Aggregates.CellBand = Name;
            b.Aggregates.CellColumn = QByteArray::number(Page.ColPos);
        }
    }
}
