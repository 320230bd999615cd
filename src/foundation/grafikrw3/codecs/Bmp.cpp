// Windows and OS/2 bitmaps (.BMP, .DIB, .RLE). The picture record is itself a DIB, so rows of
// 1, 4, 8 and 24 bits are copied as they are; other depths and the run-length schemes are
// converted row by row.
#include "Codec.h"

#include "../grafikrw3.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace grafikrw3::codec {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kSmallestOs2HeaderBytes = 16;
constexpr std::uint32_t kLargestHeaderBytes = 124;
constexpr std::int32_t kDefaultPixelsPerMetre = 2835; // 72 dpi

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitfields = 3,
    kJpeg = 4,
    kPng = 5,
    kAlphaBitfields = 6,
    kCmyk = 11,
    kCmykRle4 = 13,
};

// An encoded run turns two bytes into at most 255 pixels. Skips (end of line, delta, end of
// bitmap) can leave any area blank, so small pictures are allowed whatever the data; above
// that, the data must be able to fill the picture with runs.
constexpr std::int64_t kRleMaxPixelsPerByte = 128;
constexpr std::int64_t kRleBlankAllowance = std::int64_t(1) << 22;

struct Header {
    std::uint32_t headerBytes = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // always positive; topDown tells the row order
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha
    std::size_t paletteOffset = 0;
    int paletteEntryBytes = 4;
    int paletteEntries = 0;
    std::size_t pixelOffset = 0;
};

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint16_t le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

// Information headers come in many lengths (OS/2 2.x anything from 16 to 64, Windows 40, 52,
// 56, 108, 124); missing trailing fields read as zero.
bool readInfoHeader(Cursor& in, Header& h) {
    if (h.headerBytes == kCoreHeaderBytes) {
        h.width = in.u16le();
        h.height = in.u16le();
        in.skip(2); // planes
        h.bits = in.u16le();
        h.paletteEntryBytes = 3;
        return in.ok();
    }
    if (h.headerBytes < kSmallestOs2HeaderBytes || h.headerBytes > kLargestHeaderBytes) {
        return false;
    }
    std::array<std::uint8_t, kLargestHeaderBytes> field{};
    const std::uint8_t* p = in.take(h.headerBytes - 4);
    if (!p) {
        return false;
    }
    std::memcpy(field.data(), p, h.headerBytes - 4);
    h.width = std::int32_t(le32(&field[0]));
    const std::int64_t height = std::int32_t(le32(&field[4]));
    h.topDown = height < 0;
    h.height = height < 0 ? -height : height;
    h.bits = le16(&field[10]);
    h.compression = le32(&field[12]);
    h.colorsUsed = le32(&field[28]);
    for (int i = 0; i < 4; ++i) {
        h.masks[std::size_t(i)] = le32(&field[36 + 4 * std::size_t(i)]);
    }
    if (h.headerBytes < 52) {
        h.masks = {};
    } else if (h.headerBytes < 56) {
        h.masks[3] = 0;
    }
    return true;
}

bool isWindowsHeaderLength(std::uint32_t bytes) {
    return bytes == kInfoHeaderBytes || bytes == 52 || bytes == 56 || bytes == 108 ||
           bytes == kLargestHeaderBytes;
}

// The combinations of depth and compression this reader takes; the error says why not.
bool checkFormat(const Header& h, QString& error) {
    if (h.width < 1 || h.height < 1) {
        error = damagedText();
        return false;
    }
    // OS/2 2.x reuses 3 and 4 for Huffman and 24-bit run-length coding.
    if (!isWindowsHeaderLength(h.headerBytes) && h.headerBytes != kCoreHeaderBytes &&
        (h.compression == kBitfields || h.compression == kJpeg)) {
        error = unsupportedText();
        return false;
    }
    bool fits = false;
    switch (h.compression) {
    case kRgb:
        if (h.bits == 64) {
            error = unsupportedText(); // linear 16-bit channels
            return false;
        }
        fits = h.bits == 1 || h.bits == 2 || h.bits == 4 || h.bits == 8 || h.bits == 16 ||
               h.bits == 24 || h.bits == 32;
        break;
    case kRle8:
        fits = h.bits == 8;
        break;
    case kRle4:
        fits = h.bits == 4;
        break;
    case kBitfields:
    case kAlphaBitfields:
        fits = h.bits == 16 || h.bits == 32;
        break;
    case kJpeg:
    case kPng:
        error = unsupportedText();
        return false;
    default:
        error = h.compression >= kCmyk && h.compression <= kCmykRle4 ? unsupportedText()
                                                                     : damagedText();
        return false;
    }
    if (!fits) {
        error = damagedText();
    }
    return fits;
}

