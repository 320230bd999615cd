#include "foundation/DrawDib.h"

#include "PdfImages.h"
#include "Pictures.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr QRgb kBackground = 0xff123456;

// Draws onto a background-filled image and returns it.
QImage drawn(const dib& picture, QRect dest, QRect source, QSize canvas = {300, 300}) {
    QImage image(canvas, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    DrawDIB(painter, dest.x(), dest.y(), dest.width(), dest.height(), picture, source.x(),
            source.y(), source.width(), source.height(), false);
    return image;
}

// Columns (or rows) of the image that hold anything but the background.
QRect covered(const QImage& image) {
    QRect r;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kBackground) {
                r |= QRect(x, y, 1, 1);
            }
        }
    }
    return r;
}

// True-colour picture whose red channel is the column and green the row (from the top).
PictureOwner coordinatePicture(int width, int height) {
    dib d;
    grafikrw3::newdib(&d, width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(d, x, y, std::uint32_t(x | (y << 8) | 0x400000));
        }
    }
    return PictureOwner(d);
}

} // namespace

TEST(DrawDIB, SourceBeyondTheRightEdgeIsCutAndTheDestinationShrinks) {
    PictureOwner p = coordinatePicture(100, 50);
    const QImage image = drawn(p.picture, QRect(10, 10, 220, 100), QRect(0, 0, 110, 50));
    EXPECT_EQ(covered(image), QRect(10, 10, 200, 100));
}

TEST(DrawDIB, SourceLeftOfThePictureMovesTheDestinationRight) {
    PictureOwner p = coordinatePicture(100, 50);
    const QImage image = drawn(p.picture, QRect(0, 0, 220, 100), QRect(-10, 0, 110, 50));
    EXPECT_EQ(covered(image), QRect(20, 0, 200, 100));
    EXPECT_EQ(qRed(image.pixel(20, 0)), 0); // column 0 of the picture
}

TEST(DrawDIB, SourceBelowAndAboveThePictureCutsHeightAtTheRightEdge) {
    PictureOwner p = coordinatePicture(20, 40);
    // ysrc counts from the bottom: -10 cuts at the bottom, the top edge stays.
    const QImage low = drawn(p.picture, QRect(0, 0, 20, 100), QRect(0, -10, 20, 50));
    EXPECT_EQ(covered(low), QRect(0, 0, 20, 80));
    // Reaching 10 rows above the top cuts at the top and moves the destination down.
    const QImage high = drawn(p.picture, QRect(0, 0, 20, 100), QRect(0, 0, 20, 50));
    EXPECT_EQ(covered(high), QRect(0, 20, 20, 80));
    EXPECT_EQ(qGreen(high.pixel(0, 20)), 0); // the picture's top row
}

TEST(DrawDIB, TrueColourIsSampledColumnByColumnAsTheRowMethodDefines) {
    PictureOwner p = coordinatePicture(100, 100);
    const QImage image = drawn(p.picture, QRect(0, 0, 40, 40), QRect(0, 0, 100, 100));
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(qRed(image.pixel(i, 0)), i * 100 / 40) << i; // columns 0, 2, 5, 7, ...
        ASSERT_EQ(qGreen(image.pixel(0, i)), i * 100 / 40) << i;
    }
}

TEST(DrawDIB, PaletteDepthsShowTheirColoursEnlarged) {
    for (int bits : {1, 4, 8}) {
        PictureOwner p(makePatternPicture(7, 3, bits));
        const QImage image = drawn(p.picture, QRect(5, 5, 21, 9), QRect(0, 0, 7, 3));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 7; ++x) {
                const RGBQUAD c = p.picture.pmi->colors()[grafikrw3::getpixel(p.picture, x, y)];
                const QRgb expected = qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
                ASSERT_EQ(image.pixel(5 + 3 * x + 1, 5 + 3 * y + 1), expected)
                    << bits << ": " << x << "," << y;
            }
        }
    }
}

TEST(DrawDIB, TinyOrEmptyDestinationsAndMissingPicturesDrawSafely) {
    PictureOwner p = coordinatePicture(10, 10);
    EXPECT_EQ(covered(drawn(p.picture, QRect(3, 3, 1, 1), QRect(0, 0, 10, 10))), QRect(3, 3, 1, 1));
    EXPECT_TRUE(covered(drawn(p.picture, QRect(3, 3, 0, 5), QRect(0, 0, 10, 10))).isEmpty());
    EXPECT_TRUE(covered(drawn(p.picture, QRect(3, 3, 5, 5), QRect(0, 0, 0, 10))).isEmpty());
    EXPECT_TRUE(covered(drawn(p.picture, QRect(3, 3, 5, 5), QRect(20, 0, 5, 5))).isEmpty());
    EXPECT_TRUE(covered(drawn(dib{}, QRect(3, 3, 5, 5), QRect(0, 0, 5, 5))).isEmpty());
}

