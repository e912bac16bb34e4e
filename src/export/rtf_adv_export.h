#pragma once
// The table RTF export: the objects of the exported pages are collected in the layout matrix and
// written after the last page as one RTF table: a row per grid row with its height, a cell per
// object merged over the grid cells it covers, with fill, borders, alignment, font and text;
// pictures as metafile pictures in their cells; rich text objects with their own formatting,
// renumbered into the document's font and colour tables.

#include "export/export_filter.h"
#include "export/ie_matrix.h"
#include "export/rtf_writer.h"

#include <memory>
#include <vector>

class TkvRtfAdvExport : public TkvExportFilter {
public:
    // Registers "Rich text file advanced (*.rtf)" with the mask "*.rtf".
    TkvRtfAdvExport();
    ~TkvRtfAdvExport() override;
    const char* ClassName() const override { return "TkvRtfAdvExport"; }

    bool ExportPictures = true; // non-text objects as pictures
    bool PageBreaks = true;     // a page break before the rows of every page but the first
    double TopMargin = 0, LeftMargin = 0; // kept for the options dialog
    double ScaleX = 1.0, ScaleY = 1.0;

    void BeginDocument() override;
    void EndDocument() override;
    void EndPage() override;
    void ExportObject(int x, int y, TkvView& view) override;

    // A rich text object's RTF source as a piece of the document: its font and colour numbers
    // mapped into the document's tables, its header groups and paragraph resets removed.
    static QByteArray RemapRichText(const QByteArray& rtf, kvrtf::FontTable& fonts, kvrtf::ColorTable& colors);
    // The cell words of a text object's alignment bits: its vertical placement and its text flow.
    static QByteArray VerticalAlignment(int32_t alignment);
    static QByteArray TextFlow(int32_t alignment);

    // The paper of one exported page: each page is written as an RTF section of its own, so a
    // landscape page among portrait ones gets its own paper and is not cut at the right.
    struct PageSetup {
        int32_t PaperWidth = 2100, PaperHeight = 2970; // tenths of a millimetre, as oriented
        bool Landscape = false;
        int32_t MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0; // page units
        bool SamePaper(const PageSetup& o) const {
            return PaperWidth == o.PaperWidth && PaperHeight == o.PaperHeight && Landscape == o.Landscape;
        }
    };
    // The section words of a page: "\sectd", paper, margins and orientation.
    static QByteArray SectionWords(const PageSetup& page);

private:
    PageSetup CurrentPageSetup() const;
    void CollectTables();
    QByteArray BorderWords(const TkvIEMStyle& s);
    QByteArray CellText(TkvIEMObject& o, int rowHeight);

    std::unique_ptr<TkvIEMatrix> matrix_;
    kvrtf::FontTable fonts_;
    kvrtf::ColorTable colors_;
    std::vector<PageSetup> pages_; // one per exported page, in the matrix's page order
};
