#include "Transforms.h"

#include "OpProgress.h"

#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace imageops {

using grafikrw3::forDepth;
using grafikrw3::PixelFormat;
using grafikrw3::rowAt;

bool fitsImageLimit(std::int64_t width, std::int64_t height, int bits) {
    if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX) {
        return false;
    }
    const std::int64_t stride = grafikrw3::rowBytes(width, bits);
    return stride > 0 && stride <= grafikrw3::kMaxImageBytes / height;
}

OwnedDib newPictureLike(const dib& like, std::int64_t width, std::int64_t height) {
    const int bits = DIBBitCount(like);
    if (!like.poi || !fitsImageLimit(width, height, bits)) {
        return {};
    }
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), std::int32_t(width), std::int32_t(height), bits, like.pmi,
                      std::int32_t(DIBColorTableSize(like)));
    return picture;
}

namespace {

// Moves one pixel value between rows of the same depth; whole bytes where the depth allows.
template <int Bits>
inline void copyPixel(const std::uint8_t* from, std::int32_t fx, std::uint8_t* to,
                      std::int32_t tx) {
    if constexpr (Bits == 24) {
        std::memcpy(to + std::int64_t(tx) * 3, from + std::int64_t(fx) * 3, 3);
    } else if constexpr (Bits == 8) {
        to[tx] = from[fx];
    } else {
        PixelFormat<Bits>::put(to, tx, PixelFormat<Bits>::get(from, fx));
    }
}

// Writes the `w` pixels of the 24-bit row `from` into `to` in reverse order. Each pixel moves
// as one four-byte load and store rather than three single bytes: the spare byte read is the
// next source pixel's, the spare byte written the next target pixel's, which is written after
// it. The first pixel written (the last one read) and the last one written move three bytes, so
// that neither row is passed.
void reversePixels24(const std::uint8_t* from, std::uint8_t* to, std::int32_t w) {
    if (w < 1) {
        return;
    }
    const std::uint8_t* last = from + std::int64_t(w - 1) * 3;
    std::memcpy(to, last, 3);
    for (std::int32_t x = 1; x < w - 1; ++x) {
        std::memcpy(to + std::int64_t(x) * 3, last - std::int64_t(x) * 3, 4);
    }
    if (w > 1) {
        std::memcpy(to + std::int64_t(w - 1) * 3, from, 3);
    }
}

// Mirrors a row in place; `scratch` holds a copy of a 24-bit row while it is written back.
template <int Bits>
void mirrorRow(std::uint8_t* row, std::int32_t w, std::vector<std::uint8_t>& scratch) {
    if constexpr (Bits == 8) {
        std::reverse(row, row + w);
    } else if constexpr (Bits == 24) {
        scratch.assign(row, row + std::int64_t(w) * 3);
        reversePixels24(scratch.data(), row, w);
    } else {
        using F = PixelFormat<Bits>;
        for (std::int32_t l = 0, r = w - 1; l < r; ++l, --r) {
            const std::uint32_t left = F::get(row, l);
            F::put(row, l, F::get(row, r));
            F::put(row, r, left);
        }
    }
}

// Turns by a quarter into `dst` (h x w) in square tiles. Each result row of a tile is written
// from left to right while the tile's source rows, read one pixel apart, stay in the cache.
template <int Bits, bool Clockwise>
bool rotateQuarter(const dib& src, dib& dst, OpProgress& progress) {
    constexpr std::int32_t kTile = 64;
    const std::int32_t w = DIBWidth(src);
    const std::int32_t h = DIBHeight(src);
    // Result column x reads source row h - 1 - x (clockwise) or x; rows lie bottom-up in
    // memory, so stepping x steps the source address by one stride up or down.
    const std::int64_t srcStep = Clockwise ? std::int64_t(src.bytew) : -std::int64_t(src.bytew);
    const std::uint8_t* column0 = rowAt(src, Clockwise ? h - 1 : 0);
    for (std::int32_t y0 = 0; y0 < w; y0 += kTile) { // result rows = source columns
        const std::int32_t y1 = std::min(w, y0 + kTile);
        for (std::int32_t x0 = 0; x0 < h; x0 += kTile) { // result columns = source rows
            const std::int32_t x1 = std::min(h, x0 + kTile);
            for (std::int32_t y = y0; y < y1; ++y) {
                const std::int32_t sx = Clockwise ? y : w - 1 - y;
                std::uint8_t* to = rowAt(dst, y);
                const std::uint8_t* from = column0 + x0 * srcStep;
                for (std::int32_t x = x0; x < x1; ++x, from += srcStep) {
                    copyPixel<Bits>(from, sx, to, x);
                }
            }
        }
        if (!progress.step(y1 - 1, w)) {
            return false;
        }
    }
    return true;
}

template <bool Clockwise>
OwnedDib quarterTurn(const dib& di, const ProgressCallback& progress) {
    OwnedDib result = newPictureLike(di, DIBHeight(di), DIBWidth(di));
    if (!result) {
        return {};
    }
    OpProgress rows(progress);
    bool finished = false;
    forDepth(DIBBitCount(di), [&](auto format) {
        finished = rotateQuarter<decltype(format)::bits, Clockwise>(di, result.get(), rows);
    });
    return finished ? std::move(result) : OwnedDib();
}

// A row of `width` pixels of `value`, padded like a picture row.
std::vector<std::uint8_t> filledRow(std::int32_t width, int bits, std::uint32_t value,
                                    std::int64_t stride) {
    std::vector<std::uint8_t> row(std::size_t(stride), 0);
    forDepth(bits, [&](auto format) {
        using F = decltype(format);
        for (std::int32_t x = 0; x < width; ++x) {
            F::put(row.data(), x, value);
        }
    });
    return row;
}

} // namespace

