#include "tools/example_subreport.h"

#include "core/report/report.h"
#include "core/views/subreport_view.h"
#include "core/views/view_font.h"
#include "tools/example_page.h"

#include <memory>

namespace kvdemo {

namespace {

// A sub-report object on `page` printing report page `subPage` (from 0) in its place.
void SubReport(TkvPage& page, const QByteArray& name, int left, int top, int width, int subPage) {
    auto v = std::make_unique<TkvSubReportView>();
    v->Name = name;
    v->SetBounds(left, top, width, 20);
    v->SubPageIndex = subPage;
    page.Objects.push_back(std::move(v));
}

} // namespace

void BuildCategoryOverview(TkvReport& report) {
    TkvPage& main = AddExamplePage(report);
    ExamplePage m(main);
    m.Band(kvbt::Title, 20, 44, "Title");
    TkvMemoView& title = m.Text(20, 22, 600, 28, "Shop overview by category", kvta::Left, kvfs::Bold);
    title.Font.Size = 16;
    title.Font.Color = kNavy;

    // Each category: its name, then its products (left) and its sales (right) side by side; the
    // sub-reports start at the objects' tops and the next category comes below the longer one.
    m.Band(kvbt::MasterData, 80, 60, "Category", "Categories");
    m.Rule(20, 84, 678, kNavy, 2);
    TkvMemoView& name = m.Text(20, 88, 400, 22, "[Categories.Name]", kvta::Left, kvfs::Bold);
    name.Font.Size = 12;
    name.Font.Color = kNavy;
    SubReport(main, "ProductsOfCategory", 20, 116, 380, 1);
    SubReport(main, "SalesOfCategory", 440, 116, 258, 2);

    m.Band(kvbt::PageFooter, 180, 22, "Footer", {}, kvbf::OnFirstPage | kvbf::OnLastPage);
    m.Text(500, 182, 198, 18, "Page [PAGE#]", kvta::Right);

    // Page 2, printed in ProductsOfCategory: the category's products and prices.
    ExamplePage products(AddExamplePage(report));
    products.Band(kvbt::MasterHeader, 20, 22, "ProductCaptions");
    for (TkvMemoView* caption : {&products.Text(20, 21, 200, 20, "Product", kvta::Left | kvta::Middle, kvfs::Bold),
                                 &products.Text(220, 21, 80, 20, "Unit", kvta::Left | kvta::Middle, kvfs::Bold),
                                 &products.Text(300, 21, 100, 20, "Price", kvta::Right | kvta::Middle, kvfs::Bold)})
        caption->FillColor = kLight;
    products.Band(kvbt::MasterData, 60, 18, "ProductLine", "CategoryProducts");
    products.Text(20, 60, 200, 18, "[CategoryProducts.Name]");
    products.Text(220, 60, 80, 18, "[CategoryProducts.Unit]");
    products.Text(300, 60, 100, 18, "[FORMATFLOAT('0.00', [CategoryProducts.Price])]", kvta::Right);

    // Page 3, printed in SalesOfCategory: the category's sales per month and their total.
    ExamplePage sales(AddExamplePage(report));
    sales.Band(kvbt::MasterHeader, 20, 22, "SalesCaptions");
    for (TkvMemoView* caption : {&sales.Text(20, 21, 120, 20, "Month", kvta::Left | kvta::Middle, kvfs::Bold),
                                 &sales.Text(140, 21, 118, 20, "Sales", kvta::Right | kvta::Middle, kvfs::Bold)})
        caption->FillColor = kLight;
    sales.Band(kvbt::MasterData, 60, 18, "SalesLine", "CategorySales");
    sales.Text(20, 60, 120, 18, "[CategorySales.Month]");
    sales.Text(140, 60, 118, 18, "[FORMATFLOAT('0.00', [CategorySales.Amount])]", kvta::Right);
    sales.Band(kvbt::MasterFooter, 100, 24, "SalesTotal");
    sales.Rule(20, 101, 238, kNavy, 1);
    sales.Text(20, 104, 120, 18, "Total", kvta::Left, kvfs::Bold);
    sales.Text(140, 104, 118, 18, "[FORMATFLOAT('0.00', SUM([CategorySales.Amount]))]", kvta::Right, kvfs::Bold);
}

} // namespace kvdemo
