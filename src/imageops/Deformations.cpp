#include "Deformations.h"

#include "RowWalker.h"

#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace imageops {

namespace {

using grafikrw3::rowAt;

// `from` must be a separate copy of the same size at 24 bits; anything else is a caller's
// slip that must not read past a picture.
bool deformable(const dib& di, const dib& from) {
    return di.poi && from.poi && di.poi != from.poi && DIBBitCount(di) == 24 &&
           DIBBitCount(from) == 24 && DIBWidth(from) == DIBWidth(di) &&
           DIBHeight(from) == DIBHeight(di);
}

inline void copy24(const std::uint8_t* fromRow, std::int64_t fx, std::uint8_t* toRow,
                   std::int64_t tx) {
    std::memcpy(toRow + tx * 3, fromRow + fx * 3, 3);
}

// How many percent the perspective squeezes line `k` of `n` toward the centre line; a picture
// with a single line along that axis is not squeezed at all.
inline std::int64_t squeeze(std::int64_t stark, std::int64_t k, std::int64_t n) {
    if (n <= 1) {
        return 0;
    }
    return stark >= 0 ? stark * k / (n - 1) : -stark * (n - 1 - k) / (n - 1);
}

// For each target position of one axis of `n` pixels, the source position the bulge reads.
std::vector<std::int32_t> bulgeAxis(std::int32_t n, double wert, bool deform) {
    std::vector<std::int32_t> source(static_cast<std::size_t>(n));
    const std::int32_t c = n / 2;
    for (std::int32_t j = 0; j < n; ++j) {
        if (!deform || c == 0) {
            source[std::size_t(j)] = j;
            continue;
        }
        const std::int32_t d = std::abs(j - c);
        long double f = static_cast<long double>(c) *
                        static_cast<long double>(grafikrw3::power(double(d) / double(c), wert));
        // Out-of-range exponents could make f huge or not a number; the result is limited to
        // the picture below anyway, so keep f where converting it is defined.
        f = std::isnan(f) ? 0.0L : std::clamp<long double>(f, 0.0L, static_cast<long double>(n));
        const std::int64_t shift = std::int64_t(std::trunc(f));
        const std::int64_t sx = j < c ? c - shift : c + shift;
        source[std::size_t(j)] = std::int32_t(std::clamp<std::int64_t>(sx, 0, n - 1));
    }
    return source;
}

} // namespace

OpStatus Perspektive(dib& di, const dib& from, const PerspParams& p, std::uint32_t col2,
                     const Selection& selection, const ProgressCallback& progress) {
    if (!deformable(di, from) || !selection.fits(di)) {
        return OpStatus::Unchanged;
    }
    const std::int64_t W = DIBWidth(di);
    const std::int64_t H = DIBHeight(di);
    const std::uint8_t fill[3] = {std::uint8_t(col2 >> 16), std::uint8_t(col2 >> 8),
                                  std::uint8_t(col2)};
    // The selected pixels start in the background colour, with no progress of their own.
    const ProgressCallback quietly;
    OpProgress unseen(quietly);
    walkRows(di, selection, unseen, [&](std::int32_t y, const MaskRow& mask) {
        std::uint8_t* row = rowAt(di, y);
        mask.eachSelected(0, std::int32_t(W - 1),
                          [&](std::int32_t x) { std::memcpy(row + std::int64_t(x) * 3, fill, 3); });
    });

    OpProgress bar(progress);

    const std::int64_t stark = p.stark;
    const std::int64_t s = (p.Horz ? W : H) * stark / 100; // the skew's full shift
    auto put = [&](const std::uint8_t* fromRow, std::int64_t x, std::int64_t tx, std::int64_t ty) {
        if (tx >= 0 && tx < W && ty >= 0 && ty < H &&
            selection.contains(std::int32_t(tx), std::int32_t(ty))) {
            copy24(fromRow, x, rowAt(di, std::int32_t(ty)), tx);
        }
    };
    for (std::int32_t e = 0; e < H; ++e) {
        const std::uint8_t* fromRow = rowAt(from, e);
        const std::int64_t rowSqueeze = squeeze(stark, e, H);
        for (std::int64_t x = 0; x < W; ++x) {
            if (p.Persp && p.Horz) {
                const std::int64_t l = squeeze(stark, x, W);
                put(fromRow, x, x, (100 - l) * (e - H / 2) / 100 + H / 2);
            } else if (p.Persp) {
                put(fromRow, x, (100 - rowSqueeze) * (x - W / 2) / 100 + W / 2, e);
            } else if (p.Horz) {
                put(fromRow, x, x + s / 2 - s * e / H, e);
            } else {
                put(fromRow, x, x, e + s / 2 - s * x / W);
            }
        }
        bar.step(e, H);
    }
    return OpStatus::Done;
}

OpStatus Woelben(dib& di, const dib& from, const WoelbenParams& p, const Selection& selection,
                 const ProgressCallback& progress) {
    if (!deformable(di, from) || !selection.fits(di)) {
        return OpStatus::Unchanged;
    }
    const std::int32_t W = DIBWidth(di);
    const std::int32_t H = DIBHeight(di);
    const std::vector<std::int32_t> sourceColumn = bulgeAxis(W, p.wert, p.horz);
    const std::vector<std::int32_t> sourceRow = bulgeAxis(H, p.wert, p.vert);
    OpProgress bar(progress);
    walkRows(di, selection, bar, [&](std::int32_t i, const MaskRow& mask) {
        const std::uint8_t* fromRow = rowAt(from, sourceRow[std::size_t(i)]);
        std::uint8_t* row = rowAt(di, i);
        mask.eachSelected(0, W - 1, [&](std::int32_t j) {
            copy24(fromRow, sourceColumn[std::size_t(j)], row, j);
        });
    });
    return OpStatus::Done;
}

} // namespace imageops
