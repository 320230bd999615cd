#include "CodecTestSupport.h"
#include "Pictures.h"

#include "foundation/grafikrw3/Quantize.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QBuffer>

#include <algorithm>
#include <set>
#include <tuple>

namespace {

using namespace codectest;

constexpr int kPaletteDepths[] = {1, 4, 8};

std::uint32_t colourNumber(unsigned i) {
    return (i * 37 + 5) % 256 + 256 * ((i * 101) % 256) + 65536 * ((i * 59 + 120) % 256);
}

// A true-colour picture that uses exactly `count` distinct colours (when it has enough pixels).
dib picturePaintedWith(int width, int height, int count) {
    dib d;
    grafikrw3::newdib(&d, width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(d, x, y, colourNumber(unsigned(y * width + x) % unsigned(count)));
        }
    }
    return d;
}

// A smooth true-colour picture with far more than 256 colours.
dib gradientPicture(int width, int height) {
    dib d;
    grafikrw3::newdib(&d, width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(d, x, y,
                                std::uint32_t(x * 255 / width) +
                                    256u * std::uint32_t(y * 255 / height) +
                                    65536u * std::uint32_t((x + y) * 127 / (width + height)));
        }
    }
    return d;
}

Decoded decodeGifBytes(const QByteArray& bytes, const Limits& limits = {}) {
    return decode(decodeGif, bytes, limits);
}

// --- patching GIF files written by our encoder (one image, global map, no extensions) ---

constexpr int kScreenFlags = 10;

void putLe16(QByteArray& gif, int at, int value) {
    gif[at] = char(value & 0xff);
    gif[at + 1] = char(value >> 8);
}

int globalMapBytes(const QByteArray& gif) {
    return (gif[kScreenFlags] & 0x80) ? 3 << ((gif[kScreenFlags] & 7) + 1) : 0;
}

// Offset of the first image descriptor, after the extensions that precede it.
int descriptorAt(const QByteArray& gif) {
    int at = 13 + globalMapBytes(gif);
    while (at + 2 < gif.size() && gif[at] == '!') {
        at += 2;
        while (at < gif.size() && gif[at] != 0) {
            at += std::uint8_t(gif[at]) + 1;
        }
        ++at;
    }
    return at;
}

RgbImage rgbOf(const Decoded& d) {
    EXPECT_TRUE(d.ok()) << d.error.toStdString();
    return d.ok() ? toRgb(d.picture) : RgbImage{};
}

// The colours of a decoded file; the picture is released.
RgbImage decodedRgb(const QByteArray& file) {
    Picture picture(decodeGifBytes(file).picture);
    EXPECT_TRUE(picture.d.poi);
    return picture.d.poi ? toRgb(picture.d) : RgbImage{};
}

} // namespace

TEST(GifRoundTrip, PaletteDepthsAtBoundaryWidths) {
    for (const int bits : kPaletteDepths) {
        for (const int width : kBoundaryWidths) {
            SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
            Picture original(makeTestPicture(width, 5, bits));
            Picture back(decodeGifBytes(encode(encodeGif, original.d)).picture);
            EXPECT_TRUE(sameIndexesAndPalette(original.d, back.d));
        }
    }
}

TEST(GifRoundTrip, TrueColourUpTo256ColoursIsExact) {
    const std::pair<int, int> colourCountsAndDepths[] = {
        {1, 1}, {2, 1}, {16, 4}, {17, 8}, {256, 8}};
    for (const auto& [colours, bits] : colourCountsAndDepths) {
        for (const int width : {1, 9, 33}) {
            SCOPED_TRACE(testing::Message() << colours << " colours, width " << width);
            Picture original(picturePaintedWith(width, 300 / width + 1, colours));
            Decoded back = decodeGifBytes(encode(encodeGif, original.d));
            EXPECT_TRUE(sameColours(toRgb(original.d), rgbOf(back)));
            EXPECT_EQ(DIBBitCount(back.picture), bits);
            FreeDIB(back.picture);
        }
    }
}

