#include "CodecTestSupport.h"
#include "Pictures.h"

#include <QBuffer>

#include <algorithm>

using namespace codectest;

namespace {

QString errorOf(const QByteArray& file, const Limits& limits = {}) {
    return decodeError(decodeTiff, file, limits);
}

dib decoded(const QByteArray& file) {
    return decodePicture(decodeTiff, file);
}

// --- hand-made files: directory first, then the pixels, so a cut file lacks pixel data ---

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint32_t kAtPixels = 0xffff0000; // replaced by the offset of the pixel data

struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t value;
};

void putLe(QByteArray& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(char(v >> (8 * i)));
    }
}

// A little-endian file. Tags point into `pixels` with kAtPixels + offset (colour maps follow the
// pixel rows there).
QByteArray tiffFile(std::vector<Entry> entries, const QByteArray& pixels) {
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    const auto pixelOffset = std::uint32_t(8 + 2 + 12 * entries.size() + 4);
    QByteArray out("II*\0", 4);
    putLe(out, 8, 4);
    putLe(out, std::uint32_t(entries.size()), 2);
    for (const Entry& e : entries) {
        putLe(out, e.tag, 2);
        putLe(out, e.type, 2);
        putLe(out, e.count, 4);
        putLe(out, e.value >= kAtPixels ? pixelOffset + (e.value - kAtPixels) : e.value, 4);
    }
    putLe(out, 0, 4);
    return out + pixels;
}

// Uncompressed one-strip image of one sample per pixel.
std::vector<Entry> stripEntries(std::uint32_t width, std::uint32_t height, int photometric,
                                std::uint32_t bits, std::uint32_t bytes) {
    return {{256, kLong, 1, width},
            {257, kLong, 1, height},
            {258, kShort, 1, bits},
            {259, kShort, 1, 1},
            {262, kShort, 1, std::uint32_t(photometric)},
            {273, kLong, 1, kAtPixels},
            {277, kShort, 1, 1},
            {278, kLong, 1, height},
            {279, kLong, 1, bytes}};
}

void replace(std::vector<Entry>& entries, std::uint16_t tag, std::uint32_t value) {
    for (Entry& e : entries) {
        if (e.tag == tag) {
            e.value = value;
        }
    }
}

QByteArray greyPixels(int width, int height) {
    QByteArray pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.append(char(i * 29));
    }
    return pixels;
}

// --- tool-made files ---

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
    for (int i = 0; i < width * height; ++i) {
        const int c = (i * 5 + i / width) % colours;
        image.rgb.insert(image.rgb.end(), {std::uint8_t(c), std::uint8_t(255 - c),
                                           std::uint8_t((c * 7 + 40) & 0xff)});
    }
    return image;
}

RgbImage colourImage(int width, int height) {
    Picture p(makeTestPicture(width, height, 24));
    return toRgb(p.d);
}

QByteArray toolFile(const QString& tool, const QByteArray& input, QStringList options) {
    const QString path = tempPath(QStringLiteral("tiff-input.pnm"));
    writeFile(path, input);
    options << path;
    return runTool(tool, options);
}

// ImageMagick's TIFF of `image`, with an alpha channel when `alpha` is given.
QByteArray magickTiff(const RgbImage& image, const QStringList& options,
                      const std::vector<int>& alpha = {}) {
    const QString path = tempPath(QStringLiteral("tiff-magick.ppm"));
    writeFile(path, writePpm(image));
    QStringList arguments{path};
    if (!alpha.empty()) {
        const QString alphaPath = tempPath(QStringLiteral("tiff-alpha.pgm"));
        writeFile(alphaPath, pgm(image.width, image.height, 255, alpha));
        arguments << alphaPath << "-alpha"
                  << "off"
                  << "-compose"
                  << "CopyOpacity"
                  << "-composite";
    }
    return runTool(QStringLiteral("convert"), arguments + options + QStringList{"tiff:-"});
}

QString photometricOf(const QByteArray& file) {
    return QString::fromLatin1(
        runTool(QStringLiteral("identify"), {"-format", "%[tiff:photometric]", "tiff:-"}, file));
}

} // namespace

TEST(TiffRoundTrip, KeepsIndexesAndPaletteAtEveryDepthAndWidth) {
    for (const int bits : kDepths) {
        for (const int width : kBoundaryWidths) {
            Picture original(makeTestPicture(width, 6, bits));
            Picture back(decoded(encode(encodeTiff, original.d)));
            EXPECT_TRUE(sameIndexesAndPalette(original.d, back.d))
                << bits << " bits, width " << width;
        }
    }
}

