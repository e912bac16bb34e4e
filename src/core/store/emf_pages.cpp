#include "core/store/emf_pages.h"

#include "core/store/compressor.h"
#include "core/globals.h"
#include "core/store/kvp_format.h"
#include "core/views/memo_view.h"
#include "core/report/page.h"
#include "core/views/picture_view.h"
#include "core/paper/printer.h"
#include "core/report/report.h"
#include "core/store/shell_open.h"
#include "core/store/zlib_pages.h"
#include "base/stream_text.h"
#include "base/text_util.h"
#include "core/views/view_factory.h"
#include "render/painter_canvas.h"

#include <stdexcept>

namespace {

// Decompressed page data held at once: a page, and the whole file.
constexpr qint64 kMaxInflatedPage = qint64(256) << 20;
constexpr qint64 kMaxInflatedFile = qint64(1) << 30;

std::string PageLabel(int index) {
    return "Page " + std::to_string(index + 1);
}

// A packed stream holding one picture view at (0, 0) of the page's size, whose graphic is the
// page's metafile, kept byte for byte.
QByteArray PackPicturePage(int32_t width, int32_t height, const QByteArray& metafile) {
    TkvMemoryStream out;
    kv::StreamVersion = kv::CurrentStreamVersion;
    out.WriteByte(kvp::WrittenVersion);
    TkvPictureView picture;
    picture.SetBounds(0, 0, width, height);
    // The picture's own flags: stretched, keeping the aspect ratio.
    picture.Flags = kvflag::Stretched | kvpf::KeepAspect;
    picture.Picture = {kvgk::Metafile, metafile};
    picture.Prepared = 1;
    kv::WriteObjectEntry(out, picture);
    return out.TakeData();
}

// Checks a page entry's next offset against the page's data start and the end of the file.
void CheckNextOffset(const TkvStream& s, int index, qint64 next, qint64 dataStart) {
    if (next < dataStart)
        throw TkvPreparedFileError(
            index, PageLabel(index) + ": the next page offset " + std::to_string(next) +
                       " points before the page's data at offset " + std::to_string(dataStart));
    if (next > s.Size())
        throw TkvPreparedFileError(index, PageLabel(index) + ": the next page offset " +
                                              std::to_string(next) + " lies past the end of the file (" +
                                              std::to_string(s.Size()) + " bytes)");
}

// Reads a page entry up to its data: the next page offset, checked against the data start and the
// end of the file, and the paper; the bin and margins only where the layout stores them.
std::unique_ptr<PreparedPageInfo> ReadPageEntry(TkvStream& s, int index, bool binAndMargins, qint64& next) {
    next = s.ReadInt("the next page offset");
    auto info = std::make_unique<PreparedPageInfo>();
    info->PaperSize = static_cast<int16_t>(s.ReadWord("the paper size"));
    info->PaperWidth = s.ReadInt("the paper width");
    info->PaperHeight = s.ReadInt("the paper height");
    info->Orientation = s.ReadByte("the orientation");
    info->PaperBin = binAndMargins ? s.ReadInt("the paper bin") : -1;
    info->UseMargins = s.ReadByte("the use-margins flag");
    if (binAndMargins) {
        info->Margins.Left = s.ReadInt("the left margin");
        info->Margins.Top = s.ReadInt("the top margin");
        info->Margins.Right = s.ReadInt("the right margin");
        info->Margins.Bottom = s.ReadInt("the bottom margin");
    }
    CheckNextOffset(s, index, next, s.Position());
    return info;
}

// Well-known signatures of files that are not prepared reports (none of them can start one: a
// prepared report starts with a version byte, a compressed flag or the picture layout's 19 02).
const char* ForeignFileKind(const QByteArray& head) {
    static const struct {
        const char* signature;
        const char* kind;
    } kinds[] = {
        {"%PDF-", "a PDF document"},
        {"{\\rtf", "an RTF document"},
        {"PK\x03\x04", "a ZIP archive or workbook"},
        {"\x89PNG", "a PNG image"},
        {"\xFF\xD8\xFF", "a JPEG image"},
        {"GIF8", "a GIF image"},
        {"%!PS", "a PostScript document"},
    };
    for (const auto& k : kinds)
        if (head.startsWith(k.signature)) return k.kind;
    return nullptr;
}

int ReadPageCount(TkvStream& s, int entryHeaderSize) {
    const int32_t count = s.ReadInt("the page count");
    // Every page needs at least its entry header; the format mark follows the last one.
    if (count < 0 || count > (s.Remaining() - 1) / entryHeaderSize)
        throw TkvPreparedFileError(-1, "The file cannot hold the " + std::to_string(count) +
                                           " pages it announces (" + std::to_string(s.Remaining()) +
                                           " bytes left)");
    return count;
}

} // namespace

