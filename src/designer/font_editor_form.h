#pragma once
// The font editor of text objects: family, size and style from the font chooser, and the font
// colour; OK gives every selected text object that may be modified the font after the designer's
// undo step.

#include "designer/editor_services.h"

#include <QDialog>

class QFontDialog;
class QPushButton;
class TkvMemoView;
class TkvView;

class TkvFontEditorForm : public QDialog {
public:
    explicit TkvFontEditorForm(QWidget* parent = nullptr);

    int EditFont(TkvMemoView& current, const std::vector<TkvView*>& selection);
    void Load(const TkvMemoView& current);
    void Apply(const std::vector<TkvView*>& selection);

    TkvDesignerServices Services;

    QFontDialog* Chooser() const { return chooser_; }
    QPushButton* ColorButton() const { return colorBtn_; }
    uint32_t Color() const { return color_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void ShowColor();

    QFontDialog* chooser_ = nullptr;
    QPushButton* colorBtn_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    uint32_t color_ = 0;
};
