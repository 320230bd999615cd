#include "OpTestPictures.h"

#include "foundation/DibCopy.h"
#include "imageops/Deformations.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace imageops;
using grafikrw3::getpixel;
using grafikrw3::setpixel;
using optest::wholePicture;

constexpr std::uint32_t kCol2 = 0x3377cc;

// The perspective and skew by their definition: clear the selected pixels, then send every
// source pixel to its target, the later ones winning.
OwnedDib referencePersp(const dib& from, const PerspParams& p, const Selection& sel) {
    OwnedDib out(copyDib(from));
    const std::int64_t W = DIBWidth(from), H = DIBHeight(from), stark = p.stark;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (sel.contains(x, y)) {
                setpixel(out.get(), x, y, kCol2);
            }
        }
    }
    auto squeeze = [&](std::int64_t k, std::int64_t n) -> std::int64_t {
        if (n == 1) {
            return 0; // a single line has no edge to shorten
        }
        return stark >= 0 ? stark * k / (n - 1) : -stark * (n - 1 - k) / (n - 1);
    };
    const std::int64_t s = (p.Horz ? W : H) * stark / 100;
    for (std::int64_t e = 0; e < H; ++e) {
        for (std::int64_t x = 0; x < W; ++x) {
            std::int64_t tx = x, ty = e;
            if (p.Persp && p.Horz) {
                ty = (100 - squeeze(x, W)) * (e - H / 2) / 100 + H / 2;
            } else if (p.Persp) {
                tx = (100 - squeeze(e, H)) * (x - W / 2) / 100 + W / 2;
            } else if (p.Horz) {
                tx = x + s / 2 - s * e / H;
            } else {
                ty = e + s / 2 - s * x / W;
            }
            if (tx >= 0 && tx < W && ty >= 0 && ty < H && sel.contains(int(tx), int(ty))) {
                setpixel(out.get(), int(tx), int(ty), getpixel(from, int(x), int(e)));
            }
        }
    }
    return out;
}

OwnedDib referenceBulge(const dib& from, const WoelbenParams& p, const Selection& sel) {
    OwnedDib out(copyDib(from));
    const int W = DIBWidth(from), H = DIBHeight(from);
    auto source = [&](int j, int n, bool deform) {
        const int c = n / 2;
        if (!deform || c == 0) {
            return j;
        }
        const double d = std::abs(j - c);
        const auto f = std::int64_t(std::trunc(static_cast<long double>(c) *
                                               static_cast<long double>(std::pow(d / c, p.wert))));
        return int(std::clamp<std::int64_t>(j < c ? c - f : c + f, 0, n - 1));
    };
    for (int i = 0; i < H; ++i) {
        for (int j = 0; j < W; ++j) {
            if (sel.contains(j, i)) {
                setpixel(out.get(), j, i,
                         getpixel(from, source(j, W, p.horz), source(i, H, p.vert)));
            }
        }
    }
    return out;
}

class DeformationTest : public testing::TestWithParam<int> {};

TEST_P(DeformationTest, PerspectiveAndSkewMatchTheForwardMappingWithAndWithoutSelection) {
    const int w = GetParam();
    for (const int h : {1, 6, 11}) {
        const OwnedDib from = optest::noise24(w, h, unsigned(w * 31 + h));
        const OwnedDib selMask =
            optest::mask(w, h, [&](int x, int y) { return optest::unevenSelection(x, y, w, h); });
        for (const bool selected : {false, true}) {
            const Selection sel(&selMask.get(), selected);
            for (const int stark : {-100, -37, 0, 25, 100}) {
                for (const bool persp : {true, false}) {
                    for (const bool horz : {true, false}) {
                        const PerspParams p{stark, horz, persp};
                        OwnedDib di(copyDib(from.get()));
                        EXPECT_EQ(Perspektive(di.get(), from.get(), p, kCol2, sel), OpStatus::Done);
                        EXPECT_EQ(wholePicture(di.get()),
                                  wholePicture(referencePersp(from.get(), p, sel).get()))
                            << w << " x " << h << " stark " << stark << (persp ? " persp" : " skew")
                            << (horz ? " horz" : " vert") << (selected ? " selected" : "");
                    }
                }
            }
        }
    }
}

