#include "CodecTestSupport.h"
#include "Pictures.h"

#include "foundation/grafikrw3/grafikrw3.h"

#include <QBuffer>
#include <QtEndian>

namespace {

using namespace codectest;

// --- building IFF files by hand ---

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (const int v : values) {
        out += char(v);
    }
    return out;
}

QByteArray be16(unsigned v) {
    return bytes({int(v >> 8), int(v & 0xff)});
}

QByteArray be32(std::uint32_t v) {
    return be16(v >> 16) + be16(v & 0xffff);
}

QByteArray chunk(const char* id, const QByteArray& data) {
    QByteArray out = QByteArray(id, 4) + be32(std::uint32_t(data.size())) + data;
    return data.size() % 2 ? out + '\0' : out;
}

QByteArray form(const char* type, const QByteArray& chunks) {
    return "FORM" + be32(std::uint32_t(4 + chunks.size())) + QByteArray(type, 4) + chunks;
}

QByteArray bmhd(int width, int height, int planes, int masking = 0, int compression = 0) {
    return chunk("BMHD", be16(width) + be16(height) + be32(0) +
                             bytes({planes, masking, compression, 0}) + be16(0) + bytes({1, 1}) +
                             be16(width) + be16(height));
}

// One row of uncompressed bit planes for `values`, word-aligned.
QByteArray planarRow(const std::vector<unsigned>& values, int planes) {
    const int planeBytes = int(values.size() + 15) / 16 * 2;
    QByteArray out(planes * planeBytes, '\0');
    for (int p = 0; p < planes; ++p) {
        for (std::size_t x = 0; x < values.size(); ++x) {
            if ((values[x] >> p) & 1) {
                out[p * planeBytes + int(x / 8)] =
                    char(out[p * planeBytes + int(x / 8)] | (0x80 >> (x % 8)));
            }
        }
    }
    return out;
}

// A true-colour picture that uses exactly `count` distinct colours.
dib picturePaintedWith(int width, int height, int count) {
    dib d;
    grafikrw3::newdib(&d, width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned i = unsigned(x * 3 + y * 7 + (x * y) / 3) % unsigned(count);
            grafikrw3::setpixel(d, x, y,
                                (i * 37 + 5) % 256 + 256 * ((i * 101) % 256) +
                                    65536 * ((i * 59 + 120) % 256));
        }
    }
    return d;
}

Decoded decodeIlbmBytes(const QByteArray& bytes, const Limits& limits = {}) {
    return decode(decodeIlbm, bytes, limits);
}

} // namespace

TEST(IlbmRoundTrip, EveryDepthAtBoundaryWidths) {
    for (const int bits : kDepths) {
        for (const int width : kBoundaryWidths) {
            SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
            Picture original(makeTestPicture(width, 5, bits));
            const QByteArray file = encode(encodeIlbm, original.d);
            ASSERT_GE(file.size(), 12);
            EXPECT_EQ(qFromBigEndian<quint32>(file.constData() + 4), quint32(file.size() - 8));
            Picture back(decodeIlbmBytes(file).picture);
            EXPECT_TRUE(sameIndexesAndPalette(original.d, back.d));
        }
    }
}

TEST(IlbmByteRun1, RunsLongerThan128AndMixedRows) {
    // 2000 pixels of one bit: 250 bytes per row, so the runs must be split.
    Picture original(makeTestPicture(2000, 4, 1));
    std::uint8_t* flat = rowAt(original.d, 0);
    std::memset(flat, 0, 250);
    std::uint8_t* mixed = rowAt(original.d, 1);
    for (int i = 0; i < 250; ++i) {
        mixed[i] = std::uint8_t(i < 130 ? 0xff : i % 3 == 0 ? i : 0x55); // long run, then mixed
    }
    const QByteArray file = encode(encodeIlbm, original.d);
    Picture back(decodeIlbmBytes(file).picture);
    EXPECT_TRUE(sameIndexesAndPalette(original.d, back.d));
    EXPECT_LT(file.size(), 4 * 250);
}

