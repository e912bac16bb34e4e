#pragma once
// The object inspector window: a small tool window owned by the designer window that lists the
// rows of the selected objects (name and value), edits a value in place, picks it from a
// drop-down list, cycles it by a double-click or opens the property's editor, and hands every
// committed value back through OnValueChanged. It knows nothing of objects beyond its rows: the
// designer (or TkvInspBinding) fills it and applies what it returns.

#include "designer/insp_values.h"

#include <QHash>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QScrollArea;
class QSettings;
class QToolButton;
class TkvInspRowArea;
class TkvInspSelector;
class TkvObject;

class TkvInspForm : public QWidget {
public:
    // `owner` is the designer window; the inspector stays on top of it.
    explicit TkvInspForm(QWidget* owner = nullptr);
    ~TkvInspForm() override;

    // --- rows, filled by the designer
    void ClearRows();
    // Appends a row; its text is the display form of `value` for `kind`.
    void AddRow(const QByteArray& name, const TkvVariant& value, TkvEditorProc editor,
                const TkvStringList& enumNames, const TkvVariant& enumValues, uint16_t kind);
    // Appends a row whose Text is already in display form.
    void AddRow(TkvInspRow row);
    // The row's text as a value of its kind; raises TkvInspValueError when it is none.
    TkvVariant RowValue(int index) const;
    // Lays the rows out again after a refill: the previously selected name is selected again (row 0
    // when it is gone) and the selector shows CurrentObjectCaption.
    void RefreshRows();
    // Shows the window, expanding it when collapsed.
    void ShowInspector();

    int RowCount() const { return int(rows_.size()); }
    const TkvInspRow& Row(int i) const { return rows_[size_t(i)]; }
    int CurrentRow() const { return currentRow_; }
    int RowIndex(const QByteArray& name) const;
    // Selects row i (clamped to the last), committing a modified edit first.
    void SelectRow(int i);
    // Commits the edit's text to the current row and calls OnValueChanged.
    void Commit();
    // A double-click on the current row's value: editor, colour dialog, boolean negation or the
    // next enumeration item, committed at once.
    void DoubleClickValue();
    // Opens or closes the drop-down list of the current row.
    void ToggleDropDown();
    // Runs the current row's editor with CurrentObject.
    void RunEditor();
    // Collapses the window to its title or expands it again (the title bar's double-click).
    void ToggleCollapse();
    bool IsCollapsed() const { return collapsed_; }

    int RowHeight() const { return rowHeight_; }
    int SplitPos() const { return splitPos_; }
    void SetSplitPos(int x);
    // "SplitPos" (at least 20; without one the names column fits the names) in the group the
    // caller has opened.
    void LoadSettings(QSettings& settings);
    void SaveSettings(QSettings& settings) const;
    // While locked rows are drawn empty, nothing can be edited and the selector is empty.
    void SetLocked(bool locked);
    bool Locked() const { return locked_; }

    // The name a row is drawn with: its localised caption when UseLocalizedNames is on and one
    // exists (library texts 58001... of the form "Name=Caption").
    QString DisplayName(const QByteArray& name) const;
    bool UseLocalizedNames = false;
    QHash<QByteArray, QString> LocalizedNames;

    TkvObject* CurrentObject = nullptr;
    QString CurrentObjectCaption;

    // Hooks, set by the designer.
    std::function<void(int row)> OnValueChanged;
    std::function<void()> OnCollapseToggled;
    std::function<void(QStringList& names)> OnFillObjectList;
    std::function<void(const QString& name)> OnSelectObject;
    // After a row's editor has run (the designer refills the rows).
    std::function<void()> OnEditorRun;
    // The colour dialog: true with the chosen colour. Default: the platform colour dialog.
    std::function<bool(uint32_t& color)> ChooseColor;

    // Parts, for the designer and for tests.
    QLineEdit* Edit() const { return edit_; }
    QToolButton* EditButton() const { return editBtn_; }
    QToolButton* ComboButton() const { return comboBtn_; }
    QComboBox* Selector() const;
    QListWidget* PopupList() const { return popup_; }
    QWidget* RowArea() const;
    QScrollArea* Box() const { return box_; }

    // The selector's closed text: the chosen name + ": " + the class name of CurrentObject.
    QString SelectorText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TkvInspRowArea;
    friend class TkvInspSelector;
    void LayoutEdit();
    void ChoosePopupItem(int index);
    void ReadLocalizedNames();
    bool EditKey(int key);

    std::vector<TkvInspRow> rows_;
    int currentRow_ = -1;
    int rowHeight_ = 17;
    int splitPos_ = 75;
    int defaultSplitPos_ = 75;
    bool locked_ = false;
    bool committing_ = false;
    bool collapsed_ = false;
    int expandedHeight_ = 235;
    qint64 lastPressMs_ = -1;
    qint64 doubleClickMs_ = -1;
    QByteArray lastSelectedName_;
    TkvInspSelector* selector_ = nullptr;
    QScrollArea* box_ = nullptr;
    TkvInspRowArea* area_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QToolButton* editBtn_ = nullptr;
    QToolButton* comboBtn_ = nullptr;
    QListWidget* popup_ = nullptr;
};
