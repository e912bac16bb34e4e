#include "designer/tag_editor_form.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "core/views/view.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}
} // namespace

QHBoxLayout* kv::OkCancelRow(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    ok = new QPushButton(Text(55000), &dialog);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    cancel = new QPushButton(Text(55001), &dialog);
    cancel->setObjectName(QStringLiteral("Cancel"));
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return row;
}

TkvAttrEditorForm::TkvAttrEditorForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TkvAttrEditorForm"));
    setWindowTitle(Text(53740));
    auto* layout = new QVBoxLayout(this);
    auto* line = new QHBoxLayout;
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit1"));
    edit_->setMinimumWidth(300);
    line->addWidget(edit_, 1);
    layout->addLayout(line);
    layout->addLayout(kv::OkCancelRow(*this, ok_, cancel_));
    expression_ = new QToolButton(this);
    expression_->setText(QStringLiteral("..."));
    expression_->setToolTip(Text(53575));
    line->addWidget(expression_);
    connect(expression_, &QToolButton::clicked, this, [this] {
        if (!Services.InsertExpression) return;
        const QString e = Services.InsertExpression(this, edit_->selectedText());
        if (e.isEmpty()) return;
        edit_->insert(e);
        edit_->setFocus();
    });
}

int TkvAttrEditorForm::EditObjectTag(TkvView& view) {
    Load(view);
    const int result = exec();
    if (result == QDialog::Accepted) Apply(view);
    return result;
}

void TkvAttrEditorForm::Load(const TkvView& view) {
    edit_->setText(kv::DecodeText(view.Tag, kvcs::Default));
    edit_->selectAll();
    expression_->setEnabled(bool(Services.InsertExpression));
}

void TkvAttrEditorForm::Apply(TkvView& view) {
    if (Services.BeforeChange) Services.BeforeChange();
    view.Tag = kv::EncodeText(edit_->text(), kvcs::Default);
    if (Services.AfterChange) Services.AfterChange();
}
