#include "CodecTestSupport.h"
#include "Pictures.h"

#include "foundation/grafikrw3/grafikrw3.h"

#include <QBuffer>

using namespace codectest;

namespace {

std::uint32_t crc32(const QByteArray& bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= std::uint8_t(c);
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

QByteArray u32be(std::uint32_t v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(b, 4);
}

QByteArray chunk(const char* type, const QByteArray& data) {
    const QByteArray body = QByteArray(type) + data;
    return u32be(std::uint32_t(data.size())) + body + u32be(crc32(body));
}

// A PNG built from chunks; `rows` are the filtered rows (filter byte first).
QByteArray pngFile(std::uint32_t width, std::uint32_t height, int depth, int colourType,
                   const QByteArray& extraChunks, const QByteArray& rows) {
    const QByteArray ihdr =
        u32be(width) + u32be(height) + char(depth) + char(colourType) + QByteArray(3, '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + extraChunks +
           chunk("IDAT", qCompress(rows).mid(4)) + chunk("IEND", {});
}

std::uint32_t beAt(const QByteArray& b, int at) {
    return (std::uint32_t(std::uint8_t(b[at])) << 24) |
           (std::uint32_t(std::uint8_t(b[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(b[at + 2])) << 8) | std::uint8_t(b[at + 3]);
}

// PGM (P5) with any maximum value, samples row by row.
QByteArray pgm(int width, int height, int maxValue, const std::vector<int>& samples) {
    QByteArray out =
        QStringLiteral("P5\n%1 %2\n%3\n").arg(width).arg(height).arg(maxValue).toLatin1();
    for (const int s : samples) {
        if (maxValue > 255) {
            out.append(char(s >> 8));
        }
        out.append(char(s));
    }
    return out;
}

// An RGB image of `colours` distinct, non-grey colours.
RgbImage indexedImage(int width, int height, int colours) {
    RgbImage image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int i = (x * 3 + y * 5) % colours;
            image.rgb.insert(image.rgb.end(), {std::uint8_t(i), std::uint8_t(255 - i),
                                               std::uint8_t((i * 7 + 40) & 0xff)});
        }
    }
    return image;
}

QString errorOf(const QByteArray& file, const Limits& limits = {}) {
    return decodeError(decodePng, file, limits);
}

dib decoded(const QByteArray& file) {
    return decodePicture(decodePng, file);
}

std::vector<int> alphaRamp(int width, int height) {
    std::vector<int> alpha;
    for (int i = 0; i < width * height; ++i) {
        alpha.push_back((i * 37) % 256);
    }
    return alpha;
}

// pnmtopng's file of `input`; checks that the tool chose the depth and colour type wanted.
QByteArray toolPng(const QByteArray& input, QStringList options, int depth, int colourType) {
    const QString path = tempPath(QStringLiteral("png-input.pnm"));
    writeFile(path, input);
    options << path;
    const QByteArray file = runTool(QStringLiteral("pnmtopng"), options);
    EXPECT_GE(file.size(), 26);
    if (file.size() >= 26) {
        EXPECT_EQ(file[24], depth) << "pnmtopng wrote another depth";
        EXPECT_EQ(file[25], colourType) << "pnmtopng wrote another colour type";
    }
    return file;
}

} // namespace

TEST(PngRoundTrip, KeepsIndexesAndFullPaletteAtEveryDepthAndWidth) {
    for (const int bits : kDepths) {
        for (const int width : kBoundaryWidths) {
            Picture original(makeTestPicture(width, 5, bits));
            const QByteArray file = encode(encodePng, original.d);
            Picture back(decoded(file));
            EXPECT_TRUE(sameIndexesAndPalette(original.d, back.d))
                << bits << " bits, width " << width;
            ASSERT_GT(file.size(), 41);
            EXPECT_EQ(file[24], bits == 24 ? 8 : bits);
            EXPECT_EQ(file[25], bits == 24 ? 2 : 3);
            if (bits <= 8) {
                EXPECT_EQ(file.mid(37, 4), "PLTE");
                EXPECT_EQ(beAt(file, 33), 3u << bits) << "the whole colour table";
            }
        }
    }
}

TEST(PngTools, ToolsReadOurFiles) {
    for (const int bits : kDepths) {
        Picture original(makeTestPicture(33, 9, bits));
        const QByteArray file = encode(encodePng, original.d);
        const RgbImage expected = toRgb(original.d);
        EXPECT_TRUE(sameColours(expected, readWithImageMagick(file, QStringLiteral("png"))))
            << bits;
        EXPECT_TRUE(sameColours(expected, readPnm(runTool(QStringLiteral("pngtopnm"), {}, file))))
            << bits;
    }
}

TEST(PngTools, PalettesOfEveryDepthKeepTheirColours) {
    struct Case {
        int colours, fileDepth, pictureDepth;
    };
    for (const Case c : {Case{2, 1, 1}, Case{4, 2, 4}, Case{16, 4, 4}, Case{256, 8, 8}}) {
        for (const QStringList& options : {QStringList{}, QStringList{"-interlace"}}) {
            const RgbImage image = indexedImage(33, 7, c.colours);
            Picture back(decoded(toolPng(writePpm(image), options, c.fileDepth, 3)));
            EXPECT_EQ(DIBBitCount(back.d), c.pictureDepth);
            EXPECT_TRUE(sameColours(image, toRgb(back.d))) << c.colours;
        }
    }
}

TEST(PngTools, GreyBecomesGreyRampPictures) {
    struct Case {
        int maxValue, fileDepth, pictureDepth;
    };
    for (const Case c :
         {Case{1, 1, 1}, Case{3, 2, 4}, Case{15, 4, 4}, Case{255, 8, 8}, Case{65535, 16, 8}}) {
        for (const QStringList& options : {QStringList{}, QStringList{"-interlace"}}) {
            const int width = 31, height = 6;
            std::vector<int> samples;
            RgbImage expected{width, height, {}};
            for (int i = 0; i < width * height; ++i) {
                const int v = int((std::int64_t(i) * 7919) % (c.maxValue + 1));
                samples.push_back(v);
                const auto grey = std::uint8_t((v * 255 + c.maxValue / 2) / c.maxValue);
                expected.rgb.insert(expected.rgb.end(), {grey, grey, grey});
            }
            Picture back(
                decoded(toolPng(pgm(width, height, c.maxValue, samples), options, c.fileDepth, 0)));
            EXPECT_EQ(DIBBitCount(back.d), c.pictureDepth) << c.maxValue;
            EXPECT_TRUE(closeColours(expected, toRgb(back.d), c.maxValue > 255 ? 1 : 0, 1))
                << c.maxValue;
            if (c.fileDepth != 2) {
                EXPECT_TRUE(hasGreyRamp(back.d)) << c.maxValue;
            }
        }
    }
}

TEST(PngTools, SixteenBitColourAndInterlacedColour) {
    Picture source(makeTestPicture(33, 9, 24));
    const RgbImage image = toRgb(source.d);
    QByteArray wide = QByteArray("P6\n33 9\n65535\n");
    for (const std::uint8_t v : image.rgb) {
        wide.append(char(v)).append(char(v)); // v * 257
    }
    Picture sixteen(decoded(toolPng(wide, {"-force"}, 16, 2)));
    EXPECT_EQ(DIBBitCount(sixteen.d), 24);
    EXPECT_TRUE(sameColours(image, toRgb(sixteen.d)));
    Picture interlaced(decoded(toolPng(writePpm(image), {"-force", "-interlace"}, 8, 2)));
    EXPECT_TRUE(sameColours(image, toRgb(interlaced.d)));
}

TEST(PngTools, TransparencyIsPutOntoWhite) {
    const int width = 9, height = 8;
    const std::vector<int> alpha = alphaRamp(width, height);
    const QString alphaPath = tempPath(QStringLiteral("png-alpha.pgm"));
    writeFile(alphaPath, pgm(width, height, 255, alpha));
    // -force: a file with an alpha channel, not a palette with transparency.
    const QStringList alphaOption{QStringLiteral("-force"), QStringLiteral("-alpha=") + alphaPath};

    Picture source(makeTestPicture(width, height, 24));
    const RgbImage colour = toRgb(source.d);
    RgbImage expected = colour;
    for (std::size_t i = 0; i < expected.rgb.size(); ++i) {
        expected.rgb[i] = onWhite(colour.rgb[i], unsigned(alpha[i / 3]));
    }
    for (const QStringList& options : {alphaOption, alphaOption + QStringList{"-interlace"}}) {
        Picture rgba(decoded(toolPng(writePpm(colour), options, 8, 6)));
        EXPECT_EQ(DIBBitCount(rgba.d), 24);
        EXPECT_TRUE(sameColours(expected, toRgb(rgba.d)));
    }

    std::vector<int> greys;
    RgbImage greyExpected{width, height, {}};
    for (int i = 0; i < width * height; ++i) {
        greys.push_back((i * 53) % 256);
        const std::uint8_t g = onWhite(unsigned(greys.back()), unsigned(alpha[std::size_t(i)]));
        greyExpected.rgb.insert(greyExpected.rgb.end(), {g, g, g});
    }
    Picture greyAlpha(decoded(toolPng(pgm(width, height, 255, greys), alphaOption, 8, 4)));
    EXPECT_EQ(DIBBitCount(greyAlpha.d), 8);
    EXPECT_TRUE(hasGreyRamp(greyAlpha.d));
    EXPECT_TRUE(sameColours(greyExpected, toRgb(greyAlpha.d)));

    // One transparent palette entry: its pixels turn white, the others stay.
    const RgbImage indexed = indexedImage(width, height, 4);
    Picture keyed(decoded(toolPng(writePpm(indexed), {"-transparent=rgb:03/fc/3d"}, 2, 3)));
    RgbImage keyedExpected = indexed;
    for (std::size_t i = 0; i < keyedExpected.rgb.size(); i += 3) {
        if (keyedExpected.rgb[i] == 3) {
            keyedExpected.rgb[i] = keyedExpected.rgb[i + 1] = keyedExpected.rgb[i + 2] = 255;
        }
    }
    EXPECT_EQ(DIBBitCount(keyed.d), 4);
    EXPECT_TRUE(sameColours(keyedExpected, toRgb(keyed.d)));
}

TEST(PngDamage, TruncationAtEveryOffsetFailsCleanly) {
    Picture palette(makeTestPicture(9, 7, 8));
    Picture colour(makeTestPicture(7, 5, 24));
    const QByteArray interlaced =
        runTool(QStringLiteral("pnmtopng"), {"-interlace"}, writePpm(toRgb(colour.d)));
    for (const QByteArray& file : {encode(encodePng, palette.d), interlaced}) {
        for (qsizetype size = 0; size < file.size(); ++size) {
            ASSERT_EQ(errorOf(file.left(size)), damagedText()) << "cut at " << size;
        }
    }
}

TEST(PngDamage, HostileHeadersAreRefused) {
    const QByteArray row("\0\x12\x34\x56", 4);
    // Sizes far beyond the data: refused from the header, before any pixel memory.
    EXPECT_EQ(errorOf(pngFile(40000, 40000, 8, 2, {}, row)), tooLargeText());
    Limits small;
    small.maxPictureBytes = 1 << 20;
    EXPECT_EQ(errorOf(pngFile(1000, 1000, 8, 2, {}, row), small), tooLargeText());
    // Plausible size, missing rows.
    EXPECT_EQ(errorOf(pngFile(300, 200, 8, 2, {}, row)), damagedText());
    for (const std::uint32_t side : {0u, 0x7fffffffu, 0x80000000u}) {
        EXPECT_EQ(errorOf(pngFile(side, 1, 8, 2, {}, row)), damagedText());
    }
    // Colour types and depths PNG does not have.
    EXPECT_EQ(errorOf(pngFile(1, 1, 16, 3, {}, row)), damagedText());
    EXPECT_EQ(errorOf(pngFile(1, 1, 3, 0, {}, row)), damagedText());
    // Palette image without palette.
    EXPECT_EQ(errorOf(pngFile(1, 1, 8, 3, {}, QByteArray(2, '\0'))), damagedText());
}

TEST(PngDamage, OversizedPaletteAndTransparencyStayWithinTheTable) {
    QByteArray entries;
    for (int i = 0; i < 256; ++i) {
        entries += char(i) + QByteArray(1, char(255 - i)) + char(7);
    }
    const QByteArray alpha(300, '\x80');
    const QByteArray rows("\0\xa5", 2); // 8 pixels of 1 bit: 1,0,1,0,0,1,0,1
    // libpng drops the palette entries beyond 2^depth and the oversized tRNS as a whole.
    Picture back(decoded(pngFile(8, 1, 1, 3, chunk("PLTE", entries) + chunk("tRNS", alpha), rows)));
    ASSERT_EQ(DIBBitCount(back.d), 1);
    EXPECT_EQ(grafikrw3::getpixel(back.d, 0, 0), 1u);
    EXPECT_EQ(grafikrw3::getpixel(back.d, 1, 0), 0u);
    EXPECT_EQ(back.d.pmi->colors()[1].rgbRed, 1);
}

TEST(PngEncode, FailedWritesAndStopsAreReported) {
    Picture picture(makeTestPicture(31, 20, 24));
    const QByteArray whole = encode(encodePng, picture.d);
    ProgressReporter progress;
    for (const qint64 room : {qint64(0), qint64(30), whole.size() / 2, whole.size() - 1}) {
        ShortBuffer device(room);
        EXPECT_FALSE(encodePng(picture.d, device, {}, progress)) << room;
    }
    ShortBuffer enough(whole.size());
    EXPECT_TRUE(encodePng(picture.d, enough, {}, progress));
    EXPECT_EQ(enough.data(), whole);

    ProgressReporter stopping([](int) { return false; });
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    EXPECT_FALSE(encodePng(picture.d, buffer, {}, stopping));
    Decoded stopped = decodePng(
        Bytes(reinterpret_cast<const std::uint8_t*>(whole.constData()), std::size_t(whole.size())),
        {}, stopping);
    EXPECT_FALSE(stopped.ok());
    EXPECT_FALSE(stopped.error.isEmpty());
    FreeDIB(stopped.picture);
}