TEST(GifRoundTrip, TrueColourWithMoreColoursIsDitheredClosely) {
    Picture smooth(gradientPicture(97, 61));
    Decoded back = decodeGifBytes(encode(encodeGif, smooth.d));
    EXPECT_EQ(DIBBitCount(back.picture), 8);
    EXPECT_TRUE(closeColours(toRgb(smooth.d), rgbOf(back), 24, 4.5));
    FreeDIB(back.picture);

    // 257 colours just miss the exact path.
    Picture almost(picturePaintedWith(33, 9, 257));
    Decoded near = decodeGifBytes(encode(encodeGif, almost.d));
    EXPECT_EQ(DIBBitCount(near.picture), 8);
    EXPECT_TRUE(closeColours(toRgb(almost.d), rgbOf(near), 96, 6.0));
    FreeDIB(near.picture);
}

TEST(GifTools, ImageMagickAndGiftopnmReadOurFiles) {
    std::vector<dib> pictures;
    for (const int bits : kPaletteDepths) {
        pictures.push_back(makeTestPicture(33, 7, bits));
    }
    pictures.push_back(picturePaintedWith(31, 9, 100));
    pictures.push_back(gradientPicture(31, 9));
    for (dib& picture : pictures) {
        Picture owner(picture);
        SCOPED_TRACE(testing::Message() << DIBBitCount(picture) << " bits");
        const QByteArray file = encode(encodeGif, picture);
        const RgbImage ours = decodedRgb(file); // the dithered one differs from the source
        EXPECT_TRUE(sameColours(ours, readWithImageMagick(file, QStringLiteral("gif"))));
        EXPECT_TRUE(sameColours(ours, readPnm(runTool(QStringLiteral("giftopnm"), {}, file))));
        if (DIBBitCount(picture) <= 8) {
            EXPECT_TRUE(sameColours(toRgb(picture), ours));
        }
    }
}

TEST(GifTools, WeReadImageMagickAndPamtogifFiles) {
    struct Case {
        int colours;
        int bits;
        bool interlaced;
    };
    for (const Case& c : {Case{2, 1, true}, Case{16, 4, false}, Case{256, 8, true}}) {
        Picture source(picturePaintedWith(33, 9, c.colours));
        const RgbImage expected = toRgb(source.d);
        const QByteArray ppm = writePpm(expected);
        const QStringList interlace = {QStringLiteral("-interlace"), c.interlaced
                                                                         ? QStringLiteral("GIF")
                                                                         : QStringLiteral("none")};
        const QByteArray files[] = {
            runTool(QStringLiteral("convert"),
                    QStringList{QStringLiteral("ppm:-")} + interlace +
                        QStringList{QStringLiteral("gif:-")},
                    ppm),
            runTool(QStringLiteral("pamtogif"), {}, ppm),
        };
        const int at = descriptorAt(files[0]);
        ASSERT_GT(files[0].size(), at + 10);
        EXPECT_EQ((files[0][at + 9] & 0x40) != 0, c.interlaced);
        for (const QByteArray& file : files) {
            SCOPED_TRACE(testing::Message() << c.colours << " colours, file " << (&file - files));
            Decoded d = decodeGifBytes(file);
            EXPECT_TRUE(sameColours(expected, rgbOf(d)));
            EXPECT_EQ(DIBBitCount(d.picture), c.bits);
            FreeDIB(d.picture);
        }
    }
}

