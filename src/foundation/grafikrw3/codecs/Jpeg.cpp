#include "Codec.h"

#include <QIODevice>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

#include <jerror.h>

// JPEG through libjpeg(-turbo). The library reports fatal errors through a callback that must
// not return, so each run sits in a function that calls setjmp and holds nothing with a
// destructor; its buffers come from libjpeg's own pools, which jpeg_destroy releases on every
// path.
namespace grafikrw3::codec {

namespace {

// A hostile progressive file can hold thousands of tiny scans, each a full pass over the
// coefficients; real files have a dozen or so.
constexpr int kMaxScans = 500;

constexpr std::size_t kOutputBufferBytes = 16384;

struct ErrorState {
    jpeg_error_mgr manager; // libjpeg hands back a pointer to this member
    std::jmp_buf jump;
    Failure failure;
};

Failure failureFor(int messageCode) {
    switch (messageCode) {
    case JERR_BAD_PRECISION:
    case JERR_SOF_UNSUPPORTED:
    case JERR_NOT_COMPILED:
    case JERR_ARITH_NOTIMPL:
    case JERR_CONVERSION_NOTIMPL:
        return Failure::unsupported;
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
        return Failure::tooLarge;
    case JERR_FILE_WRITE:
        return Failure::writeFailed;
    default:
        return Failure::damaged;
    }
}

[[noreturn]] void abortWith(j_common_ptr info, Failure failure) {
    auto* state = reinterpret_cast<ErrorState*>(info->err);
    state->failure = failure;
    std::longjmp(state->jump, 1);
}

[[noreturn]] void errorExit(j_common_ptr info) {
    abortWith(info, failureFor(info->err->msg_code));
}

// Warnings stay silent, except those saying the data ran out: the rest of the picture would
// be filled with grey.
void emitMessage(j_common_ptr info, int level) {
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) {
        abortWith(info, Failure::damaged);
    }
}

void outputMessage(j_common_ptr) {}

void installErrorState(ErrorState& state) {
    jpeg_std_error(&state.manager);
    state.manager.error_exit = errorExit;
    state.manager.emit_message = emitMessage;
    state.manager.output_message = outputMessage;
    state.failure = Failure::none;
}

void limitScans(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        abortWith(info, Failure::damaged);
    }
}

// --- reading ---

struct Reader {
    jpeg_decompress_struct info;
    ErrorState error;
    jpeg_progress_mgr monitor;
};

inline std::uint8_t product(unsigned a, unsigned b) {
    return std::uint8_t((a * b + 127u) / 255u);
}

// CMYK samples to a picture row (blue, green, red). Adobe applications store the samples
// inverted and mark the file with their APP14 segment.
void cmykToBgr(const JSAMPLE* cmyk, std::uint8_t* bgr, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x) {
        unsigned c = cmyk[4 * x], m = cmyk[4 * x + 1], y = cmyk[4 * x + 2], k = cmyk[4 * x + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[3 * x] = product(y, k);
        bgr[3 * x + 1] = product(m, k);
        bgr[3 * x + 2] = product(c, k);
    }
}

// Colour space of the decoded rows and depth of the picture, or false for spaces not read.
bool chooseOutput(j_decompress_ptr info, int& bits) {
    switch (info->jpeg_color_space) {
    case JCS_GRAYSCALE:
        info->out_color_space = JCS_GRAYSCALE;
        bits = 8;
        return true;
    case JCS_YCbCr:
    case JCS_RGB:
        info->out_color_space = JCS_EXT_BGR; // the picture's own byte order
        bits = 24;
        return true;
    case JCS_CMYK:
    case JCS_YCCK:
        info->out_color_space = JCS_CMYK;
        bits = 24;
        return true;
    default:
        return false;
    }
}

// libjpeg may jump back here from any of its calls.
Failure readInto(Reader& r, Bytes data, const Limits& limits, ProgressReporter& progress,
                 Decoded& out) {
    if (setjmp(r.error.jump)) {
        return r.error.failure;
    }
    jpeg_create_decompress(&r.info);
    r.info.progress = &r.monitor;
    jpeg_mem_src(&r.info, data.data(), static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&r.info, TRUE) != JPEG_HEADER_OK) {
        return Failure::damaged;
    }
    int bits = 0;
    if (!chooseOutput(&r.info, bits)) {
        return Failure::unsupported;
    }
    if (!makePicture(out, r.info.image_width, r.info.image_height, bits, limits)) {
        return Failure::reported;
    }
    // Multi-scan files keep all coefficients (2 bytes per sample) until the last scan; without
    // backing store libjpeg refuses to go beyond this.
    r.info.mem->max_memory_to_use =
        long(std::min<std::int64_t>(limits.maxPictureBytes, 0x3fffffff) * 3 + (16 << 20));
    if (r.info.jpeg_color_space == JCS_GRAYSCALE) {
        setGreyRamp(out.picture);
    }
    jpeg_start_decompress(&r.info);
    const JDIMENSION width = r.info.output_width;
    const JDIMENSION height = r.info.output_height;
    if (std::int64_t(width) != DIBWidth(out.picture) ||
        std::int64_t(height) != DIBHeight(out.picture)) {
        return Failure::damaged;
    }
    const bool cmyk = r.info.out_color_space == JCS_CMYK;
    JSAMPARRAY scratch = cmyk ? (*r.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&r.info),
                                                            JPOOL_IMAGE, width * 4, 1)
                              : nullptr;
    while (r.info.output_scanline < height) {
        const auto y = std::int32_t(r.info.output_scanline);
        JSAMPROW row = cmyk ? scratch[0] : rowAt(out.picture, y);
        if (jpeg_read_scanlines(&r.info, &row, 1) != 1) {
            return Failure::damaged;
        }
        if (cmyk) {
            cmykToBgr(scratch[0], rowAt(out.picture, y), width, r.info.saw_Adobe_marker);
        }
        if (!progress.report(y + 1, height)) {
            return Failure::stopped;
        }
    }
    jpeg_finish_decompress(&r.info);
    return Failure::none;
}

