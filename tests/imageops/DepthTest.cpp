#include "Pictures.h"
#include "TestSupport.h"

#include "foundation/DibCopy.h"
#include "foundation/Random.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "imageops/Depth.h"
#include "imageops/Palettes.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using grafikrw3::Rgb;
using imageops::DepthDownParams;
using imageops::DepthMethod;
using imageops::OpStatus;

// Every pixel's colour, top row first.
std::vector<Rgb> coloursOf(const dib& d) {
    std::vector<Rgb> out;
    for (int y = 0; y < DIBHeight(d); ++y) {
        for (int x = 0; x < DIBWidth(d); ++x) {
            const std::uint32_t v = grafikrw3::getpixel(d, x, y);
            if (DIBBitCount(d) == 24) {
                out.push_back(Rgb{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16)});
            } else {
                const PALETTEENTRY e = d.pal.pal[v];
                out.push_back(Rgb{e.peRed, e.peGreen, e.peBlue});
            }
        }
    }
    return out;
}

std::vector<Rgb> paletteOf(const dib& d) {
    std::vector<Rgb> colours;
    for (std::uint32_t i = 0; i < DIBColorTableSize(d); ++i) {
        colours.push_back(Rgb{d.pal.pal[i].peRed, d.pal.pal[i].peGreen, d.pal.pal[i].peBlue});
        const RGBQUAD q = d.pmi->colors()[i];
        EXPECT_EQ(colours.back(), (Rgb{q.rgbRed, q.rgbGreen, q.rgbBlue})) << "entry " << i;
    }
    return colours;
}

