#include "engine/build/run_band.h"

#include "core/globals.h"
#include "core/report/name_resolution.h"
#include "core/report/report.h"
#include "core/views/memo_view.h"
#include "core/views/stretcheable.h"
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
    if (DataSet) {
        try {
            DataSet->Exit();
        } catch (const std::exception&) {
            // Releasing a data source that failed is not a reason to fail the release of the page.
        }
    }
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

void TkvRunBand::AccumulateAggregates(bool visible) {
    if (Aggregates.Count() == 0) return;
    TkvReportBuilder& b = Page.Builder;
    try {
        TkvAggregates::Accumulate(
            *this, visible, [&b](const QByteArray& e) { return b.Evaluate(e); }, b.FormatSettings());
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
        if (View && !ScriptLines.isEmpty()) b.ExecuteScript(ScriptLines, Name);
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
                if (h <= Page.CurBottomY - Page.TopEdge() || !atTop) {
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
            if (ChildBand) Page.ShowBand(ChildBand);
            if (!IsDataBand() && Type != kvbt::GroupHeader && FormNewPage && Visible && !b.Stopped())
                Page.NewPage();
        }
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
    return false;
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
        for (TkvView* v : Objects)
            if (Stretchable(v) && (v->Flags & kvflag::Stretched) && v->Height > 0 && v->OwnerBand == this) {
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
            SplitPrint();
            advance = 0;
        } else {
            PrintObjects();
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
            if (!Fixed()) Page.CurY += Height;
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
    for (TkvView* v : Objects) {
        if (Page.Builder.Stopped()) return;
        PrintObject(*v);
    }
}

void TkvRunBand::PrintObject(TkvView& v) {
    if (v.OwnerBand != this) return;
    TkvReportBuilder& b = Page.Builder;
    kv::CurPage() = &Page.Page;
    kv::CurBand() = this;
    const int keptLeft = v.Left, keptTop = v.Top;
    try {
        if (!b.FirstPass || Breaked) {
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
        for (TkvView* v : Objects) {
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
                    if (v->Flags & kvflag::Stretched)
                        v->DeferredPrint = 1;
                    else
                        PrintObject(*v);
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
            v->DeferredPrint = 0;
        }
    restore();
    for (TkvView* v : Objects)
        if (auto* s = dynamic_cast<TkvStretcheable*>(v)) s->PrintPhase = kvpp::Normal;
    Page.CurY += SplitHeight;
}
