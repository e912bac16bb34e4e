#include "base/value_ops.h"

#include "base/date_time.h"
#include "base/format_settings.h"
#include "base/number_format.h"

#include <cmath>
#include <limits>

using Kind = TkvVariant::Kind;

namespace {

[[noreturn]] void Fail(const std::string& message) { throw TkvVariantError(message); }

[[noreturn]] void NotANumber(const QByteArray& text) {
    Fail("'" + text.left(64).toStdString() + "' is not a valid number");
}

const char* KindName(Kind k) {
    switch (k) {
    case Kind::Unassigned: return "Unassigned";
    case Kind::Null: return "Null";
    case Kind::Integer: return "Integer";
    case Kind::Float: return "Double";
    case Kind::Boolean: return "Boolean";
    case Kind::DateTime: return "Date";
    case Kind::Text: return "String";
    case Kind::Array: return "Array";
    }
    return "?";
}

[[noreturn]] void CannotConvert(const TkvVariant& v, const char* to) {
    Fail(std::string("Could not convert variant of type (") + KindName(v.kind()) + ") into type (" + to + ")");
}

double Days(const TkvVariant& v) { return v.toDouble(); }

// A value that can take part in arithmetic: integer or floating, with date-times marked.
struct Num {
    bool isInt = true;
    int64_t i = 0;
    double d = 0;
    double asDouble() const { return isInt ? double(i) : d; }
};

Num ToNum(const TkvVariant& v, const TkvFormatSettings& fs) {
    const TkvVariant n = kvval::ToNumber(v, fs);
    Num r;
    if (n.kind() == Kind::Integer) {
        r.i = n.toInt();
    } else {
        r.isInt = false;
        r.d = n.toDouble();
    }
    return r;
}

TkvVariant Checked(double d) {
    if (!std::isfinite(d)) Fail("Floating point overflow");
    return TkvVariant(d);
}

// Date arithmetic never yields a date no text can show.
TkvVariant CheckedDate(double d) {
    Checked(d);
    if (!kv::IsDateTimeInRange(d)) Fail("The date is out of range (years 1 to 9999)");
    return TkvVariant(TkvVariant::DateTimeValue{d});
}

bool HasNull(const TkvVariant& a, const TkvVariant& b) { return a.isNull() || b.isNull(); }

int Sign(double x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); }

template <typename T> int Cmp(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

int CompareNumbers(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs) {
    const Num x = ToNum(a, fs), y = ToNum(b, fs);
    if (x.isInt && y.isInt) return Cmp(x.i, y.i);
    const double dx = x.asDouble(), dy = y.asDouble();
    if (std::isnan(dx) || std::isnan(dy)) Fail("Invalid floating point comparison");
    return Cmp(dx, dy);
}

// -1, 0 or 1; null handled by the caller.
int Order(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs) {
    const Kind ka = a.kind(), kb = b.kind();
    if (ka == Kind::Unassigned || kb == Kind::Unassigned) return int(kb == Kind::Unassigned) - int(ka == Kind::Unassigned);
    if (ka == Kind::Array || kb == Kind::Array) Fail("Arrays cannot be compared");
    if (ka == Kind::Text && kb == Kind::Text) {
        const int c = a.toText().compare(b.toText(), Qt::CaseSensitive);
        return Sign(c);
    }
    if (ka == Kind::DateTime || kb == Kind::DateTime)
        return Cmp(kvval::ToDateTime(a, fs), kvval::ToDateTime(b, fs));
    if (ka == Kind::Boolean || kb == Kind::Boolean)
        return Cmp(int(kvval::ToBoolean(a, fs)), int(kvval::ToBoolean(b, fs)));
    return CompareNumbers(a, b, fs);
}

} // namespace

