#pragma once
// The command interface between the main window and a document window. The main window knows
// document windows only through it.

#include <QString>
#include <cstdint>
#include <functional>

// Capability bits of a document window.
namespace kvcap {
constexpr uint8_t Load = 0x01;
constexpr uint8_t Save = 0x02;
constexpr uint8_t Find = 0x04;
constexpr uint8_t Print = 0x08;
constexpr uint8_t Edit = 0x10;
constexpr uint8_t Close = 0x20;
} // namespace kvcap

class IViewerDocument {
public:
    virtual ~IViewerDocument() = default;
    virtual uint8_t Capabilities() const = 0;
    virtual void Prepare() = 0;
    // Runs the open dialog; false when the user cancels.
    virtual bool OpenWithDialog() = 0;
    // Loads the named file; false when the load failed (the window still shows what was read).
    virtual bool OpenFile(const QString& fileName) = 0;
    virtual bool SaveAs() = 0;
    // Asks for a text and searches the pages for it.
    virtual void Find() = 0;
    // Goes on to the next match of the last search; asks for the text when there was none.
    virtual void FindNext() { Find(); }
    virtual void Print() = 0;
    virtual void Edit() = 0;
    // Releases the window once pending events are handled.
    virtual void Close() = 0;

    // Navigation and zoom for the main window's status bar and view commands. A document without
    // pages reports 0 pages and ignores the rest.
    virtual int PageCount() const { return 0; }
    virtual int CurrentPage() const { return 0; }
    virtual void GoToPage(int /*page*/) {}
    // Zoom in percent of the page's natural size (0 without pages).
    virtual double ZoomPercent() const { return 0; }
    virtual void SetZoomPercent(double /*percent*/) {}
    // Zoom steps: > 0 in, < 0 out.
    virtual void ZoomBySteps(int /*steps*/) {}
    // 1 page width, 2 whole page, 3 two pages.
    virtual void FitZoom(int /*mode*/) {}
    // The full name of the file shown, or empty.
    virtual QString FileName() const { return {}; }
    // Why the last open failed (one sentence naming the file), or empty.
    virtual QString LastError() const { return {}; }
    // Whether the last open failed because the user stopped it (nothing to report).
    virtual bool OpenCancelled() const { return false; }
    // Where the document shows short messages (a page that could not be drawn); the main window sets it.
    virtual void SetMessageSink(std::function<void(const QString&)> /*sink*/) {}
};
