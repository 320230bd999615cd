// ZSoft PCX: a 128-byte header, then run-length coded scan lines of one or more planes, and
// for 256 colours the palette after the pixel data.
#include "Codec.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <vector>

namespace grafikrw3::codec {

namespace {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::uint8_t kManufacturer = 0x0a;
constexpr std::uint8_t kVersionWithoutPalette = 3;
constexpr std::uint8_t kVersionWritten = 5;
constexpr std::uint8_t kPaletteMarker = 0x0c;
constexpr std::size_t kTrailingPaletteBytes = 1 + 768;
constexpr std::size_t kHeaderPaletteOffset = 16;
constexpr std::int64_t kLargestSide = 65536;
// A run is at most 63 bytes long and costs two bytes.
constexpr std::int64_t kRleMaxExpansion = 32;
constexpr unsigned kLongestRun = 63;

// The standard EGA colours, for files whose header palette says nothing.
constexpr std::array<std::array<std::uint8_t, 3>, 16> kEgaPalette{{
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0xaa},
    {0x00, 0xaa, 0x00},
    {0x00, 0xaa, 0xaa},
    {0xaa, 0x00, 0x00},
    {0xaa, 0x00, 0xaa},
    {0xaa, 0x55, 0x00},
    {0xaa, 0xaa, 0xaa},
    {0x55, 0x55, 0x55},
    {0x55, 0x55, 0xff},
    {0x55, 0xff, 0x55},
    {0x55, 0xff, 0xff},
    {0xff, 0x55, 0x55},
    {0xff, 0x55, 0xff},
    {0xff, 0xff, 0x55},
    {0xff, 0xff, 0xff},
}};

enum class Layout {
    bilevel,  // 1 plane of 1 bit
    cga,      // 1 plane of 2 bits
    packed16, // 1 plane of 4 bits
    planar,   // 2 to 4 planes of 1 bit
    indexed,  // 1 plane of 8 bits
    rgb,      // 3 planes of 8 bits
    rgba,     // 4 planes of 8 bits
};

struct Header {
    std::uint8_t version = 0;
    bool rle = true;
    int bitsPerPlane = 0;
    int planes = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t bytesPerLine = 0;
    const std::uint8_t* headerPalette = nullptr; // 16 entries of red, green, blue
    Layout layout = Layout::bilevel;
};

bool chooseLayout(Header& h) {
    const int p = h.planes;
    const int b = h.bitsPerPlane;
    if (p == 1 && b == 1) {
        h.layout = Layout::bilevel;
    } else if (p == 1 && b == 2) {
        h.layout = Layout::cga;
    } else if (p == 1 && b == 4) {
        h.layout = Layout::packed16;
    } else if (p >= 2 && p <= 4 && b == 1) {
        h.layout = Layout::planar;
    } else if (p == 1 && b == 8) {
        h.layout = Layout::indexed;
    } else if (p == 3 && b == 8) {
        h.layout = Layout::rgb;
    } else if (p == 4 && b == 8) {
        h.layout = Layout::rgba;
    } else {
        return false;
    }
    return true;
}

bool readHeader(Bytes data, Header& h, QString& error) {
    error = damagedText();
    Cursor in(data);
    if (in.u8() != kManufacturer) {
        return false;
    }
    h.version = in.u8();
    const std::uint8_t encoding = in.u8();
    h.bitsPerPlane = in.u8();
    const std::int64_t xMin = in.u16le();
    const std::int64_t yMin = in.u16le();
    const std::int64_t xMax = in.u16le();
    const std::int64_t yMax = in.u16le();
    in.skip(4); // resolution
    h.headerPalette = in.take(48);
    in.skip(1); // reserved
    h.planes = in.u8();
    h.bytesPerLine = in.u16le();
    if (!in.ok() || data.size() < kHeaderBytes || h.version > 5 || h.version == 1 || encoding > 1 ||
        xMax < xMin || yMax < yMin) {
        return false;
    }
    h.rle = encoding == 1;
    h.width = xMax - xMin + 1;
    h.height = yMax - yMin + 1;
    if (!chooseLayout(h)) {
        error = unsupportedText();
        return false;
    }
    if (h.bytesPerLine < (h.width * h.bitsPerPlane + 7) / 8) {
        return false;
    }
    error.clear();
    return true;
}

int pictureBits(Layout layout) {
    switch (layout) {
    case Layout::bilevel:
        return 1;
    case Layout::cga:
    case Layout::packed16:
    case Layout::planar:
        return 4;
    case Layout::indexed:
        return 8;
    default:
        return 24;
    }
}

// Many writers leave the header palette zero; equal entries mean it says nothing.
bool headerPaletteUsable(const Header& h, int entries) {
    if (h.version == kVersionWithoutPalette) {
        return false;
    }
    for (int i = 1; i < entries; ++i) {
        if (std::memcmp(h.headerPalette, h.headerPalette + 3 * i, 3) != 0) {
            return true;
        }
    }
    return false;
}

void setPalette(const Header& h, Bytes data, dib& picture) {
    const int entries = h.layout == Layout::bilevel  ? 2
                        : h.layout == Layout::cga    ? 4
                        : h.layout == Layout::planar ? 1 << h.planes
                                                     : 16;
    switch (h.layout) {
    case Layout::indexed:
        if (data.size() < kHeaderBytes + kTrailingPaletteBytes ||
            data[data.size() - kTrailingPaletteBytes] != kPaletteMarker) {
            setGreyRamp(picture);
            return;
        }
        for (int i = 0; i < 256; ++i) {
            const std::uint8_t* c = data.data() + data.size() - kTrailingPaletteBytes + 1 + 3 * i;
            setColor(picture, i, c[0], c[1], c[2]);
        }
        return;
    case Layout::rgb:
    case Layout::rgba:
        return;
    default:
        break;
    }
    if (headerPaletteUsable(h, entries)) {
        for (int i = 0; i < entries; ++i) {
            const std::uint8_t* c = h.headerPalette + 3 * i;
            setColor(picture, i, c[0], c[1], c[2]);
        }
    } else if (h.layout == Layout::bilevel) {
        setColor(picture, 0, 0, 0, 0);
        setColor(picture, 1, 255, 255, 255);
    } else {
        for (int i = 0; i < 16; ++i) {
            setColor(picture, i, kEgaPalette[i][0], kEgaPalette[i][1], kEgaPalette[i][2]);
        }
    }
}

// The decoded bytes of all scan lines in a row. Runs may run on into the next scan line,
// which broken writers do.
class LineReader {
public:
    LineReader(Bytes stream, bool rle) : stream_(stream), rle_(rle) {}

