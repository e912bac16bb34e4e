#pragma once
// Print documents on CUPS queues. Each document is drawn with Qt into a PDF laid out exactly as the
// queue's Qt printer lays out the page (paper, orientation, unprintable margins, resolution), and is
// handed to CUPS as one job when it ends: an aborted document never reaches the spooler, and a
// document without sheets is never submitted. CUPS makes the device copies (uncollated).

#include "print/print_document.h"

#include <QPageLayout>
#include <QString>
#include <algorithm>
#include <memory>

class QPainter;
class QPdfWriter;
class QTemporaryFile;
class TkvPainterCanvas;
class TkvQtPrinterDevice;

class TkvQtPrintDocument : public TkvPrintDocument {
public:
    // `printer` must have a printer of `device` selected; both are borrowed.
    TkvQtPrintDocument(TkvPrinter& printer, TkvQtPrinterDevice& device);
    ~TkvQtPrintDocument() override;

    bool CanCopy() const override { return true; }
    int DeviceCopies() const override { return copies_; }
    void SetDeviceCopies(int copies) override { copies_ = std::max(1, copies); }
    void SetTitle(const QString& title) override { title_ = title; }
    void BeginDoc() override;
    TkvCanvas& StartPage() override;
    void EndDoc() override;
    void AbortDoc() override;
    bool DocOpen() const override { return open_; }

    // The CUPS job id of the last document submitted, 0 before.
    int LastJobId() const { return lastJobId_; }

private:
    void Release();

    TkvPrinter& printer_;
    TkvQtPrinterDevice& device_;
    QString queue_;
    QString title_;
    int copies_ = 1;
    bool open_ = false;
    int lastJobId_ = 0;
    QPageLayout layout_;
    int resolution_ = 0;
    std::unique_ptr<QTemporaryFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TkvPainterCanvas> canvas_;
};
