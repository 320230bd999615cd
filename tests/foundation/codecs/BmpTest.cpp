#include "CodecTestSupport.h"
#include "Pictures.h"

#include <QBuffer>

#include <array>

using namespace codectest;

namespace {

std::uint32_t field32(const QByteArray& file, int at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(file.constData()) + at;
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

void append16(QByteArray& out, std::uint32_t v) {
    out.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}

void append32(QByteArray& out, std::uint32_t v) {
    append16(out, v & 0xffff);
    append16(out, v >> 16);
}

// A hand-made file, for variants our writer never makes and for hostile headers.
struct BmpFile {
    std::int32_t width = 1;
    std::int32_t height = 1;
    int bits = 8;
    std::uint32_t headerBytes = 40;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks{};
    std::vector<std::array<std::uint8_t, 3>> palette{}; // red, green, blue
    std::int64_t offBits = -1;                          // -1: right after the palette
    QByteArray pixels{};

    QByteArray build() const {
        QByteArray info;
        append32(info, std::uint32_t(width));
        append32(info, std::uint32_t(height));
        append16(info, 1);
        append16(info, std::uint32_t(bits));
        for (std::uint32_t v :
             {compression, std::uint32_t(pixels.size()), 2835u, 2835u, colorsUsed, 0u}) {
            append32(info, v);
        }
        for (std::uint32_t m : masks) { // inside a longer header, or after a 40-byte one
            append32(info, m);
        }
        info.append(QByteArray(std::max<qsizetype>(0, headerBytes - 4 - info.size()), '\0'));
        for (const auto& c : palette) {
            info.append(char(c[2])).append(char(c[1])).append(char(c[0])).append('\0');
        }
        const std::int64_t start = offBits >= 0 ? offBits : 18 + info.size();
        QByteArray file("BM");
        append32(file, std::uint32_t(start + pixels.size()));
        append32(file, 0);
        append32(file, std::uint32_t(start));
        append32(file, headerBytes);
        file.append(info);
        file.append(QByteArray(std::max<qsizetype>(0, qsizetype(start) - file.size()), '\0'));
        return file.append(pixels);
    }
};

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(char(v));
    }
    return out;
}

// Long runs, alternating pairs and literals of every length in one picture.
dib makeRunnyPicture(int width, int height, int bits) {
    dib d = makeTestPicture(width, height, bits);
    const unsigned mask = (1u << bits) - 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned v = unsigned(x * 7 + y) & mask; // literal
            if (x < width / 2) {
                v = unsigned(y + 3) & mask; // one long run
            } else if ((x / 10) % 3 == 0) {
                v = (x & 1) ? 5 : 9; // alternating pair
            } else if ((x / 10) % 3 == 1) {
                v = unsigned(x / 4) & mask; // runs of four
            }
            putIndex(rowAt(d, y), bits, x, v);
        }
    }
    return d;
}

Decoded decodeBytes(const QByteArray& file, std::int64_t limit = 0x7fffffff) {
    Limits limits;
    limits.maxPictureBytes = limit;
    return decode(decodeBmp, file, limits);
}

std::vector<std::uint8_t> decodedColours(const QByteArray& file) {
    Picture p(decodeBytes(file).picture);
    EXPECT_TRUE(p.d.poi);
    return p.d.poi ? toRgb(p.d).rgb : std::vector<std::uint8_t>{};
}

// Palette indexes of the decoded picture, top row first.
std::vector<unsigned> indexesOf(const QByteArray& file) {
    Picture p(decodeBytes(file).picture);
    std::vector<unsigned> out;
    for (int y = 0; p.d.poi && y < DIBHeight(p.d); ++y) {
        for (int x = 0; x < DIBWidth(p.d); ++x) {
            out.push_back(getIndex(rowAt(p.d, y), DIBBitCount(p.d), x));
        }
    }
    return out;
}

// Every cut of `file` fails as damaged, or is after `pixelEnd` and gives the whole picture.
void expectCleanTruncation(const QByteArray& file, qsizetype pixelEnd, const dib& expected) {
    for (qsizetype cut = 0; cut < file.size(); ++cut) {
        const Decoded result = decodeBytes(file.left(cut));
        Picture got(result.picture);
        if (got.d.poi) {
            EXPECT_GE(cut, pixelEnd);
            EXPECT_TRUE(sameIndexesAndPalette(expected, got.d)) << "cut at " << cut;
        } else {
            EXPECT_EQ(result.error, damagedText()) << "cut at " << cut;
        }
    }
}

} // namespace

