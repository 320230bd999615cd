#pragma once

#include "designer/SharedStitch.h"

#include <cstdint>
#include <type_traits>

// Rectangle of a cell in pixels of the chart view.
struct CellRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// One cell of a chart row. An empty cell (belegt false) holds nothing.
//
// A cell's stitch is its own as far as anyone outside the document can tell: the texts and the
// picture it received never change. Cells with equal texts and pictures share them in one
// record of the document's StitchPool; the cell holds one reference to it, which the document
// takes and gives back (ChartDocument::placeStitch, copyCell, releaseCell).
struct TFeld {
    bool belegt = false;
    std::int32_t breite = 0;             // the stitch's width in cells (0 from files without it)
    const SharedStitch* stich = nullptr; // texts and picture; set exactly while belegt
    CellRect feldrect;                   // recorded by the last screen paint, used by the hit test
};
static_assert(std::is_trivially_copyable_v<TFeld>);
