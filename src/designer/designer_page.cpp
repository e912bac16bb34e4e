#include "designer/designer_page.h"

#include "base/coord.h"
#include "core/globals.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/views/band_view.h"
#include "core/views/line_view.h"
#include "core/views/memo_view.h"
#include "designer/designer_form.h"
#include "render/colors.h"
#include "render/painter_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kHandleSize = 5;

int Round(double v) {
    return kv::ClampCoord(kv::RoundTo64(v));
}

bool IsBand(const TkvView& v) {
    return v.ObjectType == kvvt::Band;
}

TkvRect ViewRect(const TkvView& v) {
    return TkvRect::Clamped(v.Left, v.Top, int64_t(v.Left) + v.Width, int64_t(v.Top) + v.Height);
}

TkvRect Normalized(const TkvRect& r) {
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
            std::max(r.Top, r.Bottom)};
}

// The handle centres of a view: corners (the three last only with a size), then the middles
// (only for a single selection with a size); a missing handle is left at an impossible point.
std::vector<QPoint> HandlePoints(const TkvView& v, bool single) {
    const int x = v.Left, y = v.Top, w = v.Width, h = v.Height;
    const QPoint none(INT32_MIN / 2, INT32_MIN / 2);
    const bool sized = w != 0 && h != 0;
    std::vector<QPoint> p(8, none);
    p[TkvDesignerPage::TopLeft] = QPoint(x, y);
    if (sized) {
        p[TkvDesignerPage::TopRight] = QPoint(x + w, y);
        p[TkvDesignerPage::BottomLeft] = QPoint(x, y + h);
    }
    p[TkvDesignerPage::BottomRight] = QPoint(x + w, y + h);
    if (single && sized) {
        p[TkvDesignerPage::TopMiddle] = QPoint(x + w / 2, y);
        p[TkvDesignerPage::BottomMiddle] = QPoint(x + w / 2, y + h);
        p[TkvDesignerPage::LeftMiddle] = QPoint(x, y + h / 2);
        p[TkvDesignerPage::RightMiddle] = QPoint(x + w, y + h / 2);
    }
    return p;
}

// Within 2 pixels left or above and 3 pixels right or below of the centre.
bool HandleHit(QPoint centre, QPoint p) {
    return p.x() >= centre.x() - 2 && p.x() <= centre.x() + 3 && p.y() >= centre.y() - 2 &&
           p.y() <= centre.y() + 3;
}

const QCursor& PencilCursor() {
    static const QCursor cursor = [] {
        QPixmap pm(32, 32);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 220, 120));
        p.drawPolygon(QPolygon({QPoint(2, 29), QPoint(5, 22), QPoint(24, 3), QPoint(28, 7), QPoint(9, 26)}));
        p.drawLine(QPoint(2, 29), QPoint(5, 26));
        return QCursor(pm, 1, 30);
    }();
    return cursor;
}

} // namespace

