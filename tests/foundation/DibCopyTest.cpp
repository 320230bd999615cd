#include "foundation/DibCopy.h"

#include "Pictures.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace grafikrw3;

TEST(MakeDIBCopy, CopiesEveryDepthIntoIndependentMemory) {
    for (int bits : kAllDepths) {
        PictureOwner source(makePatternPicture(33, 5, bits));
        if (bits <= 8) {
            source.picture.pmi->colors()[1] = RGBQUAD{1, 2, 3, 0};
        }
        PictureOwner copy(MakeDIBCopy(source.picture));
        ASSERT_NE(copy.picture.poi, nullptr);
        EXPECT_NE(copy.picture.poi, source.picture.poi);
        EXPECT_EQ(DIBWidth(copy.picture), 33);
        EXPECT_EQ(DIBBitCount(copy.picture), bits);
        EXPECT_EQ(pixelBytes(copy.picture), pixelBytes(source.picture)) << bits;
        if (bits <= 8) {
            EXPECT_EQ(copy.picture.pmi->colors()[1].rgbRed, 3);
            EXPECT_EQ(copy.picture.pal.pal[1].peBlue, 1);
        }
        setpixel(copy.picture, 0, 0, maskFor(bits) ^ getpixel(copy.picture, 0, 0));
        EXPECT_EQ(getpixel(source.picture, 0, 0), patternValue(0, 0, bits));
    }
}

TEST(MakeDIBCopy, EmptySourceGivesEmptyRecordQuietly) {
    MessageCapture messages;
    dib copy = MakeDIBCopy(dib{});
    EXPECT_EQ(copy.poi, nullptr);
    EXPECT_EQ(copy.pmi, nullptr);
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST(MakeDIBCopy, ShortageIsReportedAndGivesNoPicture) {
    PictureOwner source(makePatternPicture(10, 10, 24));
    MessageCapture messages;
    AllocationFailure failure(0);
    dib copy = MakeDIBCopy(source.picture);
    EXPECT_EQ(copy.poi, nullptr);
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Fehler: nicht genug Speicher für diese Operation!")});
    EXPECT_EQ(copyDib(source.picture).poi, nullptr);
    EXPECT_EQ(messages.texts().size(), 1); // the quiet copy reports nothing
}

TEST(ResizeDIB, ShrinkingTrueColourTakesEveryThirdPixelAlsoWithInterpolation) {
    for (bool interpol : {false, true}) {
        PictureOwner source(makePatternPicture(300, 120, 24));
        const dib original = copyDib(source.picture);
        PictureOwner keep(original);
        ASSERT_TRUE(ResizeDIB(source.picture, 100, 40, interpol));
        const dib& d = source.picture;
        ASSERT_EQ(DIBWidth(d), 100);
        ASSERT_EQ(DIBHeight(d), 40);
        for (int row = 0; row < 40; ++row) { // memory rows
            for (int x = 0; x < 100; ++x) {
                const std::uint8_t* got = d.poi + row * d.bytew + 3 * x;
                const std::uint8_t* want = original.poi + 3 * row * original.bytew + 9 * x;
                ASSERT_TRUE(got[0] == want[0] && got[1] == want[1] && got[2] == want[2])
                    << x << "," << row << " interpol " << interpol;
            }
        }
    }
}

TEST(ResizeDIB, FourBitPixelsArePackedIntoNibbles) {
    dib d;
    newdib(&d, 3, 1, 4, nullptr, 0);
    setpixel(d, 0, 0, 1);
    setpixel(d, 1, 0, 2);
    setpixel(d, 2, 0, 3);
    ASSERT_TRUE(ResizeDIB(d, 6, 1, false));
    EXPECT_EQ(DIBWidth(d), 6);
    EXPECT_EQ((std::vector<std::uint8_t>(d.poi, d.poi + 4)),
              (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x00}));
    FreeDIB(d);
}

