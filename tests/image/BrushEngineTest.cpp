#include "Pictures.h"

#include "image/BrushEngine.h"

#include "foundation/DibCopy.h"
#include "foundation/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

using namespace grafikrw3;

namespace {

OwnedDib copyOf(const dib& d) {
    return OwnedDib(copyDib(d));
}

// The brush rules written out pixel by pixel through getpixel and setpixel, literally in the
// order of their description: tip, selection, tolerance, density and samples per mode. Tip
// pixels outside the picture take no part.
class ReferenceBrush {
public:
    ReferenceBrush(dib& image, const BrushStroke& s) : image_(image), s_(s) {
        n_ = s.tip.size;
        half_ = n_ / 2;
        lo_ = -half_ + (n_ % 2 == 0 ? 1 : 0);
        newdib(&brush_.get(), n_, n_, 1, nullptr, 0);
        for (int y = 0; y < n_; ++y) {
            for (int x = 0; x < n_; ++x) {
                setpixel(brush_.get(), x, y, 1);
            }
        }
        const int w = n_, h = n_;
        dib& b = brush_.get();
        switch (s.tip.form) {
        case 0:
            recht_filled(b, 0, 0, w, h, 0);
            break;
        case 1:
            FilledEllipse(b, 0, 0, w - 1, h - 1, 0);
            break;
        case 2:
            line(b, 0, 0, w, h, 0);
            line(b, 0, 1, w, h + 1, 0);
            break;
        case 3:
            line(b, 0, h, w, 0, 0);
            line(b, 1, h, w + 1, 0, 0);
            break;
        case 4:
            recht_filled(b, 0, h / 3, w, 2 * h / 3, 0);
            break;
        default:
            recht_filled(b, w / 3, 0, 2 * w / 3, h, 0);
            break;
        }
        if (DIBBitCount(image) == 24 && n_ > 3) {
            hart_.assign(std::size_t(n_ * n_), 0);
            for (int i = lo_; i <= half_; ++i) {
                for (int j = lo_; j <= half_; ++j) {
                    int d = s.tip.form == 1
                                ? int(std::round(std::sqrt(i * i + j * j))) * 100 / half_
                                : (std::abs(i) + std::abs(j)) * 100 / (2 * half_);
                    d = std::min(d, 100);
                    hart_[std::size_t((i - lo_) * n_ + (j - lo_))] = d * (100 - s.tip.hard) / 100;
                }
            }
        }
    }

    void stroke(int x1, int y1, int x2, int y2, int farbe) {
        bool swapped = false;
        auto apply = [&](int x, int y) {
            if (swapped) {
                dab(x2 - (x - x1), y2 - (y - y1), x2, y2, farbe);
            } else {
                dab(x, y, x1, y1, farbe);
            }
        };
        if (std::abs(x2 - x1) < std::abs(y2 - y1)) {
            if (y1 > y2) {
                std::swap(x1, x2);
                std::swap(y1, y2);
                swapped = true;
            }
            const int xstep = x2 > x1 ? 1 : -1, dy = y2 - y1, dx = std::abs(x2 - x1);
            int e = 2 * dx - dy, x = x1;
            apply(x1, y1);
            for (int y = y1 + 1; y <= y2; ++y) {
                e >= 0 ? (x += xstep, e += 2 * (dx - dy)) : e += 2 * dx;
                apply(x, y);
            }
        } else {
            if (x1 > x2) {
                std::swap(x1, x2);
                std::swap(y1, y2);
                swapped = true;
            }
            const int ystep = y2 > y1 ? 1 : -1, dx = x2 - x1, dy = std::abs(y2 - y1);
            int e = 2 * dy - dx, y = y1;
            apply(x1, y1);
            for (int x = x1 + 1; x <= x2; ++x) {
                e >= 0 ? (y += ystep, e += 2 * (dy - dx)) : e += 2 * dy;
                apply(x, y);
            }
        }
    }

private:
    bool inside(int x, int y) const {
        return x >= 0 && y >= 0 && x < DIBWidth(image_) && y < DIBHeight(image_);
    }
    bool selected(int x, int y) const {
        return !s_.selection || getpixel(*s_.selection, x, y) == 1;
    }
    bool density() const { return programrandom::below(100) < s_.tip.dens; }
    std::array<int, 3> rgb(std::uint32_t v) const {
        if (DIBBitCount(image_) == 24) {
            return {int(v & 0xff), int(v >> 8 & 0xff), int(v >> 16 & 0xff)};
        }
        const PALETTEENTRY& e = image_.pal.pal[v];
        return {e.peRed, e.peGreen, e.peBlue};
    }
    bool withinTolerance(std::uint32_t v) const {
        const auto a = rgb(v), b = rgb(std::uint32_t(s_.repColor));
        for (int c = 0; c < 3; ++c) {
            if (std::abs(a[std::size_t(c)] - b[std::size_t(c)]) > s_.tolerance) {
                return false;
            }
        }
        return true;
    }