TEST(BmpRoundTrip, EveryDepthAndBoundaryWidth) {
    for (int bits : kDepths) {
        for (int width : kBoundaryWidths) {
            for (int height : {1, 3}) {
                Picture original(makeTestPicture(width, height, bits));
                const QByteArray file = encode(encodeBmp, original.d);
                const int entries = bits <= 8 ? 1 << bits : 0;
                EXPECT_EQ(field32(file, 10), 54u + 4u * entries);
                EXPECT_EQ(field32(file, 34), std::uint32_t(original.d.bytew * height));
                EXPECT_EQ(field32(file, 2), std::uint32_t(file.size()));
                Picture back(decodeBytes(file).picture);
                EXPECT_TRUE(sameIndexesAndPalette(original.d, back.d))
                    << bits << " bits, width " << width;
            }
        }
    }
}

TEST(BmpRoundTrip, RunLengthAtFourAndEightBitsOnly) {
    EncodeOptions rle;
    rle.rle = true;
    for (int bits : kDepths) {
        for (int width : {1, 2, 3, 7, 8, 9, 31, 33, 600}) {
            for (bool runny : {false, true}) {
                Picture original(runny ? makeRunnyPicture(width, 4, bits)
                                       : makeTestPicture(width, 4, bits));
                const QByteArray file = encode(encodeBmp, original.d, rle);
                Picture back(decodeBytes(file).picture);
                EXPECT_TRUE(sameIndexesAndPalette(original.d, back.d))
                    << bits << " bits, width " << width << (runny ? " runny" : "");
                EXPECT_EQ(field32(file, 30), bits == 8 ? 1u : bits == 4 ? 2u : 0u);
                if (bits != 4 && bits != 8) {
                    continue;
                }
                EXPECT_EQ(field32(file, 34), std::uint32_t(file.size()) - field32(file, 10));
                EXPECT_TRUE(file.endsWith(bytes({0, 0, 0, 1}))) << "end of line, end of bitmap";
                if (runny && width == 600) { // runs must actually be used
                    const auto packed = std::int64_t(file.size()) - field32(file, 10);
                    EXPECT_LT(packed, std::int64_t(original.d.bytew) * 4 * 3 / 5);
                }
            }
        }
    }
}

TEST(BmpRoundTrip, FailedWriteIsReported) {
    Picture original(makeTestPicture(9, 3, 8));
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    ProgressReporter progress;
    EXPECT_FALSE(encodeBmp(original.d, readOnly, {}, progress));
}

TEST(BmpTools, OurFilesReadByImageMagickAndNetpbm) {
    for (int bits : kDepths) {
        for (bool rle : {false, true}) {
            if (rle && (bits == 1 || bits == 24)) {
                continue;
            }
            Picture original(rle ? makeRunnyPicture(33, 5, bits) : makeTestPicture(33, 5, bits));
            EncodeOptions options;
            options.rle = rle;
            const QByteArray file = encode(encodeBmp, original.d, options);
            EXPECT_TRUE(sameColours(toRgb(original.d), readWithImageMagick(file, "BMP")))
                << bits << " bits, rle " << rle;
            EXPECT_TRUE(sameColours(toRgb(original.d), readPnm(runTool("bmptopnm", {}, file))))
                << bits << " bits, rle " << rle;
        }
    }
}

TEST(BmpTools, NetpbmFilesReadByUs) {
    for (int bits : kDepths) {
        for (const char* kind : {"-windows", "-os2"}) {
            Picture original(makeTestPicture(33, 5, bits));
            const QByteArray file = runTool("ppmtobmp", {kind, QStringLiteral("-bpp=%1").arg(bits)},
                                            writePpm(toRgb(original.d)));
            Picture back(decodeBytes(file).picture);
            ASSERT_TRUE(back.d.poi) << bits << " bits " << kind;
            EXPECT_EQ(DIBBitCount(back.d), bits);
            EXPECT_TRUE(sameColours(toRgb(original.d), toRgb(back.d))) << bits << " " << kind;
        }
    }
}

