#include "Codec.h"

#include <QIODevice>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <new>

#include <tiffio.h>

// TIFF through libtiff, first image of the file. Palette, grey and RGB images in strips are
// read strip by strip and keep their depth; everything else (tiles, YCbCr, CMYK, Lab, JPEG
// compression, odd sample sizes, rotated orientations) goes through libtiff's RGBA reader and
// becomes true colour on white.
namespace grafikrw3::codec {

namespace {

// libtiff's process-wide handlers print to stderr; our handles report through their own.
void silenceLibrary() {
    static const bool silenced = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)silenced;
}

int noteError(TIFF*, void* user, const char*, const char*, va_list) {
    *static_cast<bool*>(user) = true;
    return 1;
}

int ignoreWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};
struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// Per-handle handlers that set `errorSeen`, and a cap on libtiff's single allocations.
std::unique_ptr<TIFFOpenOptions, OptionsDeleter> openOptions(bool& errorSeen,
                                                             std::int64_t maxAllocation) {
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (options) {
        TIFFOpenOptionsSetErrorHandlerExtR(options.get(), noteError, &errorSeen);
        TIFFOpenOptionsSetWarningHandlerExtR(options.get(), ignoreWarning, nullptr);
        TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(maxAllocation));
    }
    return options;
}

// --- reading: the file in memory ---

struct MemoryFile {
    Bytes data;
    std::uint64_t position = 0;
};

tmsize_t memoryRead(thandle_t handle, void* target, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(handle);
    if (size <= 0 || f->position >= f->data.size()) {
        return 0;
    }
    const std::uint64_t count =
        std::min<std::uint64_t>(std::uint64_t(size), f->data.size() - f->position);
    std::memcpy(target, f->data.data() + f->position, count);
    f->position += count;
    return tmsize_t(count);
}

tmsize_t memoryWrite(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t memorySeek(thandle_t handle, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(handle);
    // Offsets relative to the current position or the end may be negative in two's complement.
    const std::uint64_t base = whence == SEEK_CUR   ? f->position
                               : whence == SEEK_END ? f->data.size()
                                                    : 0;
    f->position = base + offset;
    return f->position;
}

int memoryClose(thandle_t) {
    return 0;
}

toff_t memorySize(thandle_t handle) {
    return static_cast<MemoryFile*>(handle)->data.size();
}

// libtiff only reads through the mapping, as it does with files mapped read-only.
int memoryMap(thandle_t handle, void** base, toff_t* size) {
    auto* f = static_cast<MemoryFile*>(handle);
    *base = const_cast<std::uint8_t*>(f->data.data());
    *size = f->data.size();
    return 1;
}

void memoryUnmap(thandle_t, void*, toff_t) {}

// --- reading: images kept at their depth ---

// How the samples of a stripped image become picture rows.
struct Layout {
    int bits = 0;            // picture depth
    int bitsPerSample = 0;   // 1, 2, 4, 8 or 16
    int samplesPerPixel = 0; // in the file
    int colourSamples = 0;   // 1 (grey, palette) or 3 (RGB)
    bool hasAlpha = false;   // the sample after the colour is alpha
    bool associated = false; // ... premultiplied
    bool separate = false;   // one plane per sample
    bool palette = false;
    bool minIsWhite = false;
    bool bottomUp = false;
};

std::uint16_t fieldU16(TIFF* tif, ttag_t tag) {
    std::uint16_t value = 0;
    TIFFGetFieldDefaulted(tif, tag, &value);
    return value;
}

// Alpha when the first extra sample says so.
void readExtraSamples(TIFF* tif, Layout& layout) {
    std::uint16_t count = 0;
    std::uint16_t* types = nullptr;
    if (layout.samplesPerPixel > layout.colourSamples &&
        TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &types) && count > 0 && types) {
        layout.hasAlpha = types[0] == EXTRASAMPLE_ASSOCALPHA || types[0] == EXTRASAMPLE_UNASSALPHA;
        layout.associated = types[0] == EXTRASAMPLE_ASSOCALPHA;
    }
}

