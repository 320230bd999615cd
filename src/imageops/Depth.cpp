#include "Depth.h"

#include "OpProgress.h"
#include "Palettes.h"
#include "foundation/OwnedDib.h"
#include "foundation/Random.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/Quantize.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <array>
#include <vector>

namespace imageops {

namespace {

using grafikrw3::forDepth;
using grafikrw3::rowAt;

// Colour rows of a source picture as blue, green, red bytes: a 24-bit row as it stands,
// palette rows looked up into a buffer.
class SourceRows {
public:
    explicit SourceRows(const dib& source)
        : source_(source), bits_(DIBBitCount(source)), colours_(indexColours(source)) {
        if (bits_ != 24) {
            buffer_.resize(std::size_t(DIBWidth(source)) * 3);
        }
    }

    const std::uint8_t* row(std::int32_t y) {
        const std::uint8_t* stored = rowAt(source_, y);
        if (bits_ == 24) {
            return stored;
        }
        const std::int32_t width = DIBWidth(source_);
        forDepth(bits_, [&](auto format) {
            if constexpr (decltype(format)::bits != 24) {
                for (std::int32_t x = 0; x < width; ++x) {
                    const Rgb c = colours_[format.get(stored, x)];
                    std::uint8_t* p = buffer_.data() + std::ptrdiff_t(x) * 3;
                    p[0] = c.blue;
                    p[1] = c.green;
                    p[2] = c.red;
                }
            }
        });
        return buffer_.data();
    }

private:
    const dib& source_;
    int bits_;
    std::vector<Rgb> colours_;
    std::vector<std::uint8_t> buffer_;
};

// Writes one row of palette indexes into a 1-, 4- or 8-bit picture row.
void storeIndexes(std::uint8_t* row, int bits, const std::uint8_t* indexes, std::int32_t width) {
    forDepth(bits, [&](auto format) {
        if constexpr (decltype(format)::bits == 8) {
            std::copy(indexes, indexes + width, row);
        } else if constexpr (decltype(format)::bits != 24) {
            for (std::int32_t x = 0; x < width; ++x) {
                format.put(row, x, indexes[x]);
            }
        }
    });
}

// The entries of a target picture's palette that pixels may take: those its logical palette
// counts, at most as many as its depth can index.
std::vector<Rgb> targetPalette(const dib& target) {
    std::vector<Rgb> colours = indexColours(target);
    const std::size_t used = std::clamp<std::size_t>(target.pal.num, 1, colours.size());
    colours.resize(used);
    return colours;
}

bool fitTogether(const dib& source, const dib& target) {
    const int bits = DIBBitCount(target);
    return source.poi && target.poi && isSupportedBitCount(DIBBitCount(source)) &&
           (bits == 1 || bits == 4 || bits == 8) && DIBWidth(source) == DIBWidth(target) &&
           DIBHeight(source) == DIBHeight(target);
}

// 1 bit by brightness: (R + G + B) / 3 from 24 bits, (30 R + 59 G + 11 B) / 100 from palette
// entries; 128 and above is white.
OpStatus thresholdToOneBit(const dib& source, dib& target, const ProgressCallback& progress) {
    const std::int32_t width = DIBWidth(source);
    const std::int32_t height = DIBHeight(source);
    OpProgress bar(progress);
    const int bits = DIBBitCount(source);
    std::array<std::uint8_t, 256> whiteIndex{};
    const std::vector<Rgb> colours = indexColours(source);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Rgb c = colours[i];
        whiteIndex[i] = (30 * c.red + 59 * c.green + 11 * c.blue) / 100 >= 128;
    }
    OpStatus status = OpStatus::Done;
    forDepth(bits, [&](auto format) {
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* in = rowAt(source, y);
            std::uint8_t* out = rowAt(target, y);
            for (std::int32_t x = 0; x < width; ++x) {
                unsigned white = 0;
                if constexpr (decltype(format)::bits == 24) {
                    const std::uint8_t* p = in + std::ptrdiff_t(x) * 3;
                    white = (p[0] + p[1] + p[2]) / 3 >= 128;
                } else {
                    white = whiteIndex[format.get(in, x)];
                }
                grafikrw3::PixelFormat<1>::put(out, x, white);
            }
            if (!bar.step(y, height)) {
                status = OpStatus::Stopped;
                return;
            }
        }
    });
    return status;
}