TkvPreparedFileError::TkvPreparedFileError(int pageIndex, const std::string& message)
    : TkvError(message), pageIndex_(pageIndex) {}

TkvEMFPages::TkvEMFPages(TkvReport* report) : Report(report) {}

TkvEMFPages::~TkvEMFPages() {
    Clear();
}

PreparedPageInfo& TkvEMFPages::PageInfo(int index) {
    if (index < 0 || index >= Count()) throw std::out_of_range("prepared page index out of range");
    return *PageList[static_cast<size_t>(index)];
}

void TkvEMFPages::Clear() {
    // CurPage may point into a page freed here.
    for (const auto& info : PageList)
        if (info->Page && kv::CurPage() == info->Page.get()) kv::CurPage() = nullptr;
    PageList.clear();
}

void TkvEMFPages::DeletePage(int index) {
    PreparedPageInfo& info = PageInfo(index);
    if (info.Page && kv::CurPage() == info.Page.get()) kv::CurPage() = nullptr;
    PageList.erase(PageList.begin() + index);
}

bool TkvEMFPages::InsertPage(int index, const TkvPage& page) {
    auto info = std::make_unique<PreparedPageInfo>();
    kv::StreamVersion = kv::CurrentStreamVersion;
    info->Packed.WriteByte(kv::CurrentStreamVersion);
    info->PaperSize = static_cast<int16_t>(page.PaperSize);
    info->PaperWidth = page.PaperWidth;
    info->PaperHeight = page.PaperHeight;
    info->Orientation = page.Orientation;
    info->PaperBin = page.PaperBin;
    info->UseMargins = page.UseMargins != 0 ? 1 : 0;
    info->Margins = {page.LeftMargin, page.TopMargin, page.RightMargin, page.BottomMargin};
    info->Metrics = page.Metrics;
    const bool useMargins = info->UseMargins != 0;
    if (index < 0) index = 0;
    if (index >= Count())
        PageList.push_back(std::move(info));
    else
        PageList.insert(PageList.begin() + index, std::move(info));
    return useMargins;
}

void TkvEMFPages::AddPage(const TkvPage& page, int pageNo) {
    InsertPage(Count(), page);
    if (kv::CurReport() && kv::CurReport()->OnBeginPage) kv::CurReport()->OnBeginPage(pageNo);
    if (kv::MasterReport() && kv::MasterReport() != kv::CurReport() && kv::MasterReport()->OnBeginPage)
        kv::MasterReport()->OnBeginPage(pageNo);
}

// ---------------------------------------------------------------- unpack, pack, export

TkvPage& TkvEMFPages::UnpackPage(int index) {
    ReleasePage(index);
    PreparedPageInfo& info = PageInfo(index);
    if (!info.Unreadable.empty()) throw TkvPreparedFileError(index, info.Unreadable);
    info.Page = std::make_unique<TkvPage>(info.PaperSize, info.PaperWidth, info.PaperHeight, info.PaperBin,
                                          info.Orientation);
    TkvPage& page = *info.Page;
    page.LeftMargin = info.Margins.Left;
    page.TopMargin = info.Margins.Top;
    page.RightMargin = info.Margins.Right;
    page.BottomMargin = info.Margins.Bottom;
    page.UseMargins = info.UseMargins ? 0xFFFF : 0;
    kv::CurPage() = &page;

    TkvMemoryStream& s = info.Packed;
    s.Seek(0);
    QByteArray className;
    try {
        kv::StreamVersion = s.ReadByte("the stream version");
        while (s.Remaining() > 0) {
            const uint8_t type = s.ReadByte("an object type");
            className.clear();
            if (type == kvvt::AddIn) className = kv::ReadStreamString(s);
            std::unique_ptr<TkvView> view = kv::CreateViewByType(type, className);
            view->Prepared = 1;
            view->LoadFromStream(s);
            view->Prepared = 0;
            view->OwnerPage = &page;
            // An auto-width text settles its width by laying itself out once.
            if ((view->Flags & kvmf::AutoWidth) && dynamic_cast<TkvMemoView*>(view.get()))
                view->Draw(kv::MeasuringCanvas());
            page.Objects.push_back(std::move(view));
        }
    } catch (const TkvClassNotFound&) {
        throw TkvPreparedFileError(index, PageLabel(index) + ": the object class \"" +
                                              className.toStdString() + "\" is not registered");
    } catch (const std::exception& e) {
        throw TkvPreparedFileError(index, PageLabel(index) + ": " + e.what());
    }
    return page;
}

