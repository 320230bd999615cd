// Truevision Targa: an 18-byte header, an optional image ID and colour map, then pixels,
// raw or in run-length packets. The format has no signature, so the header is checked
// closely enough that other files are turned away.
#include "Codec.h"

#include <QIODevice>

#include <array>
#include <vector>

namespace grafikrw3::codec {

namespace {

constexpr std::int64_t kLargestSide = 65535;
constexpr std::uint8_t kDescriptorRightToLeft = 0x10;
constexpr std::uint8_t kDescriptorTopDown = 0x20;
constexpr std::uint8_t kDescriptorInterleave = 0xc0;
constexpr std::uint8_t kDescriptorAttributeBits = 0x0f;
constexpr int kRunPacketPixels = 128;
constexpr char kFooter[] = "TRUEVISION-XFILE.";

enum ImageType : std::uint8_t {
    kMapped = 1,
    kTrueColour = 2,
    kGrey = 3,
    kMappedRle = 9,
    kTrueColourRle = 10,
    kGreyRle = 11,
    kHuffman = 32,
    kHuffmanQuadtree = 33,
};

struct Header {
    std::uint8_t idLength = 0;
    std::uint8_t mapType = 0;
    std::uint8_t imageType = 0;
    std::uint16_t mapFirst = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapEntryBits = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint8_t pixelBits = 0;
    std::uint8_t descriptor = 0;