    void dab(int x_, int y_, int ox, int oy, int farbe) {
        x0_ = x_ + lo_;
        y0_ = y_ + lo_;
        for (int px = x0_; px <= x_ + half_; ++px) {
            for (int py = y0_; py <= y_ + half_; ++py) {
                if (!inside(px, py) || getpixel(brush_.get(), px - x0_, py - y0_) != 0) {
                    continue;
                }
                switch (s_.mode) {
                case BrushMode::Clone: {
                    if (!selected(px, py) || !density()) {
                        break;
                    }
                    const int sx = px + s_.cloneDx, sy = py + s_.cloneDy;
                    if (inside(sx, sy)) {
                        blend(px, py, getpixel(image_, sx, sy));
                    }
                    break;
                }
                case BrushMode::Replace:
                    if (selected(px, py) && withinTolerance(getpixel(image_, px, py)) &&
                        density()) {
                        blend(px, py, std::uint32_t(farbe));
                    }
                    break;
                case BrushMode::Retouch: {
                    if (!density() || !selected(px, py)) {
                        break;
                    }
                    const std::uint32_t v = getpixel(image_, px, py);
                    if (s_.retouchModus < 2) {
                        const int step = s_.retouchModus == 0 ? 8 : -8;
                        std::uint32_t c = 0;
                        for (int k = 0; k < 3; ++k) {
                            c |= std::uint32_t(std::clamp(int(v >> (8 * k) & 0xff) + step, 0, 255))
                                 << (8 * k);
                        }
                        blend(px, py, c);
                        break;
                    }
                    const int ry = programrandom::below(n_);
                    const int rx = programrandom::below(n_);
                    const int sx =
                        s_.retouchModus == 2 ? x0_ - x_ + ox - rx + n_ / 2 : px - rx + n_ / 2;
                    const int sy =
                        s_.retouchModus == 2 ? y0_ - y_ + oy - ry + n_ / 2 : py - ry + n_ / 2;
                    if (inside(sx, sy)) {
                        blend(px, py, getpixel(image_, sx, sy));
                    }
                    break;
                }
                case BrushMode::Paint:
                    if (density() && selected(px, py)) {
                        blend(px, py, std::uint32_t(farbe));
                    }
                    break;
                }
            }
        }
    }

    void blend(int px, int py, std::uint32_t c) {
        if (DIBBitCount(image_) != 24) {
            setpixel(image_, px, py, c);
            return;
        }
        const int h = hart_.empty() ? 0 : hart_[std::size_t((px - x0_) * n_ + (py - y0_))];
        const int t = h != 0 ? h + (100 - h) * s_.tip.opacity / 100 : s_.tip.opacity;
        const std::uint32_t old = getpixel(image_, px, py);
        std::uint32_t out = 0;
        for (int k = 0; k < 3; ++k) {
            const int nw = int(c >> (8 * k) & 0xff), od = int(old >> (8 * k) & 0xff);
            out |= std::uint32_t((nw * (100 - t) + od * t) / 100) << (8 * k);
        }
        setpixel(image_, px, py, out);
    }

