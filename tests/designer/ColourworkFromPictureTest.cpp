#include "designer/ColourworkFromPicture.h"

#include "ColourBlocks.h"
#include "Pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

using colourwork::Chart;
using colourwork::Params;
using grafikrw3::Rgb;

namespace {

// Gauge 10/10: a square picture gives as many rows as stitches.
Params squareGauge(int stitches, int colours, bool dither = false) {
    Params p;
    p.stitches = stitches;
    p.stitchGauge = 10;
    p.rowGauge = 10;
    p.colours = colours;
    p.dither = dither;
    return p;
}

Rgb pixelColour(const dib& d, int x, int y) {
    const std::uint32_t v = grafikrw3::getpixel(d, x, y);
    if (DIBBitCount(d) == 24) {
        return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16)};
    }
    const RGBQUAD q = d.pmi->colors()[v];
    return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

int distance(Rgb a, Rgb b) {
    const int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
    return dr * dr + dg * dg + db * db;
}

Rgb cellRgb(const colourwork::CellColours& cells, std::size_t i) {
    return {cells.rgb[3 * i], cells.rgb[3 * i + 1], cells.rgb[3 * i + 2]};
}

// Every cell's colour index is valid, the uses add up and descend, every colour is used.
void expectWellNumbered(const Chart& chart) {
    ASSERT_EQ(chart.cells.size(), std::size_t(chart.rows) * std::size_t(chart.columns));
    ASSERT_EQ(chart.uses.size(), chart.colours.size());
    std::vector<std::uint32_t> counted(chart.colours.size(), 0);
    for (std::uint8_t i : chart.cells) {
        ASSERT_LT(i, chart.colours.size());
        ++counted[i];
    }
    EXPECT_EQ(counted, chart.uses);
    EXPECT_TRUE(std::is_sorted(chart.uses.rbegin(), chart.uses.rend()));
    EXPECT_EQ(std::count(chart.uses.begin(), chart.uses.end(), 0u), 0);
}

} // namespace

TEST(ColourworkRows, FollowThePictureAndTheGauge) {
    using colourwork::chartRows;
    // 60 stitches over a 4:3 photo at 22/30: 60 x 3/4 x 30/22 = 61.36.
    EXPECT_EQ(chartRows(4000, 3000, 60, 22, 30), 61);
    EXPECT_EQ(chartRows(1, 1, 60, 22, 30), 82); // 81.8
    EXPECT_EQ(chartRows(300, 100, 60, 10, 10), 20);
    // Ties go to the even side: 2.5 -> 2, 3.5 -> 4, 4.5 -> 4.
    EXPECT_EQ(chartRows(2, 1, 5, 10, 10), 2);
    EXPECT_EQ(chartRows(2, 1, 7, 10, 10), 4);
    EXPECT_EQ(chartRows(2, 1, 9, 10, 10), 4);
    // Gauges count in tenths: 60 x 1 x 30.5 / 22.5 = 81.33.
    EXPECT_EQ(chartRows(1, 1, 60, 22.5, 30.5), 81);
    EXPECT_EQ(chartRows(1, 1, 60, 22.54, 30.46), 81);
    // Caps: at least one row, at most 1000; stitches and gauges kept in their ranges.
    EXPECT_EQ(chartRows(1, 10, 1000, 22, 30), 1000);
    EXPECT_EQ(chartRows(1000, 1, 2, 22, 30), 1);
    EXPECT_EQ(chartRows(10, 10, 5000, 10, 10), 1000);
    EXPECT_EQ(chartRows(10, 10, 100, 0.01, 500), 1000);
    EXPECT_EQ(chartRows(0, 10, 60, 22, 30), 0);

    const Params p = colourwork::clamped({0, 0.04, 123.456, 99, true});
    EXPECT_EQ(p, (Params{2, 1.0, 100.0, 32, true}));
    EXPECT_EQ(colourwork::clamped({5000, 22.46, 30.04, 1, false}),
              (Params{1000, 22.5, 30.0, 2, false}));
}

