#include "core/template/template_stream.h"

#include "base/stream_text.h"
#include "base/stream_version.h"
#include "core/globals.h"
#include "core/locale.h"
#include "core/report/report.h"
#include "core/views/view_factory.h"

#include <cmath>

namespace {

constexpr uint8_t kVirtualPrinterMark = 1;
// Class names of older add-ins read as classes of today (compared in upper case).
constexpr const char* kFramedMemoClass = "TKVFRAMEDMEMOVIEW";
constexpr int kFramedMemoTrailer = 8;

QByteArray ReadShortText(TkvStream& s, const char* what) {
    const uint16_t n = s.ReadWord(what);
    return s.ReadBytes(n, what);
}

void WriteShortText(TkvStream& s, const QByteArray& text) {
    const qsizetype n = std::min<qsizetype>(text.size(), 0xFFFF);
    s.WriteWord(static_cast<uint16_t>(n));
    s.WriteBuffer(text.constData(), n);
}

int32_t ReadI32(TkvStream& s, const char* what) {
    return s.ReadInt(what);
}

// "Page" and the smallest free number, for pages whose record carries no name.
QByteArray FreePageName(const TkvReport* report) {
    for (int n = 1; n <= 10000; ++n) {
        const QByteArray name = "Page" + QByteArray::number(n);
        bool used = false;
        if (report)
            for (const auto& p : report->Pages)
                if (p->Name == name) used = true;
        if (!used) return name;
    }
    return "Page";
}

} // namespace

