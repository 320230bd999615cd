#include "CodecTestSupport.h"
#include "Pictures.h"

#include <QBuffer>

using namespace codectest;

namespace {

// Gentle gradients, which JPEG keeps well.
dib smoothPicture(int width, int height) {
    dib d = makeTestPicture(width, height, 24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rowAt(d, y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = std::uint8_t(40 + x * 4 + y);         // blue
            row[3 * x + 1] = std::uint8_t(200 - y * 3);        // green
            row[3 * x + 2] = std::uint8_t(90 + x * 2 + y * 2); // red
        }
    }
    return d;
}

// An 8-bit grey-ramp picture of gentle gradients.
dib greyPicture(int width, int height) {
    dib d = makeTestPicture(width, height, 8);
    setGreyRamp(d);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rowAt(d, y)[x] = std::uint8_t(30 + x * 5 + y * 3);
        }
    }
    return d;
}

QByteArray rgbPpm(int width, int height) {
    Picture p(smoothPicture(width, height));
    return writePpm(toRgb(p.d));
}

QByteArray greyPgm(int width, int height) {
    QByteArray out = QStringLiteral("P5\n%1 %2\n255\n").arg(width).arg(height).toLatin1();
    for (int i = 0; i < width * height; ++i) {
        out.append(char(20 + (i % width) * 3 + (i / width) * 2));
    }
    return out;
}

QString errorOf(const QByteArray& file, const Limits& limits = {}) {
    return decodeError(decodeJpeg, file, limits);
}

dib decoded(const QByteArray& file) {
    return decodePicture(decodeJpeg, file);
}

// Offset of the first SOF0 or SOF2 marker.
qsizetype sofAt(const QByteArray& file) {
    for (qsizetype i = 2; i + 9 < file.size(); ++i) {
        const auto marker = std::uint8_t(file[i + 1]);
        if (std::uint8_t(file[i]) == 0xff && (marker == 0xc0 || marker == 0xc2)) {
            return i;
        }
    }
    ADD_FAILURE() << "no SOF segment";
    return 0;
}

// The file with the width and height of its frame header replaced.
QByteArray withSize(QByteArray file, int width, int height) {
    const qsizetype at = sofAt(file);
    file[at + 5] = char(height >> 8);
    file[at + 6] = char(height);
    file[at + 7] = char(width >> 8);
    file[at + 8] = char(width);
    return file;
}

EncodeOptions quality(int q) {
    EncodeOptions options;
    options.jpegQuality = q;
    return options;
}

} // namespace

TEST(JpegRoundTrip, ColourStaysCloseAtEveryWidth) {
    for (const int width : kBoundaryWidths) {
        Picture original(smoothPicture(width, 11));
        Picture back(decoded(encode(encodeJpeg, original.d, quality(95))));
        EXPECT_EQ(DIBBitCount(back.d), 24);
        EXPECT_TRUE(closeColours(toRgb(original.d), toRgb(back.d), 6, 1.5)) << width;
    }
}

TEST(JpegRoundTrip, GreyRampPicturesStayGrey) {
    for (const int width : kBoundaryWidths) {
        Picture original(greyPicture(width, 9));
        const QByteArray file = encode(encodeJpeg, original.d, quality(95));
        Picture back(decoded(file));
        EXPECT_EQ(DIBBitCount(back.d), 8);
        EXPECT_TRUE(hasGreyRamp(back.d));
        EXPECT_TRUE(closeColours(toRgb(original.d), toRgb(back.d), 4, 1.0)) << width;
    }
    // Black-and-white and 16 greys are grey ramps too.
    for (const int bits : {1, 4}) {
        Picture original(makeTestPicture(9, 9, bits));
        setGreyRamp(original.d);
        Picture back(decoded(encode(encodeJpeg, original.d, quality(95))));
        EXPECT_EQ(DIBBitCount(back.d), 8) << bits;
        EXPECT_TRUE(closeColours(toRgb(original.d), toRgb(back.d), 60, 12.0)) << bits;
    }
}

TEST(JpegRoundTrip, ColourPalettesAreWrittenInColour) {
    for (const int bits : {1, 4, 8}) {
        Picture original(makeTestPicture(16, 16, bits));
        // One colour everywhere: JPEG keeps a flat area almost exactly.
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                putIndex(rowAt(original.d, y), bits, x, 1);
            }
        }
        Picture back(decoded(encode(encodeJpeg, original.d, quality(95))));
        EXPECT_EQ(DIBBitCount(back.d), 24);
        EXPECT_TRUE(closeColours(toRgb(original.d), toRgb(back.d), 3, 1.0)) << bits;
    }
}

TEST(JpegEncode, QualityIsClampedAndMatters) {
    Picture picture(makeTestPicture(33, 17, 24));
    const QByteArray lowest = encode(encodeJpeg, picture.d, quality(1));
    const QByteArray highest = encode(encodeJpeg, picture.d, quality(99));
    EXPECT_EQ(encode(encodeJpeg, picture.d, quality(-20)), lowest);
    EXPECT_EQ(encode(encodeJpeg, picture.d, quality(250)), highest);
    EXPECT_LT(lowest.size(), encode(encodeJpeg, picture.d, quality(50)).size());
    EXPECT_LT(encode(encodeJpeg, picture.d, quality(50)).size(), highest.size());
}

