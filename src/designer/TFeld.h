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
};
static_assert(std::is_trivially_copyable_v<TFeld>);