// 8 x 8 ordered dither into the colour cube of the standard 256-colour palette.
OpStatus orderedDither(const dib& source, dib& target, const ProgressCallback& progress) {
    std::array<std::uint8_t, 256> level{};
    std::array<std::uint8_t, 256> rest{};
    for (int v = 0; v < 256; ++v) {
        level[std::size_t(v)] = std::uint8_t(v / 51);
        rest[std::size_t(v)] = std::uint8_t(v % 51);
    }
    const std::int32_t width = DIBWidth(source);
    const std::int32_t height = DIBHeight(source);
    OpProgress bar(progress);
    SourceRows rows(source);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* bgr = rows.row(y);
        std::uint8_t* out = rowAt(target, y);
        const std::uint8_t* thresholds = DitherMatrix8.data() + ((height - 1 - y) & 7);
        for (std::int32_t x = 0; x < width; ++x) {
            const int t = thresholds[(x & 7) * 8];
            const std::uint8_t* p = bgr + std::ptrdiff_t(x) * 3;
            auto cut = [&](std::uint8_t v) { return level[v] + (t < rest[v] ? 1 : 0); };
            out[x] = CubeToPalette[std::size_t(cut(p[2]) + 6 * cut(p[1]) + 36 * cut(p[0]))];
        }
        if (!bar.step(y, height)) {
            return OpStatus::Stopped;
        }
    }
    return OpStatus::Done;
}

// A new picture of the size of `like` at `bits`, with `colours` as its palette.
OwnedDib newPicture(const dib& like, int bits, const std::vector<Rgb>& colours) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), DIBWidth(like), DIBHeight(like), bits, nullptr, 0);
    if (picture && bits <= 8) {
        setPaletteEntries(picture.get(), colours);
        picture->pal.num = std::uint16_t(DIBColorTableSize(picture.get()));
    }
    return picture;
}

OpStatus install(dib& di, OwnedDib& converted, OpStatus status) {
    if (status == OpStatus::Done) {
        FreeDIB(di);
        di = converted.release();
    }
    return status;
}

Rgb randomColour() {
    auto channel = [] { return std::uint8_t(programrandom::below(64) * 4); };
    const std::uint8_t red = channel();
    const std::uint8_t green = channel();
    return Rgb{red, green, channel()};
}

// The palette of a lowered picture.
std::optional<std::vector<Rgb>> loweredPalette(const dib& di, const DepthDownParams& params,
                                               int target, const ProgressCallback& progress) {
    if (target == 1) {
        return std::vector<Rgb>{Rgb{0, 0, 0}, Rgb{255, 255, 255}};
    }
    if (!params.optimised && params.nbpp != 0) {
        return target == 4 ? std::vector<Rgb>(StdPal16.begin(), StdPal16.end())
                           : std::vector<Rgb>(StdPal256.begin(), StdPal256.end());
    }
    const int entries = 1 << target;
    const int wanted = params.nbpp == 0 ? std::clamp(params.colours, 1, entries) : entries;
    if (target == 8 && params.windowsColours) {
        std::vector<Rgb> colours(StdPal256.begin(), StdPal256.end());
        std::fill(colours.begin() + 10, colours.begin() + 246, Rgb{});
        const auto optimised = OptPalette(di, std::max(wanted - 20, 0), 4, progress);
        if (!optimised) {
            return std::nullopt;
        }
        std::copy(optimised->begin(), optimised->end(), colours.begin() + 10);
        return colours;
    }
    const auto optimised = OptPalette(di, wanted, target == 4 ? 5 : 4, progress);
    if (!optimised) {
        return std::nullopt;
    }
    std::vector<Rgb> colours(std::size_t(entries), optimised->front());
    std::copy(optimised->begin(), optimised->end(), colours.begin());
    return colours;
}

} // namespace

