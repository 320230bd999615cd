// GIF through giflib. Read: the first image of a file, placed on its logical screen. Written:
// palette pictures with their colour table; true colour exactly when it has at most 256
// colours, otherwise reduced with a median-cut palette and Floyd-Steinberg dithering.
#include "../Quantize.h"
#include "Codec.h"

#include "../grafikrw3.h"

#include <QIODevice>

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace grafikrw3::codec {

namespace {

constexpr int kMaxSide = 0xffff;
constexpr int kGraphicsControl = GRAPHICS_EXT_FUNC_CODE;
// One LZW code of at least one bit yields at most 4096 pixels.
constexpr std::int64_t kMaxPixelsPerByte = 8 * 4096;

// --- reading ---

struct MemoryInput {
    Bytes data;
    std::size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    if (length <= 0) {
        return 0;
    }
    const std::size_t n = std::min(std::size_t(length), in->data.size() - in->position);
    std::memcpy(buffer, in->data.data() + in->position, n);
    in->position += n;
    return int(n);
}

struct CloseReader {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using ReadHandle = std::unique_ptr<GifFileType, CloseReader>;

// Skips the extensions before the first image and remembers its transparent colour.
// False at a damaged record or when the file has no image.
bool findFirstImage(GifFileType* gif, int& transparent) {
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            return false;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) {
            return true;
        }
        if (type != EXTENSION_RECORD_TYPE) {
            return false;
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
            return false;
        }
        // block[0] is the length; the graphic control block: flags, delay (2), colour index.
        if (code == kGraphicsControl && block && block[0] >= 4) {
            transparent = (block[1] & 1) ? block[4] : -1;
        }
        while (block) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                return false;
            }
        }
    }
}

bool fits(std::int64_t width, std::int64_t height, int bits, const Limits& limits) {
    const std::int64_t stride = rowBytes(width, bits);
    return stride > 0 && stride <= std::min(limits.maxPictureBytes, kMaxImageBytes) / height;
}

// Where the frame lands in the picture.
struct Placement {
    std::int32_t width = 0, height = 0; // picture
    std::int32_t left = 0, top = 0;     // frame offset
};

// The logical screen with the frame at its offset; the frame alone when the screen has no
// size or is too large to hold (some writers put nonsense there).
Placement placeFrame(const GifFileType* gif, int bits, const Limits& limits) {
    const GifImageDesc& frame = gif->Image;
    if (gif->SWidth > 0 && gif->SHeight > 0 && fits(gif->SWidth, gif->SHeight, bits, limits)) {
        return {gif->SWidth, gif->SHeight, frame.Left, frame.Top};
    }
    return {frame.Width, frame.Height, 0, 0};
}

int depthForEntries(int entries) {
    return entries <= 2 ? 1 : entries <= 16 ? 4 : 8;
}

// What every stored value becomes in the picture. Values beyond the colour map show black:
// an unused (black) table entry when there is one, else the darkest colour.
std::array<std::uint8_t, 256> valueMapping(const dib& picture, int entries) {
    std::array<std::uint8_t, 256> mapping{};
    const int tableSize = int(DIBColorTableSize(picture));
    int black = entries;
    if (entries >= tableSize) {
        black = 0;
        const RGBQUAD* colors = picture.pmi->colors();
        auto lightness = [&](int i) {
            return colors[i].rgbRed + colors[i].rgbGreen + colors[i].rgbBlue;
        };
        for (int i = 1; i < tableSize; ++i) {
            if (lightness(i) < lightness(black)) {
                black = i;
            }
        }
    }
    for (int v = 0; v < 256; ++v) {
        mapping[std::size_t(v)] = std::uint8_t(v < entries ? v : black);
    }
    return mapping;
}

void fillRow(std::uint8_t* row, int bits, std::int32_t width, std::uint8_t index) {
    const std::int64_t used = (std::int64_t(width) * bits + 7) / 8;
    const auto pattern = std::uint8_t(bits == 1   ? (index ? 0xff : 0)
                                      : bits == 4 ? (index << 4) | index
                                                  : index);
    std::memset(row, pattern, std::size_t(used));
}

