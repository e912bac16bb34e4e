#include "designer/designer_dialogs.h"

#include "core/library_tables.h"
#include "core/paper/printer.h"
#include "core/report/page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace {

QDialogButtonBox* OkCancel(QDialog* d) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    buttons->setObjectName("buttons");
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return buttons;
}

// Millimetres in general format with 4 significant digits.
QString Millimetres(double v) {
    return QString::number(v, 'g', 4);
}

// A number typed with either decimal separator; false when it is none.
bool ReadNumber(const QString& text, double& value) {
    QString t = text.trimmed();
    t.replace(',', '.');
    bool ok = false;
    value = t.toDouble(&ok);
    return ok && std::isfinite(value);
}

} // namespace

TkvBandTypeDialog::TkvBandTypeDialog(const std::vector<int>& offered, QWidget* parent)
    : QDialog(parent), offered_(offered) {
    setObjectName("bandTypeDialog");
    setWindowTitle(QStringLiteral("Insert band"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName("bandTypes");
    for (int t : offered_) list_->addItem(QString::fromUtf8(kv::BandTypeName(t)));
    if (list_->count() > 0) list_->setCurrentRow(0);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(list_);
    layout->addWidget(OkCancel(this));
}

int TkvBandTypeDialog::Chosen() const {
    const int row = list_->currentRow();
    return row >= 0 && row < static_cast<int>(offered_.size()) ? offered_[static_cast<size_t>(row)] : -1;
}

TkvPageOptionsDialog::TkvPageOptionsDialog(const TkvPage& page, bool unlimitedHeight, QWidget* parent)
    : QDialog(parent) {
    setObjectName("pageOptionsDialog");
    setWindowTitle(QStringLiteral("Page options"));
    TkvPrinter& printer = kv::SharedPrinter();
    auto* layout = new QVBoxLayout(this);

    auto* paperBox = new QGroupBox(QStringLiteral("Paper"), this);
    auto* paperForm = new QFormLayout(paperBox);
    paper_ = new QComboBox(paperBox);
    paper_->setObjectName("paper");
    for (const QByteArray& name : printer.PaperNames) paper_->addItem(QString::fromLocal8Bit(name));
    paper_->setCurrentIndex(std::max(0, printer.PaperSizeToIndex(page.PaperSize)));
    paperForm->addRow(QStringLiteral("Size"), paper_);
    width_ = new QLineEdit(Millimetres(page.PaperWidth / 10.0), paperBox);
    height_ = new QLineEdit(Millimetres(page.PaperHeight / 10.0), paperBox);
    width_->setObjectName("paperWidth");
    height_->setObjectName("paperHeight");
    paperForm->addRow(QStringLiteral("Width, mm"), width_);
    paperForm->addRow(QStringLiteral("Height, mm"), height_);
    auto updateCustom = [this, &printer] {
        const int i = paper_->currentIndex();
        const bool custom = i >= 0 && i < printer.PaperSizes.size() && printer.PaperSizes[i] == 256;
        width_->setEnabled(custom);
        height_->setEnabled(custom);
    };
    connect(paper_, &QComboBox::currentIndexChanged, this, updateCustom);
    updateCustom();
    portrait_ = new QRadioButton(QStringLiteral("Portrait"), paperBox);
    landscape_ = new QRadioButton(QStringLiteral("Landscape"), paperBox);
    portrait_->setObjectName("portrait");
    landscape_->setObjectName("landscape");
    (page.Orientation == 1 ? landscape_ : portrait_)->setChecked(true);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);
    paperForm->addRow(QStringLiteral("Orientation"), orientation);
    source_ = new QComboBox(paperBox);
    source_->setObjectName("source");
    for (const QByteArray& name : printer.BinNames) source_->addItem(QString::fromLocal8Bit(name));
    source_->setCurrentIndex(std::max(0, printer.BinToIndex(page.PaperBin)));
    paperForm->addRow(QStringLiteral("Source"), source_);
    layout->addWidget(paperBox);

    auto* marginBox = new QGroupBox(QStringLiteral("Margins, mm"), this);
    auto* marginGrid = new QGridLayout(marginBox);
    const int32_t values[4] = {page.LeftMargin, page.TopMargin, page.RightMargin, page.BottomMargin};
    const char* names[4] = {"Left", "Top", "Right", "Bottom"};
    for (int i = 0; i < 4; ++i) {
        margins_[i] = new QLineEdit(Millimetres(values[i] * 5.0 / 18.0), marginBox);
        margins_[i]->setObjectName(QString("margin%1").arg(names[i]));
        marginGrid->addWidget(new QLabel(QString::fromLatin1(names[i]), marginBox), i / 2, (i % 2) * 2);
        marginGrid->addWidget(margins_[i], i / 2, (i % 2) * 2 + 1);
    }
    layout->addWidget(marginBox);

    auto* columnBox = new QGroupBox(QStringLiteral("Columns"), this);
    auto* columnForm = new QFormLayout(columnBox);
    columns_ = new QSpinBox(columnBox);
    columns_->setObjectName("columns");
    columns_->setRange(0, 64);
    columns_->setValue(std::clamp(page.Columns, 0, 64));
    gap_ = new QLineEdit(Millimetres(page.ColumnGap * 5.0 / 18.0), columnBox);
    gap_->setObjectName("columnGap");
    columnForm->addRow(QStringLiteral("Number"), columns_);
    columnForm->addRow(QStringLiteral("Gap, mm"), gap_);
    layout->addWidget(columnBox);

    prevPage_ = new QCheckBox(QStringLiteral("Print to previous page"), this);
    stretch_ = new QCheckBox(QStringLiteral("Stretch to print area"), this);
    unlimited_ = new QCheckBox(QStringLiteral("Unlimited height"), this);
    prevPage_->setChecked(page.PrintToPrevPage != 0);
    stretch_->setChecked(page.UseMargins == 0);
    unlimited_->setChecked(unlimitedHeight);
    layout->addWidget(prevPage_);
    layout->addWidget(stretch_);
    layout->addWidget(unlimited_);
    layout->addWidget(OkCancel(this));
}

void TkvPageOptionsDialog::Apply(TkvPage& page, bool& unlimitedHeight) const {
    TkvPrinter& printer = kv::SharedPrinter();
    page.PrintToPrevPage = prevPage_->isChecked() ? 1 : 0;
    page.UseMargins = stretch_->isChecked() ? 0 : 1;
    unlimitedHeight = unlimited_->isChecked();
    const uint8_t orientation = landscape_->isChecked() ? 1 : 0;
    const int pi = paper_->currentIndex();
    int32_t paper = pi >= 0 && pi < printer.PaperSizes.size() ? printer.PaperSizes[pi] : page.PaperSize;
    int32_t width = page.PaperWidth, height = page.PaperHeight;
    if (paper == 256) {
        double w = 0, h = 0;
        if (ReadNumber(width_->text(), w) && ReadNumber(height_->text(), h)) {
            width = kv::ClampPaperExtent(static_cast<int32_t>(std::lround(std::clamp(w * 10, -1e9, 1e9))));
            height = kv::ClampPaperExtent(static_cast<int32_t>(std::lround(std::clamp(h * 10, -1e9, 1e9))));
        } else {
            paper = 9;
        }
    }
    double m[4] = {}, gap = 0;
    bool numbers = ReadNumber(gap_->text(), gap);
    for (int i = 0; i < 4; ++i) numbers = ReadNumber(margins_[i]->text(), m[i]) && numbers;
    auto units = [](double mm) {
        return static_cast<int32_t>(std::lround(std::clamp(mm * 18 / 5, 0.0, 100000.0)));
    };
    if (numbers) {
        page.LeftMargin = units(m[0]);
        page.TopMargin = units(m[1]);
        page.RightMargin = units(m[2]);
        page.BottomMargin = units(m[3]);
        page.ColumnGap = units(gap);
    } else {
        page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = page.ColumnGap = 0;
    }
    page.Columns = columns_->value();
    const int si = source_->currentIndex();
    const int32_t bin = si >= 0 && si < printer.Bins.size() ? printer.Bins[si] : page.PaperBin;
    page.ChangePaper(paper, width, height, bin, orientation);
}

TkvLinesDialog::TkvLinesDialog(const QString& caption, const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName("linesDialog");
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName("lines");
    edit_->setPlainText(text);
    layout->addWidget(edit_);
    layout->addWidget(OkCancel(this));
    resize(420, 260);
}

QString TkvLinesDialog::Text() const {
    return edit_->toPlainText();
}

TkvLineDialog::TkvLineDialog(const QString& caption, const QString& label, const QString& text, QWidget* parent)
    : QDialog(parent) {
    setObjectName("lineDialog");
    setWindowTitle(caption);
    auto* layout = new QFormLayout(this);
    edit_ = new QLineEdit(text, this);
    edit_->setObjectName("line");
    edit_->setMinimumWidth(280);
    layout->addRow(label, edit_);
    layout->addRow(OkCancel(this));
}

QString TkvLineDialog::Text() const {
    return edit_->text();
}

TkvDesignerOptionsDialog::TkvDesignerOptionsDialog(const TkvDesignerOptions& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName("designerOptionsDialog");
    setWindowTitle(QStringLiteral("Designer options"));
    auto* layout = new QVBoxLayout(this);
    auto* gridBox = new QGroupBox(QStringLiteral("Grid"), this);
    auto* gridForm = new QFormLayout(gridBox);
    grid_ = new QComboBox(gridBox);
    grid_->setObjectName("gridSize");
    for (int g : {4, 8, 18})
        grid_->addItem(QString::number(g), g);
    grid_->setCurrentIndex(std::max(0, grid_->findData(options.GridSize)));
    gridForm->addRow(QStringLiteral("Size, pixels"), grid_);
    show_ = new QCheckBox(QStringLiteral("Show the grid"), gridBox);
    align_ = new QCheckBox(QStringLiteral("Align to the grid"), gridBox);
    show_->setChecked(options.GridShow);
    align_->setChecked(options.GridAlign);
    gridForm->addRow(show_);
    gridForm->addRow(align_);
    layout->addWidget(gridBox);

    auto* viewBox = new QGroupBox(QStringLiteral("Page"), this);
    auto* viewForm = new QFormLayout(viewBox);
    units_ = new QComboBox(viewBox);
    units_->setObjectName("units");
    for (TkvDesignerUnits u :
         {TkvDesignerUnits::Pixels, TkvDesignerUnits::Millimetres, TkvDesignerUnits::Inches})
        units_->addItem(kv::UnitName(u));
    units_->setCurrentIndex(static_cast<int>(options.Units));
    viewForm->addRow(QStringLiteral("Units"), units_);
    position_ = new QComboBox(viewBox);
    position_->setObjectName("pagePosition");
    position_->addItem(QStringLiteral("Left"), 3);
    position_->addItem(QStringLiteral("Centre"), 5);
    position_->addItem(QStringLiteral("Right"), 1);
    const int pos = position_->findData(options.PagePosition);
    position_->setCurrentIndex(pos >= 0 ? pos : 2);
    viewForm->addRow(QStringLiteral("Page position"), position_);
    unlimited_ = new QCheckBox(QStringLiteral("Unlimited page height"), viewBox);
    bandTitles_ = new QCheckBox(QStringLiteral("Band titles"), viewBox);
    frames_ = new QCheckBox(QStringLiteral("Show only frames while dragging"), viewBox);
    unlimited_->setChecked(options.UnlimitedHeight);
    bandTitles_->setChecked(options.BandTitles);
    frames_->setChecked(options.Selection == 0);
    viewForm->addRow(unlimited_);
    viewForm->addRow(bandTitles_);
    viewForm->addRow(frames_);
    layout->addWidget(viewBox);

    auto* editBox = new QGroupBox(QStringLiteral("Editing"), this);
    auto* editLayout = new QVBoxLayout(editBox);
    editAfterInsert_ = new QCheckBox(QStringLiteral("Edit objects after inserting them"), editBox);
    keepTool_ = new QCheckBox(QStringLiteral("Keep the insertion tool"), editBox);
    disableUndo_ = new QCheckBox(QStringLiteral("Record no undo steps"), editBox);
    editAfterInsert_->setChecked(options.EditAfterInsert);
    keepTool_->setChecked(options.KeepTool);
    disableUndo_->setChecked(options.DisableUndo);
    editLayout->addWidget(editAfterInsert_);
    editLayout->addWidget(keepTool_);
    editLayout->addWidget(disableUndo_);
    layout->addWidget(editBox);
    layout->addWidget(OkCancel(this));
}

TkvDesignerOptions TkvDesignerOptionsDialog::Options() const {
    TkvDesignerOptions o = options_;
    o.GridSize = grid_->currentData().toInt();
    o.GridShow = show_->isChecked();
    o.GridAlign = align_->isChecked();
    o.Units = static_cast<TkvDesignerUnits>(units_->currentIndex());
    o.PagePosition = position_->currentData().toInt();
    o.UnlimitedHeight = unlimited_->isChecked();
    o.BandTitles = bandTitles_->isChecked();
    o.Selection = frames_->isChecked() ? 0 : 1;
    o.EditAfterInsert = editAfterInsert_->isChecked();
    o.KeepTool = keepTool_->isChecked();
    o.DisableUndo = disableUndo_->isChecked();
    return o;
}