TEST(BmpTools, ImageMagickFilesReadByUs) {
    Picture runny(makeRunnyPicture(40, 6, 8));
    Picture colours(makeTestPicture(33, 5, 24));
    const QString source = tempPath("bmp-source.ppm");
    struct Case {
        const dib* picture;
        QStringList arguments;
        int tolerance;
    };
    const Case cases[] = {
        {&runny.d, {"-type", "palette", "-compress", "RLE", "BMP3:-"}, 0},
        {&colours.d, {"-define", "bmp:subtype=RGB565", "BMP:-"}, 1},
        {&colours.d, {"-define", "bmp:subtype=RGB555", "BMP:-"}, 1},
        {&colours.d, {"BMP2:-"}, 0},
        {&colours.d, {"-alpha", "set", "-channel", "A", "-fx", "(i+j)/40", "+channel", "BMP:-"}, 1},
    };
    for (const Case& c : cases) {
        writeFile(source, writePpm(toRgb(*c.picture)));
        const QByteArray file = runTool("convert", QStringList{source} + c.arguments);
        const RgbImage expected = readPnm(runTool(
            "convert",
            {"BMP:-", "-background", "white", "-alpha", "remove", "-depth", "8", "ppm:-"}, file));
        Picture back(decodeBytes(file).picture);
        ASSERT_TRUE(back.d.poi) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(closeColours(expected, toRgb(back.d), c.tolerance, 0.5))
            << c.arguments.join(' ').toStdString();
    }
}

