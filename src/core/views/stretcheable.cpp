#include "core/views/stretcheable.h"

void TkvStretcheable::CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2,
                                 const TkvVariant& a3, TkvVariant& result) {
    TkvView::CallMethod(name, a1, a2, a3, result);
    if (name == "CALCHEIGHT") result = CalcHeight();
}