TEST(GifTools, FirstFrameOfAnAnimationAndTransparencyOnWhite) {
    Picture first(picturePaintedWith(9, 7, 5));
    Picture second(picturePaintedWith(9, 7, 3));
    const QString a = tempPath(QStringLiteral("first.ppm"));
    const QString b = tempPath(QStringLiteral("second.ppm"));
    writeFile(a, writePpm(toRgb(first.d)));
    writeFile(b, writePpm(toRgb(second.d)));
    const QByteArray animation =
        runTool(QStringLiteral("convert"), {a, b, QStringLiteral("gif:-")});
    EXPECT_TRUE(sameColours(toRgb(first.d), decodedRgb(animation)));

    // Colour 0 of the picture made transparent: those pixels show white.
    const std::uint32_t c = colourNumber(0);
    const QString name =
        QStringLiteral("rgb(%1,%2,%3)").arg(c & 0xff).arg((c >> 8) & 0xff).arg(c >> 16);
    const QByteArray transparent =
        runTool(QStringLiteral("convert"),
                {a, QStringLiteral("-transparent"), name, QStringLiteral("gif:-")});
    RgbImage expected = toRgb(first.d);
    for (int i = 0; i < 9 * 7; i += 5) {
        std::memset(&expected.rgb[3 * std::size_t(i)], 0xff, 3);
    }
    EXPECT_TRUE(sameColours(expected, decodedRgb(transparent)));
}

TEST(GifVariants, ScreenPlacementColourMapsAndStrayValues) {
    Picture frame(makeTestPicture(4, 3, 8));
    const QByteArray plain = encode(encodeGif, frame.d);
    const int at = descriptorAt(plain);
    {
        SCOPED_TRACE("frame at 3,2 on a 6x4 screen: clipped, the rest background");
        QByteArray gif = plain;
        putLe16(gif, 6, 6);
        putLe16(gif, 8, 4);
        gif[11] = 7; // background index
        putLe16(gif, at + 1, 3);
        putLe16(gif, at + 3, 2);
        Picture p(decodeGifBytes(gif).picture);
        ASSERT_TRUE(p.d.poi);
        ASSERT_EQ(DIBWidth(p.d), 6);
        ASSERT_EQ(DIBHeight(p.d), 4);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x) {
                const bool inFrame = x >= 3 && y >= 2;
                EXPECT_EQ(grafikrw3::getpixel(p.d, x, y),
                          inFrame ? grafikrw3::getpixel(frame.d, x - 3, y - 2) : 7u)
                    << x << "," << y;
            }
        }
    }
    {
        SCOPED_TRACE("a local colour map wins over the global one");
        QByteArray gif = plain;
        QByteArray local = gif.mid(13, 768);
        std::reverse(local.begin(), local.end());
        gif[at + 9] = char(gif[at + 9] | 0x87);
        gif.insert(at + 10, local);
        Picture p(decodeGifBytes(gif).picture);
        ASSERT_TRUE(p.d.poi);
        EXPECT_EQ(p.d.pmi->colors()[0].rgbRed, std::uint8_t(local[0]));
        EXPECT_EQ(p.d.pmi->colors()[255].rgbBlue, std::uint8_t(local[765 + 2]));
    }
    {
        SCOPED_TRACE("no colour map: a grey ramp over the code size");
        QByteArray gif = plain;
        gif.remove(13, 768);
        gif[kScreenFlags] = char(gif[kScreenFlags] & 0x7f);
        Picture p(decodeGifBytes(gif).picture);
        ASSERT_TRUE(p.d.poi);
        EXPECT_EQ(DIBBitCount(p.d), 8);
        EXPECT_TRUE(hasGreyRamp(p.d));
        EXPECT_EQ(grafikrw3::getpixel(p.d, 3, 2), grafikrw3::getpixel(frame.d, 3, 2));
    }
    {
        SCOPED_TRACE("values beyond a map of 4 show black");
        QByteArray gif = plain;
        gif.remove(13 + 12, 768 - 12);
        gif[kScreenFlags] = char((gif[kScreenFlags] & 0xf8) | 1);
        Decoded d = decodeGifBytes(gif);
        ASSERT_TRUE(d.ok());
        EXPECT_EQ(DIBBitCount(d.picture), 4);
        const RgbImage rgb = toRgb(d.picture);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const unsigned value = grafikrw3::getpixel(frame.d, x, y);
                const RGBQUAD& c = frame.d.pmi->colors()[value];
                const std::uint8_t* got = &rgb.rgb[std::size_t(y * 4 + x) * 3];
                EXPECT_EQ(got[0], value < 4 ? c.rgbRed : 0);
                EXPECT_EQ(got[2], value < 4 ? c.rgbBlue : 0);
            }
        }
        FreeDIB(d.picture);
    }
}

