#include "cli/print_command.h"

#include "base/codepage.h"
#include "base/page_list.h"
#include "core/paper/printer.h"
#include "core/report/report.h"
#include "print/print_job.h"
#include "print/qt_printer_device.h"

#include <QFileInfo>
#include <optional>

namespace kvcli {

namespace {

constexpr int MaxCopies = 9999;

CommandResult Failure(const QString& message, int code = 1) {
    CommandResult r;
    r.ExitCode = code;
    r.Error = QString(message).replace(u'\n', u' ').toUtf8();
    return r;
}

// The printer layer over Qt's printers, once per process.
TkvPrinter& Printers() {
    static bool installed = false;
    if (!installed) {
        kv::InstallQtPrinterBackend();
        installed = true;
    }
    return kv::SharedPrinter();
}

QString PrinterName(const TkvPrinter& printer, int index) {
    return kv::DecodeText(printer.Printers.value(index), kvcs::Default);
}

} // namespace

CommandResult ListPrinters() {
    StartLibrary();
    TkvPrinter& printer = Printers();
    CommandResult r;
    for (int i = 0; i < printer.Printers.size(); ++i) {
        QString line = (i == printer.PrinterIndex ? QStringLiteral("* ") : QStringLiteral("  ")) +
                       PrinterName(printer, i);
        if (i == printer.VirtualPrinterIndex) line += QStringLiteral(" (cannot print)");
        r.Out += line.toUtf8() + '\n';
    }
    return r;
}

CommandResult PrintFromArguments(const QStringList& args) {
    const auto usage = [](const QString& why) { return Failure(QStringLiteral("print: ") + why, 2); };
    QString in, printerName, title;
    std::optional<QString> pages;
    TkvPrintRequest request;
    std::optional<bool> collate;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        const auto value = [&]() { return args[++i]; };
        if (a == u"--printer" || a == u"--pages" || a == u"--copies" || a == u"--parity" || a == u"--title") {
            if (!hasValue) return usage(QStringLiteral("%1 needs a value").arg(a));
            const QString v = value();
            if (a == u"--printer") {
                printerName = v;
            } else if (a == u"--pages") {
                pages = v;
            } else if (a == u"--title") {
                title = v;
            } else if (a == u"--copies") {
                bool ok = false;
                request.Copies = v.toInt(&ok);
                if (!ok || request.Copies < 1 || request.Copies > MaxCopies)
                    return usage(QStringLiteral("--copies needs a number from 1 to %1").arg(MaxCopies));
            } else {
                const QStringList parities{QStringLiteral("all"), QStringLiteral("odd"),
                                           QStringLiteral("even")};
                const qsizetype p = parities.indexOf(v);
                if (p < 0) return usage(QStringLiteral("--parity must be all, odd or even"));
                request.PageParity = static_cast<uint8_t>(p);
            }
        } else if (a == u"--collate" || a == u"--no-collate") {
            collate = a == u"--collate";
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return usage(QStringLiteral("unknown option %1").arg(a));
        } else if (in.isEmpty()) {
            in = a;
        } else {
            return usage(QStringLiteral("more than one input file"));
        }
    }
    if (in.isEmpty()) return usage(QStringLiteral("a prepared report file is required"));

    StartLibrary();
    TkvPrinter& printer = Printers();
    TkvReport report;
    try {
        report.LoadPreparedFile(in);
    } catch (const std::exception& e) {
        return Failure(in + QStringLiteral(": ") + QString::fromUtf8(e.what()).trimmed());
    }
    const int count = report.EMFPages.Count();
    if (count == 0) return Failure(in + QStringLiteral(": the report has no pages"));
    if (pages) {
        QString error;
        if (!TkvPageList::Parse(*pages, count, &error)) return usage(error);
        request.PageList = *pages;
    }
    request.Collate = collate.value_or(report.DefaultCollate);
    if (!printerName.isEmpty()) {
        const int index = printer.IndexOfPrinter(kv::EncodeText(printerName, kvcs::Default));
        if (index < 0)
            return Failure(
                QStringLiteral("there is no printer \"%1\" (kvtool printers lists them)").arg(printerName));
        printer.SetPrinterIndex(index);
        if (printer.PrinterIndex != index)
            return Failure(QStringLiteral("the printer \"%1\" cannot be used").arg(printerName));
        report.PrinterName = printer.Printers.value(index);
    } else if (printer.VirtualPrinterSelected() && printer.PlatformPrinter) {
        // A report prepared where no printer existed names the virtual printer; without a choice on
        // the command line the system's default printer prints it.
        const int fallback = printer.PlatformPrinter->DefaultPrinter();
        if (fallback >= 0) printer.SetPrinterIndex(fallback);
    }
    report.Title = kv::EncodeText(title.isEmpty() ? QFileInfo(in).completeBaseName() : title, kvcs::Default);
    report.ShowProgress = false;

    const TkvPrintResult result = kv::PrintPreparedPages(report, request);
    if (!result.Ok()) return Failure(result.Message);
    CommandResult r;
    r.Out = QStringLiteral("printed %1 page(s) in %2 document(s) on \"%3\"\n")
                .arg(result.Sheets)
                .arg(result.Documents)
                .arg(PrinterName(printer, printer.PrinterIndex))
                .toUtf8();
    if (!result.Message.isEmpty()) r.Error = result.Message.toUtf8(); // pages printed in part
    return r;
}

} // namespace kvcli