    bool read(std::uint8_t* out, std::size_t count) {
        std::size_t done = 0;
        while (done < count) {
            if (runLeft_ > 0) {
                const std::size_t k = std::min<std::size_t>(runLeft_, count - done);
                std::memset(out + done, runValue_, k);
                done += k;
                runLeft_ -= unsigned(k);
                continue;
            }
            if (at_ >= stream_.size()) {
                return false;
            }
            const std::uint8_t b = stream_[at_++];
            if (rle_ && b >= 0xc0) {
                if (at_ >= stream_.size()) {
                    return false;
                }
                runLeft_ = b & 0x3fu;
                runValue_ = stream_[at_++];
            } else {
                out[done++] = b;
            }
        }
        return true;
    }

private:
    Bytes stream_;
    bool rle_;
    std::size_t at_ = 0;
    unsigned runLeft_ = 0;
    std::uint8_t runValue_ = 0;
};

void planarToIndexes(const std::uint8_t* line, const Header& h, std::uint8_t* row) {
    for (std::int64_t x = 0; x < h.width; ++x) {
        unsigned v = 0;
        for (int p = 0; p < h.planes; ++p) {
            const std::uint8_t b = line[p * h.bytesPerLine + (x >> 3)];
            v |= ((b >> (7 - (x & 7))) & 1u) << p;
        }
        putIndex(row, 4, std::int32_t(x), v);
    }
}

void lineToRow(const std::uint8_t* line, const Header& h, bool useAlpha, std::uint8_t* row) {
    const std::int64_t w = h.width;
    switch (h.layout) {
    case Layout::bilevel:
        std::memcpy(row, line, std::size_t((w + 7) / 8));
        break;
    case Layout::packed16:
        std::memcpy(row, line, std::size_t((w + 1) / 2));
        break;
    case Layout::indexed:
        std::memcpy(row, line, std::size_t(w));
        break;
    case Layout::cga:
        for (std::int64_t x = 0; x < w; ++x) {
            putIndex(row, 4, std::int32_t(x), (line[x >> 2] >> (6 - 2 * (x & 3))) & 3u);
        }
        break;
    case Layout::planar:
        planarToIndexes(line, h, row);
        break;
    case Layout::rgb:
    case Layout::rgba: {
        const std::uint8_t* red = line;
        const std::uint8_t* green = line + h.bytesPerLine;
        const std::uint8_t* blue = line + 2 * h.bytesPerLine;
        const std::uint8_t* alpha = line + 3 * h.bytesPerLine;
        for (std::int64_t x = 0; x < w; ++x) {
            const unsigned a = useAlpha ? alpha[x] : 255u;
            row[3 * x] = onWhite(blue[x], a);
            row[3 * x + 1] = onWhite(green[x], a);
            row[3 * x + 2] = onWhite(red[x], a);
        }
        break;
    }
    }
}

// True when some pixel's alpha is not zero; writers that ignore alpha leave it zero.
bool alphaCarriesInformation(const Header& h, Bytes stream, std::vector<std::uint8_t>& line) {
    LineReader reader(stream, h.rle);
    for (std::int64_t y = 0; y < h.height; ++y) {
        if (!reader.read(line.data(), line.size())) {
            return false;
        }
        const std::uint8_t* alpha = line.data() + 3 * h.bytesPerLine;
        if (std::any_of(alpha, alpha + h.width, [](std::uint8_t a) { return a != 0; })) {
            return true;
        }
    }
    return false;
}

bool readRows(const Header& h, Bytes stream, dib& picture, ProgressReporter& progress,
              QString& error) {
    std::vector<std::uint8_t> line(std::size_t(h.bytesPerLine * h.planes));
    const bool useAlpha = h.layout == Layout::rgba && alphaCarriesInformation(h, stream, line);
    LineReader reader(stream, h.rle);
    for (std::int64_t y = 0; y < h.height; ++y) {
        if (!reader.read(line.data(), line.size())) {
            error = damagedText();
            return false;
        }
        lineToRow(line.data(), h, useAlpha, rowAt(picture, std::int32_t(y)));
        if (!progress.report(y + 1, h.height)) {
            error = stoppedText();
            return false;
        }
    }
    return true;
}

// --- writing ---

void putRuns(const std::uint8_t* p, std::size_t n, std::vector<std::uint8_t>& out) {
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t v = p[i];
        std::size_t run = 1;
        while (i + run < n && run < kLongestRun && p[i + run] == v) {
            ++run;
        }
        if (run > 1 || v >= 0xc0) {
            out.push_back(std::uint8_t(0xc0 | run));
        }
        out.push_back(v);
        i += run;
    }
}

