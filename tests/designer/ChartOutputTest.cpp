#include "designer/ChartOutput.h"

#include "FileTestHelpers.h"
#include "Pictures.h"
#include "designer/PageRenderer.h"

#include "foundation/grafikrw3/ImageFiles.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void fillChart(ChartDocument& doc, int rows, int columns) {
    dib picture;
    grafikrw3::newdib(&picture, 20, 20, 24, nullptr, 0);
    grafikrw3::FilledEllipse(picture, 2, 2, 17, 17, 0x00c000);
    fillStitch(*doc.stiche.Add(), QStringLiteral("Noppe"), 1, picture);
    ASSERT_TRUE(doc.buildChart(rows, columns, 0));
}

// The picture as a top-down RGB32 image.
QImage asImage(const dib& picture) {
    QImage image(DIBWidth(picture), DIBHeight(picture), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t v = grafikrw3::getpixel(picture, x, y);
            image.setPixel(x, y, qRgb(int(v & 0xff), int((v >> 8) & 0xff), int(v >> 16)));
        }
    }
    return image;
}

// Renders the export in one piece, as the banded export must come out.
QImage exportInOnePiece(ChartDocument& doc, const PageSettings& settings, int dpi,
                        double pageWidth) {
    const QSize size = ChartOutput::exportSize(doc, settings, dpi, pageWidth);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageRenderer(doc, settings, dpi, false,
                 ChartOutput::exportPageWidth(doc, settings, dpi, pageWidth))
        .Drawpage(painter);
    return image;
}

// An A4 page is 210 mm wide, 794 pixels at 96 dpi.
constexpr double kA4 = 210;
constexpr int kA4At96 = 794;

} // namespace

// What the picture shows, its margins and the grid's place are checked on the program's
// --export; here the banded rendering and the device sizes.
TEST(ChartOutput, ExportedPictureIsRenderedInBandsAtTheResolutionItRecords) {
    ChartDocument doc;
    fillChart(doc, 10, 10);
    PageSettings settings;
    settings.text = QStringLiteral("Nach dem Bündchen beginnen.");
    dib picture;
    ASSERT_TRUE(ChartOutput::renderPicture(doc, settings, 96, kA4, picture));
    PictureOwner owner(picture);
    EXPECT_EQ(DIBBitCount(picture), 24);
    EXPECT_TRUE(asImage(picture) == exportInOnePiece(doc, settings, 96, kA4));

    // At 300 dpi cells are 76 pixels with 4-pixel lines; the margin is 118.
    dib large;
    ASSERT_TRUE(ChartOutput::renderPicture(doc, settings, 300, kA4, large));
    PictureOwner largeOwner(large);
    EXPECT_EQ(large.pmi->bmiHeader.biXPelsPerMeter, 11811);
    const CellRect& cell = doc.cellAt(4, 4).feldrect;
    EXPECT_EQ(cell.left, 118 + 76 * 5 + 4);
    EXPECT_EQ(cell.right - cell.left, 76 - 8 + 1);
    EXPECT_EQ(grafikrw3::getpixel(large, cell.left - 2, cell.top + 30),
              128u | 128u << 8 | 128u << 16);
    EXPECT_EQ(grafikrw3::getpixel(large, cell.left + 38, cell.top + 38), 0x00c000u); // the symbol
}

TEST(ChartOutput, ExportedTextWrapsAtThePrintersPageOrTheWiderGrid) {
    PageSettings settings;
    settings.legende = false;
    for (int i = 0; i < 80; ++i) {
        settings.text += QStringLiteral("Maschen ");
    }
    ChartDocument narrow;
    fillChart(narrow, 10, 10);
    const QSize page = ChartOutput::exportSize(narrow, settings, 96, kA4);
    EXPECT_LE(page.width(), kA4At96);
    EXPECT_GT(page.width(), kA4At96 - 2 * 37 - 100); // one word at most short of the page

    // 62 grid columns are 1489 pixels, more than the page's text width: the text takes that.
    ChartDocument wide;
    fillChart(wide, 10, 60);
    EXPECT_EQ(ChartOutput::exportSize(wide, settings, 96, kA4).width(), 37 + 1489 + 37);

    // Without anything to show, the picture is the margin.
    settings.tessaplan = false;
    settings.text.clear();
    EXPECT_EQ(ChartOutput::exportSize(wide, settings, 96, kA4), QSize(74, 74));
}

TEST(ChartOutput, ExportPlanSuggestsAResolutionThatFits) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(100, 100, -1));
    const PageSettings settings;
    auto plan = [&](int dpi, std::uint64_t budget, grafikrw3::ImageFormat format) {
        return ChartOutput::planExport(doc, settings, dpi, kA4, int(format), budget);
    };
    // JPEG needs the whole picture at once.
    constexpr auto kWhole = grafikrw3::ImageFormat::Jpg;
    EXPECT_TRUE(plan(96, 1ull << 34, kWhole).fits);
    const ChartOutput::ExportPlan big = plan(4000, 1ull << 34, kWhole);
    EXPECT_FALSE(big.fits); // beyond what one picture may hold
    ASSERT_GT(big.suggestedDpi, 10);
    EXPECT_TRUE(plan(big.suggestedDpi, 1ull << 34, kWhole).fits);
    EXPECT_FALSE(plan(big.suggestedDpi + 1, 1ull << 34, kWhole).fits);
    EXPECT_FALSE(plan(96, 1000, kWhole).fits); // a tiny machine

    // PNG is written band by band: a band of 256 rows, as an image and as picture rows.
    const ChartOutput::ExportPlan banded = plan(4000, 1ull << 34, grafikrw3::ImageFormat::Png);
    EXPECT_TRUE(banded.fits);
    EXPECT_EQ(banded.size, big.size);
    EXPECT_EQ(banded.bytes, 256 * (std::int64_t(banded.size.width()) * 4 +
                                   grafikrw3::rowBytes(banded.size.width(), 24)));
    EXPECT_FALSE(plan(4000, 1000, grafikrw3::ImageFormat::Png).fits);
}

TEST(ChartOutput, ExportInBandsWritesTheFileOfTheWholePicture) {
    ChartDocument doc;
    fillChart(doc, 12, 9);
    PageSettings settings;
    settings.text = QStringLiteral("Nach dem Bündchen beginnen.");
    dib picture;
    ASSERT_TRUE(ChartOutput::renderPicture(doc, settings, 96, kA4, picture));
    PictureOwner owner(picture);
    ASSERT_GT(DIBHeight(picture), 2 * 256); // several bands, the last one shorter
    ASSERT_NE(DIBHeight(picture) % 256, 0);
    QTemporaryDir folder;
    for (int code = grafikrw3::kFirstFormatCode; code <= grafikrw3::kLastFormatCode; ++code) {
        const QString name =
            folder.filePath(QStringLiteral("export") + grafikrw3::formatExtension(code));
        ASSERT_EQ(ChartOutput::exportPicture(doc, settings, 96, kA4, name, code),
                  ChartOutput::ExportResult::Saved)
            << code;
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll() == grafikrw3::SaveDibToBytes(picture, code)) << code;
    }
    EXPECT_EQ(ChartOutput::exportPicture(doc, settings, 96, kA4,
                                         folder.filePath(QStringLiteral("fehlt/export.png")),
                                         int(grafikrw3::ImageFormat::Png)),
              ChartOutput::ExportResult::NotWritten);
}
