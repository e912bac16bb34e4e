#include "designer/insp_values.h"

#include "base/constants.h"
#include "base/coord.h"
#include "base/text_util.h"
#include "core/object.h"

#include <cmath>

namespace {

std::string Quoted(const QByteArray& text) {
    return "'" + text.toStdString() + "'";
}

// A value read as a number, when it is one (numbers, and texts that read as numbers).
bool AsNumber(const TkvVariant& value, double& out) {
    if (value.isNumeric()) {
        out = value.toDouble();
        return true;
    }
    if (value.kind() == TkvVariant::Kind::Boolean) {
        out = value.toBool() ? -1 : 0;
        return true;
    }
    if (!value.isText()) return false;
    int64_t i = 0;
    if (kvinsp::ParseIntegerText(value.toText(), i)) {
        out = double(i);
        return true;
    }
    try {
        out = kv::ParseNumberText(value.toText());
        return std::isfinite(out);
    } catch (const TkvError&) {
        return false;
    }
}

bool SameValue(const TkvVariant& a, const TkvVariant& b) {
    if (a == b) return true;
    double x = 0, y = 0;
    if (a.isNumeric() && b.isNumeric() && AsNumber(a, x) && AsNumber(b, y)) return x == y;
    return false;
}

QByteArray ColorText(uint32_t color) {
    const QByteArray name = kv::ColorName(color);
    if (!name.isEmpty()) return name;
    return "$" + QByteArray::number(color, 16).toUpper().rightJustified(6, '0');
}

} // namespace

