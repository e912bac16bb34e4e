#include "script/aggregates.h"

#include "base/value_ops.h"

namespace kvagg {

char KindOf(const QByteArray& name) {
    if (name == "SUM") return Sum;
    if (name == "MIN") return Min;
    if (name == "MAX") return Max;
    if (name == "AVG") return Avg;
    if (name == "COUNT") return Count;
    return 0;
}

QByteArray MakeKey(const QByteArray& footer, char kind, const QByteArray& expression, const QByteArray& flag,
                   const QByteArray& column) {
    QByteArray key;
    if (!column.isEmpty()) key += column + Separator;
    key += footer + Separator;
    key += kind;
    key += Separator;
    key += expression + Separator;
    key += flag + Separator;
    return key;
}

bool ParseKey(const QByteArray& key, TkvAggregateKey& out) {
    QList<QByteArray> fields = key.split(Separator);
    if (fields.isEmpty() || !fields.last().isEmpty()) return false;
    fields.removeLast();
    if (fields.size() != 4 && fields.size() != 5) return false;
    out = TkvAggregateKey();
    int i = 0;
    if (fields.size() == 5) {
        out.HasColumn = true;
        out.Column = fields[i++];
    }
    out.Footer = fields[i++];
    if (fields[i].size() != 1 || fields[i][0] < Sum || fields[i][0] > Count) return false;
    out.Kind = fields[i++][0];
    out.Expression = fields[i++];
    out.Flag = fields[i];
    return true;
}

TkvVariant StartValue(char kind) { return kind == Min || kind == Max ? TkvVariant() : TkvVariant(int64_t(0)); }

} // namespace kvagg

namespace {

// The data band type whose rows a footer of this type totals when the call names no band.
int DefaultDataType(int footerType) {
    using namespace kvagg::bt;
    switch (footerType) {
    case Summary:
    case PageFooter:
    case MasterFooter:
    case GroupFooter: return MasterData;
    case DetailFooter: return DetailData;
    case SubdetailFooter: return SubdetailData;
    case CrossFooter: return CrossData;
    default: return None;
    }
}

} // namespace

TkvVariant TkvAggregates::Call(char kind, const QByteArray& p1, const QByteArray& p2, const QByteArray& p3,
                               const TkvFormatSettings& fs, const TkvVariant& preset) {
    // COUNT(Band [, flag]) has no expression: its band name stands in the expression field.
    const QByteArray expression = p1;
    const QByteArray bandName = kind == kvagg::Count ? p1 : p2;
    const QByteArray flag = kind == kvagg::Count ? p2 : p3;
    if (Discovering) {
        Register(kind, expression, bandName, flag);
        return preset;
    }
    return Read(kind, expression, flag, fs);
}

void TkvAggregates::Register(char kind, const QByteArray& expression, const QByteArray& bandName,
                             const QByteArray& flag) {
    if (!CurrentBand || !ExaminedBand) return;
    QByteArray name = bandName;
    if (name.trimmed().isEmpty()) {
        if (DefaultDataType(CurrentBand->BandType()) != ExaminedBand->BandType()) return;
        name = ExaminedBand->BandName();
    }
    if (name.trimmed().compare(ExaminedBand->BandName(), Qt::CaseInsensitive) != 0) return;
    const bool template_ = CurrentBand->BandType() != kvagg::bt::CrossFooter && CurrentBand->HasCrossCells();
    const QByteArray key = kvagg::MakeKey(CurrentBand->BandName(), kind, expression, flag, template_ ? "0" : "");
    if (!ExaminedBand->Aggregates.Contains(key)) ExaminedBand->Aggregates.SetVariable(key, kvagg::StartValue(kind));
    CurrentBand->AggregateSource = ExaminedBand;
}

TkvVariant TkvAggregates::Read(char kind, const QByteArray& expression, const QByteArray& flag,
                               const TkvFormatSettings& fs) {
    if (!CurrentBand || !CurrentBand->AggregateSource) return TkvVariant("0");
    TkvAggregateBand& source = *CurrentBand->AggregateSource;
    const QByteArray key = CellBand.isEmpty() ? kvagg::MakeKey(CurrentBand->BandName(), kind, expression, flag)
                                              : kvagg::MakeKey(CellBand, kind, expression, flag, CellColumn);
    const int i = source.Aggregates.IndexOf(key);
    if (i < 0) return TkvVariant::Null();
    const TkvVariant v = source.Aggregates.Value(i);
    if (v.isUnassigned()) return TkvVariant(int64_t(0)); // MIN or MAX over no counted row
    if (kind != kvagg::Avg) return v;
    // An average keeps its own sum and row count: footers over the same rows reset their own.
    if (v.kind() != TkvVariant::Kind::Array || v.toArray().size() != 2) return TkvVariant(int64_t(0));
    const TkvVariant& rows = v.toArray()[1];
    if (rows.toInt() <= 0) return TkvVariant(int64_t(0));
    return kvval::Divide(v.toArray()[0], rows, fs);
}