TkvDesignerPage::TkvDesignerPage(TkvDesignerForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName("designerPage");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TkvPage* TkvDesignerPage::Page() const {
    return form_.Page();
}

const TkvRect& TkvDesignerPage::Rubber() const {
    return const_cast<TkvDesignerForm&>(form_).Selection().RubberRect;
}

QSize TkvDesignerPage::PageSize(QSize viewport) const {
    const TkvPage* page = Page();
    if (!page) return QSize(0, 0);
    if (page->PageType == kvpt::Dialog) return viewport;
    int w = page->Metrics.PageWidth, h = page->Metrics.PageHeight;
    // A page the printer has not measured is shown as A4.
    if (w <= 0 || h <= 0) {
        w = 756;
        h = 1069;
    }
    if (form_.Options().UnlimitedHeight) h *= 3;
    return QSize(w, h);
}

// ---------------------------------------------------------------- selection

void TkvDesignerPage::UnselectAll() {
    if (TkvPage* page = Page())
        for (const auto& v : page->Objects) v->Selected = 0;
    TkvDesignerSelection& s = form_.Selection();
    s.SelNum = 0;
    s.SelectedView = nullptr;
    s.AnchorIndex = -1;
    s.GroupRectValid = false;
}

void TkvDesignerPage::SelectAll() {
    TkvPage* page = Page();
    if (!page) return;
    for (const auto& v : page->Objects) v->Selected = 1;
    TkvDesignerSelection& s = form_.Selection();
    s.SelNum = page->ObjectCount();
    s.SelectedView = s.SelNum == 1 ? page->Object(0) : nullptr;
    ComputeGroup();
}

void TkvDesignerPage::ComputeGroup() {
    TkvDesignerSelection& s = form_.Selection();
    s.AnchorIndex = -1;
    s.GroupLeft = s.GroupTop = 10000;
    s.GroupRectValid = false;
    TkvPage* page = Page();
    if (!page) return;
    int count = 0;
    for (const auto& v : page->Objects) count += v->Selected ? 1 : 0;
    s.SelNum = count;
    if (s.SelectedView && !s.SelectedView->Selected) s.SelectedView = nullptr;
    if (count < 2) return;
    int64_t anchorRight = INT64_MIN, anchorBottom = INT64_MIN;
    for (int i = 0; i < page->ObjectCount(); ++i) {
        TkvView* v = page->Object(i);
        if (!v->Selected) continue;
        v->SplitRect = ViewRect(*v);
        const int64_t right = int64_t(v->Left) + v->Width, bottom = int64_t(v->Top) + v->Height;
        if (right > anchorRight || (right == anchorRight && bottom > anchorBottom)) {
            anchorRight = right;
            anchorBottom = bottom;
            s.AnchorIndex = i;
        }
        s.GroupLeft = std::min(s.GroupLeft, v->Left);
        s.GroupTop = std::min(s.GroupTop, v->Top);
    }
    const TkvView* anchor = page->Object(s.AnchorIndex);
    s.RubberRect = TkvRect::Clamped(s.GroupLeft, s.GroupTop, int64_t(anchor->Left) + anchor->Width,
                                    int64_t(anchor->Top) + anchor->Height);
    // The group's extent is the anchor's corner only when no other view reaches further down.
    int64_t bottom = s.RubberRect.Bottom;
    for (const auto& v : page->Objects)
        if (v->Selected) bottom = std::max<int64_t>(bottom, int64_t(v->Top) + v->Height);
    s.RubberRect.Bottom = kv::ClampCoord(bottom);
    s.OldRect = s.RubberRect;
    s.GroupRectValid = true;
}

int TkvDesignerPage::HitTest(QPoint p) const {
    TkvPage* page = Page();
    if (!page) return -1;
    form_.ActivateContext();
    for (int i = page->ObjectCount() - 1; i >= 0; --i) {
        TkvView* v = page->Object(i);
        if (v->Width < 3 || v->Height < 3) {
            const TkvRect r = Normalized(ViewRect(*v));
            if (p.x() >= r.Left - 3 && p.x() < r.Right + 3 && p.y() >= r.Top - 3 && p.y() < r.Bottom + 3) return i;
            continue;
        }
        QRegion region;
        try {
            v->GetClipRegion(false, region);
        } catch (const std::exception&) {
            region = QRegion(ViewRect(*v).toQRect());
        }
        if (region.contains(p)) return i;
    }
    return -1;
}

int TkvDesignerPage::HandleAt(QPoint p) const {
    const TkvDesignerSelection& s = const_cast<TkvDesignerForm&>(form_).Selection();
    TkvPage* page = Page();
    if (!page || s.SelNum != 1) return -1;
    for (const auto& v : page->Objects) {
        if (!v->Selected) continue;
        const std::vector<QPoint> pts = HandlePoints(*v, true);
        for (int h = 0; h < 8; ++h)
            if (HandleHit(pts[static_cast<size_t>(h)], p)) return h;
        return -1;
    }
    return -1;
}

bool TkvDesignerPage::SharedBorderAt(QPoint p, TkvView*& left, TkvView*& right) const {
    TkvPage* page = Page();
    if (!page) return false;
    for (const auto& a : page->Objects) {
        if (!a->Selected || IsBand(*a) || a->ObjectType == kvvt::Line) continue;
        const int edge = a->Left + a->Width;
        if (std::abs(p.x() - edge) > 2) continue;
        for (const auto& b : page->Objects) {
            if (b == a || !b->Selected || IsBand(*b) || b->ObjectType == kvvt::Line) continue;
            if (std::abs(b->Left - edge) > 2) continue;
            const int top = std::max(a->Top, b->Top), bottom = std::min(a->Top + a->Height, b->Top + b->Height);
            if (p.y() >= top && p.y() <= bottom) {
                left = a.get();
                right = b.get();
                return true;
            }
        }
    }
    return false;
}

void TkvDesignerPage::SelectTouching(const TkvRect& r) {
    TkvPage* page = Page();
    if (!page) return;
    auto touches = [&r](const TkvView& v) {
        const TkvRect n = Normalized(ViewRect(v));
        return n.Left <= r.Right && n.Right >= r.Left && n.Top <= r.Bottom && n.Bottom >= r.Top;
    };
    bool any = false;
    for (const auto& v : page->Objects)
        if (!IsBand(*v) && touches(*v)) v->Selected = 1, any = true;
    if (!any)
        for (const auto& v : page->Objects)
            if (IsBand(*v) && touches(*v)) v->Selected = 1;
    TkvDesignerSelection& s = form_.Selection();
    s.SelNum = 0;
    s.SelectedView = nullptr;
    for (const auto& v : page->Objects)
        if (v->Selected) ++s.SelNum, s.SelectedView = v.get();
    if (s.SelNum != 1) s.SelectedView = nullptr;
}

// ---------------------------------------------------------------- grid

bool TkvDesignerPage::GridAlignFor(Qt::KeyboardModifiers mods) const {
    const bool align = const_cast<TkvDesignerForm&>(form_).Options().GridAlign;
    return (mods & Qt::AltModifier) ? !align : align;
}

QPoint TkvDesignerPage::SnapDown(QPoint p) const {
    const int g = std::max(1, const_cast<TkvDesignerForm&>(form_).Options().GridSize);
    auto down = [g](int v) { return v >= 0 ? g * (v / g) : -g * ((-v + g - 1) / g); };
    return QPoint(down(p.x()), down(p.y()));
}

QPoint TkvDesignerPage::LineStart(QPoint p) const {
    TkvDesignerForm& form = const_cast<TkvDesignerForm&>(form_);
    if (!form.Options().GridAlign) return p;
    const int g = std::max(1, form.Options().GridSize);
    // The nearest corner of a view closer than a grid step wins over the grid.
    double best = g;
    QPoint corner;
    bool found = false;
    if (TkvPage* page = Page())
        for (const auto& v : page->Objects) {
            for (QPoint c : {QPoint(v->Left, v->Top), QPoint(v->Left + v->Width, v->Top),
                             QPoint(v->Left, v->Top + v->Height), QPoint(v->Left + v->Width, v->Top + v->Height)}) {
                const double d = std::hypot(double(c.x() - p.x()), double(c.y() - p.y()));
                if (d < best) best = d, corner = c, found = true;
            }
        }
    if (found) return corner;
    return QPoint(Round(double(p.x()) / g) * g, Round(double(p.y()) / g) * g);
}

bool TkvDesignerPage::TakeStep(QPoint p, Qt::KeyboardModifiers mods, int& dx, int& dy) {
    dx = p.x() - lastPoint_.x();
    dy = p.y() - lastPoint_.y();
    if (GridAlignFor(mods)) {
        const int g = std::max(1, form_.Options().GridSize);
        if (std::abs(dx) < g && std::abs(dy) < g) return false;
        dx -= dx % g;
        dy -= dy % g;
    }
    if (dx == 0 && dy == 0) return false;
    lastPoint_ += QPoint(dx, dy);
    return true;
}

// ---------------------------------------------------------------- drawing

void TkvDesignerPage::DrawGrid(QPainter& painter, const QRect& area) {
    // One dot a grid step, as a tile at the device's pixel ratio so that dots stay one page unit.
    const int g = std::max(1, form_.Options().GridSize);
    const qreal dpr = devicePixelRatioF();
    QPixmap tile(QSize(qRound(g * dpr), qRound(g * dpr)));
    tile.setDevicePixelRatio(dpr);
    tile.fill(Qt::transparent);
    {
        QPainter p(&tile);
        p.fillRect(QRect(0, 0, 1, 1), QColor(0x60, 0x60, 0x60));
    }
    painter.save();
    painter.setBrushOrigin(0, 0);
    painter.fillRect(area, QBrush(tile));
    painter.restore();
}

void TkvDesignerPage::DrawPageFrames(QPainter& painter) {
    TkvPage* page = Page();
    if (!page || page->PageType != kvpt::Report) return;
    const QColor grey(0x80, 0x80, 0x80);
    painter.setBrush(Qt::NoBrush);
    if (page->UseMargins) {
        painter.setPen(QPen(grey, 0));
        const int l = page->PrintAreaLeft(), t = page->PrintAreaTop(), r = page->PrintAreaRight(),
                  b = page->PrintAreaBottom();
        if (r > l && b > t) painter.drawRect(QRect(l, t, r - l - 1, b - t - 1));
    }
    if (page->Columns >= 2) {
        const int left = page->PrintAreaLeft(), right = page->PrintAreaRight();
        const int width = (right - left - (page->Columns - 1) * page->ColumnGap) / page->Columns;
        if (width > 0) {
            painter.setPen(QPen(grey, 0, Qt::DotLine));
            for (int c = 0, x = left; c < page->Columns; ++c, x += width + page->ColumnGap)
                painter.drawRect(QRect(x, -1, width - 1, height() + 1));
        }
    }
}

void TkvDesignerPage::DrawHandles(QPainter& painter) {
    TkvPage* page = Page();
    const TkvDesignerSelection& s = form_.Selection();
    const bool single = s.SelNum == 1;
    for (int i = 0; i < page->ObjectCount(); ++i) {
        const TkvView* v = page->Object(i);
        if (!v->Selected) continue;
        const std::vector<QPoint> pts = HandlePoints(*v, single);
        for (int h = 0; h < 8; ++h) {
            const QPoint c = pts[static_cast<size_t>(h)];
            if (c.x() < INT32_MIN / 4) continue;
            const bool anchor = h == BottomRight && i == s.AnchorIndex;
            const QRect box(c.x() - kHandleSize / 2, c.y() - kHandleSize / 2, kHandleSize, kHandleSize);
            painter.fillRect(box, anchor ? QColor(0, 0x80, 0x80) : QColor(0, 0, 0));
        }
    }
}

void TkvDesignerPage::DrawOverlay(QPainter& painter) {
    TkvPage* page = Page();
    const TkvDesignerSelection& s = form_.Selection();
    painter.setBrush(Qt::NoBrush);
    QPen frame(QColor(0x80, 0x80, 0x80), 0, Qt::DotLine);
    switch (drag_) {
    case Drag::RubberBand:
    case Drag::Insert: {
        painter.setPen(frame);
        const TkvRect r = Normalized(s.RubberRect);
        painter.drawRect(QRect(r.Left, r.Top, std::max(0, r.Width() - 1), std::max(0, r.Height() - 1)));
        return;
    }
    case Drag::Line:
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(QPoint(s.RubberRect.Left, s.RubberRect.Top), QPoint(s.RubberRect.Right, s.RubberRect.Bottom));
        return;
    case Drag::SharedBorder:
        painter.setPen(frame);
        painter.drawLine(QPoint(borderX_, borderLeft_->Top), QPoint(borderX_, borderLeft_->Top + borderLeft_->Height));
        return;
    case Drag::Move:
    case Drag::Resize:
    case Drag::GroupResize:
        painter.setPen(frame);
        for (const auto& v : page->Objects)
            if (v->Selected) {
                const TkvRect r = Normalized(ViewRect(*v));
                painter.drawRect(QRect(r.Left, r.Top, std::max(0, r.Width() - 1), std::max(0, r.Height() - 1)));
            }
        return;
    case Drag::None: break;
    }
    DrawHandles(painter);
    // The outline of the object the insertion tool would place.
    if (hovering_ && form_.Tool() == TkvDesignerTool::Insert) {
        const QPoint at = form_.Options().GridAlign ? SnapDown(hover_) : hover_;
        QSize size(36, 36);
        if (form_.InsertTag() == kvtag::Band) size = QSize(width(), 36);
        else if (form_.InsertTag() == kvtag::Text)
            size = QSize(form_.Defaults().DefaultTextWidth, form_.Defaults().DefaultTextHeight);
        painter.setPen(frame);
        painter.drawRect(QRect(form_.InsertTag() == kvtag::Band ? 0 : at.x(), at.y(), size.width() - 1, size.height() - 1));
    }
}

void TkvDesignerPage::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    TkvPage* page = Page();
    const QRect area = e->rect();
    if (!page) {
        painter.fillRect(area, palette().window());
        return;
    }
    form_.ActivateContext();
    kv::BandTitles = form_.Options().BandTitles;
    painter.fillRect(area, page->PageType == kvpt::Dialog ? kv::ColorToQColor(page->Color) : QColor(Qt::white));
    if (form_.Options().GridShow) DrawGrid(painter, area);
    DrawPageFrames(painter);
    {
        TkvPainterCanvas canvas(painter);
        canvas.SetClipRegion(e->region());
        for (const auto& v : page->Objects) {
            const QRect bounds = Normalized(ViewRect(*v)).toQRect().adjusted(-120, -20, 20, 20);
            if (!v->Selected && !bounds.intersects(area) && !IsBand(*v)) continue;
            try {
                v->Draw(canvas);
            } catch (const std::exception&) {
                // A view that cannot draw itself stays empty on the surface; it can still be selected.
            }
        }
        canvas.ClearClip();
    }
    // Markers: a script (top-left) and a highlight condition (below it).
    painter.setPen(QPen(QColor(0, 0, 0x80), 0));
    for (const auto& v : page->Objects) {
        if (!v->ScriptLines.empty()) {
            painter.fillRect(QRect(v->Left + 1, v->Top + 1, 7, 7), QColor(0xFF, 0xFF, 0xC0));
            painter.drawRect(QRect(v->Left + 1, v->Top + 1, 6, 6));
        }
        if (v->ObjectType == kvvt::Text)
            if (const auto* m = dynamic_cast<const TkvMemoView*>(v.get()); m && !m->HighlightCondition.isEmpty()) {
                painter.fillRect(QRect(v->Left + 1, v->Top + 10, 7, 7), QColor(0xFF, 0xC0, 0xC0));
                painter.drawRect(QRect(v->Left + 1, v->Top + 10, 6, 6));
            }
    }
    DrawOverlay(painter);
}

