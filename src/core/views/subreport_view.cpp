#include "core/views/subreport_view.h"

#include "base/codepage.h"
#include "core/views/view_font.h"
#include "render/canvas.h"

TkvSubReportView::TkvSubReportView() {
    ObjectType = kvvt::SubReport;
    NamePrefix = "SubReport";
}

void TkvSubReportView::LoadFromStream(TkvStream& s) {
    TkvView::LoadFromStream(s);
    SubPageIndex = s.ReadInt("the sub-report page index");
}

void TkvSubReportView::SaveToStream(TkvStream& s) {
    TkvView::SaveToStream(s);
    s.WriteInt(SubPageIndex);
}

void TkvSubReportView::Draw(TkvCanvas& canvas) {
    const TkvCanvasScope scope(*this, canvas);
    AttachCanvas(&canvas);
    FrameWidth = 1.0f;
    ScaleForDrawing();
    TkvFont font;
    font.name = QStringLiteral("Arial");
    font.pointSize = 8;
    font.charset = kv::DefaultCharset;
    canvas.SetFont(font);
    canvas.SetPen({0, 1, TkvPenStyle::Solid});
    canvas.SetBrush({0xFFFFFF, TkvBrushStyle::Solid});
    canvas.Rectangle(TkvRect::Clamped(Left, Top, int64_t(Left) + Width + 1, int64_t(Top) + Height + 1).toQRect());
    canvas.SetBrush({0xFFFFFF, TkvBrushStyle::Clear});
    const QRect clip = InnerRect.toQRect();
    canvas.TextOut({Left + 2, Top + 2}, kv::DecodeText(Name, kv::DefaultCharset), &clip);
    RestoreAfterDrawing();
}
