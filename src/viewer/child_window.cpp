#include "viewer/child_window.h"

#include "core/report/report.h"
#include "export/rtf_adv_export.h"
#include "export/rtf_export.h"
#include "export/xlsx_export.h"
#include "exportui/options_dialogs.h"
#include "preview/page_box.h"
#include "preview/preview.h"
#include "preview/preview_form.h"
#include "app/build_progress_window.h"
#include "app/dialog_page_window.h"
#include "viewer/built_templates.h"
#include "viewer/document_memory.h"

#include <QDesktopServices>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

// What Save As offers for a document read from `file`: its name without extension, in its folder.
QString SaveName(const QString& file) {
    const QFileInfo info(file);
    return info.dir().filePath(info.completeBaseName());
}

// The wait cursor while a report loads.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

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
    for (auto& filter : exportFilters_) {
        kvexportui::InstallOptionsDialog(*filter, this);
        preview_->Form().OwnExportFilters.push_back(filter.get());
    }
    // The main window's status bar shows the page and the page count; one indicator is enough.
    preview_->Form().PageLabel()->hide();
    preview_->Form().DamagedPage = [this](const QString& message) {
        if (messageSink_) messageSink_(message);
    };
}

TfrmChild::~TfrmChild() {
    preview_->Form().DamagedPage = nullptr;
    preview_->Form().ViewChanged = nullptr;
    preview_->Form().OwnExportFilters.clear(); // the filters go before the preview
    if (!fileName_.isEmpty() && PageCount() > 0)
        kv::DocumentMemory().Remember(fileName_, CurrentPage(), ZoomPercent(), FitMode());
    // The preview holds the report's pages; it gives them back before the report goes.
    preview_->DetachReport();
}

uint8_t TfrmChild::Capabilities() const {
    uint8_t caps = kvcap::Load | kvcap::Close;
    if (PageCount() > 0) {
        caps |= kvcap::Save | kvcap::Print | kvcap::Find;
        if (preview_->Form().PageEditingAllowed()) caps |= kvcap::Edit;
    }
    return caps;
}

void TfrmChild::Prepare() {
    setWindowTitle(QString());
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->showMaximized();
}

bool TfrmChild::LoadAndShow(const QString& fileName) {
    const QString path = QFileInfo(fileName).absoluteFilePath();
    // The pages of an earlier report leave the screen before the new ones are read.
    preview_->DetachReport();
    lastError_.clear();
    if (messageSink_) messageSink_(QCoreApplication::translate("TfrmChild", "Opening %1...").arg(path));
    bool ok = true;
    {
        BusyCursor busy;
        // The window is painted (not left black) before a long load starts.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        try {
            report_->LoadPreparedFile(path);
        } catch (const std::exception& e) {
            ok = false;
            lastError_ = QCoreApplication::translate("TfrmChild", "Cannot open \"%1\": %2")
                             .arg(path, QString::fromLocal8Bit(e.what()));
        }
        report_->ShowPreparedPages();
    }
    setWindowTitle(path);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowTitle(path);
    preview_->Form().SuggestedName = SaveName(path);
    fileName_ = path;
    loaded_ = true;
    if (ok && PageCount() > 0) RestoreView(kv::DocumentMemory().Recall(path));
    if (messageSink_) messageSink_(ok ? QString() : lastError_);
    return ok;
}

bool TfrmChild::OpenFile(const QString& fileName) {
    TkvTemplateRequest request;
    if (TkvTemplateRequest::Decode(fileName, request)) return BuildAndShow(request);
    if (kv::IsTemplateFile(fileName)) return BuildAndShow(TkvTemplateRequest::FromCommandLine(fileName, {}, QDir::currentPath()));
    return LoadAndShow(fileName);
}

bool TfrmChild::BuildAndShow(const TkvTemplateRequest& request) {
    preview_->DetachReport();
    lastError_.clear();
    cancelled_ = false;
    // The window is named after the template at once, so that the progress and dialog windows
    // above it say whose build they are.
    const QString name = request.Encode();
    setWindowTitle(request.Caption());
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowTitle(request.Caption());
    QByteArray error;
    int pages = 0;
    {
        TkvBuildProgressWindow progress;
        TkvDialogPageWindow dialogs(window());
        pages = kv::BuildTemplateInto(*report_, request, &progress, &dialogs, error, cancelled_);
    }
    report_->ShowPreparedPages();
    preview_->Form().SuggestedName = SaveName(request.TemplateFile);
    fileName_ = name;
    loaded_ = true;
    if (pages == 0) {
        if (!cancelled_) lastError_ = QString::fromUtf8(error);
        return false;
    }
    const kv::RememberedView view = kv::DocumentMemory().Recall(name);
    RestoreView(view);
    return true;
}

