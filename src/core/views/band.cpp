#include "core/views/band.h"

#include "core/globals.h"

TkvBand::~TkvBand() {
    if (kv::CurBand() == this) kv::CurBand() = nullptr;
}
