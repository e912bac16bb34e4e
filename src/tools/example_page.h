#pragma once
// A small helper for the example templates of examples/: adds bands, texts and rules to one design
// page, in page units.

#include "base/stream_text.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/views/band_view.h"
#include "core/views/line_view.h"
#include "core/views/memo_flags.h"
#include "core/views/memo_view.h"
#include "core/views/standard_views.h"

#include <memory>

namespace kvdemo {

constexpr uint32_t ExampleRgb(int r, int g, int b) {
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}
// The examples' shared colours: headings and rules, caption rows.
constexpr uint32_t kNavy = ExampleRgb(31, 56, 100);
constexpr uint32_t kLight = ExampleRgb(221, 235, 247);

// Appends an A4 portrait design page with 2 mm margins to the report.
inline TkvPage& AddExamplePage(TkvReport& report) {
    TkvPage& page = *report.Page(report.Pages.Add());
    page.ChangePaper(9, 2100, 2970, -1, 0);
    page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 20;
    page.UseMargins = 1;
    return page;
}

class ExamplePage {
public:
    explicit ExamplePage(TkvPage& page) : page_(page) {}

    TkvBandView& Band(int type, int top, int height, const QByteArray& name, const QByteArray& source = {},
                      uint16_t flags = 0) {
        auto v = std::make_unique<TkvBandView>();
        v->Name = name;
        v->SetBandType(type);
        v->SetBounds(0, top, 718, height);
        v->SetDataSource(source);
        v->Flags = flags;
        auto* raw = v.get();
        page_.Objects.push_back(std::move(v));
        return *raw;
    }

    // A text of one or more lines ("\n" between them), without a frame.
    TkvMemoView& Text(int left, int top, int width, int height, const QByteArray& text,
                      int32_t alignment = kvta::Left, uint16_t style = 0) {
        auto v = std::make_unique<TkvMemoView>();
        v->Name = "Text" + QByteArray::number(++objects_);
        v->SetBounds(left, top, width, height);
        v->Memo = kv::SplitLines(text);
        v->Flags = 0x0002;
        v->Alignment = alignment;
        v->Font.Style = style;
        auto* raw = v.get();
        page_.Objects.push_back(std::move(v));
        return *raw;
    }

    // A horizontal rule.
    TkvLineView& Rule(int left, int top, int width, uint32_t color, float lineWidth = 1) {
        auto v = std::make_unique<TkvLineView>();
        v->Name = "Line" + QByteArray::number(++objects_);
        v->SetBounds(left, top, width, 0);
        v->NormalizeDirection();
        v->FrameColor = color;
        v->FrameWidth = lineWidth;
        auto* raw = v.get();
        page_.Objects.push_back(std::move(v));
        return *raw;
    }

private:
    TkvPage& page_;
    int objects_ = 0;
};

} // namespace kvdemo
