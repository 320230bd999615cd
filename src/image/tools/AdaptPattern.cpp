#include "AdaptPattern.h"

#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/Quantize.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <array>
#include <cstring>

using namespace grafikrw3;

OwnedDib AdaptPattern(const dib& image, const dib& pattern) {
    OwnedDib result;
    if (!image.poi || !pattern.poi) {
        return result;
    }
    const int imageBits = DIBBitCount(image);
    const int patternBits = DIBBitCount(pattern);
    const std::int32_t w = DIBWidth(pattern), h = DIBHeight(pattern);
    newdib(&result.get(), w, h, imageBits, image.pmi, std::int32_t(DIBColorTableSize(image)));
    if (!result) {
        return result;
    }
    dib& out = result.get();
    if (imageBits == patternBits && imageBits == 24) {
        std::memcpy(out.poi, pattern.poi, std::size_t(h) * std::size_t(pattern.bytew));
        return result;
    }
    auto entryOf = [&](std::uint32_t index) {
        const PALETTEENTRY e = index < 256 ? pattern.pal.pal[index] : PALETTEENTRY{};
        return Rgb{e.peRed, e.peGreen, e.peBlue};
    };
    if (imageBits == 24) {
        forDepth(patternBits, [&](auto format) {
            for (std::int32_t y = 0; y < h; ++y) {
                const std::uint8_t* from = rowAt(pattern, y);
                std::uint8_t* to = rowAt(out, y);
                for (std::int32_t x = 0; x < w; ++x) {
                    const Rgb c = entryOf(decltype(format)::get(from, x));
                    PixelFormat<24>::put(to, x, c.red | c.green << 8 | c.blue << 16);
                }
            }
        });
        return result;
    }
    NearestColour nearest(image.pal);
    std::array<std::uint8_t, 256> mapped{};
    if (patternBits != 24) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            mapped[i] = nearest.find(entryOf(i));
        }
    }
    forDepth(patternBits, [&](auto format) {
        using Format = decltype(format);
        for (std::int32_t y = 0; y < h; ++y) {
            const std::uint8_t* from = rowAt(pattern, y);
            std::uint8_t* to = rowAt(out, y);
            for (std::int32_t x = 0; x < w; ++x) {
                const std::uint32_t v = Format::get(from, x);
                const std::uint8_t index =
                    Format::bits == 24
                        ? nearest.find(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff))
                        : mapped[v & 0xff];
                putIndex(to, imageBits, x, index);
            }
        }
    });
    return result;
}
