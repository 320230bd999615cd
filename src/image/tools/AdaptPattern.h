#pragma once

#include "foundation/OwnedDib.h"

// The fill pattern brought to a picture's depth and palette, so that the flood fill can copy
// its pixels as they are.
//
// The result has the pattern's size and the picture's depth and colour table. A 24-bit picture
// takes the pattern's colours (its palette entries for a palette pattern); a palette picture
// takes, for every pattern colour, the nearest entry of its own palette. Holds no picture when
// memory is short or either side has none.
OwnedDib AdaptPattern(const dib& image, const dib& pattern);
