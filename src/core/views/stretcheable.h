#pragma once
// The base of views whose height can grow with their content (text, line, rich text): the print
// phase and the three height queries the band engine asks before it places a stretched object.

#include "core/views/view.h"

class TkvStretcheable : public TkvView {
public:
    const char* ClassName() const override { return "TkvStretcheable"; }

    // The view's own methods, then "CALCHEIGHT", which answers CalcHeight as an integer.
    void CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2, const TkvVariant& a3,
                    TkvVariant& result) override;

    // Height in page units that the content needs.
    virtual int CalcHeight() = 0;
    // Least height worth starting on a page.
    virtual int MinHeight() = 0;
    // Height of the content left over after a page split.
    virtual int RemainingHeight() = 0;

    // 0 normal; 1 the height was just calculated, so the next PrintToStream reuses the laid-out
    // text and does not run the script again; 2 print only the part that fits the current height
    // (set by the band engine when a band is split). PrintToStream sets it back to 0.
    uint8_t PrintPhase = 0;
};

namespace kvpp {
constexpr uint8_t Normal = 0;
constexpr uint8_t HeightCalculated = 1;
constexpr uint8_t SplitPart = 2;
} // namespace kvpp
