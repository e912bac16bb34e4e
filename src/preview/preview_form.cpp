#include "preview/preview_form.h"
#include "base/codepage.h"

#include "export/export_registry.h"
#include "preview/export_progress.h"

#include "core/store/emf_pages.h"
#include "core/locale.h"
#include "core/report/report.h"
#include "base/text_util.h"
#include "preview/page_box.h"
#include "preview/save_file_dialog.h"
#include "render/colors.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

double TkvPreviewForm::LastZoom = 1.0;
TkvPreviewZoom TkvPreviewForm::LastZoomMode = TkvPreviewZoom::pzDefault;
std::function<void(TkvPreviewForm&)> TkvPreviewForm::PrintHook;
std::function<bool(TkvPreviewForm&)> TkvPreviewForm::EditPageHook;

namespace {

using kv::RoundEven;

// Page sizes from a file may be zero or absurd; the layout works with sane ones.
int SanePageSize(int v) { return std::clamp(v, 1, 200000); }

QString Text(int id) { return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default); }

} // namespace

TkvPreviewForm::TkvPreviewForm(QWidget* parent) : QWidget(parent) {
    setObjectName("kvPreviewForm");
    BuildPageArea();
    BuildMenu();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(previewPanel_);
}

TkvPreviewForm::~TkvPreviewForm() = default;

void TkvPreviewForm::BuildPageArea() {
    previewPanel_ = new QWidget(this);
    previewPanel_->setObjectName("PreviewPanel");
    pageBox_ = new TkvPBox(*this, previewPanel_);

    auto* rPanel = new QWidget(previewPanel_);
    rPanel->setObjectName("RPanel");
    vScroll_ = new QScrollBar(Qt::Vertical, rPanel);
    vScroll_->setObjectName("VScrollBar");
    pgUp_ = new QToolButton(rPanel);
    pgUp_->setObjectName("PgUp");
    pgUp_->setArrowType(Qt::UpArrow);
    pgUp_->setFixedSize(16, 16);
    pgDown_ = new QToolButton(rPanel);
    pgDown_->setObjectName("PgDown");
    pgDown_->setArrowType(Qt::DownArrow);
    pgDown_->setFixedSize(16, 16);
    auto* rl = new QVBoxLayout(rPanel);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->setSpacing(0);
    rl->addWidget(vScroll_, 1);
    rl->addWidget(pgUp_);
    rl->addWidget(pgDown_);

    auto* bPanel = new QWidget(previewPanel_);
    bPanel->setObjectName("BPanel");
    bPanel->setFixedHeight(18);
    label1_ = new QLabel(bPanel);
    label1_->setObjectName("Label1");
    label1_->setFrameShape(QFrame::Panel);
    label1_->setFrameShadow(QFrame::Sunken);
    label1_->setMinimumWidth(90);
    label2_ = new QLabel(bPanel);
    label2_->setObjectName("Label2");
    label2_->setFrameShape(QFrame::Panel);
    label2_->setFrameShadow(QFrame::Sunken);
    label2_->setMinimumWidth(160);
    hScroll_ = new QScrollBar(Qt::Horizontal, bPanel);
    hScroll_->setObjectName("HScrollBar");
    auto* bl = new QHBoxLayout(bPanel);
    bl->setContentsMargins(0, 0, 0, 0);
    bl->setSpacing(1);
    bl->addWidget(label1_);
    bl->addWidget(label2_);
    bl->addWidget(hScroll_, 1);

    auto* grid = new QGridLayout(previewPanel_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(pageBox_, 0, 0);
    grid->addWidget(rPanel, 0, 1);
    grid->addWidget(bPanel, 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(0, 1);
    pageBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    for (QScrollBar* bar : {hScroll_, vScroll_}) {
        bar->setSingleStep(10);
        bar->setPageStep(200);
        bar->setRange(0, 0);
        bar->setEnabled(false);
        // The page box keeps the keyboard focus.
        bar->setFocusPolicy(Qt::NoFocus);
    }
    connect(vScroll_, &QScrollBar::valueChanged, this, &TkvPreviewForm::OnVScroll);
    connect(hScroll_, &QScrollBar::valueChanged, this, &TkvPreviewForm::OnHScroll);
    connect(pgUp_, &QToolButton::clicked, this, [this] { SetCurrentPage(CurrentPage - 1); });
    connect(pgDown_, &QToolButton::clicked, this, [this] {
        if (pages_) SetCurrentPage(CurrentPage + 1);
    });
}

void TkvPreviewForm::BuildMenu() {
    procMenu_ = new QMenu(this);
    procMenu_->setObjectName("ProcMenu");
    zoomGroup_ = new QActionGroup(procMenu_);
    zoomGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    struct Item {
        const char* name;
        int tag;
        int textId;
        const char* caption;
    };
    const Item items[] = {
        {"N2001", 200, 0, "200%"}, {"N1501", 150, 0, "150%"}, {"N1001", 100, 0, "100%"},
        {"N751", 75, 0, "75%"},    {"N501", 50, 0, "50%"},    {"N251", 25, 0, "25%"},
        {"N101", 10, 0, "10%"},    {"N1", 1, 53020, nullptr}, {"N2", 2, 53021, nullptr},
        {"N3", 3, 53022, nullptr},
    };
    for (const Item& it : items) {
        QAction* a = procMenu_->addAction(it.caption ? QString::fromLatin1(it.caption) : Text(it.textId));
        a->setObjectName(it.name);
        a->setData(it.tag);
        a->setCheckable(true);
        zoomGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, tag = it.tag] { PickZoom(tag); });
    }
    MenuItem("N1001")->setChecked(true);
    QAction* sep = procMenu_->addSeparator();
    sep->setObjectName("N4");
    QAction* n5 = procMenu_->addAction(Text(53029));
    n5->setObjectName("N5");
    connect(n5, &QAction::triggered, this, &TkvPreviewForm::EditPageCommand);
    QAction* n6 = procMenu_->addAction(Text(53030));
    n6->setObjectName("N6");
    QAction* n7 = procMenu_->addAction(Text(53031));
    n7->setObjectName("N7");
    for (const char* n : {"N4", "N5", "N6", "N7"}) MenuItem(n)->setVisible(false);
}

