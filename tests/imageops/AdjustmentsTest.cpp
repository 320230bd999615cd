#include "Pictures.h"

#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "imageops/Adjustments.h"
#include "imageops/ColourModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

using namespace imageops;

namespace {

int clampByte(int v) {
    return std::clamp(v, 0, 255);
}

// One operation and its formula per colour, written out plainly.
struct Case {
    const char* name;
    std::function<OpStatus(dib&, const Selection&)> run;
    std::function<void(int& r, int& g, int& b)> formula;
    bool oneBitPalette = false; // also changes the two entries of a 1-bit palette
    bool oneBitBytes = false;   // complements every byte of a 1-bit picture instead
};

void perChannel(int& r, int& g, int& b, const std::function<int(int)>& f) {
    r = f(r), g = f(g), b = f(b);
}

std::vector<Case> cases() {
    std::vector<Case> all;
    all.push_back(
        {"DibInvert", [](dib& d, const Selection& s) { return DibInvert(d, s); },
         [](int& r, int& g, int& b) { perChannel(r, g, b, [](int v) { return 255 - v; }); }, false,
         true});
    all.push_back({"Helligkeit", [](dib& d, const Selection& s) { return Helligkeit(d, -40, s); },
                   [](int& r, int& g, int& b) {
                       perChannel(r, g, b, [](int v) { return clampByte(v - 40); });
                   },
                   true});
    for (int a : {0, 37, 150, 200}) {
        all.push_back({"Kontrast", [a](dib& d, const Selection& s) { return Kontrast(d, a, s); },
                       [a](int& r, int& g, int& b) {
                           perChannel(r, g, b, [a](int v) {
                               if (a > 100) {
                                   const int c = 200 - a;
                                   return v < 128 ? v * c / 100 : 255 - (c * (255 - v) / 100);
                               }
                               return a * (v - 127) / 100 + 127;
                           });
                       },
                       true});
    }
    for (int sat : {-55, 70}) {
        all.push_back({"Saettigung",
                       [sat](dib& d, const Selection& s) { return Saettigung(d, sat, s); },
                       [sat](int& r, int& g, int& b) {
                           perChannel(r, g, b, [sat](int v) {
                               return clampByte((v - 128) * (100 + sat) / 100 + 128);
                           });
                       }});
    }
    all.push_back({"HighMidShadow",
                   [](dib& d, const Selection& s) { return HighMidShadow(d, 200, 90, 40, s); },
                   [](int& r, int& g, int& b) {
                       const int l = (30 * r + 59 * g + 11 * b) / 100;
                       if (l >= 200) {
                           r = g = b = 255;
                       } else if (l <= 40) {
                           r = g = b = 0;
                       } else {
                           perChannel(r, g, b, [](int v) { return clampByte(v + 90 - 128); });
                       }
                   }});
    all.push_back({"RedGreenBlue",
                   [](dib& d, const Selection& s) { return RedGreenBlue(d, 60, -100, -33, s); },
                   [](int& r, int& g, int& b) {
                       r = std::min(255, r * 160 / 100);
                       g = 0;
                       b = b * 67 / 100;
                   }});
    all.push_back({"Colorize", [](dib& d, const Selection& s) { return Colorize(d, 30, 200, s); },
                   [](int& r, int& g, int& b) {
                       const RgbBytes c =
                           HSLToRGB(30, 200, 30 * r / 100 + 59 * g / 100 + 11 * b / 100);
                       r = c.red, g = c.green, b = c.blue;
                   }});
    for (double gam : {0.3, 1.8, 8.9}) {
        all.push_back({"Gamma", [gam](dib& d, const Selection& s) { return Gamma(d, gam, s); },
                       [gam](int& r, int& g, int& b) {
                           perChannel(r, g, b, [gam](int v) {
                               return clampByte(
                                   int(std::nearbyint(2.0 * v - 256.0 * std::pow(v / 256.0, gam))));
                           });
                       }});
    }
    all.push_back({"DibGrayscale", [](dib& d, const Selection& s) { return DibGrayscale(d, s); },
                   [](int& r, int& g, int& b) { r = g = b = (30 * r + 59 * g + 11 * b) / 100; }});
    all.push_back(
        {"DibPoster", [](dib& d, const Selection& s) { return DibPoster(d, 3, s); },
         [](int& r, int& g, int& b) { perChannel(r, g, b, [](int v) { return v & ~7; }); }});
    all.push_back({"DibSolar", [](dib& d, const Selection& s) { return DibSolar(d, 100, s); },
                   [](int& r, int& g, int& b) {
                       if (r + g + b >= 765 - 300) {
                           perChannel(r, g, b, [](int v) { return 255 - v; });
                       }
                   }});
    return all;
}

// A palette of distinct colours in both copies, so that palette changes show.
void colourfulPalette(dib& d) {
    for (std::uint32_t i = 0; i < DIBColorTableSize(d); ++i) {
        const std::uint32_t c = patternValue(int(i), 3, 24);
        d.pal.pal[i] =
            PALETTEENTRY{std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0};
        d.pmi->colors()[i] =
            RGBQUAD{std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), 0};
    }
}

