#include "engine/data/dictionary_lookup.h"

#include "core/report/name_resolution.h"
#include "engine/data/dataset.h"

TkvRecordSet* TkvDictionaryLookup::RecordSetOf(TkvComponent* dataset) {
    if (auto* rs = dynamic_cast<TkvRecordSet*>(dataset)) return rs;
    if (auto* db = dynamic_cast<TkvDBDataSet*>(dataset)) return &db->Underlying();
    return nullptr;
}

TkvVariant TkvDictionaryLookup::FieldValue(TkvDataField& field) {
    TkvVariant v = field.HasGetTextHandler() || field.DataType() == TkvFieldType::LargeInt
                       ? (field.IsNull() ? TkvVariant::Null() : TkvVariant(field.DisplayText()))
                       : field.Value();
    if (!v.isEmpty()) return v;
    switch (field.DataType()) {
    case TkvFieldType::String:
    case TkvFieldType::WideString:
        return TkvVariant(QByteArray());
    case TkvFieldType::Boolean:
        return TkvVariant(false);
    default:
        return TkvVariant(0);
    }
}

bool TkvDictionaryLookup::Resolve(const QByteArray& name, const QByteArray& text) {
    TkvComponent* dataset = DefaultDataset ? DefaultDataset() : nullptr;
    const QByteArray field = kv::FindDatasetAndField(text, dataset);
    if (field.isEmpty() || !dataset) return false;
    cache_.insert(name.toUpper(), {dataset, field});
    return true;
}

bool TkvDictionaryLookup::IsVariable(const QByteArray& name) {
    if (cache_.contains(name.toUpper())) return true;
    const TkvVariables& vars = dictionary_.Variables;
    if (vars.Contains(name)) {
        const TkvVariant v = vars.GetVariable(name);
        if (v.isText() && v.toText().contains('.')) Resolve(name, v.toText());
        return true;
    }
    QByteArray text = name;
    QByteArray d, f;
    if (TkvDataDictionary::SplitDottedName(name, d, f)) {
        d = dictionary_.DatasetOfAlias(d);
        const TkvVariables& aliases = dictionary_.FieldAliases;
        for (int i = 0; i < aliases.Count(); ++i) {
            const TkvVariant a = aliases.Value(i);
            if (!a.isText() || a.toText().compare(f, Qt::CaseInsensitive) != 0 ||
                !aliases.Name(i).startsWith(d))
                continue;
            QByteArray kd, kf;
            if (TkvDataDictionary::SplitDottedName(aliases.Name(i), kd, kf)) f = kf;
            break;
        }
        text = d + ".\"" + f + '"';
    }
    return Resolve(name, text);
}

void TkvDictionaryLookup::GetValue(const QByteArray& name, TkvVariant& value) {
    value = TkvVariant::Null();
    const auto it = cache_.constFind(name.toUpper());
    if (it != cache_.constEnd()) {
        TkvRecordSet* rs = RecordSetOf(it->DataSet);
        if (!rs) return;
        if (!rs->Active()) rs->Open();
        if (TkvDataField* f = rs->FieldByName(it->FieldName)) value = FieldValue(*f);
        return;
    }
    if (!dictionary_.Variables.Contains(name)) return;
    if (ScriptVariables && ScriptVariables->Contains(name)) {
        value = ScriptVariables->GetVariable(name);
        return;
    }
    value = dictionary_.Variables.GetVariable(name);
    if (!value.isText() || value.toText().isEmpty() || !Evaluate) return;
    // A variable whose expression reads itself (directly or through others) would recurse forever.
    for (const QByteArray& open : evaluating_)
        if (open.compare(name, Qt::CaseInsensitive) == 0)
            throw TkvDataError("The variable " + name.toStdString() + " refers to itself");
    if (evaluating_.size() >= MaxDepth)
        throw TkvDataError("Variables nested more than 64 deep at " + name.toStdString());
    evaluating_.append(name);
    try {
        value = Evaluate(value.toText());
    } catch (...) {
        evaluating_.removeLast();
        throw;
    }
    evaluating_.removeLast();
}
