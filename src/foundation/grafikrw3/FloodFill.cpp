#include "grafikrw3.h"

#include "PixelRows.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace grafikrw3 {

namespace {

using Word = std::uint64_t;
constexpr int kWordBits = 64;

// 1-bit picture rows keep the leftmost pixel in the most significant bit; the grower keeps it
// in bit 0 of 64-bit words, so that runs are found with a count of trailing zeros.
constexpr std::array<std::uint8_t, 256> kReversed = [] {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        int r = 0;
        for (int b = 0; b < 8; ++b) {
            r |= ((i >> b) & 1) << (7 - b);
        }
        table[std::size_t(i)] = std::uint8_t(r);
    }
    return table;
}();

bool fitsPicture(const dib& mask, const dib& picture) {
    return mask.poi && DIBBitCount(mask) == 1 && DIBWidth(mask) == DIBWidth(picture) &&
           DIBHeight(mask) == DIBHeight(picture);
}

// Grows the area row span by row span. Whether a pixel lies within the tolerance is worked out
// for a whole row the first time the area reaches it, so a small fill in a large picture reads
// few rows and a large one reads each pixel once.
class RegionGrower {
public:
    RegionGrower(const dib& picture, const dib* limit, std::int32_t tolerance)
        : picture_(picture), limit_(limit), width_(DIBWidth(picture)), height_(DIBHeight(picture)),
          bits_(DIBBitCount(picture)),
          wordsPerRow_(std::size_t(width_ + kWordBits - 1) / kWordBits), tolerance_(tolerance) {}

    void grow(std::int32_t x, std::int32_t y) {
        const std::size_t words = wordsPerRow_ * std::size_t(height_);
        inside_.assign(words, 0);
        done_.assign(words, 0);
        ready_.assign(std::size_t(height_), 0);
        makeTables(getpixel(picture_, x, y));

        std::vector<std::pair<std::int32_t, std::int32_t>> seeds{{x, y}};
        while (!seeds.empty()) {
            const auto [sx, sy] = seeds.back();
            seeds.pop_back();
            ensureRow(sy);
            const Word* in = insideRow(sy);
            Word* dn = doneRow(sy);
            if (!availableAt(in, dn, sx)) {
                continue;
            }
            const std::int32_t xl = runStart(in, dn, sx);
            const std::int32_t xr = runEnd(in, dn, sx);
            setBits(dn, xl, xr);
            bounds_.left = std::min(bounds_.left, xl);
            bounds_.right = std::max(bounds_.right, xr);
            bounds_.top = std::min(bounds_.top, sy);
            bounds_.bottom = std::max(bounds_.bottom, sy);
            for (const std::int32_t ny : {sy - 1, sy + 1}) {
                if (ny < 0 || ny >= height_) {
                    continue;
                }
                ensureRow(ny);
                const Word* nin = insideRow(ny);
                const Word* ndn = doneRow(ny);
                for (std::int32_t from = xl; from <= xr;) {
                    const std::int32_t start = firstAvailable(nin, ndn, from, xr);
                    if (start > xr) {
                        break;
                    }
                    seeds.emplace_back(start, ny);
                    from = runEnd(nin, ndn, start) + 2;
                }
            }
        }
    }

    FillBounds bounds() const { return bounds_.right < bounds_.left ? FillBounds{} : bounds_; }