OwnedDib stripedMask(int w, int h) {
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), w, h, 1, nullptr, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            grafikrw3::setpixel(mask.get(), x, y, (x + 2 * y) % 3 != 1);
        }
    }
    return mask;
}

void applyFormula(const Case& c, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    int r = red, g = green, b = blue;
    c.formula(r, g, b);
    red = std::uint8_t(r), green = std::uint8_t(g), blue = std::uint8_t(b);
}

// What the operation must leave: the formula on each selected pixel at 24 bits, on each entry
// of both palette copies at 4 and 8 bits (pixels untouched), and at 1 bit only on the palette
// of the operations that act there.
OwnedDib expectedResult(const dib& before, const Case& c, const dib* mask) {
    OwnedDib out(copyDib(before));
    dib& d = out.get();
    const int bits = DIBBitCount(d);
    if (bits == 1 && c.oneBitBytes) {
        for (std::int64_t i = 0; i < std::int64_t(DIBHeight(d)) * d.bytew; ++i) {
            d.poi[i] = std::uint8_t(~d.poi[i]);
        }
    } else if (bits == 24) {
        for (int y = 0; y < DIBHeight(d); ++y) {
            for (int x = 0; x < DIBWidth(d); ++x) {
                if (!mask || grafikrw3::getpixel(*mask, x, y)) {
                    std::uint8_t* p = grafikrw3::rowAt(d, y) + 3 * x;
                    applyFormula(c, p[2], p[1], p[0]);
                }
            }
        }
    } else if (bits != 1 || c.oneBitPalette) {
        for (std::uint32_t i = 0; i < DIBColorTableSize(d); ++i) {
            PALETTEENTRY& e = d.pal.pal[i];
            applyFormula(c, e.peRed, e.peGreen, e.peBlue);
            d.pmi->colors()[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
        }
    }
    return out;
}

std::vector<std::uint8_t> wholePicture(const dib& d) {
    std::vector<std::uint8_t> bytes = pixelBytes(d);
    const auto* table = reinterpret_cast<const std::uint8_t*>(d.pmi->colors());
    bytes.insert(bytes.end(), table, table + 4 * DIBColorTableSize(d));
    for (std::uint32_t i = 0; i < DIBColorTableSize(d); ++i) {
        bytes.insert(bytes.end(), {d.pal.pal[i].peRed, d.pal.pal[i].peGreen, d.pal.pal[i].peBlue});
    }
    return bytes;
}

class AdjustmentsByDepth : public testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(AdjustmentsByDepth, EveryOperationFollowsItsFormula) {
    const auto [bits, width] = GetParam();
    OwnedDib source = patternPicture(width, 5, bits);
    colourfulPalette(source.get());
    const OwnedDib mask = stripedMask(width, 5);
    for (const Case& c : cases()) {
        for (const dib* m : {static_cast<const dib*>(nullptr), &mask.get()}) {
            OwnedDib picture(copyDib(source.get()));
            picture->pal = source->pal;
            const OpStatus status = c.run(picture.get(), Selection(m, m != nullptr));
            const bool acts = bits != 1 || c.oneBitPalette || c.oneBitBytes;
            EXPECT_EQ(status, acts ? OpStatus::Done : OpStatus::Unchanged) << c.name;
            EXPECT_EQ(wholePicture(picture.get()),
                      wholePicture(expectedResult(source.get(), c, m).get()))
                << c.name << (m ? " with selection" : "");
        }
    }
}

// The boundary widths, and one longer than the 256 pixels grey scale handles at a time.
const std::vector<int> kAdjustmentWidths = [] {
    std::vector<int> widths(std::begin(kBoundaryWidths), std::end(kBoundaryWidths));
    widths.push_back(300);
    return widths;
}();

INSTANTIATE_TEST_SUITE_P(DepthsAndWidths, AdjustmentsByDepth,
                         testing::Combine(testing::ValuesIn(kAllDepths),
                                          testing::ValuesIn(kAdjustmentWidths)));

// One 24-bit pixel through an operation.
std::uint32_t onePixel(std::uint32_t value, const std::function<OpStatus(dib&)>& op) {
    OwnedDib d;
    grafikrw3::newdib(&d.get(), 1, 1, 24, nullptr, 0);
    grafikrw3::setpixel(d.get(), 0, 0, value);
    (void)op(d.get());
    return grafikrw3::getpixel(d.get(), 0, 0);
}
constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | g << 8 | b << 16;
}

