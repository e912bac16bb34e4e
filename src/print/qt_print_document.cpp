#include "print/qt_print_document.h"

#include "core/paper/printer.h"
#include "print/qt_printer_device.h"
#include "render/painter_canvas.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cups/cups.h>

namespace {

kv::PrintDocumentFactory& Factory() {
    static kv::PrintDocumentFactory factory;
    return factory;
}

std::unique_ptr<TkvPrintDocument> DefaultDocument(TkvPrinter& printer) {
    if (printer.VirtualPrinterSelected()) return nullptr;
    auto* device = dynamic_cast<TkvQtPrinterDevice*>(printer.PlatformPrinter);
    if (!device || device->QueueName(printer.PrinterIndex).isEmpty()) return nullptr;
    return std::make_unique<TkvQtPrintDocument>(printer, *device);
}

} // namespace

namespace kv {

std::unique_ptr<TkvPrintDocument> CreatePrintDocument(TkvPrinter& printer) {
    return Factory() ? Factory()(printer) : DefaultDocument(printer);
}

void SetPrintDocumentFactory(PrintDocumentFactory factory) {
    Factory() = std::move(factory);
}

} // namespace kv

TkvQtPrintDocument::TkvQtPrintDocument(TkvPrinter& printer, TkvQtPrinterDevice& device)
    : printer_(printer), device_(device), queue_(device.QueueName(printer.PrinterIndex)) {}

TkvQtPrintDocument::~TkvQtPrintDocument() {
    if (open_) AbortDoc();
}

void TkvQtPrintDocument::BeginDoc() {
    if (open_) AbortDoc();
    const std::optional<TkvDeviceSettings>& settings = printer_.DeviceMode();
    if (!settings)
        throw TkvPrintError(QStringLiteral("The printer \"%1\" cannot be used.").arg(queue_).toStdString());
    // The queue's own printer says where its unprintable margins are for this paper.
    QPrinter queuePrinter(QPrinterInfo::printerInfo(queue_), QPrinter::HighResolution);
    if (!queuePrinter.isValid() || !kv::ConfigureQPrinter(queuePrinter, *settings))
        throw TkvPrintError(QStringLiteral("The printer \"%1\" did not accept the paper of the page.")
                                .arg(queue_)
                                .toStdString());
    layout_ = queuePrinter.pageLayout();
    resolution_ = queuePrinter.resolution();
    open_ = true;
    device_.SetPrinting(true);
}

TkvCanvas& TkvQtPrintDocument::StartPage() {
    if (!open_) throw TkvPrintError("No print document is open.");
    const auto fail = [this](const char* what) {
        Release();
        return TkvPrintError(
            QStringLiteral("The printer \"%1\" %2.").arg(queue_, QLatin1String(what)).toStdString());
    };
    if (!painter_) {
        file_ =
            std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("kv-print-XXXXXX.pdf")));
        if (!file_->open()) throw fail("could not begin the print document (no temporary file)");
        file_->close();
        writer_ = std::make_unique<QPdfWriter>(file_->fileName());
        writer_->setCreator(QStringLiteral("KV Viewer"));
        writer_->setTitle(title_);
        writer_->setResolution(resolution_);
        if (!writer_->setPageLayout(layout_)) throw fail("could not begin the print document");
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(writer_.get())) throw fail("could not begin the print document");
    } else {
        canvas_.reset();
        if (!writer_->newPage()) throw fail("could not start a new sheet");
    }
    canvas_ =
        std::make_unique<TkvPainterCanvas>(*painter_, TkvPainterCanvas::Options{resolution_, resolution_, 1});
    return *canvas_;
}

void TkvQtPrintDocument::EndDoc() {
    if (!open_) return;
    open_ = false;
    device_.SetPrinting(false);
    if (!painter_) return; // no sheet: nothing to submit
    canvas_.reset();
    const bool written = painter_->end();
    const QString path = file_->fileName();
    if (!written) {
        Release();
        throw TkvPrintError(
            QStringLiteral("The document for \"%1\" could not be written.").arg(queue_).toStdString());
    }
    cups_option_t* options = nullptr;
    int count = 0;
    if (copies_ > 1) {
        count = cupsAddOption("copies", QByteArray::number(copies_).constData(), count, &options);
        count = cupsAddOption("collate", "false", count, &options);
        count = cupsAddOption("multiple-document-handling", "separate-documents-uncollated-copies", count,
                              &options);
    }
    const QString mediaKey = layout_.pageSize().key();
    if (layout_.pageSize().id() != QPageSize::Custom && !mediaKey.isEmpty())
        count = cupsAddOption("PageSize", mediaKey.toUtf8().constData(), count, &options);
    const QByteArray title = title_.toUtf8();
    lastJobId_ = cupsPrintFile(queue_.toLocal8Bit().constData(), QFile::encodeName(path).constData(),
                               title.constData(), count, options);
    cupsFreeOptions(count, options);
    Release();
    if (lastJobId_ <= 0)
        throw TkvPrintError(QStringLiteral("The printer \"%1\" did not accept the job: %2")
                                .arg(queue_, QString::fromUtf8(cupsLastErrorString()))
                                .toStdString());
}

void TkvQtPrintDocument::AbortDoc() {
    if (!open_) return;
    open_ = false;
    device_.SetPrinting(false);
    if (painter_ && painter_->isActive()) {
        canvas_.reset();
        painter_->end();
    }
    Release();
}

void TkvQtPrintDocument::Release() {
    canvas_.reset();
    if (painter_ && painter_->isActive()) painter_->end();
    painter_.reset();
    writer_.reset();
    file_.reset(); // removes the temporary file
}
