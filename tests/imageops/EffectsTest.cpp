#include "OpTestPictures.h"
#include "TestSupport.h"

#include "foundation/DibCopy.h"
#include "foundation/Random.h"
#include "imageops/Effects.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace imageops;
using grafikrw3::getpixel;
using grafikrw3::setpixel;
using optest::wholePicture;

std::int64_t channel(std::uint32_t value, int c) { // c: 0 red, 1 green, 2 blue
    return (value >> (8 * c)) & 0xff;
}
std::uint32_t rgb(std::int64_t r, std::int64_t g, std::int64_t b) {
    auto clamp = [](std::int64_t v) { return std::uint32_t(std::clamp<std::int64_t>(v, 0, 255)); };
    return clamp(r) | clamp(g) << 8 | clamp(b) << 16;
}

SelRect boundsByPixel(const dib& m) {
    SelRect r{DIBWidth(m), DIBHeight(m), -1, -1};
    for (int y = 0; y < DIBHeight(m); ++y) {
        for (int x = 0; x < DIBWidth(m); ++x) {
            if (getpixel(m, x, y)) {
                r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x),
                     std::max(r.Bottom, y)};
            }
        }
    }
    return r;
}

OwnedDib referenceShadow(const dib& before, const ShadowParams& p, const dib& m) {
    OwnedDib out(copyDib(before));
    const SelRect r = boundsByPixel(m);
    const std::int64_t hw = (r.Right - r.Left) / 2, hh = (r.Bottom - r.Top) / 2;
    const std::int64_t cx = r.Left + p.px + hw, cy = r.Top + p.py + hh, blur = p.blur;
    auto selected = [&](std::int64_t x, std::int64_t y) {
        return x >= 0 && y >= 0 && x < DIBWidth(m) && y < DIBHeight(m) &&
               getpixel(m, int(x), int(y)) == 1;
    };
    for (std::int64_t y = r.Top + p.py; y <= r.Bottom + p.py; ++y) {
        for (std::int64_t x = r.Left + p.px; x <= r.Right + p.px; ++x) {
            if (x < 0 || y < 0 || x >= DIBWidth(m) || y >= DIBHeight(m) || selected(x, y) ||
                !selected(x - p.px, y - p.py)) {
                continue;
            }
            if (DIBBitCount(before) <= 8) {
                setpixel(out.get(), int(x), int(y), p.color);
                continue;
            }
            std::int64_t E = 0;
            if (hw && hh) {
                const std::int64_t dx = std::abs(cx - x), dy = std::abs(cy - y);
                const std::int64_t A = std::max(dx * 100 / hw, dy * 100 / hh);
                const std::int64_t D =
                    std::int64_t(std::nearbyint(std::sqrt(double(dx * dx + dy * dy)))) * 100 /
                    std::max(hw, hh);
                E = std::min<std::int64_t>((A * (100 - blur) + D * blur) / 100, 100);
            }
            const std::int64_t F = E > 100 - blur ? (E - (100 - blur)) * 100 / blur : 0;
            const std::uint32_t old = getpixel(before, int(x), int(y));
            std::int64_t c[3];
            for (int k = 0; k < 3; ++k) {
                const std::int64_t faded =
                    ((100 - F) * channel(p.color, k) + F * channel(old, k)) / 100;
                c[k] = ((100 - p.trans) * faded + p.trans * channel(old, k)) / 100;
            }
            setpixel(out.get(), int(x), int(y), rgb(c[0], c[1], c[2]));
        }
    }
    return out;
}

