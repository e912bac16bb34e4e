#include "tools/example_labels.h"

#include "core/report/report.h"
#include "core/views/view_font.h"
#include "tools/example_page.h"

namespace kvdemo {

void BuildLabels(TkvReport& report) {
    TkvPage& page = AddExamplePage(report);
    ExamplePage m(page);

    // Labels of 226 by 104 units, three to a row 12 units apart: each record prints in the next
    // column, and after the third the next row starts.
    constexpr int kWidth = 226, kHeight = 104, kGap = 12;
    TkvBandView& band = m.Band(kvbt::MasterData, 20, kHeight + kGap, "Label", "Customers");
    band.Columns = 3;
    band.ColumnWidth = kWidth;
    band.ColumnGap = kGap;
    band.NewColumnAfter = 1;

    TkvMemoView& frame = m.Text(20, 20, kWidth, kHeight, "");
    frame.FrameTyp = 15;
    frame.FrameColor = ExampleRgb(160, 160, 160);
    frame.FrameStyle = 1; // dashed: where to cut
    m.Text(32, 32, kWidth - 24, 20, "[Customers.Name]", kvta::Left, kvfs::Bold);
    m.Text(32, 54, kWidth - 24, 60,
           "[Customers.Street]\n[Customers.Postcode] [Customers.City]\n[Customers.Country]");
}

} // namespace kvdemo
