#include "Quantize.h"

#include <algorithm>
#include <array>
#include <limits>

namespace grafikrw3 {

namespace {

constexpr int kLevels = ColourHistogram::kLevels;
constexpr int kCellShift = 3; // 8-bit channel to 5-bit box

// A box of histogram cells, both bounds included.
struct Box {
    std::array<int, 3> lo{0, 0, 0};
    std::array<int, 3> hi{kLevels - 1, kLevels - 1, kLevels - 1};
    std::uint64_t count = 0;

    bool splittable() const { return lo != hi; }
    std::uint64_t volume() const {
        return std::uint64_t(hi[0] - lo[0] + 1) * std::uint64_t(hi[1] - lo[1] + 1) *
               std::uint64_t(hi[2] - lo[2] + 1);
    }
};

template <typename Visit>
void forEachCell(const ColourHistogram& histogram, const Box& box, Visit visit) {
    for (int r = box.lo[0]; r <= box.hi[0]; ++r) {
        for (int g = box.lo[1]; g <= box.hi[1]; ++g) {
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                const ColourHistogram::Cell& cell = histogram.cell(r, g, b);
                if (cell.count != 0) {
                    visit(std::array<int, 3>{r, g, b}, cell);
                }
            }
        }
    }
}

// Tightens the box around its occupied cells and counts its pixels.
void shrink(const ColourHistogram& histogram, Box& box) {
    std::array<int, 3> lo{kLevels, kLevels, kLevels};
    std::array<int, 3> hi{-1, -1, -1};
    std::uint64_t count = 0;
    forEachCell(histogram, box, [&](const std::array<int, 3>& at, const ColourHistogram::Cell& c) {
        count += c.count;
        for (int axis = 0; axis < 3; ++axis) {
            lo[axis] = std::min(lo[axis], at[axis]);
            hi[axis] = std::max(hi[axis], at[axis]);
        }
    });
    box.count = count;
    if (count != 0) {
        box.lo = lo;
        box.hi = hi;
    }
}

// Cuts the box across its longest side where half of its pixels lie below; the box keeps the
// lower part and the upper part is returned. Both parts hold pixels because a shrunk box has
// pixels on each of its faces.
Box split(const ColourHistogram& histogram, Box& box) {
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (box.hi[a] - box.lo[a] > box.hi[axis] - box.lo[axis]) {
            axis = a;
        }
    }
    std::array<std::uint64_t, kLevels> planes{};
    forEachCell(histogram, box, [&](const std::array<int, 3>& at, const ColourHistogram::Cell& c) {
        planes[std::size_t(at[axis])] += c.count;
    });
    const std::uint64_t half = box.count / 2;
    int cut = box.lo[axis];
    std::uint64_t below = planes[std::size_t(cut)];
    while (cut < box.hi[axis] - 1 && below < half) {
        ++cut;
        below += planes[std::size_t(cut)];
    }
    Box upper = box;
    upper.lo[axis] = cut + 1;
    box.hi[axis] = cut;
    shrink(histogram, box);
    shrink(histogram, upper);
    return upper;
}

// The box to cut next: first the most populous, later the one with the most pixels times
// volume, so that sparse but wide colour ranges also get entries. -1 when none can be cut.
int boxToSplit(const std::vector<Box>& boxes, bool weighVolume) {
    int best = -1;
    std::uint64_t bestScore = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (!boxes[i].splittable()) {
            continue;
        }
        const std::uint64_t score =
            weighVolume ? boxes[i].count * boxes[i].volume() : boxes[i].count;
        if (best < 0 || score > bestScore) {
            best = int(i);
            bestScore = score;
        }
    }
    return best;
}

Rgb meanColour(const ColourHistogram& histogram, const Box& box) {
    std::uint64_t sum[3] = {0, 0, 0};
    forEachCell(histogram, box, [&](const std::array<int, 3>&, const ColourHistogram::Cell& c) {
        sum[0] += c.red;
        sum[1] += c.green;
        sum[2] += c.blue;
    });
    const std::uint64_t n = box.count;
    return Rgb{std::uint8_t((sum[0] + n / 2) / n), std::uint8_t((sum[1] + n / 2) / n),
               std::uint8_t((sum[2] + n / 2) / n)};
}

int distance(Rgb a, Rgb b) {
    const int dr = int(a.red) - int(b.red);
    const int dg = int(a.green) - int(b.green);
    const int db = int(a.blue) - int(b.blue);
    return dr * dr + dg * dg + db * db;
}

