#include "designer/StitchLibraryFile.h"

#include "FileTestHelpers.h"
#include "Pictures.h"
#include "designer/ChartDocument.h"

#include <gtest/gtest.h>

namespace {

QByteArray writeLibrary(const TDynaArrayOf<TStich>& stiche) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(StitchLibraryFile::write(buffer, stiche));
    return buffer.data();
}

StitchLibraryFile::ReadResult readLibrary(const QByteArray& bytes, TDynaArrayOf<TStich>& stiche) {
    return readFrom(bytes, [&](QBuffer& b, std::int64_t size) {
        return StitchLibraryFile::read(b, size, stiche);
    });
}

} // namespace

TEST(StitchLibraryFile, EmptyLibraryAndDefaultStitchHaveTheirSizes) {
    ChartDocument doc;
    EXPECT_EQ(writeLibrary(doc.stiche), QByteArray(4, '\0'));

    TStich* s = doc.stiche.Add();
    s->breite = 1;
    grafikrw3::newdib(&s->di, 100, 100, 24, nullptr, 0);
    const QByteArray bytes = writeLibrary(doc.stiche);
    EXPECT_EQ(bytes.size(), 4 + 30068);
    EXPECT_EQ(bytes.left(4 + 16 + 4), Bytes().i32(1).zeros(16).i32(1).data);
}

TEST(StitchLibraryFile, RoundTripKeepsOrderTextsWidthsPicturesAndColourTables) {
    ChartDocument doc;
    const int depths[] = {24, 8, 4, 1};
    for (int i = 0; i < 4; ++i) {
        dib picture = makePatternPicture(10 + i, 6, depths[i]);
        if (depths[i] <= 8) {
            picture.pmi->colors()[0] = RGBQUAD{1, 2, std::uint8_t(3 + i), 0};
        }
        fillStitch(*doc.stiche.Add(), QStringLiteral("Masche %1 ö").arg(i), 1 + 3 * i % 10,
                   picture);
    }
    const QByteArray bytes = writeLibrary(doc.stiche);

    ChartDocument loaded;
    const auto result = readLibrary(bytes, loaded.stiche);
    EXPECT_EQ(result.status, FileStatus::Ok);
    EXPECT_EQ(result.read, 4);
    ASSERT_EQ(loaded.stiche.count, 4u);
    for (std::uint32_t i = 0; i < 4; ++i) {
        const TStich& a = doc.stiche[i];
        const TStich& b = loaded.stiche[i];
        EXPECT_EQ(ownedTextToString(b.bezeichnung), ownedTextToString(a.bezeichnung));
        EXPECT_EQ(ownedTextToString(b.rueckreihe), ownedTextToString(a.rueckreihe));
        EXPECT_EQ(b.breite, a.breite);
        EXPECT_EQ(pixelBytes(b.di), pixelBytes(a.di));
        if (b.di.ispal) {
            EXPECT_EQ(b.di.pmi->colors()[0].rgbRed, 3 + int(i));
        }
    }
    EXPECT_EQ(writeLibrary(loaded.stiche), bytes);
}

TEST(StitchLibraryFile, TruncatedFileKeepsOnlyCompleteStitches) {
    ChartDocument doc;
    for (int i = 0; i < 3; ++i) {
        fillStitch(*doc.stiche.Add(), QStringLiteral("S%1").arg(i), 1, makePatternPicture(3, 3, 4));
    }
    const QByteArray bytes = writeLibrary(doc.stiche);
    const int stitchBytes = (bytes.size() - 4) / 3;
    for (int cut = 0; cut < bytes.size(); ++cut) {
        ChartDocument loaded;
        const auto result = readLibrary(bytes.left(cut), loaded.stiche);
        ASSERT_EQ(result.status, FileStatus::Damaged) << cut;
        const int complete = cut < 4 ? 0 : (cut - 4) / stitchBytes;
        ASSERT_EQ(int(loaded.stiche.count), complete) << cut;
        ASSERT_EQ(result.read, complete);
        for (const TStich& s : loaded.stiche) {
            ASSERT_NE(s.di.poi, nullptr);
        }
    }
}

TEST(StitchLibraryFile, DataFolderFollowsThePlatformLocation) {
    EXPECT_EQ(StitchLibraryFile::dataFolder(QStringLiteral("/home/anna/.local/share"),
                                            QStringLiteral("/opt/x/")),
              QStringLiteral("/home/anna/.local/share/Orvenal/Tessaplan-Designer/"));
    EXPECT_EQ(StitchLibraryFile::dataFolder(QStringLiteral("/data/"), QStringLiteral("/opt/x/")),
              QStringLiteral("/data/Orvenal/Tessaplan-Designer/"));
    EXPECT_EQ(StitchLibraryFile::dataFolder(QString(), QStringLiteral("/opt/x/")),
              QStringLiteral("/opt/x/"));
}
