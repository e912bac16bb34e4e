#pragma once
// The ruler of the rich text editor: a scale in inches over the text width with three markers for
// the current paragraph, first-line indent (top triangle), left indent (bottom triangle) and right
// indent (bottom triangle at the right). Dragging a marker reports the new indents; the editor
// applies them to the selected paragraphs.
//
// Indents are in twips (1440 per inch) as the stored text keeps them; the ruler draws them at the
// editor's zoom of one twip = 1/15 device-independent pixel, the scale the editor lays text out at.

#include <QWidget>
#include <functional>

class TkvRichRuler : public QWidget {
public:
    enum Marker { None = -1, FirstLine, Left, Right };

    explicit TkvRichRuler(QWidget* parent = nullptr);

    // The paragraph's indents: the left indent, the first line relative to it, the right indent.
    void SetIndents(int left, int firstLine, int right);
    int LeftIndent() const { return left_; }
    int FirstLineIndent() const { return first_; }
    int RightIndent() const { return right_; }
    // The width of the text area in twips and the pixel offset of its left edge in the ruler.
    void SetTextWidth(int twips, int offsetPixels);

    // Where a marker is drawn, in widget pixels (for tests and hit testing).
    QPoint MarkerPosition(Marker m) const;
    QSize sizeHint() const override;

    // Called while a marker is dragged, with the new indents.
    std::function<void(int left, int firstLine, int right)> IndentsChanged;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    double PixelsPerTwip() const { return 1.0 / 15.0; }
    int XOfTwips(int twips) const;
    int TwipsOfX(int x) const;
    Marker MarkerAt(const QPoint& p) const;

    int left_ = 0, first_ = 0, right_ = 0;
    int width_ = 9360; // 6.5 inches
    int offset_ = 0;
    Marker dragging_ = None;
};