// Reads the header up to the pixel data: masks, palette size and where everything is.
bool readHeader(Bytes data, Header& h, QString& error) {
    error = damagedText();
    Cursor in(data);
    if (in.u8() != 'B' || in.u8() != 'M') {
        return false;
    }
    in.skip(8); // file size and reserved words, often wrong
    const std::uint32_t offBits = in.u32le();
    h.headerBytes = in.u32le();
    if (!in.ok() || !readInfoHeader(in, h) || !checkFormat(h, error)) {
        return false;
    }
    const std::size_t headerEnd = kFileHeaderBytes + h.headerBytes;
    std::size_t afterHeader = headerEnd;
    const bool bitfields = h.compression == kBitfields || h.compression == kAlphaBitfields;
    if (bitfields && h.headerBytes < 52) {
        // The masks follow a short header.
        const int count = h.compression == kAlphaBitfields ? 4 : 3;
        for (int i = 0; i < count; ++i) {
            h.masks[std::size_t(i)] = in.u32le();
        }
        afterHeader += 4 * std::size_t(count);
    } else if (!bitfields) {
        h.masks = h.bits == 16 ? std::array<std::uint32_t, 4>{0x7c00, 0x03e0, 0x001f, 0}
                               : std::array<std::uint32_t, 4>{0xff0000, 0xff00, 0xff, 0};
    }
    if (h.bits <= 8) {
        const std::uint32_t most = 1u << h.bits;
        h.paletteEntries = int(h.colorsUsed == 0 ? most : std::min(h.colorsUsed, most));
        // Some writers leave fewer entries than the depth promises; the pixel offset tells.
        if (offBits >= afterHeader) {
            const std::size_t room = (offBits - afterHeader) / std::size_t(h.paletteEntryBytes);
            h.paletteEntries = int(std::min<std::size_t>(std::size_t(h.paletteEntries), room));
        }
    }
    h.paletteOffset = afterHeader;
    const std::size_t paletteEnd =
        afterHeader + std::size_t(h.paletteEntries) * std::size_t(h.paletteEntryBytes);
    h.pixelOffset = offBits >= headerEnd ? offBits : paletteEnd;
    if (!in.ok() || paletteEnd > data.size() || h.pixelOffset > data.size()) {
        error = damagedText();
        return false;
    }
    error.clear();
    return true;
}

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits.
class Channel {
public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0),
          bits_(mask ? std::bit_width(mask >> shift_) : 0) {}

    std::uint8_t operator()(std::uint32_t pixel) const {
        const std::uint32_t v = (pixel & mask_) >> shift_;
        if (bits_ >= 8) {
            return std::uint8_t(v >> (bits_ - 8));
        }
        const std::uint32_t most = (1u << bits_) - 1;
        return most ? std::uint8_t((v * 255 + most / 2) / most) : 0;
    }
    bool present() const { return mask_ != 0; }

private:
    std::uint32_t mask_;
    int shift_;
    int bits_;
};

std::uint32_t pixelAt(const std::uint8_t* src, int bits, std::int64_t x) {
    return bits == 16 ? le16(src + 2 * x) : le32(src + 4 * x);
}

std::int64_t fileRowBytes(std::int64_t width, int bits) {
    return (width * bits + 31) / 32 * 4;
}

// An alpha channel that is zero everywhere comes from writers that do not fill it: opaque.
bool alphaCarriesInformation(const Header& h, const std::uint8_t* pixels, std::int64_t stride) {
    if (h.masks[3] == 0) {
        return false;
    }
    for (std::int64_t r = 0; r < h.height; ++r) {
        const std::uint8_t* src = pixels + r * stride;
        for (std::int64_t x = 0; x < h.width; ++x) {
            if (pixelAt(src, h.bits, x) & h.masks[3]) {
                return true;
            }
        }
    }
    return false;
}

void maskedRowToBgr(const Header& h, const std::uint8_t* src, bool useAlpha, std::uint8_t* row) {
    const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
    for (std::int64_t x = 0; x < h.width; ++x) {
        const std::uint32_t v = pixelAt(src, h.bits, x);
        std::uint8_t* out = row + 3 * x;
        out[0] = blue(v);
        out[1] = green(v);
        out[2] = red(v);
        if (useAlpha) {
            const unsigned a = alpha(v);
            out[0] = onWhite(out[0], a);
            out[1] = onWhite(out[1], a);
            out[2] = onWhite(out[2], a);
        }
    }
}

