#include "core/globals.h"

namespace kv {

TkvReport* CurReport = nullptr;
TkvReport* MasterReport = nullptr;
TkvView* CurView = nullptr;
TkvBand* CurBand = nullptr;
TkvPage* CurPage = nullptr;
TkvPage* DesignerPage = nullptr;

bool ErrorFlag = false;
QByteArray ErrorText;
uint32_t NextViewID = 0;

uint8_t DocumentMode = 0;
uint8_t FirstPassActive = 0;

} // namespace kv
