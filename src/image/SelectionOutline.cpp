#include "SelectionOutline.h"

#include "foundation/grafikrw3/PixelRows.h"

#include <algorithm>

namespace {

inline bool bitAt(const std::uint8_t* row, std::int32_t x) {
    return (row[x >> 3] >> (7 - (x & 7))) & 1u;
}

class OutlineScan {
public:
    explicit OutlineScan(SelectionOutline& out, std::int32_t width, std::int32_t height)
        : out_(out), width_(width), height_(height) {
        out_.bounds = TRect{width - 1, height - 1, 0, 0};
    }

    void add(std::int32_t x, std::int32_t y) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return;
        }
        out_.points.push_back({x, y});
        out_.bounds.Left = std::min(out_.bounds.Left, x);
        out_.bounds.Top = std::min(out_.bounds.Top, y);
        out_.bounds.Right = std::max(out_.bounds.Right, x);
        out_.bounds.Bottom = std::max(out_.bounds.Bottom, y);
        out_.any = true;
    }

    // Border row: every selected pixel is listed.
    void borderRow(const std::uint8_t* row, std::int32_t y) {
        for (std::int32_t x = 0; x < width_;) {
            if (row[x >> 3] == 0) {
                x = (x | 7) + 1;
                continue;
            }
            if (bitAt(row, x)) {
                add(x, y);
            }
            ++x;
        }
    }

    void pixel(const std::uint8_t* row, const std::uint8_t* below, std::int32_t x, std::int32_t y) {
        const bool c = bitAt(row, x);
        if (x == 0 || x == width_ - 1) {
            if (c) {
                add(x, y);
            }
            return;
        }
        const bool r = bitAt(row, x + 1);
        const bool b = bitAt(below, x);
        if (!c && r) {
            add(x + 1, y);
        } else if (c && !r) {
            add(x, y);
        }
        if (!c && b) {
            add(x, y + 1);
        } else if (c && !b) {
            add(x, y);
        }
    }

    void innerRow(const std::uint8_t* row, const std::uint8_t* below, std::int32_t y) {
        const std::int32_t bytes = (width_ + 7) / 8;
        for (std::int32_t k = 0; k < bytes; ++k) {
            const std::int32_t x0 = k * 8;
            // Bytes holding the first or last column (or lying partly beyond the width) go
            // pixel by pixel; the others are skipped when all eight pixels, their right
            // neighbours and the pixels below agree.
            if (x0 != 0 && x0 + 8 < width_) {
                const std::uint8_t c = row[k];
                const auto r = std::uint8_t((c << 1) | (row[k + 1] >> 7));
                const std::uint8_t b = below[k];
                if ((c == 0 && r == 0 && b == 0) || (c == 0xff && r == 0xff && b == 0xff)) {
                    continue;
                }
            }
            const std::int32_t end = std::min(x0 + 8, width_);
            for (std::int32_t x = x0; x < end; ++x) {
                pixel(row, below, x, y);
            }
        }
    }

private:
    SelectionOutline& out_;
    const std::int32_t width_;
    const std::int32_t height_;
};

} // namespace

SelectionOutline buildOutline(const dib& mask) {
    SelectionOutline out;
    const std::int32_t width = DIBWidth(mask);
    const std::int32_t height = DIBHeight(mask);
    if (!mask.poi || width < 1 || height < 1) {
        return out;
    }
    OutlineScan scan(out, width, height);
    out.rowStart.reserve(std::size_t(height) + 1);
    for (std::int32_t y = 0; y < height; ++y) {
        out.rowStart.push_back(out.points.size());
        const std::uint8_t* row = grafikrw3::rowAt(mask, y);
        if (y == 0 || y == height - 1) {
            scan.borderRow(row, y);
        } else {
            scan.innerRow(row, grafikrw3::rowAt(mask, y + 1), y);
        }
    }
    out.rowStart.push_back(out.points.size());
    return out;
}