int nearestByHand(const std::vector<Rgb>& palette, int r, int g, int b) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < int(palette.size()); ++i) {
        const Rgb c = palette[std::size_t(i)];
        const int d =
            (r - c.red) * (r - c.red) + (g - c.green) * (g - c.green) + (b - c.blue) * (b - c.blue);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

// Error diffusion as the conversion is defined: serpentine rows, two error rows of W + 2 sums
// in sixteenths, the next row's sums stored in reverse, (sum + 8) / 16 truncated.
std::vector<int> diffusedByHand(const std::vector<Rgb>& pixels, int w, int h,
                                const std::vector<Rgb>& palette) {
    std::vector<std::array<int, 3>> current(std::size_t(w + 2)), next(std::size_t(w + 2));
    std::vector<int> out(pixels.size());
    for (int t = 0; t < h; ++t) {
        for (int i = 0; i < w; ++i) {
            const int x = t % 2 == 0 ? i : w - 1 - i;
            const Rgb p = pixels[std::size_t(t * w + x)];
            const int source[3] = {p.red, p.green, p.blue};
            int value[3];
            for (int ch = 0; ch < 3; ++ch) {
                value[ch] =
                    std::clamp(source[ch] + (current[std::size_t(i + 1)][ch] + 8) / 16, 0, 255);
            }
            const int index = nearestByHand(palette, value[0], value[1], value[2]);
            out[std::size_t(t * w + x)] = index;
            const Rgb e = palette[std::size_t(index)];
            const int entry[3] = {e.red, e.green, e.blue};
            for (int ch = 0; ch < 3; ++ch) {
                const int error = value[ch] - entry[ch];
                current[std::size_t(i + 2)][ch] += 7 * error;
                next[std::size_t(w - i + 1)][ch] += 3 * error;
                next[std::size_t(w - i)][ch] += 5 * error;
                next[std::size_t(w - i - 1)][ch] += error;
            }
        }
        std::swap(current, next);
        next.assign(std::size_t(w + 2), {0, 0, 0});
    }
    return out;
}

std::vector<int> indexesOf(const dib& d) {
    std::vector<int> out;
    for (const auto& row : pixelValues(d)) {
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// A picture with a 256-colour palette of its own whose pixels use every entry.
OwnedDib colourfulEightBit(int width, int height) {
    OwnedDib d = patternPicture(width, height, 8);
    for (int i = 0; i < 256; ++i) {
        d->pal.pal[i] =
            PALETTEENTRY{std::uint8_t(i * 37), std::uint8_t(255 - i), std::uint8_t(i * 11), 0};
        d->pmi->colors()[i] =
            RGBQUAD{std::uint8_t(i * 11), std::uint8_t(255 - i), std::uint8_t(i * 37), 0};
    }
    return d;
}

class DepthAtWidth : public testing::TestWithParam<int> {};

TEST_P(DepthAtWidth, RaisingKeepsEveryColourAndAddsOnlyRandomEntries) {
    const int width = GetParam();
    programrandom::seed(5);
    for (const int from : {1, 4, 8}) {
        for (const int to : {4, 8, 24}) {
            if (to <= from) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << from << " -> " << to);
            OwnedDib picture = patternPicture(width, 3, from);
            const std::vector<Rgb> before = coloursOf(picture.get());
            const auto indexes = pixelValues(picture.get());
            ASSERT_EQ(imageops::DepthUpTo(picture.get(), to), OpStatus::Done);
            ASSERT_EQ(DIBBitCount(picture.get()), to);
            EXPECT_EQ(coloursOf(picture.get()), before);
            if (to == 24) {
                continue;
            }
            const std::vector<Rgb> palette = paletteOf(picture.get());
            const int last = (1 << to) - 1;
            for (std::size_t i = 0; i < palette.size(); ++i) {
                const bool kept = from == 1 ? (i == 0 || int(i) == last) : i < (1u << from);
                if (!kept) {
                    EXPECT_EQ(palette[i].red % 4 + palette[i].green % 4 + palette[i].blue % 4, 0);
                }
            }
            // Indexes stay; a 1-bit picture's white moves to the last entry.
            auto expected = indexes;
            for (auto& row : expected) {
                for (auto& v : row) {
                    v = from == 1 && v == 1 ? std::uint32_t(last) : v;
                }
            }
            EXPECT_EQ(pixelValues(picture.get()), expected);
        }
    }
}

TEST_P(DepthAtWidth, RoundTripThroughEveryDepthKeepsColoursThePaletteHolds) {
    const int width = GetParam();
    for (const DepthMethod method : {DepthMethod::Nearest, DepthMethod::ErrorDiffusion}) {
        SCOPED_TRACE(int(method));
        OwnedDib picture = patternPicture(width, 4, 1);
        const std::vector<Rgb> blackAndWhite = coloursOf(picture.get());
        for (const int to : {4, 8, 24}) {
            ASSERT_EQ(imageops::DepthUpTo(picture.get(), to), OpStatus::Done);
        }
        for (const int to : {8, 4, 1}) {
            const DepthDownParams params{to, method, false, false, 64};
            ASSERT_EQ(imageops::DepthDownTo(picture.get(), params), OpStatus::Done);
            ASSERT_EQ(DIBBitCount(picture.get()), to);
            EXPECT_EQ(coloursOf(picture.get()), blackAndWhite) << "down to " << to;
        }

        // The sixteen standard colours survive 4 -> 8 -> 24 -> 8 -> 4.
        OwnedDib sixteen = patternPicture(width, 4, 4);
        imageops::setPaletteEntries(sixteen.get(), imageops::StdPal16);
        const std::vector<Rgb> before = coloursOf(sixteen.get());
        ASSERT_EQ(imageops::DepthUpTo(sixteen.get(), 8), OpStatus::Done);
        ASSERT_EQ(imageops::DepthUpTo(sixteen.get(), 24), OpStatus::Done);
        ASSERT_EQ(imageops::DepthDownTo(sixteen.get(), {8, method, false, false, 64}),
                  OpStatus::Done);
        ASSERT_EQ(imageops::DepthDownTo(sixteen.get(), {4, method, false, false, 64}),
                  OpStatus::Done);
        EXPECT_EQ(coloursOf(sixteen.get()), before);
    }
}

TEST_P(DepthAtWidth, LoweringMatchesTheDefinitionPixelForPixel) {
    const int width = GetParam();
    for (const int height : {1, 2, 5}) {
        struct Case {
            int from;
            DepthDownParams params;
        };
        const Case cases[] = {
            {24, {1, DepthMethod::ErrorDiffusion, true, true, 64}},
            {24, {4, DepthMethod::ErrorDiffusion, false, true, 64}},
            {24, {8, DepthMethod::ErrorDiffusion, false, true, 64}},
            {24, {8, DepthMethod::ErrorDiffusion, true, true, 256}},
            {24, {0, DepthMethod::ErrorDiffusion, true, false, 40}},
            {24, {4, DepthMethod::Nearest, false, true, 64}},
            {24, {8, DepthMethod::Nearest, true, false, 64}},
            {8, {4, DepthMethod::ErrorDiffusion, true, true, 64}},
            {8, {4, DepthMethod::Nearest, false, true, 64}},
            {8, {1, DepthMethod::OrderedDither, true, true, 64}}, // no cube: error diffusion
            {4, {1, DepthMethod::ErrorDiffusion, true, true, 64}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "height " << height << ", " << c.from << " -> "
                                            << c.params.nbpp << " method " << int(c.params.method));
            OwnedDib picture = c.from == 8 ? colourfulEightBit(width, height)
                                           : patternPicture(width, height, c.from);
            const std::vector<Rgb> source = coloursOf(picture.get());
            ASSERT_EQ(imageops::DepthDownTo(picture.get(), c.params), OpStatus::Done);
            ASSERT_EQ(DIBBitCount(picture.get()), imageops::depthDownTarget(c.params));
            ASSERT_EQ(DIBWidth(picture.get()), width);
            const std::vector<Rgb> palette = paletteOf(picture.get());
            std::vector<int> expected;
            if (c.params.method == DepthMethod::Nearest) {
                for (const Rgb& p : source) {
                    expected.push_back(nearestByHand(palette, p.red, p.green, p.blue));
                }
            } else {
                expected = diffusedByHand(source, width, height, palette);
            }
            EXPECT_EQ(indexesOf(picture.get()), expected);
        }
    }
}

TEST_P(DepthAtWidth, OrderedDitherFollowsTheMatrixAndTheCube) {
    const int width = GetParam();
    const int height = 11;
    OwnedDib picture = patternPicture(width, height, 24);
    grafikrw3::setpixel(picture.get(), 0, 0, 51 | (102 << 8) | (153 << 16));
    const std::vector<Rgb> source = coloursOf(picture.get());
    ASSERT_EQ(
        imageops::DepthDownTo(picture.get(), {8, DepthMethod::OrderedDither, false, true, 64}),
        OpStatus::Done);
    EXPECT_EQ(paletteOf(picture.get()),
              std::vector<Rgb>(imageops::StdPal256.begin(), imageops::StdPal256.end()));
    std::vector<int> expected;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int t = imageops::DitherMatrix8[std::size_t((x % 8) * 8 + (height - 1 - y) % 8)];
            const Rgb p = source[std::size_t(y * width + x)];
            auto level = [t](int v) { return v / 51 + (t < v % 51 ? 1 : 0); };
            expected.push_back(imageops::CubeToPalette[std::size_t(
                level(p.red) + 6 * level(p.green) + 36 * level(p.blue))]);
        }
    }
    EXPECT_EQ(indexesOf(picture.get()), expected);
    // No remainder, no dither: exactly the cube colour.
    EXPECT_EQ(imageops::StdPal256[std::size_t(expected[0])], (Rgb{51, 102, 153}));
}

