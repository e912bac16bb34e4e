#pragma once
// Library-wide current objects and flags. Plain globals, used on the one user-interface thread
// and changed by every load, save, draw and build.

#include "base/stream_version.h"

#include <QByteArray>
#include <cstdint>

class TkvReport;
class TkvPage;
class TkvView;
class TkvBand;
class TkvExpressionEvaluator;

namespace kv {

extern TkvReport* CurReport;
extern TkvReport* MasterReport;
extern TkvView* CurView;
extern TkvBand* CurBand;
extern TkvPage* CurPage;
// The designer's current page (set by the designer); band alignment consults it while designing.
extern TkvPage* DesignerPage;

extern bool ErrorFlag;
extern QByteArray ErrorText;
extern uint32_t NextViewID;

// 0 while designing, 1 while a report is built, previewed or printed.
extern uint8_t DocumentMode;
// 1 during the first pass of a two-pass build: backgrounds and frames paint nothing.
extern uint8_t FirstPassActive;

// The evaluator of [expressions] for the objects being drawn, printed or built: CurReport's, or
// none. RequireEvaluator raises TkvExpressionError when there is none.
TkvExpressionEvaluator* CurEvaluator();
TkvExpressionEvaluator& RequireEvaluator();

} // namespace kv
