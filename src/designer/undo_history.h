#pragma once
// The designer's undo and redo stacks. A step belongs to the page it was recorded on and applies
// only while that page is the current one; each stack keeps the last 100 steps.

#include "core/views/view.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class TkvPage;

enum class TkvUndoKind : uint8_t { Insert = 0, Delete = 1, Modify = 2, ZOrder = 3 };

struct TkvUndoEntry {
    uint32_t ID = 0;
    int Index = -1;
    std::unique_ptr<TkvView> Copy; // Delete and Modify: the object's state
};

struct TkvUndoStep {
    TkvUndoKind Kind = TkvUndoKind::Modify;
    int PageIndex = 0;
    std::vector<TkvUndoEntry> Entries;
};

class TkvUndoHistory {
public:
    static constexpr int kMaxSteps = 100;

    // A step of `kind` over `objects` of `page` (for ZOrder every object of the page), leaving out
    // objects with the no-undo flag. Empties the redo stack. False when there was nothing to record.
    bool Record(TkvUndoKind kind, TkvPage& page, int pageIndex, const std::vector<TkvView*>& objects);
    // Undoes (redoes) the top step when it belongs to `pageIndex`; its reverse goes on the other
    // stack. False when there is nothing to do on this page.
    bool Undo(TkvPage& page, int pageIndex) { return Apply(undo_, redo_, page, pageIndex); }
    bool Redo(TkvPage& page, int pageIndex) { return Apply(redo_, undo_, page, pageIndex); }
    bool CanUndo(int pageIndex) const { return !undo_.empty() && undo_.back()->PageIndex == pageIndex; }
    bool CanRedo(int pageIndex) const { return !redo_.empty() && redo_.back()->PageIndex == pageIndex; }
    int UndoCount() const { return static_cast<int>(undo_.size()); }
    int RedoCount() const { return static_cast<int>(redo_.size()); }
    void Clear() {
        undo_.clear();
        redo_.clear();
    }

    // A copy of the view (same class, same ID and state).
    static std::unique_ptr<TkvView> CopyView(TkvView& view);

private:
    using Stack = std::deque<std::unique_ptr<TkvUndoStep>>;
    static void Push(Stack& stack, std::unique_ptr<TkvUndoStep> step);
    static std::unique_ptr<TkvUndoStep> Reverse(const TkvUndoStep& step, TkvPage& page);
    static void Perform(TkvUndoStep& step, TkvPage& page);
    bool Apply(Stack& from, Stack& to, TkvPage& page, int pageIndex);

    Stack undo_, redo_;
};
