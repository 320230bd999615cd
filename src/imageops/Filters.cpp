#include "Filters.h"

#include "RowWalker.h"
#include "Vectorise.h"
#include "foundation/Memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace imageops {

namespace {

// One non-zero weight: the work row it reads (0 = two rows above the target) and the byte
// offset of its column within that row (0 = two pixels to the left).
struct Tap {
    int row;
    int offset;
    std::int32_t weight;
};

struct Kernel {
    Tap taps[25];
    int count = 0;
    // Every partial sum fits into 16 bits (sum of |weights| <= 128), so the sums can be formed
    // in 16-bit lanes, twice as many per instruction, and divided in single precision exactly.
    bool narrow = false;
    std::int32_t divisor = 1;
    std::int32_t bias = 0;
};

Kernel makeKernel(const filtertype& f) {
    Kernel k;
    std::int64_t magnitude = 0;
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 5; ++column) {
            const std::int32_t w = weightAt(f, column, row);
            if (w != 0) {
                k.taps[k.count++] = Tap{row, 3 * column, w};
                magnitude += std::abs(std::int64_t(w));
            }
        }
    }
    k.narrow = magnitude * 255 <= 32767;
    k.divisor = f.divisor;
    k.bias = f.bias;
    return k;
}

constexpr int kChunk = 256; // bytes per pass: the sums of a chunk stay in the first-level cache

inline std::uint8_t toByte(std::int64_t v) {
    return std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Sums of 16-bit lanes. Single precision divides them exactly: a quotient that is not a whole
// number lies at least 1/|sum| >= 2^-15 (relative) from the next whole number, far more than
// the rounding error of 2^-24, so truncating the rounded quotient gives the integer quotient.
TESSAPLAN_VECTOR_CLONES
void filterRowNarrow(const Kernel& k, const std::uint8_t* const* rows, std::uint8_t* out,
                     std::int64_t n) {
    alignas(64) std::int16_t acc[kChunk];
    // |sum / divisor| <= 32640, so a bias beyond +-65536 saturates just the same.
    const int bias = int(std::clamp<std::int32_t>(k.bias, -65536, 65536));
    const float divisor = float(k.divisor);
    for (std::int64_t start = 0; start < n; start += kChunk) {
        const int len = int(std::min<std::int64_t>(kChunk, n - start));
        std::fill_n(acc, len, std::int16_t(0));
        for (int t = 0; t < k.count; ++t) {
            const std::uint8_t* src = rows[k.taps[t].row] + k.taps[t].offset + start;
            const auto w = std::int16_t(k.taps[t].weight);
            for (int i = 0; i < len; ++i) {
                acc[i] = std::int16_t(acc[i] + w * src[i]);
            }
        }
        std::uint8_t* dst = out + start;
        if (k.divisor == 1) {
            for (int i = 0; i < len; ++i) {
                const int v = acc[i] + bias;
                dst[i] = std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        } else {
            for (int i = 0; i < len; ++i) {
                const int v = int(float(acc[i]) / divisor) + bias;
                dst[i] = std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
}

// Any weights: 32-bit sums that wrap as two's complement, divided in double precision, which
// is exact for every 32-bit numerator by the same argument as above (2^-31 against 2^-53).
TESSAPLAN_VECTOR_CLONES
void filterRowWide(const Kernel& k, const std::uint8_t* const* rows, std::uint8_t* out,
                   std::int64_t n) {
    alignas(64) std::uint32_t acc[kChunk];
    const double divisor = double(k.divisor);
    for (std::int64_t start = 0; start < n; start += kChunk) {
        const int len = int(std::min<std::int64_t>(kChunk, n - start));
        std::fill_n(acc, len, 0u);
        for (int t = 0; t < k.count; ++t) {
            const std::uint8_t* src = rows[k.taps[t].row] + k.taps[t].offset + start;
            const auto w = std::uint32_t(k.taps[t].weight);
            for (int i = 0; i < len; ++i) {
                acc[i] += w * src[i];
            }
        }
        for (int i = 0; i < len; ++i) {
            const auto quotient = std::int64_t(double(std::int32_t(acc[i])) / divisor);
            out[start + i] = toByte(quotient + k.bias);
        }
    }
}

// Copies picture row y into a work row with two repeated edge pixels on either side.
void loadBorderedRow(const dib& di, std::int32_t y, std::uint8_t* work, std::int64_t rowBytes) {
    const std::uint8_t* src = grafikrw3::rowAt(di, y);
    std::memcpy(work + 6, src, std::size_t(rowBytes));
    const std::uint8_t* last = src + rowBytes - 3;
    for (int b = 0; b < 3; ++b) {
        work[b] = work[3 + b] = src[b];
        work[6 + rowBytes + b] = work[9 + rowBytes + b] = last[b];
    }
}

struct ReleaseBlock {
    void operator()(std::uint8_t* block) const { memory::release(block); }
};

} // namespace

OpStatus DibFilter(dib& di, const filtertype& fil, const Selection& selection,
                   const ProgressCallback& progress) {
    OpProgress bar(progress);
    const filtertype f = fil; // the caller's record may be part of the picture's owner
    if (!di.poi || DIBBitCount(di) != 24 || f.divisor == 0) {
        return OpStatus::Unchanged;
    }
    const Kernel kernel = makeKernel(f);
    const std::int32_t height = DIBHeight(di);
    const std::int64_t rowBytes = std::int64_t(DIBWidth(di)) * 3;
    const std::int64_t workBytes = rowBytes + 12;

    // Five unfiltered rows around the current one, as a ring; with a selection also one row of
    // results to pick the selected pixels from.
    const std::int64_t total = 5 * workBytes + (selection.active() ? rowBytes : 0);
    std::unique_ptr<std::uint8_t, ReleaseBlock> block(
        static_cast<std::uint8_t*>(memory::allocZeroed(std::size_t(total))));
    if (!block) {
        return OpStatus::NoMemory;
    }
    const std::uint8_t* rows[5];
    std::uint8_t* ring[5];
    for (int j = 0; j < 5; ++j) {
        ring[j] = block.get() + j * workBytes;
        loadBorderedRow(di, std::clamp(j - 2, 0, height - 1), ring[j], rowBytes);
    }
    std::uint8_t* results = block.get() + 5 * workBytes;

    walkRows(di, selection, bar, [&](std::int32_t t, const MaskRow& mask) {
        std::copy(ring, ring + 5, rows);
        std::uint8_t* target = grafikrw3::rowAt(di, t);
        std::uint8_t* out = mask.all() ? target : results;
        if (kernel.narrow) {
            filterRowNarrow(kernel, rows, out, rowBytes);
        } else {
            filterRowWide(kernel, rows, out, rowBytes);
        }
        if (!mask.all()) {
            mask.eachSelected(0, DIBWidth(di) - 1, [&](std::int32_t x) {
                std::memcpy(target + 3 * std::int64_t(x), results + 3 * std::int64_t(x), 3);
            });
        }
        // Row t is written now; the ring moves one row down. Below the last row the last row
        // repeats, from the ring, since the picture's copy is filtered by then.
        std::uint8_t* reused = ring[0];
        std::copy(ring + 1, ring + 5, ring);
        ring[4] = reused;
        if (t + 3 < height) {
            loadBorderedRow(di, t + 3, ring[4], rowBytes);
        } else {
            std::memcpy(ring[4], ring[3], std::size_t(workBytes));
        }
    });
    return OpStatus::Done;
}

} // namespace imageops
