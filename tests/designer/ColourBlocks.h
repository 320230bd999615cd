#pragma once

#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/Quantize.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <vector>

// Pictures of flat colour blocks: a chart as wide as the grid of blocks must give back exactly
// these colours in exactly these cells.
namespace colourblocks {

// n distinct colours, white and black first; the last is one red step from the third, so that
// two colours share a box of the median cut.
inline std::vector<grafikrw3::Rgb> colours(int n) {
    std::vector<grafikrw3::Rgb> list{{255, 255, 255}, {0, 0, 0}};
    for (int i = 2; i < n; ++i) {
        list.push_back({std::uint8_t(i * 97 % 250), std::uint8_t((i * 57 + 30) % 256),
                        std::uint8_t((i * 151 + 60) % 256)});
    }
    if (n > 4) {
        list.back() = {std::uint8_t(list[2].red ^ 1), list[2].green, list[2].blue};
    }
    list.resize(std::size_t(n));
    return list;
}

// Colour of block (row, column): every colour occurs, not all equally often.
inline int blockIndex(int row, int column, int columns, int n) {
    const int k = row * columns + column;
    return (k * 5 + k / 7) % n;
}

// columns x rows blocks of side x side pixels; palette pictures hold the colours in their table.
inline OwnedDib picture(int columns, int rows, int side, int bits, int n) {
    const std::vector<grafikrw3::Rgb> list = colours(n);
    OwnedDib d;
    grafikrw3::newdib(&d.get(), columns * side, rows * side, bits, nullptr, 0);
    for (int i = 0; bits != 24 && i < n; ++i) {
        const grafikrw3::Rgb c = list[std::size_t(i)];
        d->pmi->colors()[i] = {c.blue, c.green, c.red, 0};
    }
    for (int y = 0; y < rows * side; ++y) {
        for (int x = 0; x < columns * side; ++x) {
            const int i = blockIndex(y / side, x / side, columns, n);
            const grafikrw3::Rgb c = list[std::size_t(i)];
            grafikrw3::setpixel(d.get(), x, y,
                                bits == 24 ? std::uint32_t(c.red | c.green << 8 | c.blue << 16)
                                           : std::uint32_t(i));
        }
    }
    return d;
}

} // namespace colourblocks
