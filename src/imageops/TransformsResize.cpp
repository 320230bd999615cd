#include "Transforms.h"

#include "OpProgress.h"

#include "foundation/grafikrw3/PixelRows.h"

#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Resampling in 10-bit fixed point: target column x reads source column (x * xr) >> 10 with
// xr = w * 1024 div breit, rows alike. At 4, 8 and 24 bits the rows are counted in memory order
// (bottom-up) and at 1 bit from the top, which picks different rows when a picture shrinks; the
// pictures the program already made this way stay as they were.
namespace imageops {

namespace {

using grafikrw3::PixelFormat;

struct Steps {
    std::int64_t xr = 0, yr = 0;
    std::int32_t sw = 0, sh = 0, dw = 0, dh = 0;
};

// Row `y` of a picture in memory order (0 is the bottom row).
inline const std::uint8_t* memoryRow(const dib& d, std::int64_t y) {
    return d.poi + y * d.bytew;
}
inline std::uint8_t* memoryRow(dib& d, std::int64_t y) {
    return d.poi + y * d.bytew;
}

// Nearest neighbour. Target rows that read the same source row as the row before are copies
// of it, which is most of them when a picture grows.
template <int Bits>
bool nearestRows(const dib& src, dib& dst, const Steps& s, OpProgress& progress) {
    std::vector<std::int32_t> columns(std::size_t(s.dw));
    for (std::int32_t x = 0; x < s.dw; ++x) {
        columns[std::size_t(x)] = std::int32_t((x * s.xr) >> 10);
    }
    const std::size_t rowLength = std::size_t(dst.bytew);
    // Target pixels before this one may be moved four bytes at a time: not the last of a row,
    // and reading no further than the end of the source row.
    std::int32_t wideMoves = 0;
    while (wideMoves < s.dw - 1 &&
           3 * std::int64_t(columns[std::size_t(wideMoves)]) + 4 <= src.bytew) {
        ++wideMoves;
    }
    std::int64_t previous = -1;
    for (std::int32_t y = 0; y < s.dh; ++y) {
        const std::int64_t sy = (y * s.yr) >> 10;
        // 1-bit pictures count rows from the top, the others in memory order.
        std::uint8_t* to = Bits == 1 ? grafikrw3::rowAt(dst, y) : memoryRow(dst, y);
        if (sy == previous) {
            const std::uint8_t* above =
                Bits == 1 ? grafikrw3::rowAt(dst, y - 1) : memoryRow(dst, y - 1);
            std::memcpy(to, above, rowLength);
        } else {
            const std::uint8_t* from =
                Bits == 1 ? grafikrw3::rowAt(src, std::int32_t(sy)) : memoryRow(src, sy);
            if constexpr (Bits == 24) {
                // Four-byte moves are cheaper than three-byte ones; the spare byte lands on
                // the next pixel, which is written after it. The last pixels, whose spare
                // byte would pass the end of a row, move three bytes.
                std::int32_t x = 0;
                for (; x < wideMoves; ++x) {
                    std::memcpy(to + 3 * std::int64_t(x),
                                from + 3 * std::int64_t(columns[std::size_t(x)]), 4);
                }
                for (; x < s.dw; ++x) {
                    std::memcpy(to + 3 * std::int64_t(x),
                                from + 3 * std::int64_t(columns[std::size_t(x)]), 3);
                }
            } else if constexpr (Bits == 8) {
                for (std::int32_t x = 0; x < s.dw; ++x) {
                    to[x] = from[columns[std::size_t(x)]];
                }
            } else {
                using F = PixelFormat<Bits>;
                for (std::int32_t x = 0; x < s.dw; ++x) {
                    F::put(to, x, F::get(from, columns[std::size_t(x)]));
                }
            }
            previous = sy;
        }
        if (!progress.step(y, s.dh)) {
            return false;
        }
    }
    return true;
}

// One source row interpolated across: ((1023 - wx) * left + wx * right) >> 10 per byte, which
// is what the vertical step then blends. Each source row is done once and kept while the
// target rows that need it are made.
class AcrossRows {
public:
    AcrossRows(const dib& src, const Steps& s) : src_(src), width_(std::size_t(s.dw) * 3) {
        left_.resize(std::size_t(s.dw));
        right_.resize(std::size_t(s.dw));
        weight_.resize(std::size_t(s.dw));
        for (std::int32_t x = 0; x < s.dw; ++x) {
            const std::int64_t fx = x * s.xr;
            const std::int64_t sx0 = fx >> 10;
            const std::int64_t sx1 = sx0 + 1 < s.sw ? sx0 + 1 : s.sw - 1;
            left_[std::size_t(x)] = std::int32_t(sx0 * 3);
            right_[std::size_t(x)] = std::int32_t(sx1 * 3);
            weight_[std::size_t(x)] = std::int32_t(fx & 1023);
        }
        // Pixels that may be read and written four bytes at a time: not the last one, and both
        // source pixels at least four bytes before the end of the source row.
        while (wide_ + 1 < left_.size() && right_[wide_] + 4 <= src.bytew) {
            ++wide_;
        }
        for (auto& slot : slots_) {
            slot.bytes.resize(width_);
        }
    }