    bool rle() const { return imageType >= kMappedRle; }
    std::uint8_t baseType() const { return rle() ? std::uint8_t(imageType - 8) : imageType; }
    int pixelBytes() const { return (pixelBits + 7) / 8; }
    int mapEntryBytes() const { return (mapEntryBits + 7) / 8; }
};

bool isColourBits(int bits) {
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

Header readHeader(Cursor& in) {
    Header h;
    h.idLength = in.u8();
    h.mapType = in.u8();
    h.imageType = in.u8();
    h.mapFirst = in.u16le();
    h.mapLength = in.u16le();
    h.mapEntryBits = in.u8();
    in.skip(4); // origin on the screen
    h.width = in.u16le();
    h.height = in.u16le();
    h.pixelBits = in.u8();
    h.descriptor = in.u8();
    return h;
}

// Empty when the header describes a picture this reader takes, else the reason.
QString checkHeader(const Header& h) {
    if (h.imageType == kHuffman || h.imageType == kHuffmanQuadtree) {
        return unsupportedText();
    }
    const bool knownType = (h.imageType >= kMapped && h.imageType <= kGrey) ||
                           (h.imageType >= kMappedRle && h.imageType <= kGreyRle);
    if (!knownType || h.mapType > 1 || h.width < 1 || h.height < 1 ||
        (h.mapType == 1 && !isColourBits(h.mapEntryBits))) {
        return damagedText();
    }
    switch (h.baseType()) {
    case kMapped:
        if (h.mapType != 1 || h.mapLength == 0) {
            return damagedText();
        }
        if (h.pixelBits == 16 || h.mapLength > 256) {
            return unsupportedText();
        }
        if (h.pixelBits != 8) {
            return damagedText();
        }
        break;
    case kTrueColour:
        if (!isColourBits(h.pixelBits)) {
            return damagedText();
        }
        break;
    default: // grey
        if (h.pixelBits == 16) {
            return unsupportedText(); // grey with alpha
        }
        if (h.pixelBits != 8) {
            return damagedText();
        }
        break;
    }
    if (h.descriptor & kDescriptorInterleave) {
        return unsupportedText();
    }
    return {};
}

// Red, green, blue and alpha of one stored colour of 15, 16, 24 or 32 bits.
std::array<std::uint8_t, 4> colourOf(const std::uint8_t* p, int bits) {
    if (bits <= 16) {
        const unsigned v = unsigned(p[0]) | (unsigned(p[1]) << 8);
        auto five = [](unsigned c) { return std::uint8_t((c << 3) | (c >> 2)); };
        return {five((v >> 10) & 31u), five((v >> 5) & 31u), five(v & 31u),
                std::uint8_t((v & 0x8000u) ? 255 : 0)};
    }
    return {p[2], p[1], p[0], bits == 32 ? p[3] : std::uint8_t(255)};
}

// The pixels one after another, whether raw or in packets; packets may run on into the
// next row.
class PixelReader {
public:
    PixelReader(Bytes stream, int bytes, bool rle) : stream_(stream), bytes_(bytes), rle_(rle) {}

    // The next pixel's bytes, or null when the data ends.
    const std::uint8_t* next() {
        if (rle_ && left_ == 0) {
            if (at_ >= stream_.size()) {
                return nullptr;
            }
            const std::uint8_t packet = stream_[at_++];
            left_ = (packet & 0x7fu) + 1;
            repeat_ = (packet & 0x80u) != 0;
            if (repeat_) {
                current_ = take();
            }
        }
        if (rle_) {
            --left_;
            return repeat_ ? current_ : take();
        }
        return take();
    }

private:
    const std::uint8_t* take() {
        if (std::size_t(bytes_) > stream_.size() - at_) {
            return nullptr;
        }
        const std::uint8_t* p = stream_.data() + at_;
        at_ += std::size_t(bytes_);
        return p;
    }

    Bytes stream_;
    int bytes_;
    bool rle_;
    std::size_t at_ = 0;
    unsigned left_ = 0;
    bool repeat_ = false;
    const std::uint8_t* current_ = nullptr;
};

// Alpha counts only when the descriptor announces it and some pixel uses it: many writers
// leave the alpha byte zero meaning "opaque".
bool alphaCarriesInformation(const Header& h, Bytes stream) {
    if (h.baseType() != kTrueColour || h.pixelBits == 15 ||
        (h.descriptor & kDescriptorAttributeBits) == 0) {
        return false;
    }
    PixelReader reader(stream, h.pixelBytes(), h.rle());
    for (std::int64_t i = h.width * h.height; i > 0; --i) {
        const std::uint8_t* p = reader.next();
        if (!p) {
            return false;
        }
        if (colourOf(p, h.pixelBits)[3] != 0) {
            return true;
        }
    }
    return false;
}

void readColourMap(const Header& h, const std::uint8_t* map, dib& picture) {
    const int bytes = h.mapEntryBytes();
    bool useAlpha = false;
    if (h.mapEntryBits == 32) {
        for (int i = 0; i < h.mapLength && !useAlpha; ++i) {
            useAlpha = map[bytes * i + 3] != 0;
        }
    }
    for (int i = 0; i < h.mapLength && h.mapFirst + i < 256; ++i) {
        auto [r, g, b, a] = colourOf(map + bytes * i, h.mapEntryBits);
        if (!useAlpha) {
            a = 255;
        }
        setColor(picture, h.mapFirst + i, onWhite(r, a), onWhite(g, a), onWhite(b, a));
    }
}

bool readPixels(const Header& h, Bytes stream, dib& picture, ProgressReporter& progress,
                QString& error) {
    const bool useAlpha = alphaCarriesInformation(h, stream);
    const bool trueColour = h.baseType() == kTrueColour;
    PixelReader reader(stream, h.pixelBytes(), h.rle());
    for (std::int64_t r = 0; r < h.height; ++r) {
        const bool topDown = h.descriptor & kDescriptorTopDown;
        std::uint8_t* row = rowAt(picture, std::int32_t(topDown ? r : h.height - 1 - r));
        for (std::int64_t i = 0; i < h.width; ++i) {
            const std::int64_t x = (h.descriptor & kDescriptorRightToLeft) ? h.width - 1 - i : i;
            const std::uint8_t* p = reader.next();
            if (!p) {
                error = damagedText();
                return false;
            }
            if (!trueColour) {
                row[x] = p[0];
                continue;
            }
            const auto [red, green, blue, alpha] = colourOf(p, h.pixelBits);
            const unsigned a = useAlpha ? alpha : 255u;
            row[3 * x] = onWhite(blue, a);
            row[3 * x + 1] = onWhite(green, a);
            row[3 * x + 2] = onWhite(red, a);
        }
        if (!progress.report(r + 1, h.height)) {
            error = stoppedText();
            return false;
        }
    }
    return true;
}

// Refuses sizes the data present cannot fill before anything is allocated: a run packet of
// one pixel's bytes and a count stands for at most 128 pixels.
bool plausibleSize(const Header& h, std::size_t available) {
    const std::int64_t pixels = h.width * h.height;
    const std::int64_t bytes = h.pixelBytes();
    return h.rle() ? pixels * (1 + bytes) <= kRunPacketPixels * std::int64_t(available)
                   : pixels * bytes <= std::int64_t(available);
}

} // namespace

Decoded decodeTga(Bytes data, const Limits& limits, ProgressReporter& progress) {
    Decoded out;
    Cursor in(data);
    const Header h = readHeader(in);
    if (!in.ok()) {
        fail(out, damagedText());
        return out;
    }
    if (const QString error = checkHeader(h); !error.isEmpty()) {
        fail(out, error);
        return out;
    }
    in.skip(h.idLength);
    const std::size_t mapBytes =
        h.mapType == 1 ? std::size_t(h.mapLength) * std::size_t(h.mapEntryBytes()) : 0;
    const std::uint8_t* map = in.take(mapBytes);
    if (!in.ok() || !plausibleSize(h, in.remaining())) {
        fail(out, damagedText());
        return out;
    }
    const bool trueColour = h.baseType() == kTrueColour;
    if (!makePicture(out, h.width, h.height, trueColour ? 24 : 8, limits)) {
        return out;
    }
    if (h.baseType() == kMapped) {
        readColourMap(h, map, out.picture);
    } else if (h.baseType() == kGrey) {
        setGreyRamp(out.picture);
    }
    QString error;
    if (!readPixels(h, data.subspan(in.position()), out.picture, progress, error)) {
        fail(out, error);
    }
    return out;
}

namespace {

// Raw rows bottom-up, as the picture holds them; 24-bit rows are already blue, green, red.
class TgaRows final : public RowEncoder {
public:
    TgaRows(const PictureHeader& header, QIODevice& out)
        : RowEncoder(true), header_(header), sink_(out),
          indexes_(header.bits <= 8 ? std::size_t(header.width) : 0) {}