bool readUncompressed(const Header& h, Bytes data, dib& picture, ProgressReporter& progress,
                      QString& error) {
    const std::int64_t stride = fileRowBytes(h.width, h.bits);
    const std::uint8_t* pixels = data.data() + h.pixelOffset;
    const bool useAlpha = h.bits >= 16 && alphaCarriesInformation(h, pixels, stride);
    const std::size_t usedBytes = std::size_t((h.width * h.bits + 7) / 8);
    for (std::int64_t r = 0; r < h.height; ++r) {
        const std::uint8_t* src = pixels + r * stride;
        std::uint8_t* row = rowAt(picture, std::int32_t(h.topDown ? r : h.height - 1 - r));
        switch (h.bits) {
        case 2:
            for (std::int64_t x = 0; x < h.width; ++x) {
                putIndex(row, 4, std::int32_t(x), (src[x >> 2] >> (6 - 2 * (x & 3))) & 3u);
            }
            break;
        case 16:
        case 32:
            maskedRowToBgr(h, src, useAlpha, row);
            break;
        default: // 1, 4, 8 and 24 bits are stored as in the picture
            std::memcpy(row, src, usedBytes);
            break;
        }
        if (!progress.report(r + 1, h.height)) {
            error = stoppedText();
            return false;
        }
    }
    return true;
}

// Walks a BI_RLE8 or BI_RLE4 stream. Rows count in file order; pixels outside the picture
// are dropped, pixels never reached stay index 0.
class RleReader {
public:
    RleReader(const Header& h, Bytes stream, dib& picture)
        : h_(h), stream_(stream), picture_(picture), four_(h.compression == kRle4) {}

    bool read(ProgressReporter& progress, QString& error);

private:
    void put(unsigned value) {
        if (x_ < h_.width) {
            const std::int64_t y = h_.topDown ? row_ : h_.height - 1 - row_;
            putIndex(rowAt(picture_, std::int32_t(y)), h_.bits, std::int32_t(x_), value);
        }
        ++x_;
    }
    void encodedRun(unsigned count, std::uint8_t value);
    bool absoluteRun(unsigned count);
    // The data ended without end-of-bitmap: whole only when the last row is filled.
    bool complete() const { return row_ >= h_.height || (row_ == h_.height - 1 && x_ >= h_.width); }

    const Header& h_;
    Bytes stream_;
    dib& picture_;
    bool four_;
    std::size_t at_ = 0;
    std::int64_t x_ = 0;
    std::int64_t row_ = 0;
};

void RleReader::encodedRun(unsigned count, std::uint8_t value) {
    unsigned k = 0;
    for (; k < count && x_ < h_.width; ++k) {
        put(four_ ? ((k & 1) ? value & 0x0fu : unsigned(value) >> 4) : value);
    }
    x_ += count - k; // beyond the row: dropped
}

bool RleReader::absoluteRun(unsigned count) {
    const std::size_t bytes = four_ ? (count + 1) / 2 : count;
    if (bytes > stream_.size() - at_) {
        return false;
    }
    const std::uint8_t* p = stream_.data() + at_;
    for (unsigned k = 0; k < count; ++k) {
        put(four_ ? ((k & 1) ? p[k / 2] & 0x0fu : unsigned(p[k / 2]) >> 4) : p[k]);
    }
    // Absolute runs are padded to 16 bits; the pad may be missing at the very end.
    at_ = std::min(stream_.size(), at_ + bytes + (bytes & 1));
    return true;
}

bool RleReader::read(ProgressReporter& progress, QString& error) {
    error = damagedText();
    while (row_ < h_.height) {
        if (stream_.size() - at_ < 2) {
            return complete();
        }
        const std::uint8_t count = stream_[at_];
        const std::uint8_t value = stream_[at_ + 1];
        at_ += 2;
        if (count > 0) {
            encodedRun(count, value);
            continue;
        }
        switch (value) {
        case 0: // end of line
            x_ = 0;
            ++row_;
            if (!progress.report(row_, h_.height)) {
                error = stoppedText();
                return false;
            }
            break;
        case 1: // end of bitmap
            return true;
        case 2: { // delta: move right and up (in file order) without drawing
            if (stream_.size() - at_ < 2) {
                return false;
            }
            const std::uint8_t right = stream_[at_];
            row_ += stream_[at_ + 1];
            at_ += 2;
            x_ += right;
            if ((right > 0 && x_ > h_.width) || row_ > h_.height) {
                return false;
            }
            break;
        }
        default:
            if (!absoluteRun(value)) {
                return false;
            }
            break;
        }
    }
    return true;
}