INSTANTIATE_TEST_SUITE_P(BoundaryWidths, DepthAtWidth, testing::ValuesIn(kBoundaryWidths));

TEST(Depth, CubeTableNamesTheExactColourOrItsStandIn) {
    int standIns = 0;
    for (int i = 0; i < 216; ++i) {
        const Rgb cube{std::uint8_t(51 * (i % 6)), std::uint8_t(51 * (i / 6 % 6)),
                       std::uint8_t(51 * (i / 36))};
        const Rgb entry = imageops::StdPal256[imageops::CubeToPalette[std::size_t(i)]];
        if (entry != cube) {
            ++standIns;
            EXPECT_TRUE(entry == (Rgb{0, 255, 0}) || entry == (Rgb{0, 0, 255}));
        }
    }
    EXPECT_EQ(standIns, 4);
    EXPECT_EQ(imageops::CubeToPalette[1 + 6 * 5], 250);  // (51, 255, 0)
    EXPECT_EQ(imageops::CubeToPalette[1 + 36 * 5], 252); // (51, 0, 255)
}

TEST(Depth, OneBitByBrightness) {
    OwnedDib grey = patternPicture(2, 1, 24);
    grafikrw3::setpixel(grey.get(), 0, 0, 128 | (128 << 8) | (128 << 16));
    grafikrw3::setpixel(grey.get(), 1, 0, 127 | (128 << 8) | (128 << 16));
    ASSERT_EQ(imageops::DepthDownTo(grey.get(), {1, DepthMethod::Nearest, true, true, 64}),
              OpStatus::Done);
    EXPECT_EQ(pixelValues(grey.get()), (std::vector<std::vector<std::uint32_t>>{{1, 0}}));

    // Palette pictures weigh the channels: (0, 255, 0) is bright, (255, 0, 255) is not.
    OwnedDib eight = patternPicture(2, 1, 8);
    eight->pal.pal[3] = PALETTEENTRY{0, 255, 0, 0};
    eight->pal.pal[4] = PALETTEENTRY{255, 0, 255, 0};
    grafikrw3::setpixel(eight.get(), 0, 0, 3);
    grafikrw3::setpixel(eight.get(), 1, 0, 4);
    ASSERT_EQ(imageops::DepthDownTo(eight.get(), {1, DepthMethod::Nearest, true, true, 64}),
              OpStatus::Done);
    EXPECT_EQ(pixelValues(eight.get()), (std::vector<std::vector<std::uint32_t>>{{1, 0}}));
}