TEST(IlbmByteRun1, RunsMayCrossPlaneAndRowEnds) {
    // Two planes of 16 pixels, two rows: 8 bytes. A no-op, a run over all planes of row 0 and
    // into row 1, then a literal.
    const QByteArray body = QByteArray::fromHex("80"
                                                "FBAA"
                                                "0155CC");
    const QByteArray file = form("ILBM", bmhd(16, 2, 2, 0, 1) + chunk("BODY", body));
    Picture picture(decodeIlbmBytes(file).picture);
    ASSERT_TRUE(picture.d.poi);
    EXPECT_EQ(DIBBitCount(picture.d), 4);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(grafikrw3::getpixel(picture.d, x, 0), (x % 2 == 0) ? 3u : 0u);
        const unsigned plane1 = (x < 8) ? 0x55 : 0xCC;
        EXPECT_EQ(grafikrw3::getpixel(picture.d, x, 1),
                  ((x % 2 == 0) ? 1u : 0u) | (((plane1 >> (7 - x % 8)) & 1) << 1));
    }
}

TEST(IlbmVariants, PbmMaskPlaneHalfBriteAndDeepAlpha) {
    {
        SCOPED_TRACE("PBM: one byte per pixel, rows padded to even length");
        const QByteArray cmap = QByteArray::fromHex("102030"
                                                    "405060"
                                                    "708090");
        const QByteArray file = form("PBM ", bmhd(3, 2, 8) + chunk("CMAP", cmap) +
                                                 chunk("BODY", QByteArray::fromHex("000102FF"
                                                                                   "02010000")));
        Picture p(decodeIlbmBytes(file).picture);
        ASSERT_TRUE(p.d.poi);
        EXPECT_EQ(DIBBitCount(p.d), 8);
        EXPECT_EQ(grafikrw3::getpixel(p.d, 2, 0), 2u);
        EXPECT_EQ(grafikrw3::getpixel(p.d, 0, 1), 2u);
        EXPECT_EQ(p.d.pmi->colors()[1].rgbRed, 0x40);
        EXPECT_EQ(p.d.pmi->colors()[3].rgbRed, 0); // beyond CMAP: black
    }
    {
        SCOPED_TRACE("mask plane after the image planes; no CMAP gives a grey ramp");
        const std::vector<unsigned> row = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 2};
        const QByteArray body =
            planarRow(row, 2) + QByteArray(2, '\xff') + planarRow(row, 2) + QByteArray(2, '\xff');
        Picture p(decodeIlbmBytes(form("ILBM", bmhd(11, 2, 2, 1) + chunk("BODY", body))).picture);
        ASSERT_TRUE(p.d.poi);
        EXPECT_EQ(DIBBitCount(p.d), 4);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 11; ++x) {
                EXPECT_EQ(grafikrw3::getpixel(p.d, x, y), row[std::size_t(x)]);
            }
        }
        EXPECT_EQ(p.d.pmi->colors()[2].rgbGreen, 170);
    }
    {
        SCOPED_TRACE("extra half-brite: the upper 32 colours are the lower ones halved");
        QByteArray cmap;
        for (int i = 0; i < 32; ++i) {
            cmap += bytes({i * 8, 255 - i, 101});
        }
        const QByteArray file =
            form("ILBM", bmhd(2, 1, 6) + chunk("CMAP", cmap) + chunk("CAMG", be32(0x80)) +
                             chunk("BODY", planarRow({5, 37}, 6)));
        Picture p(decodeIlbmBytes(file).picture);
        ASSERT_TRUE(p.d.poi);
        EXPECT_EQ(DIBBitCount(p.d), 8);
        EXPECT_EQ(grafikrw3::getpixel(p.d, 1, 0), 37u);
        const RGBQUAD& half = p.d.pmi->colors()[37];
        EXPECT_EQ(half.rgbRed, 20);
        EXPECT_EQ(half.rgbGreen, 125);
        EXPECT_EQ(half.rgbBlue, 50);
    }
    {
        SCOPED_TRACE("32 planes: alpha onto white");
        const std::vector<unsigned> red = {200, 200}, green = {100, 100}, blue = {0, 0},
                                    alpha = {0, 255};
        const QByteArray body =
            planarRow(red, 8) + planarRow(green, 8) + planarRow(blue, 8) + planarRow(alpha, 8);
        Picture p(decodeIlbmBytes(form("ILBM", bmhd(2, 1, 32) + chunk("BODY", body))).picture);
        ASSERT_TRUE(p.d.poi);
        EXPECT_EQ(grafikrw3::getpixel(p.d, 0, 0), 0xffffffu);
        EXPECT_EQ(grafikrw3::getpixel(p.d, 1, 0), 200u + 256u * 100u);
    }
}

