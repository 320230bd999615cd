#include "Pictures.h"
#include "TestSupport.h"

#include "imageops/Depth.h"
#include "imageops/PaletteFile.h"
#include "imageops/Palettes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using imageops::OpMessage;
using imageops::OpStatus;

const OpMessage kLoadError{
    MessageIcon::Error, QStringLiteral("Fehler beim Laden der Palette!"), {}};
const OpMessage kMismatch{
    MessageIcon::Error, QStringLiteral("Palette paßt nicht zum Bild oder illegale Palette!"), {}};
const OpMessage kIllegal{MessageIcon::Error, QStringLiteral("Illegale Palette!"), {}};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// An 8-bit picture whose palette uses every byte, flags included.
OwnedDib markedPicture(int bits) {
    OwnedDib d = patternPicture(9, 3, bits);
    for (std::uint32_t i = 0; i < DIBColorTableSize(d.get()); ++i) {
        const PALETTEENTRY e{std::uint8_t(i * 7), std::uint8_t(i * 13), std::uint8_t(i * 29),
                             std::uint8_t(i & 1)};
        d->pal.pal[i] = e;
        d->pmi->colors()[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
    }
    return d;
}

// Palette, colour table and pixels in one buffer.
std::vector<std::uint8_t> everything(const dib& d) {
    std::vector<std::uint8_t> bytes = pixelBytes(d);
    const auto* pal = reinterpret_cast<const std::uint8_t*>(&d.pal);
    bytes.insert(bytes.end(), pal, pal + sizeof(LPAL));
    const auto* table = reinterpret_cast<const std::uint8_t*>(d.pmi->colors());
    bytes.insert(bytes.end(), table, table + 4 * DIBColorTableSize(d));
    return bytes;
}

TEST(PaletteFile, RoundTripsByteForByteAndReloadingChangesNothing) {
    QTemporaryDir folder;
    for (const int bits : {4, 8}) {
        const QString path = folder.filePath(QStringLiteral("farben%1.PAL").arg(bits));
        OwnedDib picture = markedPicture(bits);
        ASSERT_EQ(imageops::savepal(picture.get(), path).status, OpStatus::Done);
        const QByteArray saved = fileBytes(path);
        ASSERT_EQ(saved.size(), 1028);
        const auto expected = imageops::paletteFileBytes(picture->pal);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(expected.data()), 1028), saved);
        EXPECT_EQ(saved.left(4), bits == 4 ? QByteArray("\x00\x03\x10\x00", 4)
                                           : QByteArray("\x00\x03\x00\x01", 4));

        const std::vector<std::uint8_t> before = everything(picture.get());
        const imageops::PaletteCommandResult loaded = imageops::loadpal(picture.get(), path);
        EXPECT_EQ(loaded.status, OpStatus::Done);
        EXPECT_TRUE(loaded.messages.isEmpty());
        EXPECT_EQ(everything(picture.get()), before);
        ASSERT_EQ(imageops::savepal(picture.get(), path).status, OpStatus::Done);
        EXPECT_EQ(fileBytes(path), saved);
    }
}

TEST(PaletteFile, LoadingGivesNewColoursToTheSameIndexes) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("std.PAL"));
    OwnedDib source = patternPicture(2, 2, 4);
    imageops::setPaletteEntries(source.get(), imageops::StdPal16);
    ASSERT_EQ(imageops::savepal(source.get(), path).status, OpStatus::Done);

    OwnedDib picture = markedPicture(4);
    const std::vector<std::uint8_t> pixels = pixelBytes(picture.get());
    ASSERT_EQ(imageops::loadpal(picture.get(), path).status, OpStatus::Done);
    EXPECT_EQ(pixelBytes(picture.get()), pixels);
    for (int i = 0; i < 16; ++i) {
        const RGBQUAD q = picture->pmi->colors()[i];
        EXPECT_EQ((grafikrw3::Rgb{q.rgbRed, q.rgbGreen, q.rgbBlue}),
                  imageops::StdPal16[std::size_t(i)]);
    }
}

TEST(PaletteFile, DamagedOrUnfittingFilesAreRefusedAndTouchNothing) {
    QTemporaryDir folder;
    OwnedDib sixteen = patternPicture(3, 3, 4);
    const QString good = folder.filePath(QStringLiteral("gut.PAL"));
    ASSERT_EQ(imageops::savepal(sixteen.get(), good).status, OpStatus::Done);
    const QByteArray bytes = fileBytes(good);

    struct Case {
        const char* name;
        QByteArray content;
        OpMessage loadpalSays; // into a 256-colour picture
        OpMessage loadpal0Says;
    };
    QByteArray otherVersion = bytes;
    otherVersion[1] = 2;
    QByteArray seventeen = bytes;
    seventeen[2] = 17;
    const Case cases[] = {
        {"empty", QByteArray(), kLoadError, kLoadError},
        {"short", bytes.left(1027), kLoadError, kLoadError},
        {"long", bytes + QByteArray(1, '\0'), kMismatch, kIllegal},
        {"version", otherVersion, kMismatch, kIllegal},
        {"seventeen", seventeen, kMismatch, kIllegal},
        {"sixteen", bytes, kMismatch, {}}, // 16 entries do not fit 256 colours
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.filePath(QString::fromLatin1(c.name));
        writeBytes(path, c.content);
        OwnedDib picture = markedPicture(8);
        const std::vector<std::uint8_t> before = everything(picture.get());
        const auto loaded = imageops::loadpal(picture.get(), path);
        EXPECT_EQ(loaded.status, OpStatus::Unchanged);
        EXPECT_EQ(loaded.messages, QList<OpMessage>{c.loadpalSays});
        if (!c.loadpal0Says.text.isEmpty()) {
            bool asked = false;
            const auto adapted = imageops::loadpal0(picture.get(), path, [&](const OpMessage&) {
                asked = true;
                return true;
            });
            EXPECT_EQ(adapted.messages, QList<OpMessage>{c.loadpal0Says});
            EXPECT_FALSE(asked);
        }
        EXPECT_EQ(everything(picture.get()), before);
    }
    OwnedDib eight = markedPicture(8);
    EXPECT_EQ(imageops::loadpal(eight.get(), folder.filePath(QStringLiteral("fehlt.PAL"))).messages,
              QList<OpMessage>{kLoadError});
}

