#pragma once

#include "ToolOptions.h"

#include "foundation/dib.h"
#include "imageops/ImageOp.h"

#include <QRect>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

// The brush engine shared by the brush, the clone tool, colour replacement and retouching: a
// stroke is painted segment by segment (BrushLine), each segment by applying the tip at every
// step of a line walk (SetBrushPixel), each tip pixel written by BlendPixel.
//
// Random draws (density, smear and mix samples) come from the program's one generator
// (programrandom), in a fixed order: columns of the tip outer, rows inner, and per pixel the
// order of its tests. Tip pixels outside the picture take no part at all: they draw nothing,
// read nothing and change nothing.

// The tool that paints: first match of the document's flags CloneNow, Replace, Retouch.
enum class BrushMode { Paint, Clone, Replace, Retouch };

// Everything a stroke paints with besides the segment and its colour.
struct BrushStroke {
    BrushMode mode = BrushMode::Paint;
    BrushTip tip;
    int tolerance = 25;        // Replace: TolEdit, 0 to 200
    int retouchModus = 0;      // Retouch: Aufhellen, Abdunkeln, Verschmieren, Mixen
    std::int32_t repColor = 0; // Replace: the colour being replaced
    // Clone: the source of tip pixel (px, py) is (px + cloneDx, py + cloneDy).
    std::int32_t cloneDx = 0;
    std::int32_t cloneDy = 0;
    // The selection mask while a selection limits painting; null paints everywhere.
    const dib* selection = nullptr;
};

// One segment's tip, built for a picture: the shape mask `brush` and, for 24-bit pictures and
// tips over 3 pixels, the softness map `hart` (per cent of the old pixel kept at each tip
// position). Tip pixel offsets run from lo() to half() on both axes, n = size pixels.
class BrushEngine {
public:
    BrushEngine(dib& image, const BrushStroke& stroke);

    // False when the tip could not be built (memory); nothing is painted then.
    bool valid() const { return tip_ != nullptr; }
    int size() const { return n_; }
    int lo() const { return lo_; }
    int half() const { return half_; }

    // Applies the tip once, centred on (x_, y_); (ox, oy) is the start of the segment being
    // painted (the smear mode samples there).
    void SetBrushPixel(std::int32_t x_, std::int32_t y_, std::int32_t ox, std::int32_t oy,
                       std::int32_t farbe);
    // Writes colour c at (px, py), a pixel of the tip last applied inside the picture: as it is
    // on palette pictures, blended by transparency and softness on 24-bit pictures.
    void BlendPixel(std::int32_t px, std::int32_t py, std::int32_t c);
    // Whether pixel value v lies within the tolerance of the replaced colour, channel by channel.
    bool WithinTolerance(std::uint32_t v) const;

    // The tip shape, 1 for a tip pixel (column offset i, row offset j from the top-left).
    bool inTip(int i, int j) const { return tip_->shape[std::size_t(i) * n_ + j] != 0; }
    // Per cent of the old pixel kept at tip position (i, j): softness and transparency together.
    int kept(int i, int j) const { return tip_->keep[std::size_t(i) * n_ + j]; }

    // The built tip, column-major n x n: the shape and the kept share per position.
    struct Tip {
        std::vector<std::uint8_t> shape;
        std::vector<std::uint8_t> keep;
    };

private:
    template <BrushMode Mode>
    void applyTip(std::int32_t x_, std::int32_t y_, std::int32_t ox, std::int32_t oy,
                  std::int32_t farbe);
    bool selected(std::int32_t x, std::int32_t y) const { return selection_.contains(x, y); }
    bool densityPasses() { return percent_(generator_) < density_; }
    std::uint8_t* row(std::int32_t y) const {
        return image_.poi + std::int64_t(height_ - 1 - y) * image_.bytew;
    }
    std::uint32_t pixel(std::int32_t x, std::int32_t y) const;
    // BlendPixel for a 24-bit pixel at p, keeping t per cent of the old colour.
    static void blend24(std::uint8_t* p, int t, std::int32_t c);
    bool inside(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }
    void split(std::uint32_t v, int& red, int& green, int& blue) const;

    dib& image_;
    const BrushStroke& stroke_;
    imageops::Selection selection_;
    std::int32_t width_;
    std::int32_t height_;
    bool truecolor_;
    int n_ = 1;
    int lo_ = 0;
    int half_ = 0;
    int density_ = 100;
    std::shared_ptr<const Tip> tip_;
    // The program's generator and the density draw, 0 ... 99 as programrandom::below(100).
    std::mt19937& generator_;
    std::uniform_int_distribution<std::int32_t> percent_{0, 99};
    // Top-left image pixel of the tip last applied.
    std::int32_t x0_ = 0;
    std::int32_t y0_ = 0;
};

// Paints one stroke segment from (x1, y1) to (x2, y2), image pixels, with colour `farbe`:
// the tip is applied at every step of a Bresenham walk, starting at the first point. Returns
// the image rectangle the tips covered (not cut to the picture); empty when nothing was done.
QRect BrushLine(dib& image, const BrushStroke& stroke, std::int32_t x1, std::int32_t y1,
                std::int32_t x2, std::int32_t y2, std::int32_t farbe);
