#include "Codec.h"

#include <QIODevice>

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <new>

#include <png.h>

// PNG through libpng. libpng reports fatal errors through a callback that must not return, so
// each run sits in a function that calls setjmp and holds nothing with a destructor; its
// buffers belong to the caller's Reader, which outlives the jump.
//
// A single transparent colour of a grey or RGB image (tRNS without palette) is ignored: the
// pixels keep their stored colour, and grey images stay grey-ramp pictures that can be edited
// as such. Transparent palette entries and alpha channels are put onto white.
namespace grafikrw3::codec {

namespace {

constexpr std::int64_t kMaxSide = 0x7fffffff / 8; // as makePicture
// Text and profile chunks are skipped; this only bounds what libpng may hold for the others.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_uint_32 kMaxAncillaryChunks = 128;

// libpng jumps back to the setjmp of the running function; without a longjmp of ours it
// would print to stderr first.
[[noreturn]] void errorFn(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void warningFn(png_structp, png_const_charp) {}

// --- reading ---

// How a row of the transformed PNG becomes a picture row.
enum class RowKind {
    copy,       // same layout: palette or grey 1/4/8 bits, blue-green-red
    widen2,     // 2-bit indexes into 4 bits
    greyAlpha,  // grey, alpha -> grey onto white
    colourAlpha // blue, green, red, alpha -> onto white
};

struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    Bytes data;
    std::size_t position = 0;
    Failure failure = Failure::damaged;
    std::unique_ptr<std::uint8_t[]> rows; // one row, or all rows of an interlaced image
};

void readFn(png_structp png, png_bytep target, std::size_t count) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (count > r->data.size() - r->position) {
        png_error(png, "unexpected end of file");
    }
    std::memcpy(target, r->data.data() + r->position, count);
    r->position += count;
}

void convertRow(RowKind kind, const std::uint8_t* source, std::size_t sourceBytes,
                std::uint8_t* target, std::int32_t width) {
    switch (kind) {
    case RowKind::copy:
        std::memcpy(target, source, sourceBytes);
        break;
    case RowKind::widen2:
        for (std::int32_t x = 0; x < width; ++x) {
            putIndex(target, 4, x, (source[x >> 2] >> (6 - 2 * (x & 3))) & 3u);
        }
        break;
    case RowKind::greyAlpha:
        for (std::int32_t x = 0; x < width; ++x) {
            target[x] = onWhite(source[2 * x], source[2 * x + 1]);
        }
        break;
    case RowKind::colourAlpha:
        for (std::int32_t x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                target[3 * x + c] = onWhite(source[4 * x + c], source[4 * x + 3]);
            }
        }
        break;
    }
}

// Picture depth and row conversion for the image type; libpng has checked the combination.
void layoutFor(int colourType, int bitDepth, int& bits, RowKind& kind) {
    kind = RowKind::copy;
    switch (colourType) {
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_GRAY:
        bits = widenedDepth(std::min(bitDepth, 8));
        if (bitDepth == 2) {
            kind = RowKind::widen2;
        }
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        bits = 8;
        kind = RowKind::greyAlpha;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        bits = 24;
        kind = RowKind::colourAlpha;
        break;
    default:
        bits = 24;
        break;
    }
}

void setPalette(Reader& r, dib& picture) {
    png_colorp colours = nullptr;
    int count = 0;
    if (!png_get_PLTE(r.png, r.info, &colours, &count)) {
        return; // libpng refuses palette images without PLTE
    }
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_color_16p unused = nullptr;
    if (!png_get_tRNS(r.png, r.info, &alpha, &alphaCount, &unused)) {
        alphaCount = 0;
    }
    count = std::min(count, int(DIBColorTableSize(picture)));
    for (int i = 0; i < count; ++i) {
        const unsigned a = i < alphaCount ? alpha[i] : 255u;
        setColor(picture, i, onWhite(colours[i].red, a), onWhite(colours[i].green, a),
                 onWhite(colours[i].blue, a));
    }
}