// The layout when the image can be read strip by strip at its depth, false otherwise.
bool keepsDepth(TIFF* tif, Layout& layout) {
    const std::uint16_t compression = fieldU16(tif, TIFFTAG_COMPRESSION);
    const std::uint16_t orientation = fieldU16(tif, TIFFTAG_ORIENTATION);
    std::uint16_t photometric = 0;
    if (TIFFIsTiled(tif) || compression == COMPRESSION_JPEG || compression == COMPRESSION_OJPEG ||
        fieldU16(tif, TIFFTAG_SAMPLEFORMAT) != SAMPLEFORMAT_UINT ||
        (orientation != ORIENTATION_TOPLEFT && orientation != ORIENTATION_BOTLEFT) ||
        !TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) {
        return false;
    }
    layout.bitsPerSample = fieldU16(tif, TIFFTAG_BITSPERSAMPLE);
    layout.samplesPerPixel = fieldU16(tif, TIFFTAG_SAMPLESPERPIXEL);
    layout.separate = fieldU16(tif, TIFFTAG_PLANARCONFIG) == PLANARCONFIG_SEPARATE;
    layout.bottomUp = orientation == ORIENTATION_BOTLEFT;
    layout.palette = photometric == PHOTOMETRIC_PALETTE;
    layout.minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
    const int b = layout.bitsPerSample;
    const bool wholeBytes = b == 8 || b == 16;
    const bool packed = b == 1 || b == 2 || b == 4 || b == 8;
    switch (photometric) {
    case PHOTOMETRIC_PALETTE:
        layout.colourSamples = 1;
        layout.bits = widenedDepth(b);
        return layout.samplesPerPixel == 1 && packed;
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
        layout.colourSamples = 1;
        readExtraSamples(tif, layout);
        layout.bits = widenedDepth(std::min(b, 8));
        return layout.samplesPerPixel == 1 ? (packed || b == 16)
                                           : layout.samplesPerPixel > 1 && wholeBytes;
    case PHOTOMETRIC_RGB:
        layout.colourSamples = 3;
        readExtraSamples(tif, layout);
        layout.bits = 24;
        return layout.samplesPerPixel >= 3 && wholeBytes;
    default:
        return false;
    }
}

// Colour maps hold 16-bit values; some old writers put 8-bit values there.
bool setColourMap(TIFF* tif, dib& picture, int bitsPerSample) {
    std::uint16_t* red = nullptr;
    std::uint16_t* green = nullptr;
    std::uint16_t* blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue) {
        return false;
    }
    const int entries = 1 << bitsPerSample; // libtiff holds exactly this many
    bool eightBit = true;
    for (int i = 0; i < entries; ++i) {
        eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
    }
    auto level = [eightBit](std::uint16_t v) {
        return std::uint8_t(eightBit ? v : (v + 128u) / 257u);
    };
    for (int i = 0; i < entries; ++i) {
        setColor(picture, i, level(red[i]), level(green[i]), level(blue[i]));
    }
    return true;
}

// Grey levels for the stored bits; 1-bit images keep their bits and get the palette in the
// file's order, deeper ones are turned into black-is-zero.
void setGreyLevels(dib& picture, const Layout& layout) {
    if (layout.bitsPerSample == 1 && layout.samplesPerPixel == 1) {
        const std::uint8_t first = layout.minIsWhite ? 255 : 0;
        setColor(picture, 0, first, first, first);
        setColor(picture, 1, 255 - first, 255 - first, 255 - first);
    } else if (layout.bitsPerSample == 2 && layout.samplesPerPixel == 1) {
        for (int i = 0; i < 4; ++i) {
            setColor(picture, i, std::uint8_t(i * 85), std::uint8_t(i * 85), std::uint8_t(i * 85));
        }
    } else {
        setGreyRamp(picture);
    }
}

// Rows of 8- or 16-bit samples, pixel-interleaved or one plane per sample.
struct SampleRows {
    const std::uint8_t* plane[4] = {};
    int stride = 1;
    int bitsPerSample = 8;

    unsigned at(int sample, std::int32_t x) const {
        const std::size_t i = std::size_t(x) * std::size_t(stride) + (stride > 1 ? sample : 0);
        if (bitsPerSample == 8) {
            return plane[sample][i];
        }
        std::uint16_t v = 0; // libtiff has put it into host byte order
        std::memcpy(&v, plane[sample] + 2 * i, 2);
        return (v * 255u + 32767u) / 65535u;
    }
};

std::uint8_t composed(unsigned value, unsigned alpha, bool associated) {
    return associated ? std::uint8_t(std::min(255u, value + 255u - std::min(alpha, 255u)))
                      : onWhite(value, alpha);
}

void convertSamples(const SampleRows& s, const Layout& layout, std::uint8_t* target,
                    std::int32_t width) {
    const int channels = layout.colourSamples;
    for (std::int32_t x = 0; x < width; ++x) {
        const unsigned alpha = layout.hasAlpha ? s.at(channels, x) : 255u;
        for (int c = 0; c < channels; ++c) {
            unsigned v = s.at(c, x);
            if (layout.minIsWhite) {
                v = 255 - v;
            }
            // RGB into blue, green, red.
            const std::int32_t index = channels == 1 ? x : 3 * x + 2 - c;
            target[index] =
                layout.hasAlpha ? composed(v, alpha, layout.associated) : std::uint8_t(v);
        }
    }
}

