#include "designer/undo_history.h"

#include "core/report/page.h"
#include "core/views/view_factory.h"
#include "designer/designer_state.h"

#include <algorithm>
#include <unordered_map>

namespace {

int IndexOfID(const TkvPage& page, uint32_t id) {
    for (int i = 0; i < page.ObjectCount(); ++i)
        if (page.Object(i)->ID == id) return i;
    return -1;
}

// The object an entry speaks of: by ID, else at its index.
TkvView* FindEntryObject(TkvPage& page, const TkvUndoEntry& e) {
    const int i = IndexOfID(page, e.ID);
    if (i >= 0) return page.Object(i);
    return e.Index >= 0 && e.Index < page.ObjectCount() ? page.Object(e.Index) : nullptr;
}

} // namespace

std::unique_ptr<TkvView> TkvUndoHistory::CopyView(TkvView& view) {
    std::unique_ptr<TkvView> copy = kv::CreateViewByType(view.ObjectType, view.ClassName());
    TkvView::AssignView(*copy, view);
    copy->ID = view.ID;
    copy->Selected = 0;
    return copy;
}

bool TkvUndoHistory::Record(TkvUndoKind kind, TkvPage& page, int pageIndex, const std::vector<TkvView*>& objects) {
    auto step = std::make_unique<TkvUndoStep>();
    step->Kind = kind;
    step->PageIndex = pageIndex;
    std::vector<TkvView*> list = objects;
    if (kind == TkvUndoKind::ZOrder) {
        list.clear();
        for (const auto& v : page.Objects) list.push_back(v.get());
    }
    for (TkvView* v : list) {
        if (v->Flags & kvdf::NoUndo) continue;
        TkvUndoEntry e;
        e.ID = v->ID;
        e.Index = IndexOfID(page, v->ID);
        if (kind == TkvUndoKind::Delete || kind == TkvUndoKind::Modify) e.Copy = CopyView(*v);
        step->Entries.push_back(std::move(e));
    }
    if (step->Entries.empty()) return false;
    redo_.clear();
    Push(undo_, std::move(step));
    return true;
}

void TkvUndoHistory::Push(Stack& stack, std::unique_ptr<TkvUndoStep> step) {
    if (static_cast<int>(stack.size()) >= kMaxSteps) stack.pop_front();
    stack.push_back(std::move(step));
}

std::unique_ptr<TkvUndoStep> TkvUndoHistory::Reverse(const TkvUndoStep& step, TkvPage& page) {
    auto r = std::make_unique<TkvUndoStep>();
    r->PageIndex = step.PageIndex;
    switch (step.Kind) {
    case TkvUndoKind::Insert:
        r->Kind = TkvUndoKind::Delete;
        for (const TkvUndoEntry& e : step.Entries) {
            const int i = IndexOfID(page, e.ID);
            if (i < 0) continue;
            r->Entries.push_back({e.ID, i, CopyView(*page.Object(i))});
        }
        break;
    case TkvUndoKind::Delete:
        r->Kind = TkvUndoKind::Insert;
        for (const TkvUndoEntry& e : step.Entries) r->Entries.push_back({e.ID, e.Index, nullptr});
        break;
    case TkvUndoKind::Modify:
        r->Kind = TkvUndoKind::Modify;
        for (const TkvUndoEntry& e : step.Entries)
            if (TkvView* v = FindEntryObject(page, e)) r->Entries.push_back({v->ID, e.Index, CopyView(*v)});
        break;
    case TkvUndoKind::ZOrder:
        r->Kind = TkvUndoKind::ZOrder;
        for (int i = 0; i < page.ObjectCount(); ++i) r->Entries.push_back({page.Object(i)->ID, i, nullptr});
        break;
    }
    return r;
}

void TkvUndoHistory::Perform(TkvUndoStep& step, TkvPage& page) {
    switch (step.Kind) {
    case TkvUndoKind::Insert:
        for (const TkvUndoEntry& e : step.Entries) {
            const int i = IndexOfID(page, e.ID);
            if (i >= 0) page.Objects.erase(page.Objects.begin() + i);
        }
        break;
    case TkvUndoKind::Delete: {
        // Back at their places, the lowest index first so that each lands where it was.
        std::vector<TkvUndoEntry*> entries;
        for (TkvUndoEntry& e : step.Entries) entries.push_back(&e);
        std::stable_sort(entries.begin(), entries.end(),
                         [](const TkvUndoEntry* a, const TkvUndoEntry* b) { return a->Index < b->Index; });
        for (TkvUndoEntry* e : entries) {
            if (!e->Copy) continue;
            e->Copy->OwnerPage = &page;
            const int at = std::clamp(e->Index, 0, page.ObjectCount());
            page.Objects.insert(page.Objects.begin() + at, std::move(e->Copy));
        }
        break;
    }
    case TkvUndoKind::Modify:
        for (TkvUndoEntry& e : step.Entries) {
            TkvView* v = FindEntryObject(page, e);
            if (!v || !e.Copy) continue;
            const uint32_t id = v->ID;
            TkvView::AssignView(*v, *e.Copy);
            v->ID = id;
            v->Selected = 0;
        }
        break;
    case TkvUndoKind::ZOrder: {
        std::unordered_map<uint32_t, int> target;
        for (const TkvUndoEntry& e : step.Entries) target[e.ID] = e.Index;
        std::stable_sort(page.Objects.begin(), page.Objects.end(),
                         [&target](const std::unique_ptr<TkvView>& a, const std::unique_ptr<TkvView>& b) {
                             const auto ta = target.find(a->ID), tb = target.find(b->ID);
                             const int ia = ta == target.end() ? INT32_MAX : ta->second;
                             const int ib = tb == target.end() ? INT32_MAX : tb->second;
                             return ia < ib;
                         });
        break;
    }
    }
}

bool TkvUndoHistory::Apply(Stack& from, Stack& to, TkvPage& page, int pageIndex) {
    if (from.empty() || from.back()->PageIndex != pageIndex) return false;
    std::unique_ptr<TkvUndoStep> step = std::move(from.back());
    from.pop_back();
    Push(to, Reverse(*step, page));
    Perform(*step, page);
    return true;
}
