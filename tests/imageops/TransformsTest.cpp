#include "OpTestPictures.h"

#include "foundation/Memory.h"
#include "imageops/Transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using namespace imageops;
using grafikrw3::getpixel;
using optest::build;
using optest::wholePicture;

constexpr std::uint32_t kFill = 0x2a5b3c; // palette pictures keep its low bits

// Every transform at every depth and at widths around byte boundaries, against a reference
// that places each pixel by its definition.
class TransformTest : public testing::TestWithParam<optest::DepthWidth> {
protected:
    int bits() const { return std::get<0>(GetParam()); }
    int width() const { return std::get<1>(GetParam()); }
    static constexpr int kHeight = 5;
};

TEST_P(TransformTest, MirrorsAndQuarterTurnsPlaceEveryPixel) {
    const OwnedDib src = optest::source(width(), kHeight, bits());
    const dib& s = src.get();
    const int w = width(), h = kHeight;

    const OwnedDib left = build(s, h, w, [&](int x, int y) { return getpixel(s, w - 1 - y, x); });
    const OwnedDib right = build(s, h, w, [&](int x, int y) { return getpixel(s, y, h - 1 - x); });
    const OwnedDib half =
        build(s, w, h, [&](int x, int y) { return getpixel(s, w - 1 - x, h - 1 - y); });
    const OwnedDib mirrorH =
        build(s, w, h, [&](int x, int y) { return getpixel(s, w - 1 - x, y); });
    const OwnedDib mirrorV =
        build(s, w, h, [&](int x, int y) { return getpixel(s, x, h - 1 - y); });

    EXPECT_EQ(wholePicture(RotLeft(s).get()), wholePicture(left.get()));
    EXPECT_EQ(wholePicture(RotRight(s).get()), wholePicture(right.get()));
    EXPECT_EQ(wholePicture(Rot180(s).get()), wholePicture(half.get()));
    EXPECT_EQ(wholePicture(MirrorDibH(s).get()), wholePicture(mirrorH.get()));
    EXPECT_EQ(wholePicture(MirrorDibV(s).get()), wholePicture(mirrorV.get()));

    OwnedDib inPlace = optest::source(w, h, bits());
    EXPECT_EQ(FlipH(inPlace.get()), OpStatus::Done);
    EXPECT_EQ(wholePicture(inPlace.get()), wholePicture(mirrorH.get()));
    inPlace = optest::source(w, h, bits());
    EXPECT_EQ(FlipV(inPlace.get()), OpStatus::Done);
    EXPECT_EQ(wholePicture(inPlace.get()), wholePicture(mirrorV.get()));
}

TEST_P(TransformTest, CanvasAndBordersCopyTheOverlapAndFillTheRest) {
    const OwnedDib src = optest::source(width(), kHeight, bits());
    const dib& s = src.get();
    const int w = width(), h = kHeight;
    // Inside, cut on every side, shifted off completely, and the same size in place.
    for (const CanvasParams p : {CanvasParams{w + 11, h + 3, 5, 2}, CanvasParams{3, 2, -1, -2},
                                 CanvasParams{w + 2, h, -w - 1, 0}, CanvasParams{w, h, 0, 0},
                                 CanvasParams{2 * w + 9, 1, w / 2, -3}}) {
        const OwnedDib expected = build(s, p.Breit, p.Hoch, [&](int x, int y) {
            const int sx = x - p.Links, sy = y - p.Oben;
            return sx >= 0 && sx < w && sy >= 0 && sy < h ? getpixel(s, sx, sy) : kFill;
        });
        EXPECT_EQ(wholePicture(NewCanvas(s, p, kFill).get()), wholePicture(expected.get()))
            << p.Breit << " x " << p.Hoch << " at " << p.Links << ", " << p.Oben;
    }
    const BorderParams b{5, 1, 3, 9};
    const OwnedDib bordered = build(s, w + b.lef_ + b.rig_, h + b.top_ + b.bot_, [&](int x, int y) {
        const bool border = x < b.lef_ || y < b.top_ || x >= w + b.lef_ || y >= h + b.top_;
        return border ? kFill : getpixel(s, x - b.lef_, y - b.top_);
    });
    EXPECT_EQ(wholePicture(AddBorders(s, b, kFill).get()), wholePicture(bordered.get()));
    EXPECT_EQ(wholePicture(AddBorders(s, BorderParams{}, kFill).get()), wholePicture(s));
}

