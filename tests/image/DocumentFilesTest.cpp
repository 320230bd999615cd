#include "DocumentFixture.h"

#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "image/DocumentFiles.h"
#include "imageops/Palettes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace grafikrw3;
using namespace documentfiles;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DocumentFiles, NewImagesAreWhiteInTheStandardPalettes) {
    const int expectedBits[] = {1, 4, 8, 24, 24};
    for (int entry = 0; entry < 5; ++entry) {
        const int bits = depthForEntry(entry);
        ASSERT_EQ(bits, expectedBits[entry]);
        OwnedDib picture = newImage(9, 3, bits);
        ASSERT_TRUE(picture);
        EXPECT_EQ(DIBBitCount(picture.get()), bits);
        const std::uint32_t white = bits == 24 ? 0xffffffu : (1u << bits) - 1u;
        for (const auto& row : pixelValues(picture.get())) {
            for (const std::uint32_t v : row) {
                ASSERT_EQ(v, white);
            }
        }
        const RGBQUAD* table = picture->pmi->colors();
        if (bits == 4) {
            for (int i = 0; i < 16; ++i) {
                const Rgb c = imageops::StdPal16[std::size_t(i)];
                EXPECT_EQ(table[i].rgbRed, c.red);
                EXPECT_EQ(table[i].rgbBlue, c.blue);
                EXPECT_EQ(picture->pal.pal[i].peGreen, c.green);
            }
        } else if (bits == 8) {
            EXPECT_EQ(picture->pal.num, 256);
            EXPECT_EQ(table[255].rgbRed, 255);
            EXPECT_EQ(table[9].rgbBlue, imageops::StdPal256[9].blue);
        } else if (bits == 1) {
            EXPECT_EQ(table[0].rgbRed, 0);
            EXPECT_EQ(table[1].rgbRed, 255);
        }
    }
    EXPECT_FALSE(newImage(0, 3, 24));
}

TEST(DocumentFiles, TheExtensionNamesTheSaveFormat) {
    EXPECT_EQ(saveFormatFor(QStringLiteral("/a/bild.bmp")), 3);
    EXPECT_EQ(saveFormatFor(QStringLiteral("muster.Jpg")), 8);
    EXPECT_EQ(saveFormatFor(QStringLiteral("x.jif")), 7);
    EXPECT_EQ(saveFormatFor(QStringLiteral("x.TIF")), 13);
    EXPECT_EQ(saveFormatFor(QStringLiteral("x.png")), 14);
    EXPECT_EQ(saveFormatFor(QStringLiteral("x.jpeg")), 0);     // read, but not a save format
    EXPECT_EQ(saveFormatFor(QStringLiteral("x.t\u0131f")), 0); // only a to z change case
    EXPECT_EQ(saveFormatFor(QStringLiteral("ohne")), 0);
    EXPECT_TRUE(needsJpegQuality(7));
    EXPECT_TRUE(needsJpegQuality(8));
    EXPECT_FALSE(needsJpegQuality(3));
}

class DocumentFileFormats : public ::testing::TestWithParam<std::tuple<int, int>> {};

