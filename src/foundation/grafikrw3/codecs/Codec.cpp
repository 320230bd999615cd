#include "Codec.h"

#include "../grafikrw3.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>

namespace grafikrw3::codec {

QString damagedText() {
    return QStringLiteral("Unbekanntes oder beschädigtes Dateiformat.");
}

QString tooLargeText() {
    return QStringLiteral("Das Bild ist zu groß für den verfügbaren Arbeitsspeicher.");
}

QString unsupportedText() {
    return QStringLiteral("Diese Variante des Dateiformats wird nicht unterstützt.");
}

QString stoppedText() {
    return QStringLiteral("Der Vorgang wurde abgebrochen.");
}

QString failureText(Failure failure) {
    switch (failure) {
    case Failure::unsupported:
        return unsupportedText();
    case Failure::tooLarge:
        return tooLargeText();
    case Failure::stopped:
        return stoppedText();
    default:
        return damagedText();
    }
}

bool fail(Decoded& out, const QString& text) {
    FreeDIB(out.picture);
    out.picture = dib{};
    out.error = text;
    return false;
}

bool makePicture(Decoded& out, std::int64_t width, std::int64_t height, int bits,
                 const Limits& limits) {
    constexpr std::int64_t kMaxSide = 0x7fffffff / 8;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide ||
        !isSupportedBitCount(bits)) {
        return fail(out, damagedText());
    }
    const std::int64_t stride = rowBytes(width, bits);
    if (stride > limits.maxPictureBytes / height || stride > kMaxImageBytes / height) {
        return fail(out, tooLargeText());
    }
    newdib(&out.picture, std::int32_t(width), std::int32_t(height), bits, nullptr, 0);
    if (!out.picture.poi) {
        return fail(out, tooLargeText());
    }
    if (bits <= 8) {
        const int entries = 1 << bits;
        std::memset(out.picture.pmi->colors(), 0, std::size_t(entries) * sizeof(RGBQUAD));
        std::memset(out.picture.pal.pal, 0, sizeof out.picture.pal.pal);
        out.picture.pal.num = std::uint16_t(entries);
    }
    return true;
}

void setColor(dib& picture, int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (index < 0 || index >= int(DIBColorTableSize(picture))) {
        return;
    }
    picture.pmi->colors()[index] = RGBQUAD{blue, green, red, 0};
    picture.pal.pal[index] = PALETTEENTRY{red, green, blue, 0};
}

void setGreyRamp(dib& picture) {
    const int entries = int(DIBColorTableSize(picture));
    for (int i = 0; i < entries; ++i) {
        const auto grey = std::uint8_t(entries > 1 ? i * 255 / (entries - 1) : 0);
        setColor(picture, i, grey, grey, grey);
    }
}

int widenedDepth(int bits) {
    return bits <= 1 ? 1 : bits <= 4 ? 4 : 8;
}

void rowToRgb(const PictureHeader& header, const std::uint8_t* row, std::uint8_t* rgb) {
    if (header.bits == 24) {
        for (std::int32_t x = 0; x < header.width; ++x) {
            rgb[3 * x] = row[3 * x + 2];
            rgb[3 * x + 1] = row[3 * x + 1];
            rgb[3 * x + 2] = row[3 * x];
        }
        return;
    }
    for (std::int32_t x = 0; x < header.width; ++x) {
        const RGBQUAD& c = header.colors[getIndex(row, header.bits, x)];
        rgb[3 * x] = c.rgbRed;
        rgb[3 * x + 1] = c.rgbGreen;
        rgb[3 * x + 2] = c.rgbBlue;
    }
}

void rowToRgb(const dib& picture, std::int32_t y, std::uint8_t* rgb) {
    rowToRgb(headerOf(picture), rowAt(picture, y), rgb);
}

PictureHeader headerOf(const dib& picture) {
    PictureHeader h;
    h.width = DIBWidth(picture);
    h.height = DIBHeight(picture);
    h.bits = DIBBitCount(picture);
    h.colorCount = DIBColorTableSize(picture);
    h.colors = h.colorCount > 0 ? picture.pmi->colors() : nullptr;
    h.resolution = resolutionOf(picture);
    return h;
}

