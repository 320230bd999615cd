#include "designer/ColourworkFromPicture.h"

#include "ColourBlocks.h"
#include "Pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

using colourwork::Chart;
using colourwork::Params;
using grafikrw3::Rgb;

namespace {

Rgb rgbAt(const std::vector<std::uint8_t>& rgb, std::size_t i) {
    return {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
}

int distance(Rgb a, Rgb b) {
    const int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
    return dr * dr + dg * dg + db * db;
}

// Every colour used, "Farbe 1" the most used, the uses adding up.
void expectNumberedByUse(const Chart& chart) {
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
    EXPECT_EQ(chartRows(4000, 3000, 60, 22, 30), 61); // 60 x 3/4 x 30/22 = 61.4
    EXPECT_EQ(chartRows(1, 1, 60, 22, 30), 82);       // 81.8
    EXPECT_EQ(chartRows(1, 1, 60, 22.54, 30.46), 81); // tenths: 60 x 30.5 / 22.5 = 81.3
    // Ties go to the even side: 2.5 -> 2, 3.5 -> 4.
    EXPECT_EQ(chartRows(2, 1, 5, 10, 10), 2);
    EXPECT_EQ(chartRows(2, 1, 7, 10, 10), 4);
    // At least one row, at most 1000; stitches and gauges kept in their ranges.
    EXPECT_EQ(chartRows(1, 10, 1000, 22, 30), 1000);
    EXPECT_EQ(chartRows(1000, 1, 2, 22, 30), 1);
    EXPECT_EQ(chartRows(10, 10, 100, 0.01, 500), 1000);
    EXPECT_EQ(chartRows(0, 10, 60, 22, 30), 0);
    EXPECT_EQ(colourwork::clamped({0, 0.04, 123.4, 99, true}), (Params{2, 1.0, 100.0, 32, true}));
    EXPECT_EQ(colourwork::clamped({5000, 22.46, 30.04, 1, false}),
              (Params{1000, 22.5, 30.0, 2, false}));
}

// Against a brute-force reference: every pixel cut into columns x rows sub-pixels, each
// sub-pixel added to the cell it falls into; cells smaller and larger than pixels, all depths.
class AverageCells : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(AverageCells, AreAreaWeightedMeans) {
    const auto [bits, width] = GetParam();
    const int height = width == 1 ? 1 : width + 3;
    const OwnedDib picture = patternPicture(width, height, bits);
    auto colourOf = [&](int x, int y) {
        const std::uint32_t v = grafikrw3::getpixel(picture.get(), x, y);
        if (bits == 24) {
            return Rgb{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16)};
        }
        const RGBQUAD q = picture->pmi->colors()[v];
        return Rgb{q.rgbRed, q.rgbGreen, q.rgbBlue};
    };
    for (const auto& [rows, columns] : {std::pair{1, 1}, {2, 3}, {5, 4}, {7, 9}, {13, 11}}) {
        std::vector<std::uint64_t> sums(std::size_t(rows * columns) * 3, 0);
        for (int v = 0; v < height * rows; ++v) {
            for (int u = 0; u < width * columns; ++u) {
                const Rgb c = colourOf(u / columns, v / rows);
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
        const auto cells = colourwork::averageCells(picture.get(), rows, columns);
        EXPECT_EQ(std::pair(cells.rows, cells.columns), std::pair(rows, columns));
        EXPECT_EQ(cells.rgb, expected) << rows << " x " << columns;
    }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndWidths, AverageCells,
                         ::testing::Combine(::testing::ValuesIn(kAllDepths),
                                            ::testing::ValuesIn(kBoundaryWidths)));

// Flat colour blocks aligned to the cells come back exactly, in exactly their cells, with and
// without dithering, from every depth that can hold the colours; two of them share a box of
// the median cut.
class FlatBlocks : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(FlatBlocks, GiveExactlyTheirColoursInTheirCells) {
    const auto [n, bits] = GetParam();
    constexpr int kColumns = 12, kRows = 9;
    const std::vector<Rgb> colours = colourblocks::colours(n);
    const OwnedDib picture = colourblocks::picture(kColumns, kRows, 5, bits, n);
    for (bool dither : {false, true}) {
        const Chart chart =
            colourwork::pictureToChart(picture.get(), {kColumns, 10, 10, n, dither});
        ASSERT_EQ(std::pair(chart.rows, chart.columns), std::pair(kRows, kColumns));
        ASSERT_EQ(chart.colours.size(), std::size_t(n));
        expectNumberedByUse(chart);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                ASSERT_EQ(chart.colours[chart.at(r, c)],
                          colours[std::size_t(colourblocks::blockIndex(r, c, kColumns, n))]);
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
    grafikrw3::setpixel(picture.get(), 0, 0, 0x336699);
    const Chart chart = colourwork::pictureToChart(picture.get(), Params{});
    EXPECT_EQ(std::pair(chart.rows, chart.columns), std::pair(82, 60));
    EXPECT_EQ(chart.colours, (std::vector<Rgb>{{0x99, 0x66, 0x33}}));
    EXPECT_EQ(chart.uses, (std::vector<std::uint32_t>{60 * 82}));
    EXPECT_EQ(colourwork::pictureToChart(dib{}, Params{}).rows, 0);
}

// A gradient of many colours in three: the median cut's representatives, every cell at the
// nearest one, which makes flat bands; dithering spreads the error, so that the columns whose
// colour lies between two representatives average out close to the picture.
TEST(Colourwork, ManyColoursAreReducedToRepresentatives) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), 200, 100, 24, nullptr, 0);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            grafikrw3::setpixel(picture.get(), x, y, std::uint32_t(x * 255 / 199 + 100 * 65792));
        }
    }
    const auto cells = colourwork::averageCells(picture.get(), 20, 40);
    grafikrw3::ColourHistogram histogram;
    histogram.add(cells.rgb.data(), 800);
    const std::vector<Rgb> cut = grafikrw3::medianCutPalette(histogram, 3);
    const Chart plain = colourwork::pictureToChart(picture.get(), {40, 10, 10, 3, false});
    const Chart spread = colourwork::pictureToChart(picture.get(), {40, 10, 10, 3, true});
    expectNumberedByUse(plain);
    expectNumberedByUse(spread);
    ASSERT_EQ(plain.colours.size(), 3u);
    for (std::size_t i = 0; i < 800; ++i) {
        ASSERT_NE(std::find(cut.begin(), cut.end(), plain.colours[plain.cells[i]]), cut.end());
        for (Rgb c : cut) {
            ASSERT_LE(distance(rgbAt(cells.rgb, i), plain.colours[plain.cells[i]]),
                      distance(rgbAt(cells.rgb, i), c));
        }
    }
    const auto [darkest, lightest] =
        std::minmax_element(cut.begin(), cut.end(), [](Rgb a, Rgb b) { return a.red < b.red; });
    auto columnError = [&](const Chart& chart) {
        std::int64_t error = 0;
        for (int x = 0; x < 40; ++x) {
            const int red = cells.rgb[std::size_t(x) * 3 + 3 * 40 * 10];
            if (red < darkest->red + 8 || red > lightest->red - 8) {
                continue; // no mix reaches beyond the outer colours
            }
            std::int64_t sum = 0;
            for (std::size_t i = std::size_t(x); i < 800; i += 40) {
                sum += cells.rgb[3 * i] - chart.colours[chart.cells[i]].red;
            }
            error += std::abs(sum);
        }
        return error;
    };
    EXPECT_LT(columnError(spread) * 2, columnError(plain));
}

// The preview's kept steps give what the one-shot path gives, whatever changes.
TEST(Colourwork, PreviewStepsMatchTheOneShotPath) {
    const OwnedDib picture = patternPicture(97, 61, 24);
    colourwork::ColourworkFromPicture steps(picture.get());
    for (const Params& p : {Params{}, Params{60, 22, 30, 12, false}, Params{60, 22, 30, 12, true},
                            Params{31, 22, 30, 12, true}, Params{31, 22, 44, 12, true},
                            Params{31, 22.1, 44, 12, true}, Params{31, 22.1, 44, 2, false}}) {
        const Chart& got = steps.chart(p);
        const Chart want = colourwork::pictureToChart(picture.get(), p);
        EXPECT_EQ(got.rows, steps.rowsFor(p));
        EXPECT_EQ(std::tie(got.rows, got.columns, got.colours, got.cells),
                  std::tie(want.rows, want.columns, want.colours, want.cells));
    }
}
