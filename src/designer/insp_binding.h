#pragma once
// Connects an inspector window to the objects it shows: fills its rows from the designer's
// current selection and applies committed rows to it (through kvinsp::ApplyRow), reporting a
// refused value with its message and refilling so the row shows what the objects hold. The
// designer gives it its selection and its undo and after-change steps.

#include "designer/insp_model.h"

#include <QString>
#include <functional>

class TkvInspForm;
class QWidget;

class TkvInspBinding {
public:
    // Installs the form's hooks; the form must outlive the binding.
    explicit TkvInspBinding(TkvInspForm& form);

    // The designer's current selection (page, selected views, unit, restrictions).
    std::function<TkvInspSelection()> Selection;
    // BeforeChange (undo), MarkModified and the page "Type" question. An empty question asks with
    // a message box.
    TkvInspApplyHooks Hooks;
    // After every apply, also a refused one: the designer's after-change step (redraw, status).
    std::function<void()> AfterChange;
    // Makes the named object (or "PageN") the designer's selection.
    std::function<void(const QString& name)> SelectObject;
    // Shows a refused value's message. Empty: a warning box over the inspector.
    std::function<void(const QString& message)> ShowError;
    // Rows hold an object's values in the designer's unit; a refill is suppressed while set.
    bool SuppressRefill = false;

    // Fills the form from Selection().
    void Refill();
    // Applies row `index` of the form; false when the value was refused (with its message shown).
    bool Apply(int index);

private:
    TkvInspForm& form_;
};

namespace kv {
// "This will delete all objects on this page." (Warning, Yes/No): true for Yes.
bool AskPageTypeChange(QWidget* parent);
} // namespace kv
