#include "engine/script/report_interpretator.h"

#include "base/function_library.h"
#include "base/function_library_registry.h"
#include "base/value_ops.h"
#include "core/object.h"
#include "core/report/name_resolution.h"
#include "core/template/data_dictionary.h"

void TInterpretator::GetValue(const QByteArray& name, TkvVariant& value) {
    if (ResolveName) ResolveName(name, value);
}

void TInterpretator::CallFunction(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                                  const TkvVariant& p3, TkvVariant& value) {
    if (ResolveFunction) ResolveFunction(name, p1, p2, p3, value);
}

void TInterpretator::SetValue(const QByteArray& name, const TkvVariant& value) {
    if (Variables && Variables->Contains(name)) {
        Variables->SetVariable(name, value);
        return;
    }
    if (Dictionary && Dictionary->Variables.Contains(name)) {
        Dictionary->Variables.SetVariable(name, value);
        return;
    }
    const QByteArray upper = name.toUpper();
    const TkvFormatSettings& fs = Parser().Settings();
    if (upper == "MODALRESULT") {
        if (SetModalResult) SetModalResult(kvval::ToInteger(value, fs));
        return;
    }
    if (upper == "CURY") {
        if (SetCurY) SetCurY(kvval::ToInteger(value, fs));
        return;
    }
    if (upper == "PROGRESS") {
        if (ShowProgress) ShowProgress(kvval::ToText(value, fs));
        return;
    }
    const kv::TkvObjectProperty target = kv::ResolveObjectProperty(name);
    if (target.Object && target.Object->FindProperty(target.PropName)) {
        target.Object->SetProperty(target.PropName, value);
        return;
    }
    if (Variables) Variables->SetVariable(name, value);
}

namespace kv {

bool CallFunctionLibraries(TkvFunctionContext& context, const QByteArray& name, const TkvVariant& p1,
                           const TkvVariant& p2, const TkvVariant& p3, TkvVariant& value) {
    for (TkvFunctionLibrary* library : FunctionLibraries())
        if (library->TryFunction(context, name, p1, p2, p3, value)) return true;
    return false;
}

} // namespace kv
