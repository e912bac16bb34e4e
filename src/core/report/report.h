#pragma once
// The report component: design pages, the prepared pages store, document information, the report's
// settings and the application's events.

#include "core/store/emf_pages.h"
#include "core/report/page.h"
#include "core/report/preview_host.h"
#include "core/template/data_dictionary.h"
#include "core/template/template_stream.h"
#include "base/expression_evaluator.h"
#include "base/variant.h"

#include <QDateTime>
#include <functional>
#include <memory>
#include <vector>

class TkvComponent;
class TkvReport;
class TkvBand;

// How an edit of one prepared page ended (TkvReport::EditPreparedPage).
struct TkvEditPageResult {
    enum class Outcome {
        NoDesigner, // no designer is registered: nothing happened
        Unchanged,  // the designer closed without a change
        Saved,      // changed, and the answer to "Save changes?" was Yes: the page holds the changes
        Dropped,    // changed, and the answer was No: the page is as it was
        Failed,     // a failure inside; the page and the report are as they were (Message says why)
    };
    Outcome Result = Outcome::NoDesigner;
    QString Message;
};

// The design pages of a report, in order; owns them.
class TkvPages {
public:
    explicit TkvPages(TkvReport* report) : Report(report) {}

    int Count() const { return static_cast<int>(List.size()); }
    TkvPage* Page(int i) const { return List[static_cast<size_t>(i)].get(); }
    void Clear() { List.clear(); }
    // Appends a report page with the printer's default paper (width and height 0, default bin,
    // portrait) and returns its index.
    int Add();
    void Delete(int i);
    void Move(int from, int to);

    // Container access for code that fills or walks the list directly.
    void push_back(std::unique_ptr<TkvPage> page) { List.push_back(std::move(page)); }
    std::unique_ptr<TkvPage>& operator[](size_t i) { return List[i]; }
    const std::unique_ptr<TkvPage>& operator[](size_t i) const { return List[i]; }
    size_t size() const { return List.size(); }
    bool empty() const { return List.empty(); }
    auto begin() { return List.begin(); }
    auto end() { return List.end(); }
    auto begin() const { return List.begin(); }
    auto end() const { return List.end(); }

    TkvReport* Report;
    std::vector<std::unique_ptr<TkvPage>> List;
};

enum class TkvPreviewZoom : uint8_t { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };
enum class TkvReportType { rtSimple, rtMultiple };
namespace kvpb {
// Preview toolbar buttons (bits of PreviewButtons).
constexpr uint16_t Zoom = 0x01, Load = 0x02, Save = 0x04, Print = 0x08, Find = 0x10, Help = 0x20, Exit = 0x40,
                   PageSetup = 0x80;
} // namespace kvpb

class TkvReport : public TkvObject {
public:
    TkvReport();
    ~TkvReport() override;
    const char* ClassName() const override { return "TkvReport"; }

    // The first view with that name on any design page, in page order.
    TkvView* FindViewByName(const QByteArray& name) const;
    TkvPage* Page(int i) const { return Pages.Page(i); }
    int PageCount() const { return Pages.Count(); }

    // Resets the document information, then reads the file into the prepared pages store; clears
    // Rebuildable. Raises TkvFileError when the file cannot be opened and TkvPreparedFileError when
    // it cannot be read; the pages read before the failure stay in the store.
    void LoadPreparedFile(const QString& fileName);
    // Writes the store to a temporary file beside the target and renames it over the target only
    // when complete; raises TkvFileError (the old file is then untouched).
    void SavePreparedFile(const QString& fileName);

    // The template stream (see core/template/template_stream.h for what each failure leaves).
    TkvTemplateLoadResult LoadFromStream(TkvStream& stream, const TkvTemplateLoadOptions& options = {});
    void SaveToStream(TkvStream& stream);
    // False when the file does not exist, cannot be read or is not a template it can load (the
    // result, when given, says why); sets TemplateFileName when loaded. Saving writes a temporary
    // file and renames it over the target when complete; raises TkvFileError or TkvTemplateError.
    bool LoadFromFile(const QString& fileName, TkvTemplateLoadResult* result = nullptr,
                      const TkvTemplateLoadOptions& options = {});
    void SaveToFile(const QString& fileName);
    // The in-memory copy kept while a prepared page is edited or the report is built.
    QByteArray SaveToMemory();
    TkvTemplateLoadResult LoadFromMemory(const QByteArray& bytes);

    // Shows the prepared pages: in the embedded preview when one is set, otherwise through
    // the library context's SeparatePreview (a preview window); nothing without pages.
    void ShowPreparedPages();
    // The preview takes the store while it shows the pages (the report keeps an empty one) and
    // gives it back before the report works on them.
    std::unique_ptr<TkvEMFPages> TakeEMFPages();
    void SetEMFPages(std::unique_ptr<TkvEMFPages> pages);

