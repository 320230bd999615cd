#include "ClipboardPictures.h"

#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/Quantize.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QtEndian>

#include <array>
#include <cstring>
#include <optional>

namespace clipboard {

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;

std::uint32_t le32(const char* p) {
    return qFromLittleEndian<std::uint32_t>(p);
}

// A file header in front of a packed bitmap, so that the bitmap reader takes it. The pixel
// offset stays 0: the reader then finds the rows after the header, the bit-field masks and the
// colour table the header announces, which is where a packed bitmap keeps them.
QByteArray withFileHeader(const QByteArray& packed) {
    QByteArray file(kFileHeaderBytes, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<std::uint32_t>(std::uint32_t(packed.size() + kFileHeaderBytes),
                                   file.data() + 2);
    return file + packed;
}

bool startsWith(const QByteArray& block, const char* magic, qsizetype length) {
    return block.size() >= length && std::memcmp(block.constData(), magic, size_t(length)) == 0;
}

} // namespace

QByteArray bmpFile(const dib& picture) {
    return grafikrw3::SaveDibToBytes(picture, int(grafikrw3::ImageFormat::Bmp));
}

QByteArray packedDib(const dib& picture) {
    const QByteArray file = bmpFile(picture);
    return file.isEmpty() ? QByteArray() : file.mid(kFileHeaderBytes);
}

OwnedDib readPicture(const QByteArray& block, QString* error) {
    // Whole files (image/bmp, image/png) carry a signature; anything else must be a packed
    // bitmap, which starts with the length of its header.
    const bool file = startsWith(block, "BM", 2) || startsWith(block, "\x89PNG\r\n\x1a\n", 8);
    dib picture;
    grafikrw3::OpenDibFromBytes(&picture, file ? block : withFileHeader(block),
                                QStringLiteral("clipboard.bmp"));
    OwnedDib owned(picture);
    if (!owned && error) {
        *error = grafikrw3::dibErrorText(picture);
    }
    return owned;
}

QByteArray maskBlock(const dib& mask) {
    if (!mask.poi || DIBBitCount(mask) != 1) {
        return {};
    }
    const qsizetype rows = qsizetype(DIBHeight(mask)) * mask.bytew;
    QByteArray block(kMaskRowsOffset + rows, '\0');
    BITMAPINFOHEADER header{};
    header.biSize = kInfoHeaderBytes;
    header.biWidth = DIBWidth(mask);
    header.biHeight = DIBHeight(mask);
    header.biPlanes = 1;
    header.biBitCount = 1;
    header.biSizeImage = std::uint32_t(rows);
    header.biClrUsed = 2;
    char* out = block.data();
    qToLittleEndian<std::uint32_t>(header.biSize, out);
    qToLittleEndian<std::int32_t>(header.biWidth, out + 4);
    qToLittleEndian<std::int32_t>(header.biHeight, out + 8);
    qToLittleEndian<std::uint16_t>(header.biPlanes, out + 12);
    qToLittleEndian<std::uint16_t>(header.biBitCount, out + 14);
    qToLittleEndian<std::uint32_t>(header.biSizeImage, out + 20);
    qToLittleEndian<std::uint32_t>(header.biClrUsed, out + 32);
    const RGBQUAD* colours = mask.pmi->colors();
    for (int i = 0; i < 2; ++i) {
        out[40 + 4 * i] = char(colours[i].rgbBlue);
        out[41 + 4 * i] = char(colours[i].rgbGreen);
        out[42 + 4 * i] = char(colours[i].rgbRed);
    }
    std::memcpy(out + kMaskRowsOffset, mask.poi, size_t(rows));
    return block;
}

OwnedDib readMask(const QByteArray& block, std::int32_t width, std::int32_t height) {
    if (block.size() < kMaskRowsOffset || width < 1 || height < 1) {
        return {};
    }
    const char* in = block.constData();
    const std::uint32_t headerBytes = le32(in);
    const auto blockWidth = std::int32_t(le32(in + 4));
    const auto blockHeight = std::int32_t(le32(in + 8));
    const std::uint16_t bits = qFromLittleEndian<std::uint16_t>(in + 14);
    const std::uint32_t compression = le32(in + 16);
    if (headerBytes != kInfoHeaderBytes || bits != 1 || compression != 0 || blockWidth != width ||
        blockHeight != height) {
        return {};
    }
    const std::int64_t rowBytes = grafikrw3::rowBytes(width, 1);
    if (rowBytes < 0 || (block.size() - kMaskRowsOffset) / rowBytes < height) {
        return {}; // rows missing: never read past the block
    }
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), width, height, 1, nullptr, 0);
    if (mask) {
        std::memcpy(mask->poi, in + kMaskRowsOffset, size_t(rowBytes * height));
    }
    return mask;
}

