#include "Effects.h"

#include "RowWalker.h"

#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/Quantize.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <vector>

// The two effects that work on the selection's outline: the drop shadow and the push-button
// frame.
namespace imageops {

namespace {

using grafikrw3::rowAt;

std::int64_t percent(std::int32_t value) {
    return std::clamp<std::int64_t>(value, 0, 100);
}

// Pixels store blue first, so channel c (red, green, blue) is byte 2 - c.
struct Channels {
    std::int64_t c[3]; // red, green, blue
};

Channels channelsOf(std::uint32_t colour) {
    return {{colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff}};
}

inline std::uint8_t toByte(std::int64_t v) {
    return std::uint8_t(std::clamp<std::int64_t>(v, 0, 255));
}

// a * b / c rounded to the nearest whole number, ties to even (a, b, c > 0).
std::int64_t roundedQuotient(std::int64_t a, std::int64_t b, std::int64_t c) {
    const std::int64_t product = a * b;
    std::int64_t q = product / c;
    const std::int64_t twice = 2 * (product % c);
    if (twice > c || (twice == c && (q & 1))) {
        ++q;
    }
    return q;
}

} // namespace

std::optional<SelRect> selectionBounds(const Selection& selection) {
    if (!selection.active()) {
        return std::nullopt;
    }
    const dib& mask = *selection.mask();
    const std::int32_t w = DIBWidth(mask);
    const std::int32_t h = DIBHeight(mask);
    const std::int32_t bytes = (w + 7) / 8;
    const std::uint8_t lastByteMask = (w & 7) ? std::uint8_t(0xff << (8 - (w & 7))) : 0xff;
    std::optional<SelRect> box;
    for (std::int32_t y = 0; y < h; ++y) {
        const std::uint8_t* row = selection.row(y);
        auto byteAt = [&](std::int32_t i) {
            return i == bytes - 1 ? std::uint8_t(row[i] & lastByteMask) : row[i];
        };
        std::int32_t first = 0;
        while (first < bytes && !byteAt(first)) {
            ++first;
        }
        if (first == bytes) {
            continue;
        }
        std::int32_t last = bytes - 1;
        while (!byteAt(last)) {
            --last;
        }
        const std::int32_t left = first * 8 + std::countl_zero(byteAt(first));
        const std::int32_t right = last * 8 + 7 - std::countr_zero(byteAt(last));
        if (!box) {
            box = SelRect{left, y, right, y};
        } else {
            box->Left = std::min(box->Left, left);
            box->Right = std::max(box->Right, right);
            box->Bottom = y;
        }
    }
    return box;
}

std::uint32_t effectColour(int entry, std::uint32_t col1, std::uint32_t col2, const dib& image) {
    static constexpr grafikrw3::Rgb kFixed[] = {
        {0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    switch (EffectColour(entry)) {
    case EffectColour::Vordergrundfarbe:
        return col1;
    case EffectColour::Schwarz:
    case EffectColour::Weiss:
    case EffectColour::Rot:
    case EffectColour::Gruen:
    case EffectColour::Blau:
        break;
    default:
        return col2;
    }
    const grafikrw3::Rgb rgb = kFixed[entry - int(EffectColour::Schwarz)];
    const std::uint32_t entries = DIBColorTableSize(image);
    if (entries == 0) {
        return rgb.red | std::uint32_t(rgb.green) << 8 | std::uint32_t(rgb.blue) << 16;
    }
    std::vector<grafikrw3::Rgb> palette;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const PALETTEENTRY& e = image.pal.pal[i];
        palette.push_back({e.peRed, e.peGreen, e.peBlue});
    }
    return grafikrw3::NearestColour(palette).find(rgb);
}

OpStatus DrawShadow(dib& di, const ShadowParams& p, const Selection& selection,
                    const ProgressCallback& progress) {
    if (!di.poi || !selection.fits(di)) {
        return OpStatus::Unchanged;
    }
    const std::optional<SelRect> box = selectionBounds(selection);
    if (!box) {
        return OpStatus::Unchanged;
    }
    const std::int64_t W = DIBWidth(di);
    const std::int64_t H = DIBHeight(di);
    const std::int64_t px = p.px;
    const std::int64_t py = p.py;
    const std::int64_t hw = std::abs(box->Right - box->Left) / 2;
    const std::int64_t hh = std::abs(box->Bottom - box->Top) / 2;
    const std::int64_t cx = box->Left + px + hw;
    const std::int64_t cy = box->Top + py + hh;
    const std::int64_t n = std::max(hw, hh);
    const std::int64_t trans = percent(p.trans);
    const std::int64_t blur = percent(p.blur);
    const Channels shadow = channelsOf(p.color);
    const bool soft = DIBBitCount(di) == 24;

    // The walk goes over the selection's rows; each selected pixel casts its shadow (px, py)
    // away, where the selection does not cover it.
    OpProgress bar(progress);
    walkRows(selection, box->Top, box->Bottom, bar, [&](std::int32_t sy, const MaskRow& mask) {
        const std::int64_t y = sy + py;
        if (y < 0 || y >= H) {
            return;
        }
        mask.eachSelected(box->Left, box->Right, [&](std::int32_t sx) {
            const std::int64_t x = sx + px;
            if (x < 0 || x >= W || selection.contains(std::int32_t(x), std::int32_t(y))) {
                return;
            }
            if (!soft) {
                grafikrw3::setpixel(di, std::int32_t(x), std::int32_t(y), p.color);
                return;
            }
            std::int64_t E = 0;
            if (hw != 0 && hh != 0) {
                const std::int64_t dx = std::abs(cx - x);
                const std::int64_t dy = std::abs(cy - y);
                const std::int64_t A = std::max(dx * 100 / hw, dy * 100 / hh);
                const std::int64_t D = std::llrint(std::sqrt(double(dx * dx + dy * dy))) * 100 / n;
                E = std::min<std::int64_t>((A * (100 - blur) + D * blur) / 100, 100);
            }
            const std::int64_t F = E > 100 - blur ? (E - (100 - blur)) * 100 / blur : 0;
            std::uint8_t* pixel = rowAt(di, std::int32_t(y)) + x * 3;
            for (int c = 0; c < 3; ++c) {
                const std::int64_t old = pixel[2 - c];
                const std::int64_t faded = ((100 - F) * shadow.c[c] + F * old) / 100;
                pixel[2 - c] = toByte(((100 - trans) * faded + trans * old) / 100);
            }
        });
    });
    return OpStatus::Done;
}

OpStatus Buttonize(dib& di, const ButtonParams& p, const Selection& selection,
                   const ProgressCallback& progress) {
    if (!di.poi || DIBBitCount(di) != 24 || !selection.fits(di)) {
        return OpStatus::Unchanged;
    }
    const std::optional<SelRect> box = selectionBounds(selection);
    const std::int64_t px = p.px;
    if (!box || px <= 0) {
        return OpStatus::Unchanged;
    }
    const std::int64_t L = box->Left, T = box->Top, R = box->Right, B = box->Bottom;
    const std::int64_t a = R - L;
    const std::int64_t b = B - T;
    if (a == 0 || b == 0) {
        return OpStatus::Unchanged; // a line has no inside to frame
    }
    const std::int64_t py = roundedQuotient(px, b, a);
    const std::int64_t cx = L + a / 2;
    const std::int64_t cy = T + b / 2;
    const std::int64_t trans = percent(p.trans);
    const Channels colour = channelsOf(p.color);

    OpProgress bar(progress);
    walkRows(selection, box->Top, box->Bottom, bar, [&](std::int32_t sy, const MaskRow& mask) {
        const std::int64_t y = sy;
        std::uint8_t* row = rowAt(di, sy);
        mask.eachSelected(box->Left, box->Right, [&](std::int32_t sx) {
            const std::int64_t x = sx;
            const std::int64_t dL = x - L, dR = R - x, dT = y - T, dB = B - y;
            const bool left = dL <= px, right = dR <= px;
            // Without rows to spare for them, top and bottom get no bevel.
            const bool top = py > 0 && dT <= py, bottom = py > 0 && dB <= py;
            if (!left && !right && !top && !bottom) {
                return;
            }
            std::int64_t v, w;
            if (a > b) {
                v = std::abs(x - cx);
                w = std::abs(y - cy) * a / b;
            } else {
                v = std::abs(x - cx) * b / a;
                w = std::abs(y - cy);
            }
            auto leftShade = [&](std::int64_t C) { return C - (px - dL) * C / (2 * px); };
            auto rightShade = [&](std::int64_t C) { return C - (2 * px - dR) * C / (2 * px); };
            auto topShade = [&](std::int64_t C) { return C - (py - dT) * C / (2 * py); };
            auto bottomShade = [&](std::int64_t C) { return C - (2 * py - dB) * C / (2 * py); };

            enum class Bevel {
                None,
                Left,
                Right,
                Top,
                Bottom,
                LeftBottom,
                RightTop
            } bevel = Bevel::None;
            const bool diagonal = w == v && ((x > cx && y < cy) || (y > cy && x < cx));
            if (diagonal) {
                if (left) {
                    bevel = py > 0 ? Bevel::LeftBottom : Bevel::Left;
                } else if (right) {
                    bevel = py > 0 ? Bevel::RightTop : Bevel::Right;
                }
            } else if (w > v) {
                bevel = top ? Bevel::Top : bottom ? Bevel::Bottom : Bevel::None;
            } else {
                bevel = left ? Bevel::Left : right ? Bevel::Right : Bevel::None;
            }
            if (bevel == Bevel::None) {
                // The normalised distances and the band disagree (rounding at the corners):
                // shade by the band the pixel lies in.
                bevel = left    ? Bevel::Left
                        : right ? Bevel::Right
                        : top   ? Bevel::Top
                                : Bevel::Bottom;
            }

            std::int64_t s = 0;
            switch (bevel) {
            case Bevel::Left:
            case Bevel::LeftBottom:
                s = dL * 100 / px;
                break;
            case Bevel::Right:
            case Bevel::RightTop:
                s = dR * 100 / px;
                break;
            case Bevel::Top:
                s = dT * 100 / py;
                break;
            case Bevel::Bottom:
            case Bevel::None:
                s = dB * 100 / py;
                break;
            }
            const std::int64_t k = std::min<std::int64_t>(trans + (p.solid ? 0 : s), 100);
            std::uint8_t* pixel = row + x * 3;
            for (int c = 0; c < 3; ++c) {
                const std::int64_t C = colour.c[c];
                std::int64_t shade = 0;
                switch (bevel) {
                case Bevel::Left:
                    shade = leftShade(C);
                    break;
                case Bevel::Right:
                    shade = rightShade(C);
                    break;
                case Bevel::Top:
                    shade = topShade(C);
                    break;
                case Bevel::Bottom:
                case Bevel::None:
                    shade = bottomShade(C);
                    break;
                case Bevel::LeftBottom:
                    shade = (leftShade(C) + bottomShade(C)) >> 1;
                    break;
                case Bevel::RightTop:
                    shade = (rightShade(C) + topShade(C)) >> 1;
                    break;
                }
                const std::int64_t old = pixel[2 - c];
                // Shades of a far band can pass 255 on the diagonal; keep the byte.
                pixel[2 - c] = toByte(((100 - k) * shade + k * old) / 100);
            }
        });
    });
    return OpStatus::Done;
}

} // namespace imageops
