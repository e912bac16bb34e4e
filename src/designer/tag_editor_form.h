#pragma once
// The tag editor ("Object tag"): one line with the object's Tag and a button that inserts an
// expression from the designer's expression builder at the selection; OK stores the text after the
// designer's undo step.

#include "designer/editor_services.h"

#include <QDialog>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QToolButton;
class TkvView;

class TkvAttrEditorForm : public QDialog {
public:
    explicit TkvAttrEditorForm(QWidget* parent = nullptr);

    int EditObjectTag(TkvView& view);
    void Load(const TkvView& view);
    void Apply(TkvView& view);

    TkvDesignerServices Services;

    QLineEdit* Edit() const { return edit_; }
    QToolButton* ExpressionButton() const { return expression_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    QLineEdit* edit_ = nullptr;
    QToolButton* expression_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

namespace kv {
// OK and Cancel in a row, right-aligned, connected to accept and reject.
QHBoxLayout* OkCancelRow(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel);
} // namespace kv