void TkvEMFPages::PackPage(int index) {
    PreparedPageInfo& info = PageInfo(index);
    // A page that could not be unpacked has nothing newer than what is stored.
    if (!info.Unreadable.empty()) return;
    info.Stored.clear();
    TkvMemoryStream& s = info.Packed;
    s.Clear();
    kv::StreamVersion = kv::CurrentStreamVersion;
    s.WriteByte(kv::CurrentStreamVersion);
    if (!info.Page) return;
    for (const auto& view : info.Page->Objects) {
        view->Prepared = 1;
        s.WriteByte(view->ObjectType);
        if (view->ObjectType == kvvt::AddIn) kv::WriteStreamString(s, view->ClassName());
        view->ResultText = view->Memo;
        view->SaveToStream(s);
        view->Prepared = 0;
    }
}

void TkvEMFPages::ExportPage(int index, TkvExportTarget& target) {
    struct Release {
        TkvEMFPages& store;
        int index;
        ~Release() { store.ReleasePage(index); }
    };
    TkvPage& page = UnpackPage(index);
    Release release{*this, index};
    for (const auto& view : page.Objects)
        view->ExportContents(target);
}

// ---------------------------------------------------------------- hit test

bool TkvEMFPages::HitTestObject(int index, QPoint p, bool click, QByteArray& linkText, int& cursor) {
    linkText.clear();
    bool handled = false;
    PreparedPageInfo& info = PageInfo(index);
    TkvPage& page = info.Page ? *info.Page : UnpackPage(index);

    double kx = 1, ky = 1, ox = 0, oy = 0;
    if (!info.UseMargins && info.HasPageArea()) {
        const TkvPageMetrics& m = info.Metrics;
        kx = double(m.PrintableWidth - info.Margins.Left - info.Margins.Right) / m.PageWidth;
        ky = double(m.PrintableHeight - info.Margins.Top - info.Margins.Bottom) / m.PageHeight;
        ox = double(info.Margins.Left) + m.OffsetLeft;
        oy = double(info.Margins.Top) + m.OffsetTop;
    }
    TkvView* hit = nullptr;
    for (auto it = page.Objects.rbegin(); it != page.Objects.rend(); ++it) {
        TkvView& v = **it;
        const int left = kv::RoundEven(v.Left * kx + ox);
        const int top = kv::RoundEven(v.Top * ky + oy);
        const int right = kv::RoundEven(ox + kx * (double(v.Left) + v.Width));
        const int bottom = kv::RoundEven(oy + ky * (double(v.Top) + v.Height));
        if (p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom) {
            hit = &v;
            break;
        }
    }
    if (!hit) return false;

    TkvReport* report = Report;
    const bool isLink = hit->Name.startsWith("URL");
    if (click) {
        if (report && report->OnObjectClick) {
            try {
                report->OnObjectClick(hit);
            } catch (...) {
            }
            handled = true;
        }
        if (isLink) {
            if (!hit->Tag.contains('@'))
                kv::ShellOpen(hit->Tag);
            else
                linkText = hit->Tag;
            handled = true;
        }
    } else {
        if (report && report->OnMouseOverObject) {
            try {
                report->OnMouseOverObject(hit, cursor);
            } catch (...) {
            }
            handled = true;
        }
        if (isLink) {
            cursor = HandPointCursor;
            linkText = hit->Tag;
            handled = true;
        }
    }
    return handled;
}

