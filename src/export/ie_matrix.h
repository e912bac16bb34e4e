#pragma once
// The layout matrix of the table exports: the objects of all exported pages stacked one below the
// other, a grid line at every object edge (lines closer than Inaccuracy merge, rows and columns above
// the maximum cell size are split), each object placed on the block of cells it covers, objects
// drawn over others cut into rectangular parts, and the formats reduced to a list of distinct styles.
//
// Coordinates are page units. The grid is refused (TkvExportError) when it would need more cells
// than kMaxCells, so a report of absurd geometry cannot exhaust memory.

#include "base/error.h"
#include "base/stream_text.h"

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <stdexcept>
#include <vector>

class TkvView;
class TkvExportProgress;

// An export that cannot be written, with one sentence for the user.
class TkvExportError : public TkvError {
public:
    using TkvError::TkvError;
};

struct TkvIEMStyle {
    QByteArray FontName = "Arial";
    int32_t FontSize = 10;
    int32_t FontStyle = 0; // 1 italic, 2 bold, 4 underline, 8 strike-out
    uint32_t FontColor = 0;
    int32_t Alignment = 0; // a text object's alignment bits, 0 for other objects
    int32_t FrameTyp = 0;  // 1 right, 2 bottom, 4 left, 8 top
    float FrameWidth = 1.0f;
    uint32_t FrameColor = 0;
    int32_t FrameStyle = 0;
    uint32_t FillColor = 0x1FFFFFFF; // 0x1FFFFFFF: transparent
    bool operator==(const TkvIEMStyle&) const = default;
};

struct TkvIEMObject {
    TkvStringList TextLines; // plain lines (code page bytes of Charset), or RTF source when IsRichText
    int Charset = 1;
    int StyleIndex = 0;
    bool IsText = false;
    bool IsRichText = false;
    double Left = 0, Top = 0, Width = 0, Height = 0; // Top includes the page offset
    QImage Picture;        // the drawing of a non-text object
    int SourceObject = -1; // for a part cut from an object, the placement it came from
    int Marker = 0;        // free for the writer
};

struct TkvIEMPlacement {
    TkvIEMObject Obj;
    int Col = 0, Row = 0, ColSpan = 1, RowSpan = 1;
    bool Done = false;
};

class TkvIEMatrix {
public:
    // Options, set before the first AddObject.
    double MaxCellHeight = 0; // rows taller than this are split (0: never)
    double MaxCellWidth = 0;  // columns wider than this are split (0: never)
    double Inaccuracy = 0;    // neighbouring grid lines not further apart than this merge
    bool RichText = false;    // rich text objects are taken as text (else drawn as pictures)
    bool PlainRich = true;    // rich text as plain text (needs a rich text engine; else RTF source)
    bool WhiteBackground = false;
    bool FramesOptimization = false;
    TkvExportProgress* Progress = nullptr; // ticks during Prepare (not owned)

    static constexpr qint64 kMaxCells = 40'000'000;
    static constexpr qsizetype kMaxPositions = 2'000'000;

    void AddObject(TkvView& view);
    // After each page: the next page starts below the lowest object so far.
    void NewPage();
    // Once, after the last page: the grid, the placements, the cut parts and the styles.
    void Prepare();
    void ClearMatrix();

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    double XPosition(int i) const { return i >= 0 && size_t(i) < xs_.size() ? xs_[size_t(i)] : 0; }
    double YPosition(int i) const { return i >= 0 && size_t(i) < ys_.size() ? ys_[size_t(i)] : 0; }
    // Placement index of a cell; -1 for an empty cell and for cells outside the grid.
    int Cell(int col, int row) const;
    const TkvIEMObject* CellObject(int col, int row) const;
    int PlacementCount() const { return int(placements_.size()); }
    TkvIEMPlacement& Placement(int i) { return placements_[size_t(i)]; }
    const TkvIEMPlacement& Placement(int i) const { return placements_[size_t(i)]; }
    int StyleCount() const { return int(styles_.size()); }
    const TkvIEMStyle& Style(int i) const { return styles_[size_t(i)]; }
    int PageBreakCount() const { return int(breaks_.size()); }
    double PageBreak(int i) const { return i >= 0 && size_t(i) < breaks_.size() ? breaks_[size_t(i)] : 0; }
    double MaxWidth() const { return maxWidth_; }
    double MaxHeight() const { return maxHeight_; }

    int FindOrAddStyle(const TkvIEMStyle& style);

private:
    void AddPosition(std::vector<double>& list, double v);
    void ArrangePositions(std::vector<double>& list, double limit);
    void PlaceObjects();
    void BuildCells();
    void CutObjects();
    void MoveTextsToLargestParts();
    void OptimizeFrames();
    void Tick();
    int& At(int col, int row) { return cells_[size_t(col) + size_t(row) * size_t(colCount_)]; }

    std::vector<TkvIEMPlacement> placements_;
    std::vector<TkvIEMStyle> styles_;
    std::vector<double> xs_, ys_, breaks_;
    std::vector<int> cells_;
    int colCount_ = 0, rowCount_ = 0;
    double maxWidth_ = 0, maxHeight_ = 0, deltaY_ = 0;
};
