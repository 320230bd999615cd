// The one nearest-colour search against an exhaustive search, over every 24-bit colour.
#include "foundation/grafikrw3/Quantize.h"
#include "imageops/Palettes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using grafikrw3::Rgb;

int squaredDistance(Rgb a, Rgb b) {
    const int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
    return dr * dr + dg * dg + db * db;
}

int bruteForce(const std::vector<Rgb>& palette, Rgb c) {
    int best = 0;
    for (int i = 1; i < int(palette.size()); ++i) {
        if (squaredDistance(c, palette[std::size_t(i)]) <
            squaredDistance(c, palette[std::size_t(best)])) {
            best = i;
        }
    }
    return best;
}

// The exhaustive answer for all colours of one red at a time, without trying every entry for
// every colour. Each entry i scores 256 * (squared distance) + i: the smallest score over all
// entries is the nearest entry with the lowest index among equals, and that index is the score
// mod 256. The score splits into a part for red and green, taken entry by entry, and a
// parabola in blue, whose minimum over the entries' blue values is the lower envelope of those
// parabolas (computed exactly in integers).
class ExhaustiveNearest {
public:
    explicit ExhaustiveNearest(const std::vector<Rgb>& palette) : palette_(palette) {
        for (const Rgb& c : palette_) {
            blues_.push_back(c.blue);
        }
        std::sort(blues_.begin(), blues_.end());
        blues_.erase(std::unique(blues_.begin(), blues_.end()), blues_.end());
    }

    // out[green * 256 + blue] = nearest index for (red, green, blue).
    void plane(int red, std::vector<std::uint8_t>& out) const {
        const std::size_t k = blues_.size();
        std::vector<std::int64_t> score(256 * k, INT64_MAX);
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            const Rgb c = palette_[i];
            const std::size_t slot = std::size_t(
                std::lower_bound(blues_.begin(), blues_.end(), c.blue) - blues_.begin());
            for (int g = 0; g < 256; ++g) {
                const std::int64_t s =
                    256 * ((red - c.red) * (red - c.red) + (g - c.green) * (g - c.green)) +
                    std::int64_t(i);
                score[std::size_t(g) * k + slot] = std::min(score[std::size_t(g) * k + slot], s);
            }
        }
        out.resize(65536);
        std::vector<std::size_t> hull(k);
        std::vector<std::int64_t> fromNum(k + 1), fromDen(k + 1);
        for (int g = 0; g < 256; ++g) {
            const std::int64_t* f = &score[std::size_t(g) * k];
            // Parabola j: f[j] + 256 (b - q_j)^2. It lies below its predecessor on the hull from
            // (lifted_j - lifted_v) / (512 (q_j - q_v)) on.
            auto lifted = [&](std::size_t j) {
                return f[j] + 256 * std::int64_t(blues_[j]) * blues_[j];
            };
            std::size_t top = 0;
            hull[0] = 0;
            for (std::size_t j = 1; j < k; ++j) {
                std::int64_t num = 0, den = 1;
                while (true) {
                    const std::size_t v = hull[top];
                    num = lifted(j) - lifted(v);
                    den = 512 * (std::int64_t(blues_[j]) - blues_[v]);
                    if (top > 0 && num * fromDen[top] <= fromNum[top] * den) {
                        --top; // the predecessor is nowhere lowest
                        continue;
                    }
                    break;
                }
                ++top;
                hull[top] = j;
                fromNum[top] = num;
                fromDen[top] = den;
            }
            std::size_t at = 0;
            for (int b = 0; b < 256; ++b) {
                while (at < top && fromNum[at + 1] < b * fromDen[at + 1]) {
                    ++at;
                }
                const std::size_t j = hull[at];
                const std::int64_t d = b - blues_[j];
                out[std::size_t(g) * 256 + std::size_t(b)] =
                    std::uint8_t((f[j] + 256 * d * d) & 255);
            }
        }
    }

private:
    std::vector<Rgb> palette_;
    std::vector<int> blues_;
};

std::vector<Rgb> randomPalette(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Rgb> palette(256);
    for (Rgb& c : palette) {
        c = Rgb{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random())};
    }
    palette[200] = palette[17]; // a twin: the lower index wins
    return palette;
}

class NearestColourEverywhere : public testing::TestWithParam<int> {};

std::vector<Rgb> paletteFor(int which) {
    switch (which) {
    case 0:
        return {imageops::StdPal16.begin(), imageops::StdPal16.end()};
    case 1:
        return {imageops::StdPal256.begin(), imageops::StdPal256.end()};
    default:
        return randomPalette(4711);
    }
}

TEST_P(NearestColourEverywhere, EqualsTheExhaustiveSearchForEveryColour) {
    const std::vector<Rgb> palette = paletteFor(GetParam());
    const ExhaustiveNearest reference(palette);

    // The reference itself against the plain search, on a sample.
    std::mt19937 random(99);
    std::vector<std::uint8_t> plane;
    for (int red : {0, 37, 128, 255}) {
        reference.plane(red, plane);
        for (int n = 0; n < 3000; ++n) {
            const int g = int(random() & 255), b = int(random() & 255);
            const Rgb c{std::uint8_t(red), std::uint8_t(g), std::uint8_t(b)};
            ASSERT_EQ(plane[std::size_t(g * 256 + b)], bruteForce(palette, c));
        }
    }

    grafikrw3::NearestColour nearest(palette);
    std::size_t wrong = 0;
    for (int r = 0; r < 256; ++r) {
        reference.plane(r, plane);
        for (int g = 0; g < 256; ++g) {
            for (int b = 0; b < 256; ++b) {
                wrong += nearest.find(r, g, b) != plane[std::size_t(g * 256 + b)];
            }
        }
    }
    EXPECT_EQ(wrong, 0u);
}

INSTANTIATE_TEST_SUITE_P(StandardAndRandom, NearestColourEverywhere, testing::Values(0, 1, 2),
                         [](const auto& info) {
                             return std::string(info.param == 0   ? "StdPal16"
                                                : info.param == 1 ? "StdPal256"
                                                                  : "Random256");
                         });

TEST(NearestColour, LogicalPaletteUsesItsEntriesInUse) {
    LPAL pal{};
    pal.ver = 0x300;
    pal.num = 3;
    pal.pal[0] = PALETTEENTRY{0, 0, 0, 0};
    pal.pal[1] = PALETTEENTRY{200, 0, 0, 0};
    pal.pal[2] = PALETTEENTRY{200, 0, 0, 0};
    pal.pal[3] = PALETTEENTRY{255, 0, 0, 0}; // beyond num: never chosen
    grafikrw3::NearestColour nearest(pal);
    EXPECT_EQ(nearest.find(Rgb{255, 0, 0}), 1);
    EXPECT_EQ(grafikrw3::nearestPaletteIndex(pal, Rgb{255, 0, 0}), 1);
    EXPECT_EQ(grafikrw3::nearestPaletteIndex(pal, Rgb{90, 0, 0}), 0);
    pal.num = 0; // nothing in use: entry 0 stands alone
    EXPECT_EQ(grafikrw3::NearestColour(pal).find(Rgb{255, 0, 0}), 0);
    // The standard 16 colours: pure red is entry 9.
    EXPECT_EQ(grafikrw3::NearestColour(
                  std::vector<Rgb>(imageops::StdPal16.begin(), imageops::StdPal16.end()))
                  .find(Rgb{255, 0, 0}),
              9);
}

} // namespace
