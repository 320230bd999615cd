#pragma once

#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/Quantize.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <cstdint>
#include <vector>

// Pictures of flat colour blocks for the colourwork tests: a grid of square blocks, each in one
// of n distinct colours, so that a chart as wide as the grid must give back exactly these
// colours in exactly these cells.
namespace colourblocks {

// n distinct colours: white and black first, the last one a red step away from the first
// spread colour, so that two colours share a histogram box of the median cut.
inline std::vector<grafikrw3::Rgb> colours(int n) {
    std::vector<grafikrw3::Rgb> list{{255, 255, 255}, {0, 0, 0}};
    for (int i = 2; int(list.size()) < n; ++i) {
        list.push_back({std::uint8_t(i * 97 % 250), std::uint8_t((i * 57 + 30) % 256),
                        std::uint8_t((i * 151 + 60) % 256)});
    }
    if (n > 4) {
        grafikrw3::Rgb near = list[2];
        near.red = std::uint8_t(near.red ^ 1);
        list.back() = near;
    }
    list.resize(std::size_t(n));
    return list;
}

// Colour of block (row, column): every colour occurs, and not equally often.
inline int blockIndex(int row, int column, int columns, int n) {
    const int k = row * columns + column;
    return (k * 5 + k / 7) % n;
}

// columns x rows blocks of side x side pixels at `bits` per pixel (palette pictures hold the
// colours in their colour table).
inline OwnedDib picture(int columns, int rows, int side, int bits, int n) {
    const std::vector<grafikrw3::Rgb> list = colours(n);
    OwnedDib d;
    grafikrw3::newdib(&d.get(), columns * side, rows * side, bits, nullptr, 0);
    if (bits != 24) {
        for (int i = 0; i < n; ++i) {
            d->pmi->colors()[i] = {list[std::size_t(i)].blue, list[std::size_t(i)].green,
                                   list[std::size_t(i)].red, 0};
        }
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
