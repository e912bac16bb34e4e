#pragma once
// Builds one design page of a report into prepared pages: band initialisation (band views become
// run-time bands, objects are assigned to bands, headers, footers and groups are linked), object
// binding, forming (title, the nested data loops with groups, summary, page footers, new pages and
// columns on demand) and the bands' release with the builder.

#include "engine/build/run_band.h"

#include <array>
#include <memory>
#include <vector>

class TkvPage;
class TkvReportBuilder;

class TkvPageBuilder {
public:
    TkvPageBuilder(TkvReportBuilder& builder, TkvPage& page);
    ~TkvPageBuilder();
    TkvPageBuilder(const TkvPageBuilder&) = delete;
    TkvPageBuilder& operator=(const TkvPageBuilder&) = delete;

    // Band initialisation (once per build; a second pass reuses the bands).
    void StartPageBuild();
    // Before a second pass: data sources to their first record, texts forget their last value.
    void RestartPass();
    void BindObjects();
    void BuildPages();

    // Prints the band (records it in recording mode); true when the band did not fit on a page
    // used as a sub-report.
    bool ShowBand(TkvRunBand* band);
    // The first band, over all types in type order and along each chain, whose view has that name.
    void ShowBandByName(const QByteArray& name);
    void NewPage();
    void NewColumn(TkvRunBand* band);
    void EndPage();

    // Pages used as sub-reports: Record builds the page's band prints and data moves into
    // PlayList; PlayRecords prints them from PlayPosition on at CurY and returns true when a band
    // needs a new page (the step is played again there).
    void Record();
    bool PlayRecords();

    // Print area edges; the bottom edge is less the page footer while building.
    // (a page used as a sub-report uses those of the page it prints on, MarginsOf)
    int LeftEdge() const;
    int RightEdge() const;
    int TopEdge() const;
    int BottomEdge() const;
    int ColumnFooterHeight() const;
    TkvRunBand* Band(int type) const { return bands_[size_t(type)]; }

    TkvReportBuilder& Builder;
    TkvPage& Page;
    int CurY = 0;
    int CurBottomY = 0;
    int XAdjust = 0;
    int CurColumn = 0;
    int ColCount = 1, ColGap = 0, ColWidth = 0;
    int LastStaticColumnY = 0;
    // Where bands start on the current page or column, below its headers: a band placed here
    // that does not fit is split or clipped, never sent on to yet another page.
    int BodyTop = 0;
    int ColPos = 1;
    int CurPos = 1;
    TkvRunBand* LastPrintedBand = nullptr;
    bool DisableRepeatHeader = false;
    // While the summary prints, the column footer's space may be used.
    bool IgnoreColumnFooter = false;
    bool BandsReady = false;
    int DrawDepth = 0; // bands drawn from inside other bands' printing (new pages, child bands)

    // The page is printed only inside sub-report objects, never on its own; new pages and columns
    // are then the business of the page it prints on.
    bool IsSubReport = false;
    int RecordingMode = 0;
    enum class PlayKind : uint8_t { Print, First, Next, GroupStart };
    struct PlayStep {
        TkvRunBand* Band;
        PlayKind Kind;
    };
    std::vector<PlayStep> PlayList;
    size_t PlayPosition = 0;
    TkvRunBand* InterruptedBand = nullptr;
    const TkvPageBuilder* MarginsOf = nullptr;
    bool Active = false; // being printed inside a sub-report object (a page reached again is a cycle)

private:
    TkvRunBand* NewBand(int type);
    void DataLoop(int level, int levels);
    void Push(TkvRunBand* band);
    void RecordStep(TkvRunBand* band, PlayKind kind);
    void Flush();
    void RunPageScript();
    void DiscoverAggregates();

    std::array<TkvRunBand*, kvbt::Count> bands_{};
    std::vector<std::unique_ptr<TkvRunBand>> owned_;
    std::vector<TkvRunBand*> pending_;
    int newPageDepth_ = 0;
};
