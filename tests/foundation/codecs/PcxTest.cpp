#include "CodecTestSupport.h"
#include "Pictures.h"

#include <QBuffer>

using namespace codectest;

namespace {

struct PcxHeader {
    int version = 5;
    int encoding = 1;
    int bits = 8;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int planes = 1;
    int bytesPerLine = 2;
    QByteArray palette{}; // up to 48 bytes

    QByteArray build() const {
        QByteArray h(128, '\0');
        h[0] = 0x0a;
        h[1] = char(version);
        h[2] = char(encoding);
        h[3] = char(bits);
        const int words[] = {xMin, yMin, xMax, yMax};
        for (int i = 0; i < 4; ++i) {
            h[4 + 2 * i] = char(words[i] & 0xff);
            h[5 + 2 * i] = char(words[i] >> 8);
        }
        h.replace(16, palette.size(), palette);
        h[65] = char(planes);
        h[66] = char(bytesPerLine & 0xff);
        h[67] = char(bytesPerLine >> 8);
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
    return decode(decodePcx, file, limits);
}

// The same picture with only `count` of its colours in use.
dib withColours(int width, int height, int count) {
    dib d = makeTestPicture(width, height, 8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rowAt(d, y)[x] = std::uint8_t(rowAt(d, y)[x] % count);
        }
    }
    return d;
}

bool sameIndexes(const dib& a, const dib& b) {
    if (DIBBitCount(a) != DIBBitCount(b) || DIBWidth(a) != DIBWidth(b) ||
        DIBHeight(a) != DIBHeight(b)) {
        return false;
    }
    for (int y = 0; y < DIBHeight(a); ++y) {
        for (int x = 0; x < DIBWidth(a); ++x) {
            if (getIndex(rowAt(a, y), DIBBitCount(a), x) !=
                getIndex(rowAt(b, y), DIBBitCount(b), x)) {
                return false;
            }
        }
    }
    return true;
}

RgbImage decodedColours(const QByteArray& file) {
    Picture p(decodeBytes(file).picture);
    EXPECT_TRUE(p.d.poi);
    return p.d.poi ? toRgb(p.d) : RgbImage{};
}

} // namespace

TEST(PcxRoundTrip, EveryDepthAndBoundaryWidth) {
    for (int bits : kDepths) {
        for (int width : kBoundaryWidths) {
            for (int height : {1, 3}) {
                Picture original(makeTestPicture(width, height, bits));
                const QByteArray file = encode(encodePcx, original.d);
                const int planes = bits == 4 ? 4 : bits == 24 ? 3 : 1;
                EXPECT_EQ(file[1], 5);
                EXPECT_EQ(file[3], bits <= 4 ? 1 : 8);
                EXPECT_EQ(file[65], planes);
                EXPECT_EQ(file[66] & 1, 0) << "odd bytes per line";
                Picture back(decodeBytes(file).picture);
                EXPECT_TRUE(sameIndexesAndPalette(original.d, back.d))
                    << bits << " bits, width " << width;
            }
        }
    }
}

TEST(PcxRoundTrip, FailedWriteIsReported) {
    Picture original(makeTestPicture(9, 3, 8));
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    ProgressReporter progress;
    EXPECT_FALSE(encodePcx(original.d, readOnly, {}, progress));
}

TEST(PcxTools, OurFilesReadByImageMagickAndNetpbm) {
    for (int bits : kDepths) {
        Picture original(makeTestPicture(33, 5, bits));
        const QByteArray file = encode(encodePcx, original.d);
        // ImageMagick 6 shows 1-bit files with bit 0 white and bit 1 black, palette or not.
        if (bits != 1) {
            EXPECT_TRUE(sameColours(toRgb(original.d), readWithImageMagick(file, "PCX"))) << bits;
        }
        EXPECT_TRUE(sameColours(toRgb(original.d), readPnm(runTool("pcxtoppm", {}, file)))) << bits;
    }
}

TEST(PcxTools, NetpbmFilesReadByUs) {
    struct Case {
        int colours;
        QStringList options;
        int planes, bits; // as netpbm writes them
    };
    const Case cases[] = {
        {2, {}, 1, 1},           {4, {"-packed"}, 1, 2}, {6, {}, 3, 1},   {16, {}, 4, 1},
        {16, {"-packed"}, 1, 4}, {16, {"-8bit"}, 1, 8},  {256, {}, 1, 8}, {256, {"-24bit"}, 3, 8},
    };
    for (const Case& c : cases) {
        Picture original(withColours(33, 5, c.colours));
        const QByteArray file = runTool("ppmtopcx", c.options, writePpm(toRgb(original.d)));
        ASSERT_GT(file.size(), 128);
        EXPECT_EQ(file[65], c.planes) << c.colours;
        EXPECT_EQ(file[3], c.bits) << c.colours;
        EXPECT_TRUE(sameColours(toRgb(original.d), decodedColours(file)))
            << c.colours << " colours " << c.options.join(' ').toStdString();
    }
}

