#pragma once

#include "foundation/OwnedDib.h"
#include "foundation/dib.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <cstdint>
#include <vector>

// Small helpers for tests on pictures, shared by every layer's tests. New tests hold their
// pictures in an OwnedDib.

inline constexpr int kAllDepths[] = {1, 4, 8, 24};
// Widths around byte and word boundaries of every depth.
inline constexpr int kBoundaryWidths[] = {1, 2, 7, 8, 9, 31, 33};

inline std::uint32_t maskFor(int bits) {
    return bits == 24 ? 0xffffffu : (1u << bits) - 1u;
}

// A value that differs between neighbours in x and y and covers the whole range of a depth.
inline std::uint32_t patternValue(int x, int y, int bits) {
    const std::uint32_t v = std::uint32_t(x) * 2654435761u ^ std::uint32_t(y) * 40503u ^ 0x5a5a5au;
    return v & maskFor(bits);
}

// New picture filled with patternValue through setpixel.
inline dib makePatternPicture(int width, int height, int bits) {
    dib d;
    grafikrw3::newdib(&d, width, height, bits, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(d, x, y, patternValue(x, y, bits));
        }
    }
    return d;
}

inline std::vector<std::uint8_t> pixelBytes(const dib& d) {
    if (!d.poi) {
        return {};
    }
    return std::vector<std::uint8_t>(d.poi, d.poi + std::size_t(DIBHeight(d)) * d.bytew);
}

// Picture rows top to bottom as pixel values.
inline std::vector<std::vector<std::uint32_t>> pixelValues(const dib& d) {
    std::vector<std::vector<std::uint32_t>> rows(std::size_t(DIBHeight(d)));
    for (int y = 0; y < DIBHeight(d); ++y) {
        for (int x = 0; x < DIBWidth(d); ++x) {
            rows[std::size_t(y)].push_back(grafikrw3::getpixel(d, x, y));
        }
    }
    return rows;
}

// Owner with a named field, as the older tests use it.
struct PictureOwner {
    dib picture;
    explicit PictureOwner(dib d) : picture(d) {}
    ~PictureOwner() { FreeDIB(picture); }
    PictureOwner(const PictureOwner&) = delete;
    PictureOwner& operator=(const PictureOwner&) = delete;
};

inline OwnedDib patternPicture(int width, int height, int bits) {
    return OwnedDib(makePatternPicture(width, height, bits));
}
