#pragma once
// The platform side of a print job: one print document on the shared printer's selected printer,
// sheet by sheet. The job (print_job.h) only sees this interface; the Qt backend sends documents to
// the spooler, tests install a recording one.
//
// Documents and sheets begin lazily: BeginDoc only opens the document, the platform document starts
// with the first StartPage, and EndDoc of a document that never started a sheet submits nothing (a
// spooler would otherwise print a blank sheet for it).

#include "base/error.h"

#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

class TkvCanvas;
class TkvPrinter;

// A printer that refused to begin, turn a sheet or finish a document; the message is one sentence
// for the user.
class TkvPrintError : public TkvError {
public:
    using TkvError::TkvError;
};

class TkvPrintDocument {
public:
    virtual ~TkvPrintDocument() = default;

    // Whether the printer makes copies itself (the job then sends each sheet once).
    virtual bool CanCopy() const = 0;
    // Copies the printer makes of each sheet of the documents begun from now on.
    virtual int DeviceCopies() const = 0;
    virtual void SetDeviceCopies(int copies) = 0;
    // The document title the spooler shows.
    virtual void SetTitle(const QString& title) = 0;

    // Opens a document with the printer's current settings (paper, orientation, device copies);
    // paper changes after this do not reach it.
    virtual void BeginDoc() = 0;
    // Starts the next sheet (the first one starts the platform document) and returns the canvas to
    // draw it on: printer pixels, the origin at the printable area's top left corner. The canvas is
    // valid until the next StartPage, EndDoc or AbortDoc. Raises TkvPrintError.
    virtual TkvCanvas& StartPage() = 0;
    // Completes the document; raises TkvPrintError when the spooler did not take it.
    virtual void EndDoc() = 0;
    // Drops the document; sheets already handed to the spooler may still come out.
    virtual void AbortDoc() = 0;
    // Between BeginDoc and EndDoc / AbortDoc.
    virtual bool DocOpen() const = 0;
};

namespace kv {

// Makes the document for the printer selected in `printer`, or null when that printer cannot print
// (the virtual printer, a printer of no installed backend).
using PrintDocumentFactory = std::function<std::unique_ptr<TkvPrintDocument>(TkvPrinter& printer)>;

// The installed factory; the default one prints through Qt on printers of the Qt printer device.
std::unique_ptr<TkvPrintDocument> CreatePrintDocument(TkvPrinter& printer);
// Replaces the factory (tests); an empty function restores the default.
void SetPrintDocumentFactory(PrintDocumentFactory factory);

} // namespace kv
