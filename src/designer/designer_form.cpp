// The designer window: construction, menus, tool bars, status bar, page tabs, files and keys. The
// editing commands are in designer_commands.cpp.
#include "designer/designer_form.h"

#include "core/globals.h"
#include "base/codepage.h"
#include "core/locale.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/template/template_library.h"
#include "core/views/band_view.h"
#include "core/views/memo_view.h"
#include "core/views/subreport_view.h"
#include "core/views/view_factory.h"
#include "designer/designer_dialogs.h"
#include "designer/designer_page.h"
#include "designer/designer_shared.h"
#include "render/colors.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString Text(int id) {
    return QString::fromUtf8(kv::LoadLibraryText(id));
}

// A tool bar picture drawn from a short glyph, at twice the size for sharp high-density screens.
QIcon GlyphIcon(const QString& glyph, const QColor& colour = QColor(0x20, 0x20, 0x20)) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(22 * scale, 22 * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::TextAntialiasing);
        QFont f = p.font();
        f.setPixelSize(glyph.size() > 2 ? 9 : glyph.size() > 1 ? 11 : 14);
        f.setBold(true);
        p.setFont(f);
        p.setPen(colour);
        p.drawText(QRect(0, 0, 22, 22), Qt::AlignCenter, glyph);
        icon.addPixmap(pm);
    }
    return icon;
}

// The status bar's unit panel: a double click switches to the next unit.
class TkvUnitLabel : public QLabel {
public:
    TkvUnitLabel(std::function<void()> next, QWidget* parent) : QLabel(parent), next_(std::move(next)) {}

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { next_(); }

private:
    std::function<void()> next_;
};

// The scroll box's content: grey around the page.
class TkvPageBox : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter(this).fillRect(e->rect(), QColor(0x80, 0x80, 0x80));
    }
};

} // namespace

void TkvReportDesigner::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec();
    modalLoop_ = nullptr;
}

void TkvReportDesigner::EndModal() {
    if (modalLoop_) modalLoop_->quit();
}

TkvDesignerForm::TkvDesignerForm(TkvReport& report, TkvDesignerMode mode, TkvDesignerShared& shared, QWidget* parent)
    : TkvReportDesigner(report, mode, parent), shared_(shared) {
    setObjectName("designerForm");
    setAttribute(Qt::WA_DeleteOnClose, false);
    LoadOptions();
    fileName_ = report.TemplateFileName.isEmpty() || report.TemplateFileName == kv::LoadLibraryText(55209)
                    ? Text(55209)
                    : QString::fromLocal8Bit(report.TemplateFileName);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    scroll_ = new QScrollArea(central);
    scroll_->setObjectName("scrollBox");
    scroll_->setWidgetResizable(false);
    box_ = new TkvPageBox;
    surface_ = new TkvDesignerPage(*this, box_);
    scroll_->setWidget(box_);
    scroll_->viewport()->installEventFilter(this);
    layout->addWidget(scroll_, 1);
    tabs_ = new QTabBar(central);
    tabs_->setObjectName("pageTabs");
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setMovable(true);
    tabs_->setExpanding(false);
    layout->addWidget(tabs_);
    setCentralWidget(central);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int i) {
        if (!movingTabs_ && i >= 0 && i != curPageIndex_) SetCurPage(i);
    });
    connect(tabs_, &QTabBar::tabMoved, this, [this](int from, int to) {
        if (movingTabs_) return;
        MovePage(from, to);
    });

    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildStatusBar();

    if (report_.PageCount() == 0) {
        report_.Pages.Add();
        report_.Page(0)->Name = "Page1";
        modified_ = false;
    }
    SetCurPage(0);
    UpdateCaption();
    // Large enough for the tool bars, never larger than the screen.
    QSize size(1200, 820);
    if (const QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size() * 0.95);
    resize(size);
    for (const auto& install : shared_.FormInstallers) install(*this);
}

TkvDesignerForm::~TkvDesignerForm() {
    SaveOptions();
    TkvLibraryContext& lib = kv::Library();
    if (lib.CurDesigner == this) lib.CurDesigner = nullptr;
    if (lib.Current.DesignerPage == page_) lib.Current.DesignerPage = nullptr;
}

void TkvDesignerForm::TakeReport(std::unique_ptr<TkvReport> report) {
    ownedReport_ = std::move(report);
}

TkvObjectDefaults& TkvDesignerForm::Defaults() {
    return shared_.Defaults;
}

uint16_t TkvDesignerForm::Restrictions() const {
    return shared_.Restrictions;
}

void TkvDesignerForm::LoadOptions() {
    QSettings settings;
    options_.Load(settings);
}

void TkvDesignerForm::SaveOptions() const {
    QSettings settings;
    options_.Save(settings);
}

void TkvDesignerForm::ActivateContext() const {
    TkvLibraryContext& lib = kv::Library();
    lib.Current.CurReport = &report_;
    lib.Current.DesignerPage = page_;
    lib.Current.DocumentMode = 0;
    lib.CurDesigner = const_cast<TkvDesignerForm*>(this);
}

// ---------------------------------------------------------------- actions and bars

QAction* TkvDesignerForm::AddAction(const QString& name, const QString& text, const QString& hint,
                                    const QKeySequence& key, std::function<void()> handler, bool checkable) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    if (!hint.isEmpty()) {
        a->setToolTip(hint);
        a->setStatusTip(hint);
    }
    if (!key.isEmpty()) a->setShortcut(key);
    a->setCheckable(checkable);
    if (handler) connect(a, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    actions_.insert(name, a);
    addAction(a);
    return a;
}