// The push-button frame; a band pixel whose bevel the distances do not decide is shaded by
// the band it lies in, and top and bottom have no bevel when they come out 0 rows high.
OwnedDib referenceButton(const dib& before, const ButtonParams& p, const dib& m) {
    OwnedDib out(copyDib(before));
    const SelRect r = boundsByPixel(m);
    const std::int64_t L = r.Left, T = r.Top, R = r.Right, B = r.Bottom, a = R - L, b = B - T;
    const std::int64_t px = p.px;
    const auto py = std::int64_t(std::nearbyint(double(px) * double(b) / double(a)));
    const std::int64_t cx = L + a / 2, cy = T + b / 2;
    for (std::int64_t y = T; y <= B; ++y) {
        for (std::int64_t x = L; x <= R; ++x) {
            const std::int64_t dL = x - L, dR = R - x, dT = y - T, dB = B - y;
            const bool left = dL <= px, right = dR <= px;
            const bool top = py > 0 && dT <= py, bottom = py > 0 && dB <= py;
            if (!getpixel(m, int(x), int(y)) || !(left || right || top || bottom)) {
                continue;
            }
            const std::int64_t v = a > b ? std::abs(x - cx) : std::abs(x - cx) * b / a;
            const std::int64_t w = a > b ? std::abs(y - cy) * a / b : std::abs(y - cy);
            // 'l'eft, 'r'ight, 't'op, 'b'ottom, or two of them averaged.
            std::string bevel;
            if (w == v && ((x > cx && y < cy) || (y > cy && x < cx))) {
                bevel = left ? (py > 0 ? "lb" : "l") : right ? (py > 0 ? "rt" : "r") : "";
            } else if (w > v) {
                bevel = top ? "t" : bottom ? "b" : "";
            } else {
                bevel = left ? "l" : right ? "r" : "";
            }
            if (bevel.empty()) {
                bevel = left ? "l" : right ? "r" : top ? "t" : "b";
            }
            const std::int64_t s = bevel[0] == 'l'   ? dL * 100 / px
                                   : bevel[0] == 'r' ? dR * 100 / px
                                   : bevel[0] == 't' ? dT * 100 / py
                                                     : dB * 100 / py;
            const std::int64_t k = std::min<std::int64_t>(p.trans + (p.solid ? 0 : s), 100);
            const std::uint32_t old = getpixel(before, int(x), int(y));
            std::int64_t out3[3];
            for (int c = 0; c < 3; ++c) {
                const std::int64_t C = channel(p.color, c);
                auto shade = [&](char side) {
                    switch (side) {
                    case 'l':
                        return C - (px - dL) * C / (2 * px);
                    case 'r':
                        return C - (2 * px - dR) * C / (2 * px);
                    case 't':
                        return C - (py - dT) * C / (2 * py);
                    default:
                        return C - (2 * py - dB) * C / (2 * py);
                    }
                };
                const std::int64_t sh =
                    bevel.size() == 2 ? (shade(bevel[0]) + shade(bevel[1])) >> 1 : shade(bevel[0]);
                out3[c] = ((100 - k) * sh + k * channel(old, c)) / 100;
            }
            setpixel(out.get(), int(x), int(y), rgb(out3[0], out3[1], out3[2]));
        }
    }
    return out;
}

// Selections of every shape the frame effects meet: a rectangle, an uneven ring, a wide flat
// strip (top and bottom frame 0 rows high), a tall one, and two small boxes whose frame pixels
// the distances from the centre do not all assign to a bevel and whose diagonal mixes in a
// far band's shade above 255.
std::vector<OwnedDib> frameSelections(int w, int h) {
    std::vector<OwnedDib> masks;
    for (const int right : {4, 6}) {
        masks.push_back(optest::mask(w, h, [&](int x, int y) {
            return x >= 1 && x <= std::min(right, w - 1) && y >= 2 && y <= 9;
        }));
    }
    masks.push_back(optest::mask(
        w, h, [&](int x, int y) { return x >= 2 && y >= 3 && x < w - 4 && y < h - 2; }));
    masks.push_back(
        optest::mask(w, h, [&](int x, int y) { return optest::unevenSelection(x, y, w, h); }));
    masks.push_back(optest::mask(w, h, [&](int, int y) { return y >= 4 && y <= 6; }));
    masks.push_back(optest::mask(w, h, [&](int x, int) { return x >= 1 && x <= 3; }));
    return masks;
}

TEST(Effects, ShadowMatchesItsDefinitionAtEveryDepth) {
    for (const int bits : kAllDepths) {
        for (const int w : {9, 33}) {
            const int h = 21;
            const OwnedDib src = bits == 24 ? optest::noise24(w, h, 5) : optest::source(w, h, bits);
            for (const OwnedDib& m : frameSelections(w, h)) {
                const Selection sel(&m.get(), true);
                for (const ShadowParams p :
                     {ShadowParams{5, 5, 10, 10, 0x102030}, ShadowParams{-3, 7, 0, 0, 0xffffff},
                      ShadowParams{2, -4, 40, 100, 0x0000ff}, ShadowParams{-40, 0, 0, 60, 1}}) {
                    OwnedDib di(copyDib(src.get()));
                    DrawShadow(di.get(), p, sel);
                    EXPECT_EQ(wholePicture(di.get()),
                              wholePicture(referenceShadow(src.get(), p, m.get()).get()))
                        << bits << " bits, width " << w << ", offset " << p.px << ", " << p.py;
                }
            }
        }
    }
}