namespace kvinsp {

bool ParseIntegerText(const QByteArray& text, int64_t& value) {
    const QByteArray t = text.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    if (t.startsWith('$')) {
        const QByteArray digits = t.mid(1);
        // "$-1" is no hexadecimal number
        if (digits.isEmpty() || digits.startsWith('-') || digits.startsWith('+')) return false;
        const qulonglong u = digits.toULongLong(&ok, 16);
        if (!ok || u > qulonglong(INT64_MAX)) return false;
        value = int64_t(u);
        return true;
    }
    value = t.toLongLong(&ok, 10);
    return ok;
}

QByteArray DisplayForm(const TkvVariant& value, uint16_t kind, const TkvStringList& enumNames,
                       const TkvVariant& enumValues) {
    const QByteArray text = value.toText();
    if (kind & kvpk::Real) {
        double d = 0;
        if (!AsNumber(value, d)) return text;
        return QByteArray::number(d, 'f', 2);
    }
    if (kind & kvpk::Boolean) {
        if (value.kind() == TkvVariant::Kind::Boolean) return value.toBool() ? "True" : "False";
        if (text.compare("True", Qt::CaseInsensitive) == 0) return "True";
        int64_t i = 0;
        return ParseIntegerText(text, i) && i != 0 ? "True" : "False";
    }
    if (kind & kvpk::Color) {
        double d = 0;
        if (!AsNumber(value, d) || d != std::floor(d) || std::fabs(d) > 4294967295.0) return text;
        return ColorText(static_cast<uint32_t>(static_cast<int64_t>(d)));
    }
    if ((kind & kvpk::Enum) && enumValues.kind() == TkvVariant::Kind::Array) {
        const QList<TkvVariant>& values = enumValues.toArray();
        TkvVariant v = value;
        if (value.isText()) {
            int64_t i = 0;
            if (ParseIntegerText(text, i)) v = i;
        }
        for (qsizetype i = 0; i < values.size() && i < enumNames.size(); ++i)
            if (SameValue(values[i], v)) return enumNames[i];
        return text;
    }
    return text;
}

TkvVariant RowValue(const TkvInspRow& row) {
    const uint16_t kind = row.DataType;
    const QByteArray& text = row.Text;
    if ((kind & kvpk::Text) || ((kind & kvpk::Enum) && !row.HasEnumValues())) return text;
    if (kind & kvpk::Integer) {
        int64_t i = 0;
        if (!ParseIntegerText(text, i))
            throw TkvInspValueError(Quoted(text) + " is not a valid integer value");
        if (i < INT32_MIN || i > int64_t(UINT32_MAX))
            throw TkvInspValueError(Quoted(text) + " is out of the range of an integer value");
        return i;
    }
    if (kind & kvpk::Real) {
        double d = 0;
        try {
            d = kv::ParseNumberText(text);
        } catch (const TkvError&) {
            throw TkvInspValueError(Quoted(text) + " is not a valid floating point value");
        }
        if (!std::isfinite(d)) throw TkvInspValueError(Quoted(text) + " is not a valid floating point value");
        return d;
    }
    if (kind & kvpk::Boolean) {
        const QByteArray up = text.toUpper();
        if (up == "TRUE") return true;
        return !(up == "FALSE" || up.isEmpty() || up == "0");
    }
    if (kind & kvpk::Color) {
        uint32_t color = 0;
        if (kv::ColorByName(text.trimmed(), color)) return int64_t(color);
        int64_t i = 0;
        if (!ParseIntegerText(text, i) || i < INT32_MIN || i > int64_t(UINT32_MAX))
            throw TkvInspValueError(Quoted(text) + " is not a colour");
        return int64_t(static_cast<uint32_t>(i));
    }
    if (kind & kvpk::Enum) {
        const QList<TkvVariant>& values = row.EnumValues.toArray();
        const qsizetype at = row.Enum.indexOf(text);
        if (at < 0) {
            int64_t i = 0;
            if (!ParseIntegerText(text, i))
                throw TkvInspValueError(Quoted(text) + " is not one of the listed values");
            return i;
        }
        if (at >= values.size()) throw TkvInspValueError(Quoted(text) + " has no value");
        return values[at];
    }
    return text;
}

double ToDesignerUnit(double pageUnits, TkvDesignerUnit unit) {
    switch (unit) {
    case TkvDesignerUnit::Millimetres:
        return pageUnits / 18 * 5;
    case TkvDesignerUnit::Inches:
        return pageUnits / 18 * 5 / 25.4;
    default:
        return pageUnits;
    }
}

double FromDesignerUnit(double value, TkvDesignerUnit unit) {
    switch (unit) {
    case TkvDesignerUnit::Millimetres:
        return value / 5 * 18;
    case TkvDesignerUnit::Inches:
        return value * 25.4 / 5 * 18;
    default:
        return value;
    }
}

QByteArray SizeText(double pageUnits, TkvDesignerUnit unit) {
    if (unit == TkvDesignerUnit::Pixels) return QByteArray::number(pageUnits, 'g', 15);
    return QByteArray::number(ToDesignerUnit(pageUnits, unit), 'f', 2);
}

TkvVariant SizeFromDesignerUnit(const TkvVariant& value, TkvDesignerUnit unit, bool integer) {
    double v = 0;
    if (!AsNumber(value, v) || !std::isfinite(v))
        throw TkvInspValueError(Quoted(value.toText()) + " is not a size");
    const double units = FromDesignerUnit(v, unit);
    if (!std::isfinite(units) || std::fabs(units) > kv::kMaxCoord)
        throw TkvInspValueError(Quoted(value.toText()) + " is out of the range of sizes");
    if (integer) return int64_t(kv::RoundTo64(units));
    return units;
}

TkvStringList DropDownItems(const TkvInspRow& row) {
    TkvStringList items;
    if (row.DataType & kvpk::Boolean) {
        items = {"False", "True"};
    } else if (row.DataType & kvpk::Color) {
        for (const kv::TkvColorName& c : kv::kColorNames)
            items.append(c.Name);
    } else if (row.DataType & kvpk::Enum) {
        items = row.Enum;
    }
    return items;
}

QByteArray NextCycleText(const TkvInspRow& row) {
    if (row.DataType & kvpk::Boolean) {
        TkvVariant v;
        try {
            v = RowValue(row);
        } catch (const TkvError&) {
            return "True";
        }
        return v.toBool() ? "False" : "True";
    }
    if (!(row.DataType & kvpk::Enum) || row.Enum.isEmpty()) return row.Text;
    if (!row.HasEnumValues()) {
        const qsizetype at = row.Enum.indexOf(row.Text);
        return row.Enum[at < 0 || at + 1 >= row.Enum.size() ? 0 : at + 1];
    }
    // With values: the element after the current value's position, the first after the last or
    // when the value is not found.
    const QList<TkvVariant>& values = row.EnumValues.toArray();
    qsizetype at = -1;
    try {
        const TkvVariant current = RowValue(row);
        for (qsizetype i = 0; i < values.size(); ++i)
            if (SameValue(values[i], current)) {
                at = i;
                break;
            }
    } catch (const TkvError&) {
    }
    const qsizetype next = at < 0 || at + 1 >= values.size() ? 0 : at + 1;
    return DisplayForm(values.value(next), row.DataType, row.Enum, row.EnumValues);
}

} // namespace kvinsp