void TkvDesignerForm::BuildActions() {
    AddAction("acNew", Text(53155), "New report", QKeySequence("Ctrl+N"), [this] { NewReport(); })
        ->setIcon(GlyphIcon("N"));
    AddAction("acOpen", Text(53156), "Open report", QKeySequence("Ctrl+O"), [this] { OpenCommand(); })
        ->setIcon(GlyphIcon("O"));
    AddAction("acSave", Text(53157), "Save report", QKeySequence("Ctrl+S"), [this] { SaveCommand(); })
        ->setIcon(GlyphIcon("S"));
    AddAction("acSaveAs", Text(53188), {}, {}, [this] { SaveAsCommand(); });
    AddAction("acDictionary", Text(53158), {}, {}, {});
    AddAction("acReportOptions", Text(53159), {}, {}, {});
    AddAction("acPageOptions", Text(53160), "Page options", {}, [this] { PageOptionsCommand(); })
        ->setIcon(GlyphIcon("Pg"));
    AddAction("acPreview", Text(53161), "Preview report", QKeySequence("Ctrl+P"), [this] { PreviewCommand(); })
        ->setIcon(GlyphIcon("\u25B6", QColor(0, 0x80, 0)));
    AddAction("acExit", Text(53162), {}, {}, [this] { close(); });
    AddAction("acClose", QStringLiteral("Close"), "Close designer", {}, [this] { close(); })
        ->setIcon(GlyphIcon("\u2715", QColor(0xA0, 0, 0)));

    AddAction("acUndo", Text(53164), "Undo last action", QKeySequence("Ctrl+Z"), [this] { UndoCommand(); })
        ->setIcon(GlyphIcon("\u21B6"));
    AddAction("acRedo", Text(53165), "Redo cancelled action", QKeySequence("Ctrl+Y"), [this] { RedoCommand(); })
        ->setIcon(GlyphIcon("\u21B7"));
    AddAction("acCut", Text(53166), "Cut", {}, [this] { CutCommand(); })->setIcon(GlyphIcon("\u2702"));
    actions_["acCut"]->setShortcuts({QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")});
    AddAction("acCopy", Text(53167), "Copy", {}, [this] { CopyCommand(); })->setIcon(GlyphIcon("Cp"));
    actions_["acCopy"]->setShortcuts({QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")});
    AddAction("acPaste", Text(53168), "Paste", {}, [this] { PasteCommand(); })->setIcon(GlyphIcon("Ps"));
    actions_["acPaste"]->setShortcuts({QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")});
    AddAction("acDelete", Text(53169), {}, {}, [this] { DeleteCommand(); });
    AddAction("acSelectAll", Text(53170), "Select all", QKeySequence("Ctrl+A"), [this] { SelectAllCommand(); })
        ->setIcon(GlyphIcon("All"));
    AddAction("acEdit", Text(53171), {}, {}, [this] {
        if (selection_.SelNum == 1) OpenEditor(SelectedViews().front());
    });
    AddAction("acAddPage", Text(53172), "Add page", {}, [this] { AddPageCommand(false); })->setIcon(GlyphIcon("+P"));
    AddAction("acAddDialog", Text(53192), "Add dialog form", {}, [this] { AddPageCommand(true); })
        ->setIcon(GlyphIcon("+D"));
    AddAction("acRemovePage", Text(53173), "Remove page", {}, [this] { RemovePageCommand(true); })
        ->setIcon(GlyphIcon("-P"));
    AddAction("acBringToFront", Text(53174), "Bring to front", {}, [this] { BringToFront(); })
        ->setIcon(GlyphIcon("\u2912"));
    AddAction("acSendToBack", Text(53175), "Send to back", {}, [this] { SendToBack(); })->setIcon(GlyphIcon("\u2913"));
    AddAction("acGrid", QStringLiteral("Grid"), "Grid", {}, [this] {
        options_.GridShow = actions_["acGrid"]->isChecked();
        surface_->update();
    }, true)->setIcon(GlyphIcon("#"));
    AddAction(
        "acGridAlign", QStringLiteral("Grid align"), "Grid align", {},
        [this] { options_.GridAlign = actions_["acGridAlign"]->isChecked(); }, true)
        ->setIcon(GlyphIcon("+#"));
    AddAction("acFitToGrid", QStringLiteral("Fit to grid"), "Fit to grid", {}, [this] { FitToGrid(); })
        ->setIcon(GlyphIcon("Fit"));
    AddAction("acOptions", Text(53179), {}, {}, [this] {
        TkvDesignerOptionsDialog dialog(options_, this);
        if (dialog.exec() != QDialog::Accepted) return;
        options_ = dialog.Options();
        actions_["acGrid"]->setChecked(options_.GridShow);
        actions_["acGridAlign"]->setChecked(options_.GridAlign);
        UpdateStatusBar();
        Relayout();
        surface_->update();
        UpdateCommands();
    });
    AddAction("acHelp", Text(53189), "Show help", QKeySequence("F1"), {})->setIcon(GlyphIcon("?"));
    AddAction("acHelpTool", Text(53190), {}, QKeySequence("Shift+F1"), {});
    AddAction("acAbout", Text(53187), {}, {}, [this] {
        QMessageBox::about(this, QStringLiteral("About"), QStringLiteral("KV report designer"));
    });
    actions_["acGrid"]->setChecked(options_.GridShow);
    actions_["acGridAlign"]->setChecked(options_.GridAlign);

    // Text and frame commands.
    struct Fmt {
        const char* name;
        const char* hint;
        const char* glyph;
        int number;
        bool checkable;
    };
    const Fmt fmts[] = {
        {"acTextLeft", "Left align", "\u2261L", kvfmt::AlignLeft, false},
        {"acTextRight", "Right align", "\u2261R", kvfmt::AlignRight, false},
        {"acTextCenter", "Center align", "\u2261C", kvfmt::AlignCenter, false},
        {"acTextRotate", "Normal text / 90 degrees", "90", kvfmt::Rotate90, true},
        {"acTextWidth", "Width align", "\u2261W", kvfmt::WidthAlign, false},
        {"acBold", "Bold", "B", kvfmt::Bold, true},
        {"acItalic", "Italic", "I", kvfmt::Italic, true},
        {"acUnderline", "Underline", "U", kvfmt::Underline, true},
        {"acTopLine", "Top frame line", "\u2594", kvfmt::TopLine, true},
        {"acLeftLine", "Left frame line", "\u258F", kvfmt::LeftLine, true},
        {"acBottomLine", "Bottom frame line", "\u2581", kvfmt::BottomLine, true},
        {"acRightLine", "Right frame line", "\u2595", kvfmt::RightLine, true},
        {"acAllLines", "All frame lines", "\u25A1", kvfmt::AllLines, false},
        {"acNoFrame", "No frame", "\u2B1A", kvfmt::NoFrame, false},
    };
    for (const Fmt& f : fmts) {
        QAction* a = AddAction(f.name, QString::fromUtf8(f.hint), QString::fromUtf8(f.hint), {}, {}, f.checkable);
        a->setIcon(GlyphIcon(QString::fromUtf8(f.glyph)));
        const int number = f.number;
        connect(a, &QAction::triggered, this, [this, number](bool checked) { FormatCommand(number, checked); });
    }
    auto* vgroup = new QActionGroup(this);
    const std::pair<const char*, int> vertical[] = {{"Top align", kvfmt::VTop}, {"Vertical center", kvfmt::VCenter},
                                                    {"Bottom align", kvfmt::VBottom}};
    const char* vnames[] = {"acTextTop", "acTextVCenter", "acTextBottom"};
    const char* vglyphs[] = {"\u2912", "\u2195", "\u2913"};
    for (int i = 0; i < 3; ++i) {
        QAction* a = AddAction(vnames[i], vertical[i].first, vertical[i].first, {}, {}, true);
        a->setIcon(GlyphIcon(QString::fromUtf8(vglyphs[i])));
        vgroup->addAction(a);
        const int value = vertical[i].second;
        connect(a, &QAction::triggered, this, [this, value] { FormatCommand(kvfmt::VerticalAlign, value); });
    }
    auto colourCommand = [this](int number, const QString& caption) {
        const QColor c = QColorDialog::getColor(Qt::black, this, caption);
        if (c.isValid()) FormatCommand(number, static_cast<qulonglong>(kv::QColorToColor(c)));
    };
    AddAction("acFontColor", "Font color", "Font color", {}, [=] { colourCommand(kvfmt::FontColor, "Font color"); })
        ->setIcon(GlyphIcon("A", QColor(0xC0, 0, 0)));
    AddAction("acFillColor", "Background color", "Background color", {},
              [=] { colourCommand(kvfmt::FillColor, "Background color"); })
        ->setIcon(GlyphIcon("\u25A0", QColor(0xE0, 0xC0, 0x40)));
    AddAction("acFrameColor", "Frame color", "Frame color", {}, [=] { colourCommand(kvfmt::FrameColor, "Frame color"); })
        ->setIcon(GlyphIcon("\u25A1", QColor(0, 0, 0xC0)));
    AddAction("acHighlight", "Conditional highlightning", "Conditional highlightning", {}, [this] {
        if (selection_.SelNum != 1 || !kv::Library().Editors.Highlight) return;
        BeforeChange();
        kv::Library().Editors.Highlight(SelectedViews().front());
        AfterChange();
    })->setIcon(GlyphIcon("H!"));

    // Objects bar: one exclusive group of tools.
    auto* tools = new QActionGroup(this);
    struct ToolDef {
        const char* name;
        const char* hint;
        const char* glyph;
        TkvDesignerTool tool;
        int tag;
    };
    const ToolDef defs[] = {
        {"acSelectTool", "Select object", "\u2196", TkvDesignerTool::Select, 0},
        {"acInsertText", "Insert rectangle object", "T", TkvDesignerTool::Insert, kvtag::Text},
        {"acInsertBand", "Insert band", "\u2550", TkvDesignerTool::Insert, kvtag::Band},
        {"acInsertPicture", "Insert picture", "\u25A3", TkvDesignerTool::Insert, kvtag::Picture},
        {"acInsertSubreport", "Insert subreport", "Sub", TkvDesignerTool::Insert, kvtag::SubReport},
        {"acDrawLine", "Draw lines", "\u2571", TkvDesignerTool::Line, 0},
    };
    for (const ToolDef& d : defs) {
        QAction* a = AddAction(d.name, d.hint, d.hint, {}, {}, true);
        a->setIcon(GlyphIcon(QString::fromUtf8(d.glyph)));
        tools->addAction(a);
        toolActions_ << a;
        const TkvDesignerTool tool = d.tool;
        const int tag = d.tag;
        connect(a, &QAction::triggered, this, [this, tool, tag] { SetTool(tool, tag); });
    }
    const auto& addIns = kv::AddInObjects();
    for (size_t i = 0; i < addIns.size(); ++i) {
        const TkvAddInObjectInfo& info = addIns[i];
        bool number = false;
        const int id = info.ButtonHint.toInt(&number);
        const QString hint = number ? Text(id) : QString::fromUtf8(info.ButtonHint);
        QAction* a = AddAction(QString("acInsertAddIn%1").arg(i), hint.isEmpty() ? QString::fromUtf8(info.ClassName) : hint,
                               hint, {}, {}, true);
        a->setIcon(info.ButtonPicture.isNull() ? GlyphIcon("+") : QIcon(QPixmap::fromImage(info.ButtonPicture)));
        tools->addAction(a);
        toolActions_ << a;
        const int tag = kvtag::FirstAddIn + static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, tag] { SetTool(TkvDesignerTool::Insert, tag); });
    }
    actions_["acSelectTool"]->setChecked(true);

    // Alignment palette.
    const std::tuple<const char*, const char*, const char*, TkvAlignCommand> aligns[] = {
        {"acAlignLeft", "Align left edges", "|\u2190", TkvAlignCommand::LeftEdges},
        {"acAlignHCenters", "Align horizontal centers", "\u2194", TkvAlignCommand::HorizontalCenters},
        {"acCenterH", "Center horizontally in window", "\u21FF", TkvAlignCommand::CenterHorizontally},
        {"acSpaceH", "Space equally, horizontally", "\u2026", TkvAlignCommand::SpaceHorizontally},
        {"acAlignRight", "Align right edges", "\u2192|", TkvAlignCommand::RightEdges},
        {"acAlignTops", "Align tops", "\u2191", TkvAlignCommand::Tops},
        {"acAlignVCenters", "Align vertical centers", "\u2195", TkvAlignCommand::VerticalCenters},
        {"acCenterV", "Center vertically in window", "\u21F3", TkvAlignCommand::CenterVertically},
        {"acSpaceV", "Space equally, vertically", "\u22EE", TkvAlignCommand::SpaceVertically},
        {"acAlignBottoms", "Align bottoms", "\u2193", TkvAlignCommand::Bottoms},
    };
    for (const auto& [name, hint, glyph, command] : aligns) {
        const TkvAlignCommand c = command;
        AddAction(name, hint, hint, {}, [this, c] { AlignCommand(c); })->setIcon(GlyphIcon(QString::fromUtf8(glyph)));
    }
}

void TkvDesignerForm::BuildMenus() {
    QMenu* file = menuBar()->addMenu(Text(53154));
    for (const char* n : {"acNew", "acOpen", "acSave", "acSaveAs"}) file->addAction(actions_[n]);
    file->addSeparator();
    for (const char* n : {"acDictionary", "acReportOptions", "acPageOptions"}) file->addAction(actions_[n]);
    file->addSeparator();
    file->addAction(actions_["acPreview"]);
    file->addSeparator();
    file->addAction(actions_["acExit"]);
    QMenu* edit = menuBar()->addMenu(Text(53163));
    for (const char* n : {"acUndo", "acRedo"}) edit->addAction(actions_[n]);
    edit->addSeparator();
    for (const char* n : {"acCut", "acCopy", "acPaste", "acDelete", "acSelectAll", "acEdit"}) edit->addAction(actions_[n]);
    edit->addSeparator();
    for (const char* n : {"acAddPage", "acAddDialog", "acRemovePage"}) edit->addAction(actions_[n]);
    edit->addSeparator();
    for (const char* n : {"acBringToFront", "acSendToBack"}) edit->addAction(actions_[n]);
    QMenu* toolsMenu = menuBar()->addMenu(Text(53176));
    toolsMenu->setObjectName("toolsMenu");
    QMenu* bars = toolsMenu->addMenu(Text(53177));
    bars->setObjectName("toolbarsMenu");
    QMenu* extra = toolsMenu->addMenu(Text(53178));
    extra->setEnabled(false);
    toolsMenu->addSeparator();
    toolsMenu->addAction(actions_["acOptions"]);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    for (const char* n : {"acHelp", "acHelpTool"}) help->addAction(actions_[n]);
    help->addSeparator();
    help->addAction(actions_["acAbout"]);
}

void TkvDesignerForm::BuildToolBars() {
    auto bar = [this](const QString& name, const QString& title, Qt::ToolBarArea area = Qt::TopToolBarArea) {
        QToolBar* b = new QToolBar(title, this);
        b->setObjectName(name);
        b->setIconSize(QSize(22, 22));
        addToolBar(area, b);
        return b;
    };
    QToolBar* standard = bar("standardBar", Text(53181));
    for (const char* n : std::initializer_list<const char*>{"acNew", "acOpen", "acSave", "acPreview", nullptr, "acCut", "acCopy", "acPaste", nullptr,
                          "acUndo", "acRedo", nullptr, "acBringToFront", "acSendToBack", "acSelectAll", nullptr,
                          "acAddPage", "acRemovePage", "acPageOptions", "acAddDialog", nullptr, "acGrid", "acGridAlign",
                          "acFitToGrid", nullptr, "acHelp", "acClose"})
        n ? (void)standard->addAction(actions_[n]) : (void)standard->addSeparator();
    addToolBarBreak();

    QToolBar* text = bar("textBar", Text(53182));
    fontName_ = new QComboBox(text);
    fontName_->setObjectName("fontName");
    fontName_->setToolTip("Font name");
    fontName_->setEditable(true);
    fontName_->addItems(QFontDatabase::families());
    fontName_->setCurrentText(QString::fromUtf8(shared_.Defaults.FontName));
    fontName_->setMinimumContentsLength(14);
    text->addWidget(fontName_);
    fontSize_ = new QComboBox(text);
    fontSize_->setObjectName("fontSize");
    fontSize_->setToolTip("Font size");
    fontSize_->setEditable(true);
    for (int s : {5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        fontSize_->addItem(QString::number(s));
    fontSize_->setCurrentText(QString::number(shared_.Defaults.FontSize));
    text->addWidget(fontSize_);
    connect(fontName_, &QComboBox::textActivated, this,
            [this](const QString& t) { FormatCommand(kvfmt::FontName, t); });
    connect(fontSize_, &QComboBox::textActivated, this,
            [this](const QString& t) { FormatCommand(kvfmt::FontSize, t); });
    for (const char* n : std::initializer_list<const char*>{"acBold", "acItalic", "acUnderline", nullptr, "acTextLeft", "acTextCenter", "acTextRight",
                          "acTextWidth", nullptr, "acTextTop", "acTextVCenter", "acTextBottom", "acTextRotate", nullptr,
                          "acFontColor", "acHighlight"})
        n ? (void)text->addAction(actions_[n]) : (void)text->addSeparator();

    QToolBar* frame = bar("frameBar", QStringLiteral("Frame"));
    for (const char* n : std::initializer_list<const char*>{"acTopLine", "acLeftLine", "acBottomLine", "acRightLine", "acAllLines", "acNoFrame", nullptr,
                          "acFillColor", "acFrameColor"})
        n ? (void)frame->addAction(actions_[n]) : (void)frame->addSeparator();
    frameWidth_ = new QComboBox(frame);
    frameWidth_->setObjectName("frameWidth");
    frameWidth_->setToolTip("Frame width");
    frameWidth_->setEditable(true);
    frameWidth_->addItems({"0,1", "0,5", "1", "1,5", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    frameWidth_->setCurrentText("1");
    frame->addWidget(frameWidth_);
    connect(frameWidth_, &QComboBox::textActivated, this,
            [this](const QString& t) { FormatCommand(kvfmt::FrameWidth, t); });
    auto* styles = new QToolButton(frame);
    styles->setObjectName("lineStyle");
    styles->setToolTip("Line style");
    styles->setIcon(GlyphIcon("---"));
    styles->setPopupMode(QToolButton::InstantPopup);
    auto* styleMenu = new QMenu(styles);
    const char* styleNames[] = {"Solid", "Dash", "Dot", "Dash dot", "Dash dot dot", "Double"};
    for (int i = 0; i < 6; ++i) {
        QAction* a = styleMenu->addAction(styleNames[i]);
        a->setObjectName(QString("acLineStyle%1").arg(i));
        connect(a, &QAction::triggered, this, [this, i] { FormatCommand(kvfmt::FirstLineStyle + i, true); });
    }
    styles->setMenu(styleMenu);
    frame->addWidget(styles);

    QToolBar* objects = bar("objectsBar", Text(53183), Qt::LeftToolBarArea);
    for (QAction* a : toolActions_) objects->addAction(a);

    QToolBar* align = bar("alignmentBar", QStringLiteral("Alignment palette"), Qt::LeftToolBarArea);
    align->setObjectName("alignmentPalette");
    for (const char* n : {"acAlignLeft", "acAlignHCenters", "acCenterH", "acSpaceH", "acAlignRight", "acAlignTops",
                          "acAlignVCenters", "acCenterV", "acSpaceV", "acAlignBottoms"})
        align->addAction(actions_[n]);

    if (QMenu* bars = menuBar()->findChild<QMenu*>("toolbarsMenu"))
        for (QToolBar* b : {standard, text, frame, objects, align}) bars->addAction(b->toggleViewAction());
}

void TkvDesignerForm::BuildStatusBar() {
    status_[0] = new TkvUnitLabel(
        [this] { SetUnits(static_cast<TkvDesignerUnits>((static_cast<int>(options_.Units) + 1) % 3)); }, this);
    status_[1] = new QLabel(this);
    status_[2] = new QLabel(this);
    status_[0]->setObjectName("statusUnits");
    status_[1]->setObjectName("statusGeometry");
    status_[2]->setObjectName("statusObject");
    status_[0]->setMinimumWidth(60);
    status_[1]->setMinimumWidth(220);
    statusBar()->addWidget(status_[0]);
    statusBar()->addWidget(status_[1]);
    statusBar()->addWidget(status_[2], 1);
}

void TkvDesignerForm::SetUnits(TkvDesignerUnits units) {
    options_.Units = units;
    UpdateStatusBar();
    NotifySelectionChanged();
}

void TkvDesignerForm::UpdateCaption() {
    const QString base = QStringLiteral("Report designer");
    setWindowTitle(TemplateMode() ? QString("%1 - %2").arg(base, QFileInfo(fileName_).fileName()) : base);
}

void TkvDesignerForm::UpdateStatusBar() {
    status_[0]->setText(kv::UnitName(options_.Units));
    auto unit = [this](int v) {
        const double d = kv::PageUnitsToUnits(v, options_.Units);
        return options_.Units == TkvDesignerUnits::Pixels ? QString::number(v) : QString::number(d, 'f', 1);
    };
    const std::vector<TkvView*> sel = SelectedViews();
    if (sel.empty()) {
        status_[1]->clear();
        status_[2]->clear();
        return;
    }
    TkvRect r{sel.front()->Left, sel.front()->Top, sel.front()->Left + sel.front()->Width,
              sel.front()->Top + sel.front()->Height};
    for (const TkvView* v : sel) {
        r.Left = std::min(r.Left, v->Left);
        r.Top = std::min(r.Top, v->Top);
        r.Right = std::max(r.Right, v->Left + v->Width);
        r.Bottom = std::max(r.Bottom, v->Top + v->Height);
    }
    status_[1]->setText(QString("%1; %2   %3; %4").arg(unit(r.Left), unit(r.Top), unit(r.Width()), unit(r.Height())));
    if (sel.size() == 1) {
        const TkvView* v = sel.front();
        QString what;
        if (v->ObjectType == kvvt::Band)
            what = QString::fromUtf8(kv::BandTypeName(static_cast<const TkvBandView*>(v)->BandType()));
        else if (!v->Memo.isEmpty())
            what = kv::DecodeText(v->Memo.front(), kv::DefaultCharset);
        status_[2]->setText(QString::fromUtf8(v->Name) + ": " + what);
    } else {
        status_[2]->clear();
    }
}

void TkvDesignerForm::UpdateCommands() {
    const uint16_t r = Restrictions();
    const bool tmpl = TemplateMode();
    const bool any = selection_.SelNum > 0;
    auto enable = [this](const char* n, bool on) {
        if (QAction* a = actions_.value(n)) a->setEnabled(on);
    };
    enable("acNew", tmpl && !(r & kvdr::NewReport));
    enable("acOpen", tmpl && !(r & kvdr::Open));
    enable("acSave", tmpl && modified_ && !(r & kvdr::Save));
    enable("acSaveAs", tmpl && !(r & kvdr::Save));
    enable("acDictionary", tmpl && !(r & kvdr::Dictionary) && false);
    enable("acReportOptions", tmpl && !(r & kvdr::ReportOptions) && false);
    enable("acPageOptions", tmpl && !(r & kvdr::PageOptions) && page_ && page_->PageType == kvpt::Report);
    enable("acPreview", tmpl && !(r & kvdr::Preview));
    enable("acAddPage", tmpl && !(r & kvdr::AddPage));
    enable("acAddDialog", tmpl && !(r & kvdr::AddPage));
    enable("acRemovePage", tmpl && !(r & kvdr::RemovePage) && report_.PageCount() > 1);
    enable("acUndo", !options_.DisableUndo && history_.CanUndo(curPageIndex_));
    enable("acRedo", !options_.DisableUndo && history_.CanRedo(curPageIndex_));
    enable("acCut", any && !(r & kvdr::Delete));
    enable("acCopy", any);
    enable("acPaste", !(r & kvdr::Insert) && shared_.Clipboard.CanPaste());
    enable("acDelete", any && !(r & kvdr::Delete));
    enable("acEdit", selection_.SelNum == 1 && !(r & kvdr::ObjectEditors));
    enable("acBringToFront", any);
    enable("acSendToBack", any);
    enable("acFitToGrid", any && !(r & kvdr::Move));
    for (QAction* a : toolActions_) a->setEnabled(a->objectName() == "acSelectTool" || !(r & kvdr::Insert));
}

// ---------------------------------------------------------------- pages and tabs

void TkvDesignerForm::ResetPageState() {
    surface_->UnselectAll();
    selection_ = {};
    surface_->CancelDrag();
}

void TkvDesignerForm::SetCurPage(int index) {
    if (report_.PageCount() == 0) return;
    index = std::clamp(index, 0, report_.PageCount() - 1);
    if (page_) surface_->UnselectAll();
    curPageIndex_ = index;
    page_ = report_.Page(index);
    ResetPageState();
    ActivateContext();
    RefreshTabs();
    Relayout();
    surface_->update();
    NotifySelectionChanged();
}

void TkvDesignerForm::RefreshTabs() {
    movingTabs_ = true;
    while (tabs_->count() > report_.PageCount()) tabs_->removeTab(tabs_->count() - 1);
    while (tabs_->count() < report_.PageCount()) tabs_->addTab(QString());
    for (int i = 0; i < report_.PageCount(); ++i) {
        QString caption = Text(55004) + QString::number(i + 1);
        for (const auto& p : report_.Pages)
            for (const auto& v : p->Objects)
                if (v->ObjectType == kvvt::SubReport && static_cast<TkvSubReportView*>(v.get())->SubPageIndex == i)
                    caption = QString::fromUtf8(v->Name);
        tabs_->setTabText(i, caption);
    }
    tabs_->setCurrentIndex(curPageIndex_);
    movingTabs_ = false;
}

void TkvDesignerForm::MovePage(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= report_.PageCount() || to >= report_.PageCount()) return;
    auto subreports = [this](const std::function<void(TkvSubReportView&)>& f) {
        for (const auto& p : report_.Pages)
            for (const auto& v : p->Objects)
                if (v->ObjectType == kvvt::SubReport) f(static_cast<TkvSubReportView&>(*v));
    };
    subreports([from](TkvSubReportView& s) {
        if (s.SubPageIndex == from) s.SubPageIndex = -1;
    });
    if (to < from)
        for (int e = from - 1; e >= to; --e)
            subreports([e](TkvSubReportView& s) {
                if (s.SubPageIndex == e) s.SubPageIndex = e + 1;
            });
    else
        for (int e = from + 1; e <= to; ++e)
            subreports([e](TkvSubReportView& s) {
                if (s.SubPageIndex == e) s.SubPageIndex = e - 1;
            });
    subreports([to](TkvSubReportView& s) {
        if (s.SubPageIndex == -1) s.SubPageIndex = to;
    });
    report_.Pages.Move(from, to);
    // Steps speak of page indices that no longer hold.
    history_.Clear();
    curPageIndex_ = to;
    page_ = report_.Page(to);
    SetModified(true);
    RefreshTabs();
    surface_->update();
    UpdateCommands();
}

void TkvDesignerForm::Relayout() {
    if (!page_) return;
    const QSize viewport = scroll_->viewport()->size();
    const QSize size = surface_->PageSize(viewport);
    surface_->resize(size);
    const int boxW = std::max(viewport.width(), size.width() + 22);
    const int boxH = std::max(viewport.height(), size.height() + 20);
    int left;
    if (page_->PageType == kvpt::Dialog) left = 0;
    else if (viewport.width() < size.width() + 11 || options_.PagePosition == 3) left = 10;
    else if (options_.PagePosition == 5) left = (boxW - size.width()) / 2;
    else left = boxW - size.width() - 11;
    const int top = page_->PageType == kvpt::Dialog ? 0 : 10;
    box_->resize(page_->PageType == kvpt::Dialog ? viewport : QSize(boxW, boxH));
    surface_->move(left, top);
}

void TkvDesignerForm::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    Relayout();
}

bool TkvDesignerForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == scroll_->viewport() && e->type() == QEvent::Resize) Relayout();
    return QMainWindow::eventFilter(watched, e);
}

void TkvDesignerForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    ActivateContext();
    Relayout();
    UpdateCommands();
    surface_->setFocus();
}

// ---------------------------------------------------------------- host

void TkvDesignerForm::SetModified(bool modified) {
    modified_ = modified;
    UpdateCommands();
}

void TkvDesignerForm::RedrawPage() {
    surface_->update();
}

void TkvDesignerForm::SelectObject(const QByteArray& name) {
    if (!page_) return;
    TkvView* v = page_->FindObject(name);
    if (!v) return;
    surface_->UnselectAll();
    v->Selected = 1;
    surface_->ComputeGroup();
    selection_.SelectedView = v;
    surface_->update();
    NotifySelectionChanged();
}

void TkvDesignerForm::BeforeChange() {
    AddUndoStep(TkvUndoKind::Modify);
}

void TkvDesignerForm::AfterChange() {
    SetModified(true);
    surface_->update();
    NotifySelectionChanged();
}

void TkvDesignerForm::NotifySelectionChanged() {
    UpdateStatusBar();
    UpdateCommands();
    // The frame buttons show the sides of a single selection.
    const std::vector<TkvView*> sel = SelectedViews();
    if (sel.size() == 1) {
        const uint16_t f = sel.front()->ObjectType == kvvt::Band ? 0 : sel.front()->FrameTyp;
        const std::pair<const char*, uint16_t> sides[] = {
            {"acTopLine", 8}, {"acLeftLine", 4}, {"acBottomLine", 2}, {"acRightLine", 1}};
        for (const auto& [n, bit] : sides) actions_[n]->setChecked(f & bit);
    }
    for (const auto& listener : selectionListeners_) listener();
}

std::vector<TkvView*> TkvDesignerForm::SelectedViews() const {
    std::vector<TkvView*> out;
    if (page_)
        for (const auto& v : page_->Objects)
            if (v->Selected) out.push_back(v.get());
    return out;
}

// ---------------------------------------------------------------- files

bool TkvDesignerForm::ConfirmDiscard() {
    if (!modified_) return true;
    const QString question = Text(55306) + " " + Text(55336) + " " + QFileInfo(fileName_).fileName() + "?";
    const auto answer = QMessageBox::question(this, Text(55006), question,
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) return SaveCommand();
    return true;
}

bool TkvDesignerForm::NewReport() {
    if (!TemplateMode() || (Restrictions() & kvdr::NewReport)) return false;
    if (!ConfirmDiscard()) return false;
    history_.Clear();
    page_ = nullptr;
    report_.Clear();
    report_.Pages.Add();
    report_.Page(0)->Name = "Page1";
    report_.TemplateFileName = kv::LoadLibraryText(55209);
    fileName_ = Text(55209);
    SetCurPage(0);
    SetModified(false);
    UpdateCaption();
    return true;
}

bool TkvDesignerForm::OpenCommand() {
    if (!TemplateMode() || (Restrictions() & kvdr::Open)) return false;
    if (!ConfirmDiscard()) return false;
    const QString name = AskFileName ? AskFileName(false)
                                     : QFileDialog::getOpenFileName(this, Text(53156), QString(),
                                                                    Text(55213) + " (*.kvf);;" + QStringLiteral("Data dictionary") + " (*.kvd)");
    if (name.isEmpty()) return false;
    const bool wasModified = modified_;
    modified_ = false;
    if (!OpenFile(name)) {
        modified_ = wasModified;
        return false;
    }
    return true;
}

bool TkvDesignerForm::OpenFile(const QString& fileName) {
    if (fileName.endsWith(".kvd", Qt::CaseInsensitive)) {
        try {
            report_.Dictionary.LoadFromFile(fileName);
            SetModified(true);
            return true;
        } catch (const std::exception& e) {
            QMessageBox::critical(this, Text(55206), QString::fromUtf8(e.what()));
            return false;
        }
    }
    history_.Clear();
    page_ = nullptr;
    TkvTemplateLoadResult result;
    bool ok = false;
    try {
        ok = report_.LoadFromFile(fileName, &result);
    } catch (const std::exception& e) {
        result.Message = e.what();
    }
    if (!ok) {
        if (report_.PageCount() == 0) {
            report_.Pages.Add();
            report_.Page(0)->Name = "Page1";
        }
        SetCurPage(0);
        QMessageBox::critical(this, Text(55206),
                              QString("Cannot open \"%1\". %2").arg(fileName, QString::fromUtf8(result.Message)));
        return false;
    }
    if (report_.PageCount() == 0) {
        report_.Pages.Add();
        report_.Page(0)->Name = "Page1";
    }
    fileName_ = fileName;
    SetCurPage(0);
    SetModified(false);
    UpdateCaption();
    return true;
}

bool TkvDesignerForm::WriteFile(const QString& fileName) {
    try {
        if (fileName.endsWith(".kvt", Qt::CaseInsensitive))
            kv::WriteTemplateLibraryFile(fileName, report_, {}, {});
        else if (fileName.endsWith(".kvd", Qt::CaseInsensitive))
            report_.Dictionary.SaveToFile(fileName);
        else
            report_.SaveToFile(fileName);
    } catch (const std::exception& e) {
        QMessageBox::critical(this, Text(55206), QString("Cannot save \"%1\": %2").arg(fileName, QString::fromUtf8(e.what())));
        return false;
    }
    return true;
}

bool TkvDesignerForm::SaveFile(const QString& fileName) {
    if (Restrictions() & kvdr::Save) return false;
    if (!WriteFile(fileName)) return false;
    const bool templateFile = !fileName.endsWith(".kvd", Qt::CaseInsensitive) && !fileName.endsWith(".kvt", Qt::CaseInsensitive);
    if (templateFile) {
        fileName_ = fileName;
        report_.TemplateFileName = fileName.toLocal8Bit();
        SetModified(false);
        UpdateCaption();
    }
    for (const auto& listener : savedListeners_) listener(fileName);
    return true;
}

bool TkvDesignerForm::SaveCommand() {
    if (!TemplateMode()) return false;
    if (fileName_ == Text(55209) || fileName_.isEmpty()) return SaveAsCommand();
    return SaveFile(fileName_);
}

bool TkvDesignerForm::SaveAsCommand() {
    if (!TemplateMode() || (Restrictions() & kvdr::Save)) return false;
    QString name;
    if (AskFileName) {
        name = AskFileName(true);
    } else {
        QString selected;
        name = QFileDialog::getSaveFileName(this, Text(53188), fileName_ == Text(55209) ? QString() : fileName_,
                                            Text(55213) + " (*.kvf);;" + QStringLiteral("Template library") + " (*.kvt);;" + QStringLiteral("Data dictionary") +
                                                " (*.kvd)",
                                            &selected);
        if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty()) {
            const int open = selected.lastIndexOf("*."), close = selected.lastIndexOf(')');
            name += open >= 0 && close > open ? selected.mid(open + 1, close - open - 1) : QStringLiteral(".kvf");
        }
    }
    if (name.isEmpty()) return false;
    return SaveFile(name);
}

void TkvDesignerForm::closeEvent(QCloseEvent* e) {
    surface_->CancelDrag();
    if (TemplateMode() && modified_ && !(Restrictions() & kvdr::Save) && !ConfirmDiscard()) {
        e->ignore();
        return;
    }
    e->accept();
    SaveOptions();
    EndModal();
}

// ---------------------------------------------------------------- keys

bool TkvDesignerForm::HandleKey(int key, Qt::KeyboardModifiers mods) {
    const bool ctrl = mods & Qt::ControlModifier, shift = mods & Qt::ShiftModifier, alt = mods & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Escape:
        if (surface_->MouseIsDown() && surface_->CurrentDrag() == TkvDesignerPage::Drag::None) return false;
        EscapeCommand();
        return true;
    case Qt::Key_Delete:
        if (shift) CutCommand();
        else if (selection_.SelNum > 0) DeleteCommand();
        return true;
    case Qt::Key_Insert:
        if (ctrl) CopyCommand();
        else if (shift) PasteCommand();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selection_.SelNum == 1) OpenEditor(SelectedViews().front());
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        QScrollBar* bar = scroll_->verticalScrollBar();
        bar->setValue(bar->value() + (key == Qt::Key_PageUp ? -200 : 200));
        return true;
    }
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int dx = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
        const int dy = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : 0;
        if (ctrl) MoveSelectionBy(dx, dy);
        else if (shift) ResizeSelectionBy(dx, dy);
        else if (selection_.SelNum == 1) SelectNearest(dx, dy, alt);
        return true;
    }
    default: break;
    }
    if (ctrl) {
        // The menu keys, for when the key reaches the surface before any shortcut does.
        const std::pair<int, const char*> menuKeys[] = {{Qt::Key_C, "acCopy"}, {Qt::Key_X, "acCut"},
                                                        {Qt::Key_V, "acPaste"}, {Qt::Key_Z, "acUndo"},
                                                        {Qt::Key_Y, "acRedo"}, {Qt::Key_A, "acSelectAll"}};
        for (const auto& [k, name] : menuKeys)
            if (key == k && !shift && !alt) {
                UpdateCommands();
                if (actions_[name]->isEnabled()) actions_[name]->trigger();
                return true;
            }
        if (key >= Qt::Key_1 && key <= Qt::Key_9) {
            FormatCommand(kvfmt::FrameWidth, QString::number(key - Qt::Key_0));
            return true;
        }
        switch (key) {
        case Qt::Key_F: FormatCommand(kvfmt::AllLines, true); return true;
        case Qt::Key_D: FormatCommand(kvfmt::NoFrame, true); return true;
        case Qt::Key_G:
            actions_["acGrid"]->toggle();
            options_.GridShow = actions_["acGrid"]->isChecked();
            surface_->update();
            return true;
        case Qt::Key_B:
        case Qt::Key_I:
        case Qt::Key_U: {
            QAction* a = actions_[key == Qt::Key_B ? "acBold" : key == Qt::Key_I ? "acItalic" : "acUnderline"];
            a->toggle();
            FormatCommand(key == Qt::Key_B ? kvfmt::Bold : key == Qt::Key_I ? kvfmt::Italic : kvfmt::Underline,
                          a->isChecked());
            return true;
        }
        default: break;
        }
    }
    return false;
}
