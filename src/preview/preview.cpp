#include "preview/preview.h"

#include "preview/page_box.h"
#include "preview/preview_form.h"

#include <QLabel>
#include <QVBoxLayout>

TkvPreview::TkvPreview(QWidget* parent) : QFrame(parent), form_(std::make_unique<TkvPreviewForm>()) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    form_->PageChanged = [this](int page) {
        if (OnPageChanged) OnPageChanged(page);
    };
}

TkvPreview::~TkvPreview() {
    // The page area lives inside this control while attached; hand it back before the window goes.
    form_->ReturnPages();
    for (QWidget* part : {form_->PreviewPanel(), form_->ToolbarPanel()}) {
        if (part->parentWidget() == this) {
            layout()->removeWidget(part);
            part->setParent(form_.get());
        }
    }
}

void TkvPreview::SetShowToolbar(bool show) {
    showToolbar_ = show;
    QWidget* toolbar = form_->ToolbarPanel();
    auto* own = static_cast<QVBoxLayout*>(layout());
    if (show && toolbar->parentWidget() != this) {
        toolbar->setParent(this);
        own->insertWidget(0, toolbar);
        toolbar->show();
    } else if (!show && toolbar->parentWidget() == this) {
        own->removeWidget(toolbar);
        toolbar->setParent(form_.get());
        static_cast<QVBoxLayout*>(form_->layout())->insertWidget(0, toolbar);
    }
    if (form_->Report()) form_->ApplyToolbarSettings(*form_->Report());
}

void TkvPreview::AttachReport(TkvReport* report) {
    QWidget* panel = form_->PreviewPanel();
    if (panel->parentWidget() != this) {
        panel->setParent(this);
        layout()->addWidget(panel);
    }
    panel->show();
    form_->TakePages(report);
    if (report) form_->ApplyToolbarSettings(*report);
    form_->WheelMultiplier = 3;
    form_->ResetView(true);
}

void TkvPreview::DetachReport() {
    form_->ReturnPages();
    // Nothing of the pages stays on screen: the label clears and the box paints plain.
    form_->UpdatePageLabel();
    form_->StatusLabel()->clear();
    form_->PageBox()->update();
}

int TkvPreview::CurrentPage() const { return form_->CurrentPage; }
void TkvPreview::SetCurrentPage(int n) { form_->SetCurrentPage(n); }
int TkvPreview::PageCount() const { return form_->PageCount(); }
void TkvPreview::GoToFirstPage() { SetCurrentPage(1); }
void TkvPreview::GoToNextPage() { SetCurrentPage(CurrentPage() + 1); }
void TkvPreview::GoToPrevPage() { SetCurrentPage(CurrentPage() - 1); }
void TkvPreview::GoToLastPage() { SetCurrentPage(PageCount()); }
void TkvPreview::SaveToFile() { form_->SaveCommand(); }
void TkvPreview::Print() { form_->PrintCommand(); }
void TkvPreview::EditCurrentPage() { form_->EditPageCommand(); }
void TkvPreview::Find() { form_->FindCommand(); }
void TkvPreview::FindNext() {
    if (!form_->SearchText.isEmpty()) form_->FindNext();
}

void TkvPreview::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    form_->Relayout();
}
