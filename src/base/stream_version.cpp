#include "base/stream_version.h"

namespace kv {

uint8_t StreamVersion = CurrentStreamVersion;

} // namespace kv
