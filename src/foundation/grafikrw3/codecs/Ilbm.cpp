// Amiga IFF pictures: FORM ILBM (bit planes) and FORM PBM (Deluxe Paint, one byte per pixel).
// Read: 1 to 8 planes with their colour map, extra half-brite, HAM, 24 and 32 planes, with or
// without ByteRun1 compression and mask plane. Written: 1, 4, 8 or 24 planes in ByteRun1.
#include "Codec.h"

#include "../grafikrw3.h"

#include <QIODevice>

#include <algorithm>
#include <vector>

namespace grafikrw3::codec {

namespace {

constexpr std::uint32_t chunkId(const char (&name)[5]) {
    return (std::uint32_t(std::uint8_t(name[0])) << 24) |
           (std::uint32_t(std::uint8_t(name[1])) << 16) |
           (std::uint32_t(std::uint8_t(name[2])) << 8) | std::uint32_t(std::uint8_t(name[3]));
}

constexpr std::uint32_t kForm = chunkId("FORM");
constexpr std::uint32_t kIlbm = chunkId("ILBM");
constexpr std::uint32_t kPbm = chunkId("PBM ");
constexpr std::uint32_t kBmhd = chunkId("BMHD");
constexpr std::uint32_t kCmap = chunkId("CMAP");
constexpr std::uint32_t kCamg = chunkId("CAMG");
constexpr std::uint32_t kBody = chunkId("BODY");

constexpr std::size_t kHeaderBytes = 20;
constexpr int kMaskHasPlane = 1;
constexpr int kCompressionNone = 0;
constexpr int kCompressionByteRun1 = 1;
constexpr std::uint32_t kCamgHam = 0x800;
constexpr std::uint32_t kCamgHalfBrite = 0x80;
// ByteRun1 turns two bytes into at most 128.
constexpr std::int64_t kByteRun1MaxExpansion = 64;

struct Header {
    int width = 0;
    int height = 0;
    int planes = 0;
    int masking = 0;
    int compression = 0;
};

struct IlbmFile {
    bool chunky = false; // PBM
    bool hasHeader = false;
    Header header;
    std::vector<std::uint8_t> colourMap; // red, green, blue triples as stored
    std::uint32_t mode = 0;              // CAMG
    Bytes body;
};

enum class Layout { Palette, HalfBrite, Ham, TrueColour };

Layout layoutOf(const IlbmFile& file) {
    const int planes = file.header.planes;
    if (planes == 24 || planes == 32) {
        return Layout::TrueColour;
    }
    if (!file.chunky && (file.mode & kCamgHam) && planes >= 3 && planes <= 8) {
        return Layout::Ham;
    }
    if (!file.chunky && (file.mode & kCamgHalfBrite) && planes == 6) {
        return Layout::HalfBrite;
    }
    return Layout::Palette;
}

Header readHeader(Bytes chunk) {
    Cursor in(chunk);
    Header h;
    h.width = in.u16be();
    h.height = in.u16be();
    in.skip(4); // position on the page
    h.planes = in.u8();
    h.masking = in.u8();
    h.compression = in.u8();
    return h;
}

// Walks the chunks up to BODY. A chunk cut off by the end of the file is damage, except BODY,
// whose decoding finds out whether its pixels are all there.
bool readChunks(Bytes data, IlbmFile& file, QString& error) {
    Cursor in(data);
    const std::uint32_t form = in.u32be();
    in.u32be(); // FORM length: often wrong, the chunks themselves are checked instead
    const std::uint32_t type = in.u32be();
    if (!in.ok() || form != kForm || (type != kIlbm && type != kPbm)) {
        error = (in.ok() && form == kForm) ? unsupportedText() : damagedText();
        return false;
    }
    file.chunky = type == kPbm;
    while (in.remaining() >= 8) {
        const std::uint32_t id = in.u32be();
        std::size_t length = in.u32be();
        if (length > in.remaining()) {
            if (id != kBody) {
                error = damagedText();
                return false;
            }
            length = in.remaining();
        }
        const Bytes chunk(in.take(length), length);
        if (id == kBody) {
            if (!file.hasHeader) {
                error = damagedText();
                return false;
            }
            file.body = chunk;
            return true;
        }
        if (id == kBmhd) {
            if (length < kHeaderBytes) {
                error = damagedText();
                return false;
            }
            file.header = readHeader(chunk);
            file.hasHeader = true;
        } else if (id == kCmap) {
            // Entries beyond 256 can never be shown.
            const std::size_t entries = std::min<std::size_t>(length / 3, 256);
            file.colourMap.assign(chunk.begin(), chunk.begin() + std::ptrdiff_t(entries * 3));
        } else if (id == kCamg && length >= 4) {
            file.mode = Cursor(chunk).u32be();
        }
        if ((length & 1) && in.remaining() > 0) {
            in.skip(1);
        }
    }
    error = damagedText();
    return false;
}

// --- reading the BODY ---

// The BODY as a stream of unpacked bytes. ByteRun1 runs may cross plane and row ends, which
// some writers do.
class BodyReader {
public:
    BodyReader(Bytes body, bool packed) : in_(body), packed_(packed) {}