TEST(Depth, OptimisedPalettesOrderByFrequencyAndFillUp) {
    // 10 pixels of (250, 250, 250), 5 of (40, 90, 0), 1 of (1, 2, 3).
    OwnedDib picture = patternPicture(16, 1, 24);
    for (int x = 0; x < 16; ++x) {
        const std::uint32_t v = x < 10   ? 0xfafafa
                                : x < 15 ? (40 | 90 << 8)
                                         : (1 | 2 << 8 | 3 << 16);
        grafikrw3::setpixel(picture.get(), x, 0, v);
    }
    // 16 colours: lower corners of 32-wide bins, never white; the rest of the table repeats
    // the most frequent colour when fewer are asked for.
    OwnedDib sixteen(copyDib(picture.get()));
    ASSERT_EQ(imageops::DepthDownTo(sixteen.get(), {0, DepthMethod::Nearest, true, false, 5}),
              OpStatus::Done);
    std::vector<Rgb> palette = paletteOf(sixteen.get());
    EXPECT_EQ(palette[0], (Rgb{224, 224, 224}));
    EXPECT_EQ(palette[1], (Rgb{32, 64, 0}));
    EXPECT_EQ(palette[2], (Rgb{0, 0, 0}));
    for (std::size_t i = 5; i < 16; ++i) {
        EXPECT_EQ(palette[i], palette[0]);
    }
    // 256 colours with the system colours: 22 leave entries 12...245 black.
    ASSERT_EQ(imageops::DepthDownTo(picture.get(), {0, DepthMethod::Nearest, true, true, 22}),
              OpStatus::Done);
    palette = paletteOf(picture.get());
    EXPECT_EQ(palette[10], (Rgb{240, 240, 240}));
    EXPECT_EQ(palette[11], (Rgb{32, 80, 0}));
    for (std::size_t i = 0; i < 256; ++i) {
        if (i < 10 || i > 245) {
            EXPECT_EQ(palette[i], imageops::StdPal256[i]) << i;
        } else if (i > 11) {
            EXPECT_EQ(palette[i], Rgb{}) << i;
        }
    }
}