// ---------------------------------------------------------------- mouse

void TkvDesignerPage::ChooseCursor(QPoint p) {
    switch (form_.Tool()) {
    case TkvDesignerTool::Line: setCursor(PencilCursor()); return;
    case TkvDesignerTool::Insert: setCursor(Qt::CrossCursor); return;
    case TkvDesignerTool::Select: break;
    }
    const TkvDesignerSelection& s = form_.Selection();
    if (s.SelNum == 1) {
        switch (HandleAt(p)) {
        case TopLeft:
        case BottomRight: setCursor(Qt::SizeFDiagCursor); return;
        case TopRight:
        case BottomLeft: setCursor(Qt::SizeBDiagCursor); return;
        case TopMiddle:
        case BottomMiddle: setCursor(Qt::SizeVerCursor); return;
        case LeftMiddle:
        case RightMiddle: setCursor(Qt::SizeHorCursor); return;
        default: break;
        }
    } else if (s.SelNum > 1 && s.AnchorIndex >= 0) {
        const TkvView* anchor = Page()->Object(s.AnchorIndex);
        if (HandleHit(QPoint(anchor->Left + anchor->Width, anchor->Top + anchor->Height), p)) {
            setCursor(Qt::SizeFDiagCursor);
            return;
        }
        TkvView *l = nullptr, *r = nullptr;
        if (SharedBorderAt(p, l, r)) {
            setCursor(Qt::SplitHCursor);
            return;
        }
    }
    setCursor(Qt::ArrowCursor);
}

