#pragma once
// Library-wide current objects and flags: accessors of the active library context, used on the one
// user-interface thread and changed by every load, save, draw and build.

#include "base/stream_version.h"
#include "core/library_context.h"

#include <QByteArray>
#include <cstdint>

class TkvReport;
class TkvPage;
class TkvView;
class TkvBand;
class TkvExpressionEvaluator;

namespace kv {

// The current objects and flags of the active library context (see library_context.h).
inline TkvReport*& CurReport() {
    return Library().Current.CurReport;
}
inline TkvReport*& MasterReport() {
    return Library().Current.MasterReport;
}
inline TkvView*& CurView() {
    return Library().Current.CurView;
}
inline TkvBand*& CurBand() {
    return Library().Current.CurBand;
}
inline TkvPage*& CurPage() {
    return Library().Current.CurPage;
}
// The designer's current page (set by the designer); band alignment consults it while designing.
inline TkvPage*& DesignerPage() {
    return Library().Current.DesignerPage;
}

inline bool& ErrorFlag() {
    return Library().Current.ErrorFlag;
}
inline QByteArray& ErrorText() {
    return Library().Current.ErrorText;
}
inline uint32_t& NextViewID() {
    return Library().Current.NextViewID;
}

// 0 while designing, 1 while a report is built, previewed or printed.
inline uint8_t& DocumentMode() {
    return Library().Current.DocumentMode;
}
// 1 during the first pass of a two-pass build: backgrounds and frames paint nothing.
inline uint8_t& FirstPassActive() {
    return Library().Current.FirstPassActive;
}

// The evaluator of [expressions] for the objects being drawn, printed or built: CurReport's, or
// none. RequireEvaluator raises TkvExpressionError when there is none.
TkvExpressionEvaluator* CurEvaluator();
TkvExpressionEvaluator& RequireEvaluator();

} // namespace kv
