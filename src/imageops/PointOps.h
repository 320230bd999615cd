#pragma once

#include "ImageOp.h"
#include "RowWalker.h"

#include <array>
#include <cstdint>

// The walks the point operations share: over the selected pixels of a 24-bit picture, or over
// the palette entries of a 4- or 8-bit one. Internal to the adjustments.
namespace imageops::pointops {

using Table = std::array<std::uint8_t, 256>;

inline std::uint8_t clampByte(std::int64_t v) {
    return std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

template <typename F>
Table makeTable(F&& f) {
    Table t{};
    for (int v = 0; v < 256; ++v) {
        t[std::size_t(v)] = clampByte(f(v));
    }
    return t;
}

inline bool isIdentity(const Table& t) {
    for (int v = 0; v < 256; ++v) {
        if (t[std::size_t(v)] != v) {
            return false;
        }
    }
    return true;
}

// `outer` after `inner`.
inline Table compose(const Table& outer, const Table& inner) {
    Table t{};
    for (std::size_t v = 0; v < 256; ++v) {
        t[v] = outer[inner[v]];
    }
    return t;
}

// Calls fn(bgr) for every selected pixel of a 24-bit picture, rows from the top down; bgr
// points at the pixel's blue, green and red bytes.
template <typename Fn>
void forSelectedPixels(dib& di, const Selection& selection, OpProgress& bar, Fn&& fn) {
    const std::int32_t width = DIBWidth(di);
    walkRows(di, selection, bar, [&](std::int32_t t, const MaskRow& mask) {
        std::uint8_t* row = grafikrw3::rowAt(di, t);
        mask.eachSelected(0, width - 1, [&](std::int32_t x) { fn(row + std::int64_t(x) * 3); });
    });
}

// Entries in the palette of a picture of `bits` per pixel, as the point operations count them.
constexpr int paletteEntries(int bits) {
    return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
}

// Calls fn(bgr) for every palette entry with the logical palette's colour and writes the result
// into both the logical palette and the colour table.
template <typename Fn>
void forPaletteEntries(dib& di, OpProgress& bar, Fn&& fn) {
    const int count = paletteEntries(DIBBitCount(di));
    RGBQUAD* table = di.pmi->colors();
    for (int i = 0; i < count; ++i) {
        bar.step(i, count);
        PALETTEENTRY& e = di.pal.pal[i];
        std::uint8_t bgr[3] = {e.peBlue, e.peGreen, e.peRed};
        fn(bgr);
        e.peBlue = table[i].rgbBlue = bgr[0];
        e.peGreen = table[i].rgbGreen = bgr[1];
        e.peRed = table[i].rgbRed = bgr[2];
    }
}

// Where a point operation acts: the palette of 4- and 8-bit pictures, the pixels of 24-bit
// ones, and for some operations the palette of 1-bit pictures as well.
enum class Target { None, Palette, Pixels };
inline Target targetOf(const dib& di, bool oneBitPalette) {
    if (!di.poi) {
        return Target::None;
    }
    switch (DIBBitCount(di)) {
    case 1:
        return oneBitPalette ? Target::Palette : Target::None;
    case 4:
    case 8:
        return Target::Palette;
    case 24:
        return Target::Pixels;
    default:
        return Target::None;
    }
}

// Per-channel tables for blue, green and red.
OpStatus mapChannels(dib& di, const Table& blue, const Table& green, const Table& red,
                     const Selection& selection, const ProgressCallback& progress,
                     bool oneBitPalette);
// One table for all three channels.
inline OpStatus mapChannels(dib& di, const Table& all, const Selection& selection,
                            const ProgressCallback& progress, bool oneBitPalette) {
    return mapChannels(di, all, all, all, selection, progress, oneBitPalette);
}

// fn(bgr) for each selected pixel (24 bits) or each entry (4 and 8 bits); 1 bit is left alone.
template <typename Fn>
OpStatus mapColours(dib& di, const Selection& selection, const ProgressCallback& progress,
                    Fn&& fn) {
    OpProgress bar(progress);
    switch (targetOf(di, false)) {
    case Target::Palette:
        forPaletteEntries(di, bar, fn);
        return OpStatus::Done;
    case Target::Pixels:
        forSelectedPixels(di, selection, bar, fn);
        return OpStatus::Done;
    case Target::None:
        break;
    }
    return OpStatus::Unchanged;
}

} // namespace imageops::pointops