void TkvDesignerPage::mousePressEvent(QMouseEvent* e) {
    TkvPage* page = Page();
    if (!page) return;
    setFocus(Qt::MouseFocusReason);
    if (ignoreNextDown_) {
        ignoreNextDown_ = false;
        return;
    }
    if (e->button() == Qt::RightButton && drag_ != Drag::None) CancelDrag();
    const QPoint p = e->position().toPoint();
    const Qt::KeyboardModifiers mods = e->modifiers();
    const bool left = e->button() == Qt::LeftButton;
    TkvDesignerSelection& s = form_.Selection();
    mouseIsDown_ = true;
    firstMove_ = true;
    downPoint_ = lastPoint_ = p;
    hovering_ = false;

    if (left && ((mods & Qt::ControlModifier) || form_.Tool() == TkvDesignerTool::Insert)) {
        const bool inserting = form_.Tool() == TkvDesignerTool::Insert;
        const QPoint start = inserting && form_.Options().GridAlign ? SnapDown(p) : p;
        s.RubberRect = {start.x(), start.y(), start.x(), start.y()};
        if (inserting) s.OldRect = s.RubberRect;
        drag_ = inserting ? Drag::Insert : Drag::RubberBand;
        UnselectAll();
        form_.NotifySelectionChanged();
        update();
        return;
    }
    if (left && form_.Tool() == TkvDesignerTool::Line) {
        const QPoint start = LineStart(p);
        s.RubberRect = {start.x(), start.y(), start.x(), start.y()};
        drag_ = Drag::Line;
        UnselectAll();
        form_.NotifySelectionChanged();
        update();
        return;
    }
    if (left && s.SelNum == 1 && (handle_ = HandleAt(p)) >= 0) {
        drag_ = Drag::Resize;
        update();
        return;
    }
    if (left && s.SelNum > 1 && s.AnchorIndex >= 0) {
        const TkvView* anchor = page->Object(s.AnchorIndex);
        if (HandleHit(QPoint(anchor->Left + anchor->Width, anchor->Top + anchor->Height), p)) {
            ComputeGroup();
            drag_ = Drag::GroupResize;
            update();
            return;
        }
        if (SharedBorderAt(p, borderLeft_, borderRight_)) {
            borderX_ = borderLeft_->Left + borderLeft_->Width;
            drag_ = Drag::SharedBorder;
            update();
            return;
        }
    }

    const int hit = HitTest(p);
    drag_ = Drag::None;
    if (hit >= 0) {
        TkvView* v = page->Object(hit);
        if (mods & Qt::ShiftModifier) {
            v->Selected = v->Selected ? 0 : 1;
            s.SelNum += v->Selected ? 1 : -1;
            if (!v->Selected && s.SelectedView == v) s.SelectedView = nullptr;
        } else if (!v->Selected) {
            UnselectAll();
            v->Selected = 1;
            s.SelNum = 1;
        }
        if (s.SelNum == 1) {
            s.SelectedView = v->Selected ? v : nullptr;
            if (!s.SelectedView)
                for (const auto& o : page->Objects)
                    if (o->Selected) s.SelectedView = o.get();
        } else if (s.SelNum == 0) {
            s.SelectedView = nullptr;
        } else if (v->Selected && !(mods & Qt::ShiftModifier)) {
            s.SelectedView = s.SelectedView ? s.SelectedView : v;
        }
        if (left && s.SelNum > 0) drag_ = Drag::Move;
    } else {
        UnselectAll();
        if (left) {
            s.RubberRect = {p.x(), p.y(), p.x(), p.y()};
            drag_ = Drag::RubberBand;
        }
    }
    ComputeGroup();
    form_.NotifySelectionChanged();
    if (e->button() == Qt::RightButton) {
        mouseIsDown_ = false;
        drag_ = Drag::None;
        update();
        form_.ShowContextMenu(e->globalPosition().toPoint());
        return;
    }
    update();
}

