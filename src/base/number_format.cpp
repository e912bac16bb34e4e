#include "base/number_format.h"

#include "base/format_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kSignificant = 15;
constexpr int kMaxDecimals = 30;
constexpr qsizetype kMaxPattern = 4096;

// |v| = 0.d1 d2 d3 ... x 10^Exponent; Digits has no trailing zeros and is empty for zero.
struct Decimal {
    std::string Digits;
    int Exponent = 0;
};

Decimal ToDecimal(double v) {
    Decimal d;
    v = std::fabs(v);
    if (v == 0) return d;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, kSignificant - 1);
    const std::string s(buf, r.ptr);
    const size_t e = s.find('e');
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.') d.Digits += s[i];
    int exp10 = 0;
    std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exp10);
    d.Exponent = exp10 + 1;
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
    return d;
}

// The integer digits (no leading zeros, may be empty) and exactly `frac` fraction digits of d,
// rounded half away from zero at the last kept decimal.
void Round(const Decimal& d, int frac, std::string& intPart, std::string& fracPart) {
    auto digitAt = [&](int k) { return k >= 0 && k < int(d.Digits.size()) ? d.Digits[size_t(k)] : '0'; };
    // A leading zero leaves room for a carry out of the first digit.
    std::string all = "0";
    for (int k = 0; k < d.Exponent; ++k) all += digitAt(k);
    const size_t intLen = all.size();
    for (int j = 1; j <= frac; ++j) all += digitAt(d.Exponent - 1 + j);
    if (digitAt(d.Exponent + frac) >= '5') {
        size_t i = all.size() - 1;
        while (all[i] == '9') all[i--] = '0';
        ++all[i];
    }
    intPart = all.substr(0, intLen);
    fracPart = all.substr(intLen);
    const size_t z = intPart.find_first_not_of('0');
    intPart.erase(0, z == std::string::npos ? intPart.size() : z);
}

QByteArray Special(double v) {
    if (std::isnan(v)) return "NAN";
    return v < 0 ? "-INF" : "INF";
}

void AppendGrouped(QByteArray& out, const std::string& digits, char sep) {
    for (size_t i = 0; i < digits.size(); ++i) {
        out += digits[i];
        const size_t right = digits.size() - 1 - i;
        if (sep && right > 0 && right % 3 == 0) out += sep;
    }
}

// ---------------------------------------------------------------- number patterns

struct Section {
    QByteArray Text;
    int IntPlaceholders = 0;
    int MinInt = 0;
    int MaxFrac = 0;
    int MinFrac = 0;
    bool Thousands = false;
    bool Scientific = false;
    bool HasPlaceholder = false;
};

std::vector<QByteArray> SplitSections(const QByteArray& p) {
    std::vector<QByteArray> out(1);
    char quote = 0;
    for (char c : p) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            if (out.size() == 3) break;
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

bool IsExponentAt(const QByteArray& p, qsizetype i) {
    return (p[i] == 'E' || p[i] == 'e') && i + 2 < p.size() && (p[i + 1] == '+' || p[i + 1] == '-') &&
           p[i + 2] == '0';
}

Section Analyse(const QByteArray& text) {
    Section s;
    s.Text = text;
    bool point = false;
    int firstZero = -1;
    char quote = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (IsExponentAt(text, i)) {
            s.Scientific = true;
            break;
        } else if (c == '0' || c == '#') {
            s.HasPlaceholder = true;
            if (point) {
                ++s.MaxFrac;
                if (c == '0') s.MinFrac = s.MaxFrac;
            } else {
                if (c == '0' && firstZero < 0) firstZero = s.IntPlaceholders;
                ++s.IntPlaceholders;
            }
        } else if (c == '.' && !point) {
            point = true;
        } else if (c == ',' && !point) {
            s.Thousands = true;
        }
    }
    s.MinInt = firstZero < 0 ? 0 : s.IntPlaceholders - firstZero;
    s.MaxFrac = std::min(s.MaxFrac, kMaxDecimals);
    s.MinFrac = std::min(s.MinFrac, s.MaxFrac);
    return s;
}

