// Drawing and height calculation of the text object, through the text layout module.

#include "core/globals.h"
#include "core/views/memo_layout.h"
#include "core/views/memo_view.h"
#include "core/views/band.h"
#include "core/views/view_factory.h"
#include "core/report/report.h"
#include "base/expression_evaluator.h"
#include "base/value_ops.h"

namespace {

// The layout works on a copy of the text object's own fields; the ones it changes are copied back.
TkvMemoLayout LayoutFor(TkvMemoView& v) {
    TkvMemoLayout l(v);
    l.FontName = v.Font.Name;
    l.FontSize = v.Font.Size;
    l.FontStyle = v.Font.Style;
    l.FontColor = v.Font.Color;
    l.Charset = v.Font.Charset;
    l.Alignment = v.Alignment;
    l.LineSpacing = v.LineSpacing;
    l.CharSpacing = v.CharSpacing;
    l.FitLinesOnly = v.FitLinesOnly;
    l.Exporting = v.Exporting;
    l.PreWrapped = v.PreWrapped;
    l.TextHeight = v.TextHeight;
    l.LineHeight = v.LineHeight;
    l.LinesDone = v.LinesDone;
    return l;
}

void CopyBack(const TkvMemoLayout& l, TkvMemoView& v) {
    v.FitLinesOnly = l.FitLinesOnly;
    v.PreWrapped = l.PreWrapped;
    v.TextHeight = l.TextHeight;
    v.LineHeight = l.LineHeight;
    v.LinesDone = l.LinesDone;
}

} // namespace

void TkvMemoView::Draw(TkvCanvas& canvas) {
    const TkvCanvasScope scope(*this, canvas);
    TkvMemoLayout layout = LayoutFor(*this);
    layout.Draw(canvas);
    CopyBack(layout, *this);
}

int TkvMemoView::CalcTextWidth() {
    const TkvCanvasScope scope(*this, TkvMemoLayout::Measuring());
    // Measuring may happen while the text itself is being expanded: its lines are kept.
    const TkvStringList kept = ResultText;
    TkvMemoLayout layout = LayoutFor(*this);
    layout.ExpandMemo();
    const int width = layout.CalcAutoWidth(ResultText);
    ResultText = kept;
    return width;
}

void TkvMemoView::ExportContents(TkvExportTarget& target) {
    TkvStretcheable::ExportContents(target);
    Exporting = 1;
    TkvMemoLayout layout = LayoutFor(*this);
    layout.ExportTarget = &target;
    TkvCanvas* kept = Canvas;
    try {
        layout.Draw(TkvMemoLayout::Measuring());
    } catch (...) {
        Exporting = 0;
        Canvas = kept;
        throw;
    }
    CopyBack(layout, *this);
    Exporting = 0;
    Canvas = kept;
}

void TkvMemoView::ApplyHighlight() {
    if (HighlightCondition.isEmpty()) return;
    TkvExpressionEvaluator* e = kv::CurEvaluator();
    if (!e) return;
    try {
        if (highlightSource_ != HighlightCondition || HighlightPostfix.isEmpty()) {
            HighlightPostfix = e->ConvertToPostfix(HighlightCondition);
            highlightSource_ = HighlightCondition;
        }
        const TkvVariant v = e->EvaluatePostfix(HighlightPostfix);
        // An unknown name (null) does not hold.
        if (v.isEmpty() || kvval::CompareValues(v, TkvVariant(int64_t(0)), kvval::Compare::Equal, e->FormatSettings()))
            return;
        Font.Style = HighlightFontStyle & kvfs::All;
        Font.Color = HighlightFontColor;
        FillColor = HighlightFillColor;
    } catch (const std::exception&) {
        // A condition that cannot be evaluated leaves the object as it is.
    }
}

