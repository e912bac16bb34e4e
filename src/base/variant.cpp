#include "base/variant.h"

#include <cmath>
#include <limits>

namespace {

[[noreturn]] void CannotConvert(const char* to) {
    throw TkvVariantError(std::string("Could not convert variant to type (") + to + ")");
}

bool ParseInt(const QByteArray& t, int64_t& out) {
    bool ok = false;
    const QByteArray s = t.trimmed();
    if (s.startsWith('$')) {
        out = s.mid(1).toLongLong(&ok, 16);
    } else {
        out = s.toLongLong(&ok, 10);
    }
    return ok;
}

} // namespace

int64_t TkvVariant::toInt() const {
    switch (kind()) {
    case Kind::Integer: return std::get<int64_t>(v_);
    case Kind::Boolean: return std::get<bool>(v_) ? -1 : 0;
    case Kind::Float:
    case Kind::DateTime: {
        const double d = kind() == Kind::Float ? std::get<double>(v_) : std::get<DateTimeValue>(v_).days;
        if (!std::isfinite(d) || std::fabs(d) > 9.2e18) CannotConvert("Integer");
        return static_cast<int64_t>(std::nearbyint(d));
    }
    case Kind::Text: {
        int64_t v;
        if (ParseInt(std::get<QByteArray>(v_), v)) return v;
        bool ok = false;
        const double d = std::get<QByteArray>(v_).trimmed().toDouble(&ok);
        if (ok && std::isfinite(d) && std::fabs(d) < 9.2e18) return static_cast<int64_t>(std::nearbyint(d));
        CannotConvert("Integer");
    }
    default: CannotConvert("Integer");
    }
}

double TkvVariant::toDouble() const {
    switch (kind()) {
    case Kind::Integer: return static_cast<double>(std::get<int64_t>(v_));
    case Kind::Float: return std::get<double>(v_);
    case Kind::DateTime: return std::get<DateTimeValue>(v_).days;
    case Kind::Boolean: return std::get<bool>(v_) ? -1.0 : 0.0;
    case Kind::Text: {
        bool ok = false;
        QByteArray t = std::get<QByteArray>(v_).trimmed();
        t.replace(',', '.');
        const double d = t.toDouble(&ok);
        if (!ok) CannotConvert("Double");
        return d;
    }
    default: CannotConvert("Double");
    }
}

bool TkvVariant::toBool() const {
    switch (kind()) {
    case Kind::Boolean: return std::get<bool>(v_);
    case Kind::Integer: return std::get<int64_t>(v_) != 0;
    case Kind::Float: return std::get<double>(v_) != 0.0;
    case Kind::DateTime: return std::get<DateTimeValue>(v_).days != 0.0;
    case Kind::Text: {
        const QByteArray t = std::get<QByteArray>(v_).trimmed().toLower();
        if (t == "true") return true;
        if (t == "false") return false;
        int64_t v;
        if (ParseInt(t, v)) return v != 0;
        CannotConvert("Boolean");
    }
    default: CannotConvert("Boolean");
    }
}

QByteArray TkvVariant::toText() const {
    switch (kind()) {
    case Kind::Unassigned:
    case Kind::Null: return QByteArray();
    case Kind::Integer: return QByteArray::number(static_cast<qlonglong>(std::get<int64_t>(v_)));
    case Kind::Float: return QByteArray::number(std::get<double>(v_), 'g', 15);
    case Kind::DateTime: return QByteArray::number(std::get<DateTimeValue>(v_).days, 'g', 15);
    case Kind::Boolean: return std::get<bool>(v_) ? "True" : "False";
    case Kind::Text: return std::get<QByteArray>(v_);
    default: CannotConvert("String");
    }
}

const QList<TkvVariant>& TkvVariant::toArray() const {
    if (kind() != Kind::Array) CannotConvert("Array");
    return std::get<QList<TkvVariant>>(v_);
}