TEST(Effects, ButtonFrameMatchesItsDefinitionAndKeepsItsBytes) {
    for (const int w : kBoundaryWidths) {
        const int h = 17;
        const OwnedDib src = optest::noise24(w, h, unsigned(w));
        for (const OwnedDib& m : frameSelections(w, h)) {
            if (boundsByPixel(m.get()).Left >= boundsByPixel(m.get()).Right) {
                continue; // a line: covered below
            }
            const Selection sel(&m.get(), true);
            for (const ButtonParams p :
                 {ButtonParams{10, 0, true, 0xffffff}, ButtonParams{1, 20, false, 0x80ff40},
                  ButtonParams{1, 0, true, 0xffffff}, ButtonParams{2, 10, true, 0xc0ff80},
                  ButtonParams{3, 0, false, 0x00ffff}, ButtonParams{100, 5, true, 0xffffff}}) {
                OwnedDib di(copyDib(src.get()));
                Buttonize(di.get(), p, sel);
                EXPECT_EQ(wholePicture(di.get()),
                          wholePicture(referenceButton(src.get(), p, m.get()).get()))
                    << "width " << w << ", frame " << p.px;
            }
        }
    }
}

TEST(Effects, FrameEffectsNeedASelectionAndRoom) {
    const OwnedDib src = optest::noise24(60, 40, 3);
    const OwnedDib rect =
        optest::mask(60, 40, [](int x, int y) { return x >= 10 && x < 50 && y >= 5 && y < 35; });
    const OwnedDib line = optest::mask(60, 40, [](int x, int y) { return x == 7 && y > 3; });
    OwnedDib di(copyDib(src.get()));
    const Selection none(&rect.get(), false);
    EXPECT_EQ(DrawShadow(di.get(), {}, none), OpStatus::Unchanged);
    EXPECT_EQ(Buttonize(di.get(), {}, none), OpStatus::Unchanged);
    EXPECT_EQ(Buttonize(di.get(), {0, 0, true, 0xffffff}, {&rect.get(), true}),
              OpStatus::Unchanged); // no frame width
    EXPECT_EQ(Buttonize(di.get(), {10, 0, true, 0xffffff}, {&line.get(), true}),
              OpStatus::Unchanged); // one pixel wide
    EXPECT_EQ(DrawShadow(di.get(), {5, 5, 100, 10, 0}, {&rect.get(), true}), OpStatus::Done);
    EXPECT_EQ(wholePicture(di.get()), wholePicture(src.get())); // fully transparent

    // An offset of (5, 5) paints an L-shaped strip right of and below the selection.
    DrawShadow(di.get(), {5, 5, 0, 0, 0x0000ff}, {&rect.get(), true});
    EXPECT_EQ(getpixel(di.get(), 50, 30), 0x0000ffu);
    EXPECT_EQ(getpixel(di.get(), 54, 39), 0x0000ffu);
    EXPECT_EQ(getpixel(di.get(), 55, 30), getpixel(src.get(), 55, 30));
    EXPECT_EQ(getpixel(di.get(), 49, 30), getpixel(src.get(), 49, 30));

    // A white button of frame 10: half white at the outer left column, black at the right.
    OwnedDib grey(copyDib(src.get()));
    Buttonize(grey.get(), {10, 0, true, 0xffffff}, {&rect.get(), true});
    EXPECT_EQ(getpixel(grey.get(), 10, 20), 0x808080u);
    EXPECT_EQ(getpixel(grey.get(), 49, 20), 0u);
    EXPECT_EQ(getpixel(grey.get(), 30, 20), getpixel(src.get(), 30, 20));
}

TEST(Effects, SelectionBoundsIgnoreMaskPadding) {
    OwnedDib m = optest::mask(10, 4, [](int x, int y) { return x == 3 && y >= 1; });
    grafikrw3::rowAt(m.get(), 0)[1] = 0x3f; // bits of columns 10 to 15: padding only
    EXPECT_EQ(selectionBounds({&m.get(), true}), (SelRect{3, 1, 3, 3}));
    EXPECT_FALSE(selectionBounds({&m.get(), false}));
}

