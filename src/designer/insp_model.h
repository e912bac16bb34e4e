#pragma once
// The object inspector's side of the designer: which rows a selection lists (the properties every
// selected object has, differing values left empty, one-object-only rows such as "Name" only for a
// single object) and how a committed row is applied to the selection, honouring the designer's
// restrictions and each view's own, with the page "Type" warning and renaming that keeps the
// report's references to the object. Headless; the designer hands it what is selected.

#include "designer/insp_values.h"

#include <functional>
#include <vector>

class TkvObject;
class TkvPage;
class TkvReport;
class TkvView;

// Designer restriction bits the inspector honours.
namespace kvdr {
constexpr uint16_t ObjectEditors = 0x0001;
constexpr uint16_t Properties = 0x0002;
constexpr uint16_t Resize = 0x0004;
constexpr uint16_t Move = 0x0008;
constexpr uint16_t PageOptions = 0x0100;
} // namespace kvdr

// A view's own restriction bits.
namespace kvvr {
constexpr uint16_t Memo = 0x01;
constexpr uint16_t Script = 0x02;
constexpr uint16_t Contents = 0x04;
constexpr uint16_t Modify = 0x08;
constexpr uint16_t Size = 0x10;
constexpr uint16_t Move = 0x20;
constexpr uint16_t Delete = 0x40;
} // namespace kvvr

// What the inspector works on: the design page and the selected views on it (in page order; none
// means the page itself). All borrowed.
struct TkvInspSelection {
    TkvReport* Report = nullptr;
    TkvPage* Page = nullptr;
    int PageIndex = 0;
    std::vector<TkvView*> Views;
    TkvDesignerUnit Unit = TkvDesignerUnit::Pixels;
    uint16_t DesignerRestrictions = 0;
};

// The rows of a selection, with the object the selector names and its caption.
struct TkvInspContents {
    std::vector<TkvInspRow> Rows;
    TkvObject* CurrentObject = nullptr;
    QByteArray Caption; // "Page" + number, the one view's name, or empty for several
};

// The designer's answers and notifications while a row is applied. Each may be empty.
struct TkvInspApplyHooks {
    // Records one undo step of kind modify before views change.
    std::function<void()> BeforeChange;
    // Marks the report modified (page properties).
    std::function<void()> MarkModified;
    // "This will delete all objects on this page." with Yes and No: true for Yes. Empty: No.
    std::function<bool()> ConfirmPageTypeChange;
};

enum class TkvInspApplyResult : uint8_t {
    Applied,   // at least one object took the value
    Skipped,   // restrictions, a taken or empty name: nothing changed, nothing to say
    Cancelled, // the user answered No
};

namespace kvinsp {

TkvInspContents FillRows(const TkvInspSelection& selection);

// Applies `row` (its Text) to the selection. Raises TkvInspValueError when the text is not a value
// of the row's kind or a size out of range, and TkvError when a property setter fails; in both
// cases no object has changed.
TkvInspApplyResult ApplyRow(const TkvInspSelection& selection, const TkvInspRow& row,
                            const TkvInspApplyHooks& hooks = {});

// Whether `name` can be given to `view`: not empty, not another view's name in the report (names
// compare without regard to case) and, for a dialog control, no component of the dialog form.
bool NameIsFree(const TkvReport* report, const TkvView& view, const QByteArray& name);

// Replaces references to the object `oldName` by `newName` throughout the report: in the
// [expressions] of every text and tag, in highlight conditions, and in the scripts of views and
// pages, outside quoted texts and comments. Names match as whole words without regard to case;
// a name after a "." (a property of something else) is left alone.
void RenameReferences(TkvReport& report, const QByteArray& oldName, const QByteArray& newName);
// The same replacement in one expression and in one script text.
QByteArray RenameInExpression(const QByteArray& expression, const QByteArray& oldName,
                              const QByteArray& newName);
QByteArray RenameInScript(const QByteArray& script, const QByteArray& oldName, const QByteArray& newName);
// In a memo line: only inside its [expressions].
QByteArray RenameInBrackets(const QByteArray& text, const QByteArray& oldName, const QByteArray& newName);

} // namespace kvinsp