TEST(TiffRoundTrip, BlackAndWhiteIsWrittenMinIsBlack) {
    Picture picture(makeTestPicture(9, 5, 1));
    const QByteArray coloured = encode(encodeTiff, picture.d);
    EXPECT_EQ(photometricOf(coloured), "palette");
    setGreyRamp(picture.d); // black, white
    const QByteArray blackWhite = encode(encodeTiff, picture.d);
    EXPECT_EQ(photometricOf(blackWhite), "min-is-black");
    Picture back(decoded(blackWhite));
    EXPECT_TRUE(sameIndexesAndPalette(picture.d, back.d));
}

TEST(TiffTools, ToolsReadOurFiles) {
    for (const int bits : kDepths) {
        Picture original(makeTestPicture(33, 9, bits));
        const QByteArray file = encode(encodeTiff, original.d);
        const RgbImage expected = toRgb(original.d);
        EXPECT_TRUE(sameColours(expected, readWithImageMagick(file, QStringLiteral("tiff"))))
            << bits;
        EXPECT_TRUE(sameColours(expected, readPnm(runTool(QStringLiteral("tifftopnm"), {}, file))))
            << bits;
    }
}

TEST(TiffTools, PalettesOfEveryDepthKeepTheirColours) {
    struct Case {
        int colours, indexBits, pictureDepth;
    };
    for (const Case c : {Case{2, 1, 1}, Case{4, 2, 4}, Case{16, 4, 4}, Case{256, 8, 8}}) {
        const RgbImage image = indexedImage(33, 7, c.colours);
        const QByteArray file =
            toolFile(QStringLiteral("pnmtotiff"), writePpm(image),
                     {QStringLiteral("-indexbits=%1").arg(c.indexBits), "-lzw"});
        ASSERT_EQ(photometricOf(file), "palette");
        Picture back(decoded(file));
        EXPECT_EQ(DIBBitCount(back.d), c.pictureDepth);
        EXPECT_TRUE(sameColours(image, toRgb(back.d))) << c.colours;
    }
}

TEST(TiffTools, BlackAndWhiteKeepsItsBitsAndOrder) {
    QByteArray pbm("P4\n9 3\n");
    pbm.append(QByteArray("\xa5\x80\x3c\x00\xff\x80", 6));
    const RgbImage expected = readPnm(pbm);
    for (const char* option : {"-miniswhite", "-minisblack"}) {
        const QByteArray file = toolFile(QStringLiteral("pnmtotiff"), pbm, {option});
        Picture back(decoded(file));
        ASSERT_EQ(DIBBitCount(back.d), 1);
        EXPECT_TRUE(sameColours(expected, toRgb(back.d))) << option;
        // The bits stay as stored; the palette says what they mean.
        const bool whiteFirst = std::string(option) == "-miniswhite";
        EXPECT_EQ(back.d.pmi->colors()[0].rgbRed, whiteFirst ? 255 : 0) << option;
    }
}

TEST(TiffTools, GreyBecomesGreyRampPictures) {
    // Stored min-is-white grey is turned around so the picture gets the usual ramp.
    for (const char* photometric : {"-minisblack", "-miniswhite"}) {
        for (const int maxValue : {3, 15, 255, 65535}) {
            std::vector<int> samples;
            RgbImage expected{31, 5, {}};
            for (int i = 0; i < 31 * 5; ++i) {
                samples.push_back(int((std::int64_t(i) * 40503) % (maxValue + 1)));
                const auto grey = std::uint8_t((samples.back() * 255 + maxValue / 2) / maxValue);
                expected.rgb.insert(expected.rgb.end(), {grey, grey, grey});
            }
            const QByteArray file = toolFile(QStringLiteral("pnmtotiff"),
                                             pgm(31, 5, maxValue, samples), {"-lzw", photometric});
            Picture back(decoded(file));
            EXPECT_EQ(DIBBitCount(back.d), maxValue > 15 ? 8 : 4);
            EXPECT_EQ(hasGreyRamp(back.d), maxValue != 3);
            EXPECT_TRUE(closeColours(expected, toRgb(back.d), maxValue > 255 ? 1 : 0, 1.0))
                << photometric << " " << maxValue;
        }
    }
}