TEST(Adjustments, PixelsComputedByHand) {
    auto kontrast = [](int a) { return [a](dib& d) { return Kontrast(d, a); }; };
    EXPECT_EQ(onePixel(rgb(127, 128, 0), kontrast(200)), rgb(0, 255, 0));
    EXPECT_EQ(onePixel(rgb(0, 255, 200), kontrast(0)), rgb(127, 127, 127));
    EXPECT_EQ(onePixel(rgb(100, 200, 255), kontrast(150)), rgb(50, 228, 255));
    auto saettigung = [](int s) { return [s](dib& d) { return Saettigung(d, s); }; };
    EXPECT_EQ(onePixel(rgb(0, 200, 127), saettigung(50)), rgb(0, 236, 127));
    EXPECT_EQ(onePixel(rgb(0, 255, 127), saettigung(-50)), rgb(64, 191, 128)); // -0.5 -> 0
    EXPECT_EQ(onePixel(rgb(250, 10, 3), [](dib& d) { return Helligkeit(d, 20); }),
              rgb(255, 30, 23));
    auto hms = [](int hi, int mi, int sa) {
        return [=](dib& d) { return HighMidShadow(d, hi, mi, sa); };
    };
    EXPECT_EQ(onePixel(rgb(0, 0, 9), hms(255, 128, 0)), 0u); // L1 is 0
    EXPECT_EQ(onePixel(rgb(0, 0, 10), hms(255, 128, 0)), rgb(0, 0, 10));
    EXPECT_EQ(onePixel(rgb(100, 100, 100), hms(100, 128, 150)), rgb(255, 255, 255)); // sa := hi
    EXPECT_EQ(onePixel(rgb(100, 100, 100), hms(200, 150, 50)), rgb(122, 122, 122));
    EXPECT_EQ(onePixel(rgb(200, 100, 255), [](dib& d) { return RedGreenBlue(d, 100, 100, -50); }),
              rgb(255, 200, 127));
    // L2 = 30 + 88 + 22 = 140; hue 0 fully saturated, lightened by 13/128
    EXPECT_EQ(onePixel(rgb(100, 150, 200), [](dib& d) { return Colorize(d, 0, 255); }),
              rgb(255, 25, 25));
    EXPECT_EQ(onePixel(rgb(128, 255, 0), [](dib& d) { return Gamma(d, 1.8); }), rgb(182, 255, 0));
    EXPECT_EQ(onePixel(rgb(200, 100, 50), [](dib& d) { return DibGrayscale(d); }),
              rgb(124, 124, 124));
    EXPECT_EQ(onePixel(rgb(0x9f, 0x10, 0xff), [](dib& d) { return DibPoster(d, 4); }),
              rgb(0x90, 0x10, 0xf0));
    auto solar = [](int f) { return [f](dib& d) { return DibSolar(d, f); }; };
    EXPECT_EQ(onePixel(rgb(0, 0, 0), solar(255)), rgb(255, 255, 255));
    EXPECT_EQ(onePixel(rgb(255, 255, 252), solar(1)), rgb(0, 0, 3));
    EXPECT_EQ(onePixel(rgb(255, 255, 251), solar(1)), rgb(255, 255, 251));
}

TEST(Adjustments, NeutralValuesLeaveThePictureAlone) {
    for (int bits : kAllDepths) {
        OwnedDib picture = patternPicture(9, 4, bits);
        colourfulPalette(picture.get());
        const auto before = wholePicture(picture.get());
        (void)Kontrast(picture.get(), 100);
        (void)Helligkeit(picture.get(), 0);
        (void)Saettigung(picture.get(), 0);
        (void)RedGreenBlue(picture.get(), 0, 0, 0);
        (void)Gamma(picture.get(), 1.0);
        (void)HelligkeitKontrastSaettigung(picture.get(), HKParams{});
        EXPECT_EQ(wholePicture(picture.get()), before) << bits;
    }
}

TEST(Adjustments, BrightnessContrastSaturationInOnePassEqualsThreeCalls) {
    const HKParams p{35, 160, -40};
    for (int bits : kAllDepths) {
        OwnedDib one = patternPicture(33, 3, bits);
        colourfulPalette(one.get());
        OwnedDib three(copyDib(one.get()));
        three->pal = one->pal;
        const OwnedDib mask = stripedMask(33, 3);
        const Selection selection(&mask.get(), true);
        (void)HelligkeitKontrastSaettigung(one.get(), p, selection);
        (void)Helligkeit(three.get(), p.helligkeit, selection);
        (void)Kontrast(three.get(), p.kontrast, selection);
        (void)Saettigung(three.get(), p.saettigung, selection);
        EXPECT_EQ(wholePicture(one.get()), wholePicture(three.get())) << bits;
    }
}