TEST(PaletteFile, AdaptingConvertsToTheLoadedPalette) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("std16.PAL"));
    OwnedDib holder = patternPicture(1, 1, 4);
    imageops::setPaletteEntries(holder.get(), imageops::StdPal16);
    ASSERT_EQ(imageops::savepal(holder.get(), path).status, OpStatus::Done);

    for (const bool diffuse : {false, true}) {
        OwnedDib picture = patternPicture(33, 5, 24);
        OwnedDib expected;
        grafikrw3::newdib(&expected.get(), 33, 5, 4, nullptr, 0);
        imageops::setPaletteEntries(expected.get(), imageops::StdPal16);
        ASSERT_EQ(diffuse ? imageops::FSErrorDither(picture.get(), expected.get())
                          : imageops::NearestColours(picture.get(), expected.get()),
                  OpStatus::Done);
        QList<OpMessage> asked;
        const auto result = imageops::loadpal0(picture.get(), path, [&](const OpMessage& q) {
            asked.append(q);
            return diffuse;
        });
        ASSERT_EQ(result.status, OpStatus::Done);
        EXPECT_TRUE(result.messages.isEmpty());
        EXPECT_EQ(asked, QList<OpMessage>{imageops::loadpal0Question()});
        EXPECT_EQ(asked.front().caption, QStringLiteral("Farbpalette laden?"));
        EXPECT_EQ(DIBBitCount(picture.get()), 4);
        EXPECT_EQ(DIBWidth(picture.get()), 33);
        EXPECT_EQ(DIBHeight(picture.get()), 5);
        EXPECT_EQ(picture->pal.num, 16);
        EXPECT_EQ(pixelBytes(picture.get()), pixelBytes(expected.get()));
    }

    OwnedDib picture = patternPicture(9, 3, 24);
    const std::vector<std::uint8_t> before = pixelBytes(picture.get());
    AllocationFailure noMemory(1);
    const auto result =
        imageops::loadpal0(picture.get(), path, [](const OpMessage&) { return true; });
    EXPECT_EQ(result.status, OpStatus::NoMemory);
    EXPECT_EQ(
        result.messages,
        (QList<OpMessage>{{MessageIcon::Error,
                           QStringLiteral("Fehler: nicht genug Speicher für diese Operation!"),
                           {}},
                          kLoadError}));
    EXPECT_EQ(pixelBytes(picture.get()), before);
}

TEST(PaletteFile, SavedFileSaysWhatThePictureHoldsSoItLoadsAgain) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("wenige.PAL"));
    OwnedDib picture = markedPicture(4);
    picture->pal.num = 5; // counts fewer entries than its 16
    picture->pal.ver = 0;
    ASSERT_EQ(imageops::savepal(picture.get(), path).status, OpStatus::Done);
    EXPECT_EQ(fileBytes(path).left(4), QByteArray("\x00\x03\x10\x00", 4));
    EXPECT_EQ(imageops::loadpal(picture.get(), path).status, OpStatus::Done);
}

TEST(PaletteFile, SavingOnlyForPalettesAndSaysWhenItFails) {
    QTemporaryDir folder;
    OwnedDib trueColour = patternPicture(2, 2, 24);
    OwnedDib twoColours = patternPicture(2, 2, 1);
    const QString path = folder.filePath(QStringLiteral("x.PAL"));
    EXPECT_EQ(imageops::savepal(trueColour.get(), path).status, OpStatus::Unchanged);
    EXPECT_EQ(imageops::savepal(twoColours.get(), path).status, OpStatus::Unchanged);
    EXPECT_FALSE(QFile::exists(path));

    OwnedDib eight = markedPicture(8);
    const auto failed =
        imageops::savepal(eight.get(), folder.filePath(QStringLiteral("fehlt/x.PAL")));
    EXPECT_EQ(failed.status, OpStatus::Unchanged);
    EXPECT_EQ(failed.messages,
              (QList<OpMessage>{
                  {MessageIcon::Error, QStringLiteral("Fehler beim Speichern der Palette!"), {}}}));
}

} // namespace
