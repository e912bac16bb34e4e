#pragma once
// The text and script editor: the designer's dialog for an object's text (Memo, with its
// [expressions]) and its script (ScriptLines). TkvEditorForm shows the script in a highlighting
// pane with a message line under it; TkvEditorForm1 in a plain pane with an error line that
// appears with errors (the designer option "SyntaxHighlight" chooses). OK compiles the script
// first: with an error the dialog stays open, the caret at the error's line and column and the
// message shown; the object changes only through OK without errors.

#include "base/stream_text.h"
#include "designer/editor_services.h"

#include <QDialog>
#include <memory>

class QAction;
class QLabel;
class QPlainTextEdit;
class QSettings;
class QSplitter;
class QToolBar;
class TkvScriptHighlighter;
class TkvPage;
class TkvView;

class TkvEditorForm : public QDialog {
public:
    explicit TkvEditorForm(QWidget* parent = nullptr) : TkvEditorForm(parent, true) {}
    ~TkvEditorForm() override;

    // Edits the view modally; QDialog::Accepted when the view took the dialog's texts.
    int EditView(TkvView& view);
    // Edits a page's script ("OnBeforePrint", "OnActivate") in the script pane alone.
    int EditPageScript(TkvPage& page);
    void LoadPage(TkvPage& page);
    // EditView's steps before and after the modal loop, for callers (and tests) that run the
    // dialog themselves: Load fills and lays the dialog out, Accept is the OK button.
    void Load(TkvView& view);
    // Compiles the script: without errors stores the texts (BeforeChange first) and closes with
    // Accepted; with errors keeps the dialog open at the first error and returns false.
    bool Accept();

    // The first compile error of the last Accept ("Line L/C: message"), empty without.
    QString LastError() const { return lastError_; }
    bool SyntaxHighlighting() const { return highlighting_; }

    TkvDesignerServices Services;
    // The tag editor behind the "Object tag" button (the designer's).
    std::function<void(TkvView& view)> EditTag;
    // The designer's settings, opened at the root of the designer's keys; null: defaults.
    std::shared_ptr<QSettings> Settings;

    bool ScriptShown = true;
    int SplitterPos = 100;

    QPlainTextEdit* TextPane() const { return text_; }
    QPlainTextEdit* ScriptPane() const { return script_; }
    // The script pane's message line (highlighting) or error line (plain).
    QLabel* MessageLine() const { return message_; }
    QPlainTextEdit* ActiveEditor() const { return active_; }
    TkvScriptHighlighter* Highlighter() const { return highlighter_; }
    // Tool bar actions by name: "ok", "cancel", "expression", "field", "wordwrap", "script", "cut",
    // "copy", "paste", "tag".
    QAction* Action(const char* name) const;
    QToolBar* ToolBar() const { return toolBar_; }

    // The script pane holds the empty skeleton (stored as no script).
    bool ScriptIsSkeleton() const;
    // Line and column (from 1) of a compiler error text; 1 and 1 when it has none.
    static void ErrorPosition(const QString& error, int& line, int& column);

protected:
    TkvEditorForm(QWidget* parent, bool highlighting);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildToolBar();
    void ApplyLayout();
    void ShowScript(bool shown);
    void Insert(const QString& text);
    void ShowError(const QStringList& errors);
    void Store();
    void LoadTexts(const TkvStringList* memo, const TkvStringList& script, uint16_t restrictions,
                   const TkvView* fontOf);
    QString SettingsGroup() const;

    bool highlighting_;
    TkvView* view_ = nullptr;       // the edited view; null for a page
    TkvStringList* memo_ = nullptr; // where the texts go on OK (no text for a page)
    TkvStringList* scriptLines_ = nullptr;
    bool plainView_ = true;
    QToolBar* toolBar_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QPlainTextEdit* script_ = nullptr;
    QWidget* scriptPanel_ = nullptr;
    QLabel* message_ = nullptr;
    QPlainTextEdit* active_ = nullptr;
    TkvScriptHighlighter* highlighter_ = nullptr;
    int textCharset_ = 1;
    QString lastError_;
};

// The plain variant: no colouring, an error line under the script that shows every error.
class TkvEditorForm1 : public TkvEditorForm {
public:
    explicit TkvEditorForm1(QWidget* parent = nullptr) : TkvEditorForm(parent, false) {}
};

namespace kv {
// The editor variant the "SyntaxHighlight" option asks for.
std::unique_ptr<TkvEditorForm> MakeEditorForm(bool syntaxHighlight, QWidget* parent);
} // namespace kv