    bool read(std::uint8_t* out, std::size_t count) {
        if (!packed_) {
            const std::uint8_t* p = in_.take(count);
            if (p) {
                std::memcpy(out, p, count);
            }
            return p != nullptr;
        }
        while (count > 0) {
            if (repeat_ > 0 || literal_ > 0) {
                const std::size_t n =
                    std::min(count, std::size_t(repeat_ > 0 ? repeat_ : literal_));
                if (repeat_ > 0) {
                    std::memset(out, value_, n);
                    repeat_ -= int(n);
                } else {
                    const std::uint8_t* p = in_.take(n);
                    if (!p) {
                        return false;
                    }
                    std::memcpy(out, p, n);
                    literal_ -= int(n);
                }
                out += n;
                count -= n;
                continue;
            }
            const auto control = std::int8_t(in_.u8());
            if (control >= 0) {
                literal_ = control + 1;
            } else if (control != -128) {
                value_ = in_.u8();
                repeat_ = 1 - control;
            }
            if (!in_.ok()) {
                return false;
            }
        }
        return true;
    }

private:
    Cursor in_;
    bool packed_;
    int repeat_ = 0;
    int literal_ = 0;
    std::uint8_t value_ = 0;
};

std::int64_t planeRowBytes(std::int64_t width) {
    return (width + 15) / 16 * 2;
}

// Bytes of one stored row, all planes and the mask plane together.
std::int64_t storedRowBytes(const IlbmFile& file) {
    const Header& h = file.header;
    if (file.chunky) {
        return h.width + (h.width & 1);
    }
    const int planes = h.planes + (h.masking == kMaskHasPlane ? 1 : 0);
    return planes * planeRowBytes(h.width);
}

// Gathers `count` (at most 8) consecutive planes, starting at `planes`, into one value per pixel.
void gatherPlanes(const std::uint8_t* planes, int count, std::int64_t planeBytes,
                  std::int32_t width, std::uint8_t* values) {
    std::memset(values, 0, std::size_t(width));
    for (int p = 0; p < count; ++p) {
        const std::uint8_t* plane = planes + p * planeBytes;
        for (std::int32_t x = 0; x < width; ++x) {
            values[x] |= std::uint8_t(((plane[x >> 3] >> (7 - (x & 7))) & 1) << p);
        }
    }
}

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;
};

// Colour `index` of the file: from CMAP (black beyond its end), or without CMAP a grey ramp
// over 2^bits entries.
Colour fileColour(const IlbmFile& file, int index, int bits) {
    if (!file.colourMap.empty()) {
        if (std::size_t(index) * 3 + 2 >= file.colourMap.size()) {
            return {};
        }
        const std::uint8_t* c = file.colourMap.data() + std::size_t(index) * 3;
        return {c[0], c[1], c[2]};
    }
    const int entries = 1 << bits;
    if (index >= entries) {
        return {};
    }
    const auto grey = std::uint8_t(entries > 1 ? index * 255 / (entries - 1) : 0);
    return {grey, grey, grey};
}

void setPalette(dib& picture, const IlbmFile& file, Layout layout) {
    const int planes = file.header.planes;
    if (layout == Layout::HalfBrite) {
        // The upper 32 colours are the lower 32 at half brightness.
        for (int i = 0; i < 32; ++i) {
            const Colour c = fileColour(file, i, 5);
            setColor(picture, i, c.red, c.green, c.blue);
            setColor(picture, i + 32, c.red >> 1, c.green >> 1, c.blue >> 1);
        }
        return;
    }
    const int entries = int(DIBColorTableSize(picture));
    for (int i = 0; i < entries; ++i) {
        const Colour c = fileColour(file, i, std::min(planes, 8));
        setColor(picture, i, c.red, c.green, c.blue);
    }
}

// Hold-and-modify: the two top planes say whether a pixel takes a base colour or replaces
// the upper bits of one channel of its left neighbour; the lower bits stay, as on the
// machines that show these pictures. Every row starts from base colour 0.
void decodeHamRow(const std::uint8_t* values, std::int32_t width, int planes,
                  const std::vector<Colour>& base, std::uint8_t* bgr) {
    const int dataBits = planes - 2;
    const unsigned dataMask = (1u << dataBits) - 1;
    const unsigned keptMask = (1u << (8 - dataBits)) - 1;
    auto modify = [&](std::uint8_t& channel, unsigned data) {
        channel = std::uint8_t((data << (8 - dataBits)) | (channel & keptMask));
    };
    Colour c = base[0];
    for (std::int32_t x = 0; x < width; ++x) {
        const unsigned data = values[x] & dataMask;
        switch (values[x] >> dataBits) {
        case 0:
            c = base[data];
            break;
        case 1:
            modify(c.blue, data);
            break;
        case 2:
            modify(c.red, data);
            break;
        default:
            modify(c.green, data);
            break;
        }
        bgr[3 * x] = c.blue;
        bgr[3 * x + 1] = c.green;
        bgr[3 * x + 2] = c.red;
    }
}

// Red, green, blue (and alpha) planes of 8 bits each, least significant plane first.
void decodeTrueColourRow(const std::uint8_t* stored, std::int32_t width, int planes,
                         std::int64_t planeBytes, std::vector<std::uint8_t>& channels,
                         std::uint8_t* bgr) {
    const int channelCount = planes / 8;
    const std::size_t w = std::size_t(width);
    for (int ch = 0; ch < channelCount; ++ch) {
        gatherPlanes(stored + ch * 8 * planeBytes, 8, planeBytes, width, channels.data() + ch * w);
    }
    for (std::size_t x = 0; x < w; ++x) {
        unsigned r = channels[x], g = channels[w + x], b = channels[2 * w + x];
        if (channelCount == 4) {
            const unsigned alpha = channels[3 * w + x];
            r = onWhite(r, alpha);
            g = onWhite(g, alpha);
            b = onWhite(b, alpha);
        }
        bgr[3 * x] = std::uint8_t(b);
        bgr[3 * x + 1] = std::uint8_t(g);
        bgr[3 * x + 2] = std::uint8_t(r);
    }
}

bool decodeRows(const IlbmFile& file, Layout layout, dib& picture, ProgressReporter& progress,
                QString& error) {
    const Header& h = file.header;
    const std::int64_t planeBytes = planeRowBytes(h.width);
    const int bits = DIBBitCount(picture);
    std::vector<std::uint8_t> stored(std::size_t(storedRowBytes(file)));
    std::vector<std::uint8_t> values(std::size_t(h.width) * (layout == Layout::TrueColour ? 4 : 1));
    std::vector<Colour> base;
    if (layout == Layout::Ham) {
        for (int i = 0; i < 1 << (h.planes - 2); ++i) {
            base.push_back(fileColour(file, i, h.planes - 2));
        }
    }
    BodyReader body(file.body, h.compression == kCompressionByteRun1);
    for (std::int32_t y = 0; y < h.height; ++y) {
        if (!body.read(stored.data(), stored.size())) {
            error = damagedText();
            return false;
        }
        std::uint8_t* row = rowAt(picture, y);
        if (layout == Layout::TrueColour) {
            decodeTrueColourRow(stored.data(), h.width, h.planes, planeBytes, values, row);
        } else {
            if (file.chunky) {
                std::memcpy(values.data(), stored.data(), std::size_t(h.width));
            } else {
                gatherPlanes(stored.data(), h.planes, planeBytes, h.width, values.data());
            }
            if (layout == Layout::Ham) {
                decodeHamRow(values.data(), h.width, h.planes, base, row);
            } else {
                for (std::int32_t x = 0; x < h.width; ++x) {
                    putIndex(row, bits, x, values[std::size_t(x)]);
                }
            }
        }
        if (!progress.report(y + 1, h.height)) {
            error = stoppedText();
            return false;
        }
    }
    return true;
}

// The header's values this reader handles; the error says why not.
bool checkHeader(const IlbmFile& file, QString& error) {
    const Header& h = file.header;
    if (h.width < 1 || h.height < 1) {
        error = damagedText();
        return false;
    }
    const bool paletteDepth = h.planes >= 1 && h.planes <= 8;
    const bool trueColour = !file.chunky && (h.planes == 24 || h.planes == 32);
    if ((!paletteDepth && !trueColour) ||
        (h.compression != kCompressionNone && h.compression != kCompressionByteRun1)) {
        error = h.planes == 0 ? damagedText() : unsupportedText();
        return false;
    }
    // Refuse sizes the BODY cannot possibly fill before anything is allocated.
    const std::int64_t needed = std::int64_t(h.height) * storedRowBytes(file);
    const std::int64_t present =
        std::int64_t(file.body.size()) *
        (h.compression == kCompressionByteRun1 ? kByteRun1MaxExpansion : 1);
    if (needed > present) {
        error = damagedText();
        return false;
    }
    return true;
}

int depthFor(const IlbmFile& file, Layout layout) {
    switch (layout) {
    case Layout::Palette:
        return widenedDepth(file.header.planes);
    case Layout::HalfBrite:
        return 8;
    default:
        return 24;
    }
}

// --- writing ---

// ByteRun1: runs of three or more equal bytes are repeated, the rest goes out as literals of up
// to 128 bytes. Each plane row is packed on its own.
void packByteRun1(const std::uint8_t* source, std::size_t n, std::vector<std::uint8_t>& out) {
    constexpr std::size_t kMaxRun = 128;
    auto runStarts = [&](std::size_t p) {
        return p + 2 < n && source[p] == source[p + 1] && source[p] == source[p + 2];
    };
    std::size_t pos = 0;
    while (pos < n) {
        if (runStarts(pos)) {
            std::size_t run = 3;
            while (pos + run < n && run < kMaxRun && source[pos + run] == source[pos]) {
                ++run;
            }
            out.push_back(std::uint8_t(257 - run));
            out.push_back(source[pos]);
            pos += run;
            continue;
        }
        const std::size_t start = pos;
        while (pos < n && pos - start < kMaxRun && !runStarts(pos)) {
            ++pos;
        }
        out.push_back(std::uint8_t(pos - start - 1));
        out.insert(out.end(), source + start, source + pos);
    }
}

// Spreads one value per pixel over `count` bit planes (padding bits zero).
void scatterPlanes(const std::uint8_t* values, int count, std::int64_t planeBytes,
                   std::int32_t width, std::uint8_t* planes) {
    std::memset(planes, 0, std::size_t(count * planeBytes));
    for (std::int32_t x = 0; x < width; ++x) {
        const auto bit = std::uint8_t(0x80u >> (x & 7));
        for (int p = 0; p < count; ++p) {
            if ((values[x] >> p) & 1) {
                planes[p * planeBytes + (x >> 3)] |= bit;
            }
        }
    }
}

// Row y of the picture as stored: 1, 4 or 8 index planes, or 8 planes each of red, green, blue.
void splitRow(const dib& picture, std::int32_t y, std::vector<std::uint8_t>& values,
              std::uint8_t* planes) {
    const int bits = DIBBitCount(picture);
    const std::int32_t width = DIBWidth(picture);
    const std::int64_t planeBytes = planeRowBytes(width);
    const std::uint8_t* row = rowAt(picture, y);
    if (bits <= 8) {
        for (std::int32_t x = 0; x < width; ++x) {
            values[std::size_t(x)] = std::uint8_t(getIndex(row, bits, x));
        }
        scatterPlanes(values.data(), bits, planeBytes, width, planes);
        return;
    }
    constexpr int kBgrOffsetOf[3] = {2, 1, 0}; // red, green, blue
    for (int ch = 0; ch < 3; ++ch) {
        for (std::int32_t x = 0; x < width; ++x) {
            values[std::size_t(x)] = row[3 * x + kBgrOffsetOf[ch]];
        }
        scatterPlanes(values.data(), 8, planeBytes, width, planes + ch * 8 * planeBytes);
    }
}

// Packs the BODY row by row and hands every packed row (a byte vector) to `deliver`. False when the
// user stopped.
template <typename Deliver>
bool packBody(const dib& picture, ProgressReporter* progress, Deliver deliver) {
    const std::int32_t width = DIBWidth(picture);
    const std::int32_t height = DIBHeight(picture);
    const std::int64_t planeBytes = planeRowBytes(width);
    const int planes = DIBBitCount(picture);
    std::vector<std::uint8_t> values(static_cast<std::size_t>(width));
    std::vector<std::uint8_t> stored(std::size_t(planes * planeBytes));
    std::vector<std::uint8_t> packed;
    for (std::int32_t y = 0; y < height; ++y) {
        splitRow(picture, y, values, stored.data());
        packed.clear();
        for (int p = 0; p < planes; ++p) {
            packByteRun1(stored.data() + p * planeBytes, std::size_t(planeBytes), packed);
        }
        deliver(packed);
        if (progress && !progress->report(y + 1, height)) {
            return false;
        }
    }
    return true;
}

void writeHeader(Sink& out, std::int32_t width, std::int32_t height, int planes) {
    out.u32be(kBmhd);
    out.u32be(kHeaderBytes);
    out.u16be(std::uint16_t(width));
    out.u16be(std::uint16_t(height));
    out.u32be(0); // position on the page
    out.u8(std::uint8_t(planes));
    out.u8(0); // no mask
    out.u8(kCompressionByteRun1);
    out.u8(0);    // pad
    out.u16be(0); // transparent colour
    out.u8(1);    // square pixels
    out.u8(1);
    out.u16be(std::uint16_t(width)); // page size
    out.u16be(std::uint16_t(height));
}

void writeColourMap(Sink& out, const dib& picture) {
    const int entries = int(DIBColorTableSize(picture));
    out.u32be(kCmap);
    out.u32be(std::uint32_t(entries * 3));
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD& c = picture.pmi->colors()[i];
        const std::uint8_t rgb[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
        out.bytes(rgb, 3);
    }
}

} // namespace