// ---------------------------------------------------------------- file

void TkvEMFPages::FillGeometry(PreparedPageInfo& info) {
    kv::SelectPagePaper(info.PaperSize, info.PaperWidth, info.PaperHeight, info.PaperBin, info.Orientation,
                        info.Metrics);
}

void TkvEMFPages::LoadFromStream(TkvStream* stream) {
    Clear();
    LoadedHeader = {};
    if (!stream) return;
    TkvStream& s = *stream;
    const qint64 start = s.Position();
    try {
        // Files of other kinds opened by mistake get a message saying so, rather than a complaint
        // about the page count their first bytes happen to spell.
        const QByteArray head = s.ReadBytes(std::min<qint64>(8, s.Remaining()), "the file head");
        s.Seek(start);
        if (const char* kind = ForeignFileKind(head))
            throw TkvPreparedFileError(-1, std::string("The file is ") + kind + ", not a prepared report");
        uint8_t version = s.ReadByte("the file version");
        if (!kvp::IsVersionByte(version)) {
            version = 0;
            s.Seek(start);
        }
        const uint8_t flag = s.ReadByte("the compressed flag");
        if (kvp::IsCompressedFlag(flag)) {
            LoadedHeader.Version = version;
            LoadedHeader.CompressedFlag = flag;
            LoadCurrentLayout(s, version, flag != 0);
        } else {
            s.Seek(start);
            LoadedHeader.FileLayout = TkvPreparedFileHeader::Layout::Picture;
            LoadPictureLayout(s);
        }
        const uint8_t mark = s.ReadByte("the format mark");
        if (Report) Report->WriterMark = mark;
    } catch (const TkvStreamError& e) {
        throw TkvPreparedFileError(-1,
                                   std::string("The file is not a complete prepared report: ") + e.what());
    }
}

void TkvEMFPages::LoadCurrentLayout(TkvStream& s, uint8_t version, bool compressed) {
    kv::StreamVersion = kv::CurrentStreamVersion; // the printer name is always in the current encoding
    LoadedHeader.PrinterName = kv::ReadStreamString(s);
    if (Report) Report->SelectPrinterByName(LoadedHeader.PrinterName);
    const bool binAndMargins = version >= kvp::BinAndMarginsVersion;
    const int count =
        ReadPageCount(s, binAndMargins ? kvp::PageEntryHeaderSizeV24 : kvp::PageEntryHeaderSize);
    PageList.reserve(static_cast<size_t>(count));
    qint64 budget = kMaxInflatedFile;
    for (int i = 0; i < count; ++i) {
        try {
            qint64 next = 0;
            auto info = ReadPageEntry(s, i, binAndMargins, next);
            QByteArray data = s.ReadBytes(next - s.Position(), "the page data");
            if (compressed) {
                DecodeStoredPage(*info, i, std::move(data), budget);
            } else {
                info->Packed = TkvMemoryStream(std::move(data));
            }
            FillGeometry(*info);
            PageList.push_back(std::move(info));
        } catch (const TkvStreamError& e) {
            throw TkvPreparedFileError(i, PageLabel(i) + " of " + std::to_string(count) + ": " + e.what());
        }
    }
    // The stored bytes are needed only to write back pages that cannot be decompressed.
    if (UnreadablePageCount() == 0)
        for (const auto& info : PageList)
            info->Stored.clear();
}

void TkvEMFPages::DecodeStoredPage(PreparedPageInfo& info, int index, QByteArray data, qint64& budget) {
    info.Stored = std::move(data);
    const std::string label = PageLabel(index);
    if (kv::CompressorInstalled()) {
        try {
            TkvMemoryStream source(info.Stored);
            kv::Compressor().Decompress(source, info.Packed);
            info.Packed.Seek(0);
        } catch (const std::exception& e) {
            info.Packed.Clear();
            info.Unreadable = label + ": the compressed page cannot be read (" + e.what() + ")";
        }
        return;
    }
    if (!kv::LooksLikeZlib(info.Stored)) {
        info.Unreadable = label + ": the page is compressed in a form this program cannot read and cannot be "
                                  "displayed";
        return;
    }
    QByteArray inflated;
    std::string reason;
    if (!kv::InflateZlib(info.Stored, std::min(kMaxInflatedPage, budget), inflated, reason)) {
        info.Unreadable = label + ": the compressed page cannot be displayed: " + reason;
        return;
    }
    budget -= inflated.size();
    info.Packed = TkvMemoryStream(std::move(inflated));
}

