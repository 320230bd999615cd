#include "Effects.h"

#include "RowWalker.h"

#include "foundation/Memory.h"
#include "foundation/grafikrw3/PixelRows.h"

#include <algorithm>
#include <cstring>

// The 5 x 5 neighbourhood effects. Each pixel is judged by the sums of red, green and blue over
// the 25 pixels around it as they were before the operation, with the picture's edge pixels
// repeated outward. Instead of a bordered copy of the whole picture they keep the five original
// rows around the current one, each widened by two repeated pixels at both ends.
namespace imageops {

namespace {

class FiveRows {
public:
    explicit FiveRows(const dib& picture)
        : picture_(picture), w_(DIBWidth(picture)), h_(DIBHeight(picture)),
          rowBytes_(std::size_t(w_ + 4) * 3) {
        block_ = static_cast<std::uint8_t*>(memory::allocZeroed(5 * rowBytes_));
    }
    ~FiveRows() { memory::release(block_); }
    FiveRows(const FiveRows&) = delete;
    FiveRows& operator=(const FiveRows&) = delete;

    bool ok() const { return block_ != nullptr; }

    // Makes rows y - 2 ... y + 2 available; called for y = 0, 1, 2, ... while row y - 1 and
    // those above it may already have been changed, and rows from y on not yet.
    void moveTo(std::int32_t y) {
        if (y == 0) {
            for (std::int32_t k = -2; k <= 2; ++k) {
                load(k);
            }
        } else {
            load(y + 2);
        }
        y_ = y;
    }

    // Sums of blue, green and red over the 5 x 5 pixels around pixel x of the current row.
    void sums(std::int32_t x, std::int32_t (&out)[3]) const {
        out[0] = out[1] = out[2] = 0;
        for (std::int32_t k = -2; k <= 2; ++k) {
            const std::uint8_t* p = slot(y_ + k) + std::size_t(x) * 3; // bordered: x - 2 + 2
            for (int i = 0; i < 15; i += 3) {
                out[0] += p[i];
                out[1] += p[i + 1];
                out[2] += p[i + 2];
            }
        }
    }

private:
    std::uint8_t* slot(std::int32_t y) const {
        return block_ + std::size_t(((y % 5) + 5) % 5) * rowBytes_;
    }
    void load(std::int32_t y) {
        const std::uint8_t* from = grafikrw3::rowAt(picture_, std::clamp(y, 0, h_ - 1));
        std::uint8_t* to = slot(y);
        std::memcpy(to + 6, from, std::size_t(w_) * 3);
        for (int i = 0; i < 2; ++i) {
            std::memcpy(to + 3 * i, from, 3);
            std::memcpy(to + 3 * (w_ + 2 + i), from + std::size_t(w_ - 1) * 3, 3);
        }
    }

    const dib& picture_;
    std::int32_t w_, h_;
    std::size_t rowBytes_;
    std::uint8_t* block_ = nullptr;
    std::int32_t y_ = 0;
};

// Runs `change(pixel, sums)` over the selected pixels of a 24-bit picture; `sums` holds blue,
// green, red.
template <typename Change>
OpStatus eachNeighbourhood(dib& di, const Selection& selection, const ProgressCallback& progress,
                           Change change) {
    if (!di.poi || DIBBitCount(di) != 24 || !selection.fits(di)) {
        return OpStatus::Unchanged;
    }
    FiveRows around(di);
    if (!around.ok()) {
        return OpStatus::NoMemory;
    }
    const std::int32_t W = DIBWidth(di);
    OpProgress bar(progress);
    walkRows(di, selection, bar, [&](std::int32_t y, const MaskRow& mask) {
        around.moveTo(y);
        std::uint8_t* row = grafikrw3::rowAt(di, y);
        mask.eachSelected(0, W - 1, [&](std::int32_t x) {
            std::int32_t sums[3];
            around.sums(x, sums);
            change(row + std::size_t(x) * 3, sums);
        });
    });
    return OpStatus::Done;
}

// 100 times the luminance sum of the 25 pixels.
inline std::int32_t weightedSum(const std::int32_t (&s)[3]) {
    return 30 * s[2] + 59 * s[1] + 11 * s[0];
}

} // namespace

OpStatus DibErodeFilter(dib& di, const Selection& selection, const ProgressCallback& progress) {
    return eachNeighbourhood(di, selection, progress,
                             [](std::uint8_t* pixel, const std::int32_t(&s)[3]) {
                                 if (weightedSum(s) / 2500 < 96) {
                                     for (int c = 0; c < 3; ++c) {
                                         pixel[c] = std::uint8_t(s[c] / 50);
                                     }
                                 }
                             });
}

OpStatus DibDilateFilter(dib& di, const Selection& selection, const ProgressCallback& progress) {
    return eachNeighbourhood(di, selection, progress,
                             [](std::uint8_t* pixel, const std::int32_t(&s)[3]) {
                                 const std::int32_t v = weightedSum(s);
                                 if (v / 2500 > 160) {
                                     const auto grey = std::uint8_t(std::min(v / 2000, 255));
                                     pixel[0] = pixel[1] = pixel[2] = grey;
                                 }
                             });
}

OpStatus DelNoise(dib& di, std::int32_t Grenze, const Selection& selection,
                  const ProgressCallback& progress) {
    return eachNeighbourhood(di, selection, progress,
                             [Grenze](std::uint8_t* pixel, const std::int32_t(&s)[3]) {
                                 const std::int32_t mean[3] = {s[0] / 25, s[1] / 25, s[2] / 25};
                                 bool outlier = false;
                                 for (int c = 0; c < 3; ++c) {
                                     outlier = outlier || std::abs(mean[c] - pixel[c]) > Grenze;
                                 }
                                 if (outlier) {
                                     for (int c = 0; c < 3; ++c) {
                                         pixel[c] = std::uint8_t(mean[c]);
                                     }
                                 }
                             });
}

} // namespace imageops