TEST(Effects, MosaicCopiesEachBlocksCornerAtEveryDepth) {
    for (const int bits : kAllDepths) {
        for (const int w : kBoundaryWidths) {
            const int h = 11;
            const OwnedDib src = optest::source(w, h, bits);
            const OwnedDib m = optest::mask(
                w, h, [&](int x, int y) { return optest::unevenSelection(x, y, w, h); });
            for (const bool selected : {false, true}) {
                for (const MosaicParams p : {MosaicParams{3, 4}, MosaicParams{1, 1},
                                             MosaicParams{8, 2}, MosaicParams{100, 100}}) {
                    const Selection sel(&m.get(), selected);
                    const OwnedDib expected = optest::build(src.get(), w, h, [&](int x, int y) {
                        return sel.contains(x, y)
                                   ? getpixel(src.get(), x - x % p.breit, y - y % p.hoch)
                                   : getpixel(src.get(), x, y);
                    });
                    OwnedDib di(copyDib(src.get()));
                    MosaikEffekt(di.get(), p, sel);
                    EXPECT_EQ(wholePicture(di.get()), wholePicture(expected.get()))
                        << bits << " bits, width " << w << ", blocks " << p.breit << " x " << p.hoch
                        << (selected ? " selected" : "");
                }
            }
        }
    }
}

// Sums of red, green and blue over the 5 x 5 neighbourhood, edges repeated.
std::array<std::int64_t, 3> sums5(const dib& d, int x, int y) {
    std::array<std::int64_t, 3> s{};
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const std::uint32_t v = getpixel(d, std::clamp(x + dx, 0, DIBWidth(d) - 1),
                                             std::clamp(y + dy, 0, DIBHeight(d) - 1));
            for (int c = 0; c < 3; ++c) {
                s[c] += channel(v, c);
            }
        }
    }
    return s;
}

TEST(Effects, NeighbourhoodFiltersMatchTheirDefinitions) {
    for (const int w : kBoundaryWidths) {
        for (const int h : {1, 4, 9}) {
            // Dark, bright and middling areas, so that every branch is taken.
            OwnedDib src = optest::noise24(w, h, unsigned(w * h));
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t v = getpixel(src.get(), x, y);
                    setpixel(src.get(), x, y, x < w / 3 ? v & 0x3f3f3f : y % 3 ? v | 0xc0c0c0 : v);
                }
            }
            const OwnedDib m = optest::mask(
                w, h, [&](int x, int y) { return optest::unevenSelection(x, y, w, h); });
            for (const bool selected : {false, true}) {
                const Selection sel(&m.get(), selected);
                auto reference = [&](auto rule) {
                    return optest::build(src.get(), w, h, [&](int x, int y) {
                        const std::uint32_t old = getpixel(src.get(), x, y);
                        return sel.contains(x, y) ? rule(old, sums5(src.get(), x, y)) : old;
                    });
                };
                const OwnedDib eroded = reference([](std::uint32_t old, auto s) {
                    const std::int64_t v = 30 * s[0] + 59 * s[1] + 11 * s[2];
                    return v / 2500 < 96 ? rgb(s[0] / 50, s[1] / 50, s[2] / 50) : old;
                });
                const OwnedDib dilated = reference([](std::uint32_t old, auto s) {
                    const std::int64_t v = 30 * s[0] + 59 * s[1] + 11 * s[2];
                    return v / 2500 > 160 ? rgb(v / 2000, v / 2000, v / 2000) : old;
                });
                const OwnedDib cleaned = reference([](std::uint32_t old, auto s) {
                    bool far = false;
                    for (int c = 0; c < 3; ++c) {
                        far = far || std::abs(s[c] / 25 - channel(old, c)) > 40;
                    }
                    return far ? rgb(s[0] / 25, s[1] / 25, s[2] / 25) : old;
                });
                OwnedDib di(copyDib(src.get()));
                EXPECT_EQ(DibErodeFilter(di.get(), sel), OpStatus::Done);
                EXPECT_EQ(wholePicture(di.get()), wholePicture(eroded.get())) << w << "x" << h;
                di.reset(copyDib(src.get()));
                DibDilateFilter(di.get(), sel);
                EXPECT_EQ(wholePicture(di.get()), wholePicture(dilated.get())) << w << "x" << h;
                di.reset(copyDib(src.get()));
                DelNoise(di.get(), 40, sel);
                EXPECT_EQ(wholePicture(di.get()), wholePicture(cleaned.get())) << w << "x" << h;
            }
        }
    }
}

