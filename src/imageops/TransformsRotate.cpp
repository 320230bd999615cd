#include "Transforms.h"

#include "OpProgress.h"

#include "foundation/grafikrw3/PixelRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

// Turning by any angle. Every target pixel takes the source pixel at
//   sx = round(dx * C - dy * S) + w div 2,   sy = round(dx * S + dy * C) + h div 2
// with (dx, dy) its offset from the target's centre, the products in extended precision and
// ties rounded to even. Evaluating that per pixel is slow, so the rows step through 32.32
// fixed point instead; the fixed-point value is within a known distance of the exact one, and
// wherever it lies that close to a half (where the two could round apart) the pixel is
// computed exactly as above. The result is therefore the same, pixel for pixel.
namespace imageops {

namespace {

using grafikrw3::PixelFormat;

constexpr long double kFixedOne = 4294967296.0L; // 2^32
constexpr std::int64_t kHalf = std::int64_t(1) << 31;

struct Turn {
    long double S = 0, C = 0;
    std::int32_t w = 0, h = 0, hw = 0, hh = 0; // source size and its half, rounded down
    std::int32_t W = 0, H = 0;                 // target size

    // The exact source coordinate for target offset (dx, dy).
    std::int64_t exactX(std::int64_t dx, std::int64_t dy) const {
        return std::llrint(static_cast<long double>(dx) * C - static_cast<long double>(dy) * S) +
               hw;
    }
    std::int64_t exactY(std::int64_t dx, std::int64_t dy) const {
        return std::llrint(static_cast<long double>(dx) * S + static_cast<long double>(dy) * C) +
               hh;
    }
};

std::int64_t roundedCorner(long double v) {
    return std::llrint(v);
}

Turn planTurn(std::int32_t w, std::int32_t h, long double winkel, int richt) {
    Turn t;
    long double a = winkel * std::numbers::pi_v<long double> / 180.0L;
    if (richt == 1) {
        a = -a;
    }
    t.S = std::sin(a);
    t.C = std::cos(a);
    t.w = w;
    t.h = h;
    t.hw = w / 2;
    t.hh = h / 2;
    const long double xr = w - t.hw;
    const long double yb = h - t.hh;
    const long double cornersX[4] = {xr, xr, -static_cast<long double>(t.hw),
                                     -static_cast<long double>(t.hw)};
    const long double cornersY[4] = {-static_cast<long double>(t.hh), yb, yb,
                                     -static_cast<long double>(t.hh)};
    std::int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        const std::int64_t X = roundedCorner(cornersX[i] * t.C - cornersY[i] * t.S);
        const std::int64_t Y = roundedCorner(cornersX[i] * t.S + cornersY[i] * t.C);
        minX = std::min(minX, X);
        maxX = std::max(maxX, X);
        minY = std::min(minY, Y);
        maxY = std::max(maxY, Y);
    }
    // Sizes that do not fit an int are refused by the caller through fitsImageLimit.
    t.W = std::int32_t(std::clamp<std::int64_t>(maxX - minX, 0, INT32_MAX));
    t.H = std::int32_t(std::clamp<std::int64_t>(maxY - minY, 0, INT32_MAX));
    return t;
}

template <int Bits>
bool turnRows(const dib& src, dib& dst, const Turn& t, std::uint32_t col2, OpProgress& progress) {
    using F = PixelFormat<Bits>;
    // Source row y starts at top - y * stride (rows lie bottom-up in memory).
    const std::uint8_t* top = grafikrw3::rowAt(src, 0);
    const std::int64_t stride = src.bytew;
    const std::uint8_t fill[4] = {std::uint8_t(col2 >> 16), std::uint8_t(col2 >> 8),
                                  std::uint8_t(col2), 0};
    const std::int32_t lastTx = t.W - 1;
    const std::int64_t lastWideSx = (stride - 4) / 3 + 1; // sx * 3 + 4 <= stride

    // Fixed-point steps and how far a fixed-point coordinate may stray from the exact one:
    // half a unit per step from the centre on each axis, plus room for the rounding of the
    // extended-precision products. Very large targets take the exact path throughout.
    const std::int64_t cf = std::llrint(t.C * kFixedOne);
    const std::int64_t sf = std::llrint(t.S * kFixedOne);
    const bool fixedPointSafe = std::int64_t(t.W) + t.H < (std::int64_t(1) << 28);
    const std::int64_t margin = std::int64_t(t.W) + t.H + 64;
    auto nearHalf = [margin](std::int64_t v) {
        return std::uint32_t(v - kHalf + margin) <= std::uint32_t(2 * margin);
    };

    // The target is made in small tiles, so that the source lines one row of a tile fetches
    // into the cache serve the next rows too. Each row of a tile first finds its source
    // pixels and then moves them: the moving loop is short, so that many of its reads are
    // under way at once.
    constexpr std::int32_t kTileW = 64, kTileH = 64;
    struct Source {
        std::int32_t x, y; // y = -1: outside the source
    };
    Source sources[kTileW];
    const std::int64_t dx0 = -std::int64_t(t.W / 2);
    for (std::int32_t y0 = 0; y0 < t.H; y0 += kTileH) {
        const std::int32_t y1 = std::min(t.H, y0 + kTileH);
        for (std::int32_t x0 = 0; x0 < t.W; x0 += kTileW) {
            const std::int32_t n = std::min(t.W - x0, kTileW);
            for (std::int32_t ty = y0; ty < y1; ++ty) {
                const std::int64_t dy = std::int64_t(ty) - t.H / 2;
                std::int64_t u = (dx0 + x0) * cf - dy * sf;
                std::int64_t v = (dx0 + x0) * sf + dy * cf;
                for (std::int32_t i = 0; i < n; ++i, u += cf, v += sf) {
                    std::int64_t sx, sy;
                    if (fixedPointSafe && !nearHalf(u) && !nearHalf(v)) {
                        sx = ((u + kHalf) >> 32) + t.hw;
                        sy = ((v + kHalf) >> 32) + t.hh;
                    } else {
                        sx = t.exactX(dx0 + x0 + i, dy);
                        sy = t.exactY(dx0 + x0 + i, dy);
                    }
                    const bool inside = std::uint64_t(sx) < std::uint64_t(t.w) &&
                                        std::uint64_t(sy) < std::uint64_t(t.h);
                    sources[i] =
                        inside ? Source{std::int32_t(sx), std::int32_t(sy)} : Source{0, -1};
                }
                std::uint8_t* out = grafikrw3::rowAt(dst, ty);
                for (std::int32_t i = 0; i < n; ++i) {
                    const Source s = sources[i];
                    const std::int32_t tx = x0 + i;
                    if constexpr (Bits == 24) {
                        // Four bytes where both the read and the spare byte written stay in
                        // their rows (the spare byte is the next pixel's, written after it).
                        const std::uint8_t* pixel = s.y < 0 ? fill : top - s.y * stride + s.x * 3;
                        if (tx < lastTx && s.x < lastWideSx) {
                            std::memcpy(out + std::int64_t(tx) * 3, pixel, 4);
                        } else {
                            std::memcpy(out + std::int64_t(tx) * 3, pixel, 3);
                        }
                    } else {
                        F::put(out, tx, s.y < 0 ? col2 : F::get(top - s.y * stride, s.x));
                    }
                }
            }
        }
        if (!progress.step(y1 - 1, t.H)) {
            return false;
        }
    }
    return true;
}

} // namespace

OwnedDib DibRotxxx(const dib& di, long double winkel, int richt, std::uint32_t col2,
                   bool /*intp: nearest pixel in every case*/, const ProgressCallback& progress) {
    if (!di.poi || !std::isfinite(winkel)) {
        return {};
    }
    const Turn t = planTurn(DIBWidth(di), DIBHeight(di), winkel, richt);
    OwnedDib result = newPictureLike(di, t.W, t.H);
    if (!result) {
        return {};
    }
    OpProgress rows(progress);
    bool finished = false;
    grafikrw3::forDepth(DIBBitCount(di), [&](auto format) {
        finished = turnRows<decltype(format)::bits>(di, result.get(), t, col2, rows);
    });
    return finished ? std::move(result) : OwnedDib();
}

} // namespace imageops