    dib& image_;
    BrushStroke s_;
    int n_, half_, lo_;
    int x0_ = 0, y0_ = 0;
    OwnedDib brush_;
    std::vector<int> hart_;
};

struct TipCase {
    int form, size, hard, dens, opacity;
};

std::vector<TipCase> tipCases() {
    std::vector<TipCase> cases;
    for (int form = 0; form < 6; ++form) {
        for (const int size : {1, 2, 4, 7, 8}) {
            cases.push_back({form, size, 30, 100, 40});
        }
    }
    for (const int form : {1, 3}) {
        cases.push_back({form, 7, 100, 100, 0});
        cases.push_back({form, 8, 0, 37, 0});
        cases.push_back({form, 9, 55, 64, 85});
    }
    return cases;
}

class BrushRules : public ::testing::TestWithParam<int> {};

// Every tool and tip, with and without a selection, over segments in every octant (some
// reaching over the picture's edges), against the rules applied pixel by pixel with the same
// seeded random draws: the whole picture must match.
TEST_P(BrushRules, EveryToolAndTipMatchesTheRulesPixelForPixel) {
    const int bits = GetParam();
    const OwnedDib original = patternPicture(23, 19, bits);
    OwnedDib mask;
    newdib(&mask.get(), 23, 19, 1, nullptr, 0);
    FilledEllipse(mask.get(), 2, 1, 20, 17, 1);
    const int segments[][4] = {{10, 10, 10, 10}, {3, 4, 17, 9},   {17, 9, 3, 4},   {5, 2, 8, 16},
                               {8, 16, 5, 2},    {-4, 5, 26, -3}, {20, 21, 14, -2}};
    std::vector<BrushStroke> strokes;
    for (const BrushMode mode :
         {BrushMode::Paint, BrushMode::Replace, BrushMode::Clone, BrushMode::Retouch}) {
        for (int modus = 0; modus < (mode == BrushMode::Retouch ? 4 : 1); ++modus) {
            BrushStroke s;
            s.mode = mode;
            s.retouchModus = modus;
            s.repColor = std::int32_t(getpixel(original.get(), 9, 9));
            s.tolerance = bits == 24 ? 70 : 90;
            s.cloneDx = 4;
            s.cloneDy = -3;
            if (mode != BrushMode::Retouch || bits == 24) {
                strokes.push_back(s);
            }
        }
    }
    std::uint32_t seed = 1;
    for (const TipCase& tip : tipCases()) {
        for (BrushStroke s : strokes) {
            s.tip = {tip.form, tip.size, tip.hard, tip.dens, tip.opacity};
            for (const dib* selection :
                 {static_cast<const dib*>(nullptr), &std::as_const(mask.get())}) {
                s.selection = selection;
                OwnedDib painted = copyOf(original.get());
                OwnedDib expected = copyOf(original.get());
                const int farbe = int(patternValue(5, 1, bits));
                programrandom::seed(seed);
                for (const auto& g : segments) {
                    BrushLine(painted.get(), s, g[0], g[1], g[2], g[3], farbe);
                }
                programrandom::seed(seed);
                ReferenceBrush reference(expected.get(), s);
                for (const auto& g : segments) {
                    reference.stroke(g[0], g[1], g[2], g[3], farbe);
                }
                ASSERT_EQ(pixelBytes(painted.get()), pixelBytes(expected.get()))
                    << "mode " << int(s.mode) << "/" << s.retouchModus << " form " << tip.form
                    << " size " << tip.size << " hard " << tip.hard << " dens " << tip.dens
                    << " opacity " << tip.opacity << " selection " << (selection != nullptr);
                ++seed;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, BrushRules, ::testing::ValuesIn(kAllDepths));

OwnedDib whitePicture(int width, int height, int bits) {
    OwnedDib d;
    newdib(&d.get(), width, height, bits, nullptr, 0);
    recht_filled(d.get(), 0, 0, width - 1, height - 1, maskFor(bits));
    return d;
}

// The numbers the rules fix, one by one.
TEST(BrushArithmetic, TipExtentBlendingRetouchAndTolerance) {
    BrushStroke hard;
    hard.tip = {0, 8, 100, 100, 0};
    OwnedDib white = whitePicture(24, 24, 24);
    BrushLine(white.get(), hard, 10, 10, 10, 10, 0x000000);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const bool tip = x >= 7 && x <= 14 && y >= 7 && y <= 14;
            ASSERT_EQ(getpixel(white.get(), x, y), tip ? 0u : 0xffffffu) << x << "," << y;
        }
    }

    // Size 1: no softness, the blend keeps exactly the transparency's share.
    BrushStroke one;
    one.tip = {1, 1, 0, 100, 30};
    OwnedDib dot = whitePicture(3, 3, 24);
    setpixel(dot.get(), 1, 1, 0x102030);
    BrushLine(dot.get(), one, 1, 1, 1, 1, 0xf0e0d0);
    const auto mixed = [](int n, int o) { return std::uint32_t((n * 70 + o * 30) / 100); };
    EXPECT_EQ(getpixel(dot.get(), 1, 1),
              mixed(0xd0, 0x30) | mixed(0xe0, 0x20) << 8 | mixed(0xf0, 0x10) << 16);
    EXPECT_EQ(getpixel(dot.get(), 0, 1), 0xffffffu);

    // Lighten and darken by 8, limited to the channel range.
    for (const auto& [modus, result] : {std::pair{0, 0x88'0b'ffu}, {1, 0x78'00'f2u}}) {
        BrushStroke retouch;
        retouch.mode = BrushMode::Retouch;
        retouch.retouchModus = modus;
        retouch.tip = {1, 1, 100, 100, 0};
        OwnedDib p = whitePicture(2, 2, 24);
        setpixel(p.get(), 0, 0, 250 | 3 << 8 | 128 << 16);
        BrushLine(p.get(), retouch, 0, 0, 0, 0, 0);
        EXPECT_EQ(getpixel(p.get(), 0, 0), result) << modus;
    }

    // On palette pictures the index is written as it is, whatever the softness and transparency.
    for (const int bits : {1, 4, 8}) {
        BrushStroke soft;
        soft.tip = {1, 9, 0, 100, 90};
        OwnedDib p = patternPicture(12, 12, bits);
        BrushLine(p.get(), soft, 5, 5, 6, 6, 1);
        EXPECT_EQ(getpixel(p.get(), 5, 5), 1u);
        EXPECT_EQ(getpixel(p.get(), 6, 2), 1u) << "rim of a size-9 circle";
    }

    // Colour replacement: tolerance 0 takes only the colour itself, 200 every pixel.
    OwnedDib grey = whitePicture(4, 1, 24);
    setpixel(grey.get(), 0, 0, 0x808080);
    setpixel(grey.get(), 1, 0, 0x808081);
    for (const auto& [tolerance, changed] : {std::pair{0, 1}, {200, 4}}) {
        BrushStroke replace;
        replace.mode = BrushMode::Replace;
        replace.repColor = 0x808080;
        replace.tolerance = tolerance;
        replace.tip = {0, 1, 100, 100, 0};
        OwnedDib p = copyOf(grey.get());
        BrushLine(p.get(), replace, 0, 0, 3, 0, 0x0000ff);
        int count = 0;
        for (int x = 0; x < 4; ++x) {
            count += getpixel(p.get(), x, 0) == 0x0000ffu;
        }
        EXPECT_EQ(count, changed) << tolerance;
    }
}

// A segment given from right to left is painted from its first point: the smear samples come
// from the window at (10, 0) only, so every pixel it changes takes one of the colours there.
TEST(BrushArithmetic, ASegmentIsPaintedFromItsFirstPoint) {
    OwnedDib p = patternPicture(14, 3, 24);
    const std::set<std::uint32_t> window = {getpixel(p.get(), 8, 0), getpixel(p.get(), 9, 0),
                                            getpixel(p.get(), 10, 0)};
    const OwnedDib before = copyOf(p.get());
    BrushStroke smear;
    smear.mode = BrushMode::Retouch;
    smear.retouchModus = 2;
    smear.tip = {0, 3, 100, 100, 0};
    programrandom::seed(7);
    BrushLine(p.get(), smear, 10, 0, 0, 0, 0);
    int changed = 0;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 14; ++x) {
            const std::uint32_t v = getpixel(p.get(), x, y);
            if (v != getpixel(before.get(), x, y)) {
                ++changed;
                EXPECT_TRUE(window.count(v)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changed, 10);
}

// Tips, clone sources and smear or mix samples that reach over the edge read nothing there: a
// white picture stays white however its edges are worked, and clone copies only what exists.
TEST(BrushArithmetic, NothingOutsideThePictureIsReadOrWritten) {
    for (const int modus : {2, 3}) {
        BrushStroke retouch;
        retouch.mode = BrushMode::Retouch;
        retouch.retouchModus = modus;
        retouch.tip = {1, 15, 40, 100, 0};
        OwnedDib p = whitePicture(10, 8, 24);
        programrandom::seed(3);
        BrushLine(p.get(), retouch, -2, -3, 12, 9, 0);
        BrushLine(p.get(), retouch, 9, 0, 0, 7, 0);
        EXPECT_EQ(pixelBytes(p.get()), pixelBytes(whitePicture(10, 8, 24).get())) << modus;
    }
    BrushStroke clone;
    clone.mode = BrushMode::Clone;
    clone.cloneDx = 6;
    clone.cloneDy = 0;
    clone.tip = {0, 5, 100, 100, 0};
    OwnedDib p = patternPicture(10, 5, 8);
    const OwnedDib before = copyOf(p.get());
    BrushLine(p.get(), clone, 2, 2, 2, 2, 0);
    for (int x = 0; x < 10; ++x) {
        // Sources 6 ... 9 exist, 10 does not.
        EXPECT_EQ(getpixel(p.get(), x, 2), getpixel(before.get(), x <= 3 ? x + 6 : x, 2)) << x;
    }
}

// Density is the share of tip pixels painted per step.
TEST(BrushArithmetic, DensityPaintsItsShareOfTheTip) {
    for (const int density : {1, 30, 75}) {
        BrushStroke s;
        s.tip = {0, 100, 100, density, 0};
        OwnedDib p = whitePicture(100, 100, 8);
        programrandom::seed(std::uint32_t(density));
        BrushLine(p.get(), s, 50, 50, 50, 50, 0);
        int painted = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                painted += getpixel(p.get(), x, y) == 0;
            }
        }
        // Four standard deviations of the binomial count around its mean.
        const double mean = 100.0 * density, sd = std::sqrt(mean * (1 - density / 100.0));
        EXPECT_NEAR(painted, mean, 4 * sd + 1) << density;
    }
}

} // namespace