void TkvDesignerPage::MoveSelection(int dx, int dy, bool carryBand) {
    TkvPage* page = Page();
    for (const auto& v : page->Objects)
        if (v->Selected && form_.CanMoveView(*v)) {
            v->Left += dx;
            v->Top += dy;
        }
    (void)carryBand;
}

void TkvDesignerPage::ResizeSingle(int dx, int dy) {
    TkvView* v = nullptr;
    for (const auto& o : Page()->Objects)
        if (o->Selected) v = o.get();
    if (!v || !form_.CanSizeView(*v)) return;
    switch (handle_) {
    case TopLeft: v->Left += dx, v->Width -= dx, v->Top += dy, v->Height -= dy; break;
    case TopRight: v->Width += dx, v->Top += dy, v->Height -= dy; break;
    case BottomLeft: v->Left += dx, v->Width -= dx, v->Height += dy; break;
    case BottomRight: v->Width += dx, v->Height += dy; break;
    case TopMiddle: v->Top += dy, v->Height -= dy; break;
    case BottomMiddle: v->Height += dy; break;
    case LeftMiddle: v->Left += dx, v->Width -= dx; break;
    case RightMiddle: v->Width += dx; break;
    default: break;
    }
}

void TkvDesignerPage::ResizeGroup(int dx, int dy) {
    TkvDesignerSelection& s = form_.Selection();
    s.RubberRect.Right = std::max(s.RubberRect.Left, s.RubberRect.Right + dx);
    s.RubberRect.Bottom = std::max(s.RubberRect.Top, s.RubberRect.Bottom + dy);
    // A group without width (or height) keeps its views' horizontal (vertical) extents: there is
    // nothing to scale.
    const int oldW = s.OldRect.Width(), oldH = s.OldRect.Height();
    const double kx = oldW > 0 ? double(s.RubberRect.Width()) / oldW : 1.0;
    const double ky = oldH > 0 ? double(s.RubberRect.Height()) / oldH : 1.0;
    for (const auto& v : Page()->Objects) {
        if (!v->Selected || !form_.CanSizeView(*v)) continue;
        const TkvRect& saved = v->SplitRect;
        const double ax = (double(saved.Left) - s.GroupLeft) * kx, bx = double(saved.Width()) * kx;
        const double ay = (double(saved.Top) - s.GroupTop) * ky, by = double(saved.Height()) * ky;
        // Edges rounded once each, so that views that touched still touch.
        v->Left = Round(ax) + s.GroupLeft;
        v->Width = Round(ax + bx) - Round(ax);
        v->Top = Round(ay) + s.GroupTop;
        v->Height = Round(ay + by) - Round(ay);
    }
}

