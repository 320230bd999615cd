#include "ColourworkFromPicture.h"

#include "foundation/grafikrw3/PixelRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace colourwork {

namespace {

std::int64_t tenths(double gauge) {
    return std::llround(std::clamp(gauge, kMinGauge, kMaxGauge) * 10.0);
}

// Where one chart column takes its pixels from. Measured in 1/columns of a pixel, pixel x
// covers [x * columns, (x + 1) * columns) and column c covers [c * width, (c + 1) * width), so
// every overlap is a whole number and the weights of a column add up to the picture's width.
struct Span {
    std::int32_t first = 0;  // first pixel
    std::int32_t count = 0;  // pixels
    std::size_t weights = 0; // index of the first pixel's weight
};

void planSpans(std::int64_t pixels, std::int64_t cells, std::vector<Span>& spans,
               std::vector<std::uint32_t>& weights) {
    spans.resize(std::size_t(cells));
    weights.clear();
    weights.reserve(std::size_t(pixels + cells));
    for (std::int64_t c = 0; c < cells; ++c) {
        const std::int64_t lo = c * pixels;
        const std::int64_t hi = lo + pixels;
        const std::int64_t first = lo / cells;
        const std::int64_t last = (hi - 1) / cells;
        spans[std::size_t(c)] = {std::int32_t(first), std::int32_t(last - first + 1),
                                 weights.size()};
        for (std::int64_t x = first; x <= last; ++x) {
            weights.push_back(
                std::uint32_t(std::min((x + 1) * cells, hi) - std::max(x * cells, lo)));
        }
    }
}

// Converts one palette row to blue, green, red bytes, the layout of 24-bit rows.
template <class Format>
void expandRow(const std::uint8_t* row, std::int32_t width, const std::array<RGBQUAD, 256>& table,
               std::uint8_t* bgr) {
    for (std::int32_t x = 0; x < width; ++x, bgr += 3) {
        const RGBQUAD& q = table[Format::get(row, x) & 0xffu];
        bgr[0] = q.rgbBlue;
        bgr[1] = q.rgbGreen;
        bgr[2] = q.rgbRed;
    }
}

// The distinct colours of `rgb` in order of first appearance, or nothing when there are more
// than `limit`.
std::vector<grafikrw3::Rgb> exactColours(const std::vector<std::uint8_t>& rgb, int limit) {
    std::vector<std::uint32_t> seen;
    std::uint32_t last = 0xffffffffu; // no colour
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        const std::uint32_t colour =
            std::uint32_t(rgb[i]) << 16 | std::uint32_t(rgb[i + 1]) << 8 | rgb[i + 2];
        if (colour == last) {
            continue; // flat areas repeat the same colour
        }
        last = colour;
        if (std::find(seen.begin(), seen.end(), colour) == seen.end()) {
            if (int(seen.size()) == limit) {
                return {};
            }
            seen.push_back(colour);
        }
    }
    std::vector<grafikrw3::Rgb> colours;
    for (std::uint32_t c : seen) {
        colours.push_back({std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
    }
    return colours;
}

} // namespace

Params clamped(Params p) {
    p.stitches = std::clamp(p.stitches, kMinStitches, kMaxStitches);
    p.stitchGauge = double(tenths(p.stitchGauge)) / 10.0;
    p.rowGauge = double(tenths(p.rowGauge)) / 10.0;
    p.colours = std::clamp(p.colours, kMinColours, kMaxColours);
    return p;
}

std::int32_t chartRows(std::int32_t pictureWidth, std::int32_t pictureHeight, std::int32_t stitches,
                       double stitchGauge, double rowGauge) {
    if (pictureWidth < 1 || pictureHeight < 1) {
        return 0;
    }
    // Whole numbers throughout, so that a tie is seen as one and goes to the even side.
    const std::int64_t numerator =
        std::int64_t(std::clamp(stitches, 1, kMaxStitches)) * pictureHeight * tenths(rowGauge);
    const std::int64_t denominator = std::int64_t(pictureWidth) * tenths(stitchGauge);
    std::int64_t rows = numerator / denominator;
    const std::int64_t twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && rows % 2 != 0)) {
        ++rows;
    }
    return std::int32_t(std::clamp<std::int64_t>(rows, 1, kMaxRows));
}