    // Writes the area into the 1-bit picture `work`, which is cleared first.
    void store(dib& work) const {
        std::memset(work.poi, 0, std::size_t(height_) * std::size_t(work.bytew));
        if (bounds_.right < bounds_.left) {
            return;
        }
        const std::size_t rowBytes = std::size_t(width_ + 7) / 8;
        for (std::int32_t y = bounds_.top; y <= bounds_.bottom; ++y) {
            const Word* dn = doneRow(y);
            std::uint8_t* out = rowAt(work, y);
            for (std::size_t k = 0; k < rowBytes; ++k) {
                out[k] = kReversed[(dn[k / 8] >> (8 * (k % 8))) & 0xffu];
            }
        }
    }

private:
    void makeTables(std::uint32_t start) {
        const int t = tolerance_;
        auto near = [t](int a, int b) { return std::abs(a - b) <= t; };
        if (bits_ == 24) {
            const int r0 = int(start & 0xff), g0 = int((start >> 8) & 0xff),
                      b0 = int((start >> 16) & 0xff);
            for (int c = 0; c < 256; ++c) {
                red_[std::size_t(c)] = near(c, r0);
                green_[std::size_t(c)] = near(c, g0);
                blue_[std::size_t(c)] = near(c, b0);
            }
            return;
        }
        const RGBQUAD* colors = picture_.pmi->colors();
        const std::uint32_t entries = DIBColorTableSize(picture_);
        const RGBQUAD s = start < entries ? colors[start] : RGBQUAD{};
        index_.fill(0);
        for (std::uint32_t i = 0; i < entries; ++i) {
            const RGBQUAD& c = colors[i];
            index_[i] = i == start || (near(c.rgbRed, s.rgbRed) && near(c.rgbGreen, s.rgbGreen) &&
                                       near(c.rgbBlue, s.rgbBlue));
        }
    }

    const Word* insideRow(std::int32_t y) const {
        return inside_.data() + std::size_t(y) * wordsPerRow_;
    }
    Word* doneRow(std::int32_t y) { return done_.data() + std::size_t(y) * wordsPerRow_; }
    const Word* doneRow(std::int32_t y) const {
        return done_.data() + std::size_t(y) * wordsPerRow_;
    }

    void ensureRow(std::int32_t y) {
        if (ready_[std::size_t(y)]) {
            return;
        }
        ready_[std::size_t(y)] = 1;
        Word* out = inside_.data() + std::size_t(y) * wordsPerRow_;
        const std::uint8_t* row = rowAt(picture_, y);
        if (bits_ == 24) {
            for (std::size_t w = 0; w < wordsPerRow_; ++w) {
                const std::int32_t x0 = std::int32_t(w) * kWordBits;
                const int n = std::min(kWordBits, width_ - x0);
                const std::uint8_t* p = row + std::size_t(x0) * 3;
                Word acc = 0;
                for (int b = 0; b < n; ++b, p += 3) {
                    acc |= Word(blue_[p[0]] & green_[p[1]] & red_[p[2]]) << b;
                }
                out[w] = acc;
            }
        } else {
            forDepth(bits_, [&](auto format) {
                using Format = decltype(format);
                for (std::size_t w = 0; w < wordsPerRow_; ++w) {
                    const std::int32_t x0 = std::int32_t(w) * kWordBits;
                    const int n = std::min(kWordBits, width_ - x0);
                    Word acc = 0;
                    for (int b = 0; b < n; ++b) {
                        acc |= Word(index_[Format::get(row, x0 + b)]) << b;
                    }
                    out[w] = acc;
                }
            });
        }
        if (limit_) {
            const std::uint8_t* m = rowAt(*limit_, y);
            const std::size_t rowBytes = std::size_t(width_ + 7) / 8;
            for (std::size_t k = 0; k < rowBytes; k += 8) {
                Word bitsOfLimit = 0;
                for (std::size_t j = 0; j < 8 && k + j < rowBytes; ++j) {
                    bitsOfLimit |= Word(kReversed[m[k + j]]) << (8 * j);
                }
                out[k / 8] &= bitsOfLimit;
            }
        }
    }

    static Word available(const Word* in, const Word* dn, std::size_t w) { return in[w] & ~dn[w]; }

    static bool availableAt(const Word* in, const Word* dn, std::int32_t x) {
        return (available(in, dn, std::size_t(x) / kWordBits) >> (x % kWordBits)) & 1u;
    }

