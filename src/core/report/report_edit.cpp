// The edit cycle of one prepared page (TkvReport::EditPreparedPage).
#include "core/globals.h"
#include "core/library_context.h"
#include "core/report/report.h"
#include "core/template/template_stream.h"

#include <utility>

namespace {

// Puts the report back as it was when the scope ends, also when the designer or packing raised:
// the edited page returns to its record (the design page list never frees it), the template is
// loaded again from memory and the previous designer and current report are restored.
class EditScope {
public:
    // `writerMark` and `previousReport` are those from before the template was saved to memory.
    EditScope(TkvReport& report, PreparedPageInfo& info, QByteArray saved, uint8_t writerMark,
              TkvReport* previousReport)
        : report_(report), info_(info), saved_(std::move(saved)), writerMark_(writerMark),
          previousDesigner_(kv::Library().CurDesigner), previousReport_(previousReport) {}

    ~EditScope() {
        ReturnPage();
        report_.Pages.Clear();
        try {
            report_.LoadFromMemory(saved_);
        } catch (const std::exception&) {
            // The bytes were written by this report a moment ago; nothing better is left to do.
        }
        // Writing the copy marked the report as written here; its prepared file keeps its mark.
        report_.WriterMark = writerMark_;
        kv::Library().CurDesigner = previousDesigner_;
        kv::CurReport() = previousReport_;
    }

    // Moves the unpacked page from the design list back to its prepared page record.
    void ReturnPage() {
        for (auto& page : report_.Pages.List)
            if (page && page.get() == lent_) info_.Page = std::move(page);
        lent_ = nullptr;
    }

    void Lend() {
        lent_ = info_.Page.get();
        report_.Pages.Clear();
        report_.Pages.push_back(std::move(info_.Page));
    }

private:
    TkvReport& report_;
    PreparedPageInfo& info_;
    QByteArray saved_;
    uint8_t writerMark_;
    TkvReportDesignerHost* previousDesigner_;
    TkvReport* previousReport_;
    TkvPage* lent_ = nullptr;
};

} // namespace

TkvEditPageResult TkvReport::EditPreparedPage(int index, const std::function<bool()>& confirmSave) {
    using Outcome = TkvEditPageResult::Outcome;
    TkvEditPageResult result;
    const TkvDesignerFactory factory = kv::Library().DesignerFactory;
    if (!factory) return result;
    if (index < 0 || index >= EMFPages.Count()) {
        result.Result = Outcome::Failed;
        result.Message = QString("There is no page %1 to edit").arg(index + 1);
        return result;
    }
    PreparedPageInfo& info = EMFPages.PageInfo(index);
    const uint8_t writerMark = WriterMark;
    TkvReport* const previousReport = kv::CurReport();
    QByteArray saved;
    try {
        // The copy in memory is no save: the time of the last change stays.
        TkvMemoryStream copy;
        kv::SaveTemplate(*this, copy, false);
        saved = copy.TakeData();
        EMFPages.UnpackPage(index);
    } catch (const std::exception& e) {
        EMFPages.ReleasePage(index);
        WriterMark = writerMark;
        kv::CurReport() = previousReport;
        result.Result = Outcome::Failed;
        result.Message = QString::fromLocal8Bit(e.what());
        return result;
    }
    const QByteArray packedBefore = info.Packed.Data();
    const QByteArray storedBefore = info.Stored;
    try {
        EditScope scope(*this, info, saved, writerMark, previousReport);
        scope.Lend();
        kv::CurReport() = this;
        bool modified = false;
        {
            std::unique_ptr<TkvReportDesignerHost> designer = factory(*this, TkvDesignerMode::PreparedPage);
            if (!designer) throw TkvError("The designer could not be opened");
            kv::Library().CurDesigner = designer.get();
            designer->ShowModal();
            modified = designer->IsModified();
            kv::Library().CurDesigner = nullptr;
        }
        scope.ReturnPage();
        if (!modified) {
            result.Result = Outcome::Unchanged;
        } else if (confirmSave && confirmSave()) {
            EMFPages.PackPage(index);
            result.Result = Outcome::Saved;
        } else {
            result.Result = Outcome::Dropped;
        }
    } catch (const std::exception& e) {
        // Packing may have stopped half-way: the page keeps the bytes it had.
        info.Packed = TkvMemoryStream(packedBefore);
        info.Stored = storedBefore;
        result.Result = Outcome::Failed;
        result.Message = QString::fromLocal8Bit(e.what());
    }
    // The next draw unpacks the page from what is stored now.
    EMFPages.ReleasePage(index);
    return result;
}
