#include "designer/designer_editors.h"

#include "base/codepage.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "core/views/view.h"
#include "designer/editor_form.h"
#include "designer/highlight_form.h"
#include "designer/insp_model.h"
#include "designer/picture_editor_form.h"
#include "designer/restrictions_form.h"
#include "designer/tag_editor_form.h"
#include "preview/display_format_dialog.h"

#include <QFontDialog>

namespace {

template <class T> T* As(TkvObject* object) {
    return dynamic_cast<T*>(object);
}

} // namespace

TkvDesignerEditors::TkvDesignerEditors(TkvLibraryContext& context, QWidget* owner,
                                       TkvDesignerServices services)
    : Services(std::move(services)), context_(context), owner_(owner), saved_(context.Editors) {
    TkvEditorHooks& h = context_.Editors;
    h.Memo = [this](TkvObject* o) {
        if (auto* v = As<TkvView>(o)) EditText(*v);
    };
    h.Tag = [this](TkvObject* o) {
        if (auto* v = As<TkvView>(o)) EditTag(*v);
    };
    h.Restrictions = [this](TkvObject* o) {
        if (auto* v = As<TkvView>(o)) EditRestrictions(*v);
    };
    h.Highlight = [this](TkvObject* o) { EditHighlight(As<TkvView>(o)); };
    h.Picture = [this](TkvObject* o) {
        if (auto* v = As<TkvPictureView>(o)) EditPicture(*v);
    };
    h.PictureField = [this](TkvObject* o) {
        if (auto* v = As<TkvView>(o)) EditDataField(*v);
    };
    h.Font = [this](TkvObject* o) {
        if (auto* v = As<TkvMemoView>(o)) EditFont(*v);
    };
    h.DisplayFormat = [this](TkvObject* o) {
        if (auto* v = As<TkvMemoView>(o)) EditDisplayFormat(*v);
    };
}

TkvDesignerEditors::~TkvDesignerEditors() {
    context_.Editors = saved_;
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
    QFont start(kv::DecodeText(view.Font.Name, kvcs::Default), view.Font.Size > 0 ? view.Font.Size : 10);
    start.setBold(view.Font.Style & kvfs::Bold);
    start.setItalic(view.Font.Style & kvfs::Italic);
    start.setUnderline(view.Font.Style & kvfs::Underline);
    start.setStrikeOut(view.Font.Style & kvfs::StrikeOut);
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, start, owner_);
    if (!ok) return false;
    if (Services.BeforeChange) Services.BeforeChange();
    for (TkvView* v : Selection(&view)) {
        auto* memo = dynamic_cast<TkvMemoView*>(v);
        if (!memo || (memo->Restrictions & kvvr::Modify)) continue;
        memo->Font.Name = kv::EncodeText(f.family(), kvcs::Default);
        memo->Font.Size = f.pointSize() > 0 ? f.pointSize() : memo->Font.Size;
        memo->Font.Style =
            uint16_t((f.bold() ? kvfs::Bold : 0) | (f.italic() ? kvfs::Italic : 0) |
                     (f.underline() ? kvfs::Underline : 0) | (f.strikeOut() ? kvfs::StrikeOut : 0));
    }
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
