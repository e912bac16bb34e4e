#include "exportui/text_options_dialog.h"

#include "export/rtf_export.h"
#include "exportui/scale_fields.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using kvexportui::Text;

TkvTXTExportForm::TkvTXTExportForm(TkvTextExport& filter, QWidget* parent)
    : QDialog(parent), filter_(filter), rtf_(dynamic_cast<TkvRTFExport*>(&filter)) {
    setObjectName(rtf_ ? QStringLiteral("TkvRTFExportForm") : QStringLiteral("TkvTXTExportForm"));
    setWindowTitle(Text(rtf_ ? 54820 : 54800));
    auto* layout = new QVBoxLayout(this);
    const auto box = [&](int id, const char* name, bool checked) {
        auto* b = new QCheckBox(Text(id), this);
        b->setObjectName(QLatin1String(name));
        b->setChecked(checked);
        layout->addWidget(b);
        return b;
    };
    CB_KillEmpty = box(54801, "CB_KillEmpty", filter.KillEmptyLines);
    if (rtf_) {
        CB_Pictures = box(54821, "CB_Pictures", rtf_->ExportBitmaps);
        CB_Table = box(54822, "CB_Table", rtf_->ConvertToTable);
    } else {
        CB_OEM = box(54802, "CB_OEM", filter.ConvertToOEM);
        CB_Frames = box(54803, "CB_Frames", filter.ExportFrames);
        CB_Pseudo = box(54804, "CB_Pseudo", filter.UsePseudographic);
        CB_Pseudo->setEnabled(filter.ExportFrames);
        connect(CB_Frames, &QCheckBox::toggled, CB_Pseudo, &QWidget::setEnabled);
    }
    CB_PageBreaks = box(54805, "CB_PageBreaks", filter.PageBreaks);
    auto* scales = new QHBoxLayout;
    scales->addWidget(new QLabel(Text(54806), this));
    const auto field = [&](const char* name, const char* axis, double v) {
        scales->addWidget(new QLabel(QLatin1String(axis), this));
        auto* e = new QLineEdit(kvexportui::ShowNumber(v), this);
        e->setObjectName(QLatin1String(name));
        e->setMaximumWidth(fontMetrics().horizontalAdvance(u'0') * 10);
        scales->addWidget(e);
        return e;
    };
    E_ScaleX = field("E_ScaleX", "X", filter.ScaleX);
    E_ScaleY = field("E_ScaleY", "Y", filter.ScaleY);
    layout->addLayout(scales);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Text(55000), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text(55001), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TkvTXTExportForm::done(int result) {
    // Taken back however the dialog closes, as the user left them.
    filter_.ScaleX = kvexportui::ReadNumber(E_ScaleX->text(), 1.0);
    filter_.ScaleY = kvexportui::ReadNumber(E_ScaleY->text(), 1.0);
    if (filter_.ScaleX <= 0) filter_.ScaleX = 1.0;
    if (filter_.ScaleY <= 0) filter_.ScaleY = 1.0;
    filter_.KillEmptyLines = CB_KillEmpty->isChecked();
    filter_.PageBreaks = CB_PageBreaks->isChecked();
    if (rtf_) {
        rtf_->ExportBitmaps = CB_Pictures->isChecked();
        rtf_->ConvertToTable = CB_Table->isChecked();
    } else {
        filter_.ConvertToOEM = CB_OEM->isChecked();
        filter_.ExportFrames = CB_Frames->isChecked();
        filter_.UsePseudographic = CB_Pseudo->isChecked();
    }
    QDialog::done(result);
}
