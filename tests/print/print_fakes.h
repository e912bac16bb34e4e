#pragma once
// A recording print backend over the scripted printer device: every document, sheet, paper and
// device copy count the job asks for, in order, so that tests can pin the job's loops without a
// spooler.

#include "tools/demo_report.h"
#include "cli/prepared_info.h"
#include "core/paper/printer.h"
#include "core/printer_fake_device.h"
#include "core/report/report.h"
#include "print/print_document.h"
#include "render/recording_canvas.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

struct PrintLog {
    QStringList Events;    // "begin copies=N", "end", "abort"; "sheet <paper>/<orientation>"
    QList<int> Pages;      // 1-based page numbers in the order they were drawn
    QStringList SheetText; // the text drawn on each sheet
    bool CanCopy = false;
    bool FailOnStart = false;
};

class FakePrintDocument : public TkvPrintDocument {
public:
    FakePrintDocument(TkvPrinter& printer, PrintLog& log) : printer_(printer), log_(log) {}
    bool CanCopy() const override { return log_.CanCopy; }
    int DeviceCopies() const override { return copies_; }
    void SetDeviceCopies(int copies) override { copies_ = copies; }
    void SetTitle(const QString& title) override { title_ = title; }
    void BeginDoc() override {
        open_ = true;
        started_ = false;
    }
    TkvCanvas& StartPage() override {
        if (log_.FailOnStart) throw TkvPrintError("The printer \"fake\" could not begin the print document.");
        if (!started_) log_.Events << QStringLiteral("begin copies=%1").arg(copies_);
        started_ = true;
        FinishSheet();
        log_.Events << QStringLiteral("sheet %1/%2").arg(printer_.PaperSize).arg(printer_.Orientation);
        canvas_ = std::make_unique<TkvRecordingCanvas>(60, 60, true);
        return *canvas_;
    }
    void EndDoc() override {
        FinishSheet();
        if (started_) log_.Events << "end";
        open_ = false;
    }
    void AbortDoc() override {
        FinishSheet();
        if (started_) log_.Events << "abort";
        open_ = false;
    }
    bool DocOpen() const override { return open_; }

private:
    void FinishSheet() {
        if (!canvas_) return;
        log_.SheetText << canvas_->Dump().filter(QRegularExpression(QStringLiteral("^text "))).join(u'\n');
        canvas_.reset();
    }

    TkvPrinter& printer_;
    PrintLog& log_;
    int copies_ = 1;
    QString title_;
    bool open_ = false, started_ = false;
    std::unique_ptr<TkvRecordingCanvas> canvas_;
};

// Installs two scripted printers ("Office", "Label") and the recording backend; the demo report's
// four pages (the last one landscape) are in `report`.
class PrintJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        kvcli::StartLibrary();
        auto device = std::make_unique<FakePrinterDevice>();
        FakePrinter office = FakePrinterDevice::OfficePrinter("Office");
        office.DpiX = office.DpiY = 60; // small sheets keep the tests fast
        office.MarginLeft = office.MarginTop = office.MarginRight = office.MarginBottom = 10;
        FakePrinter label = office;
        label.Name = "Label";
        device->Printers = {office, label};
        Device = device.get();
        kv::InstallPrinterDevice(std::move(device));
        kv::SetPrintDocumentFactory([this](TkvPrinter& printer) -> std::unique_ptr<TkvPrintDocument> {
            if (printer.VirtualPrinterSelected()) return nullptr;
            return std::make_unique<FakePrintDocument>(printer, Log);
        });
        kvdemo::BuildDemoReport(Report);
        Report.ShowProgress = false;
        Report.OnProgress = [this](int pageNo) {
            Log.Pages << pageNo;
            if (CancelAfter > 0 && Log.Pages.size() == CancelAfter) Report.CancelRequested = true;
        };
    }
    void TearDown() override {
        kv::SetPrintDocumentFactory(nullptr);
        kv::InstallPrinterDevice(nullptr);
    }

    FakePrinterDevice* Device = nullptr;
    PrintLog Log;
    TkvReport Report;
    int CancelAfter = 0;
};
