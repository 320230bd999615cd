#include "ColorCount.h"

#include "Depth.h"
#include "RowWalker.h"
#include "foundation/Memory.h"
#include "foundation/grafikrw3/PixelRows.h"

#include <array>
#include <bit>
#include <cstring>
#include <memory>

namespace imageops {

namespace {

struct BlockRelease {
    void operator()(void* block) const { memory::release(block); }
};

// One bit per 24-bit colour, 2 MiB. Bits are only set while the rows are read and counted
// once at the end, so the loop has no branch on whether a colour is new.
ColourCount countTrueColours(const dib& di, const Selection& selection,
                             const ProgressCallback& progress) {
    constexpr std::size_t kWords = (std::size_t(1) << 24) / 64;
    std::unique_ptr<void, BlockRelease> block(memory::allocZeroed(kWords * sizeof(std::uint64_t)));
    if (!block) {
        return {0, OpStatus::NoMemory};
    }
    auto* seen = static_cast<std::uint8_t*>(block.get());
    const std::int32_t width = DIBWidth(di);
    OpProgress bar(progress);
    const bool finished = walkRows(di, selection, bar, [&](std::int32_t y, const MaskRow& mask) {
        const std::uint8_t* row = grafikrw3::rowAt(di, y);
        mask.eachSelected(0, width - 1, [&](std::int32_t x) {
            const std::uint8_t* p = row + std::int64_t(x) * 3;
            // red + 256 green + 65536 blue, from bytes stored blue, green, red
            const std::uint32_t value =
                p[2] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[0]) << 16);
            seen[value >> 3] = std::uint8_t(seen[value >> 3] | (1u << (value & 7)));
        });
    });
    if (!finished) {
        return {0, OpStatus::Stopped};
    }
    std::int64_t count = 0;
    for (std::size_t i = 0; i < kWords; ++i) {
        std::uint64_t word;
        std::memcpy(&word, seen + i * 8, sizeof word);
        count += std::popcount(word);
    }
    return {count, OpStatus::Done};
}

} // namespace

ColourCount CountColors(const dib& di, const Selection& selection,
                        const ProgressCallback& progress) {
    const int bits = DIBBitCount(di);
    if (!di.poi || !isSupportedBitCount(bits)) {
        return {0, OpStatus::Unchanged};
    }
    if (bits == 24) {
        return countTrueColours(di, selection, progress);
    }
    const std::int32_t width = DIBWidth(di);
    std::array<bool, 256> used{};
    bool finished = false;
    OpProgress bar(progress);
    grafikrw3::forDepth(bits, [&](auto format) {
        finished = walkRows(di, selection, bar, [&](std::int32_t y, const MaskRow& mask) {
            const std::uint8_t* row = grafikrw3::rowAt(di, y);
            mask.eachSelected(0, width - 1,
                              [&](std::int32_t x) { used[format.get(row, x) & 0xff] = true; });
        });
    });
    if (!finished) {
        return {0, OpStatus::Stopped};
    }
    std::int64_t count = 0;
    for (const bool u : used) {
        count += u ? 1 : 0;
    }
    return {count, OpStatus::Done};
}

QList<OpMessage> countColorsMessages(const ColourCount& result, bool selectionActive) {
    QList<OpMessage> messages;
    if (result.status == OpStatus::NoMemory) {
        messages.append({MessageIcon::Error, depthFailureText(OpStatus::NoMemory), {}});
    }
    if (result.count <= 0) {
        messages.append(
            {MessageIcon::Error,
             QStringLiteral("Die Anzahl der benutzten Farben konnte nicht ermittelt werden..."),
             {}});
        return messages;
    }
    const QString where = selectionActive
                              ? QStringLiteral(" Farben in der aktuellen Auswahl benutzt.")
                              : QStringLiteral(" Farben im Bild benutzt.");
    messages.append({MessageIcon::Information,
                     QStringLiteral("Es werden ") + QString::number(result.count) + where,
                     QStringLiteral("Benutzte Farben")});
    return messages;
}

} // namespace imageops