    const std::uint8_t* row(std::int64_t sy) {
        for (auto& slot : slots_) {
            if (slot.row == sy) {
                return slot.bytes.data();
            }
        }
        // Rows are asked for in rising order, so the slot with the lower row is done with.
        Slot& slot = slots_[0].row < slots_[1].row ? slots_[0] : slots_[1];
        slot.row = sy;
        fill(memoryRow(src_, sy), slot.bytes.data());
        return slot.bytes.data();
    }

private:
    void fill(const std::uint8_t* from, std::uint8_t* to) const {
        std::size_t x = 0;
#if defined(__SSE2__)
        // Two target pixels at a time: each one's left and right source pixels interleaved
        // as 16-bit pairs and multiplied with (1023 - wx, wx) in one step. The fourth byte of
        // each result is the next pixel's, written after it.
        auto load4 = [](const std::uint8_t* p) {
            std::int32_t v;
            std::memcpy(&v, p, 4);
            return _mm_cvtsi32_si128(v);
        };
        auto store4 = [](std::uint8_t* p, __m128i v) {
            const std::int32_t bytes = _mm_cvtsi128_si32(v);
            std::memcpy(p, &bytes, 4);
        };
        const __m128i zero = _mm_setzero_si128();
        for (; x + 1 < wide_; x += 2) {
            const __m128i a =
                _mm_unpacklo_epi32(load4(from + left_[x]), load4(from + left_[x + 1]));
            const __m128i b =
                _mm_unpacklo_epi32(load4(from + right_[x]), load4(from + right_[x + 1]));
            const __m128i ab = _mm_unpacklo_epi8(a, b);
            const __m128i w0 = _mm_set1_epi32(std::int32_t(std::uint32_t(weight_[x]) << 16 |
                                                           (1023u - std::uint32_t(weight_[x]))));
            const __m128i w1 = _mm_set1_epi32(std::int32_t(
                std::uint32_t(weight_[x + 1]) << 16 | (1023u - std::uint32_t(weight_[x + 1]))));
            const __m128i s0 = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(ab, zero), w0), 10);
            const __m128i s1 = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(ab, zero), w1), 10);
            const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(s0, s1), zero);
            store4(to + 3 * x, bytes);
            store4(to + 3 * x + 3, _mm_srli_si128(bytes, 4));
        }
