#pragma once
// Report colours to device colours.

#include <QColor>
#include <cstdint>

namespace kv {

constexpr uint32_t kNoColor = 0x1FFFFFFF;

// RGB with red in the low byte; 0x80000000 + n resolves to system colour n of a fixed light
// desktop palette; no colour resolves to transparent.
QColor ColorToQColor(uint32_t color);
uint32_t QColorToColor(const QColor& c);

} // namespace kv
