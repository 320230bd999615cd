#include "CodecTestSupport.h"
#include "Pictures.h"

#include <QBuffer>

using namespace codectest;

namespace {

constexpr int kFooterBytes = 26;

struct TgaHeader {
    int idLength = 0;
    int mapType = 0;
    int imageType = 2;
    int mapFirst = 0, mapLength = 0, mapEntryBits = 0;
    int width = 1, height = 1;
    int pixelBits = 24;
    int descriptor = 0;

    QByteArray build() const {
        QByteArray h(18, '\0');
        h[0] = char(idLength);
        h[1] = char(mapType);
        h[2] = char(imageType);
        auto put16 = [&h](int at, int v) {
            h[at] = char(v & 0xff);
            h[at + 1] = char(v >> 8);
        };
        put16(3, mapFirst);
        put16(5, mapLength);
        h[7] = char(mapEntryBits);
        put16(12, width);
        put16(14, height);
        h[16] = char(pixelBits);
        h[17] = char(descriptor);
        return h;
    }
};

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(char(v));
    }
    return out;
}

Decoded decodeBytes(const QByteArray& file, std::int64_t limit = 0x7fffffff) {
    Limits limits;
    limits.maxPictureBytes = limit;
    return decode(decodeTga, file, limits);
}

std::vector<std::uint8_t> decodedColours(const QByteArray& file) {
    Picture p(decodeBytes(file).picture);
    EXPECT_TRUE(p.d.poi);
    return p.d.poi ? toRgb(p.d).rgb : std::vector<std::uint8_t>{};
}

// ImageMagick 6 keeps a Targa file's rows in stored order unless told to apply the origin.
RgbImage readWithImageMagickOriented(const QByteArray& file) {
    return readPnm(runTool("convert",
                           {"TGA:-", "-auto-orient", "-background", "white", "-alpha", "remove",
                            "-depth", "8", "ppm:-"},
                           file));
}

QString errorOf(const QByteArray& file, std::int64_t limit = 0x7fffffff) {
    Decoded result = decodeBytes(file, limit);
    FreeDIB(result.picture);
    return result.error;
}

} // namespace

TEST(TgaRoundTrip, EveryDepthAndBoundaryWidth) {
    for (int bits : kDepths) {
        for (int width : kBoundaryWidths) {
            for (int height : {1, 3}) {
                Picture original(makeTestPicture(width, height, bits));
                const QByteArray file = encode(encodeTga, original.d);
                EXPECT_EQ(file[2], bits == 24 ? 2 : 1);
                EXPECT_EQ(file[17], 0) << "bottom-left origin, no alpha";
                EXPECT_TRUE(file.endsWith(QByteArray("TRUEVISION-XFILE.", 18)));
                Picture back(decodeBytes(file).picture);
                ASSERT_TRUE(back.d.poi);
                if (bits >= 8) {
                    EXPECT_TRUE(sameIndexesAndPalette(original.d, back.d))
                        << bits << " bits, width " << width;
                } else {
                    EXPECT_EQ(DIBBitCount(back.d), 8);
                    EXPECT_TRUE(sameColours(toRgb(original.d), toRgb(back.d)))
                        << bits << " bits, width " << width;
                }
            }
        }
    }
}

TEST(TgaRoundTrip, FailedWriteIsReported) {
    Picture original(makeTestPicture(9, 3, 24));
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    ProgressReporter progress;
    EXPECT_FALSE(encodeTga(original.d, readOnly, {}, progress));
}

TEST(TgaTools, OurFilesReadByImageMagickAndNetpbm) {
    for (int bits : kDepths) {
        Picture original(makeTestPicture(33, 5, bits));
        const QByteArray file = encode(encodeTga, original.d);
        EXPECT_TRUE(sameColours(toRgb(original.d), readWithImageMagickOriented(file))) << bits;
        EXPECT_TRUE(sameColours(toRgb(original.d), readPnm(runTool("tgatoppm", {}, file)))) << bits;
    }
}