namespace kvval {

QByteArray ToText(const TkvVariant& v, const TkvFormatSettings& fs) {
    switch (v.kind()) {
    case Kind::Unassigned:
    case Kind::Null: return QByteArray();
    case Kind::Integer: return QByteArray::number(static_cast<qlonglong>(v.toInt()));
    case Kind::Float: return kv::FloatToText(v.toDouble(), fs);
    case Kind::Boolean: return v.toBool() ? fs.TrueText : fs.FalseText;
    case Kind::DateTime: return kv::FormatDateTime(QByteArray(), Days(v), fs);
    case Kind::Text: return v.toText();
    case Kind::Array: break;
    }
    CannotConvert(v, "String");
}

TkvVariant ToNumber(const TkvVariant& v, const TkvFormatSettings& fs) {
    switch (v.kind()) {
    case Kind::Unassigned: return TkvVariant(int64_t(0));
    case Kind::Integer:
    case Kind::Float: return v;
    case Kind::Boolean: return TkvVariant(int64_t(v.toBool() ? -1 : 0));
    case Kind::DateTime: return TkvVariant(Days(v));
    case Kind::Text: {
        TkvVariant n;
        if (!kv::ParseNumber(v.toText(), fs, n)) NotANumber(v.toText());
        return n;
    }
    default: CannotConvert(v, "Double");
    }
}

double ToDouble(const TkvVariant& v, const TkvFormatSettings& fs) { return ToNum(v, fs).asDouble(); }

int64_t ToInteger(const TkvVariant& v, const TkvFormatSettings& fs) {
    const Num n = ToNum(v, fs);
    if (n.isInt) return n.i;
    const double r = std::nearbyint(n.d);
    if (!std::isfinite(r) || r < -9.2233720368547758e18 || r >= 9.2233720368547758e18)
        Fail("Integer overflow: the value is outside the range of integers");
    return static_cast<int64_t>(r);
}

bool ToBoolean(const TkvVariant& v, const TkvFormatSettings& fs) {
    switch (v.kind()) {
    case Kind::Boolean: return v.toBool();
    case Kind::Integer: return v.toInt() != 0;
    case Kind::Float: return v.toDouble() != 0;
    case Kind::DateTime: return Days(v) != 0;
    case Kind::Unassigned: return false;
    case Kind::Text: {
        const QByteArray t = v.toText().trimmed();
        if (t.compare(fs.TrueText, Qt::CaseInsensitive) == 0 || t.compare("true", Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(fs.FalseText, Qt::CaseInsensitive) == 0 || t.compare("false", Qt::CaseInsensitive) == 0)
            return false;
        TkvVariant n;
        if (kv::ParseNumber(t, fs, n)) return n.kind() == Kind::Integer ? n.toInt() != 0 : n.toDouble() != 0;
        CannotConvert(v, "Boolean");
    }
    default: CannotConvert(v, "Boolean");
    }
}

double ToDateTime(const TkvVariant& v, const TkvFormatSettings& fs) {
    if (v.kind() == Kind::Text) {
        TkvVariant n;
        if (kv::ParseNumber(v.toText(), fs, n)) return n.kind() == Kind::Integer ? double(n.toInt()) : n.toDouble();
        return kv::ParseDateTime(v.toText().trimmed(), fs);
    }
    if (v.kind() == Kind::DateTime) return Days(v);
    return ToDouble(v, fs);
}

TkvVariant Add(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs) {
    if (HasNull(a, b)) return TkvVariant::Null();
    const bool ta = a.isText() || a.isUnassigned(), tb = b.isText() || b.isUnassigned();
    if (ta && tb && (a.isText() || b.isText())) {
        const QByteArray x = a.toText(), y = b.toText();
        if (x.size() + y.size() > kMaxTextLength)
            Fail("The text would be longer than " + std::to_string(kMaxTextLength) + " characters");
        return TkvVariant(x + y);
    }
    if (a.kind() == Kind::DateTime || b.kind() == Kind::DateTime) {
        return CheckedDate(ToDateTime(a, fs) + ToDateTime(b, fs));
    }
    const Num x = ToNum(a, fs), y = ToNum(b, fs);
    if (x.isInt && y.isInt) {
        int64_t r;
        if (!__builtin_add_overflow(x.i, y.i, &r)) return TkvVariant(r);
    }
    return Checked(x.asDouble() + y.asDouble());
}

TkvVariant Subtract(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs) {
    if (HasNull(a, b)) return TkvVariant::Null();
    if (a.kind() == Kind::DateTime) {
        const double d = Days(a) - ToDateTime(b, fs);
        if (b.kind() == Kind::DateTime) return Checked(d);
        return CheckedDate(d);
    }
    const Num x = ToNum(a, fs), y = ToNum(b, fs);
    if (x.isInt && y.isInt) {
        int64_t r;
        if (!__builtin_sub_overflow(x.i, y.i, &r)) return TkvVariant(r);
    }
    return Checked(x.asDouble() - y.asDouble());
}

TkvVariant Multiply(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs) {
    if (HasNull(a, b)) return TkvVariant::Null();
    const Num x = ToNum(a, fs), y = ToNum(b, fs);
    if (x.isInt && y.isInt) {
        int64_t r;
        if (!__builtin_mul_overflow(x.i, y.i, &r)) return TkvVariant(r);
    }
    return Checked(x.asDouble() * y.asDouble());
}

TkvVariant Divide(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs) {
    if (HasNull(a, b)) return TkvVariant::Null();
    const double y = ToDouble(b, fs);
    if (y == 0) Fail("Division by zero");
    return Checked(ToDouble(a, fs) / y);
}

TkvVariant Modulo(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs) {
    if (HasNull(a, b)) return TkvVariant::Null();
    const int64_t x = ToInteger(a, fs), y = ToInteger(b, fs);
    if (y == 0) Fail("Division by zero");
    if (y == -1) return TkvVariant(int64_t(0)); // INT64_MIN mod -1 would trap
    return TkvVariant(x % y);
}

TkvVariant And(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs) {
    if (HasNull(a, b)) return TkvVariant::Null();
    if (a.kind() == Kind::Boolean && b.kind() == Kind::Boolean) return TkvVariant(a.toBool() && b.toBool());
    return TkvVariant(ToInteger(a, fs) & ToInteger(b, fs));
}

TkvVariant Or(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs) {
    if (HasNull(a, b)) return TkvVariant::Null();
    if (a.kind() == Kind::Boolean && b.kind() == Kind::Boolean) return TkvVariant(a.toBool() || b.toBool());
    return TkvVariant(ToInteger(a, fs) | ToInteger(b, fs));
}

TkvVariant Negate(const TkvVariant& a, const TkvFormatSettings& fs) {
    if (a.isNull()) return a;
    if (a.kind() == Kind::DateTime) return CheckedDate(-Days(a));
    const Num x = ToNum(a, fs);
    if (x.isInt && x.i != std::numeric_limits<int64_t>::min()) return TkvVariant(-x.i);
    return TkvVariant(-x.asDouble());
}

bool CompareValues(const TkvVariant& a, const TkvVariant& b, Compare op, const TkvFormatSettings& fs) {
    if (HasNull(a, b)) {
        const bool same = a.isNull() && b.isNull();
        if (op == Compare::Equal) return same;
        if (op == Compare::NotEqual) return !same;
        Fail("A null value can only be compared with = and <>");
    }
    const int c = Order(a, b, fs);
    switch (op) {
    case Compare::Equal: return c == 0;
    case Compare::NotEqual: return c != 0;
    case Compare::Less: return c < 0;
    case Compare::LessEqual: return c <= 0;
    case Compare::Greater: return c > 0;
    case Compare::GreaterEqual: return c >= 0;
    }
    return false;
}

} // namespace kvval
