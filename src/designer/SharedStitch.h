#pragma once

#include "foundation/dib.h"

#include <cstdint>

// What a chart cell shows of its stitch: the four texts and the symbol picture. Cells holding
// equal content share one record, made and owned by the document's StitchPool; a cell points
// at it (TFeld::stich). A record never changes after it was made: a cell gets other content by
// pointing at another record, never by changing this one.
struct SharedStitch {
    char16_t* bezeichnung = nullptr; // name, shown in the legend
    char16_t* abkuerzung = nullptr;  // abbreviation, kept and stored only
    char16_t* hinreihe = nullptr;    // instruction for right-side rows
    char16_t* rueckreihe = nullptr;  // instruction for wrong-side rows
    dib di;                          // symbol picture; none for stitches stored without one

    // Fingerprint of everything above (texts, size, depth, colour table, pixel rows).
    std::uint64_t contentKey = 0;
    // Fingerprint of what the legend compares: the texts, the row length, the height and the
    // pixel bytes (so pictures differing only in their colour table share a legend line).
    std::uint64_t legendKey = 0;
    // Holders: cells, copy-buffer records. Counted by the pool only.
    std::uint32_t refs = 0;
};
