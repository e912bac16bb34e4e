#pragma once
// The small dialogs of the designer window: the band type chooser, the page options, and the
// editors used when no richer editor is installed (a text object's lines, a band's data source).

#include "designer/designer_state.h"

#include <QByteArray>
#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class TkvPage;

// Lists the band types offered; Chosen() is the type picked, -1 without one.
class TkvBandTypeDialog : public QDialog {
public:
    TkvBandTypeDialog(const std::vector<int>& offered, QWidget* parent);
    int Chosen() const;

private:
    QListWidget* list_;
    std::vector<int> offered_;
};

// The page options: paper, orientation, margins, columns, the three switches. Values are read from
// the page when made and written by Apply.
class TkvPageOptionsDialog : public QDialog {
public:
    TkvPageOptionsDialog(const TkvPage& page, bool unlimitedHeight, QWidget* parent);
    // Writes the dialog's values into the page (and runs its paper change); `unlimitedHeight`
    // receives the designer option.
    void Apply(TkvPage& page, bool& unlimitedHeight) const;

    QComboBox* Paper() const { return paper_; }
    QLineEdit* Margin(int i) const { return margins_[i]; }
    QLineEdit* ColumnGap() const { return gap_; }
    QSpinBox* Columns() const { return columns_; }

private:
    QCheckBox* prevPage_;
    QCheckBox* stretch_;
    QCheckBox* unlimited_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    QComboBox* paper_;
    QLineEdit* width_;
    QLineEdit* height_;
    QComboBox* source_;
    QLineEdit* margins_[4];
    QLineEdit* gap_;
    QSpinBox* columns_;
};

// A plain editor of text lines (a text object's memo).
class TkvLinesDialog : public QDialog {
public:
    TkvLinesDialog(const QString& caption, const QString& text, QWidget* parent);
    QString Text() const;
    QPlainTextEdit* Editor() const { return edit_; }

private:
    QPlainTextEdit* edit_;
};

// One line of text (a band's data source).
class TkvLineDialog : public QDialog {
public:
    TkvLineDialog(const QString& caption, const QString& label, const QString& text, QWidget* parent);
    QString Text() const;
    QLineEdit* Editor() const { return edit_; }

private:
    QLineEdit* edit_;
};

// The designer's options: grid, units, page position and behaviour switches.
class TkvDesignerOptionsDialog : public QDialog {
public:
    TkvDesignerOptionsDialog(const TkvDesignerOptions& options, QWidget* parent);
    // The options as the dialog shows them (those it does not show kept from `options`).
    TkvDesignerOptions Options() const;

private:
    TkvDesignerOptions options_;
    QComboBox* grid_;
    QCheckBox* show_;
    QCheckBox* align_;
    QComboBox* units_;
    QComboBox* position_;
    QCheckBox* editAfterInsert_;
    QCheckBox* keepTool_;
    QCheckBox* unlimited_;
    QCheckBox* bandTitles_;
    QCheckBox* disableUndo_;
    QCheckBox* frames_;
};
