#include "CodecTestSupport.h"

#include "foundation/grafikrw3/grafikrw3.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>

#include <cstdlib>

namespace codectest {

dib makeTestPicture(int width, int height, int bits) {
    dib d;
    grafikrw3::newdib(&d, width, height, bits, nullptr, 0);
    if (!d.poi) {
        return d;
    }
    if (bits <= 8) {
        const int entries = 1 << bits;
        for (int i = 0; i < entries; ++i) {
            // Distinct, not grey, not sorted.
            setColor(d, i, std::uint8_t((i * 97 + 13) & 0xff), std::uint8_t((i * 53 + 200) & 0xff),
                     std::uint8_t((i * 29 + 71) & 0xff));
        }
        if (bits == 1) {
            setColor(d, 0, 200, 30, 40);
            setColor(d, 1, 10, 220, 250);
        }
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rowAt(d, y);
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                row[3 * x] = std::uint8_t(x * 7 + y * 3);
                row[3 * x + 1] = std::uint8_t(x * 13 ^ y * 5);
                row[3 * x + 2] = std::uint8_t(255 - x * 3 - y * 11);
            } else {
                putIndex(row, bits, x, unsigned(x * 3 + y * 7 + (x * y) / 5) & ((1u << bits) - 1));
            }
        }
    }
    return d;
}

QByteArray encode(EncoderFn encoder, const dib& picture, const EncodeOptions& options) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    ProgressReporter progress;
    EXPECT_TRUE(encoder(picture, buffer, options, progress)) << "encoder reported failure";
    return buffer.data();
}

Decoded decode(DecoderFn decoder, const QByteArray& bytes, const Limits& limits) {
    ProgressReporter progress;
    return decoder(
        Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())),
        limits, progress);
}

QString decodeError(DecoderFn decoder, const QByteArray& bytes, const Limits& limits) {
    Decoded result = decode(decoder, bytes, limits);
    FreeDIB(result.picture);
    return result.error;
}

dib decodePicture(DecoderFn decoder, const QByteArray& bytes) {
    Decoded result = decode(decoder, bytes);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    return result.picture;
}

RgbImage toRgb(const dib& picture) {
    RgbImage image;
    image.width = DIBWidth(picture);
    image.height = DIBHeight(picture);
    image.rgb.resize(std::size_t(image.width) * std::size_t(image.height) * 3);
    for (int y = 0; y < image.height; ++y) {
        rowToRgb(picture, y, image.rgb.data() + std::size_t(y) * std::size_t(image.width) * 3);
    }
    return image;
}