// Refuses declared sizes the data present cannot account for, before anything is allocated.
bool plausibleSize(const Header& h, std::size_t available) {
    if (h.compression == kRle8 || h.compression == kRle4) {
        return h.width * h.height <=
               kRleBlankAllowance + kRleMaxPixelsPerByte * std::int64_t(available);
    }
    const std::int64_t stride = fileRowBytes(h.width, h.bits);
    if (h.height - 1 > std::int64_t(available) / stride) {
        return false;
    }
    // The last row's padding is often left out.
    return stride * (h.height - 1) + (h.width * h.bits + 7) / 8 <= std::int64_t(available);
}

void readPalette(const Header& h, Bytes data, dib& picture) {
    const std::uint8_t* p = data.data() + h.paletteOffset;
    for (int i = 0; i < h.paletteEntries; ++i, p += h.paletteEntryBytes) {
        setColor(picture, i, p[2], p[1], p[0]);
    }
}

// --- writing ---

// Length of the run of pixels from x that an encoded run can hold: equal values for RLE8,
// two alternating values for RLE4.
int runLength(const std::vector<std::uint8_t>& v, std::size_t x, bool four) {
    std::size_t n = 1;
    while (x + n < v.size() && n < 255 && v[x + n] == v[x + (four ? (n & 1) : 0)]) {
        ++n;
    }
    return int(n);
}

void putLiteral(const std::vector<std::uint8_t>& v, std::size_t start, std::size_t count, bool four,
                std::vector<std::uint8_t>& out) {
    if (count < 3) {
        // Absolute runs start at three pixels; shorter ones go as runs of one.
        for (std::size_t k = 0; k < count; ++k) {
            const std::uint8_t value = v[start + k];
            out.push_back(1);
            out.push_back(four ? std::uint8_t(value << 4) : value);
        }
        return;
    }
    out.push_back(0);
    out.push_back(std::uint8_t(count));
    std::size_t bytes = 0;
    for (std::size_t k = 0; k < count; k += four ? 2 : 1, ++bytes) {
        if (four) {
            const unsigned low = k + 1 < count ? v[start + k + 1] : 0u;
            out.push_back(std::uint8_t((v[start + k] << 4) | low));
        } else {
            out.push_back(v[start + k]);
        }
    }
    if (bytes & 1) {
        out.push_back(0);
    }
}

// One row of palette indexes as encoded runs and absolute runs, then end of line.
void encodeRleRow(const std::vector<std::uint8_t>& v, bool four, std::vector<std::uint8_t>& out) {
    // An absolute run costs two bytes and padding, so short repeats stay inside it.
    const int worthARun = four ? 4 : 3;
    std::size_t x = 0;
    while (x < v.size()) {
        const int run = runLength(v, x, four);
        if (run >= worthARun || x + std::size_t(run) == v.size()) {
            out.push_back(std::uint8_t(run));
            out.push_back(four ? std::uint8_t((v[x] << 4) | v[x + (run > 1 ? 1 : 0)]) : v[x]);
            x += std::size_t(run);
            continue;
        }
        const std::size_t start = x;
        while (x < v.size() && x - start < 255 && runLength(v, x, four) < worthARun) {
            ++x;
        }
        putLiteral(v, start, x - start, four, out);
    }
    out.push_back(0);
    out.push_back(0);
}

// Rows bottom-up, as the file keeps them. The headers give the size of the pixel data, so
// run-length coded rows are held until the last one is coded; only 4- and 8-bit pictures are
// coded, whose rows are small.
class BmpRows final : public RowEncoder {
public:
    BmpRows(const PictureHeader& header, QIODevice& out, std::uint32_t compression)
        : RowEncoder(true), header_(header), sink_(out), compression_(compression),
          stride_(rowBytes(header.width, header.bits)),
          offBits_(std::int64_t(kFileHeaderBytes) + kInfoHeaderBytes +
                   4 * std::int64_t(header.colorCount)) {}

