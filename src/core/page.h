#pragma once
// A report page: paper, margins, columns, dialog-window settings, script and the owned views
// in drawing order, with the page geometry the printer reported for its paper.

#include "core/object.h"
#include "core/page_metrics.h"
#include "core/view.h"

#include <memory>
#include <vector>

class TkvPage : public TkvObject {
public:
    TkvPage();
    ~TkvPage() override;
    const char* ClassName() const override { return "TkvPage"; }

    // Print area edges in page units (the whole paper when the page does not use margins).
    int PrintAreaLeft() const;
    int PrintAreaRight() const;
    int PrintAreaTop() const;
    int PrintAreaBottom() const;

    // The first view with that name, or null.
    TkvView* FindObject(const QByteArray& name) const;
    TkvView* Object(int i) const { return Objects[static_cast<size_t>(i)].get(); }
    int ObjectCount() const { return static_cast<int>(Objects.size()); }

    int32_t PaperSize = 9;
    int32_t PaperWidth = 0;  // tenths of a millimetre
    int32_t PaperHeight = 0; // tenths of a millimetre
    int32_t LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0; // page units
    uint8_t Orientation = 0; // 0 portrait, 1 landscape
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
    bool PageVisible = true;
    std::vector<std::unique_ptr<TkvView>> Objects;
    TkvPageMetrics Metrics;
};