TEST(Depth, CountersAreHalvedBeforeTheyOverflow) {
    // 3 x B, then 65536 x A (the last raise halves everything: B drops to 1), then 2 x C.
    OwnedDib picture = patternPicture(65541, 1, 24);
    for (int x = 0; x < 65541; ++x) {
        const std::uint32_t v = x < 3 ? 0x000040 : x < 65539 ? 0x004000 : 0x400000;
        grafikrw3::setpixel(picture.get(), x, 0, v);
    }
    const auto palette = imageops::OptPalette(picture.get(), 3, 4);
    ASSERT_TRUE(palette);
    EXPECT_EQ(*palette, (std::vector<Rgb>{{0, 64, 0}, {0, 0, 64}, {64, 0, 0}}));
}

TEST(Depth, UnsupportedShortOfMemoryOrStoppedLeavesThePictureAlone) {
    OwnedDib picture = patternPicture(9, 4, 8);
    const std::vector<std::uint8_t> before = pixelBytes(picture.get());
    const BITMAPINFO* header = picture->pmi;
    EXPECT_EQ(imageops::DepthUpTo(picture.get(), 4), OpStatus::Unchanged);
    EXPECT_EQ(imageops::DepthDownTo(picture.get(), {8, DepthMethod::Nearest, true, true, 64}),
              OpStatus::Unchanged);
    EXPECT_EQ(imageops::DepthDownTo(picture.get(), {0, DepthMethod::Nearest, true, true, 17}),
              OpStatus::Unchanged); // more than 16 colours from 8 bits
    {
        AllocationFailure noMemory(1);
        EXPECT_EQ(imageops::DepthUpTo(picture.get(), 24), OpStatus::NoMemory);
        EXPECT_EQ(imageops::DepthDownTo(picture.get(), {4, DepthMethod::Nearest, true, true, 64}),
                  OpStatus::NoMemory);
    }
    const ProgressCallback stop = [](int) { return false; };
    EXPECT_EQ(imageops::DepthUpTo(picture.get(), 24, stop), OpStatus::Stopped);
    EXPECT_EQ(
        imageops::DepthDownTo(picture.get(), {4, DepthMethod::Nearest, false, true, 64}, stop),
        OpStatus::Stopped);
    EXPECT_EQ(picture->pmi, header);
    EXPECT_EQ(pixelBytes(picture.get()), before);
    EXPECT_FALSE(imageops::depthFailureText(OpStatus::NoMemory).isEmpty());
    EXPECT_EQ(imageops::lastColour(4), 15u);
    EXPECT_EQ(imageops::lastColour(24), 0xffffffu);
}

TEST(Depth, OneBitPictureWithItsOwnTwoColoursKeepsThem) {
    OwnedDib picture = patternPicture(9, 2, 1);
    picture->pal.pal[0] = PALETTEENTRY{255, 255, 255, 0}; // white on black, the other way round
    picture->pal.pal[1] = PALETTEENTRY{0, 0, 128, 0};
    const std::vector<Rgb> before = coloursOf(picture.get());
    ASSERT_EQ(imageops::DepthUpTo(picture.get(), 24), OpStatus::Done);
    EXPECT_EQ(coloursOf(picture.get()), before);
}

} // namespace
