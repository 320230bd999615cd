#include "designer/ChartPrinter.h"

#include "FileTestHelpers.h"
#include "PdfImages.h"
#include "Pictures.h"
#include "designer/ChartOutput.h"
#include "foundation/DrawDib.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

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

TEST(ChartPrinter, APrintoutHoldsEachPictureOnceAndAsItIs) {
    // A 1-bit symbol in two colours and a true-colour one, on two sheets of the grid and in
    // the legend on a third.
    ChartDocument doc;
    dib perle = makePatternPicture(32, 32, 1);
    perle.pmi->colors()[0] = RGBQUAD{40, 30, 200, 0};
    perle.pmi->colors()[1] = RGBQUAD{90, 220, 10, 0};
    const QImage perleImage = dibToImage(perle).convertToFormat(QImage::Format_RGB32);
    fillStitch(*doc.stiche.Add(), QStringLiteral("Perle"), 1, perle);
    dib noppe = makePatternPicture(20, 20, 24);
    const QImage noppeImage = dibToImage(noppe).convertToFormat(QImage::Format_RGB32);
    fillStitch(*doc.stiche.Add(), QStringLiteral("Noppe"), 1, noppe);
    ASSERT_TRUE(doc.buildChart(20, 30, -1));
    for (int row = 0; row < 20; ++row) {
        for (int column = row % 2; column < 30; column += 2) {
            ASSERT_TRUE(doc.placeStitch(doc.cellAt(row, column), *doc.stiche.at(column % 4 / 2)));
        }
    }
    doc.cellsChanged();
    // The header boxes' gradient, 36 pixels square at 150 dpi.
    constexpr int kDpi = 150;
    constexpr int kBox = 36;
    QImage boxImage(kBox, kBox, QImage::Format_RGB32);
    for (int t = 0; t < kBox; ++t) {
        const QRgb row =
            qRgb((kBox - t) * 247 / kBox + t * 212 / kBox, (kBox - t) * 250 / kBox + t * 226 / kBox,
                 (kBox - t) * 255 / kBox + t * 239 / kBox);
        std::fill_n(reinterpret_cast<QRgb*>(boxImage.scanLine(t)), kBox, row);
    }

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("bilder.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(kDpi);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        EXPECT_EQ(ChartOutput::printChart(writer, painter, doc, PageSettings{}, kDpi,
                                          writer.pageLayout().paintRectPixels(kDpi).size()),
                  3);
    }
    const QImage known[] = {perleImage, noppeImage, boxImage};
    std::map<int, int> objects; // object number: which of the known pictures it holds
    std::set<int> pages;
    for (const PdfImage& image : pdfImages(pdf, true)) {
        EXPECT_NE(image.encoding, QStringLiteral("jpeg"));
        const auto which = std::find(std::begin(known), std::end(known), image.pixels);
        ASSERT_NE(which, std::end(known)) << "page " << image.page;
        const auto [at, added] = objects.emplace(image.object, int(which - std::begin(known)));
        EXPECT_EQ(at->second, which - std::begin(known)) << "object " << image.object;
        pages.insert(image.page);
    }
    EXPECT_EQ(objects.size(), 3u);
    EXPECT_EQ(pages, (std::set<int>{1, 2, 3}));
}