int TkvEMFPages::UnreadablePageCount() const {
    int n = 0;
    for (const auto& info : PageList)
        if (!info->Unreadable.empty()) ++n;
    return n;
}

void TkvEMFPages::LoadPictureLayout(TkvStream& s) {
    kv::StreamVersion = 0; // the printer name is an old-encoding memo
    TkvStringList lines;
    kv::ReadStreamMemo(s, lines);
    LoadedHeader.PrinterName = lines.value(0);
    if (Report) Report->SelectPrinterByName(LoadedHeader.PrinterName);
    const int count = ReadPageCount(s, kvp::PageEntryHeaderSize);
    PageList.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        try {
            qint64 next = 0;
            auto info = ReadPageEntry(s, i, false, next);
            const QByteArray metafile = s.ReadBytes(next - s.Position(), "the page picture");
            FillGeometry(*info);
            info->Packed =
                TkvMemoryStream(PackPicturePage(info->Metrics.PageWidth, info->Metrics.PageHeight, metafile));
            PageList.push_back(std::move(info));
        } catch (const TkvStreamError& e) {
            throw TkvPreparedFileError(i, PageLabel(i) + " of " + std::to_string(count) + ": " + e.what());
        }
    }
}

void TkvEMFPages::SaveToStream(TkvStream* stream) {
    if (!stream) return;
    TkvStream& s = *stream;
    TkvCompressor& compressor = kv::Compressor();
    // Pages that cannot be decompressed are written back as stored, under the file's own compressed
    // flag; that is only sound while every other page is also as stored.
    const bool asStored = UnreadablePageCount() > 0;
    if (asStored)
        for (int i = 0; i < Count(); ++i)
            if (PageList[static_cast<size_t>(i)]->Stored.isEmpty())
                throw TkvPreparedFileError(
                    i, PageLabel(i) + " was added or changed, and other pages are compressed in a form this "
                                      "program cannot read: the report can only be saved unchanged");
    const bool compress = !asStored && compressor.Enabled != 0;
    s.WriteByte(kvp::WrittenVersion);
    s.WriteByte(asStored ? (LoadedHeader.CompressedFlag ? LoadedHeader.CompressedFlag : 1) : compress ? 1 : 0);
    const TkvPrinter& printer = kv::SharedPrinter();
    kv::WriteStreamString(s, printer.Printers.value(printer.PrinterIndex));
    s.WriteInt(Count());
    for (const auto& info : PageList) {
        const qint64 p = s.Position();
        s.WriteInt(0);
        s.WriteWord(static_cast<uint16_t>(info->PaperSize));
        s.WriteInt(info->PaperWidth);
        s.WriteInt(info->PaperHeight);
        s.WriteByte(info->Orientation);
        s.WriteInt(info->PaperBin);
        s.WriteByte(info->UseMargins);
        s.WriteInt(info->Margins.Left);
        s.WriteInt(info->Margins.Top);
        s.WriteInt(info->Margins.Right);
        s.WriteInt(info->Margins.Bottom);
        if (asStored) {
            s.WriteBytes(info->Stored);
        } else if (compress) {
            TkvMemoryStream source(info->Packed.Data());
            TkvMemoryStream packed;
            compressor.Compress(source, packed);
            s.WriteBytes(packed.Data());
        } else {
            s.WriteBytes(info->Packed.Data());
        }
        const qint64 q = s.Position();
        if (q > INT32_MAX)
            throw TkvPreparedFileError(-1, "The prepared report is larger than 2 GB and cannot be saved");
        s.Seek(p);
        s.WriteInt(static_cast<int32_t>(q));
        s.Seek(q);
    }
    s.WriteByte(Report ? Report->WriterMark : kvp::DefaultWriterMark);
}
