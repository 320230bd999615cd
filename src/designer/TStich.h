#pragma once

#include "foundation/dib.h"

#include <cstdint>
#include <type_traits>

// A stitch of the library. The record owns its four texts (owned UTF-16 texts) and its symbol
// picture; it is moved as raw bytes inside record arrays and released explicitly
// (ChartDocument::FreeAStich). Cells hold a shared copy of its content instead (TFeld).
struct TStich {
    char16_t* bezeichnung = nullptr; // name, shown in the palette and the legend
    char16_t* abkuerzung = nullptr;  // abbreviation, kept and stored only
    char16_t* hinreihe = nullptr;    // instruction for right-side rows
    char16_t* rueckreihe = nullptr;  // instruction for wrong-side rows
    std::int32_t breite = 0;         // width in cells, 1 to 10 (0 from files without widths)
    dib di;                          // symbol picture
};
static_assert(std::is_trivially_copyable_v<TStich>);

// Releases the four texts and the picture of `s`; its other fields stay.
void releaseStitch(TStich& s);

// Widest symbol picture a cell keeps, per cell of the stitch's width.
constexpr std::int32_t kMaxSymbolWidthPerCell = 100;
// Widest stitch in cells: a symbol reaches at most this many cells to the right.
constexpr std::int32_t kMaxStitchCells = 10;
