#pragma once
// The designer's property editors, installed into a library context's editor hooks for as long as
// this object lives (the previous hooks come back when it goes): the text and script editor for
// "Memo", the picture, tag, highlight and restrictions dialogs, the data field chooser, the font
// and the display format, and the text editor for page scripts. The inspector's editor rows, the views'
// ShowEditor and the designer's own commands all open them through the hooks; each change goes through the
// designer's undo step (TkvDesignerServices::BeforeChange) and its after-change step.

#include "core/library_context.h"
#include "designer/editor_services.h"

#include <memory>

class QSettings;
class QWidget;
class TkvEditorForm;
class TkvMemoView;
class TkvPage;
class TkvPictureView;
class TkvView;

class TkvDesignerEditors {
public:
    // `owner` parents the dialogs (the designer window). With a context the editors are installed
    // in its hooks until this object goes; the context and the owner must outlive it.
    TkvDesignerEditors(TkvLibraryContext* context, QWidget* owner, TkvDesignerServices services = {});
    ~TkvDesignerEditors();
    TkvDesignerEditors(const TkvDesignerEditors&) = delete;
    TkvDesignerEditors& operator=(const TkvDesignerEditors&) = delete;

    // The "SyntaxHighlight" option: switching it replaces the text editor by the other variant.
    void SetSyntaxHighlight(bool on);
    TkvEditorForm& TextEditor();

    // Whether a picture, tag or data field of `view` may be edited: the designer restrictions
    // allow object editors and the view's own restrictions do not forbid editing its contents.
    bool MayEditContents(const TkvView& view) const;

    // The editors; each returns whether the objects changed.
    bool EditText(TkvView& view);
    bool EditPicture(TkvPictureView& view);
    bool EditTag(TkvView& view);
    bool EditHighlight(TkvView* current);
    bool EditRestrictions(TkvView& current);
    bool EditDataField(TkvView& view);
    bool EditFont(TkvMemoView& view);
    bool EditPageScript(TkvPage& page);
    bool EditDisplayFormat(TkvMemoView& view);

    // Hooks that open the editors `find` gives at the time of the call (none: nothing opens).
    static TkvEditorHooks RoutedHooks(std::function<TkvDesignerEditors*()> find);

    TkvDesignerServices Services;
    // Handed to the text editor for its fonts and splitter position; null: defaults.
    std::shared_ptr<QSettings> Settings;

private:
    std::vector<TkvView*> Selection(TkvView* current) const;
    void Changed();

    TkvLibraryContext* context_;
    QWidget* owner_;
    TkvEditorHooks saved_;
    std::unique_ptr<TkvEditorForm> textEditor_;
    bool syntaxHighlight_ = true;
};
