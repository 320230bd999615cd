#pragma once

#include "ImageOp.h"

#include <cstdint>
#include <optional>

// Effects: a soft drop shadow of the selection, a push-button frame inside it, a mosaic, two
// 5 x 5 neighbourhood filters that darken dark areas and brighten bright ones, random noise and
// the removal of outlying pixels. Each changes the picture in place, only where `selection`
// allows, and runs to completion; progress goes 0, then per row, then 0. None records an undo
// step: the caller does that first (for the 5 x 5 filters and DelNoise too). Colours are pixel
// values: red + 256 * green + 65536 * blue at 24 bits, palette indexes below.
namespace imageops {

// The inclusive bounding box of the selected pixels.
struct SelRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const SelRect&) const = default;
};

// The bounding box of the mask's set pixels inside the picture (bits in a row's padding do not
// count); nothing when the selection is inactive or empty.
std::optional<SelRect> selectionBounds(const Selection& selection);

// Entries of the shadow and button dialogs' colour list.
enum class EffectColour {
    Vordergrundfarbe,
    Hintergrundfarbe,
    Schwarz,
    Weiss,
    Rot,
    Gruen,
    Blau,
};

// The colour an entry stands for on `image`: the foreground colour `col1` or the background
// colour `col2` as they are (any unknown entry counts as the background), the fixed colours as
// colour values at 24 bits and as the index of the nearest palette entry below.
std::uint32_t effectColour(int entry, std::uint32_t col1, std::uint32_t col2, const dib& image);

struct ShadowParams {
    std::int32_t px = 5;     // shadow offset to the right, -100 ... 100
    std::int32_t py = 5;     // shadow offset downward, -100 ... 100
    std::int32_t trans = 10; // transparency in percent
    std::int32_t blur = 10;  // softness in percent: the outer part that fades
    std::uint32_t color = 0;
};

// Paints the selected area, shifted by (px, py), onto the pixels that are not selected
// themselves: solid `color` up to 8 bits; at 24 bits blended with the pixel by `trans` and
// fading over the outer `blur` percent of the shadow, measured by a mix of box distance and
// round distance from its centre (the round one normalised by the larger half extent).
// Unchanged without an active selection.
OpStatus DrawShadow(dib& di, const ShadowParams& p, const Selection& selection,
                    const ProgressCallback& progress = {});

struct ButtonParams {
    std::int32_t px = 10;    // frame width left and right, 0 ... 100
    std::int32_t trans = 10; // transparency in percent
    bool solid = true;       // "Feste Umrandung"; otherwise the frame fades toward the inside
    std::uint32_t color = 0;
};

// Shades a frame inside the selection's bounding box (px wide at the sides, px * b / a rounded
// at top and bottom): light at the left and top, dark at the right and bottom. 24 bits only;
// Unchanged without an active selection, with a frame width of 0, or for a selection one pixel
// wide or high (no frame fits). Where top and bottom come out 0 pixels high only the sides are
// shaded.
OpStatus Buttonize(dib& di, const ButtonParams& p, const Selection& selection,
                   const ProgressCallback& progress = {});

struct MosaicParams {
    std::int32_t breit = 4; // block width, 1 ... 100
    std::int32_t hoch = 4;  // block height, 1 ... 100
};

// Blocks of breit x hoch from the top-left corner: every (selected) pixel takes the value the
// top-left pixel of its block had. All depths. Unchanged for sizes below 1.
OpStatus MosaikEffekt(dib& di, const MosaicParams& p, const Selection& selection,
                      const ProgressCallback& progress = {});

// 5 x 5 neighbourhood filters at 24 bits (edges repeat the nearest pixel). DibErodeFilter sets a
// pixel whose neighbourhood has a mean luminance below 96 to half the neighbourhood's mean;
// DibDilateFilter turns one whose mean luminance is above 160 into a grey of 1.25 times it.
// DelNoise replaces a pixel by its neighbourhood's mean when any channel differs from that
// mean by more than `Grenze`. Unchanged below 24 bits; NoMemory (picture as it was) when the
// few work rows cannot be had.
OpStatus DibErodeFilter(dib& di, const Selection& selection, const ProgressCallback& progress = {});
OpStatus DibDilateFilter(dib& di, const Selection& selection,
                         const ProgressCallback& progress = {});
OpStatus DelNoise(dib& di, std::int32_t Grenze, const Selection& selection,
                  const ProgressCallback& progress = {});

// The remove-noise dialog's value.
struct DelNoiseParams {
    std::int32_t Grenze = 50; // threshold, 1 ... 255
};

struct NoiseParams {
    std::int32_t Stark = 96; // strength, 1 ... 256
    std::int32_t Wahrs = 50; // probability in percent, 1 ... 100
};

// Each selected pixel is hit with probability Wahrs percent; a hit adds to blue, green and red
// (drawn in that order) a random value in -(Stark div 2) ... Stark - 1 - Stark div 2, limited to
// 0 ... 255. Draws from the program's generator, rows from the top; the command seeds it from
// the clock first. 24 bits only.
OpStatus AddNoise(dib& di, const NoiseParams& p, const Selection& selection,
                  const ProgressCallback& progress = {});

} // namespace imageops