int clampChannel(int value) {
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

} // namespace

// --- ColourHistogram ---

ColourHistogram::ColourHistogram() : cells_(std::size_t(kLevels) * kLevels * kLevels) {}

void ColourHistogram::add(const std::uint8_t* rgb, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, rgb += 3) {
        Cell& c = cells_[std::size_t(
            cellIndex(rgb[0] >> kCellShift, rgb[1] >> kCellShift, rgb[2] >> kCellShift))];
        ++c.count;
        c.red += rgb[0];
        c.green += rgb[1];
        c.blue += rgb[2];
    }
}

// --- median cut ---

std::vector<Rgb> medianCutPalette(const ColourHistogram& histogram, int maxColours) {
    maxColours = std::clamp(maxColours, 1, 256);
    std::vector<Box> boxes(1);
    shrink(histogram, boxes[0]);
    if (boxes[0].count == 0) {
        return {};
    }
    while (int(boxes.size()) < maxColours) {
        const int chosen = boxToSplit(boxes, int(boxes.size()) >= maxColours / 2);
        if (chosen < 0) {
            break;
        }
        boxes.push_back(split(histogram, boxes[std::size_t(chosen)]));
    }
    std::vector<Rgb> palette;
    palette.reserve(boxes.size());
    for (const Box& box : boxes) {
        palette.push_back(meanColour(histogram, box));
    }
    return palette;
}

// --- NearestColour ---

namespace {

std::vector<Rgb> usedEntries(const LPAL& palette) {
    const std::size_t count = std::clamp<std::size_t>(palette.num, 1, 256);
    std::vector<Rgb> colours(count);
    for (std::size_t i = 0; i < count; ++i) {
        colours[i] = Rgb{palette.pal[i].peRed, palette.pal[i].peGreen, palette.pal[i].peBlue};
    }
    return colours;
}

} // namespace

NearestColour::NearestColour(std::span<const Rgb> palette)
    : palette_(palette.begin(),
               palette.begin() + std::ptrdiff_t(std::min<std::size_t>(palette.size(), 256))),
      fineStart_(std::size_t(1) << 15, kUnknown), fineCount_(std::size_t(1) << 15, 0),
      coarseStart_(std::size_t(1) << 9, kUnknown), coarseCount_(std::size_t(1) << 9, 0) {
    if (palette_.empty()) {
        palette_.push_back(Rgb{});
    }
    all_.reserve(palette_.size());
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        all_.push_back(
            Candidate{palette_[i].red, palette_[i].green, palette_[i].blue, std::uint8_t(i)});
    }
}

NearestColour::NearestColour(const LPAL& palette) : NearestColour(usedEntries(palette)) {}

// Keeps the entries whose nearest point in the box is no farther than the farthest point of
// the entry that is best in the worst case: only these can be nearest (or tie) for a colour
// in the box. A box's candidates are a subset of those of any box enclosing it, so `from` may
// be the enclosing box's list. Their order, ascending by index, is kept.
std::uint32_t NearestColour::collect(const Candidate* from, std::size_t count, const int lo[3],
                                     int shift) {
    const int span = (1 << shift) - 1;
    std::array<int, 256> nearest{};
    int bound = std::numeric_limits<int>::max();
    for (std::size_t k = 0; k < count; ++k) {
        const int value[3] = {from[k].red, from[k].green, from[k].blue};
        int near = 0;
        int far = 0;
        for (int ch = 0; ch < 3; ++ch) {
            const int outside = std::max({0, lo[ch] - value[ch], value[ch] - (lo[ch] + span)});
            const int farthest = std::max(value[ch] - lo[ch], lo[ch] + span - value[ch]);
            near += outside * outside;
            far += farthest * farthest;
        }
        nearest[k] = near;
        bound = std::min(bound, far);
    }
    const auto start = std::uint32_t(pool_.size());
    for (std::size_t k = 0; k < count; ++k) {
        if (nearest[k] <= bound) {
            pool_.push_back(from[k]);
        }
    }
    return start;
}

std::uint32_t NearestColour::collectCoarse(std::size_t cell) {
    const int lo[3] = {int(cell >> 6) << kCoarseShift, int((cell >> 3) & 7) << kCoarseShift,
                       int(cell & 7) << kCoarseShift};
    const std::uint32_t start = collect(all_.data(), all_.size(), lo, kCoarseShift);
    coarseStart_[cell] = start;
    coarseCount_[cell] = std::uint16_t(pool_.size() - start);
    return start;
}

