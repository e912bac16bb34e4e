#include "cli/export_command.h"

#include "base/page_list.h"
#include "base/text_util.h"
#include "core/report/report.h"
#include "export/export_run.h"
#include "export/rtf_adv_export.h"
#include "export/rtf_export.h"
#include "export/text_export.h"
#include "export/xlsx_export.h"

#include <QFileInfo>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace kvcli {

namespace {

CommandResult Usage(const QString& message) {
    CommandResult r;
    r.ExitCode = 2;
    r.Error = message.toUtf8();
    return r;
}

CommandResult Failure(const QString& subject, const QString& message) {
    CommandResult r;
    r.ExitCode = 1;
    QString line = subject + QStringLiteral(": ") + message;
    line.replace(u'\n', u' ');
    r.Error = line.toUtf8();
    return r;
}

// "Processing page: n from N" on one terminal line.
class TerminalProgress : public TkvExportProgress {
public:
    void PageDone(TkvReport&, int pageNo, int pageCount) override {
        std::fprintf(stderr, "\rProcessing page:  %d from %d", pageNo, pageCount);
        std::fflush(stderr);
        shown_ = true;
    }
    void StartPhase(const QString& message, int) override {
        std::fprintf(stderr, "\r%-40s", qPrintable(message));
        std::fflush(stderr);
        shown_ = true;
    }
    ~TerminalProgress() override {
        if (shown_) std::fputs("\n", stderr);
    }

private:
    bool shown_ = false;
};

struct Options {
    QString in, out, filter, pages;
    double scaleX = 0, scaleY = 0; // 0: the filter's default
    int pageBreaks = -1, pictures = -1;
    bool frames = false, pseudographic = false, oem = false, keepEmptyLines = false, table = false, numbers = false;
};

std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !(v > 0) || v > 100) return std::nullopt;
    return v;
}

} // namespace

bool IsExportTarget(const QString& out) {
    const QString ext = QFileInfo(out).suffix().toLower();
    return ext == u"txt" || ext == u"rtf" || ext == u"xlsx";
}

CommandResult ExportFromArguments(const QStringList& args) {
    Options o;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&](QString& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        QString v;
        if (a == u"--filter") {
            if (!value(o.filter)) return Usage(QStringLiteral("--filter needs rtf or rtf-table"));
        } else if (a == u"--pages") {
            if (!value(o.pages)) return Usage(QStringLiteral("--pages needs a page list such as 1,3,5-12"));
        } else if (a == u"--scale-x" || a == u"--scale-y" || a == u"--scale") {
            std::optional<double> n;
            if (!value(v) || !(n = Number(v))) return Usage(a + QStringLiteral(" needs a number above 0 and at most 100"));
            if (a != u"--scale-y") o.scaleX = *n;
            if (a != u"--scale-x") o.scaleY = *n;
        } else if (a == u"--page-breaks" || a == u"--no-page-breaks") {
            o.pageBreaks = a == u"--page-breaks";
        } else if (a == u"--pictures" || a == u"--no-pictures") {
            o.pictures = a == u"--pictures";
        } else if (a == u"--frames") {
            o.frames = true;
        } else if (a == u"--pseudographic") {
            o.frames = o.pseudographic = true;
        } else if (a == u"--oem") {
            o.oem = true;
        } else if (a == u"--keep-empty-lines") {
            o.keepEmptyLines = true;
        } else if (a == u"--numbers") {
            o.numbers = true;
        } else if (a == u"--table") {
            o.table = true;
        } else if (a.startsWith(u"--")) {
            return Usage(QStringLiteral("unknown option %1 for convert").arg(a));
        } else {
            files << a;
        }
    }
    if (files.size() != 2) return Usage(QStringLiteral("convert needs IN.kvp and OUT"));
    o.in = files[0];
    o.out = files[1];
    const QString ext = QFileInfo(o.out).suffix().toLower();
    if (!o.filter.isEmpty() && ext != u"rtf") return Usage(QStringLiteral("--filter applies to .rtf targets only"));
    if (o.filter.isEmpty() && ext == u"rtf") o.filter = QStringLiteral("rtf-table");
    if (ext == u"rtf" && o.filter != u"rtf" && o.filter != u"rtf-table")
        return Usage(QStringLiteral("--filter must be rtf or rtf-table"));

    StartLibrary();
    TkvReport report;
    try {
        report.LoadPreparedFile(o.in);
    } catch (const std::exception& e) {
        return Failure(o.in, QString::fromUtf8(e.what()));
    }
    const int count = report.EMFPages.Count();
    std::vector<int> pages;
    if (!o.pages.isEmpty()) {
        QString error;
        const auto list = TkvPageList::Parse(o.pages, count, &error);
        if (!list) return Usage(QStringLiteral("--pages: ") + error);
        if (list->SelectsNone()) return Usage(QStringLiteral("--pages selects no page of the %1 in the report").arg(count));
        pages = list->Pages();
    }

    std::unique_ptr<TkvExportFilter> filter;
    if (ext == u"txt") {
        auto f = std::make_unique<TkvTextExport>();
        if (o.scaleX > 0) f->ScaleX = o.scaleX;
        if (o.scaleY > 0) f->ScaleY = o.scaleY;
        if (o.pageBreaks >= 0) f->PageBreaks = o.pageBreaks;
        f->ExportFrames = o.frames;
        f->UsePseudographic = o.pseudographic;
        f->ConvertToOEM = o.oem;
        f->KillEmptyLines = !o.keepEmptyLines;
        filter = std::move(f);
    } else if (ext == u"xlsx") {
        auto f = std::make_unique<TkvXlsxExport>();
        if (o.scaleX > 0) f->ScaleX = o.scaleX;
        if (o.scaleY > 0) f->ScaleY = o.scaleY;
        if (o.pageBreaks >= 0) f->PageBreaks = o.pageBreaks;
        if (o.pictures >= 0) f->ExportPictures = o.pictures;
        f->ConvertNumbers = o.numbers;
        filter = std::move(f);
    } else if (o.filter == u"rtf") {
        auto f = std::make_unique<TkvRTFExport>();
        if (o.scaleX > 0) f->ScaleX = o.scaleX * 1.3;
        if (o.scaleY > 0) f->ScaleY = o.scaleY;
        if (o.pageBreaks >= 0) f->PageBreaks = o.pageBreaks;
        f->ExportBitmaps = o.pictures != 0;
        f->ConvertToTable = o.table;
        f->KillEmptyLines = !o.keepEmptyLines;
        filter = std::move(f);
    } else if (o.filter == u"rtf-table") {
        auto f = std::make_unique<TkvRtfAdvExport>();
        if (o.scaleX > 0) f->ScaleX = o.scaleX;
        if (o.scaleY > 0) f->ScaleY = o.scaleY;
        if (o.pageBreaks >= 0) f->PageBreaks = o.pageBreaks;
        if (o.pictures >= 0) f->ExportPictures = o.pictures;
        filter = std::move(f);
    } else {
        return Usage(QStringLiteral("convert cannot write %1 files").arg(ext));
    }
    filter->ShowDialog = false;
    filter->PageList = pages;

    TerminalProgress terminal;
    const bool tty = isatty(fileno(stderr));
    const TkvExportResult result = kv::ExportWithFilter(report, *filter, o.out, tty ? &terminal : nullptr);
    if (!result.Ok()) return Failure(o.out, result.Message.isEmpty() ? QStringLiteral("not written") : result.Message);
    return {};
}

} // namespace kvcli