TEST(PcxTools, ImageMagickFilesReadByUs) {
    Picture colours(makeTestPicture(33, 5, 24));
    Picture paletted(makeTestPicture(33, 5, 8));
    const QString source = tempPath("pcx-source.ppm");
    struct Case {
        const dib* picture;
        QStringList arguments;
    };
    const Case cases[] = {
        {&paletted.d, {"-type", "palette", "PCX:-"}},
        {&colours.d, {"-type", "truecolor", "PCX:-"}},
        {&colours.d, {"-alpha", "set", "-channel", "A", "-fx", "(i+j)/40", "+channel", "PCX:-"}},
    };
    for (const Case& c : cases) {
        writeFile(source, writePpm(toRgb(*c.picture)));
        const QByteArray file = runTool("convert", QStringList{source} + c.arguments);
        const RgbImage expected = readPnm(runTool(
            "convert",
            {"PCX:-", "-background", "white", "-alpha", "remove", "-depth", "8", "ppm:-"}, file));
        EXPECT_TRUE(closeColours(expected, decodedColours(file), 1, 0.5))
            << c.arguments.join(' ').toStdString();
    }
}

TEST(PcxHandMade, PalettesAndLayoutsOurWriterNeverMakes) {
    // 1 bit with a zero header palette: black and white.
    PcxHeader mono{.bits = 1, .xMax = 7, .bytesPerLine = 2};
    EXPECT_EQ(
        decodedColours(mono.build() + bytes({0x5f, 0})).rgb,
        (std::vector<std::uint8_t>{0,   0,   0,   255, 255, 255, 0,   0,   0,   255, 255, 255,
                                   255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}));
    // Version 3 planar: the standard EGA colours whatever the header says.
    PcxHeader ega{.version = 3,
                  .bits = 1,
                  .xMax = 1,
                  .planes = 4,
                  .bytesPerLine = 2,
                  .palette = QByteArray(48, '\x33')};
    EXPECT_EQ(decodedColours(ega.build() + bytes({0x40, 0, 0, 0, 0x80, 0, 0x40, 0})).rgb,
              (std::vector<std::uint8_t>{0xaa, 0x00, 0x00, 0x55, 0x55, 0xff})); // 4 and 9
    // 8 bits without the trailing palette: grey; uncompressed, window away from 0,
    // odd line length wider than the picture.
    PcxHeader grey{
        .encoding = 0, .xMin = 10, .yMin = 20, .xMax = 11, .yMax = 21, .bytesPerLine = 3};
    Picture g(decodeBytes(grey.build() + bytes({1, 0xc5, 9, 200, 3, 9})).picture);
    ASSERT_TRUE(g.d.poi);
    EXPECT_TRUE(hasGreyRamp(g.d));
    EXPECT_EQ(rowAt(g.d, 0)[1], 0xc5);
    EXPECT_EQ(rowAt(g.d, 1)[0], 200);
    // A run that goes on into the next scan line.
    PcxHeader crossing{.xMax = 1, .yMax = 1, .bytesPerLine = 2};
    Picture c(decodeBytes(crossing.build() + bytes({0xc3, 7, 8})).picture);
    ASSERT_TRUE(c.d.poi);
    EXPECT_EQ(rowAt(c.d, 1)[0], 7);
    EXPECT_EQ(rowAt(c.d, 1)[1], 8);
}

TEST(PcxDamaged, TruncationAtEveryOffset) {
    for (int bits : kDepths) {
        Picture original(makeTestPicture(9, 3, bits));
        const QByteArray file = encode(encodePcx, original.d);
        const qsizetype pixelEnd = file.size() - (bits == 8 ? 769 : 0);
        for (qsizetype cut = 0; cut < file.size(); ++cut) {
            const Decoded result = decodeBytes(file.left(cut));
            Picture got(result.picture);
            if (got.d.poi) {
                // Only the trailing palette may be missing, which leaves grey.
                EXPECT_GE(cut, pixelEnd) << bits;
                EXPECT_TRUE(sameIndexes(original.d, got.d)) << bits << " cut at " << cut;
            } else {
                EXPECT_EQ(result.error, damagedText()) << bits << " cut at " << cut;
            }
        }
    }
}

TEST(PcxDamaged, HostileHeaders) {
    auto errorOf = [](const PcxHeader& h, const QByteArray& body = QByteArray(64, '\xc1'),
                      std::int64_t limit = 0x7fffffff) {
        Decoded result = decodeBytes(h.build() + body, limit);
        FreeDIB(result.picture);
        return result.error;
    };
    EXPECT_EQ(errorOf({.xMax = 65535, .yMax = 65535, .bytesPerLine = 65535}), damagedText());
    EXPECT_EQ(errorOf({.xMax = 9, .bytesPerLine = 9}), damagedText()) << "line shorter than width";
    EXPECT_EQ(errorOf({.xMax = 9, .bytesPerLine = 0}), damagedText());
    EXPECT_EQ(errorOf({.xMin = 5, .xMax = 4}), damagedText());
    EXPECT_EQ(errorOf({.version = 1}), damagedText());
    EXPECT_EQ(errorOf({.version = 9}), damagedText());
    EXPECT_EQ(errorOf({.encoding = 2}), damagedText());
    EXPECT_EQ(errorOf({.planes = 2}), unsupportedText());
    EXPECT_EQ(errorOf({.bits = 1, .planes = 5}), unsupportedText());
    EXPECT_EQ(errorOf({.xMax = 63, .yMax = 63, .planes = 3, .bytesPerLine = 64},
                      QByteArray(64 * 64 * 3, '\0'), 1000),
              tooLargeText());
}