// One sample of 1, 2, 4 or 8 bits per pixel.
void convertPacked(const std::uint8_t* source, const Layout& layout, std::uint8_t* target,
                   std::int32_t width) {
    const int b = layout.bitsPerSample;
    const bool invert = layout.minIsWhite && b > 1;
    if (b == 2) {
        for (std::int32_t x = 0; x < width; ++x) {
            const unsigned v = (source[x >> 2] >> (6 - 2 * (x & 3))) & 3u;
            putIndex(target, 4, x, invert ? 3 - v : v);
        }
        return;
    }
    const std::size_t bytes = (std::size_t(width) * std::size_t(b) + 7) / 8;
    for (std::size_t i = 0; i < bytes; ++i) {
        target[i] = invert ? std::uint8_t(~source[i]) : source[i];
    }
}

struct StripReading {
    std::uint32_t rowsPerStrip = 0;
    std::uint32_t stripsPerPlane = 0;
    std::uint64_t rowBytes = 0; // of one plane
    int planes = 1;             // planes read
};

Failure readStrips(TIFF* tif, const Layout& layout, const Limits& limits,
                   ProgressReporter& progress, bool& errorSeen, dib& picture) {
    const std::int32_t width = DIBWidth(picture);
    const std::int32_t height = DIBHeight(picture);
    StripReading s;
    s.rowsPerStrip = std::uint32_t(height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &s.rowsPerStrip);
    s.rowsPerStrip = std::clamp<std::uint32_t>(s.rowsPerStrip, 1, std::uint32_t(height));
    s.stripsPerPlane = (std::uint32_t(height) + s.rowsPerStrip - 1) / s.rowsPerStrip;
    s.planes = layout.separate ? layout.colourSamples + (layout.hasAlpha ? 1 : 0) : 1;
    const int filePlanes = layout.separate ? layout.samplesPerPixel : 1;
    s.rowBytes = std::uint64_t(TIFFScanlineSize64(tif));
    if (s.rowBytes == 0 || std::uint64_t(TIFFNumberOfStrips(tif)) <
                               std::uint64_t(s.stripsPerPlane) * std::uint64_t(filePlanes)) {
        return Failure::damaged;
    }
    // The decoded strips of the planes read; bounded by a few times the picture.
    const std::uint64_t stripBytes = s.rowBytes * s.rowsPerStrip;
    if (stripBytes > std::uint64_t(limits.maxPictureBytes) * 3 / std::uint64_t(s.planes)) {
        return Failure::tooLarge;
    }
    std::unique_ptr<std::uint8_t[]> strips(new (std::nothrow)
                                               std::uint8_t[stripBytes * std::uint64_t(s.planes)]);
    if (!strips) {
        return Failure::tooLarge;
    }
    for (std::uint32_t strip = 0; strip < s.stripsPerPlane; ++strip) {
        const std::uint32_t first = strip * s.rowsPerStrip;
        const std::uint32_t rows = std::min(s.rowsPerStrip, std::uint32_t(height) - first);
        const auto wanted = tmsize_t(s.rowBytes * rows);
        for (int p = 0; p < s.planes; ++p) {
            const std::uint32_t index = std::uint32_t(p) * s.stripsPerPlane + strip;
            if (TIFFReadEncodedStrip(tif, index, strips.get() + std::uint64_t(p) * stripBytes,
                                     wanted) != wanted ||
                errorSeen) {
                return Failure::damaged;
            }
        }
        for (std::uint32_t r = 0; r < rows; ++r) {
            const std::int32_t y = std::int32_t(first + r);
            std::uint8_t* target = rowAt(picture, layout.bottomUp ? height - 1 - y : y);
            const std::uint8_t* source = strips.get() + std::uint64_t(r) * s.rowBytes;
            if (layout.samplesPerPixel == 1 && layout.bitsPerSample <= 8) {
                convertPacked(source, layout, target, width);
                continue;
            }
            SampleRows samples;
            samples.bitsPerSample = layout.bitsPerSample;
            samples.stride = layout.separate ? 1 : layout.samplesPerPixel;
            for (int p = 0; p < 4; ++p) {
                samples.plane[p] = layout.separate && p < s.planes
                                       ? source + std::uint64_t(p) * stripBytes
                                       : source;
            }
            convertSamples(samples, layout, target, width);
        }
        if (!progress.report(first + rows, height)) {
            return Failure::stopped;
        }
    }
    return Failure::none;
}