int depthDownTarget(const DepthDownParams& params) {
    if (params.nbpp == 0) {
        return params.colours > 16 ? 8 : 4;
    }
    return params.nbpp;
}

bool canDepthUp(int fromBits, int nbpp) {
    return (fromBits == 1 && (nbpp == 4 || nbpp == 8 || nbpp == 24)) ||
           (fromBits == 4 && (nbpp == 8 || nbpp == 24)) || (fromBits == 8 && nbpp == 24);
}

bool canDepthDown(int fromBits, const DepthDownParams& params) {
    const int target = depthDownTarget(params);
    if (params.nbpp == 0) {
        return (fromBits == 8 && target == 4) || fromBits == 24;
    }
    return (target == 1 && fromBits > 1 && isSupportedBitCount(fromBits)) ||
           (target == 4 && (fromBits == 8 || fromBits == 24)) || (target == 8 && fromBits == 24);
}

std::uint32_t lastColour(int bits) {
    return bits >= 24 ? 0xffffffu : (1u << std::clamp(bits, 1, 8)) - 1u;
}

OpStatus DepthUpTo(dib& di, int nbpp, const ProgressCallback& progress) {
    const int from = DIBBitCount(di);
    if (!di.poi || !canDepthUp(from, nbpp)) {
        return OpStatus::Unchanged;
    }
    const std::vector<Rgb> old = indexColours(di);
    std::vector<Rgb> colours;
    if (nbpp <= 8) {
        const int entries = 1 << nbpp;
        colours.resize(std::size_t(entries));
        for (int i = 0; i < entries; ++i) {
            colours[std::size_t(i)] = randomColour();
        }
        if (from == 1) {
            // Black and white, or whatever two colours the picture has.
            colours.front() = old[0];
            colours.back() = old[1];
        } else {
            std::copy(old.begin(), old.end(), colours.begin());
        }
    }
    OwnedDib converted = newPicture(di, nbpp, colours);
    if (!converted) {
        return OpStatus::NoMemory;
    }
    const std::int32_t width = DIBWidth(di);
    const std::int32_t height = DIBHeight(di);
    OpProgress bar(progress);
    const std::uint32_t lastIndex = lastColour(nbpp);
    OpStatus status = OpStatus::Done;
    forDepth(from, [&](auto format) {
        if constexpr (decltype(format)::bits != 24) {
            for (std::int32_t y = 0; y < height && status == OpStatus::Done; ++y) {
                const std::uint8_t* in = rowAt(di, y);
                std::uint8_t* out = rowAt(converted.get(), y);
                for (std::int32_t x = 0; x < width; ++x) {
                    std::uint32_t index = format.get(in, x);
                    if (nbpp == 24) {
                        const Rgb c = old[index];
                        std::uint8_t* p = out + std::ptrdiff_t(x) * 3;
                        p[0] = c.blue;
                        p[1] = c.green;
                        p[2] = c.red;
                        continue;
                    }
                    if (from == 1 && index == 1) {
                        index = lastIndex;
                    }
                    grafikrw3::putIndex(out, nbpp, x, index);
                }
                if (!bar.step(y, height)) {
                    status = OpStatus::Stopped;
                }
            }
        }
    });
    return install(di, converted, status);
}