void TkvAggregates::Accumulate(TkvAggregateBand& band, bool visible,
                               const std::function<TkvVariant(const QByteArray&)>& evaluate,
                               const TkvFormatSettings& fs, const QByteArray& column) {
    TkvVariables& store = band.Aggregates;
    const bool cells = band.HasCrossCells();
    // A band with cross-tab cells accumulates its cells' entries per column, and its other
    // entries (a summary's, say) once per row, without a column.
    const bool perColumn = cells && !column.isEmpty();
    if (perColumn) {
        for (int i = 0, n = store.Count(); i < n; ++i) {
            kvagg::TkvAggregateKey k;
            if (!kvagg::ParseKey(store.Name(i), k) || !k.HasColumn || k.Column != "0") continue;
            const QByteArray own = kvagg::MakeKey(k.Footer, k.Kind, k.Expression, k.Flag, column);
            if (!store.Contains(own)) store.SetVariable(own, kvagg::StartValue(k.Kind));
        }
    }
    QByteArray lastExpression;
    TkvVariant lastValue;
    bool haveLast = false;
    for (int i = 0; i < store.Count(); ++i) {
        kvagg::TkvAggregateKey k;
        if (!kvagg::ParseKey(store.Name(i), k)) continue;
        if (perColumn ? !k.HasColumn || k.Column != column : k.HasColumn) continue;
        if (!visible && k.Flag.trimmed() != "1") continue;
        TkvVariant current = store.Value(i);
        TkvVariant value;
        if (k.Kind != kvagg::Count) {
            if (!haveLast || k.Expression != lastExpression) {
                lastValue = evaluate(k.Expression);
                lastExpression = k.Expression;
                haveLast = true;
            }
            value = lastValue.isEmpty() ? TkvVariant(int64_t(0)) : lastValue;
        }
        switch (k.Kind) {
        case kvagg::Sum:
            if (current.isEmpty()) current = TkvVariant(int64_t(0));
            current = kvval::Add(current, value, fs);
            break;
        case kvagg::Avg: {
            // [sum, rows counted]
            QList<TkvVariant> avg = current.kind() == TkvVariant::Kind::Array && current.toArray().size() == 2
                                        ? current.toArray()
                                        : QList<TkvVariant>{TkvVariant(int64_t(0)), TkvVariant(int64_t(0))};
            avg[0] = kvval::Add(avg[0], value, fs);
            avg[1] = TkvVariant(avg[1].toInt() + 1);
            current = TkvVariant(avg);
            break;
        }
        case kvagg::Min:
            if (current.isEmpty() || kvval::CompareValues(value, current, kvval::Compare::Less, fs)) current = value;
            break;
        case kvagg::Max:
            if (current.isEmpty() || kvval::CompareValues(value, current, kvval::Compare::Greater, fs)) current = value;
            break;
        case kvagg::Count:
            current = kvval::Add(current.isEmpty() ? TkvVariant(int64_t(0)) : current, TkvVariant(int64_t(1)), fs);
            break;
        }
        store.SetValue(i, current);
    }
    // Rows, not columns: an average of a column divides by the rows.
    if (!perColumn) ++band.RowCount;
}

void TkvAggregates::Reset(TkvAggregateBand& printed) {
    TkvAggregateBand* source = printed.AggregateSource;
    if (!source) return;
    TkvVariables& store = source->Aggregates;
    for (int i = 0; i < store.Count(); ++i) {
        kvagg::TkvAggregateKey k;
        if (!kvagg::ParseKey(store.Name(i), k)) continue;
        if (k.Footer.compare(printed.BandName(), Qt::CaseInsensitive) == 0) store.SetValue(i, kvagg::StartValue(k.Kind));
    }
    source->RowCount = 0;
}
