#pragma once
// The find dialog of the preview window: the text, case sensitivity and where the search starts.
// It always opens empty, case-insensitive and from the first page.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TkvPreviewSearchForm : public QDialog {
public:
    explicit TkvPreviewSearchForm(QWidget* parent = nullptr);

    QLineEdit* Edit1;      // the text to find
    QCheckBox* CB1;        // "&Case sensitive"
    QRadioButton* RB1;     // "&1st page"
    QRadioButton* RB2;     // "Current &page"
    QPushButton* Button1;  // OK
    QPushButton* Button2;  // Cancel

protected:
    void showEvent(QShowEvent* e) override;
};
