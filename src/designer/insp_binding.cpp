#include "designer/insp_binding.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "designer/insp_form.h"

#include <QMessageBox>

namespace {
QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}
} // namespace

bool kv::AskPageTypeChange(QWidget* parent) {
    return QMessageBox::warning(parent, Text(55437), Text(55436), QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

TkvInspBinding::TkvInspBinding(TkvInspForm& form) : form_(form) {
    form_.OnValueChanged = [this](int row) { Apply(row); };
    form_.OnEditorRun = [this] { Refill(); };
    form_.OnFillObjectList = [this](QStringList& names) {
        if (!Selection) return;
        const TkvInspSelection sel = Selection();
        if (sel.Page)
            for (const auto& v : sel.Page->Objects)
                names.append(kv::DecodeText(v->Name, kvcs::Default));
        const int pages = sel.Report ? sel.Report->PageCount() : (sel.Page ? 1 : 0);
        for (int i = 1; i <= pages; ++i)
            names.append(QStringLiteral("Page") + QString::number(i));
    };
    form_.OnSelectObject = [this](const QString& name) {
        if (SelectObject) SelectObject(name);
        Refill();
    };
}

void TkvInspBinding::Refill() {
    if (SuppressRefill) return;
    form_.ClearRows();
    form_.CurrentObject = nullptr;
    form_.CurrentObjectCaption.clear();
    if (Selection) {
        TkvInspContents c = kvinsp::FillRows(Selection());
        for (TkvInspRow& row : c.Rows)
            form_.AddRow(std::move(row));
        form_.CurrentObject = c.CurrentObject;
        form_.CurrentObjectCaption = kv::DecodeText(c.Caption, kvcs::Default);
    }
    form_.RefreshRows();
}

bool TkvInspBinding::Apply(int index) {
    if (!Selection || index < 0 || index >= form_.RowCount()) return false;
    TkvInspApplyHooks hooks = Hooks;
    if (!hooks.ConfirmPageTypeChange)
        hooks.ConfirmPageTypeChange = [this] { return kv::AskPageTypeChange(&form_); };
    bool ok = true;
    try {
        kvinsp::ApplyRow(Selection(), form_.Row(index), hooks);
    } catch (const TkvError& e) {
        ok = false;
        const QString message = QString::fromUtf8(e.what());
        if (ShowError)
            ShowError(message);
        else
            QMessageBox::warning(&form_, QString(), message);
    }
    Refill();
    if (AfterChange) AfterChange();
    return ok;
}
