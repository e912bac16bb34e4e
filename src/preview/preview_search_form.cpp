#include "preview/preview_search_form.h"

#include "base/codepage.h"
#include "core/locale.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString Text(int id) { return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default); }

} // namespace

TkvPreviewSearchForm::TkvPreviewSearchForm(QWidget* parent) : QDialog(parent) {
    setObjectName("TkvPreviewSearchForm");
    setWindowTitle(Text(53000));
    auto* label = new QLabel(Text(53001), this);
    label->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    label->setBuddy(Edit1);

    auto* options = new QGroupBox(Text(53002), this);
    options->setObjectName("GroupBox1");
    CB1 = new QCheckBox(Text(53003), options);
    CB1->setObjectName("CB1");
    (new QVBoxLayout(options))->addWidget(CB1);

    auto* origin = new QGroupBox(Text(53004), this);
    origin->setObjectName("GroupBox2");
    RB1 = new QRadioButton(Text(53005), origin);
    RB1->setObjectName("RB1");
    RB1->setChecked(true);
    RB2 = new QRadioButton(Text(53006), origin);
    RB2->setObjectName("RB2");
    auto* originLayout = new QVBoxLayout(origin);
    originLayout->addWidget(RB1);
    originLayout->addWidget(RB2);

    Button1 = new QPushButton(Text(55000), this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton(Text(55001), this);
    Button2->setObjectName("Button2");
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* groups = new QHBoxLayout;
    groups->addWidget(options);
    groups->addWidget(origin);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(Edit1);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    // A fixed-size dialog, as large as its texts need at the screen's scale.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TkvPreviewSearchForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Edit1->setFocus();
    Edit1->selectAll();
}
