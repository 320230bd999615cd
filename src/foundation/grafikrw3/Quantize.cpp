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
               palette.begin() + std::ptrdiff_t(std::min<std::size_t>(palette.size(), 256))) {
    if (palette_.empty()) {
        palette_.push_back(Rgb{});
    }
    all_.reserve(palette_.size());
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        all_.push_back(
            Candidate{palette_[i].red, palette_[i].green, palette_[i].blue, std::uint8_t(i)});
    }
    for (int level = 0; level < 3; ++level) {
        const std::size_t cells = std::size_t(1) << (3 * (8 - kShifts[level]));
        levels_[level].start.assign(cells, kUnknown);
        levels_[level].count.assign(cells, 0);
    }
}

NearestColour::NearestColour(const LPAL& palette) : NearestColour(usedEntries(palette)) {}

// Keeps the entries that can be nearest (or tie) for some colour in the box. Two tests, each
// passed by every such entry, with `best` the entry whose farthest point in the box is
// nearest: the entry's nearest point in the box is no farther than that, and the entry's half
// of the space between it and `best` reaches into the box. A box's candidates are a subset of
// those of any box enclosing it, so `from` may be the enclosing box's list; their order,
// ascending by index, is kept.
std::uint32_t NearestColour::collect(const Candidate* from, std::size_t count, const int lo[3],
                                     int shift) {
    const int span = (1 << shift) - 1;
    std::array<int, 256> nearest; // filled for the first `count` below
    int bound = std::numeric_limits<int>::max();
    std::size_t best = 0;
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
        if (far < bound) {
            bound = far;
            best = k;
        }
    }
    const int b[3] = {from[best].red, from[best].green, from[best].blue};
    const int bestSquare = b[0] * b[0] + b[1] * b[1] + b[2] * b[2];
    const auto start = std::uint32_t(pool_.size());
    for (std::size_t k = 0; k < count; ++k) {
        if (nearest[k] > bound) {
            continue;
        }
        // |c - e|^2 <= |c - best|^2  <=>  2 c.(best - e) <= |best|^2 - |e|^2, at the corner of
        // the box where the left side is smallest.
        const int e[3] = {from[k].red, from[k].green, from[k].blue};
        int lowest = 0;
        for (int ch = 0; ch < 3; ++ch) {
            const int w = 2 * (b[ch] - e[ch]);
            lowest += w * (w > 0 ? lo[ch] : lo[ch] + span);
        }
        if (lowest <= bestSquare - (e[0] * e[0] + e[1] * e[1] + e[2] * e[2])) {
            pool_.push_back(from[k]);
        }
    }
    return start;
}

std::uint32_t NearestColour::collectLevel(int level, std::size_t cell) {
    const int shift = kShifts[level];
    const int bits = 8 - shift;
    const int mask = (1 << bits) - 1;
    const int lo[3] = {int(cell >> (2 * bits)) << shift, (int(cell >> bits) & mask) << shift,
                       (int(cell) & mask) << shift};
    const Candidate* from = all_.data();
    std::size_t count = all_.size();
    if (level > 0) {
        const std::size_t outer = cellOf(kShifts[level - 1], lo[0], lo[1], lo[2]);
        std::uint32_t outerStart = levels_[level - 1].start[outer];
        if (outerStart == kUnknown) {
            outerStart = collectLevel(level - 1, outer);
        }
        count = levels_[level - 1].count[outer];
        // The list is read from the pool while the pool grows: make room first, so that it
        // does not move.
        if (pool_.capacity() < pool_.size() + count) {
            pool_.reserve(std::max(pool_.size() + count, pool_.capacity() * 2));
        }
        from = pool_.data() + outerStart;
    }
    const std::uint32_t start = collect(from, count, lo, shift);
    levels_[level].start[cell] = start;
    levels_[level].count[cell] = std::uint16_t(pool_.size() - start);
    return start;
}

std::uint8_t nearestPaletteIndex(const LPAL& palette, Rgb colour) {
    return NearestColour(palette).find(colour);
}

// --- RowDitherer ---

RowDitherer::RowDitherer(std::span<const Rgb> palette, std::int32_t width)
    : nearest_(palette), width_(std::max(width, 0)), current_(std::size_t(width_ + 2) * 3, 0),
      next_(std::size_t(width_ + 2) * 3, 0) {}

RowDitherer::RowDitherer(const LPAL& palette, std::int32_t width)
    : RowDitherer(usedEntries(palette), width) {}

void RowDitherer::ditherRow(const std::uint8_t* rgb, std::uint8_t* indexes) {
    if (leftToRight_) {
        dither<0, 2, 1>(rgb, indexes);
    } else {
        dither<0, 2, -1>(rgb, indexes);
    }
    finishRow();
}

void RowDitherer::ditherBgrRow(const std::uint8_t* bgr, std::uint8_t* indexes) {
    if (leftToRight_) {
        dither<2, 0, 1>(bgr, indexes);
    } else {
        dither<2, 0, -1>(bgr, indexes);
    }
    finishRow();
}

void RowDitherer::finishRow() {
    std::swap(current_, next_);
    leftToRight_ = !leftToRight_;
}

// The error passed along the row and the sums for the row below are kept in registers: each
// slot of the row below is written once, when its last share (3/16 from the pixel after it)
// is known, so the row below needs no clearing and no pixel waits for a value in memory.
template <int Red, int Blue, int Step>
void RowDitherer::dither(const std::uint8_t* pixels, std::uint8_t* indexes) {
    if (width_ <= 0) {
        return;
    }
    const std::int16_t* current = current_.data();
    std::int16_t* next = next_.data();
    int along[3] = {0, 0, 0};  // 7/16 of the previous pixel's error
    int behind[3] = {0, 0, 0}; // the slot below the previous pixel, all but this pixel's share
    int under[3] = {0, 0, 0};  // the slot below this pixel, so far
    std::int32_t x = Step > 0 ? 0 : width_ - 1;
    for (std::int32_t i = 0; i < width_; ++i, x += Step) {
        // Pixel x has slot x + 1, so that the spare slots 0 and width + 1 take what falls off.
        const std::int16_t* sums = current + std::ptrdiff_t(x + 1) * 3;
        const std::uint8_t* p = pixels + std::ptrdiff_t(x) * 3;
        const int value[3] = {clampChannel(p[Red] + (sums[0] + along[0] + 8) / 16),
                              clampChannel(p[1] + (sums[1] + along[1] + 8) / 16),
                              clampChannel(p[Blue] + (sums[2] + along[2] + 8) / 16)};
        const std::uint8_t index = nearest_.find(value[0], value[1], value[2]);
        indexes[x] = index;
        const Rgb& got = nearest_.colour(index);
        const int error[3] = {value[0] - got.red, value[1] - got.green, value[2] - got.blue};
        std::int16_t* finished = next + std::ptrdiff_t(x + 1 - Step) * 3;
        for (int ch = 0; ch < 3; ++ch) {
            // At most 9 * 255 in magnitude, so the sums fit their 16 bits.
            finished[ch] = std::int16_t(behind[ch] + 3 * error[ch]);
            behind[ch] = under[ch] + 5 * error[ch];
            under[ch] = error[ch];
            along[ch] = 7 * error[ch];
        }
    }
    std::int16_t* last = next + std::ptrdiff_t(x - Step + 1) * 3; // x is one past the last pixel
    for (int ch = 0; ch < 3; ++ch) {
        last[ch] = std::int16_t(behind[ch]);
        last[ch + 3 * Step] = std::int16_t(under[ch]);
    }
}

} // namespace grafikrw3
