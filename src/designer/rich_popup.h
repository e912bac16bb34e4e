#pragma once
// The designer's context menu items of a rich text object: a separator, "Stretched" and "Text
// only", each showing the object's flag as its check mark. Clicking one sets the flag to the new
// state on every selected object the user may modify (Restrictions without 0x08), between the
// designer's before-change and after-change notifications.

#include <functional>
#include <vector>

class QMenu;
class TkvRichView;
class TkvView;

struct TkvPopupContext {
    // The selected objects of the designer's page (the clicked object among them).
    std::vector<TkvView*> selection;
    std::function<void()> beforeChange; // undo step
    std::function<void()> afterChange;  // repaint, inspector refresh
};

namespace kv {

void AddRichPopupItems(QMenu& menu, TkvRichView& view, const TkvPopupContext& context);

} // namespace kv
