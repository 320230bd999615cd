#include "Palettes.h"

#include "OpProgress.h"

#include "foundation/grafikrw3/PixelRows.h"

#include <algorithm>
#include <utility>

namespace imageops {

void setPaletteEntries(dib& picture, std::span<const Rgb> colours, int first) {
    const int entries = int(DIBColorTableSize(picture));
    RGBQUAD* table = picture.pmi ? picture.pmi->colors() : nullptr;
    for (std::size_t k = 0; k < colours.size(); ++k) {
        const int i = first + int(k);
        if (i < 0 || i >= entries || !table) {
            continue;
        }
        const Rgb c = colours[k];
        picture.pal.pal[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
        table[i] = RGBQUAD{c.blue, c.green, c.red, 0};
    }
}

std::vector<Rgb> indexColours(const dib& picture) {
    const std::uint32_t entries = DIBColorTableSize(picture);
    std::vector<Rgb> colours(entries);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const PALETTEENTRY& e = picture.pal.pal[i];
        colours[i] = Rgb{e.peRed, e.peGreen, e.peBlue};
    }
    return colours;
}

namespace {

constexpr int kBins = 32768;

// Ascending sort of the counters with the bin numbers moved along. Which of several equal
// counters ends where decides the palette of a picture with few colours, so this is exactly
// the partition scheme the palette has always been built with (middle pivot, both sides
// swapped on equality); only the recursion runs into the smaller part first.
void sortBins(std::vector<std::uint16_t>& counter, std::vector<std::uint16_t>& bin, int left,
              int right) {
    while (left < right) {
        const std::uint16_t pivot = counter[std::size_t((left + right) / 2)];
        int i = left;
        int j = right;
        do {
            while (counter[std::size_t(i)] < pivot) {
                ++i;
            }
            while (pivot < counter[std::size_t(j)]) {
                --j;
            }
            if (i <= j) {
                std::swap(counter[std::size_t(i)], counter[std::size_t(j)]);
                std::swap(bin[std::size_t(i)], bin[std::size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        // The parts left...j and i...right are disjoint, so their order does not matter.
        if (j - left < right - i) {
            sortBins(counter, bin, left, j);
            left = i;
        } else {
            sortBins(counter, bin, i, right);
            right = j;
        }
    }
}

} // namespace

std::optional<std::vector<Rgb>> OptPalette(const dib& source, int count, int shift,
                                           const ProgressCallback& progress) {
    shift = std::clamp(shift, 0, 7);
    count = std::clamp(count, 0, kBins);
    std::vector<std::uint16_t> counter(kBins, 0);
    auto binOf = [shift](int red, int green, int blue) {
        return ((red >> shift) << 10) | ((green >> shift) << 5) | (blue >> shift);
    };
    auto raise = [&counter](int b) {
        std::uint16_t& c = counter[std::size_t(b)];
        if (c == 0xffff) {
            for (std::uint16_t& v : counter) {
                v = std::uint16_t(v >> 1);
            }
        }
        ++c;
    };

    const std::int32_t width = DIBWidth(source);
    const std::int32_t height = DIBHeight(source);
    OpProgress bar(progress);
    const int bits = DIBBitCount(source);
    std::vector<int> binOfIndex;
    for (const Rgb& c : indexColours(source)) {
        binOfIndex.push_back(binOf(c.red, c.green, c.blue));
    }
    bool stopped = false;
    if (source.poi) {
        grafikrw3::forDepth(bits, [&](auto format) {
            for (std::int32_t y = 0; y < height && !stopped; ++y) {
                const std::uint8_t* row = grafikrw3::rowAt(source, y);
                if constexpr (decltype(format)::bits == 24) {
                    for (std::int32_t x = 0; x < width; ++x) {
                        const std::uint8_t* p = row + std::ptrdiff_t(x) * 3;
                        raise(binOf(p[2], p[1], p[0]));
                    }
                } else {
                    for (std::int32_t x = 0; x < width; ++x) {
                        raise(binOfIndex[format.get(row, x)]);
                    }
                }
                stopped = !bar.step(y, height);
            }
        });
    }
    if (stopped) {
        return std::nullopt;
    }

    std::vector<std::uint16_t> bin(kBins);
    for (int i = 0; i < kBins; ++i) {
        bin[std::size_t(i)] = std::uint16_t(i);
    }
    sortBins(counter, bin, 0, kBins - 1);
    std::vector<Rgb> colours(std::size_t(count), Rgb{});
    for (int k = 0; k < count; ++k) {
        const int d = bin[std::size_t(kBins - 1 - k)];
        // Bins beyond the cut channel range only come from unused bins; their corners wrap
        // around to the byte, which keeps them on the grid of the used ones.
        colours[std::size_t(k)] =
            Rgb{std::uint8_t((d >> 10) << shift), std::uint8_t(((d >> 5) & 31) << shift),
                std::uint8_t((d & 31) << shift)};
    }
    return colours;
}

} // namespace imageops
