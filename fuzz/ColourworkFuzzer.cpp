// Any picture of any depth to a colourwork chart of any size: no crash, no undefined
// behaviour, every cell a valid colour, at most the colours asked for, and a chart of the
// picture's own size with few enough colours gives back exactly its pixels.
#include "designer/ColourworkFromPicture.h"
#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <cstdlib>
#include <cstring>
#include <set>

namespace {

constexpr int kDepths[] = {1, 4, 8, 24};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) {
        return 0;
    }
    const int width = 1 + data[0] % 48;
    const int height = 1 + data[1] % 48;
    const int bits = kDepths[data[2] % 4];
    const bool ownSize = data[3] & 0x80;
    const int rows = ownSize ? height : 1 + (data[3] & 0x7f) % 64;
    const int columns = ownSize ? width : 1 + data[4] % 64;
    const int colours = 1 + data[5] % 40;
    const bool dither = data[6] & 1;
    data += 8;
    size -= 8;

    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), width, height, bits, nullptr, 0);
    if (!picture) {
        return 0;
    }
    // Colour table first, then the pixel rows, from whatever input there is.
    const std::size_t table = DIBColorTableSize(picture.get()) * sizeof(RGBQUAD);
    const std::size_t tableBytes = std::min(table, size);
    std::memcpy(picture->pmi->colors(), data, tableBytes);
    const std::size_t pixels = std::size_t(picture->bytew) * std::size_t(height);
    std::memcpy(picture->poi, data + tableBytes, std::min(pixels, size - tableBytes));

    const colourwork::CellColours cells = colourwork::averageCells(picture.get(), rows, columns);
    if (cells.rows != rows || cells.columns != columns ||
        cells.rgb.size() != std::size_t(rows) * std::size_t(columns) * 3) {
        std::abort();
    }
    const colourwork::Chart chart = colourwork::reduceColours(cells, colours, dither);
    if (chart.colours.empty() || chart.colours.size() > std::size_t(colours) ||
        chart.cells.size() != std::size_t(rows) * std::size_t(columns)) {
        std::abort();
    }
    std::size_t used = 0;
    for (std::uint32_t u : chart.uses) {
        used += u;
    }
    if (used != chart.cells.size()) {
        std::abort();
    }
    if (!ownSize) {
        return 0;
    }
    // One cell per pixel: each cell is its pixel's colour.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = grafikrw3::getpixel(picture.get(), x, y);
            std::uint8_t rgb[3] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16)};
            if (bits != 24) {
                const RGBQUAD q = picture->pmi->colors()[v];
                rgb[0] = q.rgbRed;
                rgb[1] = q.rgbGreen;
                rgb[2] = q.rgbBlue;
            }
            if (std::memcmp(rgb, &cells.rgb[(std::size_t(y) * width + x) * 3], 3) != 0) {
                std::abort();
            }
        }
    }
    std::set<std::uint32_t> distinctColours;
    for (std::size_t i = 0; i < cells.rgb.size(); i += 3) {
        distinctColours.insert(std::uint32_t(cells.rgb[i]) << 16 | cells.rgb[i + 1] << 8 |
                               cells.rgb[i + 2]);
    }
    if (distinctColours.size() > std::size_t(colours)) {
        return 0;
    }
    for (std::size_t i = 0; i < chart.cells.size(); ++i) {
        const grafikrw3::Rgb c = chart.colours[chart.cells[i]];
        if (c.red != cells.rgb[3 * i] || c.green != cells.rgb[3 * i + 1] ||
            c.blue != cells.rgb[3 * i + 2]) {
            std::abort();
        }
    }
    return 0;
}
