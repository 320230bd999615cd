#include "BrushEngine.h"

#include "foundation/OwnedDib.h"
#include "foundation/Random.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

namespace {

constexpr int kMaxTip = 200;

enum TipForm { kQuadrat, kKreis, kQuer1, kQuer2, kHorizontal, kVertikal };

// The tip shape drawn with the picture primitives into a 1-bit mask (0 marks the tip), then
// unpacked column by column.
std::vector<std::uint8_t> tipShape(int n, int form) {
    OwnedDib brush;
    grafikrw3::newdib(&brush.get(), n, n, 1, nullptr, 0);
    if (!brush) {
        return {};
    }
    std::memset(brush->poi, 0xff, std::size_t(brush->bytew) * std::size_t(n));
    dib& b = brush.get();
    const int w = n, h = n;
    switch (form) {
    case kQuadrat:
        grafikrw3::recht_filled(b, 0, 0, w, h, 0);
        break;
    case kQuer1:
        grafikrw3::line(b, 0, 0, w, h, 0);
        grafikrw3::line(b, 0, 1, w, h + 1, 0);
        break;
    case kQuer2:
        grafikrw3::line(b, 0, h, w, 0, 0);
        grafikrw3::line(b, 1, h, w + 1, 0, 0);
        break;
    case kHorizontal:
        grafikrw3::recht_filled(b, 0, h / 3, w, 2 * h / 3, 0);
        break;
    case kVertikal:
        grafikrw3::recht_filled(b, w / 3, 0, 2 * w / 3, h, 0);
        break;
    default:
        grafikrw3::FilledEllipse(b, 0, 0, w - 1, h - 1, 0);
        break;
    }
    std::vector<std::uint8_t> shape(std::size_t(n) * std::size_t(n));
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            shape[std::size_t(i) * std::size_t(n) + std::size_t(j)] =
                grafikrw3::getpixel(b, i, j) == 0 ? 1 : 0;
        }
    }
    return shape;
}

// The tip of one segment depends only on these; a stroke builds it once and reuses it for its
// following segments (the same tip gives the same pixels).
struct TipKey {
    int size, form, hardness, transparency;
    bool soft;
    friend bool operator==(const TipKey&, const TipKey&) = default;
};

std::shared_ptr<const BrushEngine::Tip> buildTip(const TipKey& key, int lo, int half) {
    auto tip = std::make_shared<BrushEngine::Tip>();
    tip->shape = tipShape(key.size, key.form);
    if (tip->shape.empty()) {
        return nullptr;
    }
    tip->keep.assign(tip->shape.size(), std::uint8_t(key.transparency));
    if (!key.soft) {
        return tip;
    }
    // Softness grows from the centre outwards; the kept share adds transparency on top of it.
    const auto n = std::size_t(key.size);
    for (int i = lo; i <= half; ++i) {
        for (int j = lo; j <= half; ++j) {
            int d = 0;
            if (key.form == kKreis) {
                d = int(std::lround(std::sqrt(double(i * i + j * j)))) * 100 / half;
            } else {
                d = (std::abs(i) + std::abs(j)) * 100 / (2 * half);
            }
            const int hart = std::min(d, 100) * (100 - key.hardness) / 100;
            tip->keep[std::size_t(i - lo) * n + std::size_t(j - lo)] =
                std::uint8_t(hart + (100 - hart) * key.transparency / 100);
        }
    }
    return tip;
}

std::shared_ptr<const BrushEngine::Tip> cachedTip(const TipKey& key, int lo, int half) {
    thread_local TipKey lastKey{};
    thread_local std::shared_ptr<const BrushEngine::Tip> last;
    if (!last || !(lastKey == key)) {
        last = buildTip(key, lo, half);
        lastKey = key;
    }
    return last;
}

} // namespace

BrushEngine::BrushEngine(dib& image, const BrushStroke& stroke)
    : image_(image), stroke_(stroke), selection_(stroke.selection, true), width_(DIBWidth(image)),
      height_(DIBHeight(image)), truecolor_(DIBBitCount(image) == 24),
      generator_(programrandom::generator()) {
    if (!image.poi) {
        return;
    }
    const BrushTip& tip = stroke.tip;
    n_ = std::clamp(tip.size, 1, kMaxTip);
    half_ = n_ / 2;
    lo_ = -half_ + (n_ % 2 == 0 ? 1 : 0);
    density_ = std::clamp(tip.dens, 1, 100);
    const TipKey key{n_, tip.form, std::clamp(tip.hard, 0, 100), std::clamp(tip.opacity, 0, 100),
                     truecolor_ && n_ > 3};
    tip_ = cachedTip(key, lo_, half_);
}

