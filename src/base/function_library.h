#pragma once
// The base of function libraries: each computes report functions the expression parser does not
// compute itself. The registry (base/function_library_registry.h) creates, orders and destroys
// libraries; the report's function dispatch offers each call to them in registration order.

#include "base/variant.h"

#include <QByteArray>
#include <QList>

struct TkvFunctionContext; // script/function_context.h: what a call may use while it computes

class TkvFunctionLibrary {
public:
    virtual ~TkvFunctionLibrary() = default;
    // The name libraries are registered and compared by.
    virtual const char* ClassName() const = 0;

    // Looks the name up in FunctionList (ignoring case); when present, runs ComputeFunction with its
    // index and returns true. The arguments are the unevaluated argument texts.
    virtual bool TryFunction(TkvFunctionContext& context, const QByteArray& name, const TkvVariant& p1,
                             const TkvVariant& p2, const TkvVariant& p3, TkvVariant& value);
    // Computes the function at `index` of FunctionList. Base: nothing.
    virtual void ComputeFunction(TkvFunctionContext& context, int index, const TkvVariant& p1, const TkvVariant& p2,
                                 const TkvVariant& p3, TkvVariant& value);

    // Forwards a description to the installed-functions list (through the registry's hook).
    void AddFunctionDesc(const QByteArray& name, const QByteArray& category, const QByteArray& description);

    // The upper-case names this library computes; position = function index.
    QList<QByteArray> FunctionList;
};