TEST(IlbmTools, IlbmtoppmReadsOurFiles) {
    for (const int bits : kDepths) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        Picture original(makeTestPicture(33, 9, bits));
        const RgbImage theirs =
            readPnm(runTool(QStringLiteral("ilbmtoppm"), {}, encode(encodeIlbm, original.d)));
        EXPECT_TRUE(sameColours(toRgb(original.d), theirs));
    }
}

TEST(IlbmTools, WeReadPpmtoilbmFiles) {
    struct Case {
        int colours;
        QStringList options;
        int planes; // as ppmtoilbm writes them
        int bits;   // as we read them
    };
    const Case cases[] = {
        {2, {}, 1, 1},
        {3, {}, 2, 4},
        {16, {QStringLiteral("-nocompress")}, 4, 4},
        {20, {}, 5, 8},
        {40, {QStringLiteral("-mp"), QStringLiteral("8")}, 6, 8},
        {200, {QStringLiteral("-mp"), QStringLiteral("8")}, 7, 8},
        {200, {QStringLiteral("-fp"), QStringLiteral("8")}, 8, 8},
        {3000, {QStringLiteral("-24force")}, 24, 24},
        {3000, {QStringLiteral("-24force"), QStringLiteral("-nocompress")}, 24, 24},
        {3000, {QStringLiteral("-ham6")}, 6, 24},
        {3000, {QStringLiteral("-ham8")}, 8, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.colours << " colours " << c.options.join(' ').toStdString());
        Picture source(c.colours > 256 ? makeTestPicture(31, 7, 24)
                                       : picturePaintedWith(31, 7, c.colours));
        const QByteArray file =
            runTool(QStringLiteral("ppmtoilbm"), c.options, writePpm(toRgb(source.d)));
        ASSERT_GT(file.size(), 28);
        EXPECT_EQ(int(std::uint8_t(file[28])), c.planes);
        Picture ours(decodeIlbmBytes(file).picture);
        ASSERT_TRUE(ours.d.poi);
        EXPECT_EQ(DIBBitCount(ours.d), c.bits);
        EXPECT_TRUE(
            sameColours(readPnm(runTool(QStringLiteral("ilbmtoppm"), {}, file)), toRgb(ours.d)));
        if (!c.options.contains(QStringLiteral("-ham6")) &&
            !c.options.contains(QStringLiteral("-ham8"))) {
            EXPECT_TRUE(sameColours(toRgb(source.d), toRgb(ours.d)));
        }
    }
}