    // The edit cycle of one prepared page (index from 0): the report keeps its template in memory,
    // the page is unpacked and becomes the only design page, a designer made by the library
    // context's DesignerFactory (prepared-page mode) runs modally on it, and when it reports a
    // change `confirmSave` ("Save changes?", true for Yes) decides whether the views are packed
    // back into the store. Whatever happens, the page goes back to its record, is released (the
    // next draw unpacks what is stored, so dropped changes are not shown) and the report is loaded
    // again from memory. Failures are caught and returned, never leave a half-written page.
    TkvEditPageResult EditPreparedPage(int index, const std::function<bool()>& confirmSave);
    // Clears the design pages, DoublePassReport and the document information; design mode.
    void Clear();
    void ResetDocumentInfo();
    // Selects that printer of the shared printer (unless KeepCurrentPrinter) and remembers the name.
    void SelectPrinterByName(const QByteArray& name);

    // Published properties.
    TkvComponent* Dataset = nullptr; // the main data source (a dataset of the engine), owned by the application
    int32_t DefaultCopies = 1;
    bool DefaultCollate = true;
    bool GrayedButtons = false;
    TkvPreviewZoom InitialZoom = TkvPreviewZoom::pzDefault;
    bool MDIPreview = false;
    bool ModalPreview = true;
    bool ModifyPrepared = true;
    TkvPreviewHost* Preview = nullptr; // the embedded preview control, owned by its window
    uint16_t PreviewButtons =
        kvpb::Zoom | kvpb::Load | kvpb::Save | kvpb::Print | kvpb::Find | kvpb::Help | kvpb::Exit;
    bool PrintIfEmpty = true;
    TkvReportType ReportType = TkvReportType::rtSimple;
    bool ShowPrintDialog = true;
    bool ShowProgress = true;
    bool StoreInDFM = false;
    QByteArray Title;
    bool RebuildPrinter = false;
    bool UseDefaultDataSetName = false;

    // Events; empty when not assigned.
    std::function<void()> OnBeginDoc, OnEndDoc;
    std::function<void(int pageNo)> OnBeginPage, OnEndPage;
    std::function<void(TkvBand*band)> OnBeginBand, OnEndBand;
    std::function<void(const QByteArray& name, TkvVariant& value)> OnGetValue;
    std::function<void(TkvStringList& memo, TkvView* view)> OnBeforePrint;
    std::function<void(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                       const TkvVariant& p3, TkvVariant& value)>
        OnUserFunction;
    std::function<void(int pageNo)> OnProgress;
    std::function<void(TkvBand* band)> OnBeginColumn;
    std::function<void(int columnNo, int& width)> OnPrintColumn;
    std::function<void(TkvPage* page)> OnManualBuild;
    std::function<void(TkvView* view)> OnObjectClick;
    std::function<void(TkvView* view, int& cursor)> OnMouseOverObject;
    std::function<void()> OnPrintReport;
    std::function<void(TkvView* control)> OnCustomizeObject;

    // Other state.
    QByteArray Name;
    TkvPages Pages{this};
    TkvEMFPages EMFPages{this};
    QByteArray TemplateFileName;
    uint16_t KeepCurrentPrinter = 0;
    uint16_t DoublePassReport = 0;
    QByteArray PrinterName;
    bool Rebuildable = true;

    // The evaluator of [expressions] in this report's objects, borrowed from whoever builds,
    // previews or tests the report. None: list methods that evaluate raise an error and texts keep
    // their [expressions] as written.
    TkvExpressionEvaluator* Evaluator = nullptr;
    // A bracketed expression (without brackets) as text, by CurView's display format and hide
    // zeros flag (text format when there is no CurView). Raises when there is no evaluator.
    QByteArray ExpressionToText(const QByteArray& expression);
    // A value as text by a display format word and custom format, in the evaluator's settings.
    QByteArray FormatValue(const TkvVariant& value, uint32_t word, const QByteArray& format) const;
    bool CancelRequested = false;
    // Set by the error path of a build (kv::SetBuildError) so that the build stops at its next check.
    bool Terminated = false;
    uint8_t WriterMark = 88;

    // Document information.
    QByteArray DocComment, DocName, DocAuthor;
    QByteArray DocVersionMajor, DocVersionMinor, DocVersionRelease, DocVersionBuild;
    QDateTime DocCreated, DocLastChange;
    bool DocPasswordProtected = false;
    QByteArray DocPassword;

    TkvDataDictionary Dictionary;
    // "ReportForm" bytes held until the host form has been read completely (FormLoaded).
    QByteArray PendingFormTemplate;
};
