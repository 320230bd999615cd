#include "Quantize.h"

#include <algorithm>
#include <array>
#include <limits>

namespace grafikrw3 {

namespace {

constexpr int kLevels = ColourHistogram::kLevels;
constexpr int kCellShift = 3; // 8-bit channel to 5-bit box
constexpr std::uint32_t kUnknown = std::numeric_limits<std::uint32_t>::max();

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

// Rounded division of an error in sixteenths.
int sixteenths(std::int32_t value) {
    return value >= 0 ? (value + 8) / 16 : -((-value + 8) / 16);
}

std::uint8_t clampChannel(int value) {
    return std::uint8_t(std::clamp(value, 0, 255));
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

NearestColour::NearestColour(std::span<const Rgb> palette)
    : palette_(palette.begin(),
               palette.begin() + std::ptrdiff_t(std::min<std::size_t>(palette.size(), 256))),
      start_(std::size_t(kLevels) * kLevels * kLevels, kUnknown),
      count_(std::size_t(kLevels) * kLevels * kLevels, 0) {
    if (palette_.empty()) {
        palette_.push_back(Rgb{});
    }
}

// Keeps the entries whose nearest point in the box is no farther than the farthest point of
// the entry that is best in the worst case: only these can win for a colour in the box.
void NearestColour::collectCandidates(int cell) {
    const int lo[3] = {(cell / (kLevels * kLevels)) << kCellShift,
                       ((cell / kLevels) % kLevels) << kCellShift, (cell % kLevels) << kCellShift};
    constexpr int kSpan = (1 << kCellShift) - 1;
    std::array<int, 256> nearest{};
    int bound = std::numeric_limits<int>::max();
    for (std::size_t e = 0; e < palette_.size(); ++e) {
        const int value[3] = {palette_[e].red, palette_[e].green, palette_[e].blue};
        int near = 0;
        int far = 0;
        for (int ch = 0; ch < 3; ++ch) {
            const int outside = std::max({0, lo[ch] - value[ch], value[ch] - (lo[ch] + kSpan)});
            const int farthest = std::max(value[ch] - lo[ch], lo[ch] + kSpan - value[ch]);
            near += outside * outside;
            far += farthest * farthest;
        }
        nearest[e] = near;
        bound = std::min(bound, far);
    }
    start_[std::size_t(cell)] = std::uint32_t(pool_.size());
    for (std::size_t e = 0; e < palette_.size(); ++e) {
        if (nearest[e] <= bound) {
            pool_.push_back(std::uint8_t(e));
        }
    }
    count_[std::size_t(cell)] = std::uint16_t(pool_.size() - start_[std::size_t(cell)]);
}

std::uint8_t NearestColour::find(Rgb colour) {
    const int cell = ColourHistogram::cellIndex(
        colour.red >> kCellShift, colour.green >> kCellShift, colour.blue >> kCellShift);
    if (start_[std::size_t(cell)] == kUnknown) {
        collectCandidates(cell);
    }
    const std::uint8_t* candidates = pool_.data() + start_[std::size_t(cell)];
    const int n = count_[std::size_t(cell)];
    std::uint8_t best = candidates[0];
    int bestDistance = distance(colour, palette_[best]);
    for (int k = 1; k < n; ++k) {
        const int d = distance(colour, palette_[candidates[k]]);
        if (d < bestDistance) { // candidates ascend, so ties keep the lower index
            best = candidates[k];
            bestDistance = d;
        }
    }
    return best;
}

// --- RowDitherer ---

RowDitherer::RowDitherer(std::span<const Rgb> palette, std::int32_t width)
    : nearest_(palette), palette_(palette.begin(), palette.end()), width_(std::max(width, 0)),
      current_(std::size_t(width_ + 2) * 3, 0), next_(std::size_t(width_ + 2) * 3, 0) {
    if (palette_.empty()) {
        palette_.push_back(Rgb{});
    }
}

void RowDitherer::ditherRow(const std::uint8_t* rgb, std::uint8_t* indexes) {
    const int step = leftToRight_ ? 1 : -1;
    std::int32_t x = leftToRight_ ? 0 : width_ - 1;
    for (std::int32_t i = 0; i < width_; ++i, x += step) {
        // Error slots: pixel x lives at x + 1, so both neighbours exist at the ends.
        const std::size_t here = std::size_t(x + 1) * 3;
        const std::size_t ahead = std::size_t(x + 1 + step) * 3;
        const std::size_t behind = std::size_t(x + 1 - step) * 3;
        int wanted[3];
        for (int ch = 0; ch < 3; ++ch) {
            wanted[ch] = clampChannel(int(rgb[3 * x + ch]) + sixteenths(current_[here + ch]));
        }
        const std::uint8_t index = nearest_.find(
            Rgb{std::uint8_t(wanted[0]), std::uint8_t(wanted[1]), std::uint8_t(wanted[2])});
        indexes[x] = index;
        const Rgb got = palette_[index];
        const int error[3] = {wanted[0] - got.red, wanted[1] - got.green, wanted[2] - got.blue};
        for (int ch = 0; ch < 3; ++ch) {
            current_[ahead + ch] += error[ch] * 7;
            next_[behind + ch] += error[ch] * 3;
            next_[here + ch] += error[ch] * 5;
            next_[ahead + ch] += error[ch];
        }
    }
    std::swap(current_, next_);
    std::fill(next_.begin(), next_.end(), 0);
    leftToRight_ = !leftToRight_;
}

} // namespace grafikrw3