TEST(JpegTools, ToolsReadOurFiles) {
    Picture colour(smoothPicture(33, 9));
    const QByteArray colourFile = encode(encodeJpeg, colour.d, quality(95));
    Picture ours(decoded(colourFile));
    // The same library underneath: the tools must see what we see.
    EXPECT_TRUE(closeColours(
        toRgb(ours.d), readPnm(runTool(QStringLiteral("jpegtopnm"), {}, colourFile)), 1, 0.1));
    EXPECT_TRUE(closeColours(toRgb(ours.d), readWithImageMagick(colourFile, QStringLiteral("jpg")),
                             1, 0.1));
    Picture grey(greyPicture(31, 8));
    const QByteArray greyFile = encode(encodeJpeg, grey.d, quality(90));
    const QByteArray pnm = runTool(QStringLiteral("jpegtopnm"), {}, greyFile);
    EXPECT_TRUE(pnm.startsWith("P5")) << "a greyscale file";
    EXPECT_TRUE(closeColours(toRgb(grey.d), readPnm(pnm), 6, 1.5));
}

TEST(JpegTools, ToolFilesAreRead) {
    const QByteArray colour = runTool(QStringLiteral("pnmtojpeg"), {}, rgbPpm(33, 17));
    const QByteArray progressive =
        runTool(QStringLiteral("pnmtojpeg"), {"--progressive"}, rgbPpm(31, 9));
    const QByteArray grey = runTool(QStringLiteral("pnmtojpeg"), {}, greyPgm(9, 33));
    struct Case {
        QByteArray file;
        int bits;
    };
    for (const Case& c : {Case{colour, 24}, Case{progressive, 24}, Case{grey, 8}}) {
        const QByteArray& file = c.file;
        Picture ours(decoded(file));
        EXPECT_EQ(DIBBitCount(ours.d), c.bits);
        EXPECT_TRUE(closeColours(readPnm(runTool(QStringLiteral("jpegtopnm"), {}, file)),
                                 toRgb(ours.d), 1, 0.1));
    }
    Picture greyPicture(decoded(grey));
    EXPECT_TRUE(hasGreyRamp(greyPicture.d));
}

TEST(JpegTools, CmykFilesBecomeRgb) {
    const QString path = tempPath(QStringLiteral("jpeg-rgb.ppm"));
    writeFile(path, rgbPpm(17, 9));
    const QByteArray cmyk = runTool(QStringLiteral("convert"),
                                    {path, "-colorspace", "CMYK", "-quality", "98", "jpg:-"});
    ASSERT_TRUE(cmyk.contains("Adobe")) << "convert wrote no Adobe CMYK file";
    Picture ours(decoded(cmyk));
    EXPECT_EQ(DIBBitCount(ours.d), 24);
    EXPECT_TRUE(
        closeColours(readWithImageMagick(cmyk, QStringLiteral("jpg")), toRgb(ours.d), 3, 1.0));
}

TEST(JpegDamage, TruncationFailsCleanly) {
    Picture picture(smoothPicture(24, 16));
    const QByteArray baseline = encode(encodeJpeg, picture.d, quality(80));
    const QByteArray progressive =
        runTool(QStringLiteral("pnmtojpeg"), {"--progressive"}, rgbPpm(40, 24));
    for (const QByteArray& file : {baseline, progressive}) {
        const qsizetype step = file.size() > 1200 ? 3 : 1;
        for (qsizetype size = 0; size < file.size(); size += step) {
            ASSERT_EQ(errorOf(file.left(size)), damagedText()) << "cut at " << size;
        }
        ASSERT_EQ(errorOf(file.left(file.size() - 1)), damagedText());
        ASSERT_EQ(errorOf(file), QString());
    }
}

TEST(JpegDamage, HostileSizesAreRefusedFromTheHeader) {
    Picture picture(smoothPicture(8, 8));
    const QByteArray file = encode(encodeJpeg, picture.d, quality(80));
    EXPECT_EQ(errorOf(withSize(file, 65000, 65000)), tooLargeText());
    Limits small;
    small.maxPictureBytes = 1 << 20;
    EXPECT_EQ(errorOf(withSize(file, 1000, 1000), small), tooLargeText());
    EXPECT_EQ(errorOf(withSize(file, 640, 480)), damagedText()); // plausible, data missing
    EXPECT_EQ(errorOf(withSize(file, 0, 8)), damagedText());
    EXPECT_EQ(errorOf(QByteArray("\xff\xd8\xff\xd9", 4)), damagedText());
    // Processes libjpeg does not decode: 12-bit samples, lossless.
    QByteArray twelveBit = file;
    twelveBit[sofAt(file) + 4] = 12;
    EXPECT_EQ(errorOf(twelveBit), unsupportedText());
    QByteArray lossless = file;
    lossless[sofAt(file) + 1] = char(0xc3);
    EXPECT_EQ(errorOf(lossless), unsupportedText());
}

TEST(JpegEncode, FailedWritesAndStopsAreReported) {
    Picture picture(smoothPicture(33, 40));
    const QByteArray whole = encode(encodeJpeg, picture.d);
    ProgressReporter progress;
    for (const qint64 room : {qint64(0), qint64(100), whole.size() / 2, whole.size() - 1}) {
        ShortBuffer device(room);
        EXPECT_FALSE(encodeJpeg(picture.d, device, {}, progress)) << room;
    }
    ShortBuffer enough(whole.size());
    EXPECT_TRUE(encodeJpeg(picture.d, enough, {}, progress));
    EXPECT_EQ(enough.data(), whole);

    ProgressReporter stopping([](int) { return false; });
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    EXPECT_FALSE(encodeJpeg(picture.d, buffer, {}, stopping));
    Decoded stopped = decodeJpeg(
        Bytes(reinterpret_cast<const std::uint8_t*>(whole.constData()), std::size_t(whole.size())),
        {}, stopping);
    EXPECT_FALSE(stopped.ok());
    EXPECT_FALSE(stopped.error.isEmpty());
    FreeDIB(stopped.picture);
}