OpStatus FlipH(dib& di, const ProgressCallback& progress) {
    if (!di.poi) {
        return OpStatus::Unchanged;
    }
    const std::int32_t w = DIBWidth(di);
    const std::int32_t h = DIBHeight(di);
    OpProgress rows(progress);
    std::vector<std::uint8_t> scratch;
    forDepth(DIBBitCount(di), [&](auto format) {
        for (std::int32_t y = 0; y < h; ++y) {
            mirrorRow<decltype(format)::bits>(rowAt(di, y), w, scratch);
            rows.step(y, h);
        }
    });
    return OpStatus::Done;
}

OpStatus FlipV(dib& di, const ProgressCallback& progress) {
    if (!di.poi) {
        return OpStatus::Unchanged;
    }
    const std::int32_t h = DIBHeight(di);
    OpProgress rows(progress);
    for (std::int32_t y = 0; y < h / 2; ++y) {
        std::uint8_t* top = rowAt(di, y);
        std::swap_ranges(top, top + di.bytew, rowAt(di, h - 1 - y));
        rows.step(2 * y + 1, h);
    }
    rows.step(h - 1, h);
    return OpStatus::Done;
}

OwnedDib MirrorDibH(const dib& di, const ProgressCallback& progress) {
    OwnedDib copy(copyDib(di));
    if (copy) {
        FlipH(copy.get(), progress);
    }
    return copy;
}

OwnedDib MirrorDibV(const dib& di, const ProgressCallback& progress) {
    OwnedDib copy(copyDib(di));
    if (copy) {
        FlipV(copy.get(), progress);
    }
    return copy;
}

OwnedDib RotLeft(const dib& di, const ProgressCallback& progress) {
    return quarterTurn<false>(di, progress);
}

OwnedDib RotRight(const dib& di, const ProgressCallback& progress) {
    return quarterTurn<true>(di, progress);
}

