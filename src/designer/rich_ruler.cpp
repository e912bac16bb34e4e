#include "designer/rich_ruler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kMarkerHalf = 5; // half the width of a marker triangle, in pixels
constexpr int kSnap = 90;      // markers move in steps of 1/16 inch
} // namespace

TkvRichRuler::TkvRichRuler(QWidget* parent) : QWidget(parent) {
    setMouseTracking(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize TkvRichRuler::sizeHint() const {
    return {XOfTwips(width_) + 2 * kMarkerHalf, fontMetrics().height() + 2 * kMarkerHalf + 6};
}

void TkvRichRuler::SetIndents(int left, int firstLine, int right) {
    if (dragging_ != None) return; // the user's drag wins over the caret's paragraph
    left_ = left;
    first_ = firstLine;
    right_ = right;
    update();
}

void TkvRichRuler::SetTextWidth(int twips, int offsetPixels) {
    width_ = std::max(1440, twips);
    offset_ = offsetPixels;
    updateGeometry();
    update();
}

int TkvRichRuler::XOfTwips(int twips) const {
    return offset_ + int(std::lround(twips * PixelsPerTwip()));
}

int TkvRichRuler::TwipsOfX(int x) const {
    return int(std::lround((x - offset_) / PixelsPerTwip()));
}

QPoint TkvRichRuler::MarkerPosition(Marker m) const {
    const int h = height();
    switch (m) {
    case FirstLine: return {XOfTwips(left_ + first_), kMarkerHalf};
    case Left: return {XOfTwips(left_), h - kMarkerHalf};
    case Right: return {XOfTwips(width_ - right_), h - kMarkerHalf};
    case None: break;
    }
    return {};
}

TkvRichRuler::Marker TkvRichRuler::MarkerAt(const QPoint& p) const {
    Marker best = None;
    int bestDistance = 2 * kMarkerHalf + 1;
    for (Marker m : {FirstLine, Left, Right}) {
        const QPoint at = MarkerPosition(m);
        const int d = std::abs(at.x() - p.x()) + std::abs(at.y() - p.y()) / 2;
        if (d < bestDistance) {
            bestDistance = d;
            best = m;
        }
    }
    return best;
}

void TkvRichRuler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor text = palette().color(QPalette::WindowText);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QRect band(XOfTwips(0), kMarkerHalf + 1, XOfTwips(width_) - XOfTwips(0), height() - 2 * kMarkerHalf - 2);
    p.fillRect(band, palette().color(QPalette::Base));
    p.setPen(text);
    // Ticks every eighth of an inch, longer at halves, numbers at whole inches.
    for (int t = 0; t <= width_; t += 180) {
        const int x = XOfTwips(t);
        if (t % 1440 == 0) {
            if (t > 0) p.drawText(QRect(x - 20, band.top(), 40, band.height()), Qt::AlignCenter, QString::number(t / 1440));
        } else {
            const int len = t % 720 == 0 ? band.height() / 3 : band.height() / 6;
            const int mid = band.center().y();
            p.drawLine(x, mid - len / 2, x, mid + len / 2);
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(palette().color(QPalette::Button));
    const auto triangle = [&](QPoint at, bool pointingDown) {
        const int d = pointingDown ? 1 : -1;
        QPolygon poly;
        poly << QPoint(at.x() - kMarkerHalf, at.y() - d * kMarkerHalf) << QPoint(at.x() + kMarkerHalf, at.y() - d * kMarkerHalf)
             << QPoint(at.x(), at.y() + d * kMarkerHalf);
        p.drawPolygon(poly);
    };
    triangle(MarkerPosition(FirstLine), true);
    triangle(MarkerPosition(Left), false);
    triangle(MarkerPosition(Right), false);
}

void TkvRichRuler::mousePressEvent(QMouseEvent* e) {
    dragging_ = e->button() == Qt::LeftButton ? MarkerAt(e->position().toPoint()) : None;
}

void TkvRichRuler::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_ == None) return;
    const int t = std::clamp(TwipsOfX(e->position().toPoint().x()), 0, width_);
    const auto snap = [](int twips) { return int(std::lround(double(twips) / kSnap)) * kSnap; };
    switch (dragging_) {
    case FirstLine: first_ = std::clamp(snap(t - left_), -left_, width_ - right_ - left_); break;
    case Left: {
        // The left marker carries the first-line marker with it, as the indent it is relative to.
        left_ = std::min(snap(t), width_ - right_ - 180);
        left_ = std::max(left_, std::max(0, -first_));
        break;
    }
    case Right: right_ = std::clamp(snap(width_ - t), 0, width_ - left_ - 180); break;
    case None: break;
    }
    update();
    if (IndentsChanged) IndentsChanged(left_, first_, right_);
}

void TkvRichRuler::mouseReleaseEvent(QMouseEvent* e) {
    if (dragging_ != None) mouseMoveEvent(e);
    dragging_ = None;
}
