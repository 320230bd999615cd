// SPDX-License-Identifier: GPL-3.0-or-later
#include "designer/ChartThumbnail.h"

#include "FileTestHelpers.h"
#include "Pictures.h"
#include "designer/ChartOutput.h"
#include "designer/PageRenderer.h"
#include "designer/PictureBlock.h"
#include "designer/ProjectFile.h"
#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/PixelRows.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr std::uint64_t kPlenty = std::numeric_limits<std::uint64_t>::max();

// A chart of `rows` x `columns` alternating between a dark disc, a checked 8-bit square and an
// empty cell, with a two-cell stitch in the first row.
void buildChart(ChartDocument& doc, int rows, int columns, int symbolSide) {
    ASSERT_TRUE(doc.buildChart(rows, columns, -1));
    dib disc;
    grafikrw3::newdib(&disc, symbolSide, symbolSide, 24, nullptr, 0);
    grafikrw3::recht_filled(disc, 0, 0, symbolSide - 1, symbolSide - 1, 0xffffff);
    grafikrw3::FilledEllipse(disc, 1, 1, symbolSide - 2, symbolSide - 2, 0x803010);
    dib squares;
    grafikrw3::newdib(&squares, symbolSide, symbolSide, 8, nullptr, 0);
    for (int y = 0; y < symbolSide; ++y) {
        for (int x = 0; x < symbolSide; ++x) {
            grafikrw3::setpixel(squares, x, y, ((x * 4 / symbolSide) + (y * 4 / symbolSide)) % 2);
        }
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if ((r + c) % 3 == 1) {
                fillCell(doc, doc.cellAt(r, c), QStringLiteral("Noppe"), 1, copyDib(disc));
            } else if ((r + c) % 3 == 2) {
                fillCell(doc, doc.cellAt(r, c), QStringLiteral("Perlmuster"), 1, copyDib(squares));
            }
        }
    }
    fillCell(doc, doc.cellAt(0, 3), QStringLiteral("Zopf"), 2, copyDib(disc));
    FreeDIB(disc);
    FreeDIB(squares);
}

// The page drawn whole at `dpi`, as an export draws it.
QImage wholePage(ChartDocument& doc, const PageSettings& settings, int dpi) {
    const QSize size = ChartOutput::exportSize(doc, settings, dpi, 210);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    PageRenderer(doc, settings, dpi, false, ChartOutput::exportPageWidth(doc, settings, dpi, 210))
        .Drawpage(painter);
    return image;
}

double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

// A preview keeps a picture larger than its box as the page would draw it: sampled at the same
// rows and columns, and the stream goes on right after the block.
TEST(PictureBlock, PreviewReadSamplesAPictureAsItIsDrawnAndPassesOverTheRest) {
    const QSize sizes[] = {{1, 1}, {9, 8}, {33, 7}, {7, 33}, {31, 40}, {120, 90}};
    const QSize boxes[] = {{1, 1}, {3, 2}, {8, 8}, {40, 40}, {1000, 3}};
    for (int bits : kAllDepths) {
        for (QSize size : sizes) {
            const OwnedDib full = patternPicture(size.width(), size.height(), bits);
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            {
                ByteWriter out(buffer);
                ASSERT_TRUE(PictureBlock::write(out, full.get()));
                out.writeInt32(0x5eed);
            }
            for (QSize box : boxes) {
                for (std::int64_t readBuffer : {0, 1 << 20}) { // 0: the small built-in one
                    buffer.close();
                    buffer.open(QIODevice::ReadOnly);
                    ByteReader in(buffer, buffer.size(), {}, readBuffer);
                    PictureBlock::InPlace block;
                    ASSERT_EQ(PictureBlock::readInPlace(in, block, box.width(), box.height()),
                              FileStatus::Ok);
                    const QSize fitted =
                        size.width() <= box.width() && size.height() <= box.height()
                            ? size
                            : size.scaled(box, Qt::KeepAspectRatio).expandedTo({1, 1});
                    const std::string where =
                        std::to_string(bits) + " bits " + std::to_string(size.width()) + "x" +
                        std::to_string(size.height()) + " in " + std::to_string(box.width()) + "x" +
                        std::to_string(box.height());
                    ASSERT_LE(std::abs(block.width - fitted.width()), 1) << where;
                    ASSERT_LE(std::abs(block.height - fitted.height()), 1) << where;
                    ASSERT_EQ(block.entries, DIBColorTableSize(full.get()));
                    for (int y = 0; y < block.height; ++y) {
                        const std::uint8_t* row =
                            block.rows + std::int64_t(block.height - 1 - y) * block.bytew;
                        for (int x = 0; x < block.width; ++x) {
                            const std::uint32_t shown = grafikrw3::withDepth(
                                bits, [&](auto format) { return format.get(row, x); }, 0u);
                            ASSERT_EQ(shown, grafikrw3::getpixel(full.get(),
                                                                 size.width() * x / block.width,
                                                                 size.height() * y / block.height))
                                << where << " at " << x << ',' << y;
                        }
                    }
                    std::int32_t after = 0;
                    ASSERT_TRUE(in.readInt32(after));
                    EXPECT_EQ(after, 0x5eed) << where;
                    EXPECT_TRUE(in.atEnd());
                }
            }
        }
    }
}

