#pragma once
// The records a recording canvas keeps, one per canvas call. Drawing records carry the pen, brush
// and background mode they were drawn with, and text records their font and char spacing, so each
// record can be read (and replayed) on its own.

#include "render/canvas.h"

#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QVector>
#include <optional>
#include <variant>

namespace kvrec {

struct SetPen {
    TkvPen pen;
};
struct SetBrush {
    TkvBrush brush;
};
struct SetFont {
    TkvFont font;
};
struct SetBkOpaque {
    bool opaque = true;
};
struct SetCharSpacing {
    int pixels = 0;
};
struct Line {
    QPoint from, to;
    TkvPen pen;
    TkvBrush brush; // the gap colour of styled pens
    bool bkOpaque = true;
};
struct FillRect {
    QRect rect;
    TkvBrush brush;
};
struct Rectangle {
    QRect rect;
    TkvPen pen;
    TkvBrush brush;
    bool bkOpaque = true;
};
struct Ellipse {
    QRect rect;
    TkvPen pen;
    TkvBrush brush;
    bool bkOpaque = true;
};
struct RoundRect {
    QRect rect;
    int rx = 0, ry = 0;
    TkvPen pen;
    TkvBrush brush;
    bool bkOpaque = true;
};
struct Polygon {
    QPolygon points;
    TkvPen pen;
    TkvBrush brush;
    bool bkOpaque = true;
};
struct Polyline {
    QPolygon points;
    TkvPen pen;
    TkvBrush brush;
    bool bkOpaque = true;
};
struct Text {
    QPoint at;
    QString text;
    std::optional<QRect> clip;
    std::optional<QVector<int>> advances;
    TkvFont font;
    int charSpacing = 0;
    QRect bounds; // the text cell box (rotated text: the box around it), measured when recorded
};
struct Image {
    QRect target;
    QImage image;
    bool smooth = false;
};
struct SetClip {
    QRegion region;
};
struct ClearClip {};
struct Save {};
struct Restore {};

} // namespace kvrec

using TkvRecord = std::variant<kvrec::SetPen, kvrec::SetBrush, kvrec::SetFont, kvrec::SetBkOpaque,
                               kvrec::SetCharSpacing, kvrec::Line, kvrec::FillRect, kvrec::Rectangle,
                               kvrec::Ellipse, kvrec::RoundRect, kvrec::Polygon, kvrec::Polyline, kvrec::Text,
                               kvrec::Image, kvrec::SetClip, kvrec::ClearClip, kvrec::Save, kvrec::Restore>;
