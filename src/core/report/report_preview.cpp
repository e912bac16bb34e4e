// Showing prepared pages and lending the store to a preview.
#include "core/store/emf_pages.h"
#include "core/globals.h"
#include "core/report/report.h"

void TkvReport::ShowPreparedPages() {
    kv::CurReport() = kv::MasterReport() = this;
    kv::DocumentMode() = 1;
    kv::CurBand() = nullptr;
    if (Preview) {
        // An embedded preview shows even an empty store, so a failed open still shows its state.
        Preview->AttachReport(this);
        return;
    }
    if (EMFPages.Count() == 0) return;
    if (kv::Library().SeparatePreview) kv::Library().SeparatePreview(*this);
}

std::unique_ptr<TkvEMFPages> TkvReport::TakeEMFPages() {
    auto taken = std::make_unique<TkvEMFPages>(this);
    taken->PageList = std::move(EMFPages.PageList);
    EMFPages.PageList.clear();
    taken->LoadedHeader = EMFPages.LoadedHeader;
    return taken;
}

void TkvReport::SetEMFPages(std::unique_ptr<TkvEMFPages> pages) {
    EMFPages.Clear();
    if (!pages) return;
    EMFPages.PageList = std::move(pages->PageList);
    pages->PageList.clear();
    EMFPages.LoadedHeader = pages->LoadedHeader;
}