OwnedDib Rot180(const dib& di, const ProgressCallback& progress) {
    OwnedDib result = newPictureLike(di, DIBWidth(di), DIBHeight(di));
    if (!result) {
        return {};
    }
    const std::int32_t w = DIBWidth(di);
    const std::int32_t h = DIBHeight(di);
    OpProgress rows(progress);
    bool finished = true;
    forDepth(DIBBitCount(di), [&](auto format) {
        constexpr int bits = decltype(format)::bits;
        for (std::int32_t y = 0; y < h && finished; ++y) {
            const std::uint8_t* from = rowAt(di, h - 1 - y);
            std::uint8_t* to = rowAt(result.get(), y);
            if constexpr (bits == 24) {
                reversePixels24(from, to, w);
            } else {
                for (std::int32_t x = 0; x < w; ++x) {
                    copyPixel<bits>(from, w - 1 - x, to, x);
                }
            }
            finished = rows.step(y, h);
        }
    });
    return finished ? std::move(result) : OwnedDib();
}

OwnedDib Rotate(const dib& di, const RotateParams& p, std::uint32_t col2,
                const ProgressCallback& progress) {
    switch (p.winkel) {
    case RotateParams::Winkel::Grad90:
        return p.rechts ? RotRight(di, progress) : RotLeft(di, progress);
    case RotateParams::Winkel::Grad270:
        return p.rechts ? RotLeft(di, progress) : RotRight(di, progress);
    case RotateParams::Winkel::Grad180:
        return Rot180(di, progress);
    case RotateParams::Winkel::Frei:
        break;
    }
    return DibRotxxx(di, p.grad, p.rechts ? 1 : 0, col2, p.interpol, progress);
}

OwnedDib NewCanvas(const dib& di, const CanvasParams& p, std::uint32_t col2,
                   const ProgressCallback& progress) {
    OwnedDib result = newPictureLike(di, p.Breit, p.Hoch);
    if (!result) {
        return {};
    }
    const std::int32_t w = DIBWidth(di);
    const std::int32_t h = DIBHeight(di);
    const int bits = DIBBitCount(di);
    // The columns of the canvas that show the source, the same in every row that shows it.
    const std::int64_t x0 = std::clamp<std::int64_t>(p.Links, 0, p.Breit);
    const std::int64_t x1 = std::clamp<std::int64_t>(std::int64_t(p.Links) + w, 0, p.Breit);
    const std::vector<std::uint8_t> fill = filledRow(p.Breit, bits, col2, result->bytew);

    OpProgress rows(progress);
    bool finished = true;
    forDepth(bits, [&](auto format) {
        constexpr int kBits = decltype(format)::bits;
        for (std::int32_t y = 0; y < p.Hoch && finished; ++y) {
            std::uint8_t* to = rowAt(result.get(), y);
            std::memcpy(to, fill.data(), fill.size());
            const std::int64_t sy = std::int64_t(y) - p.Oben;
            if (sy >= 0 && sy < h && x0 < x1) {
                const std::uint8_t* from = rowAt(di, std::int32_t(sy));
                const std::int32_t sx0 = std::int32_t(x0 - p.Links);
                if constexpr (kBits >= 8) {
                    constexpr int kBytes = kBits / 8;
                    std::memcpy(to + x0 * kBytes, from + std::int64_t(sx0) * kBytes,
                                std::size_t(x1 - x0) * kBytes);
                } else {
                    for (std::int64_t x = x0; x < x1; ++x) {
                        copyPixel<kBits>(from, std::int32_t(x - p.Links), to, std::int32_t(x));
                    }
                }
            }
            finished = rows.step(y, p.Hoch);
        }
    });
    return finished ? std::move(result) : OwnedDib();
}

OwnedDib AddBorders(const dib& di, const BorderParams& p, std::uint32_t col2,
                    const ProgressCallback& progress) {
    const std::int64_t width = std::int64_t(DIBWidth(di)) + p.lef_ + p.rig_;
    const std::int64_t height = std::int64_t(DIBHeight(di)) + p.top_ + p.bot_;
    if (!fitsImageLimit(width, height, DIBBitCount(di))) {
        return {};
    }
    return NewCanvas(di, CanvasParams{std::int32_t(width), std::int32_t(height), p.lef_, p.top_},
                     col2, progress);
}

} // namespace imageops
