#pragma once
// What the designer offers its editors: the undo step before a change, the after-change step, the
// field chooser and expression builder, the selection and the designer restrictions. The
// inspector's editor rows, the text and script editor and the object editor dialogs all work
// through one of these, filled by the designer window; any member may be empty (an editor then
// does without: no undo step, no insert buttons, the edited object alone as the selection).

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QWidget;
class TkvView;

struct TkvDesignerServices {
    // Records one undo step of kind modify for the selection.
    std::function<void()> BeforeChange;
    // Redraws the changed views, updates the status bar and refills the inspector.
    std::function<void()> AfterChange;
    // The field chooser: "[" + field + "]", or empty when nothing was chosen.
    std::function<QString(QWidget* parent)> InsertFieldExpression;
    // The expression builder: an expression, or empty when cancelled. `current` is the text to
    // start from.
    std::function<QString(QWidget* parent, const QString& current)> InsertExpression;
    // The selected views in page order (the highlight and restrictions editors change them all).
    std::function<std::vector<TkvView*>()> SelectedViews;
    // The designer restriction bits (kvdr).
    std::function<uint16_t()> DesignerRestrictions;
    // The colour dialog: true with the chosen colour. Empty: the platform colour dialog.
    std::function<bool(uint32_t& color, QWidget* parent)> ChooseColor;
};

namespace kv {
// The colour dialog of `services`, or the platform's.
bool ChooseDesignerColor(const TkvDesignerServices& services, uint32_t& color, QWidget* parent);
} // namespace kv