std::uint32_t NearestColour::collectFine(std::size_t cell) {
    const int r = int(cell >> 10);
    const int g = int((cell >> 5) & 31);
    const int b = int(cell & 31);
    constexpr int kPerCoarse = kCoarseShift - kFineShift;
    const std::size_t coarse =
        std::size_t(((r >> kPerCoarse) << 6) | ((g >> kPerCoarse) << 3) | (b >> kPerCoarse));
    std::uint32_t from = coarseStart_[coarse];
    if (from == kUnknown) {
        from = collectCoarse(coarse);
    }
    // The list is read from the pool while the pool grows: make room first, so that it
    // does not move.
    const std::size_t count = coarseCount_[coarse];
    if (pool_.capacity() < pool_.size() + count) {
        pool_.reserve(std::max(pool_.size() + count, pool_.capacity() * 2));
    }
    const int lo[3] = {r << kFineShift, g << kFineShift, b << kFineShift};
    const std::uint32_t start = collect(pool_.data() + from, count, lo, kFineShift);
    fineStart_[cell] = start;
    fineCount_[cell] = std::uint16_t(pool_.size() - start);
    return start;
}

std::uint8_t nearestPaletteIndex(const LPAL& palette, Rgb colour) {
    // A single lookup: going through every entry is cheaper than building the boxes.
    const std::size_t count = std::clamp<std::size_t>(palette.num, 1, 256);
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < count; ++i) {
        const int d = distance(
            colour, Rgb{palette.pal[i].peRed, palette.pal[i].peGreen, palette.pal[i].peBlue});
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return std::uint8_t(best);
}

// --- RowDitherer ---

RowDitherer::RowDitherer(std::span<const Rgb> palette, std::int32_t width)
    : nearest_(palette), width_(std::max(width, 0)), current_(std::size_t(width_ + 2) * 3, 0),
      next_(std::size_t(width_ + 2) * 3, 0) {}

RowDitherer::RowDitherer(const LPAL& palette, std::int32_t width)
    : RowDitherer(usedEntries(palette), width) {}

void RowDitherer::ditherRow(const std::uint8_t* rgb, std::uint8_t* indexes) {
    dither<0, 2>(rgb, indexes);
}

void RowDitherer::ditherBgrRow(const std::uint8_t* bgr, std::uint8_t* indexes) {
    dither<2, 0>(bgr, indexes);
}

template <int Red, int Blue>
void RowDitherer::dither(const std::uint8_t* pixels, std::uint8_t* indexes) {
    const int step = leftToRight_ ? 1 : -1;
    std::int32_t x = leftToRight_ ? 0 : width_ - 1;
    std::int16_t* current = current_.data();
    std::int16_t* next = next_.data();
    for (std::int32_t i = 0; i < width_; ++i, x += step) {
        // Error slots: pixel x lives at x + 1, so both neighbours exist at the ends.
        std::int16_t* here = current + std::ptrdiff_t(x + 1) * 3;
        std::int16_t* ahead = here + step * 3;
        std::int16_t* below = next + std::ptrdiff_t(x + 1) * 3;
        const std::uint8_t* p = pixels + std::ptrdiff_t(x) * 3;
        // Channels in the order red, green, blue.
        const int value[3] = {clampChannel(p[Red] + (here[0] + 8) / 16),
                              clampChannel(p[1] + (here[1] + 8) / 16),
                              clampChannel(p[Blue] + (here[2] + 8) / 16)};
        const std::uint8_t index = nearest_.find(value[0], value[1], value[2]);
        indexes[x] = index;
        const Rgb& got = nearest_.colour(index);
        const int error[3] = {value[0] - got.red, value[1] - got.green, value[2] - got.blue};
        for (int ch = 0; ch < 3; ++ch) {
            // At most 16 * 255 in magnitude, so the sums fit their 16 bits.
            ahead[ch] = std::int16_t(ahead[ch] + error[ch] * 7);
            below[ch - step * 3] = std::int16_t(below[ch - step * 3] + error[ch] * 3);
            below[ch] = std::int16_t(below[ch] + error[ch] * 5);
            below[ch + step * 3] = std::int16_t(below[ch + step * 3] + error[ch]);
        }
    }
    std::swap(current_, next_);
    std::fill(next_.begin(), next_.end(), std::int16_t(0));
    leftToRight_ = !leftToRight_;
}

} // namespace grafikrw3
