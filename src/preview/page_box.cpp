#include "preview/page_box.h"

#include "base/codepage.h"

#include "core/store/emf_pages.h"
#include "core/store/page_search.h"
#include "core/locale.h"
#include "base/text_util.h"
#include "preview/preview_form.h"
#include "render/colors.h"
#include "render/painter_canvas.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <climits>

using kv::RoundEven;

TkvPBox::TkvPBox(TkvPreviewForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName("PBox");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(40, 40);
}

int TkvPBox::ParsePageLink(const QByteArray& link, int pageCount) {
    const qsizetype at = link.indexOf('@');
    if (at < 0 || at + 1 >= link.size()) return 0;
    bool ok = false;
    const qlonglong n = link.mid(at + 1).trimmed().toLongLong(&ok);
    if (!ok) return 0;
    const qlonglong page = n <= 0 ? 1 : n;
    return page <= pageCount ? static_cast<int>(page) : 0;
}

int TkvPBox::PageAt(QPoint p, QPoint* local) const {
    TkvEMFPages* pages = form_.Pages();
    if (!pages) return -1;
    const QPoint lp = p - QPoint(form_.OffsetX, form_.OffsetY);
    for (int i = 0; i < pages->Count(); ++i) {
        const TkvRect& r = pages->PageInfo(i).PreviewRect;
        if (lp.x() >= r.Left && lp.x() < r.Right && lp.y() >= r.Top && lp.y() < r.Bottom) {
            if (local)
                *local = QPoint(RoundEven((lp.x() - r.Left) / form_.Zoom), RoundEven((lp.y() - r.Top) / form_.Zoom));
            return i;
        }
    }
    return -1;
}

void TkvPBox::paintEvent(QPaintEvent* e) {
    TkvEMFPages* pages = form_.Pages();
    // Without pages the box is plain, whatever it showed before.
    if (!pages || pages->Count() == 0) {
        QPainter(this).fillRect(rect(), kv::ColorToQColor(0x8000000F));
        return;
    }
    if (!form_.LayoutReady) return;
    QPainter painter(this);
    const QRegion update = e->region();
    QRegion background = update;
    std::vector<QRect> screen(static_cast<size_t>(pages->Count()));
    std::vector<int> damaged;
    for (int i = 0; i < pages->Count(); ++i) {
        PreparedPageInfo& info = pages->PageInfo(i);
        const QRect s = info.PreviewRect.toQRect().translated(form_.OffsetX, form_.OffsetY);
        screen[static_cast<size_t>(i)] = s;
        // Pages wholly above or below the box are invisible without asking the region.
        const bool visible = !(s.top() > height() || s.bottom() < 0) && update.intersects(s);
        info.PageVisible = visible;
        if (visible) background -= s.adjusted(1, 1, -1, -1);
    }
    painter.setClipRegion(background);
    painter.fillRect(rect(), QColor(0x80, 0x80, 0x80));
    painter.setClipping(false);

    TkvPainterCanvas canvas(painter);
    canvas.SetClipRegion(update);
    canvas.SetPen({0, 1, TkvPenStyle::Solid, TkvPenMode::Copy});
    canvas.SetBrush({0xFFFFFF, TkvBrushStyle::Solid});
    for (int i = 0; i < pages->Count(); ++i) {
        if (!pages->PageInfo(i).PageVisible) continue;
        const QRect& s = screen[static_cast<size_t>(i)];
        canvas.Rectangle(s);
        // A one-pixel shadow below and right of the page.
        canvas.Polyline(QPolygon({QPoint(s.left() + 1, s.bottom() + 1), QPoint(s.right() + 1, s.bottom() + 1),
                                  QPoint(s.right() + 1, s.top() + 1)}));
    }
    for (int i = 0; i < pages->Count(); ++i) {
        PreparedPageInfo& info = pages->PageInfo(i);
        QRect target;
        if (info.PageVisible) target = kv::PageDrawArea(info, screen[static_cast<size_t>(i)], form_.Zoom);
        canvas.Save();
        try {
            pages->DrawPage(i, canvas, target);
        } catch (const std::exception& ex) {
            // A page that cannot be unpacked keeps what was drawn of it, is marked, and the user is told
            // once per page.
            info.PageVisible = 0;
            form_.ReportDamagedPage(i, QString::fromLocal8Bit(ex.what()));
        }
        canvas.Restore();
        // A page kept only as stored says so on the page itself.
        if (!info.Unreadable.empty() && update.intersects(screen[static_cast<size_t>(i)])) {
            painter.save();
            painter.setPen(QColor(0x80, 0, 0));
            painter.drawText(screen[static_cast<size_t>(i)].adjusted(8, 8, -8, -8),
                             Qt::AlignCenter | Qt::TextWordWrap, QString::fromStdString(info.Unreadable));
            painter.restore();
        }
        // Once found damaged, a page stays marked (what was read of it may draw without failing).
        if (!screen[static_cast<size_t>(i)].isEmpty() && form_.IsDamaged(i) && update.intersects(screen[static_cast<size_t>(i)]))
            damaged.push_back(i);
    }
    for (int i : damaged) MarkDamaged(painter, screen[static_cast<size_t>(i)]);
    // The found text is inverted where it is on screen; the next paint of that area without the mark
    // (the mark is cleared by scrolling and relayout) shows it plain again.
    const QRect mark = form_.MarkScreenRect();
    if (!mark.isEmpty() && update.intersects(mark)) {
        painter.save();
        painter.setClipRegion(update);
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(mark, Qt::white);
        painter.restore();
    }
}