Region copyRegion(const dib& image, const dib* mask, const QRect& rect) {
    Region region;
    const std::int32_t w = rect.width();
    const std::int32_t h = rect.height();
    if (!image.poi || rect.isEmpty() ||
        !QRect(0, 0, DIBWidth(image), DIBHeight(image)).contains(rect)) {
        return region;
    }
    const int bits = DIBBitCount(image);
    grafikrw3::newdib(&region.picture.get(), w, h, bits, image.pmi,
                      std::int32_t(DIBColorTableSize(image)));
    if (!region.picture) {
        return region;
    }
    region.picture->pmi->bmiHeader.biXPelsPerMeter = image.pmi->bmiHeader.biXPelsPerMeter;
    region.picture->pmi->bmiHeader.biYPelsPerMeter = image.pmi->bmiHeader.biYPelsPerMeter;
    const bool withMask = mask && mask->poi;
    if (withMask) {
        grafikrw3::newdib(&region.mask.get(), w, h, 1, nullptr, 0);
        if (!region.mask) {
            region.picture.reset();
            return region;
        }
    }
    auto copyRows = [&](const dib& from, dib& to, auto format) {
        using Format = decltype(format);
        for (std::int32_t y = 0; y < h; ++y) {
            const std::uint8_t* src = grafikrw3::rowAt(from, rect.top() + y);
            std::uint8_t* dst = grafikrw3::rowAt(to, y);
            if constexpr (Format::bits >= 8) {
                std::memcpy(dst, src + std::int64_t(rect.left()) * (Format::bits / 8),
                            size_t(w) * (Format::bits / 8));
            } else {
                for (std::int32_t x = 0; x < w; ++x) {
                    Format::put(dst, x, Format::get(src, rect.left() + x));
                }
            }
        }
    };
    grafikrw3::forDepth(bits, [&](auto format) { copyRows(image, region.picture.get(), format); });
    if (withMask) {
        copyRows(*mask, region.mask.get(), grafikrw3::PixelFormat<1>{});
    }
    return region;
}

bool MakeCompatibleDib(const dib& reference, OwnedDib& picture) {
    const int toBits = DIBBitCount(reference);
    const int fromBits = DIBBitCount(picture.get());
    if (!reference.poi || !picture || !isSupportedBitCount(toBits) ||
        !isSupportedBitCount(fromBits)) {
        return false;
    }
    if (toBits == fromBits && toBits == 24) {
        return true; // nothing to map
    }
    const std::int32_t width = DIBWidth(picture.get());
    const std::int32_t height = DIBHeight(picture.get());
    OwnedDib converted;
    grafikrw3::newdib(&converted.get(), width, height, toBits, reference.pmi,
                      std::int32_t(DIBColorTableSize(reference)));
    if (!converted) {
        return false;
    }
    const dib& from = picture.get();
    const RGBQUAD* table = from.pmi->colors();
    const std::uint32_t tableSize = DIBColorTableSize(from);
    auto entryColour = [&](std::uint32_t index) {
        if (index >= tableSize) {
            return grafikrw3::Rgb{};
        }
        return grafikrw3::Rgb{table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue};
    };
    // Each source colour is looked up once: a table per source entry, or the search structure
    // for true colour, both giving the index the nearest-entry search gives.
    std::array<std::uint32_t, 256> mapped{};
    std::optional<grafikrw3::NearestColour> nearest;
    if (toBits <= 8) {
        nearest.emplace(reference.pal);
    }
    if (fromBits <= 8) {
        for (std::uint32_t i = 0; i < tableSize; ++i) {
            const grafikrw3::Rgb c = entryColour(i);
            mapped[i] = nearest
                            ? nearest->find(c)
                            : c.red | (std::uint32_t(c.green) << 8) | (std::uint32_t(c.blue) << 16);
        }
    }
    grafikrw3::forDepth(fromBits, [&](auto source) {
        using Source = decltype(source);
        grafikrw3::forDepth(toBits, [&](auto target) {
            using Target = decltype(target);
            if constexpr (Source::bits == 24) {
                for (std::int32_t y = 0; y < height; ++y) {
                    const std::uint8_t* src = grafikrw3::rowAt(from, y);
                    std::uint8_t* dst = grafikrw3::rowAt(converted.get(), y);
                    for (std::int32_t x = 0; x < width; ++x) {
                        const std::uint8_t* p = src + 3 * std::int64_t(x);
                        Target::put(dst, x, nearest->find(p[2], p[1], p[0]));
                    }
                }
            } else {
                for (std::int32_t y = 0; y < height; ++y) {
                    const std::uint8_t* src = grafikrw3::rowAt(from, y);
                    std::uint8_t* dst = grafikrw3::rowAt(converted.get(), y);
                    for (std::int32_t x = 0; x < width; ++x) {
                        Target::put(dst, x, mapped[Source::get(src, x)]);
                    }
                }
            }
        });
    });
    picture = std::move(converted);
    return true;
}

} // namespace clipboard