struct FrameReader {
    GifFileType* gif;
    dib& picture;
    Placement place;
    std::array<std::uint8_t, 256> mapping;
};

// Reads the frame's rows (in interlaced order where it is interlaced) into the picture,
// dropping what lies outside. Rows in order stop at the bottom of the picture.
bool readFrame(const FrameReader& r, ProgressReporter& progress, QString& error) {
    const GifImageDesc& frame = r.gif->Image;
    const int bits = DIBBitCount(r.picture);
    std::vector<GifPixelType> line(std::size_t(frame.Width));
    static constexpr int kPassStart[4] = {0, 4, 2, 1};
    static constexpr int kPassStep[4] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    const std::int32_t rowsToRead =
        frame.Interlace ? frame.Height : std::clamp(r.place.height - r.place.top, 0, frame.Height);
    std::int32_t rowsRead = 0;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kPassStart[pass] : 0;
        const int step = frame.Interlace ? kPassStep[pass] : 1;
        for (std::int32_t fy = start; fy < rowsToRead; fy += step) {
            if (DGifGetLine(r.gif, line.data(), frame.Width) == GIF_ERROR) {
                error = damagedText();
                return false;
            }
            const std::int64_t y = std::int64_t(r.place.top) + fy;
            if (y >= 0 && y < r.place.height) {
                std::uint8_t* row = rowAt(r.picture, std::int32_t(y));
                const std::int32_t first = std::max(0, -r.place.left);
                const std::int32_t last = std::min(frame.Width, r.place.width - r.place.left);
                for (std::int32_t fx = first; fx < last; ++fx) {
                    putIndex(row, bits, r.place.left + fx, r.mapping[line[std::size_t(fx)]]);
                }
            }
            if (!progress.report(++rowsRead, rowsToRead)) {
                error = stoppedText();
                return false;
            }
        }
    }
    return true;
}

// The colour table: the frame's map, else the global one, else a grey ramp over the values
// the LZW code size allows. A transparent colour shows white.
void setColours(dib& picture, const ColorMapObject* map, int entries, int transparent) {
    if (map) {
        for (int i = 0; i < entries; ++i) {
            const GifColorType& c = map->Colors[i];
            setColor(picture, i, c.Red, c.Green, c.Blue);
        }
    } else {
        for (int i = 0; i < entries; ++i) {
            const auto grey = std::uint8_t(i * 255 / (entries - 1));
            setColor(picture, i, grey, grey, grey);
        }
    }
    if (transparent >= 0 && transparent < entries) {
        setColor(picture, transparent, 255, 255, 255);
    }
}

Decoded decodeFirstImage(GifFileType* gif, const MemoryInput& input, int transparent,
                         const Limits& limits, ProgressReporter& progress) {
    Decoded out;
    const GifImageDesc& frame = gif->Image;
    if (frame.Width < 1 || frame.Height < 1) {
        fail(out, damagedText());
        return out;
    }
    // Refuse a frame its compressed data cannot possibly fill before allocating anything.
    const std::int64_t present = std::int64_t(input.data.size() - input.position) + 1;
    if (std::int64_t(frame.Width) * frame.Height > present * kMaxPixelsPerByte) {
        fail(out, damagedText());
        return out;
    }
    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (map && (map->ColorCount < 1 || map->ColorCount > 256 || !map->Colors)) {
        fail(out, damagedText());
        return out;
    }
    // giflib has just read the LZW code size, the last byte it took.
    const int codeSize = input.position > 0 ? input.data[input.position - 1] : 8;
    const int entries = map ? map->ColorCount : 1 << std::clamp(codeSize, 1, 8);
    const int bits = depthForEntries(entries);
    const Placement place = placeFrame(gif, bits, limits);
    if (!makePicture(out, place.width, place.height, bits, limits)) {
        return out;
    }
    setColours(out.picture, map, entries, transparent);
    const std::array<std::uint8_t, 256> mapping = valueMapping(out.picture, entries);
    const std::uint8_t background = mapping[std::size_t(gif->SBackGroundColor & 0xff)];
    const bool frameCovers = place.left == 0 && place.top == 0 && frame.Width >= place.width &&
                             frame.Height >= place.height;
    if (background != 0 && !frameCovers) { // a new picture is all index 0
        for (std::int32_t y = 0; y < place.height; ++y) {
            fillRow(rowAt(out.picture, y), bits, place.width, background);
        }
    }
    QString error;
    if (!readFrame(FrameReader{gif, out.picture, place, mapping}, progress, error)) {
        fail(out, error);
    }
    return out;
}