// --- reading: everything else through libtiff's RGBA reader ---

Failure readRgba(TIFF* tif, std::uint32_t width, std::uint32_t height, const Limits& limits,
                 ProgressReporter& progress, Decoded& out) {
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message)) {
        return Failure::unsupported;
    }
    if (width == 0 || height == 0) {
        return Failure::damaged;
    }
    // libtiff's raster of 4 bytes per pixel comes on top of the picture.
    if (std::int64_t(width) * 4 > limits.maxPictureBytes / std::int64_t(height)) {
        return Failure::tooLarge;
    }
    if (!makePicture(out, width, height, 24, limits)) {
        return Failure::reported;
    }
    const std::size_t pixels = std::size_t(width) * height;
    std::unique_ptr<std::uint32_t[]> raster(new (std::nothrow) std::uint32_t[pixels]);
    if (!raster) {
        return Failure::tooLarge;
    }
    if (!TIFFReadRGBAImageOriented(tif, width, height, raster.get(), ORIENTATION_TOPLEFT, 1)) {
        return Failure::damaged;
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t* source = raster.get() + std::size_t(y) * width;
        std::uint8_t* target = rowAt(out.picture, std::int32_t(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            // The raster holds premultiplied alpha.
            const std::uint32_t p = source[x];
            const unsigned a = TIFFGetA(p);
            target[3 * x] = composed(TIFFGetB(p), a, true);
            target[3 * x + 1] = composed(TIFFGetG(p), a, true);
            target[3 * x + 2] = composed(TIFFGetR(p), a, true);
        }
        if (!progress.report(y + 1, height)) {
            return Failure::stopped;
        }
    }
    return Failure::none;
}

Failure readImage(TIFF* tif, const Limits& limits, ProgressReporter& progress, bool& errorSeen,
                  Decoded& out) {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height)) {
        return Failure::damaged;
    }
    if (!TIFFIsCODECConfigured(fieldU16(tif, TIFFTAG_COMPRESSION))) {
        return Failure::unsupported;
    }
    Layout layout;
    if (!keepsDepth(tif, layout)) {
        return readRgba(tif, width, height, limits, progress, out);
    }
    if (!makePicture(out, width, height, layout.bits, limits)) {
        return Failure::reported;
    }
    if (layout.palette) {
        if (!setColourMap(tif, out.picture, layout.bitsPerSample)) {
            return Failure::damaged;
        }
    } else if (layout.bits <= 8) {
        setGreyLevels(out.picture, layout);
    }
    // Complaints about tags while opening do not matter; those about pixel data do.
    errorSeen = false;
    return readStrips(tif, layout, limits, progress, errorSeen, out.picture);
}

// --- writing ---

struct DeviceFile {
    QIODevice* device = nullptr;
    qint64 start = 0; // offsets in the file count from here
    bool failed = false;
};

tmsize_t deviceRead(thandle_t handle, void* target, tmsize_t size) {
    auto* f = static_cast<DeviceFile*>(handle);
    return tmsize_t(f->device->read(static_cast<char*>(target), qint64(size)));
}

tmsize_t deviceWrite(thandle_t handle, void* data, tmsize_t size) {
    auto* f = static_cast<DeviceFile*>(handle);
    const qint64 written = f->device->write(static_cast<const char*>(data), qint64(size));
    if (written != qint64(size)) {
        f->failed = true;
        return -1;
    }
    return size;
}

toff_t deviceSeek(thandle_t handle, toff_t offset, int whence) {
    auto* f = static_cast<DeviceFile*>(handle);
    const qint64 base = whence == SEEK_CUR   ? f->device->pos()
                        : whence == SEEK_END ? f->device->size()
                                             : f->start;
    const qint64 target = base + qint64(offset);
    if (target < f->start || !f->device->seek(target)) {
        f->failed = true;
        return toff_t(-1);
    }
    return toff_t(target - f->start);
}

int deviceClose(thandle_t) {
    return 0;
}

toff_t deviceSize(thandle_t handle) {
    auto* f = static_cast<DeviceFile*>(handle);
    return toff_t(std::max<qint64>(0, f->device->size() - f->start));
}

int deviceMap(thandle_t, void**, toff_t*) {
    return 0;
}

void deviceUnmap(thandle_t, void*, toff_t) {}

bool isBlackWhite(const PictureHeader& picture) {
    const RGBQUAD* c = picture.colors;
    return c[0].rgbRed == 0 && c[0].rgbGreen == 0 && c[0].rgbBlue == 0 && c[1].rgbRed == 255 &&
           c[1].rgbGreen == 255 && c[1].rgbBlue == 255;
}