TEST(Adjustments, StretchUsesTheRangeOfTheSelectionOrOfTheUsedEntries) {
    // a uniform grey has n = 1: it turns black
    OwnedDib grey;
    grafikrw3::newdib(&grey.get(), 3, 2, 24, nullptr, 0);
    grafikrw3::recht_filled(grey.get(), 0, 0, 2, 1, rgb(100, 100, 100));
    ASSERT_EQ(StretchHistogramm(grey.get()), OpStatus::Done);
    EXPECT_EQ(grafikrw3::getpixel(grey.get(), 2, 1), 0u);

    // luminances 100 and 200 (n = 101) over a selection that leaves out a white pixel
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), 3, 1, 24, nullptr, 0);
    grafikrw3::setpixel(picture.get(), 0, 0, rgb(100, 100, 100));
    grafikrw3::setpixel(picture.get(), 1, 0, rgb(200, 200, 200));
    grafikrw3::setpixel(picture.get(), 2, 0, rgb(255, 255, 255));
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), 3, 1, 1, nullptr, 0);
    ASSERT_EQ(StretchHistogramm(picture.get(), Selection(&mask.get(), true)), OpStatus::Unchanged);
    grafikrw3::setpixel(mask.get(), 0, 0, 1);
    grafikrw3::setpixel(mask.get(), 1, 0, 1);
    ASSERT_EQ(StretchHistogramm(picture.get(), Selection(&mask.get(), true)), OpStatus::Done);
    EXPECT_EQ(pixelValues(picture.get())[0],
              (std::vector<std::uint32_t>{0, rgb(253, 253, 253), rgb(255, 255, 255)}));

    // palette: only the entries the pixels use set the range; all entries change
    OwnedDib indexed;
    grafikrw3::newdib(&indexed.get(), 4, 1, 8, nullptr, 0); // grey ramp: entry i is grey i
    grafikrw3::setpixel(indexed.get(), 0, 0, 50);
    grafikrw3::setpixel(indexed.get(), 1, 0, 60);
    grafikrw3::setpixel(indexed.get(), 2, 0, 60);
    grafikrw3::setpixel(indexed.get(), 3, 0, 59);
    ASSERT_EQ(StretchHistogramm(indexed.get()), OpStatus::Done);
    EXPECT_EQ(indexed->pal.pal[49].peRed, 0); // 256 * -1 / 11 truncates to 0
    EXPECT_EQ(indexed->pal.pal[55].peGreen, 116);
    EXPECT_EQ(indexed->pmi->colors()[60].rgbBlue, 232);
    EXPECT_EQ(indexed->pal.pal[61].peRed, 255);
    EXPECT_EQ(grafikrw3::getpixel(indexed.get(), 0, 0), 50u);
}

TEST(ColourModel, HslToRgbByHand) {
    EXPECT_EQ(HSLToRGB(0, 255, 127), (RgbBytes{255, 0, 0}));
    EXPECT_EQ(HSLToRGB(85, 255, 127), (RgbBytes{0, 255, 0}));   // H = 511
    EXPECT_EQ(HSLToRGB(170, 255, 127), (RgbBytes{0, 0, 255}));  // H = 1023
    EXPECT_EQ(HSLToRGB(43, 255, 127), (RgbBytes{253, 255, 0})); // H = 258
    EXPECT_EQ(HSLToRGB(255, 255, 127), (RgbBytes{255, 0, 0}));  // H = 1535
    EXPECT_EQ(HSLToRGB(0, 255, 0), (RgbBytes{2, 0, 0}));
    EXPECT_EQ(HSLToRGB(0, 100, 127), (RgbBytes{177, 77, 77}));
    EXPECT_EQ(HSLToRGB(0, 255, 200), (RgbBytes{255, 145, 145}));
    for (int h : {0, 17, 128, 255}) {
        EXPECT_EQ(HSLToRGB(h, 0, 127), (RgbBytes{128, 128, 128}));
        EXPECT_EQ(HSLToRGB(h, 200, 255), (RgbBytes{255, 255, 255}));
    }
    int r = 0, g = 0, b = 0;
    HSLToRGB(170, 255, 127, r, g, b);
    EXPECT_EQ(std::tie(r, g, b), std::make_tuple(0, 0, 255));
    EXPECT_EQ(luminance(255, 255, 255), 255);
    EXPECT_EQ(luminanceByTerms(255, 255, 255), 254);
}

} // namespace
