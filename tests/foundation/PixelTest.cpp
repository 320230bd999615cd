#include "Pictures.h"

#include <gtest/gtest.h>

using namespace grafikrw3;

namespace {

// Independent packing of one pixel into bottom-up rows, as the picture layout defines it.
void packPixel(std::vector<std::uint8_t>& buffer, int stride, int height, int bits, int x, int y,
               std::uint32_t value) {
    const std::size_t row = std::size_t(height - 1 - y) * std::size_t(stride);
    switch (bits) {
    case 1:
        if (value) {
            buffer[row + std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
        }
        break;
    case 4:
        buffer[row + std::size_t(x / 2)] |= std::uint8_t(x % 2 == 0 ? value << 4 : value);
        break;
    case 8:
        buffer[row + std::size_t(x)] = std::uint8_t(value);
        break;
    case 24:
        buffer[row + std::size_t(3 * x)] = std::uint8_t(value >> 16);    // blue
        buffer[row + std::size_t(3 * x + 1)] = std::uint8_t(value >> 8); // green
        buffer[row + std::size_t(3 * x + 2)] = std::uint8_t(value);      // red
        break;
    }
}

} // namespace

TEST(Pixels, SetpixelPacksEveryDepthAndWidthAsTheLayoutDefines) {
    for (int bits : kAllDepths) {
        for (int width : kBoundaryWidths) {
            const int height = 3;
            PictureOwner owner(makePatternPicture(width, height, bits));
            const dib& d = owner.picture;
            ASSERT_NE(d.poi, nullptr);
            std::vector<std::uint8_t> expected(std::size_t(height * d.bytew), 0);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    packPixel(expected, d.bytew, height, bits, x, y, patternValue(x, y, bits));
                }
            }
            EXPECT_EQ(pixelBytes(d), expected) << width << " pixels at " << bits << " bits";
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    ASSERT_EQ(getpixel(d, x, y), patternValue(x, y, bits))
                        << x << "," << y << " at " << bits << " bits";
                }
            }
        }
    }
}

TEST(Pixels, OverwritingClearsOldBitsAndKeepsNeighbours) {
    for (int bits : kAllDepths) {
        PictureOwner owner(makePatternPicture(9, 2, bits));
        dib& d = owner.picture;
        const auto before = pixelValues(d);
        setpixel(d, 4, 1, 0);
        setpixel(d, 4, 1, maskFor(bits));
        auto expected = before;
        expected[1][4] = maskFor(bits);
        EXPECT_EQ(pixelValues(d), expected) << bits;
    }
}

TEST(Pixels, PaletteDepthsKeepTheLowBitsOfAValue) {
    PictureOwner owner(makePatternPicture(2, 1, 4));
    setpixel(owner.picture, 0, 0, 0x1f3);
    EXPECT_EQ(getpixel(owner.picture, 0, 0), 3u);
    PictureOwner mono(makePatternPicture(2, 1, 1));
    setpixel(mono.picture, 1, 0, 6);
    EXPECT_EQ(getpixel(mono.picture, 1, 0), 0u);
}

TEST(Pixels, OutsideThePictureReadsZeroAndWritesNothing) {
    for (int bits : kAllDepths) {
        PictureOwner owner(makePatternPicture(8, 4, bits));
        dib& d = owner.picture;
        const auto before = pixelBytes(d);
        const int outside[][2] = {{-1, 0}, {0, -1},      {8, 0},
                                  {0, 4},  {-100000, 9}, {1 << 30, 1 << 30}};
        for (const auto& p : outside) {
            setpixel(d, p[0], p[1], maskFor(bits));
            EXPECT_EQ(getpixel(d, p[0], p[1]), 0u);
        }
        EXPECT_EQ(pixelBytes(d), before) << bits;
    }
    dib empty;
    setpixel(empty, 0, 0, 1);
    EXPECT_EQ(getpixel(empty, 0, 0), 0u);
}

TEST(Pixels, RowZeroIsTheLastRowInMemory) {
    PictureOwner owner(makePatternPicture(1, 3, 8));
    dib& d = owner.picture;
    setpixel(d, 0, 0, 11);
    setpixel(d, 0, 2, 33);
    EXPECT_EQ(d.poi[2 * d.bytew], 11);
    EXPECT_EQ(d.poi[0], 33);
}
