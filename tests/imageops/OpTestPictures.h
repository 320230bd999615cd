#pragma once

#include "Pictures.h"

#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

// Pictures and comparisons for the tests of the geometric transforms, deformations and
// effects: sources with a colour table of their own (so a lost palette shows), references built
// pixel by pixel, and whole-picture comparisons that include the colour table.
namespace optest {

// A pattern picture whose colour table differs from every default one.
inline OwnedDib source(int width, int height, int bits) {
    OwnedDib picture = patternPicture(width, height, bits);
    for (std::uint32_t i = 0; i < DIBColorTableSize(picture.get()); ++i) {
        const auto r = std::uint8_t(i * 7 + 3), g = std::uint8_t(200 - i), b = std::uint8_t(i * 13);
        picture->pmi->colors()[i] = RGBQUAD{b, g, r, 0};
        picture->pal.pal[i] = PALETTEENTRY{r, g, b, 0};
    }
    return picture;
}

// Random bytes in every pixel (24-bit pictures), repeatable by `seed`.
inline OwnedDib noise24(int width, int height, unsigned seed) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), width, height, 24, nullptr, 0);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(picture.get(), x, y, random() & 0xffffff);
        }
    }
    return picture;
}

// A width x height picture with the depth and colour table of `like`, each pixel from `value`.
inline OwnedDib build(const dib& like, int width, int height,
                      const std::function<std::uint32_t(int x, int y)>& value) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), width, height, DIBBitCount(like), like.pmi,
                      std::int32_t(DIBColorTableSize(like)));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(picture.get(), x, y, value(x, y));
        }
    }
    return picture;
}

// Pixel bytes, colour table and logical palette entries in one list.
inline std::vector<std::uint8_t> wholePicture(const dib& d) {
    std::vector<std::uint8_t> bytes = pixelBytes(d);
    if (!d.poi) {
        return bytes;
    }
    bytes.push_back(std::uint8_t(DIBWidth(d)));
    bytes.push_back(std::uint8_t(DIBHeight(d)));
    bytes.push_back(std::uint8_t(DIBBitCount(d)));
    const auto* table = reinterpret_cast<const std::uint8_t*>(d.pmi->colors());
    bytes.insert(bytes.end(), table, table + 4 * DIBColorTableSize(d));
    for (std::uint32_t i = 0; i < DIBColorTableSize(d); ++i) {
        bytes.push_back(d.pal.pal[i].peRed);
        bytes.push_back(d.pal.pal[i].peGreen);
        bytes.push_back(d.pal.pal[i].peBlue);
    }
    return bytes;
}

// A 1-bit mask of the picture's size with `selected(x, y)` set.
inline OwnedDib mask(int width, int height, const std::function<bool(int x, int y)>& selected) {
    OwnedDib m;
    grafikrw3::newdib(&m.get(), width, height, 1, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(m.get(), x, y, selected(x, y) ? 1 : 0);
        }
    }
    return m;
}

// A ring-shaped, uneven selection that leaves pixels on every side unselected.
inline bool unevenSelection(int x, int y, int width, int height) {
    return x > width / 5 && y > height / 6 && x < width - 1 && (x * 3 + y * 5) % 7 != 0;
}

// Parameters over depths and boundary widths, with readable test names.
using DepthWidth = std::tuple<int, int>;
inline std::string depthWidthName(const testing::TestParamInfo<DepthWidth>& info) {
    return std::to_string(std::get<0>(info.param)) + "bit_w" +
           std::to_string(std::get<1>(info.param));
}

} // namespace optest