void TkvPBox::MarkDamaged(QPainter& painter, const QRect& page) {
    painter.save();
    painter.setClipRect(page.adjusted(1, 1, 0, 0));
    painter.fillRect(page, QBrush(QColor(210, 40, 40), Qt::BDiagPattern));
    painter.setPen(QPen(QColor(200, 0, 0), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(page.adjusted(2, 2, -2, -2));
    painter.restore();
}

void TkvPBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        const bool editing = form_.PageEditingAllowed();
        for (const char* n : {"N4", "N5", "N6", "N7"}) form_.MenuItem(n)->setVisible(editing);
        QWidget* host = form_.PreviewPanel()->parentWidget();
        if (host && host->contextMenuPolicy() == Qt::CustomContextMenu)
            emit host->customContextMenuRequested(host->mapFromGlobal(e->globalPosition().toPoint()));
        else
            form_.ProcMenu()->popup(e->globalPosition().toPoint());
        return;
    }
    if (e->button() != Qt::LeftButton) return;
    if (IgnoreNextMouseDown) {
        IgnoreNextMouseDown = false;
        return;
    }
    TkvEMFPages* pages = form_.Pages();
    ClickedPage = form_.CurrentPage;
    QPoint local;
    const int i = PageAt(e->position().toPoint(), &local);
    if (pages && i >= 0) {
        ClickedPage = i + 1;
        QByteArray link;
        int cursor = 0;
        bool handled = false;
        try {
            handled = pages->HitTestObject(i, local, true, link, cursor);
        } catch (const std::exception&) {
            handled = false;
        }
        if (handled) {
            if (const int n = ParsePageLink(link, pages->Count())) form_.SetCurrentPage(n);
            return;
        }
    }
    Dragging = true;
    LastDrag = e->position().toPoint();
    if (pages && ClickedPage >= 1 && ClickedPage <= pages->Count()) {
        form_.CurrentPage = ClickedPage;
        form_.UpdatePageLabel();
    }
}

void TkvPBox::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (Dragging) {
        form_.HScrollBar()->setValue(form_.HScrollBar()->value() + LastDrag.x() - p.x());
        form_.VScrollBar()->setValue(form_.VScrollBar()->value() + LastDrag.y() - p.y());
        LastDrag = p;
        return;
    }
    TkvEMFPages* pages = form_.Pages();
    if (!pages || !form_.Report()) return;
    QPoint local;
    const int i = PageAt(p, &local);
    if (i < 0) {
        ShowLink({});
        return;
    }
    QByteArray link;
    int cursor = 0;
    bool handled = false;
    try {
        handled = pages->HitTestObject(i, local, false, link, cursor);
    } catch (const std::exception&) {
        handled = false;
    }
    setCursor(handled && cursor == TkvEMFPages::HandPointCursor ? Qt::PointingHandCursor : Qt::ArrowCursor);
    const qsizetype at = link.indexOf('@');
    if (at >= 0 && at + 1 < link.size())
        ShowLink(kv::DecodeText(kv::LoadLibraryText(55004), kvcs::Default) + " " +
                 kv::DecodeText(link.mid(at + 1), kvcs::Default));
    else
        ShowLink(kv::DecodeText(link, kvcs::Default));
}

void TkvPBox::ShowLink(const QString& text) {
    // Other messages (a page that could not be read) stay until a link takes their place.
    if (text.isEmpty() && !linkShown_) return;
    form_.StatusLabel()->setText(text);
    linkShown_ = !text.isEmpty();
}

void TkvPBox::leaveEvent(QEvent* e) {
    ShowLink({});
    QWidget::leaveEvent(e);
}

void TkvPBox::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) Dragging = false;
}

void TkvPBox::mouseDoubleClickEvent(QMouseEvent* e) {
    // The press that comes with a double click never starts a drag.
    Dragging = false;
    if (e->button() != Qt::LeftButton) return;
    if (form_.Pages() && ClickedPage != 0) {
        form_.SetCurrentPage(ClickedPage);
        if (form_.PageEditingAllowed()) form_.EditPageCommand();
    }
}

void TkvPBox::wheelEvent(QWheelEvent* e) {
    // Ctrl with the wheel zooms (a notch is one zoom step); the host decides the steps.
    if (e->modifiers() & Qt::ControlModifier) {
        wheelZoom_ += e->angleDelta().y();
        const int steps = wheelZoom_ / 120;
        wheelZoom_ -= steps * 120;
        if (steps != 0) form_.ZoomBySteps(steps);
        e->accept();
        return;
    }
    // Touchpads and high-resolution wheels send fractions of a notch: they are added up, or their
    // pixel distance is taken as it is where the platform gives one.
    QPoint pixels = e->pixelDelta();
    if (pixels.isNull()) {
        // A notch (120) scrolls 10 pixels times the multiplier; the rest waits for the next event.
        wheelAngle_ += e->angleDelta() * (10 * form_.WheelMultiplier);
        pixels = QPoint(wheelAngle_.x() / 120, wheelAngle_.y() / 120);
        wheelAngle_ -= pixels * 120;
    }
    if (pixels.isNull()) {
        e->accept();
        return;
    }
    QScrollBar* v = form_.VScrollBar();
    QScrollBar* h = form_.HScrollBar();
    v->setValue(v->value() - pixels.y());
    h->setValue(h->value() - pixels.x());
    e->accept();
}

void TkvPBox::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    form_.Relayout();
}