// Lays the digits out along the section's placeholders and literals.
QByteArray Render(const Section& s, const std::string& intDigitsIn, std::string frac, int exponent, bool negative,
                  const TkvFormatSettings& fs) {
    std::string intDigits = intDigitsIn;
    if (int(intDigits.size()) < s.MinInt) intDigits.insert(0, size_t(s.MinInt - int(intDigits.size())), '0');
    while (int(frac.size()) > s.MinFrac && frac.back() == '0') frac.pop_back();
    const bool anyDigit = std::any_of(intDigits.begin(), intDigits.end(), [](char c) { return c != '0'; }) ||
                          std::any_of(frac.begin(), frac.end(), [](char c) { return c != '0'; });

    QByteArray out;
    if (negative && anyDigit) out += '-';
    const QByteArray& p = s.Text;
    const char sep = s.Thousands ? fs.ThousandSeparator : 0;
    int placeholder = 0;
    size_t next = 0; // next integer digit to emit
    int fracIndex = 0;
    bool point = false;
    char quote = 0;
    auto emitInt = [&](size_t count) {
        for (size_t k = 0; k < count && next < intDigits.size(); ++k, ++next) {
            out += intDigits[next];
            const size_t right = intDigits.size() - 1 - next;
            if (sep && right > 0 && right % 3 == 0) out += sep;
        }
    };
    for (qsizetype i = 0; i < p.size(); ++i) {
        const char c = p[i];
        if (quote) {
            if (c == quote) quote = 0;
            else out += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if (IsExponentAt(p, i)) {
            emitInt(intDigits.size());
            out += c;
            const bool always = p[i + 1] == '+';
            if (exponent < 0) out += '-';
            else if (always) out += '+';
            qsizetype j = i + 2;
            int zeros = 0;
            while (j < p.size() && p[j] == '0') ++zeros, ++j;
            QByteArray e = QByteArray::number(std::abs(exponent));
            if (e.size() < zeros) e.prepend(QByteArray(zeros - e.size(), '0'));
            out += e;
            i = j - 1;
            continue;
        }
        if (c == '0' || c == '#') {
            if (!point) {
                // Each placeholder owns the digit at its distance from the right; the leftmost one
                // also takes every digit beyond the placeholders.
                const int fromRight = s.IntPlaceholders - 1 - placeholder;
                const int want = int(intDigits.size()) - fromRight - int(next);
                emitInt(size_t(std::max(0, want)));
                ++placeholder;
            } else {
                if (fracIndex < int(frac.size())) out += frac[size_t(fracIndex)];
                ++fracIndex;
            }
            continue;
        }
        if (c == '.' && !point) {
            emitInt(intDigits.size());
            point = true;
            if (!frac.empty()) out += fs.DecimalSeparator;
            continue;
        }
        if (c == ',' && !point) continue;
        out += c;
    }
    emitInt(intDigits.size());
    return out;
}

} // namespace

