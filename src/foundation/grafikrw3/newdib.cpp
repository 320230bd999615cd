#include "grafikrw3.h"

#include "../Memory.h"

#include <cmath>
#include <cstring>

namespace grafikrw3 {

std::int64_t rowBytes(std::int64_t width, int bits) {
    if (width < 0 || bits <= 0 || width > (std::int64_t(1) << 40)) {
        return -1;
    }
    return ((width * bits + 31) / 32) * 4;
}

namespace {

void fillDefaultColors(RGBQUAD* colors, int bits) {
    if (bits == 1) {
        colors[1] = RGBQUAD{255, 255, 255, 0};
        return;
    }
    const int entries = 1 << bits;
    for (int i = 0; i < entries; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (entries - 1));
        colors[i] = RGBQUAD{grey, grey, grey, 0};
    }
}

} // namespace

void newdib(dib* out, std::int32_t width, std::int32_t height, std::int32_t bits,
            const BITMAPINFO* colorSource, std::int32_t colorCount) {
    *out = dib{};
    if (width < 1 || height < 1 || !isSupportedBitCount(bits)) {
        return;
    }
    const std::int64_t stride = rowBytes(width, bits);
    if (stride < 0 || stride > kMaxImageBytes / height) {
        return;
    }
    const std::int64_t imageBytes = stride * height;
    const std::int32_t entries = bits <= 8 ? (1 << bits) : 0;

    auto* info = static_cast<BITMAPINFO*>(
        memory::allocZeroed(sizeof(BITMAPINFOHEADER) + std::size_t(entries) * sizeof(RGBQUAD)));
    if (!info) {
        return;
    }
    auto* pixels = static_cast<std::uint8_t*>(memory::allocZeroed(std::size_t(imageBytes)));
    if (!pixels) {
        memory::release(info);
        return;
    }

    BITMAPINFOHEADER& h = info->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(bits);
    h.biCompression = 0;
    h.biSizeImage = static_cast<std::uint32_t>(imageBytes);

    out->pmi = info;
    out->pmih = reinterpret_cast<std::uintptr_t>(info);
    out->poih = reinterpret_cast<std::uintptr_t>(pixels);
    out->poi = pixels;
    out->bytew = static_cast<std::int32_t>(stride);
    out->pal.ver = 0x300;

    if (entries == 0) {
        return;
    }
    out->ispal = true;
    RGBQUAD* colors = info->colors();
    std::int32_t copied = 0;
    if (colorSource && colorCount > 0) {
        copied = colorCount < entries ? colorCount : entries;
        std::memcpy(colors, colorSource->colors(), std::size_t(copied) * sizeof(RGBQUAD));
    } else {
        fillDefaultColors(colors, bits);
        copied = entries;
    }
    out->pal.num = static_cast<std::uint16_t>(copied);
    for (std::int32_t i = 0; i < copied; ++i) {
        out->pal.pal[i] = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
    }
}

void deldib(dib& picture) {
    FreeDIB(picture);
}

double power(double x, double y) {
    return std::pow(x, y);
}

} // namespace grafikrw3
