#pragma once
// What views need to know of the run-time band being printed (CurBand). The band engine's bands
// implement it; views only read it (band alignment, PrintToStream).

#include <cstdint>

class TkvBand {
public:
    // A band that goes away is no longer the library's current band (see band.cpp).
    virtual ~TkvBand();
    virtual int BandTop() const = 0;
    virtual int BandHeight() const = 0; // the height computed for the current print
    virtual int BandWidth() const = 0;
    virtual uint16_t BandFlags() const = 0;
    virtual int BandType() const = 0; // 0 title ... 21 child, 22 none (objects outside any band)
};
