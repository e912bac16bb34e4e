#pragma once
// One prepared page of the store: its paper, margins and printer geometry, the page's objects as a
// packed byte stream and, while needed, the page unpacked into views.

#include "core/report/page.h"
#include "core/paper/page_metrics.h"
#include "core/rect.h"
#include "base/stream.h"

#include <cstdint>
#include <memory>
#include <string>

struct PreparedPageInfo {
    TkvRect PreviewRect; // preview layout coordinates; owned by the preview
    int16_t PaperSize = 0;
    int32_t PaperWidth = 0;  // tenths of a millimetre
    int32_t PaperHeight = 0; // tenths of a millimetre
    uint8_t Orientation = 0; // 0 portrait, 1 landscape
    int32_t PaperBin = 0;
    uint8_t UseMargins = 0;
    TkvRect Margins; // left, top, right, bottom in page units
    TkvPageMetrics Metrics;
    uint8_t PageVisible = 0;
    // The packed page format: a stream version byte, then one object entry per view. Empty when
    // the page is Unreadable.
    TkvMemoryStream Packed;
    // The page's data as stored in a compressed file, kept while the page is unchanged so that a
    // file holding pages this library cannot decompress is saved with those pages as they were.
    QByteArray Stored;
    // Why the page cannot be displayed (a compression this library cannot read); empty when it can.
    std::string Unreadable;
    std::unique_ptr<TkvPage> Page; // the unpacked page, or null

    // Whether the printer geometry can scale this page (a paper from a damaged file may have none).
    bool HasPageArea() const { return Metrics.PageWidth > 0 && Metrics.PageHeight > 0; }
};
