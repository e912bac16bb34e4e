#include "designer/rich_popup.h"

#include "core/locale.h"
#include "core/views/rich_view.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr uint16_t kDontModify = 0x08;

void AddFlagItem(QMenu& menu, int textId, uint16_t bit, TkvView& view, const TkvPopupContext& context) {
    QAction* item = menu.addAction(QString::fromLatin1(kv::LoadLibraryText(textId)));
    item->setCheckable(true);
    item->setChecked(view.Flags & bit);
    // The context is copied: the menu may outlive the caller's frame while it is shown.
    QObject::connect(item, &QAction::triggered, item, [bit, context](bool on) {
        if (context.beforeChange) context.beforeChange();
        for (TkvView* v : context.selection) {
            if (!v || (v->Restrictions & kDontModify)) continue;
            v->Flags = static_cast<uint16_t>(on ? v->Flags | bit : v->Flags & ~bit);
        }
        if (context.afterChange) context.afterChange();
    });
}

} // namespace

namespace kv {

void AddRichPopupItems(QMenu& menu, TkvRichView& view, const TkvPopupContext& context) {
    menu.addSeparator();
    AddFlagItem(menu, 55190, kvflag::Stretched, view, context);
    AddFlagItem(menu, 55433, kvflag::TextOnly, view, context);
}

} // namespace kv
