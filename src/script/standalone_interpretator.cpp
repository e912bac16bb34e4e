#include "script/standalone_interpretator.h"

#include "base/constants_list.h"
#include "base/value_ops.h"

TkvStandaloneInterpretator::TkvStandaloneInterpretator(const TkvFormatSettings& settings, TkvScriptDialogs* dialogs)
    : TkvInterpretator(settings) {
    kv::FillConstantsList(Constants);
    Context.Evaluate = [this](const QByteArray& expression) { return Parser().Evaluate(expression); };
    Context.Settings = &settings;
    Context.Dialogs = dialogs;
}

void TkvStandaloneInterpretator::GetValue(const QByteArray& name, TkvVariant& value) {
    int i = Variables.IndexOf(name);
    if (i >= 0) {
        value = Variables.Value(i);
        return;
    }
    i = Constants.IndexOf(name);
    if (i >= 0) value = Constants.Value(i);
}

void TkvStandaloneInterpretator::SetValue(const QByteArray& name, const TkvVariant& value) {
    Variables.SetVariable(name, value);
    Assigned.insert(name.toUpper());
}

QByteArray TkvStandaloneInterpretator::ElementName(const TkvVariant& name, const TkvVariant& index) {
    return name.toText().trimmed() + "[" + kvval::ToText(Parser().Evaluate(index.toText()), Parser().Settings()) + "]";
}

void TkvStandaloneInterpretator::CallFunction(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                                              const TkvVariant& p3, TkvVariant& value) {
    if (name == "SETARRAY") {
        SetValue(ElementName(p1, p2), Parser().Evaluate(p3.toText()));
        return;
    }
    if (name == "GETARRAY") {
        value = Variables.GetVariable(ElementName(p1, p2));
        return;
    }
    library_.TryFunction(Context, name, p1, p2, p3, value);
}
