#pragma once
// TInterpretator: the report's script interpreter. Scripts read exactly the names expressions read
// and call the same functions (both through the host's hooks, the report's ResolveName and
// ResolveFunction); an assignment goes, in this order, to
//   1. a name already among the library-wide variables;
//   2. a variable of the data dictionary (its stored value is replaced);
//   3. MODALRESULT: the dialog page's modal result (SetModalResult; nothing elsewhere);
//   4. CURY: the page position (SetCurY);
//   5. any other name but PROGRESS: a property of the object the name resolves to, or else a new
//      library-wide variable;
//   6. PROGRESS: the progress window's second label (ShowProgress).
// Every hook and list is borrowed; a missing one skips its step.

#include "script/interpretator.h"

#include <functional>

class TkvDataDictionary;

class TInterpretator : public TkvInterpretator {
public:
    explicit TInterpretator(const TkvFormatSettings& settings = TkvFormatSettings::System())
        : TkvInterpretator(settings) {}

    void GetValue(const QByteArray& name, TkvVariant& value) override;
    void SetValue(const QByteArray& name, const TkvVariant& value) override;
    void CallFunction(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2, const TkvVariant& p3,
                      TkvVariant& value) override;

    std::function<void(const QByteArray& name, TkvVariant& value)> ResolveName;
    std::function<void(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2, const TkvVariant& p3,
                       TkvVariant& value)>
        ResolveFunction;
    TkvVariables* Variables = nullptr;
    TkvDataDictionary* Dictionary = nullptr;
    std::function<void(int64_t)> SetModalResult;
    std::function<void(int64_t)> SetCurY;
    std::function<void(const QByteArray& text)> ShowProgress;
};

struct TkvFunctionContext;

namespace kv {
// Offers a call to every registered function library in registration order; true when one
// computed it.
bool CallFunctionLibraries(TkvFunctionContext& context, const QByteArray& name, const TkvVariant& p1,
                           const TkvVariant& p2, const TkvVariant& p3, TkvVariant& value);
} // namespace kv