// The script runs here, and the following PrintToStream (PrintPhase 1) does not run it again.
int TkvMemoView::CalcHeight() {
    const TkvCanvasScope scope(*this, TkvMemoLayout::Measuring());
    PrintPhase = kvpp::HeightCalculated;
    AttachCanvas(&TkvMemoLayout::Measuring());
    RunScript();
    if (Visible == 0) return 0;
    ResultText = Memo;
    const TkvStringList before = ResultText;
    BeforePrintStep();
    const bool expand = ResultText == before;
    if (expand) LayoutFor(*this).ExpandMemo();

    const TkvViewFont keptFont = Font;
    const uint32_t keptFill = FillColor;
    ApplyHighlight();
    TkvMemoLayout layout = LayoutFor(*this); // measures with the highlighted font
    ScaleForDrawing();
    int result = 0;
    if (!ResultText.isEmpty()) {
        ResultText = layout.LayoutText();
        CopyBack(layout, *this);
        result = TextHeight;
        const QByteArray text = kv::JoinLines(ResultText);
        if ((Flags & kvmf::Suppress) && text == LastValue) result = 0;
        // The first pass of a two-pass build counts pages: repeated values must be suppressed
        // there as they will be in the second pass.
        if ((Flags & kvmf::Suppress) && kv::MasterReport() && kv::MasterReport()->DoublePassReport &&
            kv::FirstPassActive())
            LastValue = text;
    }
    RestoreAfterDrawing();
    Font = keptFont;
    FillColor = keptFill;
    return result;
}

void TkvMemoView::PrintToStream(TkvStream& s) {
    const TkvCanvasScope scope(*this, TkvMemoLayout::Measuring());
    // Whatever happens below, the next print starts afresh.
    struct PhaseReset {
        TkvMemoView& v;
        ~PhaseReset() {
            v.PrintPhase = kvpp::Normal;
            v.FitLinesOnly = 0;
        }
    } phaseReset{*this};
    AttachCanvas(&TkvMemoLayout::Measuring());
    FitLinesOnly = 1;
    if (PrintPhase == kvpp::Normal) RunScript();
    // After CalcHeight ResultText already holds the laid-out lines; a split part prints from them.
    bool expand = PrintPhase != kvpp::HeightCalculated;
    if (PrintPhase == kvpp::Normal) {
        ResultText = Memo;
        BeforePrintStep();
        // A bound blob field or the application gave the text: it is not expanded again.
        expand = ResultText == Memo;
    }
    if (PrintPhase != kvpp::SplitPart && expand) LayoutFor(*this).ExpandMemo();
    if (Visible == 0) return;

    const TkvViewFont keptFont = Font;
    const uint32_t keptFill = FillColor;
    const QByteArray keptTag = Tag;
    const uint32_t keptFormat = DisplayFormat;
    const uint8_t keptAlign = BandAlign;
    const int32_t keptTop = Top, keptWidth = Width;
    struct Restore {
        TkvMemoView& v;
        const TkvViewFont& font;
        uint32_t fill;
        const QByteArray& tag;
        uint32_t format;
        uint8_t align;
        ~Restore() {
            v.Font = font;
            v.FillColor = fill;
            v.Tag = tag;
            v.DisplayFormat = format;
            v.BandAlign = align;
        }
    } restore{*this, keptFont, keptFill, keptTag, keptFormat, keptAlign};
    ApplyHighlight();

    TkvStringList rest;
    if (PrintPhase == kvpp::SplitPart) {
        TkvMemoLayout layout = LayoutFor(*this);
        ScaleForDrawing();
        rest = layout.TakeFittingLines();
        RestoreAfterDrawing();
        CopyBack(layout, *this);
    }

    // Tags are expanded without the display format.
    if (Tag.contains('[')) {
        DisplayFormat = 0;
        ExpandTagBrackets();
        DisplayFormat = keptFormat;
    }
    if (kv::CurBand()) {
        if (BandAlign == 5) {
            Top = kv::CurBand()->BandTop() + kv::CurBand()->BandHeight() - Height;
            BandAlign = 0;
        } else if (BandAlign == 6) {
            Top = kv::CurBand()->BandTop();
        } else if (BandAlign == 4) {
            const int t = kv::CurBand()->BandType();
            if (t == 18 || t == 19 || t == 20) {
                Width = kv::CurBand()->BandWidth();
                BandAlign = 0;
            }
        }
    }
    const QByteArray text = kv::JoinLines(ResultText);
    if (!((Flags & kvmf::Suppress) && text == LastValue)) {
        kv::WriteObjectEntry(s, *this);
        if (Flags & kvmf::Suppress) LastValue = text;
    }
    // Band alignment placed the record only; the object keeps its place in the band.
    Top = keptTop;
    Width = keptWidth;
    if (PrintPhase == kvpp::SplitPart) ResultText = rest;
}