TEST(TgaTools, ToolFilesReadByUs) {
    Picture colours(makeTestPicture(33, 5, 24));
    Picture paletted(makeTestPicture(33, 5, 8));
    const QString source = tempPath("tga-source.ppm");
    struct Case {
        const dib* picture;
        QString program;
        QStringList arguments;
        int depth; // of the picture we read
    };
    const QStringList rle = {"-compress", "RLE"};
    const QStringList alpha = {"-alpha", "set", "-channel", "A", "-fx", "(i+j)/40", "+channel"};
    const Case cases[] = {
        {&paletted.d, "convert", {"-type", "palette"}, 8},
        {&paletted.d, "convert", QStringList{"-type", "palette"} + rle, 8},
        {&colours.d, "convert", {"-type", "truecolor"}, 24},
        {&colours.d, "convert", QStringList{"-type", "truecolor"} + rle, 24},
        {&colours.d, "convert", {"-type", "grayscale"}, 8},
        {&colours.d, "convert", QStringList{"-type", "grayscale"} + rle, 8},
        {&colours.d, "convert", alpha, 24},
        {&colours.d, "convert", alpha + rle, 24},
        {&paletted.d, "pamtotga", {"-cmap", "-name=knit"}, 8},
        {&colours.d, "pamtotga", {"-rgb", "-norle"}, 24},
        {&colours.d, "pamtotga", {"-rgb"}, 24},
    };
    for (const Case& c : cases) {
        writeFile(source, writePpm(toRgb(*c.picture)));
        const QByteArray file =
            c.program == "convert"
                ? runTool("convert", QStringList{source} + c.arguments + QStringList{"TGA:-"})
                : runTool(c.program, c.arguments + QStringList{source});
        const RgbImage expected = readWithImageMagickOriented(file);
        Picture back(decodeBytes(file).picture);
        ASSERT_TRUE(back.d.poi) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(DIBBitCount(back.d), c.depth);
        EXPECT_TRUE(closeColours(expected, toRgb(back.d), 1, 0.5))
            << c.program.toStdString() << " " << c.arguments.join(' ').toStdString();
    }
}

TEST(TgaHandMade, VariantsOurWriterNeverMakes) {
    // 16 bits with one attribute bit: a clear pixel goes white...
    TgaHeader sixteen{.width = 2, .pixelBits = 16, .descriptor = 1};
    EXPECT_EQ(decodedColours(sixteen.build() + bytes({0x00, 0x7c, 0xe0, 0x83})),
              (std::vector<std::uint8_t>{255, 255, 255, 0, 255, 0}));
    // ...unless no pixel is opaque: then the bit is not used.
    EXPECT_EQ(decodedColours(sixteen.build() + bytes({0x00, 0x7c, 0xe0, 0x03})),
              (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0}));
    TgaHeader zeroAlpha{.width = 1, .pixelBits = 32, .descriptor = 8};
    EXPECT_EQ(decodedColours(zeroAlpha.build() + bytes({1, 2, 3, 0})),
              (std::vector<std::uint8_t>{3, 2, 1}));
    // Top-left origin, right to left, an image ID, and a run packet across rows.
    TgaHeader flipped{.idLength = 3,
                      .imageType = 11,
                      .width = 2,
                      .height = 2,
                      .pixelBits = 8,
                      .descriptor = 0x30};
    Picture f(decodeBytes(flipped.build() + "abc" + bytes({0x82, 10, 0x00, 20})).picture);
    ASSERT_TRUE(f.d.poi);
    EXPECT_TRUE(hasGreyRamp(f.d));
    EXPECT_EQ(rowAt(f.d, 0)[0], 10);
    EXPECT_EQ(rowAt(f.d, 0)[1], 10);
    EXPECT_EQ(rowAt(f.d, 1)[0], 20);
    EXPECT_EQ(rowAt(f.d, 1)[1], 10);
    // A map starting at entry 2 with 15-bit entries; 32-bit entries with alpha.
    TgaHeader offsetMap{.mapType = 1,
                        .imageType = 1,
                        .mapFirst = 2,
                        .mapLength = 1,
                        .mapEntryBits = 15,
                        .width = 2,
                        .pixelBits = 8};
    EXPECT_EQ(decodedColours(offsetMap.build() + bytes({0x1f, 0x00, 2, 0})),
              (std::vector<std::uint8_t>{0, 0, 255, 0, 0, 0}));
    TgaHeader alphaMap{.mapType = 1,
                       .imageType = 1,
                       .mapLength = 2,
                       .mapEntryBits = 32,
                       .width = 2,
                       .pixelBits = 8};
    EXPECT_EQ(decodedColours(alphaMap.build() + bytes({0, 0, 0, 0, 0, 0, 0, 255, 0, 1})),
              (std::vector<std::uint8_t>{255, 255, 255, 0, 0, 0}));
}

