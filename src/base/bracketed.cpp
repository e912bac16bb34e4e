#include "base/bracketed.h"

#include <algorithm>

namespace kvparse {

TkvBracketed ExtractBracketed(const QByteArray& text, qsizetype start) {
    TkvBracketed r;
    r.Open = r.Close = start;
    if (start < 0 || start >= text.size() || text[start] != '[') return r;
    int count = 0;
    bool single = false, dbl = false;
    for (qsizetype i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'' && !dbl) single = !single;
        else if (c == '"' && !single) dbl = !dbl;
        else if (!single && !dbl) {
            if (c == '[') ++count;
            else if (c == ']' && --count == 0) {
                r.Text = text.mid(start + 1, i - start - 1);
                r.Close = i;
                r.Closed = true;
                return r;
            }
        }
    }
    r.Close = text.size() - 1;
    r.Text = text.mid(start + 1, std::max<qsizetype>(0, text.size() - start - 2));
    return r;
}

} // namespace kvparse
