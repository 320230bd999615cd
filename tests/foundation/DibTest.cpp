#include "foundation/dib.h"
#include "foundation/Memory.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include "Pictures.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

using namespace grafikrw3;

TEST(Dib, EmptyRecordReadsAsNothingAndFreeChangesNothing) {
    dib empty;
    empty.bytew = 12;
    empty.zoom = 3;
    EXPECT_EQ(DIBWidth(empty), 0);
    EXPECT_EQ(DIBHeight(empty), 0);
    EXPECT_EQ(DIBBitCount(empty), 0);
    EXPECT_EQ(DIBColorTableSize(empty), 0u);
    FreeDIB(empty);
    EXPECT_EQ(empty.bytew, 12);
    EXPECT_EQ(empty.zoom, 3);
}

TEST(Dib, PowerOfTwoDoublesInThirtyTwoBits) {
    EXPECT_EQ(PowerOfTwo(-3), 1u);
    EXPECT_EQ(PowerOfTwo(0), 1u);
    EXPECT_EQ(PowerOfTwo(1), 2u);
    EXPECT_EQ(PowerOfTwo(24), 16777216u);
    EXPECT_EQ(PowerOfTwo(31), 0x80000000u);
    EXPECT_EQ(PowerOfTwo(32), 0u);
}

TEST(Dib, ColorCountAndTableSizePerDepth) {
    const struct {
        int bits;
        std::uint32_t colors;
        std::uint32_t table;
    } cases[] = {{1, 2, 2}, {4, 16, 16}, {8, 256, 256}, {24, 16777216, 0}};
    for (const auto& c : cases) {
        dib d;
        newdib(&d, 3, 2, c.bits, nullptr, 0);
        ASSERT_NE(d.poi, nullptr) << c.bits;
        EXPECT_EQ(DIBColorCount(d), c.colors) << c.bits;
        EXPECT_EQ(DIBColorTableSize(d), c.table) << c.bits;
        EXPECT_EQ(d.ispal, c.bits <= 8) << c.bits;
        FreeDIB(d);
    }
}

TEST(Dib, SharedHeaderAndPixelBlockIsReleasedOnce) {
    // One block: header, two colours, then one row of 4 bytes.
    auto* block = static_cast<std::uint8_t*>(memory::allocZeroed(40 + 8 + 4));
    dib d;
    d.pmi = reinterpret_cast<BITMAPINFO*>(block);
    d.pmi->bmiHeader = BITMAPINFOHEADER{40, 1, 1, 1, 1, 0, 4, 0, 0, 0, 0};
    d.pmih = d.poih = reinterpret_cast<std::uintptr_t>(block);
    d.poi = block + 48;
    d.bytew = 4;
    d.scx = 5;
    FreeDIB(d); // AddressSanitizer reports a double release
    EXPECT_EQ(d.pmi, nullptr);
    EXPECT_EQ(d.poi, nullptr);
    EXPECT_EQ(d.pmih, 0u);
    EXPECT_EQ(d.poih, 0u);
    EXPECT_EQ(d.scx, 5);
}

TEST(NewDib, FillsHeaderRowLengthAndZeroPixels) {
    const struct {
        int width;
        int bits;
        int bytew;
    } cases[] = {{1, 1, 4},   {33, 1, 8},  {7, 4, 4},  {9, 4, 8},
                 {31, 8, 32}, {33, 8, 36}, {1, 24, 4}, {33, 24, 100}};
    for (const auto& c : cases) {
        dib d;
        newdib(&d, c.width, 5, c.bits, nullptr, 0);
        ASSERT_NE(d.poi, nullptr);
        const BITMAPINFOHEADER& h = d.pmi->bmiHeader;
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, c.width);
        EXPECT_EQ(h.biHeight, 5);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.bits);
        EXPECT_EQ(h.biCompression, 0u);
        EXPECT_EQ(d.bytew, c.bytew) << c.width << "x" << c.bits;
        EXPECT_EQ(h.biSizeImage, std::uint32_t(5 * c.bytew));
        for (int i = 0; i < 5 * c.bytew; ++i) {
            ASSERT_EQ(d.poi[i], 0);
        }
        FreeDIB(d);
    }
}

TEST(NewDib, DefaultAndCopiedColourTables) {
    PictureOwner owner(dib{});
    dib& mono = owner.picture;
    newdib(&mono, 2, 2, 1, nullptr, 0);
    const RGBQUAD* c = mono.pmi->colors();
    EXPECT_EQ((std::array{c[0].rgbRed, c[0].rgbGreen, c[0].rgbBlue}),
              (std::array<std::uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ((std::array{c[1].rgbRed, c[1].rgbGreen, c[1].rgbBlue}),
              (std::array<std::uint8_t, 3>{255, 255, 255}));
    EXPECT_EQ(mono.pal.num, 2);
    EXPECT_EQ(mono.pal.pal[1].peRed, 255);

    // Copy three entries of a 16-colour table into a new 4-bit picture; the rest stays zero.
    dib source;
    newdib(&source, 1, 1, 4, nullptr, 0);
    for (int i = 0; i < 16; ++i) {
        source.pmi->colors()[i] =
            RGBQUAD{std::uint8_t(i), std::uint8_t(2 * i), std::uint8_t(3 * i), 0};
    }
    dib copy;
    newdib(&copy, 4, 4, 4, source.pmi, 3);
    ASSERT_NE(copy.poi, nullptr);
    EXPECT_EQ(copy.pal.num, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy.pmi->colors()[i].rgbRed, 3 * i);
        EXPECT_EQ(copy.pal.pal[i].peRed, 3 * i);
        EXPECT_EQ(copy.pal.pal[i].peGreen, 2 * i);
        EXPECT_EQ(copy.pal.pal[i].peBlue, i);
    }
    for (int i = 3; i < 16; ++i) {
        EXPECT_EQ(copy.pmi->colors()[i].rgbRed, 0);
    }
    FreeDIB(source);
    FreeDIB(copy);
}

TEST(NewDib, RefusesBadDepthsSizesAndOverflowsWithoutCrashing) {
    const struct {
        int width, height, bits;
    } refused[] = {
        {0, 1, 8},
        {1, 0, 8},
        {-5, 4, 24},
        {4, 4, 2},
        {4, 4, 16},
        {4, 4, 32},
        {0x7fffffff, 1, 24}, // row length overflows
        {65536, 65536, 24},  // 12 GB: beyond what one picture may take
        {0x7fffffff, 0x7fffffff, 1},
    };
    for (const auto& r : refused) {
        dib d;
        d.poi = reinterpret_cast<std::uint8_t*>(1); // must be overwritten
        newdib(&d, r.width, r.height, r.bits, nullptr, 0);
        EXPECT_EQ(d.poi, nullptr) << r.width << "x" << r.height << "x" << r.bits;
        EXPECT_EQ(d.pmi, nullptr);
    }
}

TEST(NewDib, RefusesWhenMemoryRunsOut) {
    for (std::size_t grants : {0u, 1u}) { // header refused, then pixels refused
        AllocationFailure failure(0, grants);
        dib d;
        newdib(&d, 10, 10, 8, nullptr, 0);
        EXPECT_EQ(d.poi, nullptr);
        EXPECT_EQ(d.pmi, nullptr);
    }
}