// The averaging against a brute-force reference: every pixel cut into columns x rows
// sub-pixels, every sub-pixel added to the cell it falls into, over all depths and sizes
// that make cells smaller and larger than pixels.
class AverageCells : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(AverageCells, AreAreaWeightedMeans) {
    const auto [bits, width] = GetParam();
    const int height = width == 1 ? 1 : width + 3;
    const OwnedDib picture = patternPicture(width, height, bits);
    for (const auto& [rows, columns] : {std::pair{1, 1}, {2, 3}, {5, 4}, {7, 9}, {13, 11}}) {
        std::vector<std::uint64_t> sums(std::size_t(rows * columns) * 3, 0);
        for (int v = 0; v < height * rows; ++v) {
            for (int u = 0; u < width * columns; ++u) {
                const Rgb c = pixelColour(picture.get(), u / columns, v / rows);
                const std::size_t cell = std::size_t((v / height) * columns + u / width) * 3;
                sums[cell] += c.red;
                sums[cell + 1] += c.green;
                sums[cell + 2] += c.blue;
            }
        }
        const std::uint64_t area = std::uint64_t(width) * std::uint64_t(height);
        std::vector<std::uint8_t> expected;
        for (std::uint64_t s : sums) {
            expected.push_back(std::uint8_t((s + area / 2) / area));
        }
        const colourwork::CellColours cells =
            colourwork::averageCells(picture.get(), rows, columns);
        EXPECT_EQ(cells.rows, rows);
        EXPECT_EQ(cells.columns, columns);
        EXPECT_EQ(cells.rgb, expected) << rows << " x " << columns;
    }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndWidths, AverageCells,
                         ::testing::Combine(::testing::ValuesIn(kAllDepths),
                                            ::testing::ValuesIn(kBoundaryWidths)));

// Flat colour blocks aligned to the cells come back exactly, in exactly their cells, from
// pictures of every depth that can hold the colours, with and without dithering.
class FlatBlocks : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(FlatBlocks, GiveExactlyTheirColoursInTheirCells) {
    const auto [n, bits] = GetParam();
    constexpr int kColumns = 12, kRows = 9, kSide = 5;
    const std::vector<Rgb> colours = colourblocks::colours(n);
    std::set<std::tuple<int, int, int>> distinct;
    for (Rgb c : colours) {
        distinct.insert({c.red, c.green, c.blue});
    }
    ASSERT_EQ(distinct.size(), std::size_t(n));
    const OwnedDib picture = colourblocks::picture(kColumns, kRows, kSide, bits, n);
    for (bool dither : {false, true}) {
        const Chart chart =
            colourwork::pictureToChart(picture.get(), squareGauge(kColumns, n, dither));
        ASSERT_EQ(chart.rows, kRows);
        ASSERT_EQ(chart.columns, kColumns);
        ASSERT_EQ(chart.colours.size(), std::size_t(n));
        expectWellNumbered(chart);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                const Rgb want = colours[std::size_t(colourblocks::blockIndex(r, c, kColumns, n))];
                ASSERT_EQ(chart.colours[chart.at(r, c)], want) << r << "," << c;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ColourCounts, FlatBlocks,
                         ::testing::Values(std::tuple{2, 1}, std::tuple{2, 24}, std::tuple{6, 4},
                                           std::tuple{6, 24}, std::tuple{32, 8},
                                           std::tuple{32, 24}));

TEST(Colourwork, OnePixelPictureFillsTheChartWithItsColour) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), 1, 1, 24, nullptr, 0);
    grafikrw3::setpixel(picture.get(), 0, 0, 0x336699); // red 0x99, green 0x66, blue 0x33
    const Chart chart = colourwork::pictureToChart(picture.get(), Params{});
    EXPECT_EQ(chart.columns, 60);
    EXPECT_EQ(chart.rows, 82);
    ASSERT_EQ(chart.colours, (std::vector<Rgb>{{0x99, 0x66, 0x33}}));
    EXPECT_EQ(chart.uses, (std::vector<std::uint32_t>{60 * 82}));

    // Nothing to convert: no chart.
    EXPECT_EQ(colourwork::pictureToChart(dib{}, Params{}).rows, 0);
    EXPECT_TRUE(colourwork::reduceColours({}, 6, true).cells.empty());
}

