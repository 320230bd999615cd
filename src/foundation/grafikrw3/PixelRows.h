#pragma once

#include "../dib.h"

#include <cstdint>
#include <type_traits>
#include <utility>

// The facts of the four pixel layouts in one place: where a picture row lies in memory and how
// an index is packed into a 1-, 4- or 8-bit row. Pixel loops choose the depth once per
// operation (withDepth) and then run the packing inline, instead of asking per pixel.
namespace grafikrw3 {

// Picture row y counted from the top (rows are stored bottom-up).
inline std::uint8_t* rowAt(dib& picture, std::int32_t y) {
    return picture.poi + std::int64_t(DIBHeight(picture) - 1 - y) * picture.bytew;
}
inline const std::uint8_t* rowAt(const dib& picture, std::int32_t y) {
    return picture.poi + std::int64_t(DIBHeight(picture) - 1 - y) * picture.bytew;
}

// Stores palette index `value` of pixel x into a 1-, 4- or 8-bit row.
inline void putIndex(std::uint8_t* row, int bits, std::int32_t x, unsigned value) {
    switch (bits) {
    case 1: {
        const auto bit = std::uint8_t(0x80u >> (x & 7));
        row[x >> 3] = (value & 1u) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
        break;
    }
    case 4:
        row[x >> 1] = (x & 1) ? std::uint8_t((row[x >> 1] & 0xf0) | (value & 0x0f))
                              : std::uint8_t((row[x >> 1] & 0x0f) | ((value & 0x0f) << 4));
        break;
    default:
        row[x] = std::uint8_t(value);
        break;
    }
}

// Palette index of pixel x of a 1-, 4- or 8-bit row.
inline unsigned getIndex(const std::uint8_t* row, int bits, std::int32_t x) {
    switch (bits) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0fu) : (row[x >> 1] >> 4u);
    default:
        return row[x];
    }
}

// Pixel access for one depth known at compile time. Values are palette indexes for 1, 4 and
// 8 bits and red + 256 * green + 65536 * blue for 24 bits, as getpixel and setpixel use them.
template <int Bits>
struct PixelFormat {
    static_assert(Bits == 1 || Bits == 4 || Bits == 8 || Bits == 24);
    static constexpr int bits = Bits;

    static std::uint32_t get(const std::uint8_t* row, std::int32_t x) {
        if constexpr (Bits == 24) {
            const std::uint8_t* p = row + std::int64_t(x) * 3;
            return p[2] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[0]) << 16);
        } else if constexpr (Bits == 8) {
            return row[x];
        } else if constexpr (Bits == 4) {
            return (x & 1) ? (row[x >> 1] & 0x0fu) : (row[x >> 1] >> 4u);
        } else {
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        }
    }

    static void put(std::uint8_t* row, std::int32_t x, std::uint32_t value) {
        if constexpr (Bits == 24) {
            std::uint8_t* p = row + std::int64_t(x) * 3;
            p[0] = std::uint8_t(value >> 16);
            p[1] = std::uint8_t(value >> 8);
            p[2] = std::uint8_t(value);
        } else if constexpr (Bits == 8) {
            row[x] = std::uint8_t(value);
        } else if constexpr (Bits == 4) {
            std::uint8_t& b = row[x >> 1];
            b = (x & 1) ? std::uint8_t((b & 0xf0) | (value & 0x0f))
                        : std::uint8_t((b & 0x0f) | ((value & 0x0f) << 4));
        } else {
            const auto bit = std::uint8_t(0x80u >> (x & 7));
            row[x >> 3] = (value & 1u) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
        }
    }
};

// Calls `f(PixelFormat<bits>{})` for the picture depth `bits` (1, 4, 8 or 24) and returns its
// result; for any other depth returns `fallback`.
template <typename F, typename R = std::invoke_result_t<F, PixelFormat<8>>>
R withDepth(int bits, F&& f, R fallback = R{}) {
    switch (bits) {
    case 1:
        return std::forward<F>(f)(PixelFormat<1>{});
    case 4:
        return std::forward<F>(f)(PixelFormat<4>{});
    case 8:
        return std::forward<F>(f)(PixelFormat<8>{});
    case 24:
        return std::forward<F>(f)(PixelFormat<24>{});
    default:
        return fallback;
    }
}

// The same for functions without a result.
template <typename F>
void forDepth(int bits, F&& f) {
    switch (bits) {
    case 1:
        std::forward<F>(f)(PixelFormat<1>{});
        break;
    case 4:
        std::forward<F>(f)(PixelFormat<4>{});
        break;
    case 8:
        std::forward<F>(f)(PixelFormat<8>{});
        break;
    case 24:
        std::forward<F>(f)(PixelFormat<24>{});
        break;
    default:
        break;
    }
}

} // namespace grafikrw3