// Grey images: the levels the stored bits can hold, 2-bit levels in the first 4 entries.
void setGreyLevels(dib& picture, int bitDepth) {
    if (bitDepth != 2) {
        setGreyRamp(picture);
        return;
    }
    for (int i = 0; i < 4; ++i) {
        const auto grey = std::uint8_t(i * 85);
        setColor(picture, i, grey, grey, grey);
    }
}

void limitReader(png_structp png) {
    png_set_user_limits(png, png_uint_32(kMaxSide), png_uint_32(kMaxSide));
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxAncillaryChunks);
    // Only IHDR, PLTE, tRNS, IDAT and IEND are processed; the rest is skipped unread.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
}

// Reads the rows (all passes of an interlaced image into a whole-image buffer first).
Failure readRows(Reader& r, RowKind kind, int passes, ProgressReporter& progress, dib& picture) {
    const std::int32_t width = DIBWidth(picture);
    const std::int32_t height = DIBHeight(picture);
    const std::size_t rowBytes = png_get_rowbytes(r.png, r.info);
    if (kind == RowKind::copy && rowBytes > std::size_t(picture.bytew)) {
        return Failure::damaged; // the transformations did not give the picture's layout
    }
    const std::size_t bufferRows = passes > 1 ? std::size_t(height) : 1;
    r.rows.reset(new (std::nothrow) std::uint8_t[rowBytes * bufferRows]);
    if (!r.rows) {
        return Failure::tooLarge;
    }
    const std::int64_t steps = std::int64_t(passes) * height;
    for (int pass = 0; pass < passes; ++pass) {
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* row = r.rows.get() + (passes > 1 ? std::size_t(y) * rowBytes : 0);
            png_read_row(r.png, row, nullptr);
            if (passes == 1) {
                convertRow(kind, row, rowBytes, rowAt(picture, y), width);
            }
            if (!progress.report(std::int64_t(pass) * height + y + 1, steps)) {
                return Failure::stopped;
            }
        }
    }
    if (passes > 1) {
        for (std::int32_t y = 0; y < height; ++y) {
            convertRow(kind, r.rows.get() + std::size_t(y) * rowBytes, rowBytes, rowAt(picture, y),
                       width);
        }
    }
    return Failure::none;
}

// libpng may jump back here from any of its calls.
Failure readInto(Reader& r, const Limits& limits, ProgressReporter& progress, Decoded& out) {
    if (setjmp(png_jmpbuf(r.png))) {
        return r.failure;
    }
    png_set_read_fn(r.png, &r, readFn);
    limitReader(r.png);
    png_read_info(r.png, r.info);
    const png_uint_32 width = png_get_image_width(r.png, r.info);
    const png_uint_32 height = png_get_image_height(r.png, r.info);
    const int bitDepth = png_get_bit_depth(r.png, r.info);
    const int colourType = png_get_color_type(r.png, r.info);
    int bits = 0;
    RowKind kind = RowKind::copy;
    layoutFor(colourType, bitDepth, bits, kind);
    if (!makePicture(out, width, height, bits, limits)) {
        return Failure::reported;
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        setPalette(r, out.picture);
    } else if (bits <= 8) {
        setGreyLevels(out.picture, bitDepth);
    }
    // libpng's rows and ours take at most 8 bytes per pixel each; an interlaced image keeps
    // all of ours until the last pass.
    const bool interlaced = png_get_interlace_type(r.png, r.info) != PNG_INTERLACE_NONE;
    const std::int64_t heldRows = interlaced ? std::int64_t(height) : 1;
    if (std::int64_t(width) * 8 > limits.maxPictureBytes / heldRows) {
        return Failure::tooLarge;
    }
    if (bitDepth == 16) {
        png_set_scale_16(r.png);
    }
    if (colourType == PNG_COLOR_TYPE_RGB || colourType == PNG_COLOR_TYPE_RGB_ALPHA) {
        png_set_bgr(r.png);
    }
    const int passes = png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    const Failure failure = readRows(r, kind, passes, progress, out.picture);
    if (failure != Failure::none) {
        return failure;
    }
    // A file cut short after the last row still counts as damaged.
    png_read_end(r.png, nullptr);
    return Failure::none;
}