TEST(TgaDamaged, TruncationAtEveryOffset) {
    std::vector<std::pair<QByteArray, qsizetype>> files; // file, end of its pixel data
    for (int bits : {8, 24}) {
        Picture original(makeTestPicture(9, 3, bits));
        const QByteArray file = encode(encodeTga, original.d);
        files.emplace_back(file, file.size() - kFooterBytes);
    }
    const QByteArray rle = TgaHeader{.imageType = 10, .width = 3, .height = 2}.build() +
                           bytes({0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9, 0x81, 0, 0, 0});
    files.emplace_back(rle, rle.size());
    for (const auto& [file, pixelEnd] : files) {
        Picture whole(decodeBytes(file).picture);
        ASSERT_TRUE(whole.d.poi);
        for (qsizetype cut = 0; cut < file.size(); ++cut) {
            const Decoded result = decodeBytes(file.left(cut));
            Picture got(result.picture);
            if (got.d.poi) {
                EXPECT_GE(cut, pixelEnd);
                EXPECT_TRUE(sameIndexesAndPalette(whole.d, got.d)) << "cut at " << cut;
            } else {
                EXPECT_EQ(result.error, damagedText()) << "cut at " << cut;
            }
        }
    }
}

TEST(TgaDamaged, HostileHeadersAndOtherFiles) {
    const QByteArray pixels(64, '\x11');
    EXPECT_EQ(errorOf(TgaHeader{.width = 65535, .height = 65535}.build() + pixels), damagedText());
    EXPECT_EQ(errorOf(TgaHeader{.imageType = 10, .width = 65535, .height = 65535}.build() + pixels),
              damagedText());
    EXPECT_EQ(errorOf(TgaHeader{.width = 0}.build() + pixels), damagedText());
    EXPECT_EQ(errorOf(TgaHeader{.imageType = 0}.build() + pixels), damagedText());
    EXPECT_EQ(errorOf(TgaHeader{.imageType = 4}.build() + pixels), damagedText());
    EXPECT_EQ(errorOf(TgaHeader{.mapType = 2}.build() + pixels), damagedText());
    EXPECT_EQ(errorOf(TgaHeader{.pixelBits = 7}.build() + pixels), damagedText());
    EXPECT_EQ(errorOf(TgaHeader{.descriptor = 0x40}.build() + pixels), unsupportedText());
    EXPECT_EQ(errorOf(TgaHeader{.imageType = 1, .pixelBits = 8}.build() + pixels), damagedText())
        << "mapped without a map";
    EXPECT_EQ(
        errorOf(
            TgaHeader{
                .mapType = 1, .imageType = 1, .mapLength = 300, .mapEntryBits = 24, .pixelBits = 8}
                .build() +
            QByteArray(1000, '\0')),
        unsupportedText());
    EXPECT_EQ(
        errorOf(
            TgaHeader{
                .mapType = 1, .imageType = 1, .mapLength = 2, .mapEntryBits = 24, .pixelBits = 16}
                .build() +
            pixels),
        unsupportedText());
    // Map and image ID beyond the end of the file.
    EXPECT_EQ(
        errorOf(
            TgaHeader{
                .mapType = 1, .imageType = 1, .mapLength = 256, .mapEntryBits = 32, .pixelBits = 8}
                .build() +
            pixels),
        damagedText());
    EXPECT_EQ(errorOf(TgaHeader{.idLength = 255}.build() + pixels), damagedText());
    EXPECT_FALSE(errorOf("Strickmuster: zwei rechts, zwei links, immer wiederholen.").isEmpty());
    EXPECT_EQ(
        errorOf(TgaHeader{.width = 64, .height = 64}.build() + QByteArray(64 * 64 * 3, 0), 1000),
        tooLargeText());
}