// The scan lines of a picture row, plane after plane, each `bytesPerLine` long.
void rowToPlanes(const PictureHeader& header, const std::uint8_t* row, std::size_t bytesPerLine,
                 std::vector<std::uint8_t>& planes) {
    const int bits = header.bits;
    const std::int32_t width = header.width;
    std::fill(planes.begin(), planes.end(), 0);
    switch (bits) {
    case 1:
        std::memcpy(planes.data(), row, std::size_t((width + 7) / 8));
        if (width & 7) {
            planes[std::size_t(width / 8)] &= std::uint8_t(0xff00 >> (width & 7));
        }
        break;
    case 4:
        for (std::int32_t x = 0; x < width; ++x) {
            const unsigned v = getIndex(row, 4, x);
            for (std::size_t p = 0; p < 4; ++p) {
                if (v & (1u << p)) {
                    planes[p * bytesPerLine + std::size_t(x >> 3)] |= std::uint8_t(0x80 >> (x & 7));
                }
            }
        }
        break;
    case 8:
        std::memcpy(planes.data(), row, std::size_t(width));
        break;
    default:
        for (std::int32_t x = 0; x < width; ++x) {
            planes[std::size_t(x)] = row[3 * x + 2];
            planes[bytesPerLine + std::size_t(x)] = row[3 * x + 1];
            planes[2 * bytesPerLine + std::size_t(x)] = row[3 * x];
        }
        break;
    }
}

