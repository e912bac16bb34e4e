#pragma once
// TkvDesignerPage: the drawing surface of the designer. It shows one design page at its natural
// size (one page unit a pixel), draws the views through the canvas layer with the grid, margins
// and band columns below and the selection handles and frames as an overlay, and turns the mouse
// into selection, moving, resizing, rubber bands and insertion. It keeps no document state: the
// views live in the page, the selection in their Selected flags and in the form's selection
// object, and every change goes through the form (undo steps, modified flag, notifications).

#include "core/rect.h"

#include <QPoint>
#include <QWidget>
#include <vector>

class TkvDesignerForm;
class TkvPage;
class TkvView;

class TkvDesignerPage : public QWidget {
public:
    // What a press over the surface started.
    enum class Drag { None, RubberBand, Insert, Line, Move, Resize, GroupResize, SharedBorder };
    // Handles of a single selected view: corners, then the middles of top, bottom, left, right.
    enum Handle { TopLeft, TopRight, BottomLeft, BottomRight, TopMiddle, BottomMiddle, LeftMiddle, RightMiddle };

    TkvDesignerPage(TkvDesignerForm& form, QWidget* parent);

    // The page's size in page units (three pages high with the unlimited-height option; a dialog
    // page fills `viewport`).
    QSize PageSize(QSize viewport) const;

    void UnselectAll();
    void SelectAll();
    // Recomputes the anchor, the group's top-left, the group rectangle and the saved rectangles.
    void ComputeGroup();
    // The index of the top-most view under the point, or -1.
    int HitTest(QPoint p) const;
    // The handle of the single selected view under the point, or -1.
    int HandleAt(QPoint p) const;
    // Cancels the drag in progress (Escape).
    void CancelDrag();

    Drag CurrentDrag() const { return drag_; }
    bool MouseIsDown() const { return mouseIsDown_; }
    const TkvRect& Rubber() const;
    // The point of the grid a point snaps down to (insertion) and to the nearest (line tool).
    QPoint SnapDown(QPoint p) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    TkvPage* Page() const;
    void DrawGrid(QPainter& painter, const QRect& area);
    void DrawPageFrames(QPainter& painter);
    void DrawOverlay(QPainter& painter);
    void DrawHandles(QPainter& painter);
    void ChooseCursor(QPoint p);
    // The two selected views whose touching edges lie under the point (neither a band nor a line).
    bool SharedBorderAt(QPoint p, TkvView*& left, TkvView*& right) const;
    QPoint LineStart(QPoint p) const;
    bool GridAlignFor(Qt::KeyboardModifiers mods) const;
    // The offset of this move in whole grid steps (or pixels); false when it is too small to act on.
    bool TakeStep(QPoint p, Qt::KeyboardModifiers mods, int& dx, int& dy);
    void MoveSelection(int dx, int dy, bool carryBand);
    void ResizeSingle(int dx, int dy);
    void ResizeGroup(int dx, int dy);
    void FinishDrag(QPoint p, Qt::KeyboardModifiers mods);
    void SelectTouching(const TkvRect& r);

    TkvDesignerForm& form_;
    Drag drag_ = Drag::None;
    bool mouseIsDown_ = false;
    bool firstMove_ = true;
    bool ignoreNextDown_ = false;
    int handle_ = -1;
    QPoint lastPoint_;
    QPoint downPoint_;
    QPoint hover_;
    bool hovering_ = false;
    TkvView* borderLeft_ = nullptr;
    TkvView* borderRight_ = nullptr;
    int borderX_ = 0;
};