// A picture with far more colours than asked for: the median cut's palette, each cell at its
// nearest entry.
TEST(Colourwork, ManyColoursAreReducedToRepresentatives) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), 240, 160, 24, nullptr, 0);
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 240; ++x) {
            grafikrw3::setpixel(picture.get(), x, y,
                                std::uint32_t(x + (y * 255 / 159) * 256 + ((x * y) % 256) * 65536));
        }
    }
    const Params plain = squareGauge(48, 6);
    const Chart chart = colourwork::pictureToChart(picture.get(), plain);
    ASSERT_EQ(chart.rows, 32);
    expectWellNumbered(chart);
    EXPECT_EQ(chart.colours.size(), 6u);

    const colourwork::CellColours cells = colourwork::averageCells(picture.get(), 32, 48);
    grafikrw3::ColourHistogram histogram;
    histogram.add(cells.rgb.data(), cells.rgb.size() / 3);
    const std::vector<Rgb> cut = grafikrw3::medianCutPalette(histogram, 6);
    for (Rgb c : chart.colours) {
        EXPECT_NE(std::find(cut.begin(), cut.end(), c), cut.end());
    }
    for (std::size_t i = 0; i < chart.cells.size(); ++i) {
        const Rgb want = cellRgb(cells, i);
        const int got = distance(want, chart.colours[chart.cells[i]]);
        for (Rgb c : chart.colours) {
            ASSERT_LE(got, distance(want, c)) << i;
        }
    }
}

// Dithering spreads each cell's error to its neighbours: over a gradient in three colours,
// where the nearest colours give flat bands, the columns of cells whose colour lies between
// two of the three average out close to the picture.
TEST(Colourwork, DitheringKeepsColumnMeansNearThePicture) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), 200, 100, 24, nullptr, 0);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            grafikrw3::setpixel(picture.get(), x, y, std::uint32_t(x * 255 / 199 + 100 * 65792));
        }
    }
    const colourwork::CellColours cells = colourwork::averageCells(picture.get(), 20, 40);
    const Chart plain = colourwork::pictureToChart(picture.get(), squareGauge(40, 3, false));
    const Chart spread = colourwork::pictureToChart(picture.get(), squareGauge(40, 3, true));
    ASSERT_EQ(plain.colours.size(), 3u);
    ASSERT_EQ(spread.rows, 20);
    expectWellNumbered(spread);
    auto [darkest, lightest] = std::minmax_element(plain.colours.begin(), plain.colours.end(),
                                                   [](Rgb a, Rgb b) { return a.red < b.red; });
    auto columnError = [&](const Chart& c) {
        std::int64_t error = 0;
        for (int x = 0; x < 40; ++x) {
            const int red = cellRgb(cells, std::size_t(x)).red;
            if (red < darkest->red + 8 || red > lightest->red - 8) {
                continue; // beyond the colours no mix reaches
            }
            std::int64_t sum = 0;
            for (int y = 0; y < 20; ++y) {
                const std::size_t i = std::size_t(y * 40 + x);
                sum += cellRgb(cells, i).red - c.colours[c.cells[i]].red;
            }
            error += std::abs(sum);
        }
        return error;
    };
    EXPECT_LT(columnError(spread) * 2, columnError(plain));
}

// The preview's cached steps give what the one-shot function gives, whatever changes.
TEST(Colourwork, PreviewStepsMatchTheOneShotPath) {
    const OwnedDib picture = patternPicture(97, 61, 24);
    colourwork::ColourworkFromPicture steps(picture.get());
    Params p;
    const auto check = [&] {
        const Chart& got = steps.chart(p);
        const Chart want = colourwork::pictureToChart(picture.get(), p);
        EXPECT_EQ(got.rows, steps.rowsFor(p));
        EXPECT_EQ(got.rows, want.rows);
        EXPECT_EQ(got.columns, want.columns);
        EXPECT_EQ(got.colours, want.colours);
        EXPECT_EQ(got.cells, want.cells);
    };
    check();
    p.colours = 12;
    check();
    p.dither = true;
    check();
    p.stitches = 31;
    check();
    p.rowGauge = 44; // more rows
    check();
    p.stitchGauge = 22.1; // rows unchanged: 31 x 61/97 x 44/22.1 = 38.8
    check();
    p.colours = 2;
    p.dither = false;
    check();
}
