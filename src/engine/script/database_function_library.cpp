#include "engine/script/database_function_library.h"

#include "base/expression_evaluator.h"
#include "base/library_texts.h"
#include "base/value_ops.h"
#include "core/report/name_resolution.h"
#include "engine/data/dictionary_lookup.h"
#include "script/function_context.h"

TDatabaseFunctionLibrary::TDatabaseFunctionLibrary() {
    FunctionList.append("FIELDISNULL");
    AddFunctionDesc("FIELDISNULL", kv::BuiltInLibraryText(55620), kv::BuiltInLibraryText(55621));
}

void TDatabaseFunctionLibrary::ComputeFunction(TkvFunctionContext& context, int, const TkvVariant& p1,
                                               const TkvVariant&, const TkvVariant&, TkvVariant& value) {
    value = TkvVariant(int64_t(0));
    if (!context.Evaluate) throw TkvExpressionError("FIELDISNULL cannot evaluate its argument here");
    const QByteArray name = kvval::ToText(context.Evaluate(p1.toText()), *context.Settings).trimmed();
    TkvComponent* dataset = context.DefaultDataset ? context.DefaultDataset() : nullptr;
    const QByteArray field = kv::FindDatasetAndField(name, dataset);
    if (!dataset) {
        value = TkvVariant(true);
        return;
    }
    TkvDataFieldSource* source = TkvDictionaryLookup::RecordSetOf(dataset);
    TkvDataField* f = source && !field.isEmpty() ? source->FieldByName(field) : nullptr;
    if (!f) throw TkvExpressionError("FIELDISNULL: the data set " + dataset->ComponentName().toStdString() +
                                     " has no field '" + name.toStdString() + "'");
    value = TkvVariant(f->IsNull());
}