TEST(ResizeDIB, KeepsDepthAndColourTableAtEveryWidth) {
    for (int bits : kAllDepths) {
        for (int width : kBoundaryWidths) {
            PictureOwner source(makePatternPicture(width, 4, bits));
            if (bits <= 8) {
                source.picture.pmi->colors()[0] = RGBQUAD{9, 8, 7, 0};
            }
            const auto before = pixelValues(source.picture);
            // Doubling the width repeats every pixel; memory rows map onto themselves.
            ASSERT_TRUE(ResizeDIB(source.picture, 2 * width, 4, false));
            const dib& d = source.picture;
            EXPECT_EQ(DIBBitCount(d), bits);
            if (bits <= 8) {
                EXPECT_EQ(d.pmi->colors()[0].rgbRed, 7);
            }
            const auto after = pixelValues(d);
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 2 * width; ++x) {
                    ASSERT_EQ(after[std::size_t(y)][std::size_t(x)],
                              before[std::size_t(y)][std::size_t(x / 2)])
                        << x << "," << y << " width " << width << " bits " << bits;
                }
            }
        }
    }
}

TEST(ResizeDIB, OneBitSamplesFromTheTopOtherDepthsFromTheBottomRow) {
    dib mono;
    newdib(&mono, 1, 3, 1, nullptr, 0);
    setpixel(mono, 0, 0, 1); // top row
    ASSERT_TRUE(ResizeDIB(mono, 1, 1, false));
    EXPECT_EQ(getpixel(mono, 0, 0), 1u);
    FreeDIB(mono);

    dib grey;
    newdib(&grey, 1, 3, 8, nullptr, 0);
    setpixel(grey, 0, 0, 7); // top row
    setpixel(grey, 0, 2, 5); // bottom row, first in memory
    ASSERT_TRUE(ResizeDIB(grey, 1, 1, false));
    EXPECT_EQ(getpixel(grey, 0, 0), 5u);
    FreeDIB(grey);
}

TEST(ResizeDIB, BilinearEnlargingWeighsWith1023) {
    PictureOwner flat(makePatternPicture(2, 2, 24));
    recht_filled(flat.picture, 0, 0, 1, 1, 0xffffff);
    ASSERT_TRUE(ResizeDIB(flat.picture, 4, 4, true));
    // Both passes weigh with 1023/1024: 255 -> 254 across, then 254 -> 253 down.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            ASSERT_EQ(getpixel(flat.picture, x, y), 0xfdfdfdu) << x << "," << y;
        }
    }

    // Red ramp 0 -> 200 along one row, enlarged 2 : 4.
    PictureOwner ramp(makePatternPicture(2, 1, 24));
    setpixel(ramp.picture, 0, 0, 0);
    setpixel(ramp.picture, 1, 0, 200);
    ASSERT_TRUE(ResizeDIB(ramp.picture, 4, 1, true));
    // x = 1: wx = 512, top = (511 * 0 + 512 * 200) >> 10 = 100, result = (1023 * 100) >> 10.
    EXPECT_EQ(getpixel(ramp.picture, 0, 0), 0u);
    EXPECT_EQ(getpixel(ramp.picture, 1, 0), 99u);
    EXPECT_EQ(getpixel(ramp.picture, 2, 0), 198u);
    EXPECT_EQ(getpixel(ramp.picture, 3, 0),
              198u); // the right neighbour is clamped to the last column
}

TEST(ResizeDIB, ZeroSizeBecomesOnePixel) {
    PictureOwner source(makePatternPicture(10, 10, 8));
    ASSERT_TRUE(ResizeDIB(source.picture, 0, -4, false));
    EXPECT_EQ(DIBWidth(source.picture), 1);
    EXPECT_EQ(DIBHeight(source.picture), 1);
}

TEST(ResizeDIB, SourceSurvivesWhenTheTargetCannotBeMade) {
    PictureOwner source(makePatternPicture(9, 9, 4));
    const auto before = pixelBytes(source.picture);
    const std::uint8_t* pixels = source.picture.poi;
    AllocationFailure failure(0);
    EXPECT_FALSE(ResizeDIB(source.picture, 3, 3, true));
    EXPECT_EQ(source.picture.poi, pixels);
    EXPECT_EQ(pixelBytes(source.picture), before);
}
