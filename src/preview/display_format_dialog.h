#pragma once
// "Variable formatting": the dialog that edits a view's display format word and custom format text.
// Categories and their predefined formats come from the library texts; the decimals and separator
// fields are enabled for numbers only, the custom format field for the custom entry only.

#include <QByteArray>
#include <QDialog>
#include <QList>

class QComboBox;
class QLineEdit;
class QListWidget;

class TkvDisplayFormatDialog : public QDialog {
public:
    TkvDisplayFormatDialog(uint32_t word, const QByteArray& format, QWidget* parent = nullptr);

    // The word and text the fields say now (what OK hands back).
    uint32_t Word() const;
    QByteArray Format() const;

    // The word of a category, a format index, the decimals field (a whole number; 0 when it is not
    // one, at most 255) and the separator field (its first character; a comma when empty).
    static uint32_t ComposeWord(int category, int index, const QString& decimals, const QString& separator);

    QListWidget* Categories() const { return categories_; }
    QListWidget* Formats() const { return formats_; }
    QLineEdit* Decimals() const { return decimals_; }
    QLineEdit* Separator() const { return separator_; }
    QLineEdit* Custom() const { return custom_; }

private:
    void FillFormats(int category);
    void UpdateEnabled();

    QListWidget* categories_;
    QListWidget* formats_;
    QLineEdit* decimals_;
    QLineEdit* separator_;
    QLineEdit* custom_;
    QList<int> formatIndexes_; // the format index of each row of formats_
};