void writeHeader(Sink& sink, const PictureHeader& picture, int planes, int bitsPerPlane,
                 std::size_t bytesPerLine) {
    std::array<std::uint8_t, kHeaderBytes> header{};
    header[0] = kManufacturer;
    header[1] = kVersionWritten;
    header[2] = 1; // run-length coded
    header[3] = std::uint8_t(bitsPerPlane);
    auto put16 = [&header](std::size_t at, std::uint32_t v) {
        header[at] = std::uint8_t(v);
        header[at + 1] = std::uint8_t(v >> 8);
    };
    put16(8, std::uint32_t(picture.width - 1));
    put16(10, std::uint32_t(picture.height - 1));
    const Resolution& resolution = picture.resolution;
    auto dpi = [&resolution](std::int32_t pixelsPerMetre) {
        return std::uint32_t(resolution.known() ? std::min(dotsPerInch(pixelsPerMetre), 0xffff)
                                                : kDefaultDotsPerInch);
    };
    put16(12, dpi(resolution.x));
    put16(14, dpi(resolution.y));
    const int entries = picture.bits <= 4 ? int(picture.colorCount) : 0;
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD& c = picture.colors[i];
        std::uint8_t* e = &header[kHeaderPaletteOffset + 3 * std::size_t(i)];
        e[0] = c.rgbRed;
        e[1] = c.rgbGreen;
        e[2] = c.rgbBlue;
    }
    header[65] = std::uint8_t(planes);
    put16(66, std::uint32_t(bytesPerLine));
    put16(68, 1); // colour palette
    sink.bytes(header.data(), std::int64_t(header.size()));
}

} // namespace

Decoded decodePcx(Bytes data, const Limits& limits, ProgressReporter& progress) {
    Decoded out;
    Header h;
    QString error;
    if (!readHeader(data, h, error)) {
        fail(out, error);
        return out;
    }
    // The reader takes what the rows need; a trailing palette is simply not reached.
    const Bytes stream = data.subspan(kHeaderBytes);
    // Refuse sizes the data present cannot fill before anything is allocated.
    const std::int64_t needed = h.bytesPerLine * h.planes * h.height;
    const std::int64_t present = std::int64_t(stream.size());
    if (needed > (h.rle ? kRleMaxExpansion * present : present)) {
        fail(out, damagedText());
        return out;
    }
    if (!makePicture(out, h.width, h.height, pictureBits(h.layout), limits)) {
        return out;
    }
    setPalette(h, data, out.picture);
    if (!readRows(h, stream, out.picture, progress, error)) {
        fail(out, error);
    }
    return out;
}

namespace {

// Run-length coded rows from the top; 256-colour files end with their palette.
class PcxRows final : public RowEncoder {
public:
    PcxRows(const PictureHeader& header, QIODevice& out)
        : RowEncoder(false), header_(header), sink_(out), planes_(header.bits == 4    ? 4
                                                                  : header.bits == 24 ? 3
                                                                                      : 1) {
        const int bitsPerPlane = header.bits <= 4 ? 1 : 8;
        bytesPerLine_ = (std::size_t(header.width) * std::size_t(bitsPerPlane) + 7) / 8;
        bytesPerLine_ += bytesPerLine_ & 1; // even, as readers expect
    }

    bool start() {
        if (header_.width > kLargestSide || header_.height > kLargestSide) {
            return false;
        }
        writeHeader(sink_, header_, planes_, header_.bits <= 4 ? 1 : 8, bytesPerLine_);
        line_.resize(bytesPerLine_ * std::size_t(planes_));
        return sink_.ok();
    }

    bool row(const std::uint8_t* row) override {
        rowToPlanes(header_, row, bytesPerLine_, line_);
        packed_.clear();
        // Each plane's scan line is coded on its own: runs never cross them.
        for (int p = 0; p < planes_; ++p) {
            putRuns(line_.data() + std::size_t(p) * bytesPerLine_, bytesPerLine_, packed_);
        }
        sink_.bytes(packed_.data(), std::int64_t(packed_.size()));
        return sink_.ok();
    }

    bool finish() override {
        if (header_.bits == 8) {
            sink_.u8(kPaletteMarker);
            for (int i = 0; i < 256; ++i) {
                const RGBQUAD& c = header_.colors[i];
                const std::uint8_t rgb[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
                sink_.bytes(rgb, 3);
            }
        }
        return sink_.ok();
    }

private:
    PictureHeader header_;
    Sink sink_;
    int planes_;
    std::size_t bytesPerLine_ = 0;
    std::vector<std::uint8_t> line_;
    std::vector<std::uint8_t> packed_;
};

} // namespace

std::unique_ptr<RowEncoder> startPcxRows(const PictureHeader& header, QIODevice& out,
                                         const EncodeOptions&) {
    auto rows = std::make_unique<PcxRows>(header, out);
    return rows->start() ? std::move(rows) : nullptr;
}

bool encodePcx(const dib& picture, QIODevice& out, const EncodeOptions& options,
               ProgressReporter& progress) {
    return encodeRows(startPcxRows, picture, out, options, progress);
}

} // namespace grafikrw3::codec