TEST(GifDamage, TruncationAtEveryOffsetFailsCleanly) {
    Picture palette(makeTestPicture(9, 5, 8));
    Picture bits(makeTestPicture(33, 3, 1));
    Picture source(picturePaintedWith(9, 17, 16));
    const QByteArray interlaced = runTool(QStringLiteral("convert"),
                                          {QStringLiteral("ppm:-"), QStringLiteral("-interlace"),
                                           QStringLiteral("GIF"), QStringLiteral("gif:-")},
                                          writePpm(toRgb(source.d)));
    for (const QByteArray& file :
         {encode(encodeGif, palette.d), encode(encodeGif, bits.d), interlaced}) {
        Picture whole(decodeGifBytes(file).picture);
        ASSERT_TRUE(whole.d.poi);
        for (qsizetype cut = 0; cut < file.size(); ++cut) {
            SCOPED_TRACE(testing::Message() << "cut at " << cut << " of " << file.size());
            Decoded d = decodeGifBytes(file.left(cut));
            if (d.ok()) {
                EXPECT_TRUE(sameIndexesAndPalette(whole.d, d.picture));
            } else {
                EXPECT_EQ(d.error, damagedText());
            }
            FreeDIB(d.picture);
        }
    }
}

TEST(GifDamage, HostileSizesStayWithinTheLimits) {
    Limits limits;
    limits.maxPictureBytes = 64 << 20;
    for (const int bits : {1, 8}) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        Picture frame(makeTestPicture(2, 2, bits));
        QByteArray gif = encode(encodeGif, frame.d);
        putLe16(gif, 6, 65535);
        putLe16(gif, 8, 65535);
        // The screen does not fit: the frame alone is the picture.
        Picture p(decodeGifBytes(gif, limits).picture);
        EXPECT_TRUE(sameIndexesAndPalette(frame.d, p.d));

        // A frame far larger than its data could ever fill.
        putLe16(gif, descriptorAt(gif) + 5, 65535);
        putLe16(gif, descriptorAt(gif) + 7, 65535);
        Decoded huge = decodeGifBytes(gif, limits);
        EXPECT_EQ(huge.error, damagedText());
        FreeDIB(huge.picture);
    }
    Picture big(makeTestPicture(300, 200, 8));
    Decoded refused = decodeGifBytes(encode(encodeGif, big.d), Limits{10000});
    EXPECT_EQ(refused.error, tooLargeText());
    FreeDIB(refused.picture);
}

// --- the quantizer ---

namespace {

using grafikrw3::Rgb;

std::vector<Rgb> pseudoRandomColours(std::size_t count, std::uint32_t seed) {
    std::vector<Rgb> colours;
    for (std::size_t i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        colours.push_back(
            Rgb{std::uint8_t(seed >> 24), std::uint8_t(seed >> 16), std::uint8_t(seed >> 8)});
    }
    return colours;
}

grafikrw3::ColourHistogram histogramOf(const std::vector<Rgb>& colours) {
    grafikrw3::ColourHistogram histogram;
    histogram.add(&colours[0].red, colours.size());
    return histogram;
}

} // namespace

