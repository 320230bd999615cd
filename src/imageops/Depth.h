#pragma once

#include "ImageOp.h"
#include "foundation/dib.h"

#include <QString>

#include <cstdint>

// Colour-depth conversion of a whole picture between 1, 4, 8 and 24 bits per pixel. The
// selection plays no part. A conversion builds the new picture aside and puts it in place of
// the old one only when it is complete; the document then sets its foreground colour to 0 and
// its background colour to lastColour(new depth).
namespace imageops {

// How pixels find their entry in the new palette.
enum class DepthMethod {
    Nearest = 0,        // the nearest entry
    ErrorDiffusion = 1, // Floyd-Steinberg error diffusion
    OrderedDither = 2,  // 8 x 8 ordered dither (to the standard 256-colour palette only)
};

struct DepthDownParams {
    // 1, 4 or 8 bits per pixel, or 0 for `colours` colours in an optimised palette (8 bits when
    // more than 16, else 4).
    int nbpp = 8;
    DepthMethod method = DepthMethod::ErrorDiffusion;
    bool optimised = true;      // a palette made for the picture instead of the standard one
    bool windowsColours = true; // an optimised 256-colour palette keeps the twenty system colours
    int colours = 64;           // for nbpp 0: 2 to 256

    bool operator==(const DepthDownParams&) const = default;
};

// Bits per pixel of the converted picture (1, 4 or 8).
int depthDownTarget(const DepthDownParams& params);

// Whether a picture of `fromBits` can be raised to `nbpp` (1 -> 4, 8, 24; 4 -> 8, 24; 8 -> 24)
// or lowered as `params` say (4 -> 1; 8 -> 1, 4; 24 -> 1, 4, 8); the other combinations leave
// the picture alone.
bool canDepthUp(int fromBits, int nbpp);
bool canDepthDown(int fromBits, const DepthDownParams& params);

// The last colour of a picture of `bits`: the last palette entry, white at 24 bits.
std::uint32_t lastColour(int bits);

// Raises the depth without losing a colour. New palette entries (beyond those of the old
// picture) get random colours from the program's generator, each channel a multiple of 4.
// Done: `di` is the new picture. Unchanged, NoMemory, Stopped: `di` is as it was.
[[nodiscard]] OpStatus DepthUpTo(dib& di, int nbpp, const ProgressCallback& progress = {});

// Lowers the depth with the palette and method of `params`. Results as DepthUpTo.
[[nodiscard]] OpStatus DepthDownTo(dib& di, const DepthDownParams& params,
                                   const ProgressCallback& progress = {});

// Fills the pixels of `target` (1, 4 or 8 bits, palette already set, the size of `source`)
// from `source` of any depth. Unchanged when the pictures do not fit together; Stopped when
// the progress callback asked to (the target is then partly filled).
[[nodiscard]] OpStatus FSErrorDither(const dib& source, dib& target,
                                     const ProgressCallback& progress = {});
// The same, each pixel taking the nearest entry of the target's palette.
[[nodiscard]] OpStatus NearestColours(const dib& source, dib& target,
                                      const ProgressCallback& progress = {});

// German text for a conversion that could not be done, empty when there is nothing to say.
QString depthFailureText(OpStatus status);

} // namespace imageops
