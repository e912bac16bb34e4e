#include "core/report/build_error.h"

#include "core/globals.h"
#include "core/locale.h"
#include "core/report/report.h"

namespace kv {

void SetBuildError(const QByteArray& exceptionMessage) {
    ErrorFlag() = true;
    QByteArray text = LoadLibraryText(55200);
    if (CurView())
        for (const QByteArray& line : CurView()->Memo)
            text += '\r' + line;
    text += "\r\r" + LoadLibraryText(55201) + ' ' + (CurReport() ? CurReport()->Name : QByteArray()) + '\r';
    if (CurView()) text += LoadLibraryText(55202) + ' ' + CurView()->Name + '\r';
    text += '\r' + exceptionMessage;
    ErrorText() = text;
    if (MasterReport()) MasterReport()->Terminated = true;
}

} // namespace kv
