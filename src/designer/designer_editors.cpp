#include "designer/designer_editors.h"

#include "base/codepage.h"
#include "core/report/page.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "core/views/view.h"
#include "designer/editor_form.h"
#include "designer/font_editor_form.h"
#include "designer/highlight_form.h"
#include "designer/insp_model.h"
#include "designer/picture_editor_form.h"
#include "designer/restrictions_form.h"
#include "designer/tag_editor_form.h"
#include "preview/display_format_dialog.h"

namespace {

template <class T> T* As(TkvObject* object) {
    return dynamic_cast<T*>(object);
}

} // namespace

TkvDesignerEditors::TkvDesignerEditors(TkvLibraryContext* context, QWidget* owner,
                                       TkvDesignerServices services)
    : Services(std::move(services)), context_(context), owner_(owner) {
    if (!context_) return;
    saved_ = context_->Editors;
    context_->Editors = RoutedHooks([this] { return this; });
}

TkvEditorHooks TkvDesignerEditors::RoutedHooks(std::function<TkvDesignerEditors*()> find) {
    // Each hook finds the editors, then the object of the right class.
    auto route = [find](auto edit) {
        return [find, edit](TkvObject* o) {
            if (TkvDesignerEditors* e = find()) edit(*e, o);
        };
    };
    TkvEditorHooks h;
    h.Memo = route([](TkvDesignerEditors& e, TkvObject* o) {
        if (auto* v = As<TkvView>(o)) e.EditText(*v);
    });
    h.Tag = route([](TkvDesignerEditors& e, TkvObject* o) {
        if (auto* v = As<TkvView>(o)) e.EditTag(*v);
    });
    h.Restrictions = route([](TkvDesignerEditors& e, TkvObject* o) {
        if (auto* v = As<TkvView>(o)) e.EditRestrictions(*v);
    });
    h.Highlight = route([](TkvDesignerEditors& e, TkvObject* o) { e.EditHighlight(As<TkvView>(o)); });
    h.Picture = route([](TkvDesignerEditors& e, TkvObject* o) {
        if (auto* v = As<TkvPictureView>(o)) e.EditPicture(*v);
    });
    h.PictureField = route([](TkvDesignerEditors& e, TkvObject* o) {
        if (auto* v = As<TkvView>(o)) e.EditDataField(*v);
    });
    h.RichField = h.PictureField;
    h.Font = route([](TkvDesignerEditors& e, TkvObject* o) {
        if (auto* v = As<TkvMemoView>(o)) e.EditFont(*v);
    });
    h.DisplayFormat = route([](TkvDesignerEditors& e, TkvObject* o) {
        if (auto* v = As<TkvMemoView>(o)) e.EditDisplayFormat(*v);
    });
    h.PageScript = route([](TkvDesignerEditors& e, TkvObject* o) {
        if (auto* page = As<TkvPage>(o)) e.EditPageScript(*page);
    });
    return h;
}

TkvDesignerEditors::~TkvDesignerEditors() {
    if (context_) context_->Editors = saved_;
}

void TkvDesignerEditors::SetSyntaxHighlight(bool on) {
    if (on == syntaxHighlight_) return;
    syntaxHighlight_ = on;
    textEditor_.reset();
}

TkvEditorForm& TkvDesignerEditors::TextEditor() {
    if (!textEditor_) textEditor_ = kv::MakeEditorForm(syntaxHighlight_, owner_);
    textEditor_->Services = Services;
    textEditor_->Settings = Settings;
    textEditor_->EditTag = [this](TkvView& v) { EditTag(v); };
    return *textEditor_;
}

bool TkvDesignerEditors::MayEditContents(const TkvView& view) const {
    const uint16_t designer = Services.DesignerRestrictions ? Services.DesignerRestrictions() : 0;
    return !(designer & kvdr::ObjectEditors) && !(view.Restrictions & kvvr::Contents);
}

std::vector<TkvView*> TkvDesignerEditors::Selection(TkvView* current) const {
    std::vector<TkvView*> views = Services.SelectedViews ? Services.SelectedViews() : std::vector<TkvView*>{};
    if (views.empty() && current) views.push_back(current);
    return views;
}

void TkvDesignerEditors::Changed() {
    if (Services.AfterChange) Services.AfterChange();
}

bool TkvDesignerEditors::EditText(TkvView& view) {
    TkvEditorForm& editor = TextEditor();
    // The editor's own BeforeChange is the designer's; the after-change step follows an OK.
    if (editor.EditView(view) != QDialog::Accepted) return false;
    Changed();
    return true;
}

bool TkvDesignerEditors::EditPicture(TkvPictureView& view) {
    if (!MayEditContents(view)) return false;
    TkvGEditorForm dialog(owner_);
    dialog.Services = Services;
    return dialog.EditPicture(view) == QDialog::Accepted;
}

bool TkvDesignerEditors::EditTag(TkvView& view) {
    if (!MayEditContents(view)) return false;
    TkvAttrEditorForm dialog(owner_);
    dialog.Services = Services;
    return dialog.EditObjectTag(view) == QDialog::Accepted;
}

bool TkvDesignerEditors::EditHighlight(TkvView* current) {
    TkvHilightForm dialog(owner_);
    dialog.Services = Services;
    return dialog.EditHighlight(Selection(current)) == QDialog::Accepted;
}

bool TkvDesignerEditors::EditRestrictions(TkvView& current) {
    TkvRestrictionsForm dialog(owner_);
    dialog.Services = Services;
    return dialog.EditRestrictions(current, Selection(&current)) == QDialog::Accepted;
}

bool TkvDesignerEditors::EditDataField(TkvView& view) {
    if (!MayEditContents(view) || !Services.InsertFieldExpression) return false;
    const QString answer = Services.InsertFieldExpression(owner_);
    if (answer.isEmpty()) return false;
    if (Services.BeforeChange) Services.BeforeChange();
    view.SetProperty("DataField", kv::EncodeText(answer, kvcs::Default));
    Changed();
    return true;
}

bool TkvDesignerEditors::EditFont(TkvMemoView& view) {
    TkvFontEditorForm dialog(owner_);
    dialog.Services = Services;
    return dialog.EditFont(view, Selection(&view)) == QDialog::Accepted;
}

bool TkvDesignerEditors::EditPageScript(TkvPage& page) {
    TkvEditorForm& editor = TextEditor();
    if (editor.EditPageScript(page) != QDialog::Accepted) return false;
    Changed();
    return true;
}

bool TkvDesignerEditors::EditDisplayFormat(TkvMemoView& view) {
    TkvDisplayFormatDialog dialog(view.DisplayFormat, view.DisplayFormatText, owner_);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (Services.BeforeChange) Services.BeforeChange();
    for (TkvView* v : Selection(&view)) {
        auto* memo = dynamic_cast<TkvMemoView*>(v);
        if (!memo || (memo->Restrictions & kvvr::Modify)) continue;
        memo->DisplayFormat = dialog.Word();
        memo->DisplayFormatText = dialog.Format();
    }
    Changed();
    return true;
}
