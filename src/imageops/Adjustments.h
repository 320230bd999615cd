#pragma once

#include "ImageOp.h"

// Tone and colour adjustments: point operations that change colour values in place.
//
// At 24 bits they change the selected pixels. At 4 and 8 bits they change the 16 or 256
// palette entries (both the logical palette and the colour table, computed from the logical
// palette) and ignore the selection. At 1 bit only DibInvert (all pixel bits), Helligkeit and
// Kontrast (the two palette entries) act; the others return Unchanged.
//
// None records an undo step: the caller records one before the call. The callback sees 0, the
// row or entry percentage, and 0 at the end; the operations do not stop early. Parameters
// outside their dialog's range are accepted and give what the formulas give, clamped to bytes.
namespace imageops {

// "Farben &umkehren": v -> 255 - v; at 1 bit every byte of every row, padding included, and
// the whole picture regardless of the selection.
[[nodiscard]] OpStatus DibInvert(dib& di, const Selection& selection = {},
                                 const ProgressCallback& progress = {});

// v -> clamp(v + SOLARF).
[[nodiscard]] OpStatus Helligkeit(dib& di, int SOLARF, const Selection& selection = {},
                                  const ProgressCallback& progress = {});

// SOLARF 100 keeps the picture; above, dark values move toward 0 and bright ones toward 255
// (at 200 all become 0 or 255, split at 128); below, all move toward 127.
[[nodiscard]] OpStatus Kontrast(dib& di, int SOLARF, const Selection& selection = {},
                                const ProgressCallback& progress = {});

// v -> clamp((v - 128) * (100 + sat) / 100 + 128), shown to the user as saturation.
[[nodiscard]] OpStatus Saettigung(dib& di, int sat, const Selection& selection = {},
                                  const ProgressCallback& progress = {});

// Luminance at or above hi: white; at or below sa: black; otherwise every channel shifted by
// mi - 128. The parameters are put in order first (sa <= mi <= hi).
[[nodiscard]] OpStatus HighMidShadow(dib& di, int hi, int mi, int sa,
                                     const Selection& selection = {},
                                     const ProgressCallback& progress = {});

// Each channel scaled by (100 + its parameter) / 100.
[[nodiscard]] OpStatus RedGreenBlue(dib& di, int red, int green, int blue,
                                    const Selection& selection = {},
                                    const ProgressCallback& progress = {});

// The colour of hue `farbe` and saturation `satt` at each pixel's own luminance.
[[nodiscard]] OpStatus Colorize(dib& di, int farbe, int satt, const Selection& selection = {},
                                const ProgressCallback& progress = {});

// v -> clamp(round(2v - 256 (v/256)^gam)), ties to even; above 1 brightens, below darkens.
[[nodiscard]] OpStatus Gamma(dib& di, double gam, const Selection& selection = {},
                             const ProgressCallback& progress = {});

// All three channels become the luminance.
[[nodiscard]] OpStatus DibGrayscale(dib& di, const Selection& selection = {},
                                    const ProgressCallback& progress = {});

// Stretches the luminance range found in the selection (24 bits) or in the whole picture
// (palette pictures) over 0...255. Unchanged when the selection is empty.
[[nodiscard]] OpStatus StretchHistogramm(dib& di, const Selection& selection = {},
                                         const ProgressCallback& progress = {});

// Clears the lowest `faktor` bits of every channel.
[[nodiscard]] OpStatus DibPoster(dib& di, int faktor, const Selection& selection = {},
                                 const ProgressCallback& progress = {});

// Inverts every pixel or entry whose red + green + blue is at least 765 - 3 * faktor.
[[nodiscard]] OpStatus DibSolar(dib& di, int faktor, const Selection& selection = {},
                                const ProgressCallback& progress = {});

// The values of the preview dialogs, neutral or default as the dialogs start.
struct HKParams {
    int helligkeit = 0; // -127...127
    int kontrast = 100; // 0...200
    int saettigung = 0; // -100...100
    friend bool operator==(const HKParams&, const HKParams&) = default;
};
struct LightParams {
    int hi = 255, mi = 128, sa = 0; // each 0...255
    friend bool operator==(const LightParams&, const LightParams&) = default;
};
struct RGBParams {
    int red = 0, green = 0, blue = 0; // each -100...100
    friend bool operator==(const RGBParams&, const RGBParams&) = default;
};
struct ColizeParams {
    int farbe = 128, satt = 128; // each 0...255
    friend bool operator==(const ColizeParams&, const ColizeParams&) = default;
};
struct GammaParams {
    double gam = 1.8; // 0.1...8.9
    friend bool operator==(const GammaParams&, const GammaParams&) = default;
};

// The values of the two parameter dialogs.
struct PosterParams {
    int bits = 4;                           // "Farbe auf X Bits pro Kanal beschränken:", 1...7
    int faktor() const { return 8 - bits; } // what DibPoster takes
    friend bool operator==(const PosterParams&, const PosterParams&) = default;
};
struct SolarParams {
    int grenzwert = 128; // "Grenzwert:", 1...255; DibSolar takes it as it is
    friend bool operator==(const SolarParams&, const SolarParams&) = default;
};

// Helligkeit, then Kontrast, then Saettigung, in one pass over the pixels with the same result
// as the three calls one after the other.
[[nodiscard]] OpStatus HelligkeitKontrastSaettigung(dib& di, const HKParams& p,
                                                    const Selection& selection = {},
                                                    const ProgressCallback& progress = {});
[[nodiscard]] OpStatus HighMidShadow(dib& di, const LightParams& p, const Selection& selection = {},
                                     const ProgressCallback& progress = {});
[[nodiscard]] OpStatus RedGreenBlue(dib& di, const RGBParams& p, const Selection& selection = {},
                                    const ProgressCallback& progress = {});
[[nodiscard]] OpStatus Colorize(dib& di, const ColizeParams& p, const Selection& selection = {},
                                const ProgressCallback& progress = {});
[[nodiscard]] OpStatus Gamma(dib& di, const GammaParams& p, const Selection& selection = {},
                             const ProgressCallback& progress = {});

} // namespace imageops
