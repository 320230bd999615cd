#pragma once

#include "ImageOp.h"
#include "foundation/dib.h"
#include "foundation/grafikrw3/Quantize.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The fixed palettes and dither tables of the colour-depth conversions, and the palette that
// is optimised for a picture.
namespace imageops {

using grafikrw3::Rgb;

constexpr Rgb rgb(std::uint32_t rrggbb) {
    return Rgb{std::uint8_t(rrggbb >> 16), std::uint8_t(rrggbb >> 8), std::uint8_t(rrggbb)};
}

// The standard 16-colour palette.
inline constexpr std::array<Rgb, 16> StdPal16 = {
    rgb(0x000000), rgb(0x800000), rgb(0x008000), rgb(0x808000), rgb(0x000080), rgb(0x800080),
    rgb(0x008080), rgb(0xC0C0C0), rgb(0x808080), rgb(0xFF0000), rgb(0x00FF00), rgb(0xFFFF00),
    rgb(0x0000FF), rgb(0xFF00FF), rgb(0x00FFFF), rgb(0xFFFFFF),
};

// The standard 256-colour palette: the twenty system colours at entries 0-9 and 246-255, a
// 6 x 6 x 6 colour cube (levels 0, 51, ..., 255; four of its colours are missing) and greys.
inline constexpr std::array<Rgb, 256> StdPal256 = {
    rgb(0x000000), rgb(0x800000), rgb(0x008000), rgb(0x808000), rgb(0x000080), rgb(0x800080),
    rgb(0x008080), rgb(0xC0C0C0), rgb(0xC0DCC0), rgb(0xA6CAF0), rgb(0x040404), rgb(0x080808),
    rgb(0x0C0C0C), rgb(0x111111), rgb(0x161616), rgb(0x1C1C1C), rgb(0x222222), rgb(0x292929),
    rgb(0x555555), rgb(0x4D4D4D), rgb(0x424242), rgb(0x393939), rgb(0x818181), rgb(0x810000),
    rgb(0x008100), rgb(0x818100), rgb(0x000081), rgb(0x810081), rgb(0x008181), rgb(0x330000),
    rgb(0x660000), rgb(0x990000), rgb(0xCC0000), rgb(0x003300), rgb(0x333300), rgb(0x663300),
    rgb(0x993300), rgb(0xCC3300), rgb(0xFF3300), rgb(0x006600), rgb(0x336600), rgb(0x666600),
    rgb(0x996600), rgb(0xCC6600), rgb(0xFF6600), rgb(0x009900), rgb(0x339900), rgb(0x669900),
    rgb(0x999900), rgb(0xCC9900), rgb(0xFF9900), rgb(0x00CC00), rgb(0x33CC00), rgb(0x66CC00),
    rgb(0x99CC00), rgb(0xCCCC00), rgb(0xFFCC00), rgb(0x66FF00), rgb(0x99FF00), rgb(0xCCFF00),
    rgb(0x000033), rgb(0x330033), rgb(0x660033), rgb(0x990033), rgb(0xCC0033), rgb(0xFF0033),
    rgb(0x003333), rgb(0x333333), rgb(0x663333), rgb(0x993333), rgb(0xCC3333), rgb(0xFF3333),
    rgb(0x006633), rgb(0x336633), rgb(0x666633), rgb(0x996633), rgb(0xCC6633), rgb(0xFF6633),
    rgb(0x009933), rgb(0x339933), rgb(0x669933), rgb(0x999933), rgb(0xCC9933), rgb(0xFF9933),
    rgb(0x00CC33), rgb(0x33CC33), rgb(0x66CC33), rgb(0x99CC33), rgb(0xCCCC33), rgb(0xFFCC33),
    rgb(0x33FF33), rgb(0x66FF33), rgb(0x99FF33), rgb(0xCCFF33), rgb(0xFFFF33), rgb(0x000066),
    rgb(0x330066), rgb(0x660066), rgb(0x990066), rgb(0xCC0066), rgb(0xFF0066), rgb(0x003366),
    rgb(0x333366), rgb(0x663366), rgb(0x993366), rgb(0xCC3366), rgb(0xFF3366), rgb(0x006666),
    rgb(0x336666), rgb(0x666666), rgb(0x996666), rgb(0xCC6666), rgb(0x009966), rgb(0x339966),
    rgb(0x669966), rgb(0x999966), rgb(0xCC9966), rgb(0xFF9966), rgb(0x00CC66), rgb(0x33CC66),
    rgb(0x99CC66), rgb(0xCCCC66), rgb(0xFFCC66), rgb(0x00FF66), rgb(0x33FF66), rgb(0x99FF66),
    rgb(0xCCFF66), rgb(0xFF00CC), rgb(0xCC00FF), rgb(0x009999), rgb(0x993399), rgb(0x990099),
    rgb(0xCC0099), rgb(0x000099), rgb(0x333399), rgb(0x660099), rgb(0xCC3399), rgb(0xFF0099),
    rgb(0x006699), rgb(0x336699), rgb(0x663399), rgb(0x996699), rgb(0xCC6699), rgb(0xFF3399),
    rgb(0x339999), rgb(0x669999), rgb(0x999999), rgb(0xCC9999), rgb(0xFF9999), rgb(0x00CC99),
    rgb(0x33CC99), rgb(0x66CC66), rgb(0x99CC99), rgb(0xCCCC99), rgb(0xFFCC99), rgb(0x00FF99),
    rgb(0x33FF99), rgb(0x66CC99), rgb(0x99FF99), rgb(0xCCFF99), rgb(0xFFFF99), rgb(0x0000CC),
    rgb(0x330099), rgb(0x6600CC), rgb(0x9900CC), rgb(0xCC00CC), rgb(0x003399), rgb(0x3333CC),
    rgb(0x6633CC), rgb(0x9933CC), rgb(0xCC33CC), rgb(0xFF33CC), rgb(0x0066CC), rgb(0x3366CC),
    rgb(0x666699), rgb(0x9966CC), rgb(0xCC66CC), rgb(0xFF6699), rgb(0x0099CC), rgb(0x3399CC),
    rgb(0x6699CC), rgb(0x9999CC), rgb(0xCC99CC), rgb(0xFF99CC), rgb(0x00CCCC), rgb(0x33CCCC),
    rgb(0x66CCCC), rgb(0x99CCCC), rgb(0xCCCCCC), rgb(0xFFCCCC), rgb(0x00FFCC), rgb(0x33FFCC),
    rgb(0x66FF99), rgb(0x99FFCC), rgb(0xCCFFCC), rgb(0xFFFFCC), rgb(0x3300CC), rgb(0x6600FF),
    rgb(0x9900FF), rgb(0x0033CC), rgb(0x3333FF), rgb(0x6633FF), rgb(0x9933FF), rgb(0xCC33FF),
    rgb(0xFF33FF), rgb(0x0066FF), rgb(0x3366FF), rgb(0x6666CC), rgb(0x9966FF), rgb(0xCC66FF),
    rgb(0xFF66CC), rgb(0x0099FF), rgb(0x3399FF), rgb(0x6699FF), rgb(0x9999FF), rgb(0xCC99FF),
    rgb(0xFF99FF), rgb(0x00CCFF), rgb(0x33CCFF), rgb(0x66CCFF), rgb(0x99CCFF), rgb(0xCCCCFF),
    rgb(0xFFCCFF), rgb(0x33FFFF), rgb(0x66FFCC), rgb(0x99FFFF), rgb(0xCCFFFF), rgb(0xFF6666),
    rgb(0x66FF66), rgb(0xFFFF66), rgb(0x6666FF), rgb(0xFF66FF), rgb(0x66FFFF), rgb(0xC1C1C1),
    rgb(0x5F5F5F), rgb(0x777777), rgb(0x868686), rgb(0x969696), rgb(0xCBCBCB), rgb(0xB2B2B2),
    rgb(0xD7D7D7), rgb(0xDDDDDD), rgb(0xE3E3E3), rgb(0xEAEAEA), rgb(0xF1F1F1), rgb(0xF8F8F8),
    rgb(0xFFFBF0), rgb(0xA0A0A4), rgb(0x808080), rgb(0xFF0000), rgb(0x00FF00), rgb(0xFFFF00),
    rgb(0x0000FF), rgb(0xFF00FF), rgb(0x00FFFF), rgb(0xFFFFFF),
};

// Thresholds 0...50 of the ordered dither, indexed (x mod 8) * 8 + (y mod 8), y counted from
// the bottom row.
inline constexpr std::array<std::uint8_t, 64> DitherMatrix8 = {
    0,  38, 9,  47, 2,  40, 11, 50, 25, 12, 35, 22, 27, 15, 37, 24, 6,  44, 3,  41, 8,  47,
    5,  43, 31, 19, 28, 15, 34, 21, 31, 18, 1,  39, 11, 49, 0,  39, 10, 48, 27, 14, 36, 23,
    26, 13, 35, 23, 7,  46, 4,  43, 7,  45, 3,  42, 33, 20, 30, 17, 32, 19, 29, 16,
};

namespace detail {
constexpr std::array<std::uint8_t, 216> makeCubeToPalette() {
    std::array<std::uint8_t, 216> table{};
    for (int i = 0; i < 216; ++i) {
        const Rgb wanted{std::uint8_t(51 * (i % 6)), std::uint8_t(51 * (i / 6 % 6)),
                         std::uint8_t(51 * (i / 36))};
        int found = -1;
        for (int e = 0; e < 256 && found < 0; ++e) {
            if (StdPal256[std::size_t(e)] == wanted) {
                found = e;
            }
        }
        // The palette lacks (51, 255, 0), (0, 255, 51), (51, 0, 255) and (0, 51, 255): pure
        // green and pure blue stand in for them.
        if (found < 0) {
            found = wanted.green == 255 ? 250 : 252;
        }
        table[std::size_t(i)] = std::uint8_t(found);
    }
    return table;
}
} // namespace detail

// The StdPal256 entry of cube colour (51 r, 51 g, 51 b), indexed r + 6 g + 36 b.
inline constexpr std::array<std::uint8_t, 216> CubeToPalette = detail::makeCubeToPalette();

// Sets palette entries first, first + 1, ... of a palette picture to `colours`, in both copies
// (the logical palette and the colour table); entries beyond the picture's table are ignored.
void setPaletteEntries(dib& picture, std::span<const Rgb> colours, int first = 0);

// The colour of every index of a picture of 1, 4 or 8 bits (2^bits entries, from its logical
// palette); empty for other pictures.
std::vector<Rgb> indexColours(const dib& picture);

// The `count` most frequent colours of `source` (any depth) in order of falling frequency:
// each channel is cut to 8 - `shift` bits and counted in a histogram of 32768 bins, and a
// colour is the lower corner of its bin. Bins nobody uses fill up the list when the picture
// has fewer colours. Empty (nullopt) when the progress callback asked to stop.
std::optional<std::vector<Rgb>> OptPalette(const dib& source, int count, int shift,
                                           const ProgressCallback& progress = {});

} // namespace imageops
