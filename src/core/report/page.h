#pragma once
// A report page: paper, margins, columns, dialog-window settings, script and the owned views
// in drawing order, with the page geometry the printer reported for its paper.

#include "core/object.h"
#include "core/paper/page_metrics.h"
#include "core/views/view.h"

#include <memory>
#include <vector>

namespace kvpt {
constexpr uint8_t Report = 0;
constexpr uint8_t Dialog = 1;
} // namespace kvpt

class TkvPage : public TkvObject {
public:
    // A4 portrait with empty geometry, without asking the printer (for pages filled from a record).
    TkvPage();
    // Asks the shared printer for the paper and takes back what it selected (ChangePaper).
    TkvPage(int32_t paperSize, int32_t paperWidth, int32_t paperHeight, int32_t paperBin,
            uint8_t orientation);
    ~TkvPage() override;
    const char* ClassName() const override { return "TkvPage"; }

    // Selects the paper on the shared printer and reads back its geometry and the printer's actual
    // paper size, width, height and orientation; a paper the printer refuses becomes a custom size
    // with the default bin. A bin of -1 is kept as 65535.
    void ChangePaper(int32_t paperSize, int32_t paperWidth, int32_t paperHeight, int32_t paperBin,
                     uint8_t orientation);

    // Properties for scripts and the inspector; which ones a page has depends on PageType: the
    // common names, then those of a dialog page or of a report page.
    static const TkvPropertyTable& CommonProperties();
    static const TkvPropertyTable& DialogProperties();
    static const TkvPropertyTable& ReportProperties();
    const TkvPropertyTable& Properties() const override;
    void RegisterProperties() override;

    // Paper extents: kept in tenths of a millimetre, shown in page units (18 page units are 5 mm).
    static int32_t PageUnitsToTenths(int32_t units);
    static int32_t TenthsToPageUnits(int32_t tenths);
    // Width of one page column: the print area shared by Columns columns with ColumnGap between them.
    int32_t ColumnWidthInUnits() const;

    // Print area edges in page units (the whole paper when the page does not use margins).
    int PrintAreaLeft() const;
    int PrintAreaRight() const;
    int PrintAreaTop() const;
    int PrintAreaBottom() const;

    // The first view with that name, or null. Names are matched without regard to (ASCII) case,
    // as scripts and expressions hand bare names over upper-cased; an exact match wins.
    TkvView* FindObject(const QByteArray& name) const;
    TkvView* Object(int i) const { return Objects[static_cast<size_t>(i)].get(); }
    int ObjectCount() const { return static_cast<int>(Objects.size()); }

    int32_t PaperSize = 9;   // printer paper code, 256 custom
    int32_t PaperWidth = 0;  // tenths of a millimetre
    int32_t PaperHeight = 0; // tenths of a millimetre
    int32_t LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0; // page units
    uint8_t Orientation = 0;                                                  // 0 portrait, 1 landscape
    int32_t PaperBin = 65535;
    uint16_t PrintToPrevPage = 0;
    uint16_t UseMargins = 1;
    int32_t Columns = 0;
    int32_t ColumnGap = 0;
    uint8_t PageType = 0; // 0 report page, 1 dialog page
    QByteArray Name;
    uint8_t BorderStyle = 3;
    QByteArray Caption = "Form";
    uint32_t Color = 0x8000000F;
    int32_t FormLeft = 220, FormTop = 120, FormWidth = 380, FormHeight = 300;
    uint8_t Position = 4;
    TkvStringList Script;
    bool PageVisible = true; // "Visible": the page takes part in building
    std::vector<std::unique_ptr<TkvView>> Objects;
    TkvPageMetrics Metrics;
};

namespace kv {

// What the shared printer selected for a requested paper.
struct TkvPaperChoice {
    int32_t PaperSize = 0;
    int32_t PaperWidth = 0;
    int32_t PaperHeight = 0;
    uint8_t Orientation = 0;
    int32_t PaperBin = 0;
};

// Selects the paper on the shared printer and fills the geometry; when the printer refuses, retries
// with a custom size and the default bin. The bin returned is the one asked for when that was the
// default (-1 or 65535), else the printer's.
TkvPaperChoice SelectPagePaper(int32_t paperSize, int32_t paperWidth, int32_t paperHeight, int32_t paperBin,
                               uint8_t orientation, TkvPageMetrics& metrics);

} // namespace kv