    // First pixel of the available run that holds x.
    static std::int32_t runStart(const Word* in, const Word* dn, std::int32_t x) {
        std::size_t w = std::size_t(x) / kWordBits;
        const int b = x % kWordBits;
        Word gaps = ~available(in, dn, w) & (b == 0 ? 0 : ~Word(0) >> (kWordBits - b));
        while (gaps == 0) {
            if (w == 0) {
                return 0;
            }
            gaps = ~available(in, dn, --w);
        }
        return std::int32_t(w * kWordBits) + (kWordBits - 1 - std::countl_zero(gaps)) + 1;
    }

    // Last pixel of the available run that holds x (padding bits are never available).
    std::int32_t runEnd(const Word* in, const Word* dn, std::int32_t x) const {
        std::size_t w = std::size_t(x) / kWordBits;
        const int b = x % kWordBits;
        Word gaps = ~available(in, dn, w) & (b == kWordBits - 1 ? 0 : ~Word(0) << (b + 1));
        while (gaps == 0) {
            if (++w == wordsPerRow_) {
                return width_ - 1;
            }
            gaps = ~available(in, dn, w);
        }
        return std::int32_t(w * kWordBits) + std::countr_zero(gaps) - 1;
    }

    // First available pixel at or after `from`, or a value above `last` when none up to it.
    std::int32_t firstAvailable(const Word* in, const Word* dn, std::int32_t from,
                                std::int32_t last) const {
        std::size_t w = std::size_t(from) / kWordBits;
        Word a = available(in, dn, w) & (~Word(0) << (from % kWordBits));
        const std::size_t lastWord = std::size_t(last) / kWordBits;
        while (a == 0) {
            if (++w > lastWord) {
                return last + 1;
            }
            a = available(in, dn, w);
        }
        return std::int32_t(w * kWordBits) + std::countr_zero(a);
    }

    static void setBits(Word* row, std::int32_t first, std::int32_t last) {
        const std::size_t w0 = std::size_t(first) / kWordBits;
        const std::size_t w1 = std::size_t(last) / kWordBits;
        const Word head = ~Word(0) << (first % kWordBits);
        const Word tail = ~Word(0) >> (kWordBits - 1 - last % kWordBits);
        if (w0 == w1) {
            row[w0] |= head & tail;
            return;
        }
        row[w0] |= head;
        for (std::size_t w = w0 + 1; w < w1; ++w) {
            row[w] = ~Word(0);
        }
        row[w1] |= tail;
    }

    const dib& picture_;
    const dib* limit_;
    const std::int32_t width_;
    const std::int32_t height_;
    const int bits_;
    const std::size_t wordsPerRow_;
    const std::int32_t tolerance_;
    std::vector<Word> inside_;
    std::vector<Word> done_;
    std::vector<std::uint8_t> ready_;
    std::array<std::uint8_t, 256> red_{}, green_{}, blue_{}, index_{};
    FillBounds bounds_{INT32_MAX, INT32_MAX, -1, -1};
};

} // namespace

bool fillRegion(const dib& picture, std::int32_t x, std::int32_t y, std::int32_t tolerance,
                const dib* limit, dib& work, FillBounds* bounds) {
    if (!picture.poi || !isSupportedBitCount(DIBBitCount(picture)) || !fitsPicture(work, picture) ||
        (limit && !fitsPicture(*limit, picture))) {
        return false;
    }
    if (bounds) {
        *bounds = FillBounds{};
    }
    if (x < 0 || y < 0 || x >= DIBWidth(picture) || y >= DIBHeight(picture)) {
        std::memset(work.poi, 0, std::size_t(DIBHeight(work)) * std::size_t(work.bytew));
        return true;
    }
    try {
        RegionGrower grower(picture, limit, tolerance < 0 ? 0 : tolerance);
        grower.grow(x, y);
        grower.store(work);
        if (bounds) {
            *bounds = grower.bounds();
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace grafikrw3