TEST(IlbmDamage, TruncationAtEveryOffsetFailsCleanly) {
    Picture palette(makeTestPicture(9, 5, 8));
    Picture trueColour(makeTestPicture(7, 3, 24));
    const std::vector<unsigned> row = {1, 0, 1, 1, 0, 0, 1, 0, 1};
    const QByteArray plain =
        form("ILBM", bmhd(9, 2, 1) + chunk("CMAP", QByteArray::fromHex("000000FFFFFF")) +
                         chunk("BODY", planarRow(row, 1) + planarRow(row, 1)));
    for (const QByteArray& file :
         {encode(encodeIlbm, palette.d), encode(encodeIlbm, trueColour.d), plain}) {
        Picture whole(decodeIlbmBytes(file).picture);
        ASSERT_TRUE(whole.d.poi);
        for (qsizetype cut = 0; cut < file.size(); ++cut) {
            SCOPED_TRACE(testing::Message() << "cut at " << cut << " of " << file.size());
            Decoded d = decodeIlbmBytes(file.left(cut));
            if (d.ok()) {
                EXPECT_TRUE(sameIndexesAndPalette(whole.d, d.picture));
            } else {
                EXPECT_EQ(d.error, damagedText());
            }
            FreeDIB(d.picture);
        }
    }
}

TEST(IlbmDamage, HostileHeadersAreRefused) {
    const QByteArray tinyBody = chunk("BODY", QByteArray::fromHex("FF00FF00"));
    struct Case {
        const char* what;
        QByteArray file;
        QString error;
        Limits limits;
    };
    const Case cases[] = {
        {"huge size, tiny packed BODY",
         form("ILBM", bmhd(65535, 65535, 8, 0, 1) + tinyBody),
         damagedText(),
         {}},
        {"huge size, tiny plain BODY",
         form("ILBM", bmhd(65535, 2, 24) + tinyBody),
         damagedText(),
         {}},
        {"beyond the memory limit",
         form("ILBM", bmhd(100, 100, 8, 0, 1) + chunk("BODY", QByteArray(400, '\x81'))),
         tooLargeText(), Limits{5000}},
        {"CMAP longer than the file",
         form("ILBM", bmhd(1, 1, 1) + "CMAP" + be32(0x7ffffff0) + QByteArray(9, '\0')),
         damagedText(),
         {}},
        {"chunk beyond the end",
         form("ILBM", bmhd(1, 1, 1) + "CAMG" + be32(0xfffffff0) + tinyBody),
         damagedText(),
         {}},
        {"BODY before BMHD", form("ILBM", tinyBody + bmhd(1, 1, 1)), damagedText(), {}},
        {"BMHD too short",
         form("ILBM", chunk("BMHD", QByteArray(10, '\1')) + tinyBody),
         damagedText(),
         {}},
        {"no size", form("ILBM", bmhd(0, 5, 1) + tinyBody), damagedText(), {}},
        {"12 planes", form("ILBM", bmhd(1, 1, 12) + tinyBody), unsupportedText(), {}},
        {"unknown compression",
         form("ILBM", bmhd(1, 1, 1, 0, 2) + tinyBody),
         unsupportedText(),
         {}},
        {"other FORM type", form("ACBM", bmhd(1, 1, 1) + tinyBody), unsupportedText(), {}},
        {"not IFF", QByteArray("GIF89a and more"), damagedText(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Decoded d = decodeIlbmBytes(c.file, c.limits);
        EXPECT_FALSE(d.ok());
        EXPECT_EQ(d.error, c.error);
        FreeDIB(d.picture);
    }
}

TEST(IlbmRoundTrip, FailsOnWriteErrorsAndStopsWhenAsked) {
    Picture original(makeTestPicture(9, 40, 8));
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    ProgressReporter progress;
    EXPECT_FALSE(encodeIlbm(original.d, readOnly, {}, progress));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ProgressReporter stopHalfway([](int percent) { return percent < 50; });
    EXPECT_FALSE(encodeIlbm(original.d, buffer, {}, stopHalfway));

    const QByteArray file = encode(encodeIlbm, original.d);
    ProgressReporter stopReading([](int percent) { return percent < 50; });
    Decoded d = decodeIlbm(
        Bytes(reinterpret_cast<const std::uint8_t*>(file.constData()), std::size_t(file.size())),
        {}, stopReading);
    EXPECT_FALSE(d.ok());
    EXPECT_FALSE(d.error.isEmpty());
}
