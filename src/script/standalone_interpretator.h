#pragma once
// An interpreter that runs scripts outside a report: names are its own variables, then the named
// constants; functions are the standard library's (INPUT and MESSAGEBOX through the given dialogs,
// headless by default), SETARRAY and GETARRAY keep array elements as variables named NAME[INDEX].
// Used by kvtool, the fuzz target and the benchmark.

#include "script/function_context.h"
#include "script/interpretator.h"
#include "script/script_dialogs.h"
#include "script/std_function_library.h"

#include <QSet>

class TkvStandaloneInterpretator : public TkvInterpretator {
public:
    explicit TkvStandaloneInterpretator(const TkvFormatSettings& settings = TkvFormatSettings::System(),
                                        TkvScriptDialogs* dialogs = nullptr);

    void GetValue(const QByteArray& name, TkvVariant& value) override;
    void SetValue(const QByteArray& name, const TkvVariant& value) override;
    void CallFunction(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2, const TkvVariant& p3,
                      TkvVariant& value) override;

    TkvVariables Variables;
    TkvVariables Constants{true};
    // Upper-cased names assigned by scripts (including array elements).
    QSet<QByteArray> Assigned;
    TkvFunctionContext Context;

private:
    QByteArray ElementName(const TkvVariant& name, const TkvVariant& index);

    TkvStdFunctionLibrary library_;
};