void TkvDesignerPage::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (!mouseIsDown_) {
        hover_ = p;
        hovering_ = true;
        ChooseCursor(p);
        if (form_.Tool() == TkvDesignerTool::Insert) update();
        return;
    }
    TkvDesignerSelection& s = form_.Selection();
    int dx = 0, dy = 0;
    switch (drag_) {
    case Drag::None: return;
    case Drag::RubberBand:
        s.RubberRect.Right = p.x();
        s.RubberRect.Bottom = p.y();
        break;
    case Drag::Insert: {
        const QPoint q = form_.Options().GridAlign ? SnapDown(p) : p;
        s.RubberRect.Right = q.x();
        s.RubberRect.Bottom = q.y();
        break;
    }
    case Drag::Line: {
        const QPoint q = LineStart(p);
        s.RubberRect.Right = q.x();
        s.RubberRect.Bottom = q.y();
        break;
    }
    case Drag::Move:
    case Drag::Resize:
    case Drag::GroupResize:
    case Drag::SharedBorder:
        if (!TakeStep(p, e->modifiers(), dx, dy)) return;
        if (firstMove_) {
            // A band moved alone carries the objects lying wholly inside it.
            if (drag_ == Drag::Move && s.SelNum == 1 && !(e->modifiers() & Qt::AltModifier)) {
                TkvView* band = nullptr;
                for (const auto& v : Page()->Objects)
                    if (v->Selected) band = v.get();
                if (band && IsBand(*band) && form_.CanMoveView(*band)) {
                    for (const auto& v : Page()->Objects)
                        if (!IsBand(*v) && v->Left >= band->Left && v->Top >= band->Top &&
                            v->Left + v->Width <= band->Left + band->Width &&
                            v->Top + v->Height <= band->Top + band->Height)
                            v->Selected = 1;
                    ComputeGroup();
                }
            }
            form_.AddUndoStep(TkvUndoKind::Modify);
            firstMove_ = false;
        }
        if (drag_ == Drag::Move) MoveSelection(dx, dy, false);
        else if (drag_ == Drag::Resize) ResizeSingle(dx, dy);
        else if (drag_ == Drag::GroupResize) ResizeGroup(dx, dy);
        else borderX_ += dx;
        break;
    }
    update();
}

