#include "DibCopy.h"

#include "UserMessage.h"
#include "grafikrw3/grafikrw3.h"

#include <cstring>

const char16_t* const kNotEnoughMemoryText = u"Fehler: nicht genug Speicher für diese Operation!";

dib copyDib(const dib& di) {
    if (!di.poi) {
        return dib{};
    }
    dib copy;
    grafikrw3::newdib(&copy, DIBWidth(di), DIBHeight(di), DIBBitCount(di), di.pmi,
                      std::int32_t(DIBColorTableSize(di)));
    if (copy.poi) {
        std::memcpy(copy.poi, di.poi, std::size_t(DIBHeight(di)) * std::size_t(di.bytew));
    }
    return copy;
}

dib MakeDIBCopy(const dib& di) {
    dib copy = copyDib(di);
    if (di.poi && !copy.poi) {
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
    }
    return copy;
}

namespace {

// Resampling works on memory rows for 4, 8 and 24 bits and on picture rows (through
// getpixel/setpixel) for 1 bit; the two agree except for which rows a shrink keeps.
void resampleRows(const dib& src, dib& dst, std::int64_t xr, std::int64_t yr, bool bilinear) {
    const std::int32_t w = DIBWidth(dst);
    const std::int32_t h = DIBHeight(dst);
    const std::int32_t sw = DIBWidth(src);
    const std::int32_t sh = DIBHeight(src);
    const std::int64_t sb = src.bytew;
    const std::int64_t db = dst.bytew;
    const std::uint8_t* s = src.poi;
    std::uint8_t* d = dst.poi;

    for (std::int32_t y = 0; y < h; ++y) {
        const std::int64_t fy = y * yr;
        const std::int64_t sy = fy >> 10;
        for (std::int32_t x = 0; x < w; ++x) {
            const std::int64_t fx = x * xr;
            const std::int64_t sx = fx >> 10;
            switch (DIBBitCount(src)) {
            case 1:
                grafikrw3::setpixel(dst, x, y,
                                    grafikrw3::getpixel(src, std::int32_t(sx), std::int32_t(sy)));
                break;
            case 4: {
                const std::uint8_t b = s[sy * sb + sx / 2];
                const std::uint8_t nibble = (sx % 2 == 0) ? (b >> 4) : (b & 0x0f);
                d[y * db + x / 2] |= (x % 2 == 0) ? std::uint8_t(nibble << 4) : nibble;
                break;
            }
            case 8:
                d[y * db + x] = s[sy * sb + sx];
                break;
            case 24:
                if (!bilinear) {
                    std::memcpy(d + y * db + 3 * x, s + sy * sb + 3 * sx, 3);
                } else {
                    const std::int64_t wx = fx % 1024;
                    const std::int64_t wy = fy % 1024;
                    const std::int64_t sx1 = sx + 1 < sw ? sx + 1 : sw - 1;
                    const std::int64_t sy1 = sy + 1 < sh ? sy + 1 : sh - 1;
                    const std::uint8_t* p00 = s + sy * sb + 3 * sx;
                    const std::uint8_t* p10 = s + sy * sb + 3 * sx1;
                    const std::uint8_t* p01 = s + sy1 * sb + 3 * sx;
                    const std::uint8_t* p11 = s + sy1 * sb + 3 * sx1;
                    std::uint8_t* out = d + y * db + 3 * x;
                    for (int c = 0; c < 3; ++c) {
                        // The complementary weight is 1023: flat areas come out one step darker.
                        const std::int64_t top = ((1023 - wx) * p00[c] + wx * p10[c]) >> 10;
                        const std::int64_t bottom = ((1023 - wx) * p01[c] + wx * p11[c]) >> 10;
                        out[c] = std::uint8_t(((1023 - wy) * top + wy * bottom) >> 10);
                    }
                }
                break;
            default:
                return;
            }
        }
    }
}

} // namespace

bool ResizeDIB(dib& di, std::int32_t breit, std::int32_t hoch, bool interpol) {
    if (breit < 1) {
        breit = 1;
    }
    if (hoch < 1) {
        hoch = 1;
    }
    const std::int32_t sw = DIBWidth(di);
    const std::int32_t sh = DIBHeight(di);
    // 64-bit step factors: identical to the 32-bit ones wherever those do not overflow, and
    // safe for pictures wider or higher than two million pixels.
    const std::int64_t xr = std::int64_t(sw) * 1024 / breit;
    const std::int64_t yr = std::int64_t(sh) * 1024 / hoch;

    dib target;
    grafikrw3::newdib(&target, breit, hoch, DIBBitCount(di), di.pmi,
                      std::int32_t(DIBColorTableSize(di)));
    if (!target.poi) {
        return false;
    }
    if (di.poi) {
        const bool bilinear = interpol && hoch >= sh && breit >= sw;
        resampleRows(di, target, xr, yr, bilinear);
    }
    FreeDIB(di);
    di = target;
    return true;
}
