#pragma once
// The rich text editor window ("Rich Edit"): a tool bar (file open and save, undo, bold, italic,
// underline, alignment, bullets, colour, the font dialog, font name and size boxes, "Insert
// expression"), an indent ruler, and the text, with "Cancel" and "Save and exit".
//
// The stored text is laid out in twips; the editor shows it at screen size (one twip = 1/15 of a
// device-independent pixel) and converts on the way in and out, so indents, tab stops, pictures and
// fonts keep their sizes. Text that comes back from the editor is written by the library's RTF
// writer, so what the editor saves reads back through the same reader the report uses.

#include <QByteArray>
#include <QDialog>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QFontComboBox;
class QTextCharFormat;
class QTextDocument;
class QTextEdit;
class QToolBar;
class TkvRichRuler;
class TkvRichView;

class TkvRichForm : public QDialog {
public:
    explicit TkvRichForm(QWidget* parent = nullptr);
    ~TkvRichForm() override;

    // Replaces the editor's text by the RTF (empty bytes: an empty text). Undo starts afresh.
    void LoadRtf(const QByteArray& rtf);
    // The editor's text as RTF in the stored conventions; empty bytes for an empty text.
    QByteArray SaveRtf() const;
    void Clear();

    // Edits the object's text modally. On "Save and exit" BeforeChange runs (the designer's undo
    // step), then the object's RTF is replaced; the editor is emptied in every case. Returns
    // whether the text was taken.
    bool Edit(TkvRichView& view);

    // File commands without their dialogs. Open reads at most kMaxFileBytes; Save writes RTF, or
    // plain text in the default code page when asText, through the atomic writer. Both return
    // false with a one-line message in LastError.
    bool OpenFile(const QString& path);
    bool SaveFile(const QString& path, bool asText);
    QString LastError() const { return lastError_; }

    // Inserts "[expression]" at the caret (brackets added unless the text already has them).
    void InsertExpression(const QString& expression);

    // The designer's expression builder: the expression to insert, empty when cancelled. Without
    // it "Insert expression" is disabled.
    void SetExpressionBuilder(std::function<QString(QWidget* parent)> builder);
    // The designer's before-change notification, run before an edited text is stored.
    std::function<void()> BeforeChange;

    // The width the text is laid out at, in page units (the object's width inside its gaps).
    void SetTextWidth(int units);
    int TextWidth() const { return textWidth_; }

    QTextEdit* Editor() const { return edit_; }
    TkvRichRuler* Ruler() const { return ruler_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QFontComboBox* FontBox() const { return fontBox_; }
    QComboBox* SizeBox() const { return sizeBox_; }
    // Tool bar actions by their object name: "open", "save", "undo", "bold", "italic", "underline",
    // "left", "center", "right", "list", "color", "font", "expression"; the buttons "ok", "cancel".
    QAction* Action(const char* name) const;

    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

private:
    void BuildToolBar();
    void MergeFormat(const QTextCharFormat& f);
    void ShowSelectionAttributes();
    void ApplyIndents(int left, int firstLine, int right);
    void ToggleList(bool on);
    void ChooseFont();
    void ChooseColor();
    void OpenWithDialog();
    void SaveWithDialog();

    QTextEdit* edit_ = nullptr;
    TkvRichRuler* ruler_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QFontComboBox* fontBox_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    std::function<QString(QWidget*)> expressionBuilder_;
    QString lastError_;
    bool updating_ = false;
    int textWidth_ = 624;
};

namespace kv {

// Makes ShowEditor of rich text objects open the editor window (parented to the active window).
// beforeChange and expressionBuilder are the designer's; either may be empty.
void InstallRichTextEditor(std::function<void()> beforeChange = {},
                           std::function<QString(QWidget*)> expressionBuilder = {});

} // namespace kv