std::uint32_t BrushEngine::pixel(std::int32_t x, std::int32_t y) const {
    if (truecolor_) {
        return grafikrw3::PixelFormat<24>::get(row(y), x);
    }
    return grafikrw3::getIndex(row(y), DIBBitCount(image_), x);
}

void BrushEngine::split(std::uint32_t v, int& red, int& green, int& blue) const {
    if (truecolor_) {
        red = int(v & 0xff);
        green = int((v >> 8) & 0xff);
        blue = int((v >> 16) & 0xff);
        return;
    }
    const PALETTEENTRY e = v < 256 ? image_.pal.pal[v] : PALETTEENTRY{};
    red = e.peRed;
    green = e.peGreen;
    blue = e.peBlue;
}

bool BrushEngine::WithinTolerance(std::uint32_t v) const {
    int r = 0, g = 0, b = 0, rr = 0, rg = 0, rb = 0;
    split(v, r, g, b);
    split(std::uint32_t(stroke_.repColor), rr, rg, rb);
    const int t = stroke_.tolerance;
    return std::abs(r - rr) <= t && std::abs(g - rg) <= t && std::abs(b - rb) <= t;
}

void BrushEngine::blend24(std::uint8_t* p, int t, std::int32_t c) {
    const int keepNew = 100 - t;
    // Stored blue, green, red; c holds red in its low byte.
    p[0] = std::uint8_t((((c >> 16) & 0xff) * keepNew + p[0] * t) / 100);
    p[1] = std::uint8_t((((c >> 8) & 0xff) * keepNew + p[1] * t) / 100);
    p[2] = std::uint8_t(((c & 0xff) * keepNew + p[2] * t) / 100);
}

void BrushEngine::BlendPixel(std::int32_t px, std::int32_t py, std::int32_t c) {
    if (!truecolor_ || !inside(px, py)) {
        grafikrw3::setpixel(image_, px, py, std::uint32_t(c));
        return;
    }
    blend24(row(py) + std::int64_t(px) * 3, kept(px - x0_, py - y0_), c);
}

void BrushEngine::SetBrushPixel(std::int32_t x_, std::int32_t y_, std::int32_t ox, std::int32_t oy,
                                std::int32_t farbe) {
    if (!valid()) {
        return;
    }
    switch (stroke_.mode) {
    case BrushMode::Clone:
        applyTip<BrushMode::Clone>(x_, y_, ox, oy, farbe);
        break;
    case BrushMode::Replace:
        applyTip<BrushMode::Replace>(x_, y_, ox, oy, farbe);
        break;
    case BrushMode::Retouch:
        if (truecolor_) {
            applyTip<BrushMode::Retouch>(x_, y_, ox, oy, farbe);
        }
        break;
    case BrushMode::Paint:
        applyTip<BrushMode::Paint>(x_, y_, ox, oy, farbe);
        break;
    }
}