TEST(TiffTools, ColourInEveryArrangement) {
    const RgbImage image = colourImage(33, 9);
    QByteArray wide("P6\n33 9\n65535\n");
    for (const std::uint8_t v : image.rgb) {
        wide.append(char(v)).append(char(v)); // v * 257
    }
    const QByteArray files[] = {
        toolFile(QStringLiteral("pnmtotiff"), writePpm(image), {"-truecolor"}),
        toolFile(QStringLiteral("pnmtotiff"), wide, {"-truecolor", "-lzw"}),
        magickTiff(image, {"-interlace", "plane", "-compress", "lzw"}),
        magickTiff(image, {"-compress", "lzw", "-define", "tiff:predictor=2"}),
        magickTiff(image, {"-define", "tiff:tile-geometry=16x16"}), // through the RGBA reader
    };
    for (const QByteArray& file : files) {
        Picture back(decoded(file));
        EXPECT_EQ(DIBBitCount(back.d), 24);
        EXPECT_TRUE(sameColours(image, toRgb(back.d)));
    }
    const QByteArray jpeg = magickTiff(image, {"-compress", "jpeg", "-quality", "95"});
    Picture back(decoded(jpeg));
    EXPECT_TRUE(
        closeColours(readWithImageMagick(jpeg, QStringLiteral("tiff")), toRgb(back.d), 2, 0.5));
}

TEST(TiffTools, AlphaIsPutOntoWhite) {
    const RgbImage image = colourImage(9, 7);
    std::vector<int> alpha;
    RgbImage expected = image;
    for (int i = 0; i < 9 * 7; ++i) {
        alpha.push_back((i * 37) % 256);
        for (int c = 0; c < 3; ++c) {
            const std::size_t at = std::size_t(3 * i + c);
            expected.rgb[at] = onWhite(image.rgb[at], unsigned(alpha.back()));
        }
    }
    for (const char* kind : {"unassociated", "associated"}) {
        const QByteArray file =
            magickTiff(image, {"-define", QStringLiteral("tiff:alpha=") + kind}, alpha);
        Picture back(decoded(file));
        EXPECT_EQ(DIBBitCount(back.d), 24);
        // Premultiplied samples lose a little on the way.
        EXPECT_TRUE(closeColours(expected, toRgb(back.d), 2, 0.5)) << kind;
    }
}

TEST(TiffDamage, TruncationAtEveryOffsetFailsCleanly) {
    const QByteArray handMade = tiffFile(stripEntries(9, 7, 1, 8, 63), greyPixels(9, 7));
    ASSERT_EQ(errorOf(handMade), QString());
    Picture picture(makeTestPicture(9, 7, 4));
    for (const QByteArray& file : {handMade, encode(encodeTiff, picture.d)}) {
        for (qsizetype size = 0; size < file.size(); ++size) {
            ASSERT_EQ(errorOf(file.left(size)), damagedText()) << "cut at " << size;
        }
    }
    // ImageMagick puts the pixels first and tags libtiff can do without last: a cut file is
    // either refused or read whole.
    const QByteArray planar = magickTiff(colourImage(7, 5), {"-interlace", "plane"});
    Picture whole(decoded(planar));
    for (qsizetype size = 0; size < planar.size(); ++size) {
        Decoded cut = decode(decodeTiff, planar.left(size));
        const bool wholeOrRefused = cut.ok() ? bool(sameIndexesAndPalette(whole.d, cut.picture))
                                             : cut.error == damagedText();
        FreeDIB(cut.picture);
        ASSERT_TRUE(wholeOrRefused) << "cut at " << size;
    }
}

TEST(TiffDamage, HostileTagsAreRefused) {
    const QByteArray pixels = greyPixels(9, 7);
    auto withValue = [&](std::uint16_t tag, std::uint32_t value) {
        std::vector<Entry> entries = stripEntries(9, 7, 1, 8, 63);
        replace(entries, tag, value);
        return tiffFile(entries, pixels);
    };
    // Sizes far beyond the data: refused from the tags, before any pixel memory.
    std::vector<Entry> huge = stripEntries(60000, 60000, 1, 8, 63);
    EXPECT_EQ(errorOf(tiffFile(huge, pixels)), tooLargeText());
    Limits small;
    small.maxPictureBytes = 1 << 20;
    EXPECT_EQ(errorOf(tiffFile(stripEntries(2000, 2000, 1, 8, 63), pixels), small), tooLargeText());
    EXPECT_EQ(errorOf(tiffFile(stripEntries(900, 700, 1, 8, 63), pixels)), damagedText());
    EXPECT_EQ(errorOf(withValue(256, 0)), damagedText());
    // Pixel data outside the file, or partly beyond its end.
    EXPECT_EQ(errorOf(withValue(273, 100000)), damagedText());
    EXPECT_EQ(errorOf(withValue(273, kAtPixels + 40)), damagedText());
    // A count beyond the end is recomputed by libtiff when the pixels are all there.
    EXPECT_EQ(errorOf(withValue(279, 0x7fffffff)), QString());
    // Palette images of 4 bits without colour map, and with a map too short for the depth.
    std::vector<Entry> noMap = stripEntries(9, 7, 3, 4, 35);
    EXPECT_EQ(errorOf(tiffFile(noMap, pixels)), damagedText());
    noMap.push_back({320, kShort, 3 * 4, kAtPixels + 35});
    EXPECT_EQ(errorOf(tiffFile(noMap, pixels.left(35) + QByteArray(24, '\x7f'))), damagedText());
    // Rows per strip beyond the height or zero: whatever libtiff makes of it, no crash.
    const QString zeroRows = errorOf(withValue(278, 0));
    EXPECT_TRUE(zeroRows.isEmpty() || zeroRows == damagedText());
    EXPECT_EQ(errorOf(withValue(278, 1000000)), QString());
}

