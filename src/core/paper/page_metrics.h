#pragma once
// Page geometry in printer pixels and page units, as the printer reports it for one paper.
// Stored as twelve little-endian 32-bit integers in design pages and prepared page records.

#include <cstdint>

struct TkvPageMetrics {
    int32_t PrinterPageWidth = 0;
    int32_t PrinterPageHeight = 0;
    int32_t PageWidth = 0;
    int32_t PageHeight = 0;
    int32_t PrinterOffsetX = 0;
    int32_t PrinterOffsetY = 0;
    int32_t OffsetLeft = 0;
    int32_t OffsetTop = 0;
    int32_t PrinterPrintableWidth = 0;
    int32_t PrinterPrintableHeight = 0;
    int32_t PrintableWidth = 0;
    int32_t PrintableHeight = 0;

    bool operator==(const TkvPageMetrics&) const = default;
};
