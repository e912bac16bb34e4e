#pragma once
// The prepared pages of one report. Pages stay packed (one byte stream of object entries each) until
// they are drawn, hit-tested, exported or edited; unpacking one page touches no other. Reads and
// writes the prepared report file (.kvp).

#include "base/error.h"
#include "core/store/prepared_page_info.h"
#include "core/views/export_target.h"
#include "base/stream.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TkvReport;
class TkvPage;
class TkvCanvas;
class TkvView;

// A prepared report file, or one of its pages, that cannot be read. PageIndex is the 0-based
// page the failure belongs to, or -1 for the file as a whole; the message names the page.
class TkvPreparedFileError : public TkvError {
public:
    TkvPreparedFileError(int pageIndex, const std::string& message);
    int PageIndex() const { return pageIndex_; }

private:
    int pageIndex_;
};

// What the last LoadFromStream found at the head of the file.
struct TkvPreparedFileHeader {
    enum class Layout { Current, Picture };
    Layout FileLayout = Layout::Current;
    uint8_t Version = 0;        // the version byte, 0 when the file has none
    uint8_t CompressedFlag = 0; // as stored (0, 1 or 255); 0 in the picture layout
    QByteArray PrinterName;     // as stored
};

class TkvEMFPages {
public:
    // The report is borrowed: its printer selection, events and WriterMark are used. May be null.
    explicit TkvEMFPages(TkvReport* report);
    ~TkvEMFPages();
    TkvEMFPages(const TkvEMFPages&) = delete;
    TkvEMFPages& operator=(const TkvEMFPages&) = delete;

    int Count() const { return static_cast<int>(PageList.size()); }
    // Raises std::out_of_range for an index outside the store.
    PreparedPageInfo& PageInfo(int index);

    void Clear();
    void DeletePage(int index);
    // Inserts a record with a packed stream holding only the version byte (appends when index is not
    // below Count) and copies the design page's paper, margins and printer geometry. Returns the
    // page's use-margins flag.
    bool InsertPage(int index, const TkvPage& page);
    // Appends, then fires OnBeginPage of CurReport (and of MasterReport when it differs) with
    // pageNo, the current page number of the page builder.
    void AddPage(const TkvPage& page, int pageNo);

    // Builds the page's views from its packed stream, replacing an earlier unpacked page, and
    // returns it (the record keeps ownership). A failure raises TkvPreparedFileError naming the page
    // (and, for an unregistered add-in, the class); the views read before it stay on the page. An
    // Unreadable page raises its reason and is not unpacked.
    TkvPage& UnpackPage(int index);
    // Writes the unpacked page's views back into the packed stream (after editing).
    void PackPage(int index);
    // Unpacks the page afresh, hands every view to the export in progress, frees the page again.
    void ExportPage(int index, TkvExportTarget& target);

    // Frees the page's unpacked views (clearing CurPage when it is that page); the packed stream stays.
    void ReleasePage(int index);

    // Draws the page scaled into r (device pixels of the canvas). With PageVisible false the
    // unpacked page is released instead. Views wholly outside the canvas's clip are skipped on
    // screen; a printer canvas draws every view.
    void DrawPage(int index, TkvCanvas& canvas, const QRect& r);

    // Hit test at a point in unscaled page coordinates. Click mode fires OnObjectClick and opens a
    // "URL" object's link target unless it is a page link ("@n"), which is returned in linkText
    // instead. Hover mode fires OnMouseOverObject, which may change cursor, and for a "URL" object
    // sets cursor to the hand-point cursor and linkText to its target. Returns whether handled.
    bool HitTestObject(int index, QPoint point, bool click, QByteArray& linkText, int& cursor);

    // A null stream does nothing (LoadFromStream still clears). Offsets in the file are absolute
    // stream positions. A load failure raises TkvPreparedFileError; pages read before it stay.
    // Compressed pages are decompressed by an installed compressor, else as zlib streams; a page
    // that cannot be keeps its stored bytes and is marked Unreadable (the load itself succeeds).
    void LoadFromStream(TkvStream* stream);
    // With Unreadable pages, writes every page back as stored, or raises TkvPreparedFileError
    // before writing anything when a page was added or changed since loading.
    void SaveToStream(TkvStream* stream);
    // Pages whose data cannot be decompressed and so cannot be displayed, exported or changed.
    int UnreadablePageCount() const;

    TkvReport* Report;
    std::vector<std::unique_ptr<PreparedPageInfo>> PageList;
    TkvPreparedFileHeader LoadedHeader;

    static constexpr int HandPointCursor = -21;

private:
    void LoadCurrentLayout(TkvStream& s, uint8_t version, bool compressed);
    void LoadPictureLayout(TkvStream& s);
    void DecodeStoredPage(PreparedPageInfo& info, int index, QByteArray data, qint64& budget);
    uint8_t ReadWriterMark(TkvStream& s);
    void FillGeometry(PreparedPageInfo& info);
};
