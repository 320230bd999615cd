#pragma once

#include <cstdint>

// Colour arithmetic shared by the adjustments and the colour panel. All integer; divisions
// truncate.
namespace imageops {

// Luminance, weighting 30 : 59 : 11, as one sum divided once...
constexpr int luminance(int red, int green, int blue) {
    return (30 * red + 59 * green + 11 * blue) / 100;
}
// ...and with each term truncated on its own, as colorizing uses it (never larger than the
// first; a grey of 255 gives 254).
constexpr int luminanceByTerms(int red, int green, int blue) {
    return 30 * red / 100 + 59 * green / 100 + 11 * blue / 100;
}

struct RgbBytes {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const RgbBytes&, const RgbBytes&) = default;
};

// Hue, saturation and lightness, each 0...255 (values outside are taken as the nearest end), to
// red, green and blue. Hue 0 is red, rising through yellow, green, cyan, blue and magenta;
// saturation 0 is grey 128, 255 the pure hue; lightness 127 keeps the colour, 255 is white.
RgbBytes HSLToRGB(int hue, int saturation, int lightness);
void HSLToRGB(int hue, int saturation, int lightness, int& red, int& green, int& blue);

} // namespace imageops