// The preview of a small and of a 200 x 300 chart is the page drawn at the preview's
// resolution and shrunk: same size and proportions, same picture within the blur of the
// shrinking. Its cells keep their pictures only as large as the preview draws them.
TEST(ChartThumbnail, PreviewIsThePageShrunkToTheSizeAskedFor) {
    struct Case {
        int rows;
        int columns;
        int symbolSide;
        int size;
    };
    const Case cases[] = {
        {10, 10, 40, 128}, {10, 10, 40, 256}, {300, 200, 24, 256}, {3, 40, 20, 64}};
    for (const Case& c : cases) {
        ChartDocument doc;
        buildChart(doc, c.rows, c.columns, c.symbolSide);
        PageSettings settings;
        settings.caption = QStringLiteral("Jacke mit Noppen");
        settings.text = QStringLiteral("Das Muster wird viermal wiederholt.");
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        ASSERT_TRUE(ProjectFile::write(file, doc, settings));
        const QByteArray bytes = file.data();

        ChartDocument preview;
        PageSettings previewSettings;
        ASSERT_EQ(readFrom(bytes,
                           [&](QBuffer& b, std::int64_t size) {
                               return ChartThumbnail::read(b, size, c.size, preview,
                                                           previewSettings, kPlenty);
                           }),
                  FileStatus::Ok);
        EXPECT_EQ(previewSettings.caption, settings.caption);
        EXPECT_EQ(preview.cellAt(0, 3).breite, 2);
        const std::int32_t side = ChartThumbnail::cellSide(c.size, c.columns, c.rows);
        for (int r = 0; r < c.rows; r += 7) {
            for (int col = 0; col < c.columns; col += 5) {
                const TFeld& cell = preview.cellAt(r, col);
                if (cell.belegt) {
                    ASSERT_LE(DIBHeight(cell.stich->di), side);
                }
            }
        }

        const QImage thumbnail = ChartThumbnail::render(preview, previewSettings, c.size);
        ASSERT_FALSE(thumbnail.isNull());
        const QImage page =
            wholePage(doc, settings, ChartThumbnail::drawingDpi(doc, settings, c.size));
        const QSize expected = page.size().scaled(c.size, c.size, Qt::KeepAspectRatio);
        EXPECT_EQ(std::max(thumbnail.width(), thumbnail.height()), c.size);
        EXPECT_LE(std::abs(thumbnail.width() - expected.width()), 1) << c.rows;
        EXPECT_LE(std::abs(thumbnail.height() - expected.height()), 1) << c.rows;
        const QImage shrunk =
            page.scaled(thumbnail.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(meanDifference(thumbnail, shrunk), 1.5) << c.rows << "x" << c.columns;
    }
}