void TkvDesignerPage::FinishDrag(QPoint p, Qt::KeyboardModifiers mods) {
    (void)p;
    (void)mods;
    TkvDesignerSelection& s = form_.Selection();
    const Drag d = drag_;
    drag_ = Drag::None;
    mouseIsDown_ = false;
    switch (d) {
    case Drag::None: break;
    case Drag::Insert: form_.InsertObject(form_.InsertTag(), Normalized(s.RubberRect)); break;
    case Drag::Line: {
        const QPoint a(s.RubberRect.Left, s.RubberRect.Top), b(s.RubberRect.Right, s.RubberRect.Bottom);
        if (a != b) form_.InsertLine(a, b);
        break;
    }
    case Drag::RubberBand:
        SelectTouching(Normalized(s.RubberRect));
        ComputeGroup();
        form_.NotifySelectionChanged();
        break;
    case Drag::SharedBorder: {
        const int dx = borderX_ - (borderLeft_->Left + borderLeft_->Width);
        if (dx != 0 && borderLeft_->Width + dx > 0 && borderRight_->Width - dx > 0 &&
            form_.CanSizeView(*borderLeft_) && form_.CanSizeView(*borderRight_) && form_.CanMoveView(*borderRight_)) {
            borderLeft_->Width += dx;
            borderRight_->Left += dx;
            borderRight_->Width -= dx;
        }
        borderLeft_ = borderRight_ = nullptr;
        ComputeGroup();
        form_.AfterChange();
        break;
    }
    case Drag::Move:
    case Drag::Resize:
    case Drag::GroupResize:
        if (firstMove_) break;
        if (d == Drag::Resize)
            for (const auto& v : Page()->Objects)
                if (v->Selected) {
                    if (v->Width < 0) v->Left += v->Width, v->Width = -v->Width;
                    if (v->Height < 0) v->Top += v->Height, v->Height = -v->Height;
                    v->AfterResize();
                }
        ComputeGroup();
        form_.AfterChange();
        break;
    }
    update();
}

void TkvDesignerPage::mouseReleaseEvent(QMouseEvent* e) {
    if (!mouseIsDown_) return;
    FinishDrag(e->position().toPoint(), e->modifiers());
}

void TkvDesignerPage::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || form_.Tool() != TkvDesignerTool::Select) {
        mousePressEvent(e);
        return;
    }
    drag_ = Drag::None;
    mouseIsDown_ = false;
    const int hit = HitTest(e->position().toPoint());
    if (hit < 0) return;
    TkvView* v = Page()->Object(hit);
    UnselectAll();
    v->Selected = 1;
    ComputeGroup();
    form_.Selection().SelectedView = v;
    form_.NotifySelectionChanged();
    update();
    form_.OpenEditor(v);
}

void TkvDesignerPage::CancelDrag() {
    drag_ = Drag::None;
    mouseIsDown_ = false;
    borderLeft_ = borderRight_ = nullptr;
    update();
}

void TkvDesignerPage::keyPressEvent(QKeyEvent* e) {
    if (!form_.HandleKey(e->key(), e->modifiers())) QWidget::keyPressEvent(e);
}