// --- writing ---

struct Destination {
    jpeg_destination_mgr manager; // libjpeg hands back a pointer to this member
    QIODevice* device;
    JOCTET buffer[kOutputBufferBytes];
};

Destination& destinationOf(j_compress_ptr info) {
    return *reinterpret_cast<Destination*>(info->dest);
}

void initDestination(j_compress_ptr info) {
    Destination& d = destinationOf(info);
    d.manager.next_output_byte = d.buffer;
    d.manager.free_in_buffer = kOutputBufferBytes;
}

void writeOrAbort(j_compress_ptr info, std::size_t count) {
    Destination& d = destinationOf(info);
    const auto written = d.device->write(reinterpret_cast<const char*>(d.buffer), qint64(count));
    if (written != qint64(count)) {
        abortWith(reinterpret_cast<j_common_ptr>(info), Failure::writeFailed);
    }
}

boolean emptyOutputBuffer(j_compress_ptr info) {
    // libjpeg wants the whole buffer written, whatever free_in_buffer says.
    writeOrAbort(info, kOutputBufferBytes);
    initDestination(info);
    return TRUE;
}

void termDestination(j_compress_ptr info) {
    writeOrAbort(info, kOutputBufferBytes - destinationOf(info).manager.free_in_buffer);
}

struct Writer {
    jpeg_compress_struct info;
    ErrorState error;
    Destination destination;
};

// One row of samples: grey levels for grey-ramp pictures, red, green, blue otherwise.
void fillRow(const dib& picture, std::int32_t y, bool grey, JSAMPLE* samples) {
    if (!grey) {
        rowToRgb(picture, y, samples);
        return;
    }
    const int bits = DIBBitCount(picture);
    const std::uint8_t* row = rowAt(picture, y);
    const RGBQUAD* colors = picture.pmi->colors();
    for (std::int32_t x = 0; x < DIBWidth(picture); ++x) {
        samples[x] = colors[getIndex(row, bits, x)].rgbRed;
    }
}

// libjpeg may jump back here from any of its calls.
Failure writeFrom(Writer& w, const dib& picture, int quality, ProgressReporter& progress) {
    if (setjmp(w.error.jump)) {
        return w.error.failure;
    }
    jpeg_create_compress(&w.info);
    w.info.dest = &w.destination.manager;
    const std::int32_t width = DIBWidth(picture);
    const std::int32_t height = DIBHeight(picture);
    const bool grey = DIBBitCount(picture) <= 8 && hasGreyRamp(picture);
    w.info.image_width = JDIMENSION(width);
    w.info.image_height = JDIMENSION(height);
    w.info.input_components = grey ? 1 : 3;
    w.info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&w.info);
    jpeg_set_quality(&w.info, quality, TRUE);
    if (const Resolution resolution = resolutionOf(picture); resolution.known()) {
        w.info.density_unit = 1; // dots per inch
        w.info.X_density = UINT16(std::min(dotsPerInch(resolution.x), 0xffff));
        w.info.Y_density = UINT16(std::min(dotsPerInch(resolution.y), 0xffff));
    }
    if (!grey && quality >= 90) {
        // Full-resolution colour: at high quality the halved chroma would blur colour edges
        // such as those of charts.
        w.info.comp_info[0].h_samp_factor = 1;
        w.info.comp_info[0].v_samp_factor = 1;
    }
    jpeg_start_compress(&w.info, TRUE);
    JSAMPARRAY samples = (*w.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&w.info),
                                                     JPOOL_IMAGE, JDIMENSION(width) * 3, 1);
    for (std::int32_t y = 0; y < height; ++y) {
        fillRow(picture, y, grey, samples[0]);
        jpeg_write_scanlines(&w.info, samples, 1);
        if (!progress.report(y + 1, height)) {
            return Failure::stopped;
        }
    }
    jpeg_finish_compress(&w.info);
    return Failure::none;
}

} // namespace

Decoded decodeJpeg(Bytes data, const Limits& limits, ProgressReporter& progress) {
    Decoded out;
    Reader reader{};
    installErrorState(reader.error);
    reader.info.err = &reader.error.manager;
    reader.monitor.progress_monitor = limitScans;
    const Failure failure = readInto(reader, data, limits, progress, out);
    jpeg_destroy_decompress(&reader.info);
    if (failure != Failure::none && failure != Failure::reported) {
        fail(out, failureText(failure));
    }
    return out;
}

bool encodeJpeg(const dib& picture, QIODevice& out, const EncodeOptions& options,
                ProgressReporter& progress) {
    if (!picture.poi || !isSupportedBitCount(DIBBitCount(picture))) {
        return false;
    }
    auto writer = std::make_unique<Writer>();
    installErrorState(writer->error);
    writer->info.err = &writer->error.manager;
    writer->destination.device = &out;
    writer->destination.manager.init_destination = initDestination;
    writer->destination.manager.empty_output_buffer = emptyOutputBuffer;
    writer->destination.manager.term_destination = termDestination;
    const Failure failure =
        writeFrom(*writer, picture, std::clamp(options.jpegQuality, 1, 99), progress);
    jpeg_destroy_compress(&writer->info);
    return failure == Failure::none;
}

} // namespace grafikrw3::codec