// --- writing ---

void writeFn(png_structp png, png_bytep data, std::size_t count) {
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (device->write(reinterpret_cast<const char*>(data), qint64(count)) != qint64(count)) {
        png_error(png, "write failed");
    }
}

void flushFn(png_structp) {}

// Rows from the top. libpng may jump back from any of its calls, so each call sits in a member
// function of its own with the setjmp and nothing with a destructor.
class PngRows final : public RowEncoder {
public:
    explicit PngRows(QIODevice& out) : RowEncoder(false), device_(&out) {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, errorFn, warningFn);
        info_ = png_ ? png_create_info_struct(png_) : nullptr;
    }
    ~PngRows() override {
        png_destroy_write_struct(png_ ? &png_ : nullptr, info_ ? &info_ : nullptr);
    }

    bool start(const PictureHeader& h) {
        if (!info_ || setjmp(png_jmpbuf(png_))) {
            return failed();
        }
        png_set_write_fn(png_, device_, writeFn, flushFn);
        png_set_user_limits(png_, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
        png_set_IHDR(png_, info_, png_uint_32(h.width), png_uint_32(h.height),
                     h.bits == 24 ? 8 : h.bits,
                     h.bits == 24 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (h.bits <= 8) {
            png_color table[256];
            const int entries = int(h.colorCount);
            for (int i = 0; i < entries; ++i) {
                const RGBQUAD& c = h.colors[i];
                table[i] = png_color{c.rgbRed, c.rgbGreen, c.rgbBlue};
            }
            png_set_PLTE(png_, info_, table, entries);
        }
        if (h.resolution.known()) {
            png_set_pHYs(png_, info_, png_uint_32(h.resolution.x), png_uint_32(h.resolution.y),
                         PNG_RESOLUTION_METER);
        }
        png_write_info(png_, info_);
        if (h.bits == 24) {
            png_set_bgr(png_);
        }
        return true;
    }

    bool row(const std::uint8_t* row) override {
        if (failed_ || setjmp(png_jmpbuf(png_))) {
            return failed();
        }
        png_write_row(png_, row);
        return true;
    }

    bool finish() override {
        if (failed_ || setjmp(png_jmpbuf(png_))) {
            return failed();
        }
        png_write_end(png_, info_);
        return true;
    }

private:
    bool failed() {
        failed_ = true;
        return false;
    }

    QIODevice* device_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    bool failed_ = false;
};

} // namespace

Decoded decodePng(Bytes data, const Limits& limits, ProgressReporter& progress) {
    Decoded out;
    Reader reader;
    reader.data = data;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, errorFn, warningFn);
    reader.info = reader.png ? png_create_info_struct(reader.png) : nullptr;
    Failure failure = Failure::tooLarge;
    if (reader.info) {
        failure = readInto(reader, limits, progress, out);
    }
    png_destroy_read_struct(reader.png ? &reader.png : nullptr,
                            reader.info ? &reader.info : nullptr, nullptr);
    if (failure != Failure::none && failure != Failure::reported) {
        fail(out, failureText(failure));
    }
    return out;
}

std::unique_ptr<RowEncoder> startPngRows(const PictureHeader& header, QIODevice& out,
                                         const EncodeOptions&) {
    auto rows = std::make_unique<PngRows>(out);
    return rows->start(header) ? std::move(rows) : nullptr;
}

bool encodePng(const dib& picture, QIODevice& out, const EncodeOptions& options,
               ProgressReporter& progress) {
    return encodeRows(startPngRows, picture, out, options, progress);
}

} // namespace grafikrw3::codec
