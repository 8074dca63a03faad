// What the scale's source files share while one axis is drawn; not for users of the scale.
#pragma once

#include <algorithm>
#include <cstdint>

#include "scale/KVB_Scale.h"

namespace kvb {

struct TScale::TDrawState {
    TCanvas* Canvas = nullptr;
    Integer AxisPos = 0;     // column of a vertical axis line, row of a horizontal one
    bool Vertical = false;
    Integer TextHeight0 = 0;  // TextHeight("0"), for vertical number labels
    Integer LabelIndex = 0;   // labelled ticks so far (user texts count them)
    Integer Marks = 0;        // tick marks drawn so far

    bool Full() const noexcept { return Marks >= MaxTicksPerDraw; }
};

// Pixel arithmetic near the ends of the Integer range is done in 64 bits and brought back.
inline Integer ClampToInteger(std::int64_t v) noexcept {
    return static_cast<Integer>(std::clamp<std::int64_t>(v, -2147483647, 2147483647));
}

}  // namespace kvb