// --- writing ---

int writeToSink(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* sink = static_cast<Sink*>(gif->UserData);
    sink->bytes(bytes, length);
    return sink->ok() ? length : 0;
}

struct FreeMap {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using MapHandle = std::unique_ptr<ColorMapObject, FreeMap>;

// A GIF colour map holds a power of two entries, at least two; the rest stays black.
MapHandle makeMap(const std::vector<Rgb>& colours) {
    int entries = 2;
    while (entries < int(colours.size())) {
        entries *= 2;
    }
    std::vector<GifColorType> table(std::size_t(entries), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i) {
        table[i] = GifColorType{colours[i].red, colours[i].green, colours[i].blue};
    }
    return MapHandle(GifMakeMapObject(entries, table.data()));
}

std::vector<Rgb> tableColours(const dib& picture) {
    std::vector<Rgb> colours;
    const int entries = int(DIBColorTableSize(picture));
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD& c = picture.pmi->colors()[i];
        colours.push_back(Rgb{c.rgbRed, c.rgbGreen, c.rgbBlue});
    }
    return colours;
}

std::uint32_t packed(const std::uint8_t* rgb) {
    return (std::uint32_t(rgb[0]) << 16) | (std::uint32_t(rgb[1]) << 8) | rgb[2];
}

// The colours of a true-colour picture, sorted, when there are at most 256 of them.
std::optional<std::vector<Rgb>> fewColours(const dib& picture) {
    const std::int32_t width = DIBWidth(picture);
    std::vector<std::uint8_t> rgb(std::size_t(width) * 3);
    std::unordered_set<std::uint32_t> seen;
    for (std::int32_t y = 0; y < DIBHeight(picture); ++y) {
        rowToRgb(picture, y, rgb.data());
        for (std::int32_t x = 0; x < width; ++x) {
            seen.insert(packed(&rgb[3 * std::size_t(x)]));
            if (seen.size() > 256) {
                return std::nullopt;
            }
        }
    }
    std::vector<std::uint32_t> sorted(seen.begin(), seen.end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<Rgb> colours;
    for (const std::uint32_t c : sorted) {
        colours.push_back(Rgb{std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
    }
    return colours;
}

// Turns picture rows into one palette index per pixel, whatever the depth.
class IndexSource {
public:
    virtual ~IndexSource() = default;
    virtual void row(std::int32_t y, GifPixelType* indexes) = 0;
};

class PaletteRows : public IndexSource {
public:
    explicit PaletteRows(const dib& picture) : picture_(picture) {}
    void row(std::int32_t y, GifPixelType* indexes) override {
        const int bits = DIBBitCount(picture_);
        const std::uint8_t* source = rowAt(picture_, y);
        for (std::int32_t x = 0; x < DIBWidth(picture_); ++x) {
            indexes[x] = GifPixelType(getIndex(source, bits, x));
        }
    }

private:
    const dib& picture_;
};

class ExactRows : public IndexSource {
public:
    ExactRows(const dib& picture, const std::vector<Rgb>& colours)
        : picture_(picture), rgb_(std::size_t(DIBWidth(picture)) * 3) {
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const std::uint8_t c[3] = {colours[i].red, colours[i].green, colours[i].blue};
            index_.emplace(packed(c), GifPixelType(i));
        }
    }
    void row(std::int32_t y, GifPixelType* indexes) override {
        rowToRgb(picture_, y, rgb_.data());
        for (std::int32_t x = 0; x < DIBWidth(picture_); ++x) {
            indexes[x] = index_.at(packed(&rgb_[3 * std::size_t(x)]));
        }
    }

private:
    const dib& picture_;
    std::vector<std::uint8_t> rgb_;
    std::unordered_map<std::uint32_t, GifPixelType> index_;
};

class DitheredRows : public IndexSource {
public:
    DitheredRows(const dib& picture, const std::vector<Rgb>& palette)
        : picture_(picture), rgb_(std::size_t(DIBWidth(picture)) * 3),
          ditherer_(palette, DIBWidth(picture)) {}
    // Rows must be asked for from the top, each once.
    void row(std::int32_t y, GifPixelType* indexes) override {
        rowToRgb(picture_, y, rgb_.data());
        ditherer_.ditherRow(rgb_.data(), indexes);
    }

private:
    const dib& picture_;
    std::vector<std::uint8_t> rgb_;
    RowDitherer ditherer_;
};

// A palette of 256 colours for the picture, from one pass over its rows.
std::vector<Rgb> reducedPalette(const dib& picture) {
    ColourHistogram histogram;
    std::vector<std::uint8_t> rgb(std::size_t(DIBWidth(picture)) * 3);
    for (std::int32_t y = 0; y < DIBHeight(picture); ++y) {
        rowToRgb(picture, y, rgb.data());
        histogram.add(rgb.data(), std::size_t(DIBWidth(picture)));
    }
    return medianCutPalette(histogram, 256);
}

struct WriteHandle {
    GifFileType* gif = nullptr;
    ~WriteHandle() { close(); }
    // False when the trailer could not be written.
    bool close() {
        int error = 0;
        const bool ok = !gif || EGifCloseFile(gif, &error) == GIF_OK;
        gif = nullptr;
        return ok;
    }
};

bool writeGif(const dib& picture, const ColorMapObject& map, IndexSource& source, Sink& sink,
              ProgressReporter& progress) {
    const std::int32_t width = DIBWidth(picture);
    const std::int32_t height = DIBHeight(picture);
    int error = 0;
    WriteHandle handle{EGifOpen(&sink, writeToSink, &error)};
    if (!handle.gif || EGifPutScreenDesc(handle.gif, width, height, 8, 0, &map) == GIF_ERROR ||
        EGifPutImageDesc(handle.gif, 0, 0, width, height, false, nullptr) == GIF_ERROR) {
        return false;
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (std::int32_t y = 0; y < height; ++y) {
        source.row(y, line.data());
        if (EGifPutLine(handle.gif, line.data(), width) == GIF_ERROR ||
            !progress.report(y + 1, height)) {
            return false;
        }
    }
    return handle.close() && sink.ok();
}

} // namespace

Decoded decodeGif(Bytes data, const Limits& limits, ProgressReporter& progress) {
    MemoryInput input{data};
    int error = 0;
    ReadHandle gif(DGifOpen(&input, readFromMemory, &error));
    int transparent = -1;
    if (!gif || !findFirstImage(gif.get(), transparent) ||
        DGifGetImageDesc(gif.get()) == GIF_ERROR) {
        Decoded out;
        const int code = gif ? gif->Error : error;
        fail(out, code == D_GIF_ERR_NOT_ENOUGH_MEM ? tooLargeText() : damagedText());
        return out;
    }
    return decodeFirstImage(gif.get(), input, transparent, limits, progress);
}

bool encodeGif(const dib& picture, QIODevice& device, const EncodeOptions&,
               ProgressReporter& progress) {
    const int bits = DIBBitCount(picture);
    const std::int32_t width = DIBWidth(picture);
    const std::int32_t height = DIBHeight(picture);
    if (!picture.poi || !isSupportedBitCount(bits) || width < 1 || height < 1 || width > kMaxSide ||
        height > kMaxSide) {
        return false;
    }
    Sink sink(device);
    if (bits <= 8) {
        const MapHandle map = makeMap(tableColours(picture));
        PaletteRows rows(picture);
        return map && writeGif(picture, *map, rows, sink, progress);
    }
    if (const std::optional<std::vector<Rgb>> colours = fewColours(picture)) {
        const MapHandle map = makeMap(*colours);
        ExactRows rows(picture, *colours);
        return map && writeGif(picture, *map, rows, sink, progress);
    }
    const std::vector<Rgb> palette = reducedPalette(picture);
    const MapHandle map = makeMap(palette);
    DitheredRows rows(picture, palette);
    return map && writeGif(picture, *map, rows, sink, progress);
}

} // namespace grafikrw3::codec