CellColours averageCells(const dib& picture, std::int32_t rows, std::int32_t columns) {
    CellColours out;
    const std::int32_t width = DIBWidth(picture);
    const std::int32_t height = DIBHeight(picture);
    const int bits = DIBBitCount(picture);
    if (!picture.poi || width < 1 || height < 1 || rows < 1 || columns < 1 ||
        !isSupportedBitCount(bits)) {
        return out;
    }

    std::vector<Span> across;
    std::vector<std::uint32_t> acrossWeights;
    planSpans(width, columns, across, acrossWeights);

    std::array<RGBQUAD, 256> table{};
    const std::uint32_t tableSize = std::min<std::uint32_t>(DIBColorTableSize(picture), 256);
    std::copy_n(picture.pmi->colors(), tableSize, table.begin());
    std::vector<std::uint8_t> expanded(bits == 24 ? 0 : std::size_t(width) * 3);

    // Blue, green, red sums: `line` for one picture row per column, weighted across; `sums` per
    // cell, weighted down as well. Both weights together make width x height per cell.
    const std::size_t cellCount = std::size_t(rows) * std::size_t(columns);
    std::vector<std::uint64_t> line(std::size_t(columns) * 3);
    std::vector<std::uint64_t> sums(cellCount * 3, 0);

    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = grafikrw3::rowAt(picture, y);
        if (bits != 24) {
            grafikrw3::forDepth(bits, [&](auto format) {
                expandRow<decltype(format)>(row, width, table, expanded.data());
            });
            row = expanded.data();
        }
        for (std::int32_t c = 0; c < columns; ++c) {
            const Span& span = across[std::size_t(c)];
            const std::uint8_t* p = row + std::size_t(span.first) * 3;
            const std::uint32_t* w = acrossWeights.data() + span.weights;
            std::uint64_t b = 0, g = 0, r = 0;
            for (std::int32_t k = 0; k < span.count; ++k, p += 3) {
                b += std::uint64_t(w[k]) * p[0];
                g += std::uint64_t(w[k]) * p[1];
                r += std::uint64_t(w[k]) * p[2];
            }
            line[std::size_t(c) * 3] = b;
            line[std::size_t(c) * 3 + 1] = g;
            line[std::size_t(c) * 3 + 2] = r;
        }
        // The chart rows this picture row lies under, by the same measure as across.
        const std::int64_t top = std::int64_t(y) * rows;
        const std::int64_t bottom = top + rows;
        for (std::int64_t r = top / height; r <= (bottom - 1) / height; ++r) {
            const std::uint64_t weight =
                std::uint64_t(std::min(bottom, (r + 1) * height) - std::max(top, r * height));
            std::uint64_t* target = sums.data() + std::size_t(r) * std::size_t(columns) * 3;
            for (std::size_t i = 0; i < line.size(); ++i) {
                target[i] += weight * line[i];
            }
        }
    }

    const std::uint64_t total = std::uint64_t(width) * std::uint64_t(height);
    out.rows = rows;
    out.columns = columns;
    out.rgb.resize(cellCount * 3);
    for (std::size_t i = 0; i < cellCount; ++i) {
        for (int ch = 0; ch < 3; ++ch) {
            out.rgb[i * 3 + std::size_t(ch)] =
                std::uint8_t((sums[i * 3 + std::size_t(2 - ch)] + total / 2) / total);
        }
    }
    return out;
}

Chart reduceColours(const CellColours& cells, int colours, bool dither) {
    Chart chart;
    const std::size_t count =
        std::size_t(std::max(cells.rows, 0)) * std::size_t(std::max(cells.columns, 0));
    if (count == 0 || cells.rgb.size() != count * 3) {
        return chart;
    }
    colours = std::clamp(colours, 1, 256);
    std::vector<grafikrw3::Rgb> palette = exactColours(cells.rgb, colours);
    // With the exact colours there is no error to spread.
    const bool spread = dither && palette.empty();
    if (palette.empty()) {
        grafikrw3::ColourHistogram histogram;
        histogram.add(cells.rgb.data(), count);
        palette = grafikrw3::medianCutPalette(histogram, colours);
    }

    std::vector<std::uint8_t> index(count);
    if (spread) {
        grafikrw3::RowDitherer ditherer(palette, cells.columns);
        for (std::int32_t r = 0; r < cells.rows; ++r) {
            const std::size_t first = std::size_t(r) * std::size_t(cells.columns);
            ditherer.ditherRow(cells.rgb.data() + first * 3, index.data() + first);
        }
    } else {
        grafikrw3::NearestColour nearest(palette);
        for (std::size_t i = 0; i < count; ++i) {
            index[i] = nearest.find({cells.rgb[i * 3], cells.rgb[i * 3 + 1], cells.rgb[i * 3 + 2]});
        }
    }

    // Number the colours by use, the most used first; entries no cell took are dropped.
    std::vector<std::uint32_t> uses(palette.size(), 0);
    for (std::uint8_t i : index) {
        ++uses[i];
    }
    std::vector<std::size_t> order(palette.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return uses[a] > uses[b]; });
    std::vector<std::uint8_t> renumbered(palette.size());
    for (std::size_t k = 0; k < order.size() && uses[order[k]] != 0; ++k) {
        renumbered[order[k]] = std::uint8_t(k);
        chart.colours.push_back(palette[order[k]]);
        chart.uses.push_back(uses[order[k]]);
    }
    for (std::uint8_t& i : index) {
        i = renumbered[i];
    }
    chart.rows = cells.rows;
    chart.columns = cells.columns;
    chart.cells = std::move(index);
    return chart;
}

Chart pictureToChart(const dib& picture, const Params& params) {
    const Params p = clamped(params);
    const std::int32_t rows =
        chartRows(DIBWidth(picture), DIBHeight(picture), p.stitches, p.stitchGauge, p.rowGauge);
    return reduceColours(averageCells(picture, rows, p.stitches), p.colours, p.dither);
}

std::int32_t ColourworkFromPicture::rowsFor(const Params& params) const {
    const Params p = clamped(params);
    return chartRows(DIBWidth(picture_), DIBHeight(picture_), p.stitches, p.stitchGauge,
                     p.rowGauge);
}

const Chart& ColourworkFromPicture::chart(const Params& params) {
    const Params p = clamped(params);
    const std::int32_t rows = rowsFor(p);
    if (cells_.rows != rows || cells_.columns != p.stitches) {
        cells_ = averageCells(picture_, rows, p.stitches);
        haveChart_ = false;
    }
    // The gauge alone changes nothing once the rows are the same.
    if (!haveChart_ || p.colours != last_.colours || p.dither != last_.dither) {
        chart_ = reduceColours(cells_, p.colours, p.dither);
        last_ = p;
        haveChart_ = true;
    }
    return chart_;
}

} // namespace colourwork
