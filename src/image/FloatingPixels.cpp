#include "FloatingPixels.h"

#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cstring>

namespace floating {

namespace {

using grafikrw3::rowAt;

inline bool bitAt(const std::uint8_t* row, std::int32_t x) {
    return (row[x >> 3] >> (7 - (x & 7))) & 1u;
}

inline void setBit(std::uint8_t* row, std::int32_t x, bool on) {
    const auto bit = std::uint8_t(0x80u >> (x & 7));
    row[x >> 3] = on ? std::uint8_t(row[x >> 3] | bit) : std::uint8_t(row[x >> 3] & ~bit);
}

// Calls f(fy, fx0, fx1) for each floating row with the columns fx0 ... fx1 - 1 that land
// inside the image when the floating pixels lie at (x, y).
template <typename F>
void forCoveredRows(const dib& image, const dib& pixels, std::int32_t x, std::int32_t y, F&& f) {
    const QRect area = coveredArea(image, pixels, x, y);
    if (area.isEmpty()) {
        return;
    }
    const std::int32_t fx0 = area.left() - x;
    const std::int32_t fx1 = area.right() + 1 - x;
    for (std::int32_t fy = area.top() - y; fy <= area.bottom() - y; ++fy) {
        f(fy, fx0, fx1);
    }
}

} // namespace

QRect coveredArea(const dib& image, const dib& pixels, std::int32_t x, std::int32_t y) {
    if (!image.poi || !pixels.poi) {
        return {};
    }
    const QRect whole(0, 0, DIBWidth(image), DIBHeight(image));
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right =
        std::min<std::int64_t>(std::int64_t(x) + DIBWidth(pixels), whole.width());
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t(y) + DIBHeight(pixels), whole.height());
    if (right <= left || bottom <= top) {
        return {};
    }
    return QRect(int(left), int(top), int(right - left), int(bottom - top));
}

void copyArea(dib& to, const dib& from, const QRect& r) {
    if (!to.poi || !from.poi || DIBBitCount(to) != DIBBitCount(from) ||
        DIBWidth(to) != DIBWidth(from) || DIBHeight(to) != DIBHeight(from)) {
        return;
    }
    const QRect area = r.intersected(QRect(0, 0, DIBWidth(to), DIBHeight(to)));
    if (area.isEmpty()) {
        return;
    }
    const int bits = DIBBitCount(to);
    if (bits >= 8) {
        const int bytes = bits / 8;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            std::memcpy(rowAt(to, y) + std::int64_t(area.left()) * bytes,
                        rowAt(from, y) + std::int64_t(area.left()) * bytes,
                        std::size_t(area.width()) * bytes);
        }
        return;
    }
    // Packed rows: the pixels sharing a byte with a neighbour outside one by one, the whole
    // bytes between them at once.
    const int perByte = 8 / bits;
    const std::int32_t firstWhole = (area.left() + perByte - 1) / perByte;
    const std::int32_t endWhole = (area.right() + 1) / perByte;
    grafikrw3::forDepth(bits, [&](auto format) {
        using Format = decltype(format);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            std::uint8_t* out = rowAt(to, y);
            const std::uint8_t* in = rowAt(from, y);
            if (firstWhole >= endWhole) {
                for (std::int32_t x = area.left(); x <= area.right(); ++x) {
                    Format::put(out, x, Format::get(in, x));
                }
                continue;
            }
            for (std::int32_t x = area.left(); x < firstWhole * perByte; ++x) {
                Format::put(out, x, Format::get(in, x));
            }
            std::memcpy(out + firstWhole, in + firstWhole, std::size_t(endWhole - firstWhole));
            for (std::int32_t x = endWhole * perByte; x <= area.right(); ++x) {
                Format::put(out, x, Format::get(in, x));
            }
        }
    });
}

void liftSelected(dib& image, const dib& selection, const TRect& r, dib& pixels, dib& mask,
                  bool fill, std::uint32_t fillValue) {
    const std::int32_t left = std::max(r.Left, 0);
    const std::int32_t top = std::max(r.Top, 0);
    const std::int32_t right = std::min(r.Right, DIBWidth(image) - 1);
    const std::int32_t bottom = std::min(r.Bottom, DIBHeight(image) - 1);
    grafikrw3::forDepth(DIBBitCount(image), [&](auto format) {
        using Format = decltype(format);
        for (std::int32_t y = top; y <= bottom; ++y) {
            const std::uint8_t* sel = rowAt(selection, y);
            std::uint8_t* img = rowAt(image, y);
            std::uint8_t* out = rowAt(pixels, y - r.Top);
            std::uint8_t* outMask = rowAt(mask, y - r.Top);
            for (std::int32_t x = left; x <= right; ++x) {
                const bool selected = bitAt(sel, x);
                setBit(outMask, x - r.Left, selected);
                if (selected) {
                    Format::put(out, x - r.Left, Format::get(img, x));
                    if (fill) {
                        Format::put(img, x, fillValue);
                    }
                }
            }
        }
    });
}