TEST(Quantize, PaletteKeepsFewColoursAndStaysWithinTheLimit) {
    static_assert(sizeof(Rgb) == 3);
    // Ten colours in different boxes, each many times: the palette is exactly these.
    const std::vector<Rgb> few = pseudoRandomColours(10, 7);
    std::vector<Rgb> pixels;
    for (int i = 0; i < 50; ++i) {
        pixels.push_back(few[std::size_t(i * 3 % 10)]);
    }
    const std::vector<Rgb> palette = grafikrw3::medianCutPalette(histogramOf(pixels), 16);
    auto key = [](const Rgb& c) { return std::make_tuple(c.red, c.green, c.blue); };
    std::set<std::tuple<int, int, int>> wanted, got;
    for (const Rgb& c : few) {
        wanted.insert(key(c));
    }
    for (const Rgb& c : palette) {
        got.insert(key(c));
    }
    EXPECT_EQ(wanted, got);
    EXPECT_EQ(palette.size(), 10u);

    const auto histogram = histogramOf(pseudoRandomColours(20000, 1));
    for (const int limit : {1, 2, 16, 255, 256}) {
        const std::vector<Rgb> reduced = grafikrw3::medianCutPalette(histogram, limit);
        EXPECT_EQ(int(reduced.size()), limit);
        EXPECT_EQ(reduced, grafikrw3::medianCutPalette(histogram, limit));
    }
}

TEST(Quantize, NearestColourMatchesBruteForceWithLowestIndexOnTies) {
    std::vector<Rgb> palette = pseudoRandomColours(60, 3);
    palette.push_back(palette[10]); // a twin: index 10 must win
    palette.push_back(Rgb{0, 0, 0});
    palette.push_back(Rgb{255, 255, 255});
    grafikrw3::NearestColour nearest(palette);
    std::vector<Rgb> probes = pseudoRandomColours(20000, 9);
    probes.insert(probes.end(), palette.begin(), palette.end());
    for (const Rgb& c : probes) {
        int best = 0, bestDistance = 1 << 30;
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const int dr = c.red - palette[i].red, dg = c.green - palette[i].green,
                      db = c.blue - palette[i].blue;
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                best = int(i);
                bestDistance = d;
            }
        }
        ASSERT_EQ(nearest.find(c), best) << int(c.red) << "," << int(c.green) << "," << int(c.blue);
    }
}

TEST(Quantize, DitheringKeepsTheMeanColour) {
    constexpr int kWidth = 33;
    const std::vector<Rgb> blackAndWhite = {Rgb{0, 0, 0}, Rgb{255, 255, 255}};
    grafikrw3::RowDitherer ditherer(blackAndWhite, kWidth);
    const std::vector<std::uint8_t> grey(kWidth * 3, 64);
    std::vector<std::uint8_t> indexes(kWidth);
    int white = 0;
    for (int y = 0; y < 32; ++y) {
        ditherer.ditherRow(grey.data(), indexes.data());
        white += int(std::count(indexes.begin(), indexes.end(), 1));
    }
    EXPECT_NEAR(double(white) / (32 * kWidth), 64.0 / 255.0, 0.01);

    // A colour that is in the palette is not dithered at all.
    const std::vector<Rgb> withGrey = {Rgb{0, 0, 0}, Rgb{64, 64, 64}, Rgb{255, 255, 255}};
    grafikrw3::RowDitherer exact(withGrey, kWidth);
    for (int y = 0; y < 4; ++y) {
        exact.ditherRow(grey.data(), indexes.data());
        EXPECT_EQ(std::count(indexes.begin(), indexes.end(), 1), kWidth);
    }
}

TEST(GifRoundTrip, FailsOnWriteErrorsAndStopsWhenAsked) {
    for (const int bits : {8, 24}) {
        Picture original(makeTestPicture(9, 40, bits));
        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        ProgressReporter progress;
        EXPECT_FALSE(encodeGif(original.d, readOnly, {}, progress));

        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ProgressReporter stopHalfway([](int percent) { return percent < 50; });
        EXPECT_FALSE(encodeGif(original.d, buffer, {}, stopHalfway));

        const QByteArray file = encode(encodeGif, original.d);
        ProgressReporter stopReading([](int percent) { return percent < 50; });
        Decoded d = decodeGif(Bytes(reinterpret_cast<const std::uint8_t*>(file.constData()),
                                    std::size_t(file.size())),
                              {}, stopReading);
        EXPECT_FALSE(d.ok());
        EXPECT_FALSE(d.error.isEmpty());
    }
}
