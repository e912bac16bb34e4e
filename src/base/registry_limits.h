#pragma once
// Every registry of the library (add-in views, export filters, function libraries, designer tools)
// holds at most this many entries.

namespace kv {

constexpr int kMaxRegistryEntries = 64;

} // namespace kv
