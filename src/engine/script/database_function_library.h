#pragma once
// The database function library: FIELDISNULL(<FieldName>) tells whether a field of the current
// record is null. The name is evaluated and resolved as "Field" (in the context's default dataset),
// "Dataset.Field" or longer dotted forms; the answer is true when no dataset is found, and a
// dataset without that field raises TkvExpressionError.

#include "base/function_library.h"

class TDatabaseFunctionLibrary : public TkvFunctionLibrary {
public:
    TDatabaseFunctionLibrary();
    const char* ClassName() const override { return "TDatabaseFunctionLibrary"; }
    void ComputeFunction(TkvFunctionContext& context, int index, const TkvVariant& p1, const TkvVariant& p2,
                         const TkvVariant& p3, TkvVariant& value) override;
};
