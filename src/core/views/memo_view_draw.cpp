// Drawing and height calculation of the text object, through the text layout module.

#include "core/globals.h"
#include "core/views/memo_layout.h"
#include "core/views/memo_view.h"
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
