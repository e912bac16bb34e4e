#include "designer/font_editor_form.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "core/views/memo_view.h"
#include "core/views/view_font.h"
#include "designer/insp_model.h"
#include "designer/tag_editor_form.h"
#include "render/colors.h"

#include <QFontDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}
} // namespace

TkvFontEditorForm::TkvFontEditorForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TkvFontEditorForm"));
    setWindowTitle(Text(53522));
    auto* layout = new QVBoxLayout(this);
    // The chooser embedded as a page of this dialog: its own buttons are ours.
    chooser_ = new QFontDialog(this);
    chooser_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    chooser_->setWindowFlags(Qt::Widget);
    layout->addWidget(chooser_, 1);
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* row = kv::OkCancelRow(*this, ok, cancel);
    ok_ = ok;
    cancel_ = cancel;
    colorBtn_ = new QPushButton(Text(53523), this);
    colorBtn_->setObjectName(QStringLiteral("ColorButton"));
    row->insertWidget(0, colorBtn_);
    layout->addLayout(row);
    connect(colorBtn_, &QPushButton::clicked, this, [this] {
        uint32_t c = color_;
        if (kv::ChooseDesignerColor(Services, c, this)) color_ = c;
        ShowColor();
    });
}

void TkvFontEditorForm::ShowColor() {
    const int size = fontMetrics().height();
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(kv::ColorToQColor(color_));
    p.drawRect(0, 0, size - 1, size - 1);
    p.end();
    colorBtn_->setIcon(QIcon(pm));
}

int TkvFontEditorForm::EditFont(TkvMemoView& current, const std::vector<TkvView*>& selection) {
    Load(current);
    const int result = exec();
    if (result == QDialog::Accepted) Apply(selection);
    return result;
}

void TkvFontEditorForm::Load(const TkvMemoView& current) {
    QFont f(kv::DecodeText(current.Font.Name, kvcs::Default), current.Font.Size > 0 ? current.Font.Size : 10);
    f.setBold(current.Font.Style & kvfs::Bold);
    f.setItalic(current.Font.Style & kvfs::Italic);
    f.setUnderline(current.Font.Style & kvfs::Underline);
    f.setStrikeOut(current.Font.Style & kvfs::StrikeOut);
    chooser_->setCurrentFont(f);
    color_ = current.Font.Color;
    ShowColor();
}

void TkvFontEditorForm::Apply(const std::vector<TkvView*>& selection) {
    if (Services.BeforeChange) Services.BeforeChange();
    const QFont f = chooser_->currentFont();
    for (TkvView* v : selection) {
        auto* memo = dynamic_cast<TkvMemoView*>(v);
        if (!memo || (memo->Restrictions & kvvr::Modify)) continue;
        memo->Font.Name = kv::EncodeText(f.family(), kvcs::Default);
        if (f.pointSize() > 0) memo->Font.Size = f.pointSize();
        memo->Font.Style =
            uint16_t((f.bold() ? kvfs::Bold : 0) | (f.italic() ? kvfs::Italic : 0) |
                     (f.underline() ? kvfs::Underline : 0) | (f.strikeOut() ? kvfs::StrikeOut : 0));
        memo->Font.Color = color_;
    }
    if (Services.AfterChange) Services.AfterChange();
}
