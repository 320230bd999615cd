#pragma once

#include "foundation/grafikrw3/codecs/Codec.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

// Helpers for the image codec tests: test pictures, encoding and decoding through memory,
// comparisons, and the independent tools (netpbm, ImageMagick) the files are checked against.
namespace codectest {

using namespace grafikrw3::codec;

using DecoderFn = Decoded (*)(Bytes, const Limits&, ProgressReporter&);
using EncoderFn = bool (*)(const dib&, QIODevice&, const EncodeOptions&, ProgressReporter&);

inline constexpr int kDepths[] = {1, 4, 8, 24};

// A picture of `bits` with a palette that is neither grey nor in index order (for palette
// depths) and a pattern that uses every index and differs between neighbours.
dib makeTestPicture(int width, int height, int bits);

// Owns a picture for the length of a test.
struct Picture {
    dib d;
    Picture() = default;
    explicit Picture(dib picture) : d(picture) {}
    ~Picture() { FreeDIB(d); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
};

QByteArray encode(EncoderFn encoder, const dib& picture, const EncodeOptions& options = {});
Decoded decode(DecoderFn decoder, const QByteArray& bytes, const Limits& limits = {});

// Red, green, blue of every pixel, top row first.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};
RgbImage toRgb(const dib& picture);

// Same depth, size, colour table and palette indexes (true colour: same bytes).
::testing::AssertionResult sameIndexesAndPalette(const dib& expected, const dib& actual);
// Same colour at every pixel, whatever the depths.
::testing::AssertionResult sameColours(const RgbImage& expected, const RgbImage& actual);
// Every channel within `maxDifference`, and the mean absolute difference within `meanDifference`.
::testing::AssertionResult closeColours(const RgbImage& expected, const RgbImage& actual,
                                        int maxDifference, double meanDifference);

// PPM (P6) of an RGB image, and PPM/PGM/PBM (P1-P6) parsing of a tool's output.
QByteArray writePpm(const RgbImage& image);
RgbImage readPnm(const QByteArray& bytes);

// Runs an installed tool with `arguments` and standard input `input`; the test fails when the
// tool is missing or exits with an error. Returns its standard output.
QByteArray runTool(const QString& program, const QStringList& arguments,
                   const QByteArray& input = {});

// A file of its own in a folder that lives as long as the test program.
QString tempPath(const QString& name);
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// Takes `room` bytes, then refuses like a full disk.
class ShortBuffer : public QBuffer {
public:
    explicit ShortBuffer(qint64 room) : room_(room) { open(QIODevice::ReadWrite); }

protected:
    qint64 writeData(const char* data, qint64 count) override {
        return pos() + count > room_ ? -1 : QBuffer::writeData(data, count);
    }

private:
    qint64 room_;
};

// The decoder's complaint about `bytes`, empty when it reads them.
QString decodeError(DecoderFn decoder, const QByteArray& bytes, const Limits& limits = {});
// The picture in `bytes`; a failure is reported with the decoder's text.
dib decodePicture(DecoderFn decoder, const QByteArray& bytes);

// ImageMagick's reading of `bytes` as an RGB image ("convert <format>:- ppm:-").
RgbImage readWithImageMagick(const QByteArray& bytes, const QString& format);

} // namespace codectest
