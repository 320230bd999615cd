#include "designer/ChartOutput.h"

#include "FileTestHelpers.h"
#include "Pictures.h"
#include "designer/PageRenderer.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
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

} // namespace

TEST(ChartOutput, ExportedPictureIsTheWholeTablePage) {
    ChartDocument doc;
    fillChart(doc, 10, 10);
    PageSettings settings;
    settings.text = QStringLiteral("Nach dem Bündchen beginnen.");
    EXPECT_EQ(ChartOutput::wholeTableSize(doc, settings, 96), QSize(362, 1322));

    dib picture;
    ASSERT_TRUE(ChartOutput::renderPicture(doc, settings, 96, picture));
    PictureOwner owner(picture);
    EXPECT_EQ(DIBBitCount(picture), 24);
    // The same page rendered in one piece.
    QImage whole(362, 1322, QImage::Format_RGB32);
    whole.fill(Qt::white);
    QPainter painter(&whole);
    PageRenderer(doc, settings, 96, false, 362).Drawpage(painter);
    painter.end();
    EXPECT_TRUE(asImage(picture) == whole);

    // At 300 dpi cells are 76 pixels with 4-pixel lines; the margin is 118.
    dib large;
    ASSERT_TRUE(ChartOutput::renderPicture(doc, settings, 300, large));
    PictureOwner largeOwner(large);
    EXPECT_EQ(DIBWidth(large), 76 * 12 + 2 * 118);
    const TRect& cell = doc.cellAt(4, 4).feldrect;
    EXPECT_EQ(cell.right - cell.left, 76 - 8 + 1);
    EXPECT_EQ(grafikrw3::getpixel(large, cell.left - 2, cell.top + 30),
              128u | 128u << 8 | 128u << 16);
    EXPECT_EQ(grafikrw3::getpixel(large, cell.left + 38, cell.top + 38), 0x00c000u); // the symbol
}

TEST(ChartOutput, ExportPlanSuggestsAResolutionThatFits) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(100, 100, -1));
    const PageSettings settings;
    const ChartOutput::ExportPlan small = ChartOutput::planExport(doc, settings, 96, 1ull << 34);
    EXPECT_TRUE(small.fits);
    const ChartOutput::ExportPlan big = ChartOutput::planExport(doc, settings, 4000, 1ull << 34);
    EXPECT_FALSE(big.fits); // beyond what one picture may hold
    ASSERT_GT(big.suggestedDpi, 10);
    EXPECT_TRUE(ChartOutput::planExport(doc, settings, big.suggestedDpi, 1ull << 34).fits);
    EXPECT_FALSE(ChartOutput::planExport(doc, settings, big.suggestedDpi + 1, 1ull << 34).fits);
    EXPECT_FALSE(ChartOutput::planExport(doc, settings, 96, 1000).fits); // a tiny machine
}

TEST(ChartOutput, LargeChartIsPrintedOnSeveralPagesAtCellBoundaries) {
    ChartDocument doc;
    fillChart(doc, 80, 60);
    PageSettings settings;
    settings.text = QStringLiteral("Ende.");
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("gross.pdf"));
    QPdfWriter writer(file);
    const int dpi = 300;
    writer.setResolution(dpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    const QSize page = writer.pageLayout().paintRectPixels(dpi).size();
    QPainter painter(&writer);
    const int pages = ChartOutput::printChart(writer, painter, doc, settings, dpi, page);
    painter.end();

    // 62 grid columns of 76 pixels on a 2480-pixel page with 118-pixel margins: 29 per page,
    // so 3 bands; 81 grid rows at 41 per page (fewer on the first, below the heading).
    const int perRow = (page.width() - 2 * 118 - 4) / 76;
    EXPECT_EQ(perRow, 29);
    const int columnBands = (62 + perRow - 1) / perRow;
    const int rowsPerPage = (page.height() - 2 * 118 - 4) / 76;
    EXPECT_GE(pages, columnBands * ((81 + rowsPerPage - 1) / rowsPerPage) + 1);
    EXPECT_LE(pages, columnBands * ((81 + rowsPerPage - 1) / rowsPerPage + 1) + 1);

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    ASSERT_TRUE(info.waitForFinished(30000)) << "pdfinfo (poppler-utils) is needed";
    const QString output = QString::fromLocal8Bit(info.readAllStandardOutput());
    EXPECT_TRUE(output.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\b").arg(pages))))
        << output.toStdString();

    // Small charts stay on one page.
    ChartDocument small;
    fillChart(small, 10, 10);
    QPdfWriter one(folder.filePath(QStringLiteral("klein.pdf")));
    one.setResolution(dpi);
    QPainter onePainter(&one);
    EXPECT_EQ(ChartOutput::printChart(one, onePainter, small, settings, dpi,
                                      one.pageLayout().paintRectPixels(dpi).size()),
              1);
}