    // Writes the headers of uncompressed rows at once; false when the picture cannot be held.
    bool start() {
        if (compression_ != kRgb) {
            values_.resize(std::size_t(header_.width));
            return true;
        }
        return writeHeaders(stride_ * header_.height);
    }

    bool row(const std::uint8_t* row) override {
        if (compression_ == kRgb) {
            // Picture rows are padded to 4 bytes, exactly as in the file.
            sink_.bytes(row, stride_);
            return sink_.ok();
        }
        for (std::int32_t x = 0; x < header_.width; ++x) {
            values_[std::size_t(x)] = std::uint8_t(getIndex(row, header_.bits, x));
        }
        encodeRleRow(values_, compression_ == kRle4, packed_);
        return true;
    }

    bool finish() override {
        if (compression_ == kRgb) {
            return sink_.ok();
        }
        packed_.push_back(0);
        packed_.push_back(1); // end of bitmap
        if (!writeHeaders(std::int64_t(packed_.size()))) {
            return false;
        }
        sink_.bytes(packed_.data(), std::int64_t(packed_.size()));
        return sink_.ok();
    }

private:
    // Both headers and the colour table, for `imageBytes` of pixel data.
    bool writeHeaders(std::int64_t imageBytes) {
        if (offBits_ + imageBytes > 0xffffffff) {
            return false; // beyond what the 32-bit size fields can say
        }
        const Resolution& resolution = header_.resolution;
        sink_.u8('B');
        sink_.u8('M');
        sink_.u32le(std::uint32_t(offBits_ + imageBytes));
        sink_.u32le(0);
        sink_.u32le(std::uint32_t(offBits_));
        sink_.u32le(kInfoHeaderBytes);
        sink_.u32le(std::uint32_t(header_.width));
        sink_.u32le(std::uint32_t(header_.height));
        sink_.u16le(1);
        sink_.u16le(std::uint16_t(header_.bits));
        sink_.u32le(compression_);
        sink_.u32le(std::uint32_t(imageBytes));
        sink_.u32le(std::uint32_t(resolution.known() ? resolution.x : kDefaultPixelsPerMetre));
        sink_.u32le(std::uint32_t(resolution.known() ? resolution.y : kDefaultPixelsPerMetre));
        sink_.u32le(header_.colorCount);
        sink_.u32le(0);
        for (std::uint32_t i = 0; i < header_.colorCount; ++i) {
            const RGBQUAD& c = header_.colors[i];
            const std::uint8_t quad[4] = {c.rgbBlue, c.rgbGreen, c.rgbRed, 0};
            sink_.bytes(quad, 4);
        }
        return sink_.ok();
    }

    PictureHeader header_;
    Sink sink_;
    std::uint32_t compression_;
    std::int64_t stride_;
    std::int64_t offBits_;
    std::vector<std::uint8_t> values_; // palette indexes of a run-length coded row
    std::vector<std::uint8_t> packed_; // the coded rows
};

} // namespace

Decoded decodeBmp(Bytes data, const Limits& limits, ProgressReporter& progress) {
    Decoded out;
    Header h;
    QString error;
    if (!readHeader(data, h, error)) {
        fail(out, error);
        return out;
    }
    if (!plausibleSize(h, data.size() - h.pixelOffset)) {
        fail(out, damagedText());
        return out;
    }
    if (!makePicture(out, h.width, h.height, h.bits <= 8 ? widenedDepth(h.bits) : 24, limits)) {
        return out;
    }
    readPalette(h, data, out.picture);
    bool ok = false;
    if (h.compression == kRle8 || h.compression == kRle4) {
        RleReader reader(h, data.subspan(h.pixelOffset), out.picture);
        ok = reader.read(progress, error);
    } else {
        ok = readUncompressed(h, data, out.picture, progress, error);
    }
    if (!ok) {
        fail(out, error);
    }
    return out;
}

std::unique_ptr<RowEncoder> startBmpRows(const PictureHeader& header, QIODevice& out,
                                         const EncodeOptions& options) {
    const std::uint32_t compression = options.rle && header.bits == 8   ? kRle8
                                      : options.rle && header.bits == 4 ? kRle4
                                                                        : kRgb;
    auto rows = std::make_unique<BmpRows>(header, out, compression);
    return rows->start() ? std::move(rows) : nullptr;
}

bool encodeBmp(const dib& picture, QIODevice& out, const EncodeOptions& options,
               ProgressReporter& progress) {
    return encodeRows(startBmpRows, picture, out, options, progress);
}

} // namespace grafikrw3::codec