void refreshFrom(const dib& image, const dib& selection, std::int32_t x, std::int32_t y,
                 dib& pixels, const dib* mask) {
    if (!selection.poi || DIBBitCount(image) != DIBBitCount(pixels)) {
        return;
    }
    grafikrw3::forDepth(DIBBitCount(image), [&](auto format) {
        using Format = decltype(format);
        forCoveredRows(image, pixels, x, y,
                       [&](std::int32_t fy, std::int32_t fx0, std::int32_t fx1) {
                           const std::uint8_t* sel = rowAt(selection, y + fy);
                           const std::uint8_t* img = rowAt(image, y + fy);
                           const std::uint8_t* m = mask ? rowAt(*mask, fy) : nullptr;
                           std::uint8_t* out = rowAt(pixels, fy);
                           for (std::int32_t fx = fx0; fx < fx1; ++fx) {
                               if ((!m || bitAt(m, fx)) && bitAt(sel, x + fx)) {
                                   Format::put(out, fx, Format::get(img, x + fx));
                               }
                           }
                       });
    });
}

void composeOpaque(dib& image, const dib& pixels, const dib* mask, std::int32_t x, std::int32_t y) {
    const int bits = DIBBitCount(image);
    if (bits != DIBBitCount(pixels)) {
        // Other depths pixel by pixel through the library.
        forCoveredRows(image, pixels, x, y,
                       [&](std::int32_t fy, std::int32_t fx0, std::int32_t fx1) {
                           for (std::int32_t fx = fx0; fx < fx1; ++fx) {
                               if (!mask || grafikrw3::getpixel(*mask, fx, fy)) {
                                   grafikrw3::setpixel(image, x + fx, y + fy,
                                                       grafikrw3::getpixel(pixels, fx, fy));
                               }
                           }
                       });
        return;
    }
    grafikrw3::forDepth(bits, [&](auto format) {
        using Format = decltype(format);
        forCoveredRows(
            image, pixels, x, y, [&](std::int32_t fy, std::int32_t fx0, std::int32_t fx1) {
                const std::uint8_t* in = rowAt(pixels, fy);
                std::uint8_t* out = rowAt(image, y + fy);
                if (!mask && (Format::bits == 8 || Format::bits == 24)) {
                    const int bytes = Format::bits / 8;
                    std::memcpy(out + std::int64_t(x + fx0) * bytes, in + std::int64_t(fx0) * bytes,
                                std::size_t(fx1 - fx0) * bytes);
                    return;
                }
                const std::uint8_t* m = mask ? rowAt(*mask, fy) : nullptr;
                for (std::int32_t fx = fx0; fx < fx1; ++fx) {
                    if (!m || bitAt(m, fx)) {
                        Format::put(out, x + fx, Format::get(in, fx));
                    }
                }
            });
    });
}

void markCovered(dib& selection, const dib& pixels, const dib* mask, std::int32_t x,
                 std::int32_t y) {
    forCoveredRows(selection, pixels, x, y,
                   [&](std::int32_t fy, std::int32_t fx0, std::int32_t fx1) {
                       std::uint8_t* sel = rowAt(selection, y + fy);
                       const std::uint8_t* m = mask ? rowAt(*mask, fy) : nullptr;
                       for (std::int32_t fx = fx0; fx < fx1; ++fx) {
                           if (!m || bitAt(m, fx)) {
                               setBit(sel, x + fx, true);
                           }
                       }
                   });
}

void composeTransparent(dib& image, const dib& pixels, dib* mask, std::int32_t x, std::int32_t y,
                        std::uint32_t key, dib* selection) {
    if (selection && mask) {
        // Transparent pixels leave the floating selection for good, also those lying outside
        // the image now.
        for (std::int32_t fy = 0; fy < DIBHeight(pixels); ++fy) {
            for (std::int32_t fx = 0; fx < DIBWidth(pixels); ++fx) {
                if (grafikrw3::getpixel(pixels, fx, fy) == key) {
                    grafikrw3::setpixel(*mask, fx, fy, 0);
                }
            }
        }
    }
    forCoveredRows(image, pixels, x, y, [&](std::int32_t fy, std::int32_t fx0, std::int32_t fx1) {
        for (std::int32_t fx = fx0; fx < fx1; ++fx) {
            if (mask && !grafikrw3::getpixel(*mask, fx, fy)) {
                continue;
            }
            const std::uint32_t v = grafikrw3::getpixel(pixels, fx, fy);
            if (v == key) {
                if (selection) {
                    grafikrw3::setpixel(*selection, x + fx, y + fy, 0);
                }
                continue;
            }
            grafikrw3::setpixel(image, x + fx, y + fy, v);
            if (selection) {
                grafikrw3::setpixel(*selection, x + fx, y + fy, 1);
            }
        }
    });
}

} // namespace floating
