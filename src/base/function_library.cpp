#include "base/function_library.h"

#include "base/function_library_registry.h"

bool TkvFunctionLibrary::TryFunction(TkvFunctionContext& context, const QByteArray& name, const TkvVariant& p1,
                                     const TkvVariant& p2, const TkvVariant& p3, TkvVariant& value) {
    for (qsizetype i = 0; i < FunctionList.size(); ++i) {
        if (FunctionList[i].compare(name, Qt::CaseInsensitive) != 0) continue;
        ComputeFunction(context, int(i), p1, p2, p3, value);
        return true;
    }
    return false;
}

void TkvFunctionLibrary::ComputeFunction(TkvFunctionContext&, int, const TkvVariant&, const TkvVariant&,
                                         const TkvVariant&, TkvVariant&) {}

void TkvFunctionLibrary::AddFunctionDesc(const QByteArray& name, const QByteArray& category,
                                         const QByteArray& description) {
    kv::RegisterFunctionDescription(this, name, category, description);
}
