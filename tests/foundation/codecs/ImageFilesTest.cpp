#include "CodecTestSupport.h"

#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace codectest;
using namespace grafikrw3;

TEST(ImageFiles, FormatCodesFollowTheSaveFilter) {
    const QStringList extensions{".BMP", ".DIB", ".GIF", ".IFF", ".JIF", ".JPG",
                                 ".LBM", ".PCX", ".RLE", ".TGA", ".TIF", ".PNG"};
    for (int code = 3; code <= 14; ++code) {
        EXPECT_EQ(formatExtension(code), extensions[code - 3]);
        EXPECT_EQ(formatForExtension(extensions[code - 3].toLower()), code);
    }
    EXPECT_EQ(formatForExtension(QStringLiteral("Jpg")), 8);
    EXPECT_EQ(formatForExtension(QStringLiteral("xyz")), 0);
    EXPECT_TRUE(formatExtension(2).isEmpty());

    const QStringList save = GetDIBSaveFilter().split(QLatin1Char('|'));
    ASSERT_EQ(save.size(), 24);
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(save[2 * i].contains(extensions[i])) << save[2 * i].toStdString();
    }
    const QStringList open = GetDIBOpenFilter().split(QLatin1Char('|'));
    EXPECT_EQ(open.first(), QStringLiteral("Alle Bilddateien"));
    EXPECT_TRUE(open[1].contains(QStringLiteral("*.png")) &&
                open[1].contains(QStringLiteral("*.TGA")));
}

TEST(ImageFiles, ErrorTextStandsInThePaletteOfTheFailedPicture) {
    dib d;
    OpenDib(&d, tempPath(QStringLiteral("gibt-es-nicht.bmp")));
    EXPECT_EQ(d.poi, nullptr);
    EXPECT_EQ(dibErrorText(d), QStringLiteral("Die Datei konnte nicht geöffnet werden."));
    // The text is UTF-16 from the first palette entry on, zero-terminated.
    EXPECT_EQ(reinterpret_cast<const char16_t*>(&d.pal.pal[0])[0], u'D');

    writeFile(tempPath(QStringLiteral("unsinn.bmp")), QByteArray("kein Bild, nur Text"));
    OpenDib(&d, tempPath(QStringLiteral("unsinn.bmp")));
    EXPECT_EQ(d.poi, nullptr);
    EXPECT_EQ(dibErrorText(d), QStringLiteral("Unbekanntes oder beschädigtes Dateiformat."));

    setDibErrorText(d, QString(600, QLatin1Char('x'))); // longer than the palette holds
    EXPECT_EQ(dibErrorText(d).size(), 511);
}

TEST(ImageFiles, EveryFormatRoundTripsThroughFilesAndIsFoundByContent) {
    Picture original(makeTestPicture(33, 9, 8));
    for (int code = 3; code <= 14; ++code) {
        if (code == 7 || code == 8) {
            continue; // lossy
        }
        const QString name =
            tempPath(QStringLiteral("rund%1%2").arg(code).arg(formatExtension(code)));
        ASSERT_EQ(SaveDib(original.d, name, code), 1) << code;
        // Content decides, not the name: even under a wrong extension (Targa has no signature).
        const QString renamed = name + (code == 12 ? QString() : QStringLiteral(".dat"));
        if (renamed != name) {
            QFile::remove(renamed);
            ASSERT_TRUE(QFile::rename(name, renamed));
        }
        Picture read;
        OpenDib(&read.d, renamed);
        ASSERT_NE(read.d.poi, nullptr) << code << ": " << dibErrorText(read.d).toStdString();
        EXPECT_TRUE(sameColours(toRgb(original.d), toRgb(read.d))) << code;
    }
}

TEST(ImageFiles, FailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    Picture picture(makeTestPicture(8, 8, 24));
    const QString folder = tempPath(QStringLiteral("ziel"));
    QDir().mkpath(folder);
    const QString target = folder + QStringLiteral("/bild.bmp");
    writeFile(target, QByteArray("alt"));
    EXPECT_EQ(SaveDib(picture.d, target, 99), 0); // no such format
    EXPECT_EQ(SaveDib(dib{}, target, 3), 0);      // no picture
    EXPECT_EQ(SaveDib(picture.d, folder + QStringLiteral("/fehlt/bild.bmp"), 3), 0);
    EXPECT_EQ(readFile(target), QByteArray("alt"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("bild.bmp")});
}

TEST(ImageFiles, FilesRecordThePicturesResolutionOrSay72Dpi) {
    Picture picture(makeTestPicture(9, 7, 24));
    const struct {
        int code;
        bool hasField; // whether the format can hold a resolution
    } formats[] = {{3, true}, {8, true}, {10, true}, {13, true}, {14, true}, {5, false}};
    for (const int dpi : {0, 300, 4000}) {
        const std::int32_t perMetre = std::int32_t(std::lround(dpi / 0.0254));
        picture.d.pmi->bmiHeader.biXPelsPerMeter = perMetre;
        picture.d.pmi->bmiHeader.biYPelsPerMeter = perMetre;
        for (const auto& f : formats) {
            const QString name =
                tempPath(QStringLiteral("aufloesung%1%2").arg(dpi).arg(formatExtension(f.code)));
            ASSERT_EQ(SaveDib(picture.d, name, f.code), 1);
            if (!f.hasField) {
                continue;
            }
            // ImageMagick reads what the file says, in dots per inch.
            const QStringList said =
                QString::fromLatin1(
                    runTool(QStringLiteral("identify"),
                            {QStringLiteral("-units"), QStringLiteral("PixelsPerInch"),
                             QStringLiteral("-format"), QStringLiteral("%x %y"), name}))
                    .split(QLatin1Char(' '));
            ASSERT_EQ(said.size(), 2) << name.toStdString();
            const double expected = dpi == 0 ? 72 : dpi;
            EXPECT_NEAR(said[0].toDouble(), expected, 0.05) << name.toStdString();
            EXPECT_NEAR(said[1].toDouble(), expected, 0.05) << name.toStdString();
        }
    }
}

