#pragma once
// Small reports for the export tests: pages of text objects and pictures in a prepared store, and
// a filter driven line by line without a report.

#include "base/codepage.h"
#include "base/stream.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"

#include <QString>
#include <memory>
#include <vector>

namespace kvtest {

struct MemoSpec {
    int left, top, width, height;
    QString text;
    uint16_t frame = 0;
    int32_t alignment = 0;
    uint32_t fill = 0x1FFFFFFF;
    uint16_t style = 0;
    int size = 10;
};

inline std::unique_ptr<TkvMemoView> MakeMemo(const MemoSpec& s) {
    auto m = std::make_unique<TkvMemoView>();
    m->SetBounds(s.left, s.top, s.width, s.height);
    m->Memo = {};
    for (const QString& line : s.text.split(u'\n')) m->Memo.append(kv::EncodeText(line, m->Font.Charset));
    m->FrameTyp = s.frame;
    m->Alignment = s.alignment;
    m->FillColor = s.fill;
    m->Font.Style = s.style;
    m->Font.Size = s.size;
    m->Flags = 0; // no word wrap: one memo line, one output line
    return m;
}

// Appends a page holding the views to the report's store.
inline void AddPage(TkvReport& report, std::vector<std::unique_ptr<TkvView>> views) {
    kv::StartUp();
    TkvEMFPages& store = report.EMFPages;
    const int index = store.Count();
    TkvPage design;
    store.InsertPage(index, design);
    auto page = std::make_unique<TkvPage>();
    int n = 0;
    for (auto& v : views) {
        if (v->Name.isEmpty()) v->Name = "View" + QByteArray::number(++n);
        v->OwnerPage = page.get();
        page->Objects.push_back(std::move(v));
    }
    store.PageInfo(index).Page = std::move(page);
    store.PackPage(index);
    store.ReleasePage(index);
}

inline void AddMemoPage(TkvReport& report, const std::vector<MemoSpec>& memos) {
    std::vector<std::unique_ptr<TkvView>> views;
    for (const auto& s : memos) views.push_back(MakeMemo(s));
    AddPage(report, std::move(views));
}

// Drives a line-collecting filter by hand: one page, lines handed over as a text object would.
template <class Filter> class LineDriver {
public:
    LineDriver() {
        filter.Stream = &out;
        filter.BeginPage();
    }
    // A line of a memo whose inner rectangle is (left, top, right, bottom).
    void Line(int left, int right, int x, int y, const QByteArray& text, uint16_t sides = 0, int32_t alignment = 0,
              uint16_t style = 0, uint32_t color = 0) {
        memo.Alignment = alignment;
        memo.Font.Style = style;
        memo.Font.Color = color;
        filter.ExportTextLine(TkvRect{left, y, right, y + 14}, x, y, text, sides, memo);
    }
    QByteArray EndPage() {
        filter.EndPage();
        return out.Data();
    }

    Filter filter;
    TkvMemoryStream out;
    TkvMemoView memo;
};

} // namespace kvtest