// The resampling as the program has always done it: 10-bit fixed point, rows in memory order
// except at 1 bit, bilinear with weights out of 1023.
OwnedDib referenceResize(const dib& s, int breit, int hoch, bool interpol) {
    const int sw = DIBWidth(s), sh = DIBHeight(s), bits = DIBBitCount(s);
    const std::int64_t xr = std::int64_t(sw) * 1024 / breit, yr = std::int64_t(sh) * 1024 / hoch;
    const bool bilinear = bits == 24 && interpol && breit >= sw && hoch >= sh;
    auto memoryPixel = [&](std::int64_t x, std::int64_t y) { // y counted from the bottom
        return getpixel(s, int(x), sh - 1 - int(y));
    };
    return build(s, breit, hoch, [&](int x, int y) -> std::uint32_t {
        const std::int64_t fx = x * xr;
        if (bits == 1) {
            return getpixel(s, int(fx >> 10), int((y * yr) >> 10));
        }
        const std::int64_t my = hoch - 1 - y; // this target row in memory order
        const std::int64_t fy = my * yr;
        if (!bilinear) {
            return memoryPixel(fx >> 10, fy >> 10);
        }
        const std::int64_t sx0 = fx >> 10, sy0 = fy >> 10, wx = fx % 1024, wy = fy % 1024;
        const std::int64_t sx1 = std::min<std::int64_t>(sx0 + 1, sw - 1);
        const std::int64_t sy1 = std::min<std::int64_t>(sy0 + 1, sh - 1);
        std::uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            auto c = [&](std::int64_t px, std::int64_t py) {
                return std::int64_t(memoryPixel(px, py) >> shift & 0xff);
            };
            const std::int64_t top = ((1023 - wx) * c(sx0, sy0) + wx * c(sx1, sy0)) >> 10;
            const std::int64_t bottom = ((1023 - wx) * c(sx0, sy1) + wx * c(sx1, sy1)) >> 10;
            out |= std::uint32_t(((1023 - wy) * top + wy * bottom) >> 10) << shift;
        }
        return out;
    });
}

TEST_P(TransformTest, ResizeMatchesTheFixedPointResampling) {
    const OwnedDib src = optest::source(width(), kHeight, bits());
    const int w = width();
    for (const ResizeParams p : {ResizeParams{2 * w + 3, 13, true}, ResizeParams{w, 3, false},
                                 ResizeParams{(w + 1) / 2, 2, true}, ResizeParams{w + 1, 5, true},
                                 ResizeParams{37, 1, true}, ResizeParams{1, 9, false}}) {
        EXPECT_EQ(wholePicture(Resize(src.get(), p).get()),
                  wholePicture(referenceResize(src.get(), p.breit, p.hoch, p.interpol).get()))
            << p.breit << " x " << p.hoch << (p.interpol ? " interpolated" : "");
    }
}

// The free rotation by its definition, evaluated per pixel in extended precision.
OwnedDib referenceTurn(const dib& s, long double winkel, int richt, std::uint32_t col2) {
    long double a = winkel * std::numbers::pi_v<long double> / 180.0L;
    if (richt == 1) {
        a = -a;
    }
    const long double S = std::sin(a), C = std::cos(a);
    const std::int64_t w = DIBWidth(s), h = DIBHeight(s), hw = w / 2, hh = h / 2;
    using LD = long double;
    const LD xs[] = {LD(w - hw), LD(w - hw), LD(-hw), LD(-hw)};
    const LD ys[] = {LD(-hh), LD(h - hh), LD(h - hh), LD(-hh)};
    std::int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        minX = std::min(minX, std::int64_t(std::llrint(xs[i] * C - ys[i] * S)));
        maxX = std::max(maxX, std::int64_t(std::llrint(xs[i] * C - ys[i] * S)));
        minY = std::min(minY, std::int64_t(std::llrint(xs[i] * S + ys[i] * C)));
        maxY = std::max(maxY, std::int64_t(std::llrint(xs[i] * S + ys[i] * C)));
    }
    const int W = int(maxX - minX), H = int(maxY - minY);
    return build(s, W, H, [&](int tx, int ty) {
        const long double dx = tx - W / 2, dy = ty - H / 2;
        const std::int64_t sx = std::llrint(dx * C - dy * S) + hw;
        const std::int64_t sy = std::llrint(dx * S + dy * C) + hh;
        return sx >= 0 && sx < w && sy >= 0 && sy < h ? getpixel(s, int(sx), int(sy)) : col2;
    });
}