TEST(Effects, NeighbourhoodFiltersOnKnownAreasAndShortMemory) {
    auto uniform = [](std::uint32_t value) {
        OwnedDib d;
        grafikrw3::newdib(&d.get(), 12, 12, 24, nullptr, 0);
        grafikrw3::recht_filled(d.get(), 0, 0, 11, 11, value);
        return d;
    };
    OwnedDib dark = uniform(0x505050);
    DibErodeFilter(dark.get(), {});
    EXPECT_EQ(getpixel(dark.get(), 6, 6), 0x282828u); // 80 halves to 40
    OwnedDib bright = uniform(0xc8c8c8);
    DibDilateFilter(bright.get(), {});
    EXPECT_EQ(getpixel(bright.get(), 6, 6), 0xfafafau); // 200 becomes 250
    OwnedDib middle = uniform(0xa0a0a0);
    DibDilateFilter(middle.get(), {});
    EXPECT_EQ(getpixel(middle.get(), 6, 6), 0xa0a0a0u); // 160 stays

    OwnedDib speck = uniform(0);
    setpixel(speck.get(), 6, 6, 0xffffff);
    DelNoise(speck.get(), 50, {});
    EXPECT_EQ(getpixel(speck.get(), 6, 6), 0x0a0a0au);
    EXPECT_EQ(getpixel(speck.get(), 5, 6), 0u);

    OwnedDib palette = optest::source(12, 12, 8);
    EXPECT_EQ(DelNoise(palette.get(), 50, {}), OpStatus::Unchanged);

    OwnedDib kept = uniform(0x505050);
    AllocationFailure noMemory(1);
    EXPECT_EQ(DibErodeFilter(kept.get(), {}), OpStatus::NoMemory);
    EXPECT_EQ(getpixel(kept.get(), 6, 6), 0x505050u);
}

TEST(Effects, NoiseDrawsFromTheProgramsGenerator) {
    for (const int w : kBoundaryWidths) {
        const int h = 6;
        const OwnedDib src = optest::noise24(w, h, 11);
        const OwnedDib m =
            optest::mask(w, h, [&](int x, int y) { return optest::unevenSelection(x, y, w, h); });
        const Selection sel(&m.get(), true);
        const NoiseParams p{96, 50};
        programrandom::seed(1234);
        const OwnedDib expected = optest::build(src.get(), w, h, [&](int x, int y) {
            const std::uint32_t old = getpixel(src.get(), x, y);
            if (!sel.contains(x, y) || programrandom::below(100) >= p.Wahrs) {
                return old;
            }
            std::int64_t c[3];
            for (int k = 2; k >= 0; --k) { // blue first
                c[k] = channel(old, k) + programrandom::below(p.Stark) - p.Stark / 2;
            }
            return rgb(c[0], c[1], c[2]);
        });
        programrandom::seed(1234);
        OwnedDib di(copyDib(src.get()));
        AddNoise(di.get(), p, sel);
        EXPECT_EQ(wholePicture(di.get()), wholePicture(expected.get())) << w;

        di.reset(copyDib(src.get()));
        AddNoise(di.get(), {1, 100}, {});
        EXPECT_EQ(wholePicture(di.get()), wholePicture(src.get()));
    }
}

TEST(Effects, FixedColoursBecomeTheNearestPaletteEntryOnPalettePictures) {
    OwnedDib palette = optest::source(4, 4, 8);
    palette->pal.pal[77] = PALETTEENTRY{250, 3, 1, 0};
    const OwnedDib true24 = optest::noise24(4, 4, 1);
    EXPECT_EQ(effectColour(int(EffectColour::Rot), 5, 6, palette.get()), 77u);
    EXPECT_EQ(effectColour(int(EffectColour::Rot), 5, 6, true24.get()), 0x0000ffu);
    EXPECT_EQ(effectColour(int(EffectColour::Blau), 5, 6, true24.get()), 0xff0000u);
    EXPECT_EQ(effectColour(int(EffectColour::Vordergrundfarbe), 5, 6, palette.get()), 5u);
    EXPECT_EQ(effectColour(int(EffectColour::Hintergrundfarbe), 5, 6, palette.get()), 6u);
    EXPECT_EQ(effectColour(42, 5, 6, true24.get()), 6u);
}

} // namespace
