#include "Pictures.h"

#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/PixelRows.h"

#include <gtest/gtest.h>

using grafikrw3::PixelFormat;

namespace {

class PixelRowsTest : public ::testing::TestWithParam<std::tuple<int, int>> {};

// The compile-time formats read and write exactly what getpixel and setpixel do, including
// the neighbours that share a byte.
TEST_P(PixelRowsTest, FormatsAgreeWithGetpixelAndSetpixel) {
    const auto [bits, width] = GetParam();
    OwnedDib reference = patternPicture(width, 3, bits);
    OwnedDib viaFormat = patternPicture(width, 3, bits);
    grafikrw3::forDepth(bits, [&](auto format) {
        using F = decltype(format);
        for (int y = 0; y < 3; ++y) {
            const std::uint8_t* row = grafikrw3::rowAt(std::as_const(reference.get()), y);
            for (int x = 0; x < width; ++x) {
                ASSERT_EQ(F::get(row, x), grafikrw3::getpixel(reference.get(), x, y));
            }
        }
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < width; x += 2) {
                const std::uint32_t value = patternValue(x + 5, y + 1, bits);
                grafikrw3::setpixel(reference.get(), x, y, value);
                F::put(grafikrw3::rowAt(viaFormat.get(), y), x, value);
            }
        }
    });
    EXPECT_EQ(pixelBytes(viaFormat.get()), pixelBytes(reference.get()));
}

INSTANTIATE_TEST_SUITE_P(AllDepths, PixelRowsTest,
                         ::testing::Combine(::testing::ValuesIn(kAllDepths),
                                            ::testing::ValuesIn(kBoundaryWidths)));

TEST(OwnedDib, ReleasesOnceAndMovesOwnership) {
    OwnedDib a = patternPicture(4, 4, 8);
    const std::uint8_t* pixels = a->poi;
    OwnedDib b = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(b->poi, pixels);
    dib raw = b.release();
    EXPECT_FALSE(b);
    b.reset(raw);
    EXPECT_EQ(b->poi, pixels);
    b = OwnedDib();
    EXPECT_FALSE(b);
}

} // namespace