template <BrushMode Mode>
void BrushEngine::applyTip(std::int32_t x_, std::int32_t y_, std::int32_t ox, std::int32_t oy,
                           std::int32_t farbe) {
    x0_ = x_ + lo_;
    y0_ = y_ + lo_;
    // Only the part of the tip on the picture takes part.
    const auto firstX = std::int32_t(std::max<std::int64_t>(x0_, 0));
    const auto lastX = std::int32_t(std::min<std::int64_t>(std::int64_t(x_) + half_, width_ - 1));
    const auto firstY = std::int32_t(std::max<std::int64_t>(y0_, 0));
    const auto lastY = std::int32_t(std::min<std::int64_t>(std::int64_t(y_) + half_, height_ - 1));
    if (firstX > lastX || firstY > lastY) {
        return;
    }
    const int n = n_;
    const std::int64_t rowStep = -std::int64_t(image_.bytew);
    const std::int64_t firstRow = std::int64_t(height_ - 1 - firstY) * image_.bytew;
    // Columns outer, rows inner: the order the random draws follow.
    for (std::int32_t px = firstX; px <= lastX; ++px) {
        const std::size_t column = std::size_t(px - x0_) * std::size_t(n);
        const std::uint8_t* shape = tip_->shape.data() + column;
        const std::uint8_t* keep = tip_->keep.data() + column;
        std::int64_t offset = firstRow + std::int64_t(px) * 3;
        for (std::int32_t py = firstY; py <= lastY; ++py, offset += rowStep) {
            const auto j = std::size_t(py - y0_);
            if (!shape[j]) {
                continue;
            }
            // Writes the colour: blended on 24-bit pictures, as it is on palette pictures.
            auto put = [&](std::int32_t c) {
                if (truecolor_) {
                    blend24(image_.poi + offset, keep[j], c);
                } else {
                    grafikrw3::setpixel(image_, px, py, std::uint32_t(c));
                }
            };
            if constexpr (Mode == BrushMode::Clone) {
                if (!selected(px, py) || !densityPasses()) {
                    continue;
                }
                const std::int64_t sx = std::int64_t(px) + stroke_.cloneDx;
                const std::int64_t sy = std::int64_t(py) + stroke_.cloneDy;
                if (sx >= 0 && sy >= 0 && sx < width_ && sy < height_) {
                    put(std::int32_t(pixel(std::int32_t(sx), std::int32_t(sy))));
                }
            } else if constexpr (Mode == BrushMode::Replace) {
                if (!selected(px, py) || !WithinTolerance(pixel(px, py)) || !densityPasses()) {
                    continue;
                }
                put(farbe);
            } else if constexpr (Mode == BrushMode::Retouch) {
                if (!densityPasses() || !selected(px, py)) {
                    continue;
                }
                const int modus = stroke_.retouchModus;
                if (modus == 0 || modus == 1) {
                    const std::uint32_t v = pixel(px, py);
                    const int step = modus == 0 ? 8 : -8;
                    auto channel = [&](int shift) {
                        return std::uint32_t(std::clamp(int((v >> shift) & 0xff) + step, 0, 255))
                               << shift;
                    };
                    put(std::int32_t(channel(0) | channel(8) | channel(16)));
                    continue;
                }
                const std::int32_t ry = programrandom::below(n);
                const std::int32_t rx = programrandom::below(n);
                // Smear samples a window at the segment's start, mix one around the pixel.
                const std::int64_t sx = modus == 2 ? std::int64_t(lo_) + ox - rx + n / 2
                                                   : std::int64_t(px) - rx + n / 2;
                const std::int64_t sy = modus == 2 ? std::int64_t(lo_) + oy - ry + n / 2
                                                   : std::int64_t(py) - ry + n / 2;
                if (sx >= 0 && sy >= 0 && sx < width_ && sy < height_) {
                    put(std::int32_t(pixel(std::int32_t(sx), std::int32_t(sy))));
                }
            } else {
                if (!densityPasses() || !selected(px, py)) {
                    continue;
                }
                put(farbe);
            }
        }
    }
}

QRect BrushLine(dib& image, const BrushStroke& stroke, std::int32_t x1, std::int32_t y1,
                std::int32_t x2, std::int32_t y2, std::int32_t farbe) {
    BrushEngine engine(image, stroke);
    if (!engine.valid()) {
        return {};
    }
    const QRect covered(QPoint(std::min(x1, x2) + engine.lo(), std::min(y1, y2) + engine.lo()),
                        QPoint(std::max(x1, x2) + engine.half(), std::max(y1, y2) + engine.half()));

    const bool alongY = std::abs(std::int64_t(x2) - x1) < std::abs(std::int64_t(y2) - y1);
    bool swapped = false;
    if (alongY ? y1 > y2 : x1 > x2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
        swapped = true;
    }
    // Swapped ends are walked mirrored, so that the segment is still painted from the first
    // point given to the second.
    auto apply = [&](std::int32_t x, std::int32_t y) {
        if (swapped) {
            engine.SetBrushPixel(std::int32_t(std::int64_t(x2) - (std::int64_t(x) - x1)),
                                 std::int32_t(std::int64_t(y2) - (std::int64_t(y) - y1)), x2, y2,
                                 farbe);
        } else {
            engine.SetBrushPixel(x, y, x1, y1, farbe);
        }
    };
    if (alongY) {
        const int xstep = x2 > x1 ? 1 : -1;
        const std::int64_t dy = std::int64_t(y2) - y1;
        const std::int64_t dx = std::abs(std::int64_t(x2) - x1);
        std::int64_t e = 2 * dx - dy;
        const std::int64_t incNE = 2 * (dx - dy), incE = 2 * dx;
        std::int32_t x = x1;
        apply(x, y1);
        for (std::int64_t y = std::int64_t(y1) + 1; y <= y2; ++y) {
            if (e >= 0) {
                x += xstep;
                e += incNE;
            } else {
                e += incE;
            }
            apply(x, std::int32_t(y));
        }
    } else {
        const int ystep = y2 > y1 ? 1 : -1;
        const std::int64_t dx = std::int64_t(x2) - x1;
        const std::int64_t dy = std::abs(std::int64_t(y2) - y1);
        std::int64_t e = 2 * dy - dx;
        const std::int64_t incNE = 2 * (dy - dx), incE = 2 * dy;
        std::int32_t y = y1;
        apply(x1, y);
        for (std::int64_t x = std::int64_t(x1) + 1; x <= x2; ++x) {
            if (e >= 0) {
                y += ystep;
                e += incNE;
            } else {
                e += incE;
            }
            apply(std::int32_t(x), y);
        }
    }
    return covered;
}
