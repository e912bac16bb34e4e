#include "viewer/child_window.h"

#include "core/report/report.h"
#include "export/rtf_adv_export.h"
#include "export/rtf_export.h"
#include "export/xlsx_export.h"
#include "preview/preview.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

TfrmChild::TfrmChild(QWidget* parent) : QWidget(parent), report_(std::make_unique<TkvReport>()) {
    setObjectName("frmChild");
    preview_ = new TkvPreview(this);
    preview_->setObjectName("kvPreview");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(preview_);
    setFocusPolicy(Qt::StrongFocus);
    report_->Preview = preview_;
    exportFilters_.push_back(std::make_unique<TkvRTFExport>());
    exportFilters_.push_back(std::make_unique<TkvRtfAdvExport>());
    auto workbook = std::make_unique<TkvXlsxExport>();
    workbook->OnAfterExport = [book = workbook.get()](const QString& fileName) {
        if (book->OpenExcelAfterExport) QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
    };
    exportFilters_.push_back(std::move(workbook));
}

TfrmChild::~TfrmChild() {
    // The preview holds the report's pages; it gives them back before the report goes.
    preview_->DetachReport();
}

uint8_t TfrmChild::Capabilities() const { return loaded_ ? 63 : 33; }

void TfrmChild::Prepare() {
    setWindowTitle(QString());
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->showMaximized();
}

void TfrmChild::LoadAndShow(const QString& fileName, bool swallowFailure, bool* failed) {
    preview_->DetachReport();
    try {
        report_->LoadPreparedFile(fileName);
    } catch (const std::exception&) {
        *failed = true;
        if (!swallowFailure) throw;
    }
    report_->ShowPreparedPages();
    const QString caption = QFileInfo(fileName).absoluteFilePath();
    setWindowTitle(caption);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowTitle(caption);
    loaded_ = true;
}

bool TfrmChild::OpenFile(const QString& fileName) {
    bool failed = false;
    LoadAndShow(fileName, true, &failed);
    return !failed;
}

bool TfrmChild::OpenWithDialog() {
    const QString name =
        QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("Kavora (*.kvp)"));
    if (name.isEmpty()) return false;
    // A failure here reaches the command that asked, which reports it to the user.
    bool failed = false;
    LoadAndShow(name, false, &failed);
    return true;
}

bool TfrmChild::SaveAs() {
    preview_->SaveToFile();
    return true;
}

void TfrmChild::Find() {}

void TfrmChild::Print() { preview_->Print(); }

void TfrmChild::Edit() { preview_->EditCurrentPage(); }

void TfrmChild::Close() {
    QWidget* w = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    QTimer::singleShot(0, w, [w] { w->close(); });
}

void TfrmChild::keyPressEvent(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_PageUp: preview_->GoToPrevPage(); return;
    case Qt::Key_PageDown: preview_->GoToNextPage(); return;
    case Qt::Key_Home:
        if (ctrl) preview_->GoToFirstPage();
        return;
    case Qt::Key_End:
        if (ctrl) preview_->GoToLastPage();
        return;
    default: QWidget::keyPressEvent(e);
    }
}