TEST(TiffHandMade, ColourMapsAndBottomUpRows) {
    // Two rows of 4-bit indexes 0..8 and 8..0; a colour map of 16 entries.
    const QByteArray pixels("\x01\x23\x45\x67\x80\x87\x65\x43\x21\x00", 10);
    for (const bool sixteenBit : {true, false}) {
        QByteArray map;
        for (int channel = 0; channel < 3; ++channel) {
            for (int i = 0; i < 16; ++i) {
                const int level = (i * 15 + channel * 40) & 0xff;
                putLe(map, std::uint32_t(sixteenBit ? level * 257 : level), 2);
            }
        }
        std::vector<Entry> entries = stripEntries(9, 2, 3, 4, 10);
        entries.push_back({320, kShort, 48, kAtPixels + 10});
        Picture back(decoded(tiffFile(entries, pixels + map)));
        ASSERT_EQ(DIBBitCount(back.d), 4);
        for (int i = 0; i < 16; ++i) {
            const RGBQUAD& c = back.d.pmi->colors()[i];
            EXPECT_EQ(c.rgbRed, (i * 15) & 0xff) << sixteenBit << " entry " << i;
            EXPECT_EQ(c.rgbBlue, (i * 15 + 80) & 0xff) << sixteenBit << " entry " << i;
        }
        EXPECT_EQ(getIndex(rowAt(back.d, 0), 4, 8), 8u);
        EXPECT_EQ(getIndex(rowAt(back.d, 1), 4, 0), 8u);

        entries.push_back({274, kShort, 1, 4}); // row 0 at the bottom
        Picture turned(decoded(tiffFile(entries, pixels + map)));
        ASSERT_TRUE(turned.d.poi);
        EXPECT_EQ(getIndex(rowAt(turned.d, 1), 4, 8), 8u);
        EXPECT_EQ(getIndex(rowAt(turned.d, 0), 4, 0), 8u);
    }
}

TEST(TiffEncode, FailedWritesAndStopsAreReported) {
    Picture picture(makeTestPicture(31, 40, 8));
    const QByteArray whole = encode(encodeTiff, picture.d);
    ProgressReporter progress;
    // The colour map and the directory come last; a failure there counts as well.
    for (const qint64 room : {qint64(0), qint64(8), whole.size() / 2, whole.size() - 1}) {
        ShortBuffer device(room);
        EXPECT_FALSE(encodeTiff(picture.d, device, {}, progress)) << room;
    }
    ShortBuffer enough(whole.size());
    EXPECT_TRUE(encodeTiff(picture.d, enough, {}, progress));
    EXPECT_EQ(enough.data(), whole);

    ProgressReporter stopping([](int) { return false; });
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    EXPECT_FALSE(encodeTiff(picture.d, buffer, {}, stopping));
    Decoded stopped = decodeTiff(
        Bytes(reinterpret_cast<const std::uint8_t*>(whole.constData()), std::size_t(whole.size())),
        {}, stopping);
    EXPECT_FALSE(stopped.ok());
    EXPECT_FALSE(stopped.error.isEmpty());
    FreeDIB(stopped.picture);
}

TEST(TiffEncode, WritesAfterWhatTheDeviceHoldsAlready) {
    Picture picture(makeTestPicture(9, 4, 24));
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    buffer.write("prefix");
    ProgressReporter progress;
    ASSERT_TRUE(encodeTiff(picture.d, buffer, {}, progress));
    EXPECT_TRUE(buffer.data().startsWith("prefix"));
    Picture back(decoded(buffer.data().mid(6)));
    EXPECT_TRUE(sameIndexesAndPalette(picture.d, back.d));
}
