#pragma once
// The run-time band of a page being built: made from a band view (or a placeholder for a band type
// the page lacks), it measures itself, stretches, prints its objects into the current prepared
// page at the page's position and splits over pages. The page builder owns every band of its page;
// bands only list the page's objects.

#include "core/views/band.h"
#include "core/views/band_view.h"
#include "script/aggregates.h"

#include "base/stream_text.h"
#include "base/variant.h"

#include <memory>
#include <vector>

class TkvPageBuilder;
class TkvView;
class TkvDataset;
class TkvComponent;

class TkvRunBand : public TkvBand, public TkvAggregateBand {
public:
    TkvRunBand(int type, TkvPageBuilder& page);
    ~TkvRunBand() override;
    TkvRunBand(const TkvRunBand&) = delete;
    TkvRunBand& operator=(const TkvRunBand&) = delete;

    // What views read of the band being printed.
    int BandTop() const override { return Top; }
    int BandHeight() const override { return CalculatedHeight >= 0 ? CalculatedHeight : Height; }
    int BandWidth() const override { return Width; }
    uint16_t BandFlags() const override { return Flags; }
    int BandType() const override { return Type; }
    QByteArray BandName() const override { return Name; }

    // A band made from a view, or the band of objects outside every band when it has some.
    bool Real() const { return View != nullptr || (Type == kvbt::None && !Objects.empty()); }
    // Lists cross-tab cells: objects owned by the cross header, data or footer band.
    bool HasCrossCells() const override { return HasCells; }
    bool IsDataBand() const {
        return Type == kvbt::MasterData || Type == kvbt::DetailData || Type == kvbt::SubdetailData;
    }
    bool Fixed() const { return Type == kvbt::PageFooter || Type == kvbt::Overlay || Type == kvbt::None; }

    // The group condition (group headers) or the data source text.
    void SetDataSource(const QByteArray& text);
    // The source of the cross-tab columns this band prints when the cross data band has none.
    void SetColumnDataSource(const QByteArray& text);
    // Prints the band with its child; true when it could not print on this page and the caller must
    // continue on a new one (pages used as sub-reports).
    bool Draw();
    // The height the band needs now (stretched bands measure their objects).
    int CalcHeight();
    void ResetLineNo(int value);
    // After a data row printed (or skipped while invisible); a band with cross-tab cells
    // accumulates per column instead, with that column's number.
    void AccumulateAggregates(bool visible, const QByteArray& column = {});

    // The data source's moves; a band without one has one empty record.
    void DataFirst();
    void DataNext();
    bool DataPrior();
    bool DataEof();

    TkvPageBuilder& Page;
    TkvBandView* View = nullptr;
    uint16_t Flags = 0;
    int Type = kvbt::None;
    QByteArray Name;
    TkvRunBand* Next = nullptr;
    TkvRunBand* Prev = nullptr;
    TkvRunBand* NextGroup = nullptr;
    TkvRunBand* PrevGroup = nullptr;
    TkvRunBand* FirstGroup = nullptr;
    TkvRunBand* LastGroup = nullptr;
    TkvRunBand* ChildBand = nullptr;
    TkvRunBand* HeaderBand = nullptr;
    TkvRunBand* FooterBand = nullptr;
    TkvRunBand* DataBand = nullptr;
    TkvRunBand* LastBand = nullptr;
    int LineNo = 1;
    int LineThroughNo = 1;
    TkvVariant GroupValue;
    QByteArray GroupCondition; // postfix form
    bool SuppressReset = false;
    int CalculatedHeight = -1;
    int CurColumn = 1;
    int SaveXAdjust = 0;
    bool CurYAssigned = false;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int SplitHeight = 0;
    bool PrintIfSubsetEmpty = false, FormNewPage = false, Stretched = false, Breaked = false;
    bool PrintChildIfInvisible = false, Visible = true;
    std::vector<TkvView*> Objects;
    TkvStringList ScriptLines; // compiled
    TkvDataset* DataSet = nullptr;
    std::unique_ptr<TkvComponent> OwnedDataSet;
    int NewPageRequests = 0, NewColumnRequests = 0;
    TkvDataset* ColumnDataSet = nullptr;
    std::unique_ptr<TkvComponent> OwnedColumnDataSet;
    int MaxColumns = 0; // cross data band: the most columns a row has printed so far
    bool HasCells = false;
    // Sub-reports: the index of the first sub-report object being printed, the lowest position
    // they reached on the current page, and whether all of them ended.
    int SubReportIndex = 0;
    int SubReportBottom = 0;
    bool SubReportsDone = true;
    // Set when the band is printed again on a new page after it did not fit on a page used as a
    // sub-report: its script already ran for this print.
    bool SkipScript = false;

    // Continues the sub-reports of this band after its page (itself used as a sub-report) moved
    // to a new prepared page; true while they still need another page.
    bool ContinueSubReports();

private:
    // Prints at the current position (stretching, splitting, band columns).
    void DoDraw();
    int Measure();
    // Prints the objects in order; false when the build stopped.
    void PrintObjects();
    void PrintObject(TkvView& view);
    void SplitPrint();
    // While a stretched band splits: its stretched objects with their designed heights.
    std::vector<std::pair<TkvView*, int>> DesignHeights;
    int MeasureWithCells();
    // Prints the band's cross-tab cells after its own objects: header, one column per record of
    // the column source, footer, continuing on further prepared pages to the right.
    void PrintCells();
    void PrintCellsAt(TkvRunBand& vertical, int x);
    void HorizontalOverflow(int& x, int width);
    void RunScriptOnly();
    // The cross data band's source of columns for this band (none: no columns).
    TkvDataset* ColumnSource();
    // Whether a band of that height fits below top; otherwise, when `newColumn`, a new column or
    // page is started. True when it did not fit.
    bool PageBreak(int top, int height, bool newColumn);

    // Records the sub-reports from Objects[index] on and plays them side by side; true when they
    // ran out of room on a page used as a sub-report (the outer level continues them).
    bool PrintSubReports(size_t index);
    bool PlaySubReports();
    void EndSubReports();

    struct SubReportRun {
        TkvView* Object;
        TkvPageBuilder* Page;
        bool Done;
    };
    std::vector<SubReportRun> subReports_;
    int subReportRound_ = 0;
    bool subReportsTookOver_ = false; // the sub-reports placed the page's position
    bool clipToPage_ = false;         // a band of a sub-report taller than a whole page is cut at its bottom
    bool drawing_ = false; // a child chain that leads back here is a cycle
};
