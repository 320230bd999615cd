#pragma once

#include "../../Progress.h"
#include "../../dib.h"
#include "../PixelRows.h"

#include <QString>

#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

class QIODevice;

// Shared ground of the image file codecs. Decoders read a whole file held in memory and
// treat it as hostile: every size, count, offset and run length is checked before use, and a
// picture is only allocated when its size is plausible and fits the limits. Encoders write a
// picture to any device and report write failures.
namespace grafikrw3::codec {

using Bytes = std::span<const std::uint8_t>;

struct Limits {
    // Largest pixel memory a decoded picture may take.
    std::int64_t maxPictureBytes = 0x7fffffff;
};

// A decoded picture, or the German text that says why there is none.
struct Decoded {
    dib picture;
    QString error;
    bool ok() const { return picture.poi != nullptr; }
};

struct EncodeOptions {
    int jpegQuality = 75; // 1 to 99
    bool rle = false;     // BMP: RLE8 / RLE4 compression where the depth allows it
};

// Texts for the user.
QString damagedText();     // "Unbekanntes oder beschädigtes Dateiformat."
QString tooLargeText();    // the picture would not fit into memory
QString unsupportedText(); // a variant of the format that is not read
QString stoppedText();     // the user stopped the work

// How the work of a codec on top of a library ended; `reported` means the error text is
// already in place.
enum class Failure { none, damaged, unsupported, tooLarge, stopped, writeFailed, reported };

// The text for the user of a failure.
QString failureText(Failure failure);

// Fails `out` with `text` (releasing a picture it may hold) and returns false.
bool fail(Decoded& out, const QString& text);

// Makes the picture of a decoder after checking its size: width and height at least 1 and
// at most 0x7fffffff / 8, the pixel memory within `limits`. The colour table of a palette
// picture starts all black with `pal.num` = 2^bits. False with the error set otherwise.
bool makePicture(Decoded& out, std::int64_t width, std::int64_t height, int bits,
                 const Limits& limits);

// Sets colour-table entry `index` and its logical-palette twin.
void setColor(dib& picture, int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
// Grey ramp over all 2^bits entries of a palette picture.
void setGreyRamp(dib& picture);

// The palette depth a picture of `bits` stored bits per index is read into: 1, 4 or 8.
int widenedDepth(int bits);

using grafikrw3::getIndex;
using grafikrw3::putIndex;
using grafikrw3::rowAt;

// A colour channel with coverage `alpha` put onto white.
inline std::uint8_t onWhite(unsigned channel, unsigned alpha) {
    return std::uint8_t((channel * alpha + 255u * (255u - alpha) + 127u) / 255u);
}

// Picture row y (from the top) as red, green, blue bytes, whatever the depth.
void rowToRgb(const dib& picture, std::int32_t y, std::uint8_t* rgb);

// True when the picture's colour table is the grey ramp of its depth.
bool hasGreyRamp(const dib& picture);

// The resolution a picture records in its header, in pixels per metre, horizontal and
// vertical; 0 where it records none. Encoders write it where their format has room for it.
struct Resolution {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool known() const { return x > 0 && y > 0; }
};
Resolution resolutionOf(const dib& picture);
// Pixels per metre as whole dots per inch, rounded.
int dotsPerInch(std::int32_t pixelsPerMetre);
// Files of pictures without a recorded resolution say 72 dots per inch.
inline constexpr int kDefaultDotsPerInch = 72;

// Bounds-checked reading of the file bytes. A read past the end yields zeros and clears ok();
// decoders check ok() at the points where it matters.
class Cursor {
public:
    explicit Cursor(Bytes data) : data_(data) {}

    std::uint8_t u8();
    std::uint16_t u16le();
    std::uint16_t u16be();
    std::uint32_t u32le();
    std::uint32_t u32be();
    std::int32_t i32le() { return std::int32_t(u32le()); }
    // Pointer to the next `count` bytes, which are skipped; null (and !ok()) when they are not
    // all there.
    const std::uint8_t* take(std::size_t count);
    void skip(std::size_t count) { take(count); }
    // Moves to an absolute offset; false (and !ok()) beyond the end.
    bool seek(std::size_t offset);

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return data_.size() - position_; }
    std::size_t size() const { return data_.size(); }
    bool ok() const { return ok_; }
    Bytes data() const { return data_; }

private:
    Bytes data_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

// Writing to a device with a sticky failure flag, little- and big-endian.
class Sink {
public:
    explicit Sink(QIODevice& device) : device_(device) {}
    void bytes(const void* data, std::int64_t count);
    void u8(std::uint8_t v) { bytes(&v, 1); }
    void u16le(std::uint16_t v);
    void u16be(std::uint16_t v);
    void u32le(std::uint32_t v);
    void u32be(std::uint32_t v);
    std::int64_t position() const;
    // Moves to an absolute offset (for lengths written after their data).
    bool seek(std::int64_t offset);
    bool ok() const { return ok_; }
    QIODevice& device() { return device_; }

private:
    QIODevice& device_;
    bool ok_ = true;
};

// --- writing row by row ---------------------------------------------------------------------

// What a file says before its rows: size, depth, colour table and resolution.
struct PictureHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 24;
    const RGBQUAD* colors = nullptr; // the colour table at 1, 4 and 8 bits
    std::uint32_t colorCount = 0;
    Resolution resolution;
};
// The header of `picture`.
PictureHeader headerOf(const dib& picture);

// A row laid out as a picture row of `header` as red, green, blue bytes.
void rowToRgb(const PictureHeader& header, const std::uint8_t* row, std::uint8_t* rgb);

// Writes a file row after row in the order the file keeps them, so that the picture need
// never be whole in memory: from the top, or from the bottom for formats that store the bottom
// row first. Each row is laid out as a picture row of the header's width and depth.
class RowEncoder {
public:
    explicit RowEncoder(bool bottomUp) : bottomUp_(bottomUp) {}
    virtual ~RowEncoder() = default;
    RowEncoder(const RowEncoder&) = delete;
    RowEncoder& operator=(const RowEncoder&) = delete;