// Every save format at every depth: written, read back into a document that had a selection
// and undo steps, bound to the file and format, and (for the formats that keep pixels) equal.
TEST_P(DocumentFileFormats, SaveAndOpenBindTheDocumentToTheFile) {
    const auto [code, bits] = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bild") + formatExtension(code).toLower());
    DocumentFixture f(patternPicture(33, 7, bits));
    const OwnedDib original(copyDib(f.doc.di.get()));
    ASSERT_TRUE(f.doc.SaveForUndo());
    ASSERT_TRUE(saveImageFile(f.doc, path, code));
    EXPECT_FALSE(f.doc.changed);
    EXPECT_TRUE(f.doc.cansave);
    EXPECT_EQ(f.doc.SaveFormat, code);
    EXPECT_EQ(f.doc.WinName, QStringLiteral("bild") + formatExtension(code).toLower());

    DocumentFixture g(makeWhiteImage(5, 5));
    g.doc.selectShape(0, 0, 2, 2, false, SelectionMode::Replace);
    ASSERT_TRUE(g.doc.SaveForUndo());
    QString error;
    ASSERT_TRUE(openImageFile(g.doc, path, error)) << error.toStdString();
    EXPECT_EQ(g.doc.SaveFilename, path);
    EXPECT_EQ(g.doc.SaveFormat, code);
    EXPECT_TRUE(g.doc.cansave);
    EXPECT_FALSE(g.doc.changed);
    EXPECT_FALSE(g.doc.selaktiv);
    EXPECT_EQ(g.doc.CanUndo, 0);
    EXPECT_TRUE(g.host.caption.contains(g.doc.WinName));
    ASSERT_EQ(DIBWidth(g.doc.di.get()), 33);
    ASSERT_EQ(DIBHeight(g.doc.di.get()), 7);
    const bool lossy = needsJpegQuality(code) || (code == int(ImageFormat::Gif) && bits == 24);
    if (!lossy) {
        EXPECT_EQ(pixelValues(g.doc.di.get()).size(), 7u);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 33; ++x) {
                std::int32_t r1, g1, b1, r2, g2, b2;
                f.doc.SplitColor(std::int32_t(getpixel(original.get(), x, y)), r1, g1, b1);
                g.doc.SplitColor(std::int32_t(getpixel(g.doc.di.get(), x, y)), r2, g2, b2);
                ASSERT_EQ(std::tie(r1, g1, b1), std::tie(r2, g2, b2)) << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, DocumentFileFormats,
                         ::testing::Combine(::testing::Range(kFirstFormatCode, kLastFormatCode + 1),
                                            ::testing::ValuesIn(kAllDepths)));

// A save that fails half-way keeps the previous file and the changed mark; a read-only file is
// overwritten; an unknown extension loads but leaves Save to ask for a name; a file that cannot
// be read leaves the document as it was.
TEST(DocumentFiles, FailuresKeepFileAndDocument) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("alt.bmp"));
    DocumentFixture f(patternPicture(40, 30, 24));
    ASSERT_TRUE(saveImageFile(f.doc, path, 3));
    const QByteArray saved = fileBytes(path);
    ASSERT_TRUE(f.doc.SaveForUndo());
    ASSERT_TRUE(f.doc.changed);
    setpixel(f.doc.di.get(), 0, 0, 0x123456);
    int calls = 0;
    const ProgressCallback stopHalfWay = [&](int percent) { return ++calls < 2 || percent < 50; };
    EXPECT_FALSE(saveImageFile(f.doc, dir.filePath(QStringLiteral("neu.bmp")), 3, stopHalfWay));
    EXPECT_FALSE(saveImageFile(f.doc, path, 3, stopHalfWay));
    EXPECT_EQ(fileBytes(path), saved);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("neu.bmp"))));
    EXPECT_TRUE(f.doc.changed);
    EXPECT_EQ(f.doc.SaveFilename, path);
    EXPECT_EQ(f.doc.WinName, QStringLiteral("alt.bmp"));
    EXPECT_FALSE(saveImageFile(f.doc, dir.filePath(QStringLiteral("fehlt/x.bmp")), 3));

    QFile::setPermissions(path, QFileDevice::ReadOwner);
    ASSERT_TRUE(saveImageFile(f.doc, path, 3));
    EXPECT_NE(fileBytes(path), saved);

    const QString odd = dir.filePath(QStringLiteral("bild.xyz"));
    ASSERT_TRUE(QFile::copy(path, odd));
    QString error;
    ASSERT_TRUE(openImageFile(f.doc, odd, error));
    EXPECT_FALSE(f.doc.cansave);
    EXPECT_EQ(f.doc.SaveFormat, 0);
    EXPECT_EQ(f.doc.WinName, QStringLiteral("bild.xyz"));

    QFile broken(dir.filePath(QStringLiteral("kaputt.bmp")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BMkaputt");
    broken.close();
    EXPECT_FALSE(openImageFile(f.doc, broken.fileName(), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(f.doc.WinName, QStringLiteral("bild.xyz"));
    EXPECT_EQ(openFailureCaption(QStringLiteral("a.bmp")),
              QStringLiteral("Fehler beim Laden (a.bmp)"));
}

} // namespace
