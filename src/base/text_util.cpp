#include "base/text_util.h"

#include "base/variant.h"

#include <climits>
#include <cmath>

namespace kv {

TkvStringList SplitSemicolons(const QByteArray& text) {
    TkvStringList out = text.split(';');
    if (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    return out;
}

double ParseNumberText(const QByteArray& text) {
    QByteArray t = text;
    t.replace(',', '.');
    t = t.trimmed();
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok) throw TkvVariantError("'" + text.toStdString() + "' is not a valid floating point value");
    return d;
}

int RoundEven(double v) {
    if (!std::isfinite(v)) return 0;
    const double r = std::nearbyint(v);
    if (r >= double(INT_MAX)) return INT_MAX;
    if (r <= double(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

} // namespace kv