    bool bottomUp() const { return bottomUp_; }
    // Writes the next row; false once anything failed.
    virtual bool row(const std::uint8_t* row) = 0;
    // Writes what follows the last row; false when anything failed on the way.
    virtual bool finish() = 0;

private:
    bool bottomUp_;
};

// Starts a file of a picture with `header` on `out` (TIFF seeks back in it to point at its
// directory); null when the format cannot hold the picture or writing failed.
using RowEncoderStart = std::unique_ptr<RowEncoder> (*)(const PictureHeader& header, QIODevice& out,
                                                        const EncodeOptions& options);

// Writes all rows of `picture` through the encoder `start` makes, reporting each row.
bool encodeRows(RowEncoderStart start, const dib& picture, QIODevice& out,
                const EncodeOptions& options, ProgressReporter& progress);

// --- the codecs -----------------------------------------------------------------------------
// Each decoder reads one format from the whole file `data`; each encoder writes `picture`
// (1, 4, 8 or 24 bits) and converts what the format cannot hold. The formats whose rows can
// be written one after another also start row encoders; their encoders write through them.

Decoded decodeBmp(Bytes data, const Limits& limits, ProgressReporter& progress);
bool encodeBmp(const dib& picture, QIODevice& out, const EncodeOptions& options,
               ProgressReporter& progress);
std::unique_ptr<RowEncoder> startBmpRows(const PictureHeader& header, QIODevice& out,
                                         const EncodeOptions& options);

Decoded decodePcx(Bytes data, const Limits& limits, ProgressReporter& progress);
bool encodePcx(const dib& picture, QIODevice& out, const EncodeOptions& options,
               ProgressReporter& progress);
std::unique_ptr<RowEncoder> startPcxRows(const PictureHeader& header, QIODevice& out,
                                         const EncodeOptions& options);

Decoded decodeTga(Bytes data, const Limits& limits, ProgressReporter& progress);
bool encodeTga(const dib& picture, QIODevice& out, const EncodeOptions& options,
               ProgressReporter& progress);
std::unique_ptr<RowEncoder> startTgaRows(const PictureHeader& header, QIODevice& out,
                                         const EncodeOptions& options);

Decoded decodeIlbm(Bytes data, const Limits& limits, ProgressReporter& progress);
bool encodeIlbm(const dib& picture, QIODevice& out, const EncodeOptions& options,
                ProgressReporter& progress);

Decoded decodeGif(Bytes data, const Limits& limits, ProgressReporter& progress);
bool encodeGif(const dib& picture, QIODevice& out, const EncodeOptions& options,
               ProgressReporter& progress);

Decoded decodeJpeg(Bytes data, const Limits& limits, ProgressReporter& progress);
bool encodeJpeg(const dib& picture, QIODevice& out, const EncodeOptions& options,
                ProgressReporter& progress);

Decoded decodePng(Bytes data, const Limits& limits, ProgressReporter& progress);
bool encodePng(const dib& picture, QIODevice& out, const EncodeOptions& options,
               ProgressReporter& progress);
std::unique_ptr<RowEncoder> startPngRows(const PictureHeader& header, QIODevice& out,
                                         const EncodeOptions& options);

Decoded decodeTiff(Bytes data, const Limits& limits, ProgressReporter& progress);
bool encodeTiff(const dib& picture, QIODevice& out, const EncodeOptions& options,
                ProgressReporter& progress);
std::unique_ptr<RowEncoder> startTiffRows(const PictureHeader& header, QIODevice& out,
                                          const EncodeOptions& options);

} // namespace grafikrw3::codec
