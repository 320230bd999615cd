#pragma once

#include "designer/TStich.h"

#include <cstdint>
#include <type_traits>

// Rectangle in pixels of the chart view.
struct TRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// One cell of a chart row. An empty cell (belegt false) owns nothing.
struct TFeld {
    bool belegt = false;
    TStich stich;   // the cell's private copy; meaningful only when belegt
    TRect feldrect; // recorded by the last screen paint, used by the hit test
    // Fingerprint of the stitch's texts and picture for the legend, 0 until first needed.
    // Whatever gives a cell new content starts from a zero record or resets it.
    std::uint64_t legendKey = 0;
};
static_assert(std::is_trivially_copyable_v<TFeld>);
