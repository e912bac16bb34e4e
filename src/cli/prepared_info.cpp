#include "cli/prepared_info.h"

#include "core/views/band_control_views.h"
#include "core/views/band_view.h"
#include "core/store/emf_pages.h"
#include "base/file_stream.h"
#include "core/views/memo_view.h"
#include "core/paper/paper_table.h"
#include "core/views/picture_view.h"
#include "core/paper/printer.h"
#include "core/report/report.h"
#include "core/views/rich_view.h"
#include "core/views/standard_views.h"
#include "core/startup.h"
#include "core/views/subreport_view.h"
#include "base/codepage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>

namespace kvcli {

namespace {

QString Decode(const QByteArray& bytes, int charset = kvcs::Default) {
    return kv::DecodeText(bytes, charset);
}

QJsonArray Lines(const TkvStringList& lines, int charset) {
    QJsonArray out;
    for (const QByteArray& l : lines)
        out.append(Decode(l, charset));
    return out;
}

QJsonObject DescribeView(TkvView& v) {
    QJsonObject o;
    auto* memo = dynamic_cast<TkvMemoView*>(&v);
    const int charset = memo ? memo->Font.Charset : kvcs::Default;
    o["type"] = v.ObjectType;
    o["class"] = QString::fromLatin1(v.ClassName());
    o["name"] = Decode(v.Name);
    o["left"] = v.Left;
    o["top"] = v.Top;
    o["width"] = v.Width;
    o["height"] = v.Height;
    o["flags"] = v.Flags;
    o["frameTyp"] = v.FrameTyp;
    o["frameWidth"] = double(v.FrameWidth);
    o["frameColor"] = qint64(v.FrameColor);
    o["frameStyle"] = v.FrameStyle;
    o["fillColor"] = qint64(v.FillColor);
    o["gapX"] = v.GapX;
    o["gapY"] = v.GapY;
    o["bandAlign"] = v.BandAlign;
    o["restrictions"] = v.Restrictions;
    o["tag"] = Decode(v.Tag, charset);
    o["memo"] = Lines(v.Memo, charset);
    if (memo) {
        o["font"] = QJsonObject{{"name", Decode(memo->Font.Name, charset)},
                                {"size", memo->Font.Size},
                                {"style", memo->Font.Style},
                                {"color", qint64(memo->Font.Color)},
                                {"charset", memo->Font.Charset}};
        o["alignment"] = memo->Alignment;
        o["lineSpacing"] = memo->LineSpacing;
        o["charSpacing"] = memo->CharSpacing;
    } else if (auto* pic = dynamic_cast<TkvPictureView*>(&v)) {
        o["graphicKind"] = pic->Picture.Kind;
        o["blobType"] = pic->BlobType;
        o["graphicBytes"] = qint64(pic->Picture.Data.size());
    } else if (auto* sub = dynamic_cast<TkvSubReportView*>(&v)) {
        o["subPageIndex"] = sub->SubPageIndex;
    } else if (auto* band = dynamic_cast<TkvBandView*>(&v)) {
        o["bandType"] = band->BandType();
        o["dataSource"] = Decode(band->DataSource());
        o["childBand"] = Decode(band->ChildBand);
        o["columns"] = band->Columns;
        o["columnWidth"] = band->ColumnWidth;
        o["columnGap"] = band->ColumnGap;
        o["newColumnAfter"] = band->NewColumnAfter;
        o["master"] = Decode(band->Master);
    } else if (auto* rich = dynamic_cast<TkvRichView*>(&v)) {
        o["hasText"] = rich->HasText();
        o["rtfBytes"] = qint64(rich->RichText.size());
    }
    return o;
}

QJsonObject DescribePage(const PreparedPageInfo& info) {
    return QJsonObject{
        {"paperSize", info.PaperSize},
        {"paperWidth", info.PaperWidth},
        {"paperHeight", info.PaperHeight},
        {"orientation", info.Orientation},
        {"bin", info.PaperBin},
        {"useMargins", info.UseMargins != 0},
        {"margins", QJsonArray{info.Margins.Left, info.Margins.Top, info.Margins.Right, info.Margins.Bottom}},
    };
}

QString PaperName(int id) {
    if (const TPaperInfo* paper = kv::FindPaper(id); paper && !paper->PaperName.isEmpty())
        return Decode(paper->PaperName).trimmed();
    return QStringLiteral("paper %1").arg(id);
}

QByteArray Summary(const QString& label, TkvEMFPages& store) {
    const TkvPreparedFileHeader& h = store.LoadedHeader;
    QString out;
    out += QStringLiteral("File: %1\n").arg(label);
    if (h.FileLayout == TkvPreparedFileHeader::Layout::Picture)
        out += QStringLiteral("Layout: picture pages\n");
    else
        out += QStringLiteral("Version: %1, compressed: %2\n")
                   .arg(h.Version)
                   .arg(h.CompressedFlag ? "yes" : "no");
    out += QStringLiteral("Printer: %1\n").arg(Decode(h.PrinterName));
    out += QStringLiteral("Pages: %1\n").arg(store.Count());
    for (int i = 0; i < store.Count(); ++i) {
        const PreparedPageInfo& p = store.PageInfo(i);
        out += QStringLiteral("  %1: paper %2 (%3), %4 x %5 mm, %6\n")
                   .arg(i + 1)
                   .arg(p.PaperSize)
                   .arg(PaperName(p.PaperSize))
                   .arg(p.PaperWidth / 10.0)
                   .arg(p.PaperHeight / 10.0)
                   .arg(p.Orientation ? "landscape" : "portrait");
        if (!p.Unreadable.empty()) out += QStringLiteral("     %1\n").arg(QString::fromStdString(p.Unreadable));
    }
    return out.toUtf8();
}

std::string OneLine(const char* what) {
    std::string s = what;
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

CommandResult Describe(const QString& label, bool json, const std::function<void(TkvReport&)>& load) {
    StartLibrary();
    CommandResult r;
    TkvReport report;
    std::string loadError;
    try {
        load(report);
    } catch (const TkvFileError& e) {
        // Nothing was read: no summary of an empty store.
        r.ExitCode = 1;
        r.Error = QByteArray::fromStdString(OneLine(e.what()));
        return r;
    } catch (const std::exception& e) {
        loadError = OneLine(e.what());
    }
    TkvEMFPages& store = report.EMFPages;
    std::string firstPageError;
    int failedPages = 0;
    if (!json) {
        r.Out = Summary(label, store);
        for (int i = 0; i < store.Count(); ++i)
            if (const std::string& why = store.PageInfo(i).Unreadable; !why.empty())
                if (failedPages++ == 0) firstPageError = OneLine(why.c_str());
    } else {
        QJsonArray pages;
        for (int i = 0; i < store.Count(); ++i) {
            QJsonObject page = DescribePage(store.PageInfo(i));
            QJsonArray objects;
            try {
                store.UnpackPage(i);
            } catch (const std::exception& e) {
                page["error"] = QString::fromStdString(OneLine(e.what()));
                if (failedPages++ == 0) firstPageError = OneLine(e.what());
            }
            if (store.PageInfo(i).Page)
                for (const auto& v : store.PageInfo(i).Page->Objects)
                    objects.append(DescribeView(*v));
            store.ReleasePage(i); // one page at a time
            page["objects"] = objects;
            pages.append(page);
        }
        const TkvPreparedFileHeader& h = store.LoadedHeader;
        QJsonObject doc{
            {"version", h.Version},
            {"compressed", h.CompressedFlag},
            {"layout", h.FileLayout == TkvPreparedFileHeader::Layout::Picture ? "picture" : "current"},
            {"printer", Decode(h.PrinterName)},
            {"writerMark", report.WriterMark},
            {"pages", pages},
        };
        if (!loadError.empty()) doc["error"] = QString::fromStdString(loadError);
        r.Out = QJsonDocument(doc).toJson(QJsonDocument::Indented);
    }
    std::string error = loadError;
    if (error.empty() && failedPages > 0) {
        error = firstPageError;
        if (failedPages > 1) error += " (" + std::to_string(failedPages) + " pages could not be read)";
    }
    if (!error.empty()) {
        r.ExitCode = 1;
        r.Error = label.toUtf8() + ": " + QByteArray::fromStdString(error);
    }
    return r;
}

} // namespace

void StartLibrary() {
    kv::StartUp();
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
}

CommandResult Info(const QString& path, bool json) {
    return Describe(path, json, [&](TkvReport& report) { report.LoadPreparedFile(path); });
}

CommandResult InfoFromBytes(const QByteArray& bytes, bool json, const QString& label) {
    return Describe(label, json, [&](TkvReport& report) {
        TkvMemoryStream s(bytes);
        report.EMFPages.LoadFromStream(&s);
    });
}

CommandResult Convert(const QString& in, const QString& out) {
    StartLibrary();
    CommandResult r;
    TkvReport report;
    QString stage = in;
    try {
        report.LoadPreparedFile(in);
        stage = out;
        report.SavePreparedFile(out);
    } catch (const std::exception& e) {
        r.ExitCode = 1;
        r.Error = stage.toUtf8() + ": " + QByteArray::fromStdString(OneLine(e.what()));
    }
    return r;
}

} // namespace kvcli