bool encodeRows(RowEncoderStart start, const dib& picture, QIODevice& out,
                const EncodeOptions& options, ProgressReporter& progress) {
    if (!picture.poi || !isSupportedBitCount(DIBBitCount(picture))) {
        return false;
    }
    const std::unique_ptr<RowEncoder> encoder = start(headerOf(picture), out, options);
    if (!encoder) {
        return false;
    }
    // Memory holds the rows bottom-up.
    const std::int32_t height = DIBHeight(picture);
    for (std::int32_t r = 0; r < height; ++r) {
        const std::int32_t memoryRow = encoder->bottomUp() ? r : height - 1 - r;
        if (!encoder->row(picture.poi + std::int64_t(memoryRow) * picture.bytew) ||
            !progress.report(r + 1, height)) {
            return false;
        }
    }
    return encoder->finish();
}

Resolution resolutionOf(const dib& picture) {
    if (!picture.pmi) {
        return {};
    }
    const BITMAPINFOHEADER& h = picture.pmi->bmiHeader;
    return {std::max<std::int32_t>(h.biXPelsPerMeter, 0),
            std::max<std::int32_t>(h.biYPelsPerMeter, 0)};
}

int dotsPerInch(std::int32_t pixelsPerMetre) {
    return int(std::lround(pixelsPerMetre * 0.0254));
}

bool hasGreyRamp(const dib& picture) {
    const int entries = int(DIBColorTableSize(picture));
    if (entries == 0) {
        return false;
    }
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD& c = picture.pmi->colors()[i];
        const int grey = entries > 1 ? i * 255 / (entries - 1) : 0;
        if (c.rgbRed != grey || c.rgbGreen != grey || c.rgbBlue != grey) {
            return false;
        }
    }
    return true;
}

// --- Cursor ---

const std::uint8_t* Cursor::take(std::size_t count) {
    if (!ok_ || count > remaining()) {
        ok_ = false;
        return nullptr;
    }
    const std::uint8_t* p = data_.data() + position_;
    position_ += count;
    return p;
}

std::uint8_t Cursor::u8() {
    const std::uint8_t* p = take(1);
    return p ? p[0] : 0;
}

std::uint16_t Cursor::u16le() {
    const std::uint8_t* p = take(2);
    return p ? std::uint16_t(p[0] | (p[1] << 8)) : 0;
}

std::uint16_t Cursor::u16be() {
    const std::uint8_t* p = take(2);
    return p ? std::uint16_t((p[0] << 8) | p[1]) : 0;
}

std::uint32_t Cursor::u32le() {
    const std::uint8_t* p = take(4);
    return p ? std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                   (std::uint32_t(p[3]) << 24)
             : 0;
}

std::uint32_t Cursor::u32be() {
    const std::uint8_t* p = take(4);
    return p ? (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
                   (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3])
             : 0;
}

bool Cursor::seek(std::size_t offset) {
    if (!ok_ || offset > data_.size()) {
        ok_ = false;
        return false;
    }
    position_ = offset;
    return true;
}

// --- Sink ---

void Sink::bytes(const void* data, std::int64_t count) {
    if (ok_ && count > 0) {
        ok_ = device_.write(static_cast<const char*>(data), count) == count;
    }
}

void Sink::u16le(std::uint16_t v) {
    const std::uint8_t b[2] = {std::uint8_t(v), std::uint8_t(v >> 8)};
    bytes(b, 2);
}

void Sink::u16be(std::uint16_t v) {
    const std::uint8_t b[2] = {std::uint8_t(v >> 8), std::uint8_t(v)};
    bytes(b, 2);
}

void Sink::u32le(std::uint32_t v) {
    const std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                               std::uint8_t(v >> 24)};
    bytes(b, 4);
}

void Sink::u32be(std::uint32_t v) {
    const std::uint8_t b[4] = {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8),
                               std::uint8_t(v)};
    bytes(b, 4);
}

std::int64_t Sink::position() const {
    return device_.pos();
}

bool Sink::seek(std::int64_t offset) {
    if (ok_) {
        ok_ = device_.seek(offset);
    }
    return ok_;
}

} // namespace grafikrw3::codec
