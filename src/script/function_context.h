#pragma once
// What a function library may use while it computes a call: how argument texts are evaluated and
// values shown as text, the dialogs of INPUT and MESSAGEBOX, the aggregates of the build and the
// default dataset. Whoever dispatches calls (the report's interpreter, kvtool, a test) owns one and
// passes it to every library; libraries keep no pointer to it. Everything in it is borrowed.

#include "base/format_settings.h"
#include "base/variant.h"

#include <QByteArray>
#include <functional>

class TkvComponent;
class TkvScriptDialogs;
class TkvAggregates;

struct TkvFunctionContext {
    // Evaluates an argument text (the shared parser's Evaluate). Required by functions that read
    // their arguments; without it they raise TkvExpressionError.
    std::function<TkvVariant(const QByteArray& expression)> Evaluate;
    const TkvFormatSettings* Settings = &TkvFormatSettings::System();
    // Null: INPUT and MESSAGEBOX answer their default and write the prompt to stderr.
    TkvScriptDialogs* Dialogs = nullptr;
    // Null: aggregate calls keep the preset text "0".
    TkvAggregates* Aggregates = nullptr;
    // Where FIELDISNULL starts looking for a dataset (empty or null: no default dataset).
    std::function<TkvComponent*()> DefaultDataset;
};
