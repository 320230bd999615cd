#pragma once

#include "foundation/dib.h"

#include <cstdint>

// The symbols of the standard stitches, drawn by code in one consistent style: strokes of one
// weight, kept off the grid lines, thick enough to survive the nearest-neighbour reduction to
// a small cell.
namespace standardstitches {

// Side of one cell of a symbol picture, in pixels.
constexpr std::int32_t kSymbolCell = 100;

enum class Glyph : std::uint8_t {
    Blank,         // rechts: an empty square
    Bar,           // links: a horizontal bar
    Twisted,       // verschränkt: a loop with crossed legs
    Circle,        // Umschlag
    DoubleCircle,  // two yarn overs
    SlashRight,    // a decrease leaning right: /
    SlashLeft,     // a decrease leaning left: \ (slipped and passed over)
    SlashTwisted,  // a twisted decrease leaning left: \ with crossed foot
    FanRight,      // a double decrease leaning right: two strokes meeting top right
    FanLeft,       // a double decrease leaning left
    Centred,       // centred double decrease: an arrow up
    IncreaseRight, // lifted increase leaning right: a stem bending right
    IncreaseLeft,  // lifted increase leaning left
    IncreaseTwo,   // two out of one: Y
    IncreaseThree, // three out of one: a trident
    Below,         // knit into the stitch below: a stroke in a cup
    SlipBack,      // slipped, yarn behind: V
    SlipFront,     // slipped, yarn in front: V crossed by the yarn
    Bobble,        // a filled disc
    Edge,          // edge stitch: a filled diamond
    BindOff,       // an arch
    NoStitch,      // a grey square
    Cable,         // crossing strands spanning the stitch's width
};

struct Symbol {
    Glyph glyph = Glyph::Blank;
    bool purl = false; // purl variant: a bar under the glyph, or purled strand of a cable
    // Cables: `over` stitches crossing in front of `under` stitches, towards the right (held
    // behind) or the left (held in front).
    std::int8_t over = 0;
    std::int8_t under = 0;
    bool toRight = false;
};

// Draws `symbol` as a 1-bit picture `cells` x kSymbolCell wide and kSymbolCell high into the
// empty `out`. False when memory ran out (`out` holds no picture).
bool drawSymbol(const Symbol& symbol, std::int32_t cells, dib& out);

} // namespace standardstitches