TEST(BmpHandMade, VariantsOurWriterNeverMakes) {
    // 2 bits widen to 4; an index beyond the palette shows black.
    BmpFile twoBits{.width = 5, .bits = 2, .palette = {{10, 20, 30}, {40, 50, 60}}};
    twoBits.pixels = bytes({0x1b, 0x40, 0, 0}); // 0 1 2 3 1
    Picture two(decodeBytes(twoBits.build()).picture);
    ASSERT_EQ(DIBBitCount(two.d), 4);
    EXPECT_EQ(toRgb(two.d).rgb,
              (std::vector<std::uint8_t>{10, 20, 30, 40, 50, 60, 0, 0, 0, 0, 0, 0, 40, 50, 60}));
    // 5-6-5 masks after a 40-byte header.
    BmpFile bitfields{.width = 2, .bits = 16, .compression = 3, .masks = {0xf800, 0x07e0, 0x1f}};
    bitfields.pixels = bytes({0x00, 0xf8, 0xe0, 0x07});
    EXPECT_EQ(decodedColours(bitfields.build()), (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0}));
    // 32 bits without masks: the fourth byte means nothing.
    BmpFile plain32{.width = 1, .bits = 32};
    plain32.pixels = bytes({1, 2, 3, 0x55});
    EXPECT_EQ(decodedColours(plain32.build()), (std::vector<std::uint8_t>{3, 2, 1}));
    // V5 with an alpha mask: composed onto white, unless alpha is zero everywhere.
    BmpFile alpha{.width = 2,
                  .bits = 32,
                  .headerBytes = 124,
                  .compression = 3,
                  .masks = {0xff0000, 0xff00, 0xff, 0xff000000}};
    alpha.pixels = bytes({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(decodedColours(alpha.build()), (std::vector<std::uint8_t>(6, 0)));
    alpha.pixels = bytes({0, 0, 0, 0, 0, 0, 0, 255});
    EXPECT_EQ(decodedColours(alpha.build()), (std::vector<std::uint8_t>{255, 255, 255, 0, 0, 0}));
    // Pixel data away from the palette, and top-down rows.
    BmpFile gap{.width = 1, .height = -2, .bits = 8, .palette = {{1, 1, 1}, {2, 2, 2}}};
    gap.offBits = 200;
    gap.pixels = bytes({0, 0, 0, 0, 1, 0, 0, 0});
    Picture topDown(decodeBytes(gap.build()).picture);
    EXPECT_EQ(toRgb(topDown.d).rgb, (std::vector<std::uint8_t>{1, 1, 1, 2, 2, 2}));
}

TEST(BmpHandMade, RunLengthEscapes) {
    // RLE8: delta, early end of line and end of bitmap leave index 0; rows bottom-up.
    BmpFile rle8{.width = 4, .height = 3, .compression = 1, .palette = {{0, 0, 0}, {9, 9, 9}}};
    rle8.pixels = bytes({2, 7, 0, 0, 0, 2, 1, 1, 0, 3, 4, 5, 6, 0, 0, 1});
    EXPECT_EQ(indexesOf(rle8.build()), (std::vector<unsigned>{0, 4, 5, 6, 0, 0, 0, 0, 7, 7, 0, 0}));
    // RLE4: alternating run, absolute run of three bytes with its pad byte.
    BmpFile rle4{.width = 10, .bits = 4, .compression = 2};
    rle4.pixels = bytes({5, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1});
    EXPECT_EQ(indexesOf(rle4.build()), (std::vector<unsigned>{1, 2, 1, 2, 1, 3, 4, 5, 6, 7}));
}

TEST(BmpDamaged, TruncationAtEveryOffset) {
    for (int bits : kDepths) {
        Picture original(makeTestPicture(9, 3, bits));
        const QByteArray file = encode(encodeBmp, original.d);
        const int usedBytes = (9 * bits + 7) / 8;
        expectCleanTruncation(file, file.size() - (original.d.bytew - usedBytes), original.d);
    }
    EncodeOptions rle;
    rle.rle = true;
    for (int bits : {4, 8}) {
        // The last row ends in a run, so no pad byte follows the last pixel.
        Picture original(makeRunnyPicture(40, 3, bits));
        const QByteArray file = encode(encodeBmp, original.d, rle);
        expectCleanTruncation(file, file.size() - 4, original.d);
    }
}

TEST(BmpDamaged, HostileHeaders) {
    auto errorOf = [](const BmpFile& f, std::int64_t limit = 0x7fffffff) {
        Decoded result = decodeBytes(f.build(), limit);
        FreeDIB(result.picture);
        return result.error;
    };
    const QByteArray somePixels(16, '\x11');
    EXPECT_EQ(errorOf({.width = 0x0fffffff, .height = 1000, .pixels = somePixels}), damagedText());
    EXPECT_EQ(
        errorOf({.width = 100000, .height = 100000, .compression = 1, .pixels = bytes({0, 1})}),
        damagedText());
    for (auto [w, h] : {std::pair{0, 1}, {-4, 1}, {4, 0}, {4, INT32_MIN}}) {
        EXPECT_EQ(errorOf({.width = w, .height = h, .pixels = somePixels}), damagedText());
    }
    EXPECT_EQ(errorOf({.bits = 3, .pixels = somePixels}), damagedText());
    EXPECT_EQ(errorOf({.compression = 4, .pixels = somePixels}), unsupportedText());
    EXPECT_EQ(errorOf({.bits = 4, .compression = 1, .pixels = somePixels}), damagedText());
    // Palette count beyond the file; offset beyond the end.
    QByteArray cutPalette = BmpFile{.colorsUsed = 256, .palette = {}, .offBits = 54 + 1024}.build();
    EXPECT_EQ(decodeBytes(cutPalette.left(200)).error, damagedText());
    QByteArray farOffset = BmpFile{.pixels = somePixels}.build();
    farOffset[10] = char(0x88); // 5000
    farOffset[11] = char(0x13);
    EXPECT_EQ(decodeBytes(farOffset).error, damagedText());
    // A huge colour count is the depth's count.
    BmpFile manyColours{.width = 1, .colorsUsed = 0xffffffff, .palette = {{7, 8, 9}}};
    manyColours.pixels = bytes({0, 0, 0, 0});
    EXPECT_EQ(decodedColours(manyColours.build()), (std::vector<std::uint8_t>{7, 8, 9}));
    // Delta beyond the picture.
    EXPECT_EQ(
        errorOf(
            {.width = 4, .height = 2, .compression = 1, .pixels = bytes({0, 2, 3, 5, 1, 1, 0, 1})}),
        damagedText());
    EXPECT_EQ(
        errorOf(
            {.width = 4, .height = 2, .compression = 1, .pixels = bytes({0, 2, 9, 0, 1, 1, 0, 1})}),
        damagedText());
    // A whole, plausible picture beyond the memory limit.
    EXPECT_EQ(
        errorOf({.width = 64, .height = 64, .bits = 24, .pixels = QByteArray(64 * 192, 0)}, 1000),
        tooLargeText());
}