namespace kv {

QByteArray FloatToText(double v, const TkvFormatSettings& fs) {
    if (!std::isfinite(v)) return Special(v);
    const Decimal d = ToDecimal(v);
    if (d.Digits.empty()) return "0";
    QByteArray out;
    if (v < 0) out += '-';
    const int exp10 = d.Exponent - 1;
    if (exp10 >= kSignificant || exp10 < -4) {
        out += d.Digits[0];
        if (d.Digits.size() > 1) {
            out += fs.DecimalSeparator;
            out += QByteArray::fromStdString(d.Digits.substr(1));
        }
        out += 'E';
        out += QByteArray::number(exp10);
        return out;
    }
    if (d.Exponent <= 0) {
        out += '0';
        out += fs.DecimalSeparator;
        out += QByteArray(-d.Exponent, '0');
        out += QByteArray::fromStdString(d.Digits);
        return out;
    }
    for (int k = 0; k < d.Exponent; ++k) out += k < int(d.Digits.size()) ? d.Digits[size_t(k)] : '0';
    if (int(d.Digits.size()) > d.Exponent) {
        out += fs.DecimalSeparator;
        out += QByteArray::fromStdString(d.Digits.substr(size_t(d.Exponent)));
    }
    return out;
}

QByteArray FloatToFixed(double v, int decimals, bool thousands, const TkvFormatSettings& fs) {
    if (!std::isfinite(v)) return Special(v);
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    const Decimal d = ToDecimal(v);
    if (d.Exponent > kSignificant) return FloatToText(v, fs);
    std::string intPart, frac;
    Round(d, decimals, intPart, frac);
    if (intPart.empty()) intPart = "0";
    QByteArray out;
    const bool nonZero = intPart != "0" || frac.find_first_not_of('0') != std::string::npos;
    if (v < 0 && nonZero) out += '-';
    AppendGrouped(out, intPart, thousands ? fs.ThousandSeparator : 0);
    if (decimals > 0) {
        out += fs.DecimalSeparator;
        out += QByteArray::fromStdString(frac);
    }
    return out;
}

QByteArray FormatFloat(const QByteArray& pattern, double v, const TkvFormatSettings& fs) {
    if (pattern.size() > kMaxPattern) throw TkvVariantError("Number format is too long");
    if (!std::isfinite(v)) return Special(v);
    const std::vector<QByteArray> sections = SplitSections(pattern);
    QByteArray text = sections[0];
    bool negative = v < 0;
    if (v < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        text = sections[1];
        negative = false;
    } else if (v == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        text = sections[2];
    }
    if (text.isEmpty()) return FloatToText(v, fs);
    const Section s = Analyse(text);
    if (!s.HasPlaceholder) return Render(s, {}, {}, 0, false, fs);
    const Decimal d = ToDecimal(v);
    std::string intPart, frac;
    if (s.Scientific) {
        const int intCount = std::max(1, s.MinInt);
        int exponent = d.Digits.empty() ? 0 : d.Exponent - intCount;
        Decimal shifted = d;
        shifted.Exponent = intCount;
        Round(shifted, s.MaxFrac, intPart, frac);
        if (int(intPart.size()) > intCount) {
            // Rounding carried into a new digit (9.995 -> 10.00): the mantissa is 1 followed by zeros.
            ++exponent;
            intPart = "1" + std::string(size_t(intCount - 1), '0');
            frac.assign(frac.size(), '0');
        }
        if (d.Digits.empty()) exponent = 0;
        return Render(s, intPart, frac, exponent, negative, fs);
    }
    Round(d, s.MaxFrac, intPart, frac);
    return Render(s, intPart, frac, 0, negative, fs);
}

bool ParseNumber(const QByteArray& text, const TkvFormatSettings& fs, TkvVariant& out) {
    const QByteArray t = text.trimmed();
    if (t.isEmpty() || t.size() > 400) return false;
    if (t[0] == '$') {
        uint64_t u = 0;
        const auto r = std::from_chars(t.constData() + 1, t.constData() + t.size(), u, 16);
        if (r.ec != std::errc() || r.ptr != t.constData() + t.size() || t.size() == 1) return false;
        out = TkvVariant(static_cast<int64_t>(u));
        return true;
    }
    // Normalise to the form from_chars reads: sign, digits, ".", exponent.
    std::string s;
    qsizetype i = 0;
    if (t[i] == '+' || t[i] == '-') s += t[i++];
    bool digits = false, point = false, exponent = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            s += c;
            digits = true;
        } else if ((c == fs.DecimalSeparator || c == '.') && !point && !exponent) {
            s += '.';
            point = true;
        } else if ((c == 'e' || c == 'E') && digits && !exponent) {
            s += 'e';
            exponent = true;
            if (i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-')) s += t[++i];
            if (i + 1 >= t.size()) return false;
        } else {
            return false;
        }
    }
    if (!digits) return false;
    const char* b = s.data();
    const char* e = s.data() + s.size();
    if (*b == '+') ++b;
    if (!point && !exponent) {
        int64_t n = 0;
        const auto r = std::from_chars(b, e, n);
        if (r.ec == std::errc() && r.ptr == e) {
            out = TkvVariant(n);
            return true;
        }
    }
    double d = 0;
    const auto r = std::from_chars(b, e, d);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(d)) return false;
    out = TkvVariant(d);
    return true;
}

} // namespace kv
