#pragma once
// The engine's value: unassigned, null, integer, floating number, boolean, date-time or text,
// plus arrays (enumeration values). Texts are single-byte code page bytes, like every stored string.

#include "base/error.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <exception>
#include <string>
#include <variant>

// A value that cannot be converted to the requested kind.
class TkvVariantError : public TkvError {
public:
    using TkvError::TkvError;
};

class TkvVariant {
public:
    enum class Kind { Unassigned, Null, Integer, Float, Boolean, DateTime, Text, Array };
    struct NullTag {};
    struct DateTimeValue {
        double days; // days since 30 December 1899; fraction = time of day
    };

    TkvVariant() = default;
    static TkvVariant Null() { return TkvVariant(NullTag{}); }
    TkvVariant(NullTag) : v_(NullTag{}) {}
    TkvVariant(int v) : v_(int64_t(v)) {}
    TkvVariant(unsigned v) : v_(int64_t(v)) {}
    TkvVariant(int64_t v) : v_(v) {}
    TkvVariant(double v) : v_(v) {}
    TkvVariant(bool v) : v_(v) {}
    TkvVariant(DateTimeValue v) : v_(v) {}
    TkvVariant(const char* v) : v_(QByteArray(v)) {}
    TkvVariant(QByteArray v) : v_(std::move(v)) {}
    TkvVariant(QList<TkvVariant> v) : v_(std::move(v)) {}

    Kind kind() const { return static_cast<Kind>(v_.index()); }
    bool isUnassigned() const { return kind() == Kind::Unassigned; }
    bool isNull() const { return kind() == Kind::Null; }
    // Unassigned or null: "the result is still null" for property lookups.
    bool isEmpty() const { return isUnassigned() || isNull(); }
    bool isText() const { return kind() == Kind::Text; }
    bool isNumeric() const { return kind() == Kind::Integer || kind() == Kind::Float; }

    // Conversions raise TkvVariantError where the value cannot be converted.
    int64_t toInt() const;
    double toDouble() const;
    bool toBool() const;
    QByteArray toText() const;
    const QList<TkvVariant>& toArray() const;

    bool operator==(const TkvVariant& o) const { return v_ == o.v_; }

private:
    friend bool operator==(NullTag, NullTag) { return true; }
    friend bool operator==(DateTimeValue a, DateTimeValue b) { return a.days == b.days; }
    std::variant<std::monostate, NullTag, int64_t, double, bool, DateTimeValue, QByteArray, QList<TkvVariant>> v_;
};
