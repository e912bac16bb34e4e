#pragma once
// The page box of the preview: paints the laid-out pages and handles the mouse (links, panning,
// double click to edit, the pop-up menu, the wheel).

#include <QWidget>

class QPainter;
class TkvPreviewForm;

class TkvPBox : public QWidget {
public:
    explicit TkvPBox(TkvPreviewForm& form, QWidget* parent);

    bool Dragging = false;
    QPoint LastDrag;
    int ClickedPage = 0; // 1-based, 0 = none
    bool IgnoreNextMouseDown = false;

    // The 0-based page under a point of the box, or -1; `local` receives the page-local point in
    // page units.
    int PageAt(QPoint p, QPoint* local) const;
    // Parses a page link "@n": the page number, or 0 when the link is not a usable page link.
    static int ParsePageLink(const QByteArray& link, int pageCount);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Hatches a page that could not be drawn, so that it is not taken for a blank one.
    static void MarkDamaged(QPainter& painter, const QRect& page);

    // Shows a link's text in the status label (empty: takes away the one shown, nothing else).
    void ShowLink(const QString& text);

    TkvPreviewForm& form_;
    bool linkShown_ = false;
    // Wheel turns (times the scroll distance of a notch) not yet amounting to a pixel, and not yet
    // amounting to a zoom step.
    QPoint wheelAngle_;
    int wheelZoom_ = 0;
};