namespace kv {

double DateTimeToDays(const QDateTime& t) {
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    if (!t.isValid()) return 0;
    // Local wall-clock time, as the stored dates have always been.
    const QDateTime local(t.date(), t.time(), Qt::UTC);
    return static_cast<double>(epoch.msecsTo(local)) / 86400000.0;
}

QDateTime DaysToDateTime(double days) {
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    // Dates outside years 1..9999 (or not numbers) from a damaged file become the epoch.
    if (!std::isfinite(days) || days < -693593.0 || days > 2958465.0) days = 0;
    const QDateTime utc = epoch.addMSecs(static_cast<qint64>(std::llround(days * 86400000.0)));
    return QDateTime(utc.date(), utc.time());
}

void ReadPageRecord(TkvStream& s, TkvPage& page, const TkvReport* report) {
    int32_t first = ReadI32(s, "a page marker");
    const bool marked = first == -1;
    const int32_t paperSize = marked ? ReadI32(s, "a paper size") : first;
    const int32_t paperWidth = ReadI32(s, "a paper width");
    const int32_t paperHeight = ReadI32(s, "a paper height");
    page.LeftMargin = ReadI32(s, "a margin");
    page.TopMargin = ReadI32(s, "a margin");
    page.RightMargin = ReadI32(s, "a margin");
    page.BottomMargin = ReadI32(s, "a margin");
    const uint8_t orientation = s.ReadByte("the orientation") == 1 ? 1 : 0;
    if (StreamVersion < 23) s.ReadBytes(6, "page bytes of old versions");
    int32_t paperBin = -1;
    if (StreamVersion >= 24) paperBin = ReadI32(s, "a paper bin");
    page.PrintToPrevPage = s.ReadWord("the print-to-previous-page flag");
    page.UseMargins = s.ReadWord("the use-margins flag");
    page.Columns = ReadI32(s, "a column count");
    page.ColumnGap = ReadI32(s, "a column gap");
    if (StreamVersion >= 24) {
        page.PageType = s.ReadByte("a page type");
        page.Name = ReadStreamString(s);
        const uint8_t border = s.ReadByte("a border style");
        page.BorderStyle = border == 0 ? 3 : border == 1 ? 2 : border;
        page.Caption = ReadStreamString(s);
        page.Color = s.ReadUInt("a colour");
        page.FormLeft = ReadI32(s, "a dialog position");
        page.FormTop = ReadI32(s, "a dialog position");
        page.FormWidth = ReadI32(s, "a dialog size");
        page.FormHeight = ReadI32(s, "a dialog size");
        page.Position = s.ReadByte("a dialog placement") != 0 ? 4 : 0;
        if (marked) ReadStreamMemo(s, page.Script);
    } else {
        page.Name = FreePageName(report);
    }
    page.ChangePaper(paperSize, paperWidth, paperHeight, paperBin, orientation);
}

void WritePageRecord(TkvStream& s, const TkvPage& page) {
    s.WriteInt(-1);
    s.WriteInt(page.PaperSize);
    s.WriteInt(page.PaperWidth);
    s.WriteInt(page.PaperHeight);
    s.WriteInt(page.LeftMargin);
    s.WriteInt(page.TopMargin);
    s.WriteInt(page.RightMargin);
    s.WriteInt(page.BottomMargin);
    s.WriteByte(page.Orientation);
    s.WriteInt(page.PaperBin);
    s.WriteWord(page.PrintToPrevPage);
    s.WriteWord(page.UseMargins);
    s.WriteInt(page.Columns);
    s.WriteInt(page.ColumnGap);
    s.WriteByte(page.PageType);
    WriteStreamString(s, page.Name);
    s.WriteByte(page.BorderStyle);
    WriteStreamString(s, page.Caption);
    s.WriteUInt(page.Color);
    s.WriteInt(page.FormLeft);
    s.WriteInt(page.FormTop);
    s.WriteInt(page.FormWidth);
    s.WriteInt(page.FormHeight);
    s.WriteByte(page.Position);
    WriteStreamMemo(s, page.Script);
}

namespace {

// A next offset that points backwards or outside the stream.
struct TkvTemplateBadOffset : TkvStreamError {
    using TkvStreamError::TkvStreamError;
};

// One object entry after its type byte. Failures inside the entry are recovered at the next
// offset where the stream has one.
void ReadObjectEntryOfTemplate(TkvReport& report, TkvStream& s, uint8_t type) {
    QByteArray className;
    bool framedMemo = false;
    if (type == kvvt::AddIn) {
        className = ReadStreamString(s);
        const QByteArray upper = className.toUpper();
        if (upper == "TKVBDELOOKUPCONTROL" || upper == "TKVIBXLOOKUPCONTROL")
            className = "TkvDBLookupControl";
        if (upper == kFramedMemoClass) {
            type = kvvt::Text;
            framedMemo = true;
        }
    }
    const uint8_t pageIndex = s.ReadByte("a page index");
    TkvPage* page = pageIndex < report.PageCount() ? report.Page(pageIndex) : nullptr;
    if (page) CurPage() = page;

    qint64 next = -1;
    // A next offset that does not move forward inside the stream leaves nothing to resume at: the
    // failure ends the load (resuming there could read the same entries for ever).
    auto readNextOffset = [&] {
        if (StreamVersion < 24 || next >= 0) return;
        const qint64 at = s.Position();
        const qint64 value = s.ReadUInt("a next offset");
        if (value <= at || value > s.Size()) throw TkvTemplateBadOffset(at, "a next offset outside the stream");
        next = value;
    };

    TkvView* view = nullptr;
    std::unique_ptr<TkvView> detached; // a view whose page index names no page is read and dropped
    try {
        std::unique_ptr<TkvView> created = CreateViewByType(type, className);
        created->OwnerPage = page;
        view = created.get();
        if (page)
            page->Objects.push_back(std::move(created));
        else
            detached = std::move(created);
        readNextOffset();
        try {
            view->Prepared = 0;
            view->LoadFromStream(s);
            if (framedMemo) s.ReadBytes(kFramedMemoTrailer, "the framed text trailer");
        } catch (...) {
            view->SetProperty("NAME", TkvVariant(view->Name));
            throw;
        }
        view->SetProperty("NAME", TkvVariant(view->Name));
    } catch (const TkvTemplateBadOffset&) {
        throw;
    } catch (const TkvStreamError&) {
        // Past the end of the stream nothing further can be read.
        if (StreamVersion < 24 || s.Remaining() == 0) throw;
        readNextOffset();
        s.Seek(next);
        return;
    } catch (const std::exception&) {
        // Without next offsets the reader goes on where the failure left the stream.
        if (StreamVersion < 24) return;
        readNextOffset();
        s.Seek(next);
        return;
    }
    if (next >= 0) s.Seek(next);
}

} // namespace

void ReadPagesPart(TkvReport& report, TkvStream& s, bool endOfStreamEnds) {
    report.Clear();
    report.KeepCurrentPrinter = s.ReadWord("the keep-printer flag");
    report.DoublePassReport = s.ReadWord("the two-pass flag");
    QByteArray printer = ReadStreamString(s);
    if (printer.size() == 1 && static_cast<uint8_t>(printer[0]) == kVirtualPrinterMark)
        printer = LoadLibraryText(55007);
    report.SelectPrinterByName(printer);

    for (;;) {
        if (endOfStreamEnds && s.Remaining() == 0) break;
        const uint8_t b = s.ReadByte("a template entry");
        if (b == kvtpl::EndMark) break;
        if (b == kvtpl::EndMarkWithByte) {
            s.ReadByte("the byte after the end mark");
            break;
        }
        if (b == kvtpl::PageMark) {
            if (report.PageCount() >= kvtpl::MaxPages)
                throw TkvStreamError(s.Position() - 1, "more than 256 pages");
            auto page = std::make_unique<TkvPage>();
            ReadPageRecord(s, *page, &report);
            report.Pages.push_back(std::move(page));
            continue;
        }
        if (b == kvtpl::DictionaryMark) {
            report.Dictionary.LoadFromStream(s);
            continue;
        }
        if (b > kvtpl::MaxViewType) throw TkvStreamError(s.Position() - 1, "an object type above 10");
        ReadObjectEntryOfTemplate(report, s, b);
    }
    if (ErrorFlag()) throw TkvClassNotFound(ErrorText().toStdString());
    for (const auto& p : report.Pages)
        for (const auto& v : p->Objects)
            v->AfterLoad();
}

void WritePagesPart(TkvReport& report, TkvStream& s) {
    if (report.PageCount() > kvtpl::MaxPages)
        throw TkvTemplateError("The report has " + std::to_string(report.PageCount()) +
                               " pages; a template can hold at most 256");
    s.WriteWord(report.KeepCurrentPrinter);
    s.WriteWord(report.DoublePassReport);
    QByteArray printer = report.PrinterName;
    if (printer == LoadLibraryText(55007)) printer = QByteArray(1, char(kVirtualPrinterMark));
    WriteStreamString(s, printer);
    for (const auto& p : report.Pages) {
        s.WriteByte(kvtpl::PageMark);
        WritePageRecord(s, *p);
    }
    for (int i = 0; i < report.PageCount(); ++i) {
        for (const auto& v : report.Page(i)->Objects) {
            s.WriteByte(v->ObjectType);
            if (v->ObjectType == kvvt::AddIn) WriteStreamString(s, v->ClassName());
            s.WriteByte(static_cast<uint8_t>(i));
            const qint64 offsetAt = s.Position();
            s.WriteUInt(0);
            const uint8_t prepared = v->Prepared;
            v->Prepared = 0;
            v->SaveToStream(s);
            v->Prepared = prepared;
            const qint64 end = s.Position();
            s.Seek(offsetAt);
            s.WriteUInt(static_cast<uint32_t>(end));
            s.Seek(end);
        }
    }
    s.WriteByte(kvtpl::DictionaryMark);
    report.Dictionary.SaveToStream(s);
}

void ReadDocumentInfo(TkvStream& s, TkvReport& report) {
    report.DocComment = ReadShortText(s, "the document comment");
    report.DocName = ReadShortText(s, "the document name");
    report.DocAuthor = ReadShortText(s, "the document author");
    report.DocVersionMajor = ReadShortText(s, "a document version");
    report.DocVersionMinor = ReadShortText(s, "a document version");
    report.DocVersionRelease = ReadShortText(s, "a document version");
    report.DocVersionBuild = ReadShortText(s, "a document version");
    report.DocPassword = HexDecode(ReadShortText(s, "the document password"));
    report.WriterMark = s.ReadByte("the writer mark");
    report.DocPasswordProtected = s.ReadByte("the password flag") != 0;
    report.DocCreated = DaysToDateTime(s.ReadDouble("the creation date"));
    report.DocLastChange = DaysToDateTime(s.ReadDouble("the last change date"));
}

void WriteDocumentInfo(TkvStream& s, const TkvReport& report) {
    WriteShortText(s, report.DocComment);
    WriteShortText(s, report.DocName);
    WriteShortText(s, report.DocAuthor);
    WriteShortText(s, report.DocVersionMajor);
    WriteShortText(s, report.DocVersionMinor);
    WriteShortText(s, report.DocVersionRelease);
    WriteShortText(s, report.DocVersionBuild);
    WriteShortText(s, HexEncode(report.DocPassword.left(0x7FFF)));
    s.WriteByte(report.WriterMark);
    s.WriteByte(report.DocPasswordProtected ? 1 : 0);
    s.WriteDouble(DateTimeToDays(report.DocCreated));
    s.WriteDouble(DateTimeToDays(report.DocLastChange));
}

TkvTemplateLoadResult LoadTemplate(TkvReport& report, TkvStream& s, const TkvTemplateLoadOptions& options) {
    using Status = TkvTemplateLoadResult::Status;
    TkvTemplateLoadResult result;
    DocumentMode() = 0;
    CurReport() = &report;
    report.Dictionary.Clear();
    if (s.Remaining() <= 0) {
        result.status = Status::Empty;
        return result;
    }
    const qint64 start = s.Position();
    uint8_t version = s.ReadByte("the template version");
    if (version <= kvtpl::NoVersionByteLimit) {
        version = kvtpl::ImpliedVersion;
        s.Seek(start);
    }
    ErrorFlag() = false;
    ErrorText().clear();
    if (version > kvtpl::WrittenVersion) {
        result.status = Status::UnsupportedVersion;
        result.Message = LoadLibraryText(55345);
        return result;
    }
    StreamVersion = version;

    auto resetToOneEmptyPage = [&report] {
        report.Pages.Clear();
        report.Pages.Add();
    };
    try {
        ReadPagesPart(report, s, false);
        if (s.Remaining() > 0)
            ReadDocumentInfo(s, report);
        else
            report.ResetDocumentInfo();
    } catch (const TkvClassNotFound&) {
        result.status = Status::MissingClasses;
        result.Message = "Report contains the following non-plugged components:\r" + ErrorText() +
                         "You must include these components into your project.";
        ErrorFlag() = false;
        ErrorText().clear();
        StreamVersion = CurrentStreamVersion;
        return result;
    } catch (const std::exception&) {
        result.status = Status::Unreadable;
        result.Message = LoadLibraryText(55345);
        ErrorFlag() = false;
        ErrorText().clear();
        resetToOneEmptyPage();
        StreamVersion = CurrentStreamVersion;
        return result;
    }
    StreamVersion = CurrentStreamVersion;

    if (report.DocPasswordProtected && options.FromFile) {
        QByteArray entered;
        const bool confirmed = options.AskPassword && options.AskPassword(entered);
        if (!confirmed || entered != report.DocPassword) {
            report.ResetDocumentInfo();
            report.TemplateFileName = LoadLibraryText(55209);
            resetToOneEmptyPage();
            result.status = Status::PasswordRefused;
            result.Message = "The password is not correct";
        }
    }
    return result;
}

void SaveTemplate(TkvReport& report, TkvStream& s, bool stampLastChange) {
    if (report.PageCount() > kvtpl::MaxPages)
        throw TkvTemplateError("The report has " + std::to_string(report.PageCount()) +
                               " pages; a template can hold at most 256");
    CurReport() = &report;
    StreamVersion = CurrentStreamVersion;
    s.WriteByte(kvtpl::WrittenVersion);
    WritePagesPart(report, s);
    s.WriteByte(kvtpl::EndMark);
    report.WriterMark = 88;
    if (stampLastChange) report.DocLastChange = QDateTime::currentDateTime();
    WriteDocumentInfo(s, report);
}

} // namespace kv