TEST(ChartPrinter, LegendTextWrapsWithinThePageOnScreenPaperAndInPictures) {
    // The legend line of a 2/2 cable with both instructions is longer than a line of A4.
    ChartDocument doc;
    dib symbol;
    grafikrw3::newdib(&symbol, 40, 10, 24, nullptr, 0);
    grafikrw3::recht_filled(symbol, 0, 0, 39, 9, 0x203040);
    TStich& zopf = *doc.stiche.Add();
    fillStitch(zopf, QStringLiteral("2/2 Zopf nach rechts"), 4, symbol);
    freeOwnedText(zopf.hinreihe);
    freeOwnedText(zopf.rueckreihe);
    zopf.hinreihe = ownedTextFromString(QStringLiteral(
        "2 M auf Hilfsnadel hinter die Arbeit, 2 M re, 2 M von Hilfsnadel re stricken"));
    zopf.rueckreihe =
        ownedTextFromString(QStringLiteral("4 M li stricken, dabei die Maschen nicht verdrehen"));
    ASSERT_TRUE(doc.buildChart(6, 12, 0));
    PageSettings settings;
    settings.tessaplan = false; // the page shows only the legend

    struct Device {
        const char* what;
        int dpi;
        QImage page;
        int pageWidth;
    };
    std::vector<Device> devices;
    constexpr double kA4 = 210;
    {
        QImage screen(794, 400, QImage::Format_RGB32);
        screen.setDotsPerMeterX(int(96 / 0.0254 + 0.5));
        screen.setDotsPerMeterY(int(96 / 0.0254 + 0.5));
        screen.fill(Qt::white);
        QPainter painter(&screen);
        PageRenderer(doc, settings, 96, false, screen.width()).Drawpage(painter);
        devices.push_back({"screen", 96, screen, screen.width()});
    }
    {
        dib picture;
        ASSERT_TRUE(ChartOutput::renderPicture(doc, settings, 300, kA4, picture));
        devices.push_back({"export", 300, dibToImage(picture).convertToFormat(QImage::Format_RGB32),
                           ChartOutput::exportPageWidth(doc, settings, 300, kA4)});
        FreeDIB(picture);
    }
    QTemporaryDir folder;
    {
        const QString pdf = folder.filePath(QStringLiteral("legende.pdf"));
        QPdfWriter writer(pdf);
        writer.setResolution(150);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        const QSize sheet = writer.pageLayout().paintRectPixels(150).size();
        QPainter painter(&writer);
        ChartOutput::printChart(writer, painter, doc, settings, 150, sheet);
        painter.end();
        const std::vector<QImage> pages = rasterize(pdf, 150);
        ASSERT_EQ(pages.size(), 1u);
        devices.push_back({"PDF", 150, pages[0], sheet.width()});
    }

    for (const Device& d : devices) {
        const PageMetrics m = PageMetrics::forDpi(settings, d.dpi);
        QImage probe(1, 1, QImage::Format_RGB32);
        probe.setDotsPerMeterX(int(d.dpi / 0.0254 + 0.5));
        probe.setDotsPerMeterY(int(d.dpi / 0.0254 + 0.5));
        QFont bold = deviceFont(settings.textFont, d.dpi);
        bold.setBold(true);
        const QFontMetrics fm(deviceFont(settings.textFont, d.dpi), &probe);
        const int top = m.M + 2 * QFontMetrics(bold, &probe).height(); // below "Legende:"
        const int boxRight = m.M + 4 * m.L;
        const int line = fm.lineSpacing();
        const int right = d.pageWidth - m.M;
        auto ink = [&](int x1, int y1, int x2, int y2) { // bounding box of the dark pixels
            QRect box;
            for (int y = y1; y < std::min(y2, d.page.height()); ++y) {
                for (int x = x1; x < std::min(x2, d.page.width()); ++x) {
                    if (qGray(d.page.pixel(x, y)) < 160) {
                        box |= QRect(x, y, 1, 1);
                    }
                }
            }
            return box;
        };
        const QRect first = ink(boxRight + m.lw + 1, top, d.page.width(), top + line);
        const QRect second = ink(boxRight + m.lw + 1, top + line, d.page.width(), top + 2 * line);
        const std::string what = d.what;
        EXPECT_TRUE(ink(right, 0, d.page.width(), d.page.height()).isEmpty()) << what;
        ASSERT_FALSE(first.isEmpty()) << what;
        ASSERT_FALSE(second.isEmpty()) << what; // it wraps
        // The second line starts under the first, not under the box.
        EXPECT_NEAR(second.left(), first.left(), fm.height() / 4) << what;
        const int boxBottom = top + m.L + m.lw;
        EXPECT_TRUE(ink(m.M, boxBottom + 1, boxRight + 2, top + 3 * line).isEmpty()) << what;
        // The box keeps its size.
        EXPECT_NEAR(ink(m.M, top, boxRight + m.lw, boxBottom + 1).bottom(), top + m.L, m.lw)
            << what;
        EXPECT_NEAR(ink(m.M, top, boxRight + m.lw, boxBottom + 1).right(), boxRight, m.lw) << what;
    }
    // The exported picture is no wider than the page.
    EXPECT_LE(devices[1].page.width(), devices[1].pageWidth);
}
