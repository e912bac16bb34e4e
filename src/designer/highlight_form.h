#pragma once
// The conditional highlight editor: the condition, the font colour and bold, italic and underline
// while it holds, and the background (transparent or a colour). Filled from the first selected text
// object; OK gives every selected text object the condition, colours and style (strike-out cleared)
// after the designer's undo step.

#include "designer/editor_services.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TkvMemoView;
class TkvView;

class TkvHilightForm : public QDialog {
public:
    explicit TkvHilightForm(QWidget* parent = nullptr);

    // Edits the highlight of the text objects among `selection`; Rejected without one.
    int EditHighlight(const std::vector<TkvView*>& selection);
    void Load(const TkvMemoView& first);
    void Apply(const std::vector<TkvView*>& selection);

    uint32_t FontColor() const { return fontColor_; }
    uint32_t FillColor() const { return fillColor_; }

    TkvDesignerServices Services;

    QLineEdit* Condition() const { return condition_; }
    QToolButton* ExpressionButton() const { return expression_; }
    QPushButton* FontColorButton() const { return fontColorBtn_; }
    QPushButton* FillColorButton() const { return fillColorBtn_; }
    QCheckBox* Bold() const { return bold_; }
    QCheckBox* Italic() const { return italic_; }
    QCheckBox* Underline() const { return underline_; }
    QRadioButton* Transparent() const { return transparent_; }
    QRadioButton* Other() const { return other_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void ShowColors();

    uint32_t fontColor_ = 0;
    uint32_t fillColor_ = 0x1FFFFFFF;
    uint32_t lastFill_ = 0xFFFFFF;
    QLineEdit* condition_ = nullptr;
    QToolButton* expression_ = nullptr;
    QPushButton* fontColorBtn_ = nullptr;
    QPushButton* fillColorBtn_ = nullptr;
    QCheckBox* bold_ = nullptr;
    QCheckBox* italic_ = nullptr;
    QCheckBox* underline_ = nullptr;
    QRadioButton* transparent_ = nullptr;
    QRadioButton* other_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