    bool start() {
        if (header_.width > kLargestSide || header_.height > kLargestSide) {
            return false;
        }
        const bool mapped = header_.bits <= 8;
        sink_.u8(0); // no image ID
        sink_.u8(mapped ? 1 : 0);
        sink_.u8(mapped ? kMapped : kTrueColour);
        sink_.u16le(0);
        sink_.u16le(std::uint16_t(header_.colorCount));
        sink_.u8(mapped ? 24 : 0);
        sink_.u32le(0); // origin on the screen
        sink_.u16le(std::uint16_t(header_.width));
        sink_.u16le(std::uint16_t(header_.height));
        sink_.u8(mapped ? 8 : 24);
        sink_.u8(0); // bottom-left origin, no alpha
        for (std::uint32_t i = 0; i < header_.colorCount; ++i) {
            const RGBQUAD& c = header_.colors[i];
            const std::uint8_t bgr[3] = {c.rgbBlue, c.rgbGreen, c.rgbRed};
            sink_.bytes(bgr, 3);
        }
        return sink_.ok();
    }

    bool row(const std::uint8_t* row) override {
        if (indexes_.empty()) {
            sink_.bytes(row, std::int64_t(header_.width) * 3);
        } else {
            for (std::int32_t x = 0; x < header_.width; ++x) {
                indexes_[std::size_t(x)] = std::uint8_t(getIndex(row, header_.bits, x));
            }
            sink_.bytes(indexes_.data(), header_.width);
        }
        return sink_.ok();
    }

    bool finish() override {
        // Version 2 footer without extension or developer area: marks the file as Targa.
        sink_.u32le(0);
        sink_.u32le(0);
        sink_.bytes(kFooter, sizeof kFooter);
        return sink_.ok();
    }

private:
    PictureHeader header_;
    Sink sink_;
    std::vector<std::uint8_t> indexes_;
};

} // namespace

std::unique_ptr<RowEncoder> startTgaRows(const PictureHeader& header, QIODevice& out,
                                         const EncodeOptions&) {
    auto rows = std::make_unique<TgaRows>(header, out);
    return rows->start() ? std::move(rows) : nullptr;
}

bool encodeTga(const dib& picture, QIODevice& out, const EncodeOptions& options,
               ProgressReporter& progress) {
    return encodeRows(startTgaRows, picture, out, options, progress);
}

} // namespace grafikrw3::codec