void setColourMapField(TIFF* tif, const PictureHeader& picture) {
    std::uint16_t red[256], green[256], blue[256];
    const int entries = int(picture.colorCount);
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD& c = picture.colors[i];
        red[i] = std::uint16_t(c.rgbRed * 257);
        green[i] = std::uint16_t(c.rgbGreen * 257);
        blue[i] = std::uint16_t(c.rgbBlue * 257);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, red, green, blue);
}

void setFields(TIFF* tif, const PictureHeader& picture) {
    const int bits = picture.bits;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(picture.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(picture.height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits == 24 ? 8 : bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, bits == 24 ? 3 : 1);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    if (bits == 24) {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    } else if (bits == 1 && isBlackWhite(picture)) {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    } else {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
        setColourMapField(tif, picture);
    }
    const Resolution& resolution = picture.resolution;
    TIFFSetField(tif, TIFFTAG_XRESOLUTION,
                 double(resolution.known() ? dotsPerInch(resolution.x) : kDefaultDotsPerInch));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION,
                 double(resolution.known() ? dotsPerInch(resolution.y) : kDefaultDotsPerInch));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
}

// Rows from the top, LZW-coded. Pictures whose pixels alone would pass the 4 GB a classic
// TIFF file can address are written as BigTIFF.
class TiffRows final : public RowEncoder {
public:
    TiffRows(const PictureHeader& header, QIODevice& out)
        : RowEncoder(false), header_(header), file_{&out, out.pos(), false},
          rowBytes_(header.bits == 24
                        ? std::size_t(header.width) * 3
                        : (std::size_t(header.width) * std::size_t(header.bits) + 7) / 8) {}

    bool start() {
        silenceLibrary();
        options_ = openOptions(errorSeen_, 256 << 20);
        const bool big = std::int64_t(rowBytes_) * header_.height > 0xffffffffLL;
        tif_.reset(TIFFClientOpenExt("TIFF", big ? "w8" : "w", &file_, deviceRead, deviceWrite,
                                     deviceSeek, deviceClose, deviceSize, deviceMap, deviceUnmap,
                                     options_.get()));
        // libtiff's predictor works in the row it is given, so it gets a copy.
        row_.reset(new (std::nothrow) std::uint8_t[rowBytes_]);
        if (!tif_ || !options_ || !row_) {
            return false;
        }
        setFields(tif_.get(), header_);
        return !errorSeen_;
    }

    bool row(const std::uint8_t* row) override {
        if (header_.bits == 24) {
            rowToRgb(header_, row, row_.get());
        } else {
            std::memcpy(row_.get(), row, rowBytes_);
        }
        return TIFFWriteScanline(tif_.get(), row_.get(), std::uint32_t(y_++), 0) >= 0;
    }

    bool finish() override {
        // TIFFClose cannot report a failed write of the directory, so it is written here.
        const bool written = TIFFWriteDirectory(tif_.get()) != 0;
        tif_.reset();
        return written && !file_.failed && !errorSeen_;
    }

private:
    PictureHeader header_;
    DeviceFile file_;
    std::size_t rowBytes_;
    bool errorSeen_ = false;
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options_;
    TiffHandle tif_;
    std::unique_ptr<std::uint8_t[]> row_;
    std::int32_t y_ = 0;
};

} // namespace

Decoded decodeTiff(Bytes data, const Limits& limits, ProgressReporter& progress) {
    silenceLibrary();
    Decoded out;
    bool errorSeen = false;
    const auto options = openOptions(
        errorSeen, std::min<std::int64_t>(limits.maxPictureBytes, 0x3fffffff) * 3 + (16 << 20));
    MemoryFile file{data, 0};
    const TiffHandle tif(TIFFClientOpenExt("TIFF", "r", &file, memoryRead, memoryWrite, memorySeek,
                                           memoryClose, memorySize, memoryMap, memoryUnmap,
                                           options.get()));
    const Failure failure =
        tif && options ? readImage(tif.get(), limits, progress, errorSeen, out) : Failure::damaged;
    if (failure != Failure::none && failure != Failure::reported) {
        fail(out, failureText(failure));
    }
    return out;
}

std::unique_ptr<RowEncoder> startTiffRows(const PictureHeader& header, QIODevice& out,
                                          const EncodeOptions&) {
    auto rows = std::make_unique<TiffRows>(header, out);
    return rows->start() ? std::move(rows) : nullptr;
}

bool encodeTiff(const dib& picture, QIODevice& out, const EncodeOptions& options,
                ProgressReporter& progress) {
    return encodeRows(startTiffRows, picture, out, options, progress);
}

} // namespace grafikrw3::codec
