#include "ColorCount.h"

#include "Depth.h"
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
    const std::int32_t height = DIBHeight(di);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* p = grafikrw3::rowAt(di, y);
        const std::uint8_t* mask = selection.row(y);
        for (std::int32_t x = 0; x < width; ++x, p += 3) {
            if (!Selection::contains(mask, x)) {
                continue;
            }
            // red + 256 green + 65536 blue, from bytes stored blue, green, red
            const std::uint32_t value =
                p[2] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[0]) << 16);
            seen[value >> 3] = std::uint8_t(seen[value >> 3] | (1u << (value & 7)));
        }
        if (!reportRow(progress, y, height)) {
            return {0, OpStatus::Stopped};
        }
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
    const std::int32_t height = DIBHeight(di);
    std::array<bool, 256> used{};
    bool stopped = false;
    grafikrw3::forDepth(bits, [&](auto format) {
        for (std::int32_t y = 0; y < height && !stopped; ++y) {
            const std::uint8_t* row = grafikrw3::rowAt(di, y);
            const std::uint8_t* mask = selection.row(y);
            for (std::int32_t x = 0; x < width; ++x) {
                if (Selection::contains(mask, x)) {
                    used[format.get(row, x) & 0xff] = true;
                }
            }
            stopped = !reportRow(progress, y, height);
        }
    });
    if (stopped) {
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