::testing::AssertionResult sameIndexesAndPalette(const dib& expected, const dib& actual) {
    if (!actual.poi) {
        return ::testing::AssertionFailure() << "no picture";
    }
    if (DIBWidth(expected) != DIBWidth(actual) || DIBHeight(expected) != DIBHeight(actual) ||
        DIBBitCount(expected) != DIBBitCount(actual)) {
        return ::testing::AssertionFailure()
               << "expected " << DIBWidth(expected) << "x" << DIBHeight(expected) << "x"
               << DIBBitCount(expected) << ", got " << DIBWidth(actual) << "x" << DIBHeight(actual)
               << "x" << DIBBitCount(actual);
    }
    const int bits = DIBBitCount(expected);
    const int entries = int(DIBColorTableSize(expected));
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD& a = expected.pmi->colors()[i];
        const RGBQUAD& b = actual.pmi->colors()[i];
        if (a.rgbRed != b.rgbRed || a.rgbGreen != b.rgbGreen || a.rgbBlue != b.rgbBlue) {
            return ::testing::AssertionFailure() << "colour-table entry " << i << " differs";
        }
        const PALETTEENTRY& p = actual.pal.pal[i];
        if (p.peRed != a.rgbRed || p.peGreen != a.rgbGreen || p.peBlue != a.rgbBlue) {
            return ::testing::AssertionFailure() << "logical palette entry " << i << " differs";
        }
    }
    for (int y = 0; y < DIBHeight(expected); ++y) {
        const std::uint8_t* a = rowAt(expected, y);
        const std::uint8_t* b = rowAt(actual, y);
        for (int x = 0; x < DIBWidth(expected); ++x) {
            const bool same = bits == 24 ? std::memcmp(a + 3 * x, b + 3 * x, 3) == 0
                                         : getIndex(a, bits, x) == getIndex(b, bits, x);
            if (!same) {
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult sameColours(const RgbImage& expected, const RgbImage& actual) {
    return closeColours(expected, actual, 0, 0.0);
}

::testing::AssertionResult closeColours(const RgbImage& expected, const RgbImage& actual,
                                        int maxDifference, double meanDifference) {
    if (expected.width != actual.width || expected.height != actual.height) {
        return ::testing::AssertionFailure()
               << "size " << actual.width << "x" << actual.height << " instead of "
               << expected.width << "x" << expected.height;
    }
    double total = 0;
    for (std::size_t i = 0; i < expected.rgb.size(); ++i) {
        const int d = std::abs(int(expected.rgb[i]) - int(actual.rgb[i]));
        total += d;
        if (d > maxDifference) {
            const std::size_t pixel = i / 3;
            return ::testing::AssertionFailure()
                   << "pixel " << pixel % std::size_t(expected.width) << ","
                   << pixel / std::size_t(expected.width) << " channel " << i % 3 << ": "
                   << int(actual.rgb[i]) << " instead of " << int(expected.rgb[i]);
        }
    }
    const double mean = expected.rgb.empty() ? 0 : total / double(expected.rgb.size());
    if (mean > meanDifference) {
        return ::testing::AssertionFailure() << "mean difference " << mean;
    }
    return ::testing::AssertionSuccess();
}

QByteArray writePpm(const RgbImage& image) {
    QByteArray out =
        QStringLiteral("P6\n%1 %2\n255\n").arg(image.width).arg(image.height).toLatin1();
    out.append(reinterpret_cast<const char*>(image.rgb.data()), qsizetype(image.rgb.size()));
    return out;
}

namespace {

// Next header number of a PNM file, skipping white space and comments.
int pnmNumber(const QByteArray& bytes, qsizetype& pos) {
    while (pos < bytes.size()) {
        const char c = bytes[pos];
        if (c == '#') {
            while (pos < bytes.size() && bytes[pos] != '\n') {
                ++pos;
            }
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++pos;
        } else {
            break;
        }
    }
    int value = 0;
    while (pos < bytes.size() && bytes[pos] >= '0' && bytes[pos] <= '9') {
        value = value * 10 + (bytes[pos++] - '0');
    }
    return value;
}

} // namespace

RgbImage readPnm(const QByteArray& bytes) {
    RgbImage image;
    if (bytes.size() < 3 || bytes[0] != 'P') {
        ADD_FAILURE() << "not a PNM file";
        return image;
    }
    const char kind = bytes[1];
    qsizetype pos = 2;
    image.width = pnmNumber(bytes, pos);
    image.height = pnmNumber(bytes, pos);
    const int maxValue = (kind == '1' || kind == '4') ? 1 : pnmNumber(bytes, pos);
    const bool binary = kind >= '4';
    if (binary) {
        ++pos; // the single white-space character after the header
    }
    const std::size_t pixels = std::size_t(image.width) * std::size_t(image.height);
    image.rgb.resize(pixels * 3);
    const int wide = maxValue > 255 ? 2 : 1;
    auto sample = [&](std::size_t) -> int {
        if (!binary) {
            return pnmNumber(bytes, pos);
        }
        int v = std::uint8_t(bytes[pos++]);
        if (wide == 2) {
            v = (v << 8) | std::uint8_t(bytes[pos++]);
        }
        return v;
    };
    for (std::size_t i = 0; i < pixels; ++i) {
        std::uint8_t r = 0, g = 0, b = 0;
        if (kind == '4') {
            const std::size_t x = i % std::size_t(image.width);
            const std::size_t rowBytes = (std::size_t(image.width) + 7) / 8;
            const std::size_t y = i / std::size_t(image.width);
            const int bit =
                (std::uint8_t(bytes[qsizetype(pos + qsizetype(y * rowBytes + x / 8))]) >>
                 (7 - x % 8)) &
                1;
            r = g = b = bit ? 0 : 255;
        } else if (kind == '1') {
            r = g = b = pnmNumber(bytes, pos) ? 0 : 255;
        } else if (kind == '2' || kind == '5') {
            r = g = b = std::uint8_t((sample(i) * 255 + maxValue / 2) / maxValue);
        } else {
            r = std::uint8_t((sample(i) * 255 + maxValue / 2) / maxValue);
            g = std::uint8_t((sample(i) * 255 + maxValue / 2) / maxValue);
            b = std::uint8_t((sample(i) * 255 + maxValue / 2) / maxValue);
        }
        image.rgb[3 * i] = r;
        image.rgb[3 * i + 1] = g;
        image.rgb[3 * i + 2] = b;
    }
    return image;
}

QByteArray runTool(const QString& program, const QStringList& arguments, const QByteArray& input) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        ADD_FAILURE() << program.toStdString() << " is not installed (scripts/test installs it)";
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " "
                      << arguments.join(QLatin1Char(' ')).toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
    }
    return process.readAllStandardOutput();
}

QString tempPath(const QString& name) {
    static QTemporaryDir folder;
    return folder.filePath(name);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

RgbImage readWithImageMagick(const QByteArray& bytes, const QString& format) {
    return readPnm(runTool(QStringLiteral("convert"),
                           {format + QStringLiteral(":-"), QStringLiteral("-depth"),
                            QStringLiteral("8"), QStringLiteral("ppm:-")},
                           bytes));
}

} // namespace codectest