// Rows [top, top + rows) of `picture` as a picture of their own with its colour table.
dib bandOf(const dib& picture, int top, int rows) {
    dib band;
    newdib(&band, DIBWidth(picture), rows, DIBBitCount(picture), picture.pmi,
           std::int32_t(DIBColorTableSize(picture)));
    for (int r = 0; r < rows; ++r) {
        std::memcpy(rowAt(band, r), rowAt(picture, top + r), std::size_t(picture.bytew));
    }
    return band;
}

// Hands `picture` to `writer` in bands of `bandRows`, in the order the writer asks for.
bool writeBands(BandWriter& writer, const dib& picture, int bandRows) {
    const int height = DIBHeight(picture);
    for (int done = 0; done < height; done += bandRows) {
        const int rows = std::min(bandRows, height - done);
        Picture band(bandOf(picture, writer.bottomUp() ? height - done - rows : done, rows));
        if (!writer.write(band.d)) {
            return false;
        }
    }
    return true;
}

TEST(ImageFiles, BandsMakeTheSameFileAsTheWholePicture) {
    for (int code = 3; code <= 14; ++code) {
        const bool banded = code == 3 || code == 4 || code == 10 || code == 11 || code == 12 ||
                            code == 13 || code == 14;
        EXPECT_EQ(BandWriter::writesInBands(code), banded) << code;
        for (const int bits : kDepths) {
            for (const int width : {1, 7, 33}) {
                Picture picture(makeTestPicture(width, 11, bits));
                picture.d.pmi->bmiHeader.biXPelsPerMeter = 11811;
                picture.d.pmi->bmiHeader.biYPelsPerMeter = 11811;
                for (const int bandRows : {1, 4, 11}) {
                    QByteArray bytes;
                    QBuffer buffer(&bytes);
                    buffer.open(QIODevice::WriteOnly);
                    BandWriter writer(buffer, code, picture.d, 11);
                    if (!banded) {
                        EXPECT_FALSE(writer.ok()) << code;
                        break;
                    }
                    ASSERT_TRUE(writeBands(writer, picture.d, bandRows) && writer.finish());
                    EXPECT_EQ(bytes, SaveDibToBytes(picture.d, code))
                        << code << " " << bits << " bits, width " << width << ", bands of "
                        << bandRows;
                }
            }
        }
    }
}

TEST(ImageFiles, BandWriterRefusesWhatItCannotFinishAndKeepsTheOldFile) {
    Picture picture(makeTestPicture(9, 6, 24));
    const QString target = tempPath(QStringLiteral("bänder.png"));
    writeFile(target, QByteArray("alt"));
    auto save = [&](std::int32_t height, const ProgressCallback& progress = {}) {
        return BandWriter::save(
            target, int(ImageFormat::Png), picture.d, height,
            [&](BandWriter& writer) { return writeBands(writer, picture.d, 2); }, progress);
    };
    EXPECT_EQ(save(6), SaveOutcome::Saved);
    writeFile(target, QByteArray("alt"));
    EXPECT_NE(save(6, [](int percent) { return percent < 50; }), SaveOutcome::Saved); // stopped
    EXPECT_NE(save(7), SaveOutcome::Saved);                                           // a row short
    EXPECT_EQ(readFile(target), QByteArray("alt"));
    EXPECT_EQ(QDir(QFileInfo(target).path()).entryList({QStringLiteral("bänder*")}, QDir::Files),
              QStringList{QStringLiteral("bänder.png")});

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    BandWriter other(buffer, int(ImageFormat::Png), picture.d, 6);
    Picture narrow(makeTestPicture(8, 6, 24));
    EXPECT_FALSE(other.write(narrow.d));
    EXPECT_FALSE(other.ok());
    // Sizes the format cannot hold are refused before a row is written.
    EXPECT_FALSE(BandWriter(buffer, int(ImageFormat::Tga), picture.d, 70000).ok());
    EXPECT_FALSE(BandWriter(buffer, int(ImageFormat::Pcx), picture.d, 70000).ok());
    EXPECT_FALSE(BandWriter(buffer, int(ImageFormat::Bmp), picture.d, 0x7fffffff / 8).ok());
}

TEST(Halftone, TrueColourBecomesEightBitsInAFixedPalette) {
    Picture source(makeTestPicture(33, 17, 24));
    Picture toned;
    DIBHalftoneDIB(&toned.d, source.d);
    ASSERT_NE(toned.d.poi, nullptr);
    EXPECT_EQ(DIBBitCount(toned.d), 8);
    EXPECT_EQ(DIBWidth(toned.d), 33);
    // Every pixel lands near its colour: ordered dithering moves a channel by less than a step.
    EXPECT_TRUE(closeColours(toRgb(source.d), toRgb(toned.d), 52, 26.0));

    Picture small;
    DIBHalftoneDIBXY(&small.d, source.d, 11, 5);
    EXPECT_EQ(DIBWidth(small.d), 11);
    EXPECT_EQ(DIBHeight(small.d), 5);

    // Flat greys use the grey ramp, black and white stay exact.
    Picture grey(makeTestPicture(4, 4, 24));
    recht_filled(grey.d, 0, 0, 3, 1, 0x000000);
    recht_filled(grey.d, 0, 2, 3, 3, 0xffffff);
    Picture flat;
    DIBHalftoneDIB(&flat.d, grey.d);
    EXPECT_TRUE(sameColours(toRgb(grey.d), toRgb(flat.d)));
}