TEST_P(DeformationTest, BulgeFetchesEachPixelFromTheBentPosition) {
    const int w = GetParam();
    for (const int h : {1, 2, 9}) {
        const OwnedDib from = optest::noise24(w, h, unsigned(w + h));
        const OwnedDib selMask =
            optest::mask(w, h, [&](int x, int y) { return optest::unevenSelection(x, y, w, h); });
        for (const bool selected : {false, true}) {
            const Selection sel(&selMask.get(), selected);
            for (const double wert : {0.01, 0.5, 1.4, 10.0}) {
                for (const auto& [horz, vert] :
                     {std::pair{true, true}, std::pair{true, false}, std::pair{false, true}}) {
                    const WoelbenParams p{wert, horz, vert};
                    OwnedDib di(copyDib(from.get()));
                    EXPECT_EQ(Woelben(di.get(), from.get(), p, sel), OpStatus::Done);
                    EXPECT_EQ(wholePicture(di.get()),
                              wholePicture(referenceBulge(from.get(), p, sel).get()))
                        << w << " x " << h << " wert " << wert << " " << horz << vert;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BoundaryWidths, DeformationTest, testing::ValuesIn(kBoundaryWidths));

TEST(Deformations, KnownShiftsOfSkewPerspectiveAndBulge) {
    const OwnedDib from = optest::noise24(100, 100, 7);
    const dib& f = from.get();
    const Selection whole;

    // Horizontal skew by 50: the top row moves 25 right, the bottom row 24 left.
    OwnedDib skew(copyDib(f));
    Perspektive(skew.get(), f, {50, true, false}, kCol2, whole);
    EXPECT_EQ(getpixel(skew.get(), 25, 0), getpixel(f, 0, 0));
    EXPECT_EQ(getpixel(skew.get(), 24, 0), kCol2);
    EXPECT_EQ(getpixel(skew.get(), 0, 99), getpixel(f, 24, 99));
    EXPECT_EQ(getpixel(skew.get(), 76, 99), kCol2);

    // Full horizontal perspective: the right column collapses onto the middle row, which
    // shows the bottom source row's pixel, written last.
    OwnedDib persp(copyDib(f));
    Perspektive(persp.get(), f, {100, true, true}, kCol2, whole);
    EXPECT_EQ(getpixel(persp.get(), 99, 50), getpixel(f, 99, 99));
    EXPECT_EQ(getpixel(persp.get(), 99, 49), kCol2);
    EXPECT_EQ(getpixel(persp.get(), 0, 0), getpixel(f, 0, 0));

    // Bulge along x with exponent 2: column 75 reads column 62, column 25 reads 38.
    OwnedDib bulge(copyDib(f));
    Woelben(bulge.get(), f, {2.0, true, false}, whole);
    for (const auto& [target, source] : {std::pair{75, 62}, {25, 38}, {0, 0}, {50, 50}}) {
        EXPECT_EQ(getpixel(bulge.get(), target, 10), getpixel(f, source, 10)) << target;
    }
}

TEST(Deformations, PalettePicturesAndMismatchedSourcesAreLeftAlone) {
    for (const int bits : {1, 4, 8}) {
        OwnedDib di = optest::source(9, 4, bits);
        const OwnedDib from = optest::source(9, 4, bits);
        const auto before = wholePicture(di.get());
        EXPECT_EQ(Perspektive(di.get(), from.get(), {50, true, true}, 0, {}), OpStatus::Unchanged);
        EXPECT_EQ(Woelben(di.get(), from.get(), {}, {}), OpStatus::Unchanged);
        EXPECT_EQ(wholePicture(di.get()), before);
    }
    OwnedDib di = optest::noise24(9, 4, 1);
    const OwnedDib smaller = optest::noise24(8, 4, 1);
    const OwnedDib wrongMask = optest::mask(3, 3, [](int, int) { return true; });
    EXPECT_EQ(Woelben(di.get(), smaller.get(), {}, {}), OpStatus::Unchanged);
    EXPECT_EQ(Woelben(di.get(), di.get(), {}, {}), OpStatus::Unchanged);
    const OwnedDib copy(copyDib(di.get()));
    EXPECT_EQ(Perspektive(di.get(), copy.get(), {}, 0, Selection(&wrongMask.get(), true)),
              OpStatus::Unchanged);
}

} // namespace
