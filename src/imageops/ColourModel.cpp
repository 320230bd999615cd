#include "ColourModel.h"

#include <algorithm>

namespace imageops {

RgbBytes HSLToRGB(int hue, int saturation, int lightness) {
    const int h = std::clamp(hue, 0, 255) * 1535 / 255;
    const int s = std::clamp(saturation, 0, 255);
    const int l = std::clamp(lightness, 0, 255);
    int c[3];
    if (h < 256) {
        c[0] = 255, c[1] = h, c[2] = 0;
    } else if (h < 512) {
        c[0] = 511 - h, c[1] = 255, c[2] = 0;
    } else if (h < 768) {
        c[0] = 0, c[1] = 255, c[2] = h - 512;
    } else if (h < 1024) {
        c[0] = 0, c[1] = 1023 - h, c[2] = 255;
    } else if (h < 1280) {
        c[0] = h - 1024, c[1] = 0, c[2] = 255;
    } else {
        c[0] = 255, c[1] = 0, c[2] = 1535 - h;
    }
    for (int& v : c) {
        v = (v * s + (255 - s) * 128) / 255;
        if (l > 127) {
            v += (255 - v) * (l - 127) / 128;
        } else if (l < 127) {
            v -= v * (127 - l) / 128;
        }
    }
    return {std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2])};
}

void HSLToRGB(int hue, int saturation, int lightness, int& red, int& green, int& blue) {
    const RgbBytes rgb = HSLToRGB(hue, saturation, lightness);
    red = rgb.red;
    green = rgb.green;
    blue = rgb.blue;
}

} // namespace imageops