Decoded decodeIlbm(Bytes data, const Limits& limits, ProgressReporter& progress) {
    Decoded out;
    IlbmFile file;
    QString error;
    if (!readChunks(data, file, error) || !checkHeader(file, error)) {
        fail(out, error);
        return out;
    }
    const Layout layout = layoutOf(file);
    if (!makePicture(out, file.header.width, file.header.height, depthFor(file, layout), limits)) {
        return out;
    }
    if (layout == Layout::Palette || layout == Layout::HalfBrite) {
        setPalette(out.picture, file, layout);
    }
    if (!decodeRows(file, layout, out.picture, progress, error)) {
        fail(out, error);
    }
    return out;
}

bool encodeIlbm(const dib& picture, QIODevice& device, const EncodeOptions&,
                ProgressReporter& progress) {
    constexpr std::int32_t kMaxSide = 0xffff;
    const int bits = DIBBitCount(picture);
    const std::int32_t width = DIBWidth(picture);
    const std::int32_t height = DIBHeight(picture);
    if (!picture.poi || !isSupportedBitCount(bits) || width < 1 || height < 1 || width > kMaxSide ||
        height > kMaxSide) {
        return false;
    }
    // The lengths come first in the file, so the BODY is packed once to count it.
    std::int64_t bodyBytes = 0;
    packBody(picture, nullptr,
             [&](const std::vector<std::uint8_t>& p) { bodyBytes += std::int64_t(p.size()); });
    const std::int64_t mapBytes = bits <= 8 ? 8 + 3 * std::int64_t(DIBColorTableSize(picture)) : 0;
    const std::int64_t formBytes =
        4 + 8 + std::int64_t(kHeaderBytes) + mapBytes + 8 + bodyBytes + (bodyBytes & 1);
    if (formBytes > std::int64_t(0xffffffffu)) {
        return false;
    }
    Sink out(device);
    out.u32be(kForm);
    out.u32be(std::uint32_t(formBytes));
    out.u32be(kIlbm);
    writeHeader(out, width, height, bits);
    if (bits <= 8) {
        writeColourMap(out, picture);
    }
    out.u32be(kBody);
    out.u32be(std::uint32_t(bodyBytes));
    if (!packBody(picture, &progress, [&](const std::vector<std::uint8_t>& p) {
            out.bytes(p.data(), std::int64_t(p.size()));
        })) {
        return false;
    }
    if (bodyBytes & 1) {
        out.u8(0);
    }
    return out.ok();
}

} // namespace grafikrw3::codec