void TfrmChild::RestoreView(const kv::RememberedView& view) {
    // The page and zoom the document had when it was last closed; a fit mode stays a fit mode.
    if (PageCount() == 0) return;
    if (view.fitMode >= 1 && view.fitMode <= 3) FitZoom(view.fitMode);
    else if (view.zoomPercent > 0) SetZoomPercent(view.zoomPercent);
    if (view.page > 1) GoToPage(view.page);
}

bool TfrmChild::OpenWithDialog() {
    const QString name = QFileDialog::getOpenFileName(this, QString(), QFileInfo(fileName_).path(),
                                                      QStringLiteral("Kavora (*.kvp)"));
    if (name.isEmpty()) return false;
    // A failure reaches the command that asked, which shows it to the user.
    if (!LoadAndShow(name)) throw std::runtime_error(lastError_.toLocal8Bit().toStdString());
    return true;
}

bool TfrmChild::SaveAs() {
    preview_->SaveToFile();
    return true;
}

void TfrmChild::Find() { preview_->Find(); }

void TfrmChild::FindNext() {
    if (preview_->Form().SearchText.isEmpty()) preview_->Find();
    else preview_->FindNext();
}

void TfrmChild::Print() { preview_->Print(); }

void TfrmChild::Edit() { preview_->EditCurrentPage(); }

void TfrmChild::Close() {
    QWidget* w = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    QTimer::singleShot(0, w, [w] { w->close(); });
}

int TfrmChild::FitMode() const {
    const TkvPreviewZoom mode = preview_->Form().ZoomMode;
    return mode == TkvPreviewZoom::pzDefault ? 0 : static_cast<int>(mode);
}

int TfrmChild::PageCount() const { return preview_->PageCount(); }
int TfrmChild::CurrentPage() const { return PageCount() > 0 ? preview_->CurrentPage() : 0; }
void TfrmChild::GoToPage(int page) { preview_->SetCurrentPage(page); }
double TfrmChild::ZoomPercent() const { return PageCount() > 0 ? preview_->Form().Zoom * 100 : 0; }
void TfrmChild::SetZoomPercent(double percent) { preview_->Form().SetZoomPercent(percent); }
void TfrmChild::ZoomBySteps(int steps) { preview_->Form().ZoomBySteps(steps); }
void TfrmChild::FitZoom(int mode) {
    if (mode >= 1 && mode <= 3) preview_->Form().PickZoom(mode);
}

void TfrmChild::ScrollBy(int dx, int dy) {
    TkvPreviewForm& form = preview_->Form();
    form.HScrollBar()->setValue(form.HScrollBar()->value() + dx);
    form.VScrollBar()->setValue(form.VScrollBar()->value() + dy);
}

void TfrmChild::keyPressEvent(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    QScrollBar* v = preview_->Form().VScrollBar();
    const int line = 10 * preview_->Form().WheelMultiplier;
    // A screenful less a line, so that the reader keeps a line of context.
    const int screen = std::max(line, preview_->Form().PageBox()->height() - line);
    switch (e->key()) {
    case Qt::Key_PageUp: preview_->GoToPrevPage(); return;
    case Qt::Key_PageDown: preview_->GoToNextPage(); return;
    case Qt::Key_Home:
        if (ctrl) preview_->GoToFirstPage();
        else v->setValue(v->minimum());
        return;
    case Qt::Key_End:
        if (ctrl) preview_->GoToLastPage();
        else v->setValue(v->maximum());
        return;
    case Qt::Key_Up: ScrollBy(0, -line); return;
    case Qt::Key_Down: ScrollBy(0, line); return;
    case Qt::Key_Left: ScrollBy(-line, 0); return;
    case Qt::Key_Right: ScrollBy(line, 0); return;
    case Qt::Key_Space: ScrollBy(0, shift ? -screen : screen); return;
    case Qt::Key_Backspace: ScrollBy(0, -screen); return;
    case Qt::Key_Plus:
    case Qt::Key_Equal: ZoomBySteps(1); return;
    case Qt::Key_Minus: ZoomBySteps(-1); return;
    case Qt::Key_F3: FindNext(); return;
    default: QWidget::keyPressEvent(e);
    }
}
