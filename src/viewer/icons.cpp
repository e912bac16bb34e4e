#include "viewer/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kv {

namespace {

void Sheet(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (qreal y = r.top() + 5; y < r.bottom() - 2; y += 3) p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 3, y));
    p.setPen(QPen(QColor(60, 60, 60), 1));
}

void Folder(QPainter& p) {
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(2.5, 7.5, 17, 13));
    p.setBrush(QColor(250, 220, 120));
    QPolygonF flap({QPointF(2.5, 20.5), QPointF(6.5, 11.5), QPointF(22.5, 11.5), QPointF(19.5, 20.5)});
    p.drawPolygon(flap);
}

void Window(QPainter& p, const QRectF& r) {
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(QColor(40, 90, 170));
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 3));
}

} // namespace

QIcon ViewerIcon(int index) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    switch (index) {
    case 0: // open in a new window
        Folder(p);
        p.setPen(QPen(QColor(0, 140, 0), 2.5));
        p.drawLine(QPointF(18, 1.5), QPointF(18, 9.5));
        p.drawLine(QPointF(14, 5.5), QPointF(22, 5.5));
        break;
    case 1: // open
        Folder(p);
        break;
    case 2: // save
        p.setBrush(QColor(50, 90, 160));
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, 3.5, 9, 7));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(7.5, 14.5, 9, 6));
        break;
    case 3: // find
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.setBrush(QColor(210, 230, 250));
        p.drawEllipse(QPointF(10, 10), 6, 6);
        p.setPen(QPen(QColor(60, 60, 60), 3.5));
        p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
        break;
    case 4: // print
        Sheet(p, QRectF(6.5, 2.5, 11, 9));
        p.setBrush(QColor(170, 170, 170));
        p.drawRoundedRect(QRectF(2.5, 9.5, 19, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 15.5, 11, 6));
        p.setBrush(QColor(0, 170, 0));
        p.drawEllipse(QPointF(18.5, 12.5), 1, 1);
        break;
    case 5: // edit the current page
        Sheet(p, QRectF(3.5, 2.5, 14, 19));
        p.setPen(QPen(QColor(200, 120, 20), 3));
        p.drawLine(QPointF(20.5, 6.5), QPointF(10.5, 17.5));
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawLine(QPointF(10.5, 17.5), QPointF(9, 20));
        break;
    case 6: // close the window
        Window(p, QRectF(2.5, 3.5, 19, 17));
        p.setPen(QPen(QColor(190, 30, 30), 2.5));
        p.drawLine(QPointF(8, 10), QPointF(16, 18));
        p.drawLine(QPointF(16, 10), QPointF(8, 18));
        break;
    case 7: // exit
        p.setBrush(QColor(150, 110, 70));
        p.drawRect(QRectF(4.5, 2.5, 10, 19));
        p.setPen(QPen(QColor(190, 30, 30), 2.5));
        p.drawLine(QPointF(12, 12), QPointF(21.5, 12));
        p.drawLine(QPointF(18, 8.5), QPointF(21.5, 12));
        p.drawLine(QPointF(18, 15.5), QPointF(21.5, 12));
        break;
    case 8: // tile horizontally
        Window(p, QRectF(2.5, 2.5, 19, 8));
        Window(p, QRectF(2.5, 13.5, 19, 8));
        break;
    case 9: // tile vertically
        Window(p, QRectF(2.5, 2.5, 8, 19));
        Window(p, QRectF(13.5, 2.5, 8, 19));
        break;
    case 10: // cascade
        Window(p, QRectF(2.5, 2.5, 13, 11));
        Window(p, QRectF(6.5, 6.5, 13, 11));
        Window(p, QRectF(10.5, 10.5, 11, 11));
        break;
    default:
        break;
    }
    return QIcon(pm);
}

} // namespace kv

namespace kv {

QImage ApplicationIconImage(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // The sheet with a folded corner.
    QPainterPath sheet;
    sheet.moveTo(10, 4);
    sheet.lineTo(42, 4);
    sheet.lineTo(54, 16);
    sheet.lineTo(54, 60);
    sheet.lineTo(10, 60);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(70, 80, 95), 2));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(QColor(205, 215, 230));
    p.drawPolygon(QPolygonF({QPointF(42, 4), QPointF(42, 16), QPointF(54, 16)}));
    // The report's title band and a table of rows.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(32, 96, 176));
    p.drawRect(QRectF(15, 10, 24, 7));
    for (int row = 0; row < 6; ++row) {
        p.setBrush(row % 2 ? QColor(225, 232, 242) : QColor(190, 205, 225));
        p.drawRect(QRectF(15, 22 + row * 5.5, 34, 4.5));
    }
    // The magnifier of a viewer.
    p.setPen(QPen(QColor(200, 90, 20), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(49, 49), QPointF(59, 59));
    p.setPen(QPen(QColor(60, 60, 60), 3));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QPointF(42, 42), 10, 10);
    return img;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(ApplicationIconImage(size)));
    return icon;
}

} // namespace kv
