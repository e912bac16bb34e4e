#pragma once
// What a view hands to the export in progress. The export library's filters implement it; the
// prepared store passes it to every object of a page (TkvView::ExportContents), so an export needs
// no process-wide hook and two exports in one process never see each other's objects.

#include "core/rect.h"

#include <QByteArray>
#include <cstdint>

class TkvView;

class TkvExportTarget {
public:
    virtual ~TkvExportTarget() = default;
    // Every object of a page, with its left and top in page units.
    virtual void ExportObject(int x, int y, TkvView& view) = 0;
    // Every output line of a text object: its inner rectangle, the line's left and top in page
    // units after alignment, the line text (code page bytes, paragraph mark removed) and the frame
    // sides that belong to this line (the first of several lines has no bottom side, the last no top
    // side, those in between neither; rotated lines none).
    virtual void ExportTextLine(const TkvRect& drawRect, int x, int y, const QByteArray& text,
                                uint16_t frameSides, TkvView& view) = 0;
};