TEST_P(TransformTest, FreeRotationMatchesTheExactPerPixelFormula) {
    const OwnedDib src = optest::source(width(), kHeight + 4, bits());
    for (const long double winkel : {17.0L, 45.0L, 60.0L, 90.0L, 180.0L, 0.01L, 359.99L}) {
        for (const int richt : {0, 1}) {
            EXPECT_EQ(wholePicture(DibRotxxx(src.get(), winkel, richt, kFill, true).get()),
                      wholePicture(referenceTurn(src.get(), winkel, richt, kFill).get()))
                << double(winkel) << " degrees, richt " << richt;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, TransformTest,
                         testing::Combine(testing::ValuesIn(kAllDepths),
                                          testing::ValuesIn(kBoundaryWidths)),
                         optest::depthWidthName);

TEST(Transforms, LargerPicturesCrossTheTilesAndTheFixedPointSteps) {
    // Odd sizes over several tiles of the quarter turn and the free rotation, large enough for
    // the fixed-point rows of the free rotation to drift if their error bound were wrong; 60
    // and 30 degrees put many exact halves into the coordinates.
    for (const int bits : kAllDepths) {
        const OwnedDib src = optest::source(301, 157, bits);
        const dib& s = src.get();
        const OwnedDib left =
            build(s, 157, 301, [&](int x, int y) { return getpixel(s, 300 - y, x); });
        const OwnedDib right =
            build(s, 157, 301, [&](int x, int y) { return getpixel(s, y, 156 - x); });
        EXPECT_EQ(wholePicture(RotLeft(s).get()), wholePicture(left.get())) << bits << " bits";
        EXPECT_EQ(wholePicture(RotRight(s).get()), wholePicture(right.get())) << bits << " bits";
        for (const long double winkel : {17.0L, 30.0L, 60.0L, 123.456L}) {
            EXPECT_EQ(wholePicture(DibRotxxx(s, winkel, 0, kFill, false).get()),
                      wholePicture(referenceTurn(s, winkel, 0, kFill).get()))
                << bits << " bits, " << double(winkel) << " degrees";
        }
    }
}

TEST(Transforms, TurnsGoTheWayTheMenuSays) {
    // A 4 x 2 picture: a quarter to the left brings its top-right pixel to the top left, a
    // quarter to the right its bottom-left one; 270 degrees to the left is 90 to the right.
    const OwnedDib src = optest::source(4, 2, 8);
    const dib& s = src.get();
    EXPECT_EQ(getpixel(RotLeft(s).get(), 0, 0), getpixel(s, 3, 0));
    EXPECT_EQ(getpixel(RotRight(s).get(), 0, 0), getpixel(s, 0, 1));
    using W = RotateParams::Winkel;
    EXPECT_EQ(wholePicture(Rotate(s, {W::Grad270, false}, 0).get()),
              wholePicture(RotRight(s).get()));
    EXPECT_EQ(wholePicture(Rotate(s, {W::Grad90, true}, 0).get()), wholePicture(RotRight(s).get()));
    EXPECT_EQ(wholePicture(Rotate(s, {W::Grad180, true}, 0).get()), wholePicture(Rot180(s).get()));
    EXPECT_EQ(wholePicture(RotLeft(RotRight(s).get()).get()), wholePicture(s));

    // A free quarter turn to the left is not RotLeft: the picture is 2 x 4, its top row is
    // uncovered and the source's leftmost column is lost.
    const OwnedDib free = Rotate(s, {W::Frei, false, 90.0}, kFill);
    ASSERT_EQ(DIBWidth(free.get()), 2);
    ASSERT_EQ(DIBHeight(free.get()), 4);
    EXPECT_EQ(getpixel(free.get(), 0, 0), kFill & 0xff);
    EXPECT_EQ(getpixel(free.get(), 1, 0), kFill & 0xff);
    EXPECT_EQ(getpixel(free.get(), 0, 3), getpixel(s, 1, 0));

    // 45 degrees of 100 x 100 gives 142 x 142 with uncovered corners; 30 degrees clockwise is
    // -30 degrees counter-clockwise.
    const OwnedDib square = optest::source(100, 100, 24);
    const OwnedDib turned = DibRotxxx(square.get(), 45, 0, kFill, false);
    EXPECT_EQ(DIBWidth(turned.get()), 142);
    EXPECT_EQ(DIBHeight(turned.get()), 142);
    EXPECT_EQ(getpixel(turned.get(), 0, 0), kFill);
    EXPECT_EQ(getpixel(turned.get(), 141, 141), kFill);
    EXPECT_EQ(wholePicture(DibRotxxx(square.get(), 30, 1, kFill, false).get()),
              wholePicture(DibRotxxx(square.get(), -30, 0, kFill, false).get()));
}

std::size_t allocationRequests = 0;
void* countingAllocator(std::size_t bytes) {
    ++allocationRequests;
    return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

TEST(Transforms, SizesBeyondTheLimitAreRefusedBeforeAnythingIsAllocated) {
    const OwnedDib src = optest::source(40, 30, 24);
    const dib& s = src.get();
    allocationRequests = 0;
    memory::setAllocator(&countingAllocator);
    EXPECT_FALSE(Resize(s, {32767, 32767, true}));       // 3 GiB of pixels
    EXPECT_FALSE(Resize(s, {0, 30, false}));             // would divide by zero
    EXPECT_FALSE(NewCanvas(s, {32767, 32767, 0, 0}, 0)); // likewise too large
    EXPECT_FALSE(NewCanvas(s, {0, 10, 0, 0}, 0));
    EXPECT_FALSE(AddBorders(s, {-30, 0, 0, 0}, 0)); // nothing left
    EXPECT_FALSE(DibRotxxx(s, std::nanl(""), 0, 0, false));
    memory::resetAllocator();
    EXPECT_EQ(allocationRequests, 0u);

    EXPECT_TRUE(fitsImageLimit(32767, 21845, 24));
    EXPECT_FALSE(fitsImageLimit(32767, 21846, 24));
    EXPECT_FALSE(fitsImageLimit(std::int64_t(1) << 32, 1, 1));
}

TEST(Transforms, ProgressRunsFromZeroToAHundredAndBackAndCanStopANewPicture) {
    const OwnedDib src = optest::source(9, 7, 4);
    std::vector<int> seen;
    const ProgressCallback record = [&](int percent) {
        seen.push_back(percent);
        return true;
    };
    for (const auto& op : std::vector<std::function<OwnedDib()>>{
             [&] { return RotLeft(src.get(), record); },
             [&] { return DibRotxxx(src.get(), 33, 0, 0, false, record); },
             [&] {
                 return Resize(src.get(), {20, 1, false}, record);
             }, // one row: no division
             [&] {
                 return NewCanvas(src.get(), {30, 20, 1, 1}, 0, record);
             }}) {
        seen.clear();
        EXPECT_TRUE(op());
        ASSERT_GE(seen.size(), 3u);
        EXPECT_EQ(seen.front(), 0);
        EXPECT_EQ(seen[seen.size() - 2], 100);
        EXPECT_EQ(seen.back(), 0);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end() - 1));
    }
    int calls = 0;
    const ProgressCallback stopAtOnce = [&](int percent) { return ++calls, percent == 0; };
    EXPECT_FALSE(Rot180(src.get(), stopAtOnce));
    EXPECT_FALSE(Resize(src.get(), {30, 30, true}, stopAtOnce));

    OwnedDib flipped = optest::source(9, 1, 1);
    seen.clear();
    EXPECT_EQ(FlipV(flipped.get(), record), OpStatus::Done); // one row: nothing to swap
    EXPECT_EQ(seen, (std::vector<int>{0, 100, 0}));
}

} // namespace
