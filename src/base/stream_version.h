#pragma once
// The version of the report stream being read or written. Readers gate fields on it; a load sets it
// from the stream's header and every write uses the current version.

#include <cstdint>

namespace kv {

constexpr uint8_t CurrentStreamVersion = 25;

extern uint8_t StreamVersion;

} // namespace kv
