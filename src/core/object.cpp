#include "core/object.h"

#include "base/text_util.h"
#include "base/value_ops.h"
#include "core/globals.h"
#include "base/expression_evaluator.h"

TkvListIndexError::TkvListIndexError(int64_t index)
    : TkvError("List index out of bounds (" + std::to_string(index) + ")") {}

void TkvObject::AddProperty(const QByteArray& name, uint16_t kind, TkvEditorProc editor) {
    auto rec = std::make_unique<TkvPropRec>();
    rec->PropName = name.left(32);
    rec->PropKind = kind;
    rec->EnumValues = TkvVariant();
    rec->EditorProc = std::move(editor);
    PropertyTable.push_back(std::move(rec));
}

void TkvObject::AddEnumProperty(const QByteArray& name, const QByteArray& names, const TkvVariant& values) {
    auto rec = std::make_unique<TkvPropRec>();
    rec->PropName = name.left(32);
    rec->PropKind = kvpk::Enum;
    rec->EnumNames = kv::SplitSemicolons(names);
    if (values.kind() == TkvVariant::Kind::Array) {
        rec->EnumValues = values;
        if (!values.toArray().isEmpty() && values.toArray().first().isNull()) rec->EnumValues = TkvVariant::Null();
    } else {
        rec->EnumValues = values.isNull() ? TkvVariant::Null() : TkvVariant(QList<TkvVariant>{values});
    }
    PropertyTable.push_back(std::move(rec));
}

TkvPropRec* TkvObject::FindProperty(const QByteArray& name) {
    const QByteArray up = name.toUpper();
    for (auto& rec : PropertyTable)
        if (rec->PropName.toUpper() == up) return rec.get();
    return nullptr;
}

const TkvPropertyTable& TkvObject::Properties() const {
    static const TkvPropertyTable none;
    return none;
}

void TkvObject::SetProperty(const QByteArray& name, const TkvVariant& value) {
    const TkvPropertyDescriptor* d = Properties().Find(name);
    if (d && d->Set) d->Set(*this, value);
}

void TkvObject::GetProperty(const QByteArray& name, TkvVariant& result) {
    const TkvPropertyDescriptor* d = Properties().Find(name);
    result = d && d->Get ? d->Get(*this) : TkvVariant::Null();
}

void TkvObject::ListProperty(const QByteArray& name) {
    const TkvPropertyDescriptor* d = Properties().Find(name);
    Q_ASSERT_X(d, "ListProperty", name.constData());
    if (!d) return;
    if (d->EnumItems) {
        const auto [names, values] = d->EnumItems(*this);
        AddEnumProperty(d->Name, names, values);
    } else {
        AddProperty(d->Name, d->Kind, d->Editor ? d->Editor(*this) : TkvEditorProc{});
    }
}

namespace {

// The value of the expression text a1, as text when asked.
TkvVariant Evaluate(const TkvVariant& expr) { return kv::RequireEvaluator().Evaluate(expr.toText()); }

QByteArray EvaluateText(const TkvVariant& expr) {
    TkvExpressionEvaluator& e = kv::RequireEvaluator();
    return kvval::ToText(e.Evaluate(expr.toText()), e.FormatSettings());
}

qsizetype CheckedIndex(const TkvStringList& list, const TkvVariant& v) {
    const int64_t i = v.toInt();
    if (i < 0 || i >= list.size()) throw TkvListIndexError(i);
    return static_cast<qsizetype>(i);
}

} // namespace

void TkvObject::CallListMethod(TkvStringList& list, const QByteArray& method, const QByteArray& propName,
                               const TkvVariant& a1, const TkvVariant& a2, const TkvVariant& a3,
                               TkvVariant& result) {
    const bool a1IsProp = a1.isText() && a1.toText() == propName;
    if (method == "SETINDEXPROPERTY") {
        if (a1IsProp) list[CheckedIndex(list, a2)] = a3.toText();
    } else if (method == "GETINDEXPROPERTY") {
        if (a1IsProp) result = list[CheckedIndex(list, a2)];
    } else if (method == propName + ".ADD") {
        list.append(EvaluateText(a1));
    } else if (method == propName + ".CLEAR") {
        list.clear();
    } else if (method == propName + ".DELETE") {
        list.removeAt(CheckedIndex(list, Evaluate(a1)));
    } else if (method == propName + ".INDEXOF") {
        const QByteArray text = EvaluateText(a1);
        result = int64_t(list.indexOf(text));
    }
}