TEST(DibToImage, RegionsOfEveryDepthMatchTheirPixels) {
    for (int bits : kAllDepths) {
        PictureOwner p(makePatternPicture(33, 5, bits));
        const QImage image = dibToImage(p.picture, QRect(9, 1, 17, 3));
        ASSERT_EQ(image.size(), QSize(17, 3));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 17; ++x) {
                const std::uint32_t v = grafikrw3::getpixel(p.picture, 9 + x, 1 + y);
                QRgb expected;
                if (bits == 24) {
                    expected = qRgb(int(v & 0xff), int((v >> 8) & 0xff), int(v >> 16));
                } else {
                    const RGBQUAD c = p.picture.pmi->colors()[v];
                    expected = qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
                }
                ASSERT_EQ(image.pixel(x, y), expected) << bits << ": " << x << "," << y;
            }
        }
    }
}

TEST(DrawDibCache, DrawsWhatDrawDIBDrawsAtEveryDepthSizeAndRepeat) {
    // The same pictures at several sizes, each twice and at several places: the second
    // drawing comes from the cache and must look like DrawDIB's all the same.
    std::vector<OwnedDib> pictures;
    for (int bits : kAllDepths) {
        for (int width : {1, 9, 33}) {
            pictures.push_back(patternPicture(width, 7, bits));
        }
    }
    const QSize sizes[] = {{23, 23}, {5, 17}, {70, 11}, {1, 1}, {0, 4}};
    QImage expected(400, 300, QImage::Format_RGB32);
    QImage cached(expected.size(), QImage::Format_RGB32);
    expected.fill(kBackground);
    cached.fill(kBackground);
    {
        QPainter plain(&expected);
        QPainter fromCache(&cached);
        DrawDibCache cache;
        int x = 0;
        int y = 0;
        for (int round = 0; round < 2; ++round) {
            for (const OwnedDib& p : pictures) {
                for (QSize size : sizes) {
                    DrawDIB(plain, x, y, size.width(), size.height(), p.get(), 0, 0,
                            DIBWidth(p.get()), DIBHeight(p.get()), false);
                    cache.draw(fromCache, x, y, size.width(), size.height(), p.get());
                    x += 37;
                    if (x > 330) {
                        x = round;
                        y += 19;
                    }
                }
            }
        }
    }
    EXPECT_TRUE(cached == expected);
}

TEST(DrawDIB, PdfFilesGetThePicturesOfEveryDepthAsTheyAre) {
    std::vector<OwnedDib> pictures;
    for (int bits : kAllDepths) {
        pictures.push_back(patternPicture(33, 17, bits));
    }
    // One bit in two colours other than black and white.
    pictures.push_back(patternPicture(31, 9, 1));
    RGBQUAD* colors = pictures.back().get().pmi->colors();
    colors[0] = RGBQUAD{40, 30, 200, 0};
    colors[1] = RGBQUAD{90, 220, 10, 0};

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("bilder.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(72);
        QPainter painter(&writer);
        DrawDibCache cache;
        int y = 0;
        for (const OwnedDib& p : pictures) {
            const int w = DIBWidth(p.get());
            const int h = DIBHeight(p.get());
            DrawDIB(painter, 0, y, 2 * w, 2 * h, p.get(), 0, 0, w, h, false);
            // From the cache twice, at two sizes: one picture in the file.
            cache.draw(painter, 100, y, w, h, p.get());
            cache.draw(painter, 200, y, 3 * w, h, p.get());
            y += 3 * h;
        }
    }
    const std::vector<PdfImage> stored = pdfImages(pdf, true);
    ASSERT_EQ(stored.size(), 3 * pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const QImage expected = dibToImage(pictures[i].get()).convertToFormat(QImage::Format_RGB32);
        for (std::size_t k = 3 * i; k < 3 * i + 3; ++k) {
            EXPECT_NE(stored[k].encoding, QStringLiteral("jpeg")) << i;
            EXPECT_TRUE(stored[k].pixels == expected) << i;
        }
        EXPECT_EQ(stored[3 * i + 1].object, stored[3 * i + 2].object) << i;
    }
}
