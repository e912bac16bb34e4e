#pragma once
// The print dialog: printer (with the driver's page setup), page range, copies, collation and odd or
// even pages. Choosing a printer selects it in the shared printer at once; closing the dialog with
// anything but OK selects the printer it opened with again. OK checks the page list and the number
// of copies and keeps the dialog open with a message while they are not valid.

#include <QDialog>
#include <QLabel>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

// A label that reports clicks and double clicks (Label3 toggles the collate box).
class TkvClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> Clicked;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

class TkvPrintForm : public QDialog {
public:
    // pageCount: the pages the page list is checked against.
    explicit TkvPrintForm(int pageCount, QWidget* parent = nullptr);

    // Index in the shared printer's Printers when the dialog opened.
    int OldPrinterIndex() const { return oldIndex_; }
    // The page list of the choice: empty for all pages, `currentPage` for the current page, else E2.
    QString PageListText(int currentPage) const;
    int Copies() const;
    uint8_t PageParity() const;
    bool Collate() const;

    QComboBox* CB1 = nullptr;
    QPushButton* PropButton = nullptr;
    QRadioButton *RB1 = nullptr, *RB2 = nullptr, *RB3 = nullptr;
    QLineEdit* E2 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* E1 = nullptr;
    QToolButton *SpinUp = nullptr, *SpinDown = nullptr;
    QCheckBox* CollateCB = nullptr;
    TkvClickLabel* Label3 = nullptr;
    QLabel* PB1 = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* CB2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    void done(int r) override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FillPrinters();
    void ShowProperties();
    void ShowCollatePicture();
    void AddCopies(int delta);
    // The message for an OK that cannot be taken, or empty.
    QString Validate() const;

    int pageCount_;
    int oldIndex_ = 0;
};

namespace kv {

// The pictures of the dialog: a printer (18 x 16), collated copies (74 x 53) and uncollated copies
// (92 x 40).
QPixmap PrinterPicture();
QPixmap CollatePicture(bool collate);

} // namespace kv
