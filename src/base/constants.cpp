#include "base/constants.h"

namespace kv {

bool ColorByName(const QByteArray& name, uint32_t& value) {
    for (const TkvColorName& c : kColorNames) {
        if (name.compare(c.Name, Qt::CaseInsensitive) == 0) {
            value = c.Value;
            return true;
        }
    }
    return false;
}

QByteArray ColorName(uint32_t value) {
    for (const TkvColorName& c : kColorNames)
        if (c.Value == value) return c.Name;
    return {};
}

int FontStyleToCode(const TkvFontStyleSet& style) {
    return (style.Italic ? fsItalic : 0) | (style.Bold ? fsBold : 0) | (style.Underline ? fsUnderline : 0) |
           (style.StrikeOut ? fsStrikeOut : 0);
}

TkvFontStyleSet CodeToFontStyle(int code) {
    TkvFontStyleSet s;
    s.Italic = (code & fsItalic) != 0;
    s.Bold = (code & fsBold) != 0;
    s.Underline = (code & fsUnderline) != 0;
    s.StrikeOut = (code & fsStrikeOut) != 0;
    return s;
}

} // namespace kv
