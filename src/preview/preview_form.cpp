#include "preview/preview_form.h"
#include "base/codepage.h"

#include "export/export_registry.h"
#include "preview/export_progress.h"

#include "core/store/emf_pages.h"
#include "core/locale.h"
#include "core/report/report.h"
#include "base/text_util.h"
#include "core/paper/printer.h"
#include "core/store/page_search.h"
#include "preview/page_box.h"
#include "preview/page_setup_form.h"
#include "preview/preview_search_form.h"
#include "preview/save_file_dialog.h"
#include "render/colors.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QFileDialog>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>
#include <QGridLayout>
#include <QKeyEvent>
#include <QStyle>
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

// The context number of a control for help mode; the Tag of a control doubles as it.
const char* const HelpContextProperty = "helpContext";

// The wait cursor while a long command runs.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

TkvPreviewForm::TkvPreviewForm(QWidget* parent) : QWidget(parent) {
    setObjectName("kvPreviewForm");
    BuildPageArea();
    BuildMenu();
    BuildToolbar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbarPanel_);
    layout->addWidget(previewPanel_, 1);
    ShowMessage = [this](const QString& caption, const QString& text) {
        QMessageBox::information(previewPanel_->window(), caption, text);
    };
    AskYesNo = [this](const QString& caption, const QString& text) {
        return QMessageBox::question(previewPanel_->window(), caption, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    // Keys reach the key table before the controls: the page box holds the focus.
    pageBox_->installEventFilter(this);
    LoadCaptions();
}

void TkvPreviewForm::BuildToolbar() {
    toolbarPanel_ = new QFrame(this);
    toolbarPanel_->setObjectName("ToolbarPanel");
    static_cast<QFrame*>(toolbarPanel_)->setFrameShape(QFrame::StyledPanel);
    static_cast<QFrame*>(toolbarPanel_)->setFrameShadow(QFrame::Raised);
    toolbarPanel_->setMinimumHeight(33);
    toolbarPanel_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* panel1 = new QWidget(toolbarPanel_);
    panel1->setObjectName("Panel1");
    auto* outer = new QHBoxLayout(toolbarPanel_);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->addWidget(panel1);
    outer->addStretch(1);
    auto* row = new QHBoxLayout(panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto button = [&](const char* name, int tag, QStyle::StandardPixmap icon, void (TkvPreviewForm::*command)()) {
        auto* b = new QToolButton(panel1);
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(24, 24);
        b->setIconSize(QSize(16, 16));
        b->setIcon(style()->standardIcon(icon));
        b->setProperty(HelpContextProperty, tag);
        connect(b, &QToolButton::clicked, this, command);
        row->addWidget(b);
        return b;
    };
    auto separator = [&](const char* name) {
        auto* sep = new QFrame(panel1);
        sep->setObjectName(name);
        sep->setFixedWidth(8);
        row->addWidget(sep);
    };
    QToolButton* zoom = button("ZoomBtn", 200, QStyle::SP_FileDialogContentsView, &TkvPreviewForm::ZoomMenuCommand);
    zoom->setIcon(QIcon());
    zoom->setFixedWidth(53);
    zoom->setText("100%");
    separator("kvTBSeparator1");
    button("LoadBtn", 201, QStyle::SP_DialogOpenButton, &TkvPreviewForm::LoadCommand);
    button("SaveBtn", 202, QStyle::SP_DialogSaveButton, &TkvPreviewForm::SaveCommand);
    button("PrintBtn", 203, QStyle::SP_FileIcon, &TkvPreviewForm::PrintCommand);
    button("PageSetupBtn", 203, QStyle::SP_FileDialogDetailedView, &TkvPreviewForm::PageSetupCommand);
    separator("kvTBSeparator2");
    button("FindBtn", 204, QStyle::SP_FileDialogContentsView, &TkvPreviewForm::FindCommand);
    button("HelpBtn", 0, QStyle::SP_DialogHelpButton, &TkvPreviewForm::HelpCommand);
    separator("kvTBSeparator3");
    button("ExitBtn", 205, QStyle::SP_DialogCloseButton, &TkvPreviewForm::ExitCommand);
    // Page setup is offered where a report asks for it.
    Button("PageSetupBtn")->setVisible(false);
    pageBox_->setProperty(HelpContextProperty, 207);
    for (QWidget* w : {static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_)})
        w->setProperty(HelpContextProperty, 206);
}

QToolButton* TkvPreviewForm::Button(const char* name) const {
    return toolbarPanel_->findChild<QToolButton*>(QLatin1String(name));
}

QWidget* TkvPreviewForm::Separator(int n) const {
    return toolbarPanel_->findChild<QFrame*>(QStringLiteral("kvTBSeparator%1").arg(n));
}

void TkvPreviewForm::LoadCaptions() {
    MenuItem("N1")->setText(Text(53020));
    MenuItem("N2")->setText(Text(53021));
    MenuItem("N3")->setText(Text(53022));
    MenuItem("N5")->setText(Text(53029));
    MenuItem("N6")->setText(Text(53030));
    MenuItem("N7")->setText(Text(53031));
    const std::pair<const char*, int> hints[] = {{"ZoomBtn", 53024}, {"LoadBtn", 53025}, {"SaveBtn", 53026},
                                                 {"PrintBtn", 53027}, {"FindBtn", 53028}, {"HelpBtn", 53032},
                                                 {"ExitBtn", 53023}};
    for (const auto& [name, id] : hints) Button(name)->setToolTip(Text(id));
}

void TkvPreviewForm::ApplyToolbarSettings(const TkvReport& report) {
    const uint16_t set = report.PreviewButtons;
    const bool inWindow = toolbarPanel_->parentWidget() == this;
    Button("ZoomBtn")->setVisible(set & kvpb::Zoom);
    Button("LoadBtn")->setVisible(set & kvpb::Load);
    Button("SaveBtn")->setVisible(set & kvpb::Save);
    Button("PrintBtn")->setVisible(set & kvpb::Print);
    Button("PageSetupBtn")->setVisible(set & kvpb::PageSetup);
    Button("FindBtn")->setVisible(set & kvpb::Find);
    Button("HelpBtn")->setVisible((set & kvpb::Help) && inWindow);
    Button("ExitBtn")->setVisible((set & kvpb::Exit) && inWindow);
    if (!(set & kvpb::Zoom)) Separator(1)->setVisible(false);
    Separator(3)->setVisible(!Button("FindBtn")->isHidden() || !Button("HelpBtn")->isHidden());
    // The virtual printer does not count: printing needs a printer of the platform.
    const bool printer = kv::SharedPrinter().VirtualPrinterIndex > 0;
    Button("PrintBtn")->setEnabled(printer);
    Button("PageSetupBtn")->setEnabled(printer);
    const bool editing = EditPageHook && report.ModifyPrepared;
    if (!editing)
        for (const char* n : {"N4", "N5", "N6", "N7"}) MenuItem(n)->setVisible(false);
    if (report.InitialZoom != TkvPreviewZoom::pzDefault) LastZoomMode = report.InitialZoom;
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
    connect(n6, &QAction::triggered, this, &TkvPreviewForm::AddPageCommand);
    QAction* n7 = procMenu_->addAction(Text(53031));
    n7->setObjectName("N7");
    connect(n7, &QAction::triggered, this, &TkvPreviewForm::DeletePageCommand);
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
    ClearMark();
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
    Button("ZoomBtn")->setText(zoomCaption_);

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
    ClearMark();
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
    // Pages side by side share the top line: the one asked for stays current, not the first of its row.
    if (scrollTarget_ >= 1 && scrollTarget_ <= pages_->Count()) {
        const TkvRect& r = pages_->PageInfo(scrollTarget_ - 1).PreviewRect;
        if (r.Top < pos + 11 && pos + 11 < r.Bottom) CurrentPage = scrollTarget_;
    }
    // At the end of the range the pages below the top line are in view too and can be scrolled to no
    // further: the page asked for stays current, and scrolling there makes the last page current.
    if (pos > 0 && pos >= vScroll_->maximum()) CurrentPage = scrollTarget_ ? scrollTarget_ : pages_->Count();
    UpdatePageLabel();
}

void TkvPreviewForm::OnHScroll(int pos) {
    ClearMark();
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
    MenuItem("N6")->setEnabled(CanAddPage());
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

QStringList TkvPreviewForm::SaveFilterList(int* preselected) const {
    QStringList filters{Text(55211) + " (*.kvp)"};
    int selected = 0;
    for (const auto& e : kv::ExportFiltersFor(OwnExportFilters)) {
        QString description = QString::fromLatin1(e.Description);
        // The dialog adds the filter's extension to a name without it, so the filter names it.
        if (!description.contains("*.") && e.FileMask.startsWith("*."))
            description += " (" + QString::fromLatin1(e.FileMask) + ")";
        filters << description;
        if (e.Filter->Default && selected == 0) selected = int(filters.size()) - 1;
    }
    if (preselected) *preselected = selected;
    return filters;
}

void TkvPreviewForm::SaveCommand() {
    if (!pages_ || !report_) return;
    int preselected = 0;
    const QStringList filters = SaveFilterList(&preselected);
    const std::vector<TkvExportFilterInfo> entries = kv::ExportFiltersFor(OwnExportFilters);
    // The chosen filter's extension is added to a name without it, and a file of the final name is
    // replaced only after the user agreed.
    const kv::SaveFileChoice choice = kv::AskSaveFileName(previewPanel_->window(), QString(), filters,
                                                          SuggestedName, filters.value(preselected));
    const QString name = choice.fileName;
    if (name.isEmpty()) return;
    const qsizetype chosen = choice.filterIndex;
    if (chosen > qsizetype(entries.size())) return;
    ReturnPages();
    if (chosen > 0) {
        TkvExportFilter& filter = *entries[size_t(chosen - 1)].Filter;
        TkvExportProgressWindow progress;
        const TkvExportResult r = kv::ExportWithFilter(*report_, filter, name, &progress);
        if (r.Outcome == TkvExportOutcome::Failed) ShowMessage(Text(55206), r.Message);
    } else {
        try {
            report_->SavePreparedFile(name);
        } catch (const std::exception& e) {
            ShowMessage(Text(55206), QString::fromLocal8Bit(e.what()));
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

// ---------------------------------------------------------------- keys

bool TkvPreviewForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pageBox_ && event->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(event);
        // Tab never moves the focus away from the pages.
        if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) return true;
        // While the page area is embedded, its host has a key table of its own.
        if (previewPanel_->window() != window()) return false;
        return HandleKey(e->key(), e->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

bool TkvPreviewForm::focusNextPrevChild(bool) { return false; }

void TkvPreviewForm::keyPressEvent(QKeyEvent* e) {
    if (!HandleKey(e->key(), e->modifiers())) QWidget::keyPressEvent(e);
}

bool TkvPreviewForm::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    if (!pages_) return false;
    const bool ctrl = modifiers & Qt::ControlModifier;
    auto scrollBy = [](QScrollBar* bar, int delta) { bar->setValue(bar->value() + delta); };
    switch (key) {
    case Qt::Key_Up: scrollBy(vScroll_, -10); return true;
    case Qt::Key_Down: scrollBy(vScroll_, 10); return true;
    case Qt::Key_Left: scrollBy(hScroll_, -10); return true;
    case Qt::Key_Right: scrollBy(hScroll_, 10); return true;
    case Qt::Key_PageUp:
        if (ctrl) PrevPageCommand();
        else scrollBy(vScroll_, -200);
        return true;
    case Qt::Key_PageDown:
        if (ctrl) NextPageCommand();
        else scrollBy(vScroll_, 200);
        return true;
    case Qt::Key_Space: ZoomMenuCommand(); return true;
    case Qt::Key_Escape: ExitCommand(); return true;
    case Qt::Key_Home:
        if (!ctrl) return false;
        vScroll_->setValue(0);
        return true;
    case Qt::Key_End:
        if (!ctrl) return false;
        SetCurrentPage(PageCount());
        return true;
    case Qt::Key_F3:
        if (!ctrl && !SearchText.isEmpty()) {
            // The search goes on from the page in view: a page the user moved to, or the current
            // page again once a search ran past the last page.
            if (CurrentPage != SearchPage + 1) {
                SearchPage = std::max(0, CurrentPage - 1);
                FoundIndex = 0;
            }
            FindNext();
        }
        return true;
    case Qt::Key_O:
        if (ctrl) LoadCommand();
        return ctrl;
    case Qt::Key_S:
        if (ctrl) SaveCommand();
        return ctrl;
    case Qt::Key_F:
        if (ctrl) FindCommand();
        return ctrl;
    case Qt::Key_P:
        if (ctrl && Button("PrintBtn")->isEnabled()) PrintCommand();
        return ctrl;
    case Qt::Key_E:
        if (ctrl && MenuItem("N5")->isVisible()) EditPageCommand();
        return ctrl;
    default: return ctrl;
    }
}

// ---------------------------------------------------------------- commands of the window

void TkvPreviewForm::ZoomMenuCommand() {
    for (const char* n : {"N4", "N5", "N6", "N7"}) MenuItem(n)->setVisible(false);
    QToolButton* zoom = Button("ZoomBtn");
    const QWidget* anchor = zoom->isVisible() ? static_cast<QWidget*>(zoom) : pageBox_;
    procMenu_->popup(anchor->mapToGlobal(zoom->isVisible() ? QPoint(0, zoom->height()) : QPoint(0, 0)));
}

void TkvPreviewForm::PrevPageCommand() {
    if (CurrentPage > 1) SetCurrentPage(CurrentPage - 1);
}

void TkvPreviewForm::NextPageCommand() {
    if (pages_ && CurrentPage < PageCount()) SetCurrentPage(CurrentPage + 1);
}

void TkvPreviewForm::LoadCommand() {
    if (!pages_ || !report_) return;
    const QString name = QFileDialog::getOpenFileName(previewPanel_->window(), QString(), QString(),
                                                      Text(55211) + " (*.kvp)");
    if (!name.isEmpty()) LoadFile(name);
}

bool TkvPreviewForm::LoadFile(const QString& fileName) {
    if (!pages_ || !report_) return false;
    // The report holds the empty store it was given while this window shows the pages: the new
    // file is read into it, and the shown pages are let go only once that succeeded.
    try {
        BusyCursor busy;
        report_->LoadPreparedFile(fileName);
    } catch (const std::exception& e) {
        report_->EMFPages.Clear();
        ShowMessage(Text(55206), QString::fromLocal8Bit(e.what()));
        return false;
    }
    const int horizontal = hScroll_->value();
    pages_.reset();
    TakePages(report_);
    SearchPage = 0;
    FoundIndex = 0;
    CurrentPage = 1;
    Relayout();
    LayoutReady = false;
    UpdatePageLabel();
    ScrollToCurrentPage();
    hScroll_->setValue(horizontal);
    LayoutReady = true;
    MenuItem("N6")->setEnabled(CanAddPage());
    MenuItem("N7")->setEnabled(PageCount() > 1);
    pageBox_->update();
    return true;
}

TkvPageSetupChoice TkvPreviewForm::InitialPageSetup() const {
    TkvPageSetupChoice c;
    const TkvPrinter& printer = kv::SharedPrinter();
    c.PaperSize = printer.PaperSize;
    c.Orientation = printer.Orientation;
    if (pages_ && pages_->Count() > 0) {
        const TkvRect& m = pages_->PageInfo(0).Margins;
        c.Margins = {kv::MarginToHundredthsMm(m.Left), kv::MarginToHundredthsMm(m.Top),
                     kv::MarginToHundredthsMm(m.Right), kv::MarginToHundredthsMm(m.Bottom)};
    }
    return c;
}

void TkvPreviewForm::PageSetupCommand() {
    if (!pages_ || !report_) return;
    TkvPageSetupForm dialog(InitialPageSetup(), previewPanel_->window());
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyPageSetup(dialog.Choice());
}

void TkvPreviewForm::ApplyPageSetup(const TkvPageSetupChoice& choice) {
    if (!report_) return;
    TkvPrinter& printer = kv::SharedPrinter();
    printer.PaperSize = choice.PaperSize;
    printer.Orientation = choice.Orientation;
    printer.ApplySettings();
    for (auto& page : report_->Pages) {
        if (page->PageType != 0) continue;
        page->LeftMargin = kv::HundredthsMmToMargin(choice.Margins[0]);
        page->TopMargin = kv::HundredthsMmToMargin(choice.Margins[1]);
        page->RightMargin = kv::HundredthsMmToMargin(choice.Margins[2]);
        page->BottomMargin = kv::HundredthsMmToMargin(choice.Margins[3]);
        page->ChangePaper(printer.PaperSize, 0, 0, printer.Bin, printer.Orientation);
    }
    // Pages read from a file cannot be made again: they stay as they were prepared.
    if (!report_->Rebuildable || !RebuildReport || !pages_) return;
    ReturnPages();
    report_->EMFPages.Clear();
    try {
        BusyCursor busy;
        RebuildReport(*report_);
    } catch (const std::exception& e) {
        ShowMessage(Text(55206), QString::fromLocal8Bit(e.what()));
    }
    TakePages(report_);
    ResetView(true);
}

bool TkvPreviewForm::CanAddPage() const { return pages_ && report_ && report_->Pages.Count() > 0; }

void TkvPreviewForm::AddPageCommand() {
    if (!CanAddPage() || CurrentPage < 1) return;
    pages_->InsertPage(CurrentPage - 1, *report_->Page(0));
    ResetView(false);
}

void TkvPreviewForm::DeletePageCommand() {
    if (!pages_ || PageCount() <= 1 || CurrentPage < 1 || CurrentPage > PageCount()) return;
    if (!AskYesNo(Text(55006), Text(55005))) return;
    pages_->DeletePage(CurrentPage - 1);
    ResetView(true);
}

void TkvPreviewForm::HelpCommand() {
    if (helpMode_) return;
    helpMode_ = true;
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    window()->grabMouse();
}

void TkvPreviewForm::mousePressEvent(QMouseEvent* e) {
    if (!helpMode_) {
        QWidget::mousePressEvent(e);
        return;
    }
    helpMode_ = false;
    window()->releaseMouse();
    QApplication::restoreOverrideCursor();
    QWidget* target = window()->childAt(window()->mapFromGlobal(e->globalPosition().toPoint()));
    if (!target || target == Button("HelpBtn")) return;
    for (QWidget* w = target; w; w = w->parentWidget()) {
        const int context = w->property(HelpContextProperty).toInt();
        if (context != 0) {
            if (ContextHelp) ContextHelp(context);
            return;
        }
        if (w == this) break;
    }
}

void TkvPreviewForm::ExitCommand() {
    if (!report_ || previewPanel_->window() != window()) return;
    window()->close();
}

// ---------------------------------------------------------------- search

void TkvPreviewForm::FindCommand() {
    if (!pages_) return;
    TkvPreviewSearchForm dialog(previewPanel_->window());
    if (dialog.exec() != QDialog::Accepted) return;
    StartSearch(dialog.Edit1->text(), dialog.CB1->isChecked(), dialog.RB1->isChecked());
    FindNext();
}

void TkvPreviewForm::StartSearch(const QString& text, bool caseSensitive, bool fromFirstPage) {
    SearchText = text;
    CaseSensitive = caseSensitive;
    if (fromFirstPage) {
        SearchPage = 0;
        FoundIndex = 0;
    } else if (CurrentPage != SearchPage + 1) {
        SearchPage = std::max(0, CurrentPage - 1);
        FoundIndex = 0;
    }
}

bool TkvPreviewForm::FindNext() {
    if (!pages_ || SearchText.isEmpty()) return false;
    ClearMark();
    const Qt::CaseSensitivity cs = CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    std::optional<TkvPageMatch> found;
    {
        BusyCursor busy;
        while (SearchPage < PageCount()) {
            std::vector<TkvPageMatch> matches;
            try {
                matches = kv::FindOnPage(*pages_, SearchPage, SearchText, cs);
            } catch (const std::exception& e) {
                // A damaged page is passed over; the user is told once.
                ReportDamagedPage(SearchPage, QString::fromLocal8Bit(e.what()));
            }
            if (FoundIndex >= 0 && size_t(FoundIndex) < matches.size()) {
                found = matches[size_t(FoundIndex)];
                ++FoundIndex;
                break;
            }
            ++SearchPage;
            FoundIndex = 0;
        }
    }
    if (!found) {
        ShowMessage(Text(53000), QCoreApplication::translate("TkvPreviewForm", "\"%1\" was not found.").arg(SearchText));
        return false;
    }
    FoundRect = found->Bounds;
    const int page = SearchPage + 1;
    const TkvRect P = pages_->PageInfo(SearchPage).PreviewRect;
    const double z = Zoom;
    const int L = RoundEven(FoundRect.left() * z), T = RoundEven(FoundRect.top() * z);
    const int d = RoundEven(FoundRect.width() * z), e = RoundEven(FoundRect.height() * z);
    const int BW = pageBox_->width(), BH = pageBox_->height();
    // The match in view: with the page 10 pixels inside the view where the match fits so, else with
    // its bottom (right) edge on the view's edge.
    const int v = T + 10 + e > BH ? P.Top + T + e - BH : P.Top - 10;
    const int h = L + 10 + d > BW ? P.Left + L + d - BW : P.Left - 10;
    CurrentPage = page;
    scrollTarget_ = page;
    vScroll_->setValue(v);
    hScroll_->setValue(h);
    scrollTarget_ = 0;
    CurrentPage = page;
    UpdatePageLabel();
    mark_ = Mark{SearchPage, FoundRect};
    pageBox_->update();
    return true;
}

QRect TkvPreviewForm::MarkScreenRect() const {
    if (!mark_ || !pages_ || mark_->page >= pages_->Count()) return {};
    const TkvRect& P = pages_->PageInfo(mark_->page).PreviewRect;
    const double z = Zoom;
    const QRect& r = mark_->rect;
    const int x0 = P.Left + OffsetX + RoundEven(r.left() * z);
    const int y0 = P.Top + OffsetY + RoundEven(r.top() * z);
    return QRect(x0, y0, RoundEven(r.width() * z), RoundEven(r.height() * z) + 1);
}

void TkvPreviewForm::ClearMark() {
    if (!mark_) return;
    mark_.reset();
    // The whole box: a scroll may already have moved the marked pixels.
    pageBox_->update();
}
