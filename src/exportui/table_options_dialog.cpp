#include "exportui/table_options_dialog.h"

#include "base/page_list.h"
#include "export/rtf_adv_export.h"
#include "export/xlsx_export.h"
#include "exportui/scale_fields.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

using kvexportui::Text;

namespace {

QString Percent(double scale) {
    return QString::number(std::trunc(scale * 100));
}

} // namespace

TkvTableExpSet::TkvTableExpSet(TkvExportFilter& filter, int pageCount, QWidget* parent)
    : QDialog(parent), filter_(filter), rtf_(dynamic_cast<TkvRtfAdvExport*>(&filter)),
      book_(dynamic_cast<TkvXlsxExport*>(&filter)), pageCount_(pageCount) {
    setObjectName(book_ ? QStringLiteral("TkvXlsxExpSet") : QStringLiteral("TkvRtfExpSet"));
    setWindowTitle(Text(book_ ? 54844 : 54871));
    const double scaleX = book_ ? book_->ScaleX : rtf_ ? rtf_->ScaleX : 1.0;
    const double scaleY = book_ ? book_->ScaleY : rtf_ ? rtf_->ScaleY : 1.0;
    const double top = book_ ? book_->TopMargin : rtf_ ? rtf_->TopMargin : 0;
    const double left = book_ ? book_->LeftMargin : rtf_ ? rtf_->LeftMargin : 0;

    auto* layout = new QGridLayout(this);
    auto* page = new QGroupBox(Text(54845), this);
    auto* form = new QFormLayout(page);
    const auto field = [&](int id, const char* name, const QString& value) {
        auto* e = new QLineEdit(value, page);
        e->setObjectName(QLatin1String(name));
        form->addRow(Text(id), e);
        return e;
    };
    E_TMargin = field(54846, "E_TMargin", kvexportui::ShowNumber(top));
    E_LMargin = field(54847, "E_LMargin", kvexportui::ShowNumber(left));
    E_ScaleX = field(54848, "E_ScaleX", Percent(scaleX));
    E_ScaleY = field(54849, "E_ScaleY", Percent(scaleY));
    layout->addWidget(page, 0, 0);
    layout->addWidget(kvexportui::PageRangeGroup(this, &E_Range), 1, 0);
    E_Range->setText(kvexportui::PageListText(filter.PageList));

    auto* quality = new QGroupBox(Text(54850), this);
    auto* q = new QVBoxLayout(quality);
    const auto box = [&](int id, const char* name, bool checked) {
        auto* b = new QCheckBox(Text(id), quality);
        b->setObjectName(QLatin1String(name));
        b->setChecked(checked);
        q->addWidget(b);
        return b;
    };
    if (book_) {
        CB_Merged = box(54851, "CB_Merged", book_->CellsMerged);
        CB_Borders = box(54854, "CB_Borders", book_->CellsBorders);
        CB_WrapWords = box(54855, "CB_WrapWords", book_->CellsWrapWords);
        CB_HQ = box(55700, "CB_HQ", book_->HighQuality);
    }
    CB_PageBreaks = box(54860, "CB_PageBreaks", book_ ? book_->PageBreaks : rtf_ && rtf_->PageBreaks);
    CB_Pictures = box(54863, "CB_Pictures", book_ ? book_->ExportPictures : rtf_ && rtf_->ExportPictures);
    if (book_) {
        CB_Numbers = box(54865, "CB_Numbers", book_->ConvertNumbers);
        auto* better = new QPushButton(Text(54861), quality);
        better->setObjectName(QStringLiteral("B_Better"));
        auto* faster = new QPushButton(Text(54862), quality);
        faster->setObjectName(QStringLiteral("B_Faster"));
        connect(better, &QPushButton::clicked, this, &TkvTableExpSet::Better);
        connect(faster, &QPushButton::clicked, this, &TkvTableExpSet::Faster);
        q->addWidget(better);
        q->addWidget(faster);
    }
    q->addStretch();
    layout->addWidget(quality, 0, 1, 2, 1);
    int row = 2;
    if (book_) {
        CB_OpenExcel = new QCheckBox(Text(54864), this);
        CB_OpenExcel->setObjectName(QStringLiteral("CB_OpenExcel"));
        CB_OpenExcel->setChecked(book_->OpenExcelAfterExport);
        layout->addWidget(CB_OpenExcel, row++, 0, 1, 2);
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Text(55000), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text(55001), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, row, 0, 1, 2);
}

void TkvTableExpSet::Better() {
    for (QCheckBox* b : {CB_Merged, CB_WrapWords, CB_HQ, CB_Borders, CB_PageBreaks, CB_Pictures})
        if (b) b->setChecked(true);
}

void TkvTableExpSet::Faster() {
    for (QCheckBox* b : {CB_Merged, CB_WrapWords, CB_PageBreaks})
        if (b) b->setChecked(true);
    for (QCheckBox* b : {CB_HQ, CB_Borders, CB_Pictures})
        if (b) b->setChecked(false);
}

void TkvTableExpSet::done(int result) {
    QString error;
    const QString range = E_Range->text();
    if (result == QDialog::Accepted && !range.trimmed().isEmpty() && !TkvPageList::Parse(range, pageCount_, &error)) {
        QMessageBox::warning(this, windowTitle(), error);
        E_Range->setFocus();
        return; // the user corrects the list or cancels
    }
    // Scales in percent; a field that is not a positive number keeps the value shown before.
    const auto scale = [](const QLineEdit* e, double old) {
        const double v = kvexportui::ReadNumber(e->text(), old * 100) / 100;
        return v > 0 ? v : old;
    };
    const auto take = [&](auto& f) {
        f.ScaleX = scale(E_ScaleX, f.ScaleX);
        f.ScaleY = scale(E_ScaleY, f.ScaleY);
        f.TopMargin = kvexportui::ReadNumber(E_TMargin->text(), f.TopMargin);
        f.LeftMargin = kvexportui::ReadNumber(E_LMargin->text(), f.LeftMargin);
        f.ExportPictures = CB_Pictures->isChecked();
        f.PageBreaks = CB_PageBreaks->isChecked();
    };
    if (rtf_) take(*rtf_);
    if (book_) {
        take(*book_);
        book_->CellsMerged = CB_Merged->isChecked();
        book_->CellsBorders = CB_Borders->isChecked();
        book_->CellsWrapWords = CB_WrapWords->isChecked();
        book_->HighQuality = CB_HQ->isChecked();
        book_->ConvertNumbers = CB_Numbers->isChecked();
        book_->OpenExcelAfterExport = CB_OpenExcel->isChecked();
    }
    filter_.PageList = kvexportui::ReadPageList(range, pageCount_);
    QDialog::done(result);
}