OpStatus DepthDownTo(dib& di, const DepthDownParams& params, const ProgressCallback& progress) {
    const int from = DIBBitCount(di);
    if (!di.poi || !canDepthDown(from, params)) {
        return OpStatus::Unchanged;
    }
    const int target = depthDownTarget(params);
    const std::optional<std::vector<Rgb>> colours = loweredPalette(di, params, target, progress);
    if (!colours) {
        return OpStatus::Stopped;
    }
    OwnedDib converted = newPicture(di, target, *colours);
    if (!converted) {
        return OpStatus::NoMemory;
    }
    OpStatus status = OpStatus::Done;
    if (target == 1 && params.method == DepthMethod::Nearest) {
        status = thresholdToOneBit(di, converted.get(), progress);
    } else if (params.method == DepthMethod::Nearest) {
        status = NearestColours(di, converted.get(), progress);
    } else if (params.method == DepthMethod::OrderedDither && target == 8 && !params.optimised &&
               params.nbpp != 0) {
        status = orderedDither(di, converted.get(), progress);
    } else {
        // Error diffusion, also for an ordered dither asked of a palette without the cube.
        status = FSErrorDither(di, converted.get(), progress);
    }
    return install(di, converted, status);
}

OpStatus FSErrorDither(const dib& source, dib& target, const ProgressCallback& progress) {
    if (!fitTogether(source, target)) {
        return OpStatus::Unchanged;
    }
    const std::int32_t width = DIBWidth(source);
    const std::int32_t height = DIBHeight(source);
    OpProgress bar(progress);
    const int bits = DIBBitCount(target);
    grafikrw3::RowDitherer ditherer(targetPalette(target), width);
    SourceRows rows(source);
    std::vector<std::uint8_t> indexes(static_cast<std::size_t>(width));
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* out = rowAt(target, y);
        if (bits == 8) {
            ditherer.ditherBgrRow(rows.row(y), out);
        } else {
            ditherer.ditherBgrRow(rows.row(y), indexes.data());
            storeIndexes(out, bits, indexes.data(), width);
        }
        if (!bar.step(y, height)) {
            return OpStatus::Stopped;
        }
    }
    return OpStatus::Done;
}

OpStatus NearestColours(const dib& source, dib& target, const ProgressCallback& progress) {
    if (!fitTogether(source, target)) {
        return OpStatus::Unchanged;
    }
    const std::int32_t width = DIBWidth(source);
    const std::int32_t height = DIBHeight(source);
    OpProgress bar(progress);
    const int bits = DIBBitCount(target);
    grafikrw3::NearestColour nearest(targetPalette(target));
    std::vector<std::uint8_t> indexes(static_cast<std::size_t>(width));
    OpStatus status = OpStatus::Done;
    forDepth(DIBBitCount(source), [&](auto format) {
        // A palette picture has few colours: look each up once.
        std::array<std::uint8_t, 256> mapped{};
        const std::vector<Rgb> colours = indexColours(source);
        for (std::size_t i = 0; i < colours.size(); ++i) {
            mapped[i] = nearest.find(colours[i]);
        }
        std::uint32_t previous = 0xffffffffu;
        std::uint8_t lastIndex = 0;
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* in = rowAt(source, y);
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint32_t value = format.get(in, x);
                if constexpr (decltype(format)::bits == 24) {
                    // Neighbours often share their colour.
                    if (value != previous) {
                        previous = value;
                        lastIndex = nearest.find(int(value & 0xff), int((value >> 8) & 0xff),
                                                 int(value >> 16));
                    }
                    indexes[std::size_t(x)] = lastIndex;
                } else {
                    indexes[std::size_t(x)] = mapped[value];
                }
            }
            storeIndexes(rowAt(target, y), bits, indexes.data(), width);
            if (!bar.step(y, height)) {
                status = OpStatus::Stopped;
                return;
            }
        }
    });
    return status;
}

QString depthFailureText(OpStatus status) {
    if (status == OpStatus::NoMemory) {
        return QStringLiteral("Fehler: nicht genug Speicher für diese Operation!");
    }
    return {};
}

} // namespace imageops
