#pragma once
// A horizontal or vertical line: one frame side of the view, drawn with its frame width, colour
// and style. It is stretcheable so that a vertical line grows with its band.

#include "core/views/stretcheable.h"

class TkvLineView : public TkvStretcheable {
public:
    TkvLineView();
    const char* ClassName() const override { return "TkvLineView"; }

    void RegisterProperties() override;

    // Decides the line's direction from its shape, for good: a wider than high object becomes a
    // horizontal line (Height 0, top side), any other a vertical one (Width 0, left side).
    void Draw(TkvCanvas& canvas) override;
    // The line's own side only, with the half widths truncated.
    void GetClipRegion(bool widen, QRegion& result) override;

    int CalcHeight() override { return Height; }
    int MinHeight() override { return 1; }
    int RemainingHeight() override { return 0; }

    // Height 0 and the top side when wider than high, else Width 0 and the left side.
    void NormalizeDirection();
};
