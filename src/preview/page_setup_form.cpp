#include "preview/page_setup_form.h"

#include "base/codepage.h"
#include "core/paper/printer.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("TkvPageSetupForm", text); }

} // namespace

TkvPageSetupForm::TkvPageSetupForm(const TkvPageSetupChoice& initial, QWidget* parent) : QDialog(parent) {
    setObjectName("TkvPageSetupForm");
    setWindowTitle(Tr("Page setup"));
    TkvPrinter& printer = kv::SharedPrinter();

    auto* paper = new QGroupBox(Tr("Paper"), this);
    PaperBox = new QComboBox(paper);
    PaperBox->setObjectName("PaperBox");
    for (int i = 0; i < printer.PaperSizesCount() && i < printer.PaperNames.size(); ++i)
        PaperBox->addItem(kv::DecodeText(printer.PaperNames.at(i), kvcs::Default), printer.PaperSizes.at(i));
    PaperBox->setCurrentIndex(std::max(0, PaperBox->findData(initial.PaperSize)));
    Portrait = new QRadioButton(Tr("P&ortrait"), paper);
    Portrait->setObjectName("Portrait");
    Landscape = new QRadioButton(Tr("&Landscape"), paper);
    Landscape->setObjectName("Landscape");
    (initial.Orientation == 1 ? Landscape : Portrait)->setChecked(true);
    auto* paperLayout = new QVBoxLayout(paper);
    paperLayout->addWidget(PaperBox);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(Portrait);
    orientation->addWidget(Landscape);
    paperLayout->addLayout(orientation);

    auto* margins = new QGroupBox(Tr("Margins (millimetres)"), this);
    auto* form = new QFormLayout(margins);
    const char* names[] = {"LeftMargin", "TopMargin", "RightMargin", "BottomMargin"};
    const char* labels[] = {QT_TRANSLATE_NOOP("TkvPageSetupForm", "Le&ft:"), QT_TRANSLATE_NOOP("TkvPageSetupForm", "&Top:"),
                            QT_TRANSLATE_NOOP("TkvPageSetupForm", "&Right:"), QT_TRANSLATE_NOOP("TkvPageSetupForm", "&Bottom:")};
    for (size_t i = 0; i < 4; ++i) {
        auto* box = new QDoubleSpinBox(margins);
        box->setObjectName(names[i]);
        box->setDecimals(2);
        box->setRange(0, 1000);
        box->setSuffix(" mm");
        box->setValue(std::clamp(initial.Margins[i], 0, 100000) / 100.0);
        MarginBoxes[i] = box;
        form->addRow(Tr(labels[i]), box);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paper);
    layout->addWidget(margins);
    layout->addWidget(buttons);
}

TkvPageSetupChoice TkvPageSetupForm::Choice() const {
    TkvPageSetupChoice c;
    c.PaperSize = PaperBox->currentIndex() >= 0 ? PaperBox->currentData().toInt() : kv::SharedPrinter().PaperSize;
    c.Orientation = Landscape->isChecked() ? 1 : 0;
    for (size_t i = 0; i < 4; ++i) c.Margins[i] = int32_t(std::lround(MarginBoxes[i]->value() * 100));
    return c;
}
