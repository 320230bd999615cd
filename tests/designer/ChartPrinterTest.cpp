#include "designer/ChartPrinter.h"

#include "FileTestHelpers.h"
#include "designer/ChartOutput.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::vector<int> sizes(const std::vector<ChartPrinter::Band>& bands) {
    std::vector<int> out;
    int next = 0;
    for (const ChartPrinter::Band& band : bands) {
        EXPECT_EQ(band.begin, next); // bands follow each other without gaps
        out.push_back(band.end - band.begin);
        next = band.end;
    }
    return out;
}

// The sheets of a PDF as pictures, one pixel per device pixel of `dpi`.
std::vector<QImage> rasterize(const QString& pdf, int dpi) {
    QProcess tool;
    const QString prefix = QFileInfo(pdf).dir().filePath(QStringLiteral("seite"));
    tool.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf, prefix});
    EXPECT_TRUE(tool.waitForFinished(120000) && tool.exitCode() == 0)
        << "pdftoppm (poppler-utils) is needed";
    std::vector<QImage> pages;
    for (const QString& name :
         QFileInfo(pdf).dir().entryList({QStringLiteral("seite*.png")}, QDir::Files, QDir::Name)) {
        pages.emplace_back(QFileInfo(pdf).dir().filePath(name));
    }
    return pages;
}

// What a number box of the grid shows: the light blue of its gradient, and dark digits.
struct BoxLook {
    bool headerBlue = false;
    bool digits = false;
};
BoxLook look(const QImage& page, const QRect& box) {
    BoxLook out;
    const QColor inner = page.pixelColor(box.left() + 3, box.top() + 3);
    out.headerBlue = inner.blue() > inner.red() + 5 && qGray(inner.rgb()) > 200;
    for (int y = box.top() + 3; y < box.bottom() - 2; ++y) {
        for (int x = box.left() + 3; x < box.right() - 2; ++x) {
            out.digits = out.digits || qGray(page.pixel(x, y)) < 110;
        }
    }
    return out;
}

} // namespace

TEST(ChartPrinter, BandsAreTheFewestThatFitAndAsEvenAsTheyCanBe) {
    const struct {
        int count, firstRoom, room;
        std::vector<int> expected;
    } cases[] = {
        {60, 27, 27, {20, 20, 20}},
        {61, 27, 27, {20, 20, 21}},
        {80, 40, 42, {40, 40}},
        {85, 40, 42, {28, 28, 29}},
        {50, 5, 42, {5, 22, 23}}, // a tall heading leaves little room on the first sheet
        {27, 27, 27, {27}},
        {3, 0, 0, {1, 1, 1}}, // cells larger than the sheet: one each
        {0, 10, 10, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sizes(ChartPrinter::balancedBands(c.count, c.firstRoom, c.room)), c.expected)
            << c.count << " in " << c.firstRoom << "/" << c.room;
    }
}

TEST(ChartPrinter, EverySheetOfALargeChartCanBeReadAlone) {
    ChartDocument doc;
    dib picture;
    grafikrw3::newdib(&picture, 20, 20, 24, nullptr, 0);
    grafikrw3::FilledEllipse(picture, 2, 2, 17, 17, 0x00c000);
    fillStitch(*doc.stiche.Add(), QStringLiteral("Noppe"), 1, picture);
    ASSERT_TRUE(doc.buildChart(80, 60, 0));
    PageSettings settings;
    settings.firstRow = 1;
    settings.text = QStringLiteral("Ende.");

    // Printed as the command line does: A4 without margins, here at 150 dpi, where cells are
    // 38 pixels, lines 2 and the margin 59.
    constexpr int kDpi = 150;
    constexpr int c = 38, lw = 2, M = 59;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("gross.pdf"));
    QPdfWriter writer(pdf);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    const QSize sheet = writer.pageLayout().paintRectPixels(kDpi).size();
    QPainter painter(&writer);
    ChartPrinter layout(painter, doc, settings, kDpi, sheet);
    const int printed = ChartOutput::printChart(writer, painter, doc, settings, kDpi, sheet);
    painter.end();

    // 60 columns on three sheets of 20, 80 rows on two of 40, then the legend and the text.
    EXPECT_EQ(sizes(layout.columnBands()), (std::vector<int>{20, 20, 20}));
    EXPECT_EQ(sizes(layout.rowBands()), (std::vector<int>{40, 40}));
    EXPECT_EQ(printed, 7);
    const std::vector<QImage> pages = rasterize(pdf, kDpi);
    ASSERT_EQ(int(pages.size()), printed);

    PageRenderer rules(doc, settings, kDpi, true, sheet.width());
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter measuring(&scratch);
    rules.Drawpage(measuring, QRect(-2, -2, 1, 1));
    measuring.end();
    for (int s = 0; s < 6; ++s) {
        const QImage& page = pages[std::size_t(s)];
        const int firstRow = 40 * (s / 3); // 0-based chart row at the top of this sheet
        const int top = s == 0 ? rules.gridTop() : M;
        auto box = [&](int gridColumn, int gridRow) {
            return QRect(M + c * gridColumn + lw, top + c * gridRow + lw, c - lw, c - lw);
        };
        const std::string where = "sheet " + std::to_string(s + 1);
        // Column numbers above the sheet's 20 columns, between the two corner boxes.
        for (int column = 0; column <= 21; ++column) {
            const BoxLook header = look(page, box(column, 0));
            EXPECT_TRUE(header.headerBlue) << where << ", column box " << column;
            EXPECT_EQ(header.digits, column >= 1 && column <= 20) << where << ", column " << column;
        }
        // Both row-number columns, each number on its side.
        for (int row = 1; row <= 40; ++row) {
            const BoxLook left = look(page, box(0, row));
            const BoxLook right = look(page, box(21, row));
            EXPECT_TRUE(left.headerBlue && right.headerBlue) << where << ", row " << row;
            const bool onTheRight = rules.rowNumber(firstRow + row).right;
            EXPECT_EQ(left.digits, !onTheRight) << where << ", row " << row;
            EXPECT_EQ(right.digits, onTheRight) << where << ", row " << row;
        }
        // Nothing of the grid beyond the right number column or below the last row.
        EXPECT_FALSE(look(page, box(22, 1)).headerBlue) << where;
        EXPECT_FALSE(look(page, box(0, 41)).headerBlue) << where;
    }

    // Small charts stay on one sheet.
    ChartDocument small;
    ASSERT_TRUE(small.buildChart(10, 10, -1));
    QPdfWriter one(folder.filePath(QStringLiteral("klein.pdf")));
    one.setResolution(kDpi);
    QPainter onePainter(&one);
    EXPECT_EQ(ChartOutput::printChart(one, onePainter, small, settings, kDpi, sheet), 1);
}