QAction* TkvPreviewForm::MenuItem(const char* name) const {
    for (QAction* a : procMenu_->actions())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

int TkvPreviewForm::PageCount() const { return pages_ ? pages_->Count() : 0; }

// ---------------------------------------------------------------- ownership

void TkvPreviewForm::TakePages(TkvReport* report) {
    report_ = report;
    damagedReported_.clear();
    pages_.reset();
    if (report_) pages_ = report_->TakeEMFPages();
}

void TkvPreviewForm::ReturnPages() {
    if (report_ && pages_) report_->SetEMFPages(std::move(pages_));
    pages_.reset();
}

// ---------------------------------------------------------------- layout

void TkvPreviewForm::Relayout() {
    if (!pages_ || pages_->Count() == 0) return;
    LayoutReady = false;
    const int BW = pageBox_->width();
    const int BH = pageBox_->height();
    const int cur = std::clamp(CurrentPage, 1, pages_->Count()) - 1;
    const PreparedPageInfo& curInfo = pages_->PageInfo(cur);
    const double W = SanePageSize(curInfo.Metrics.PageWidth);
    const double H = SanePageSize(curInfo.Metrics.PageHeight);
    switch (ZoomMode) {
    case TkvPreviewZoom::pzPageWidth: Zoom = (BW - 20) / W; break;
    case TkvPreviewZoom::pzOnePage: Zoom = (BH - 20) / H; break;
    case TkvPreviewZoom::pzTwoPages: Zoom = (BW - 30) / (2 * W); break;
    case TkvPreviewZoom::pzDefault: break;
    }
    // A box smaller than the margins would give a zero or negative zoom.
    if (!(Zoom > 0.001)) Zoom = 0.001;
    Zoom = std::min(Zoom, 100.0);
    CheckZoomItems();
    zoomCaption_ = QString::number(RoundEven(Zoom * 100)) + "%";

    const int n = pages_->Count();
    auto pageW = [&](int i) { return RoundEven(SanePageSize(pages_->PageInfo(i).Metrics.PageWidth) * Zoom); };
    auto pageH = [&](int i) { return RoundEven(SanePageSize(pages_->PageInfo(i).Metrics.PageHeight) * Zoom); };
    int K = 0;
    {
        int x = 10, c = 0;
        for (int i = 0; i < n; ++i) {
            const int g = pageW(i) + x + 10;
            if (BW < g) {
                K = std::max(K, c);
                x = 10;
                c = 0;
            } else {
                x = g;
                ++c;
            }
            if (i == n - 1) K = std::max(K, c);
        }
    }
    if (K == 0) K = 1;
    if (ZoomMode == TkvPreviewZoom::pzOnePage) K = 1;
    if (ZoomMode == TkvPreviewZoom::pzTwoPages) K = 2;

    // Many tall pages at a high zoom add up past int: sum on 64 bits and clamp what is stored.
    int64_t y = 10, maxRight = 0, maxBottom = 0;
    for (int row = 0; row < n; row += K) {
        int64_t x = 10, tallest = 0;
        for (int i = row; i < std::min(n, row + K); ++i) {
            const int64_t w = pageW(i), h = pageH(i);
            const int64_t left = (K == 1 && w < BW) ? (BW - w) / 2 : x;
            pages_->PageInfo(i).PreviewRect = {kv::ClampCoord(left), kv::ClampCoord(y), kv::ClampCoord(left + w),
                                               kv::ClampCoord(y + h)};
            x += w + 10;
            tallest = std::max(tallest, h);
            maxRight = std::max(maxRight, left + w);
            maxBottom = std::max(maxBottom, y + h);
        }
        y += tallest + 10;
    }
    const int hMax = maxRight - BW >= 0 ? kv::ClampCoord(maxRight - BW + 10) : 0;
    const int vMax = maxBottom - BH >= 0 ? kv::ClampCoord(maxBottom - BH + 10) : 0;
    hScroll_->setRange(0, hMax);
    hScroll_->setEnabled(hMax != 0);
    vScroll_->setRange(0, vMax);
    vScroll_->setEnabled(vMax != 0);
    if (isVisible() || pageBox_->isVisible()) pageBox_->setFocus();
    ScrollToCurrentPage();
    LayoutReady = true;
    pageBox_->update();
    if (ViewChanged) ViewChanged();
}

void TkvPreviewForm::CheckZoomItems() {
    for (QAction* a : zoomGroup_->actions()) a->setChecked(false);
    switch (ZoomMode) {
    case TkvPreviewZoom::pzPageWidth: MenuItem("N1")->setChecked(true); break;
    case TkvPreviewZoom::pzOnePage: MenuItem("N2")->setChecked(true); break;
    case TkvPreviewZoom::pzTwoPages: MenuItem("N3")->setChecked(true); break;
    case TkvPreviewZoom::pzDefault: {
        const int pct = RoundEven(Zoom * 100);
        for (QAction* a : zoomGroup_->actions())
            if (a->data().toInt() == pct) a->setChecked(true);
        break;
    }
    }
}

void TkvPreviewForm::ScrollToCurrentPage() {
    if (!pages_ || CurrentPage < 1 || CurrentPage > pages_->Count()) return;
    vScroll_->setValue(pages_->PageInfo(CurrentPage - 1).PreviewRect.Top - 10);
}

void TkvPreviewForm::UpdatePageLabel() {
    if (!pages_ || pages_->Count() == 0) {
        label1_->clear();
        if (ViewChanged) ViewChanged();
        return;
    }
    if (PageChanged) PageChanged(CurrentPage);
    label1_->setText(Text(55004) + " " + QString::number(CurrentPage) + "/" + QString::number(pages_->Count()));
    if (ViewChanged) ViewChanged();
}

void TkvPreviewForm::SetCurrentPage(int n) {
    if (n < 1 || n > PageCount()) return;
    CurrentPage = n;
    scrollTarget_ = n;
    ScrollToCurrentPage();
    scrollTarget_ = 0;
    UpdatePageLabel();
}

void TkvPreviewForm::OnVScroll(int pos) {
    pageBox_->scroll(0, lastV_ - pos);
    lastV_ = pos;
    OffsetY = -pos;
    if (!pages_) return;
    for (int i = 0; i < pages_->Count(); ++i) {
        const TkvRect& r = pages_->PageInfo(i).PreviewRect;
        if (r.Top < pos + 11 && pos + 11 < r.Bottom) {
            CurrentPage = i + 1;
            break;
        }
    }
    // At the end of the range the pages below the top line are in view too and can be scrolled to no
    // further: the page asked for stays current, and scrolling there makes the last page current.
    if (pos > 0 && pos >= vScroll_->maximum()) CurrentPage = scrollTarget_ ? scrollTarget_ : pages_->Count();
    UpdatePageLabel();
}

void TkvPreviewForm::OnHScroll(int pos) {
    pageBox_->scroll(lastH_ - pos, 0);
    lastH_ = pos;
    OffsetX = -pos;
}

void TkvPreviewForm::ResetView(bool toFirstPage) {
    Zoom = LastZoom;
    ZoomMode = LastZoomMode;
    CheckZoomItems();
    if (toFirstPage) {
        CurrentPage = 1;
        OffsetX = OffsetY = 0;
        lastH_ = lastV_ = 0;
        const QSignalBlocker bh(hScroll_), bv(vScroll_);
        hScroll_->setValue(0);
        vScroll_->setValue(0);
    }
    UpdatePageLabel();
    Relayout();
    if (pages_) {
        for (int i = 0; i < pages_->Count(); ++i) {
            pages_->PageInfo(i).PageVisible = 0;
            pages_->ReleasePage(i);
        }
    }
    MenuItem("N7")->setEnabled(PageCount() > 1);
    pageBox_->update();
}

void TkvPreviewForm::PickZoom(int tag) {
    if (!pages_) return;
    OffsetX = 0;
    if (tag >= 1 && tag <= 3) {
        ZoomMode = static_cast<TkvPreviewZoom>(tag);
    } else {
        ZoomMode = TkvPreviewZoom::pzDefault;
        Zoom = tag / 100.0;
    }
    hScroll_->setValue(0);
    Relayout();
    LastZoom = Zoom;
    LastZoomMode = ZoomMode;
    pageBox_->update();
}

const std::vector<int>& TkvPreviewForm::ZoomSteps() {
    static const std::vector<int> steps{10, 25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400, 800};
    return steps;
}

void TkvPreviewForm::ZoomBySteps(int steps) {
    if (!pages_ || steps == 0) return;
    const std::vector<int>& table = ZoomSteps();
    const double pct = Zoom * 100;
    int target = 0;
    if (steps > 0) {
        // The first step above the zoom shown (a fit zoom between steps goes to the next one).
        auto it = std::upper_bound(table.begin(), table.end(), pct + 0.5);
        const auto i = std::min<std::ptrdiff_t>(it - table.begin() + steps - 1, std::ptrdiff_t(table.size()) - 1);
        target = table[static_cast<size_t>(i)];
    } else {
        auto it = std::lower_bound(table.begin(), table.end(), pct - 0.5);
        const auto i = std::max<std::ptrdiff_t>(it - table.begin() + steps, 0);
        target = table[static_cast<size_t>(i)];
    }
    SetZoomPercent(target);
}

void TkvPreviewForm::SetZoomPercent(double percent) {
    if (!pages_ || !(percent > 0)) return;
    percent = std::clamp(percent, double(ZoomSteps().front()), double(ZoomSteps().back()));
    ZoomMode = TkvPreviewZoom::pzDefault;
    Zoom = percent / 100.0;
    const int page = CurrentPage;
    Relayout();
    // The page in view stays in view.
    SetCurrentPage(page);
    LastZoom = Zoom;
    LastZoomMode = ZoomMode;
    pageBox_->update();
}

void TkvPreviewForm::ReportDamagedPage(int index, const QString& error) {
    if (!damagedReported_.insert(index).second) return;
    const QString message = QCoreApplication::translate("TkvPreviewForm", "Page %1 could not be read: %2").arg(index + 1).arg(error);
    label2_->setText(message);
    if (DamagedPage) DamagedPage(message);
}

// ---------------------------------------------------------------- commands

bool TkvPreviewForm::PageEditingAllowed() const {
    return EditPageHook && report_ && report_->ModifyPrepared;
}

void TkvPreviewForm::SaveCommand() {
    if (!pages_ || !report_) return;
    // "Report file", then every registered export filter in registration order; the first filter
    // marked Default is preselected.
    QStringList filters{Text(55211) + " (*.kvp)"};
    const std::vector<TkvExportFilterInfo> entries = kv::ExportFilters();
    QString selected = filters.front();
    bool haveDefault = false;
    for (const auto& e : entries) {
        QString description = QString::fromLatin1(e.Description);
        // The dialog adds the filter's extension to a name without it, so the filter names it.
        if (!description.contains("*.") && e.FileMask.startsWith("*."))
            description += " (" + QString::fromLatin1(e.FileMask) + ")";
        filters << description;
        if (e.Filter->Default && !haveDefault) {
            selected = filters.back();
            haveDefault = true;
        }
    }
    const kv::SaveFileChoice choice = kv::AskSaveFileName(previewPanel_->window(), QString(), filters, {}, selected);
    const QString name = choice.fileName;
    if (name.isEmpty()) return;
    const qsizetype chosen = choice.filterIndex;
    ReturnPages();
    if (chosen > 0) {
        TkvExportFilter& filter = *entries[size_t(chosen - 1)].Filter;
        TkvExportProgressWindow progress;
        const TkvExportResult r = kv::ExportWithFilter(*report_, filter, name, &progress);
        if (r.Outcome == TkvExportOutcome::Failed)
            QMessageBox::critical(previewPanel_->window(), Text(55206), r.Message);
    } else {
        try {
            report_->SavePreparedFile(name);
        } catch (const std::exception& e) {
            QMessageBox::critical(previewPanel_->window(), Text(55206), QString::fromLocal8Bit(e.what()));
        }
    }
    TakePages(report_);
    ResetView(false);
}

void TkvPreviewForm::PrintCommand() {
    if (PrintHook) PrintHook(*this);
}

void TkvPreviewForm::EditPageCommand() {
    if (!PageEditingAllowed() || !pages_) return;
    if (EditPageHook(*this)) pageBox_->update();
}
