#include "designer/restrictions_form.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "core/views/view.h"
#include "designer/tag_editor_form.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}
constexpr uint16_t kAllBits = 0x7F;
} // namespace

TkvRestrictionsForm::TkvRestrictionsForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TkvRestrictionsForm"));
    setWindowTitle(Text(53260));
    auto* layout = new QVBoxLayout(this);
    for (int n = 0; n < 7; ++n) {
        boxes_[size_t(n)] = new QCheckBox(Text(53261 + n), this);
        boxes_[size_t(n)]->setObjectName(QStringLiteral("CB%1").arg(n + 1));
        layout->addWidget(boxes_[size_t(n)]);
    }
    layout->addLayout(kv::OkCancelRow(*this, ok_, cancel_));
}

int TkvRestrictionsForm::EditRestrictions(TkvView& current, const std::vector<TkvView*>& selection) {
    Load(current);
    const int result = exec();
    if (result == QDialog::Accepted) Apply(selection);
    return result;
}

void TkvRestrictionsForm::Load(const TkvView& current) {
    for (int n = 0; n < 7; ++n)
        boxes_[size_t(n)]->setChecked(current.Restrictions & (1u << n));
}

uint16_t TkvRestrictionsForm::Bits() const {
    uint16_t bits = 0;
    for (int n = 0; n < 7; ++n)
        if (boxes_[size_t(n)]->isChecked()) bits |= uint16_t(1u << n);
    return bits;
}

void TkvRestrictionsForm::Apply(const std::vector<TkvView*>& selection) {
    // An undo step like every other change, so that Undo can give the bits back.
    if (Services.BeforeChange) Services.BeforeChange();
    const uint16_t bits = Bits();
    for (TkvView* v : selection)
        v->Restrictions = uint16_t((v->Restrictions & ~kAllBits) | bits);
    if (Services.AfterChange) Services.AfterChange();
}
