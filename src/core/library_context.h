#pragma once
// The library's state as explicit objects. A TkvLibraryContext holds the current objects of the
// load, draw, build or export in progress (the names the library has always used: CurReport,
// CurView, CurPage, CurBand, ...), its flags, and the services a program installs once (the
// compressor, the separate preview, the rich text hooks, the count data set, measuring overrides).
//
// One context is active at a time on the user-interface thread; kv::Library() is it. A program
// uses the process's context; a test, a build or an export that must not see or leave behind
// another's state makes its own active with TkvLibraryScope, which puts the previous one back when
// the scope ends, whether it ends normally, by an exception or by a failed test assertion.
// TkvCurrentObjectsScope does the same for the current objects and flags alone, keeping the
// installed services.

#include "core/report/report_designer_host.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

class TkvBand;
class TkvCanvas;
class TkvComponent;
class TkvCompressor;
class TkvObject;
class TkvPage;
class TkvReport;
class TkvRichView;
class TkvView;

// Opens a property's editor dialog in the designer.
using TkvEditorProc = std::function<void(TkvObject*)>;

// The designer's editors of object properties, installed by the designer; empty without one (the
// inspector then offers no editor).
struct TkvEditorHooks {
    TkvEditorProc Tag, Memo, Restrictions;        // every view
    TkvEditorProc Font, DisplayFormat, Highlight; // text objects
    TkvEditorProc Picture, PictureField;          // picture objects
    TkvEditorProc RichField;                      // rich text objects
    TkvEditorProc BandDataSource, CrossTabSource; // bands
    TkvEditorProc PageScript;                     // pages ("OnBeforePrint", "OnActivate")
};

// What the current load, draw, build or export works on, and its flags.
struct TkvCurrentObjects {
    TkvReport* CurReport = nullptr;
    TkvReport* MasterReport = nullptr;
    TkvView* CurView = nullptr;
    TkvBand* CurBand = nullptr;
    TkvPage* CurPage = nullptr;
    // The designer's current page (set by the designer); band alignment consults it while designing.
    TkvPage* DesignerPage = nullptr;

    // Failures during a build, collected and shown once.
    bool ErrorFlag = false;
    QByteArray ErrorText;
    uint32_t NextViewID = 0;

    // 0 while designing, 1 while a report is built, previewed or printed.
    uint8_t DocumentMode = 0;
    // 1 during the first pass of a two-pass build: backgrounds and frames paint nothing.
    uint8_t FirstPassActive = 0;
};

class TkvLibraryContext {
public:
    TkvLibraryContext();
    ~TkvLibraryContext();
    TkvLibraryContext(const TkvLibraryContext&) = delete;
    TkvLibraryContext& operator=(const TkvLibraryContext&) = delete;

    TkvCurrentObjects Current;

    // --- services, installed by the program (src/app), the designer or a test
    TkvEditorHooks Editors;
    // Compression of prepared pages; null means none (pages are written uncompressed).
    std::unique_ptr<TkvCompressor> Compressor;
    // Shows a report's prepared pages in the separate preview window.
    std::function<void(TkvReport&)> SeparatePreview;
    // Rich text objects while built: the text of an [expression], and the before-print step.
    std::function<QString(TkvRichView&, const QString& expression)> RichExpressionToText;
    std::function<void(TkvRichView&)> RichBeforePrint;
    // Opens the rich text editor on an object; true when the text changed.
    std::function<bool(TkvRichView&)> RichTextEditor;
    // Makes a data set of `count` empty records for a band whose data source is a number.
    std::function<std::unique_ptr<TkvComponent>(int32_t count)> CountDatasetFactory;
    // Whether the dialog form already has a component of this name (unique names of controls).
    std::function<bool(const QByteArray&)> DialogFormHasComponent;
    // Measuring canvases used instead of the library's measuring canvas (borrowed): text layout,
    // and the band's caption.
    TkvCanvas* TextMeasuringCanvas = nullptr;
    TkvCanvas* BandMeasuringCanvas = nullptr;

    // --- the designer
    // Makes a designer window (installed by the designer library); empty without one.
    TkvDesignerFactory DesignerFactory;
    // The open designer (borrowed), null when none is open.
    TkvReportDesignerHost* CurDesigner = nullptr;
    // Builds the report being designed and shows its pages (installed by the program, which knows
    // how reports are prepared); false when the build failed or was stopped.
    std::function<bool(TkvReport&)> DesignerPreview;
};

namespace kv {
// The active context.
TkvLibraryContext& Library();
} // namespace kv

// Makes `context` the active one until the scope ends, then the one that was active before.
class TkvLibraryScope {
public:
    explicit TkvLibraryScope(TkvLibraryContext& context);
    ~TkvLibraryScope();
    TkvLibraryScope(const TkvLibraryScope&) = delete;
    TkvLibraryScope& operator=(const TkvLibraryScope&) = delete;

private:
    TkvLibraryContext* previous_;
};

// Gives the active context fresh current objects and flags (or `start`) until the scope ends, then
// puts back those it had: a build, export or draw started here leaves nothing behind.
class TkvCurrentObjectsScope {
public:
    explicit TkvCurrentObjectsScope(TkvCurrentObjects start = {});
    ~TkvCurrentObjectsScope();
    TkvCurrentObjectsScope(const TkvCurrentObjectsScope&) = delete;
    TkvCurrentObjectsScope& operator=(const TkvCurrentObjectsScope&) = delete;

private:
    TkvLibraryContext& context_;
    TkvCurrentObjects saved_;
};

// Gives one setting (a hook, an override, a current object) a value until the scope ends, then
// the value it had: `const TkvSetForScope measuring(kv::Library().TextMeasuringCanvas, &canvas);`.
template <class T> class TkvSetForScope {
public:
    TkvSetForScope(T& setting, T value)
        : setting_(setting), saved_(std::exchange(setting, std::move(value))) {}
    ~TkvSetForScope() { setting_ = std::move(saved_); }
    TkvSetForScope(const TkvSetForScope&) = delete;
    TkvSetForScope& operator=(const TkvSetForScope&) = delete;

private:
    T& setting_;
    T saved_;
};