#endif
        for (; x < left_.size(); ++x) {
            const std::uint8_t* a = from + left_[x];
            const std::uint8_t* b = from + right_[x];
            const std::int32_t wx = weight_[x];
            const std::int32_t wl = 1023 - wx;
            to[3 * x] = std::uint8_t((wl * a[0] + wx * b[0]) >> 10);
            to[3 * x + 1] = std::uint8_t((wl * a[1] + wx * b[1]) >> 10);
            to[3 * x + 2] = std::uint8_t((wl * a[2] + wx * b[2]) >> 10);
        }
    }

    struct Slot {
        std::int64_t row = -1;
        std::vector<std::uint8_t> bytes;
    };
    const dib& src_;
    std::size_t width_;
    std::vector<std::int32_t> left_, right_, weight_;
    std::size_t wide_ = 0;
    Slot slots_[2];
};

// ((1023 - wy) * top + wy * bottom) >> 10 for `n` bytes.
void blendDown(const std::uint8_t* top, const std::uint8_t* bottom, std::int32_t wy,
               std::uint8_t* out, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Pairs of (top, bottom) as 16-bit values times the pair (1023 - wy, wy), summed to 32 bits.
    const __m128i weights = _mm_set1_epi32(std::int32_t(std::uint32_t(wy) << 16 | (1023u - wy)));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + i));
        const __m128i lo = _mm_unpacklo_epi8(t, b); // t0 b0 t1 b1 ... as bytes
        const __m128i hi = _mm_unpackhi_epi8(t, b);
        const __m128i s0 = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), weights), 10);
        const __m128i s1 = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), weights), 10);
        const __m128i s2 = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), weights), 10);
        const __m128i s3 = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), weights), 10);
        const __m128i words = _mm_packs_epi32(s0, s1); // every sum is at most 255
        const __m128i words2 = _mm_packs_epi32(s2, s3);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(words, words2));
    }
#endif
    const std::int32_t wt = 1023 - wy;
    for (; i < n; ++i) {
        out[i] = std::uint8_t((wt * top[i] + wy * bottom[i]) >> 10);
    }
}

bool bilinearRows(const dib& src, dib& dst, const Steps& s, OpProgress& progress) {
    AcrossRows across(src, s);
    const std::size_t n = std::size_t(s.dw) * 3;
    for (std::int32_t y = 0; y < s.dh; ++y) {
        const std::int64_t fy = y * s.yr;
        const std::int64_t sy0 = fy >> 10;
        const std::int64_t sy1 = sy0 + 1 < s.sh ? sy0 + 1 : s.sh - 1;
        const std::uint8_t* top = across.row(sy0);
        const std::uint8_t* bottom = across.row(sy1);
        blendDown(top, bottom, std::int32_t(fy & 1023), memoryRow(dst, y), n);
        if (!progress.step(y, s.dh)) {
            return false;
        }
    }
    return true;
}

} // namespace

OwnedDib Resize(const dib& di, const ResizeParams& p, const ProgressCallback& progress) {
    // A size below one pixel would divide by zero below; the dialog never offers one.
    if (!di.poi || p.breit < 1 || p.hoch < 1) {
        return {};
    }
    OwnedDib result = newPictureLike(di, p.breit, p.hoch);
    if (!result) {
        return {};
    }
    Steps s;
    s.sw = DIBWidth(di);
    s.sh = DIBHeight(di);
    s.dw = p.breit;
    s.dh = p.hoch;
    s.xr = std::int64_t(s.sw) * 1024 / s.dw;
    s.yr = std::int64_t(s.sh) * 1024 / s.dh;

    const int bits = DIBBitCount(di);
    OpProgress rows(progress);
    bool finished = false;
    if (bits == 24 && p.interpol && s.dw >= s.sw && s.dh >= s.sh) {
        finished = bilinearRows(di, result.get(), s, rows);
    } else {
        grafikrw3::forDepth(bits, [&](auto format) {
            finished = nearestRows<decltype(format)::bits>(di, result.get(), s, rows);
        });
    }
    return finished ? std::move(result) : OwnedDib();
}

} // namespace imageops
