#include "Adjustments.h"

#include "ColourModel.h"
#include "PointOps.h"
#include "Vectorise.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cmath>

namespace imageops {

using pointops::makeTable;
using pointops::Table;

namespace pointops {

OpStatus mapChannels(dib& di, const Table& blue, const Table& green, const Table& red,
                     const Selection& selection, const ProgressCallback& progress,
                     bool oneBitPalette) {
    OpProgress bar(progress);
    const Target target = targetOf(di, oneBitPalette);
    if (target == Target::None || (isIdentity(blue) && isIdentity(green) && isIdentity(red))) {
        return OpStatus::Unchanged;
    }
    if (target == Target::Palette) {
        forPaletteEntries(di, bar, [&](std::uint8_t* bgr) {
            bgr[0] = blue[bgr[0]];
            bgr[1] = green[bgr[1]];
            bgr[2] = red[bgr[2]];
        });
        return OpStatus::Done;
    }
    const bool same = blue == green && green == red;
    const std::int64_t rowBytes = std::int64_t(DIBWidth(di)) * 3;
    if (same && !selection.active()) {
        walkRows(di, Selection::whole(), bar, [&](std::int32_t t, const MaskRow&) {
            std::uint8_t* row = grafikrw3::rowAt(di, t);
            for (std::int64_t i = 0; i < rowBytes; ++i) {
                row[i] = blue[row[i]];
            }
        });
        return OpStatus::Done;
    }
    forSelectedPixels(di, selection, bar, [&](std::uint8_t* bgr) {
        bgr[0] = blue[bgr[0]];
        bgr[1] = green[bgr[1]];
        bgr[2] = red[bgr[2]];
    });
    return OpStatus::Done;
}

} // namespace pointops

namespace {

// Parameters far outside their range give the same bytes as a large one; limiting them keeps
// the products within 32 bits.
constexpr int kParamLimit = 100000;
int limited(int v) {
    return std::clamp(v, -kParamLimit, kParamLimit);
}

Table brightnessTable(int solarf) {
    const int s = limited(solarf);
    return makeTable([s](int v) { return v + s; });
}

Table contrastTable(int solarf) {
    const int a = limited(solarf);
    if (a > 100) {
        const int c = 200 - a;
        return makeTable([c](int v) { return v < 128 ? v * c / 100 : 255 - c * (255 - v) / 100; });
    }
    return makeTable([a](int v) { return a * (v - 127) / 100 + 127; });
}

Table saturationTable(int sat) {
    const int f = 100 + limited(sat);
    return makeTable([f](int v) { return (v - 128) * f / 100 + 128; });
}

// Grey for a whole row: first the luminance at every byte position, which is the same
// arithmetic for every byte and so runs in vector lanes, then the value found at each pixel's
// first byte copied into its three bytes.
TESSAPLAN_VECTOR_CLONES
void greyRow(std::uint8_t* row, std::int32_t width) {
    constexpr int kPixels = 256;
    alignas(64) std::uint8_t lum[3 * kPixels];
    for (std::int32_t start = 0; start < width; start += kPixels) {
        const int n = std::min(kPixels, width - start);
        std::uint8_t* p = row + 3 * start;
        for (int i = 0; i < 3 * n - 2; ++i) {
            const auto sum = std::uint16_t(11 * p[i] + 59 * p[i + 1] + 30 * p[i + 2]);
            lum[i] = std::uint8_t(sum / 100);
        }
        for (int x = 0; x < n; ++x) {
            const std::uint8_t v = lum[3 * x];
            p[3 * x] = v;
            p[3 * x + 1] = v;
            p[3 * x + 2] = v;
        }
    }
}

Table scaleTable(int p) {
    const int f = 100 + limited(p);
    return makeTable([f](int v) { return v * f / 100; });
}

} // namespace

OpStatus DibInvert(dib& di, const Selection& selection, const ProgressCallback& progress) {
    if (di.poi && DIBBitCount(di) == 1) {
        OpProgress bar(progress);
        walkRows(di, Selection::whole(), bar, [&](std::int32_t t, const MaskRow&) {
            std::uint8_t* row = grafikrw3::rowAt(di, t);
            for (std::int32_t i = 0; i < di.bytew; ++i) {
                row[i] = std::uint8_t(~row[i]);
            }
        });
        return OpStatus::Done;
    }
    if (di.poi && DIBBitCount(di) == 24 && !selection.active()) {
        OpProgress bar(progress);
        const std::int64_t rowBytes = std::int64_t(DIBWidth(di)) * 3;
        walkRows(di, Selection::whole(), bar, [&](std::int32_t t, const MaskRow&) {
            std::uint8_t* row = grafikrw3::rowAt(di, t);
            for (std::int64_t i = 0; i < rowBytes; ++i) {
                row[i] = std::uint8_t(255 - row[i]);
            }
        });
        return OpStatus::Done;
    }
    return pointops::mapChannels(di, makeTable([](int v) { return 255 - v; }), selection, progress,
                                 false);
}

OpStatus Helligkeit(dib& di, int SOLARF, const Selection& selection,
                    const ProgressCallback& progress) {
    return pointops::mapChannels(di, brightnessTable(SOLARF), selection, progress, true);
}

OpStatus Kontrast(dib& di, int SOLARF, const Selection& selection,
                  const ProgressCallback& progress) {
    return pointops::mapChannels(di, contrastTable(SOLARF), selection, progress, true);
}

OpStatus Saettigung(dib& di, int sat, const Selection& selection,
                    const ProgressCallback& progress) {
    return pointops::mapChannels(di, saturationTable(sat), selection, progress, false);
}

OpStatus HelligkeitKontrastSaettigung(dib& di, const HKParams& p, const Selection& selection,
                                      const ProgressCallback& progress) {
    const Table toneOnly =
        pointops::compose(contrastTable(p.kontrast), brightnessTable(p.helligkeit));
    if (di.poi && DIBBitCount(di) == 1) { // the saturation leaves 1-bit pictures alone
        return pointops::mapChannels(di, toneOnly, selection, progress, true);
    }
    return pointops::mapChannels(di, pointops::compose(saturationTable(p.saettigung), toneOnly),
                                 selection, progress, false);
}

OpStatus HighMidShadow(dib& di, int hi, int mi, int sa, const Selection& selection,
                       const ProgressCallback& progress) {
    hi = limited(hi);
    sa = std::min(limited(sa), hi);
    mi = std::min(std::max(limited(mi), sa), hi);
    const Table shift = makeTable([mi](int v) { return v + mi - 128; });
    return pointops::mapColours(di, selection, progress, [&](std::uint8_t* bgr) {
        const int l = luminance(bgr[2], bgr[1], bgr[0]);
        if (l >= hi) {
            bgr[0] = bgr[1] = bgr[2] = 255;
        } else if (l <= sa) {
            bgr[0] = bgr[1] = bgr[2] = 0;
        } else {
            bgr[0] = shift[bgr[0]];
            bgr[1] = shift[bgr[1]];
            bgr[2] = shift[bgr[2]];
        }
    });
}

OpStatus HighMidShadow(dib& di, const LightParams& p, const Selection& selection,
                       const ProgressCallback& progress) {
    return HighMidShadow(di, p.hi, p.mi, p.sa, selection, progress);
}

OpStatus RedGreenBlue(dib& di, int red, int green, int blue, const Selection& selection,
                      const ProgressCallback& progress) {
    return pointops::mapChannels(di, scaleTable(blue), scaleTable(green), scaleTable(red),
                                 selection, progress, false);
}

OpStatus RedGreenBlue(dib& di, const RGBParams& p, const Selection& selection,
                      const ProgressCallback& progress) {
    return RedGreenBlue(di, p.red, p.green, p.blue, selection, progress);
}

OpStatus Colorize(dib& di, int farbe, int satt, const Selection& selection,
                  const ProgressCallback& progress) {
    RgbBytes colours[256];
    for (int l = 0; l < 256; ++l) {
        colours[l] = HSLToRGB(farbe, satt, l);
    }
    return pointops::mapColours(di, selection, progress, [&](std::uint8_t* bgr) {
        const RgbBytes& c = colours[luminanceByTerms(bgr[2], bgr[1], bgr[0])];
        bgr[0] = c.blue;
        bgr[1] = c.green;
        bgr[2] = c.red;
    });
}

OpStatus Colorize(dib& di, const ColizeParams& p, const Selection& selection,
                  const ProgressCallback& progress) {
    return Colorize(di, p.farbe, p.satt, selection, progress);
}

OpStatus Gamma(dib& di, double gam, const Selection& selection, const ProgressCallback& progress) {
    Table table{};
    for (int v = 0; v < 256; ++v) {
        // nearbyint rounds to the nearest integer with ties to even; NaN becomes 0
        const double r = std::nearbyint(2.0 * v - 256.0 * grafikrw3::power(v / 256.0, gam));
        table[std::size_t(v)] = r > 255.0 ? 255 : r > 0.0 ? std::uint8_t(r) : 0;
    }
    return pointops::mapChannels(di, table, selection, progress, false);
}

OpStatus Gamma(dib& di, const GammaParams& p, const Selection& selection,
               const ProgressCallback& progress) {
    return Gamma(di, p.gam, selection, progress);
}

OpStatus DibGrayscale(dib& di, const Selection& selection, const ProgressCallback& progress) {
    if (di.poi && DIBBitCount(di) == 24 && !selection.active()) {
        OpProgress bar(progress);
        walkRows(di, Selection::whole(), bar, [&](std::int32_t t, const MaskRow&) {
            greyRow(grafikrw3::rowAt(di, t), DIBWidth(di));
        });
        return OpStatus::Done;
    }
    return pointops::mapColours(di, selection, progress, [](std::uint8_t* bgr) {
        bgr[0] = bgr[1] = bgr[2] = std::uint8_t(luminance(bgr[2], bgr[1], bgr[0]));
    });
}

OpStatus StretchHistogramm(dib& di, const Selection& selection, const ProgressCallback& progress) {
    int lo = 255;
    int hi = 0;
    {
        OpProgress bar(progress);
        switch (pointops::targetOf(di, false)) {
        case pointops::Target::None:
            return OpStatus::Unchanged;
        case pointops::Target::Pixels:
            pointops::forSelectedPixels(di, selection, bar, [&](std::uint8_t* bgr) {
                const int l = luminance(bgr[2], bgr[1], bgr[0]);
                lo = std::min(lo, l);
                hi = std::max(hi, l);
            });
            break;
        case pointops::Target::Palette: {
            // Every pixel counts, selected or not; each index's luminance is looked up once.
            bool used[256] = {};
            const int bits = DIBBitCount(di);
            const std::int32_t width = DIBWidth(di);
            walkRows(di, Selection::whole(), bar, [&](std::int32_t t, const MaskRow&) {
                const std::uint8_t* row = grafikrw3::rowAt(di, t);
                for (std::int32_t x = 0; x < width; ++x) {
                    used[grafikrw3::getIndex(row, bits, x)] = true;
                }
            });
            for (int i = 0; i < 256; ++i) {
                if (used[i]) {
                    const PALETTEENTRY& e = di.pal.pal[i];
                    const int l = luminance(e.peRed, e.peGreen, e.peBlue);
                    lo = std::min(lo, l);
                    hi = std::max(hi, l);
                }
            }
            break;
        }
        }
    }
    if (hi < lo) {
        return OpStatus::Unchanged; // no selected pixel
    }
    const int n = hi - lo + 1;
    return pointops::mapChannels(di, makeTable([lo, n](int v) { return 256 * (v - lo) / n; }),
                                 selection, progress, false);
}

OpStatus DibPoster(dib& di, int faktor, const Selection& selection,
                   const ProgressCallback& progress) {
    const int f = std::clamp(faktor, 0, 8);
    return pointops::mapChannels(di, makeTable([f](int v) { return v >> f << f; }), selection,
                                 progress, false);
}

OpStatus DibSolar(dib& di, int faktor, const Selection& selection,
                  const ProgressCallback& progress) {
    const int threshold = 765 - 3 * limited(faktor);
    return pointops::mapColours(di, selection, progress, [threshold](std::uint8_t* bgr) {
        if (bgr[0] + bgr[1] + bgr[2] >= threshold) {
            bgr[0] = std::uint8_t(255 - bgr[0]);
            bgr[1] = std::uint8_t(255 - bgr[1]);
            bgr[2] = std::uint8_t(255 - bgr[2]);
        }
    });
}

} // namespace imageops
