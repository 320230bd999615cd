#include "Effects.h"

#include "RowWalker.h"

#include "foundation/Random.h"
#include "foundation/grafikrw3/PixelRows.h"

#include <algorithm>
#include <cstring>

// The effects that work pixel by pixel: the mosaic and the noise.
namespace imageops {

OpStatus MosaikEffekt(dib& di, const MosaicParams& p, const Selection& selection,
                      const ProgressCallback& progress) {
    if (!di.poi || p.breit < 1 || p.hoch < 1 || !selection.fits(di)) {
        return OpStatus::Unchanged;
    }
    const std::int32_t W = DIBWidth(di);
    OpProgress bar(progress);
    grafikrw3::forDepth(DIBBitCount(di), [&](auto format) {
        using F = decltype(format);
        walkRows(di, selection, bar, [&](std::int32_t y, const MaskRow& mask) {
            const std::int32_t blockTop = y - y % p.hoch;
            std::uint8_t* row = grafikrw3::rowAt(di, y);
            const std::uint8_t* source = grafikrw3::rowAt(di, blockTop);
            // The top-left pixel of a block takes its own value, so it never changes and the
            // block's first row can be read while it is being written. Without a selection
            // the block's other rows are copies of its first.
            if (mask.all() && y != blockTop) {
                std::memcpy(row, source, std::size_t(di.bytew));
                return;
            }
            mask.eachSelected(
                0, W - 1, [&](std::int32_t x) { F::put(row, x, F::get(source, x - x % p.breit)); });
        });
    });
    return OpStatus::Done;
}

OpStatus AddNoise(dib& di, const NoiseParams& p, const Selection& selection,
                  const ProgressCallback& progress) {
    if (!di.poi || DIBBitCount(di) != 24 || !selection.fits(di)) {
        return OpStatus::Unchanged;
    }
    const std::int32_t W = DIBWidth(di);
    const std::int32_t half = p.Stark / 2;
    OpProgress bar(progress);
    walkRows(di, selection, bar, [&](std::int32_t y, const MaskRow& mask) {
        std::uint8_t* row = grafikrw3::rowAt(di, y);
        mask.eachSelected(0, W - 1, [&](std::int32_t x) {
            if (programrandom::below(100) >= p.Wahrs) {
                return;
            }
            std::uint8_t* pixel = row + std::int64_t(x) * 3;
            for (int c = 0; c < 3; ++c) { // blue, green, red as stored
                const std::int32_t v = pixel[c] + programrandom::below(p.Stark) - half;
                pixel[c] = std::uint8_t(std::clamp(v, 0, 255));
            }
        });
    });
    return OpStatus::Done;
}

} // namespace imageops
