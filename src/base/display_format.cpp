#include "base/display_format.h"

#include "base/bracketed.h"
#include "base/date_time.h"
#include "base/expression_evaluator.h"
#include "base/format_settings.h"
#include "base/number_format.h"
#include "base/value_ops.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

QByteArray Repeat(char c, uint32_t n) { return QByteArray(int(n), c); }

QByteArray FormatNumber(const TkvVariant& v, uint32_t index, uint32_t decimals, const QByteArray& fmt,
                        const TkvFormatSettings& fs) {
    const double x = kvval::ToDouble(v, fs);
    switch (index) {
    case 0: return kv::FormatFloat("##0." + Repeat('#', decimals), x, fs);
    case 1: return kv::FloatToFixed(x, int(decimals), false, fs);
    case 2: return kv::FormatFloat("#,##0." + Repeat('#', decimals), x, fs);
    case 3: return kv::FloatToFixed(x, int(decimals), true, fs);
    case 4: return kv::FormatFloat(fmt, x, fs);
    default: return kvval::ToText(v, fs);
    }
}

QByteArray FormatBoolean(const TkvVariant& v, const QByteArray& pattern, const TkvFormatSettings& fs) {
    const bool nonZero = v.kind() == TkvVariant::Kind::Boolean ? v.toBool() : kvval::ToInteger(v, fs) != 0;
    const qsizetype semi = pattern.indexOf(';');
    if (semi < 0) return nonZero ? pattern : QByteArray();
    return nonZero ? pattern.mid(semi + 1, 255) : pattern.left(semi);
}

} // namespace

namespace kv {

QByteArray FormatValue(const TkvVariant& value, uint32_t word, const QByteArray& format,
                       const TkvFormatSettings& base) {
    if (value.isEmpty()) return QByteArray();
    if (value.isText() && value.toText().trimmed().isEmpty()) return QByteArray();
    const uint32_t category = kvdf::Category(word), index = kvdf::Index(word);
    try {
        switch (category) {
        case kvdf::Text: return kvval::ToText(value, base);
        case kvdf::Number: {
            TkvFormatSettings fs = base;
            if (kvdf::Separator(word)) fs.DecimalSeparator = kvdf::Separator(word);
            return FormatNumber(value, index, kvdf::Decimals(word), format, fs);
        }
        case kvdf::Date: {
            const double d = kvval::ToDateTime(value, base);
            if (index == kvdf::CustomIndex) return FormatDateTime(format, d, base);
            if (index == 3) return FormatDateTime(base.LongDateFormat, d, base);
            if (index < 3) return FormatDateTime(base.DatePatterns[index], d, base);
            return kvval::ToText(value, base);
        }
        case kvdf::Time: {
            const double d = kvval::ToDateTime(value, base);
            if (index == kvdf::CustomIndex) return FormatDateTime(format, d, base);
            if (index < 4) return FormatDateTime(base.TimePatterns[index], d, base);
            return kvval::ToText(value, base);
        }
        case kvdf::Boolean: {
            const QByteArray& p = index == kvdf::CustomIndex ? format
                                  : index < 4                ? base.BooleanPatterns[index]
                                                             : format;
            return FormatBoolean(value, p, base);
        }
        default: return QByteArray();
        }
    } catch (const TkvVariantError&) {
        try {
            return kvval::ToText(value, base);
        } catch (const TkvVariantError&) {
            return QByteArray();
        }
    }
}

TkvInlineFormat ParseInlineFormat(const QByteArray& expression, uint32_t word, const QByteArray& format) {
    TkvInlineFormat r{expression, word, format};
    const qsizetype at = expression.indexOf(" #");
    if (at < 0) return r;
    QByteArray f = expression.mid(at + 2);
    r.Expression = expression.left(at);
    if (f.isEmpty()) {
        r.Format = f;
        return r;
    }
    if (IsDigit(f[0])) f.prepend('N');
    const char first = f[0];
    if (first == 'N' || first == 'n') {
        const bool fixed = f.size() > 1 && IsDigit(f[1]);
        r.Word = fixed ? 0x1010000 : 0x1000000;
        for (qsizetype i = f.size() - 1; i >= 1; --i) {
            const char c = f[i];
            if (c != ',' && c != '-' && c != '.') continue;
            r.Word += uint8_t(c);
            f[i] = '.';
            if (fixed) {
                uint32_t d = 0;
                for (qsizetype j = i + 1; j < f.size() && IsDigit(f[j]); ++j) {
                    d = d * 10 + uint32_t(f[j] - '0');
                    if (d > 255) throw TkvExpressionError("Too many decimals in the format '" + f.toStdString() + "'");
                }
                r.Word += d * 256;
            }
            break;
        }
        if (!fixed) {
            r.Format = f.mid(1);
            r.Word += 0x40000;
        }
    } else if (first == 'D' || first == 'd' || first == 'T' || first == 't') {
        r.Word = 0x2040000;
        r.Format = f.mid(1);
    } else if (first == 'B' || first == 'b') {
        r.Word = 0x4040000;
        r.Format = f.mid(1);
    } else {
        r.Format = f;
    }
    return r;
}

QByteArray ExpressionToText(const QByteArray& expression, uint32_t word, const QByteArray& format, bool hideZeros,
                            TkvExpressionEvaluator& evaluator) {
    const TkvInlineFormat f = ParseInlineFormat(expression, word, format);
    TkvVariant value = evaluator.EvaluateShown(f.Expression);
    const TkvFormatSettings& fs = evaluator.FormatSettings();
    if (hideZeros && !value.isText()) {
        try {
            if (kvval::CompareValues(value, TkvVariant(int64_t(0)), kvval::Compare::Equal, fs))
                value = TkvVariant(QByteArray());
        } catch (const TkvVariantError&) {
        }
    }
    if (evaluator.CollectingAggregates()) return QByteArray();
    return FormatValue(value, f.Word, f.Format, fs);
}

QByteArray ExpandExpressions(const QByteArray& text, uint32_t word, const QByteArray& format, bool hideZeros,
                             TkvExpressionEvaluator& evaluator) {
    QByteArray out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf('[', pos);
        if (open < 0) break;
        out += text.mid(pos, open - pos);
        const kvparse::TkvBracketed b = kvparse::ExtractBracketed(text, open);
        if (!b.Closed) throw TkvExpressionError("Missing ] in '" + text.mid(open, 60).toStdString() + "'");
        out += ExpressionToText(b.Text, word, format, hideZeros, evaluator);
        pos = b.Close + 1;
    }
    out += text.mid(pos);
    return out;
}

} // namespace kv
