#include "designer/PageRenderer.h"

#include "FileTestHelpers.h"
#include "Pictures.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Renders the whole page at `dpi` into a white image and returns it.
QImage render(ChartDocument& doc, const PageSettings& settings, int dpi,
              PageRenderer** keep = nullptr) {
    const PageMetrics m = PageMetrics::forDpi(settings, dpi);
    QImage image(m.c * (doc.aspalten + 2) + 2 * m.M, m.c * (doc.azeilen + 42) + 2 * m.M,
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
    static std::unique_ptr<PageRenderer> renderer;
    renderer = std::make_unique<PageRenderer>(doc, settings, dpi, false, image.width());
    QPainter painter(&image);
    renderer->Drawpage(painter);
    if (keep) {
        *keep = renderer.get();
    }
    return image;
}

// A library stitch whose picture is one solid colour.
TStich& solidStitch(ChartDocument& doc, const QString& name, int breite, int width, int height,
                    std::uint32_t color) {
    TStich* s = doc.stiche.Add();
    dib picture;
    grafikrw3::newdib(&picture, width, height, 24, nullptr, 0);
    grafikrw3::recht_filled(picture, 0, 0, width - 1, height - 1, color);
    fillStitch(*s, name, breite, picture);
    return *s;
}

void putStitch(ChartDocument& doc, int row, int column, const TStich& s) {
    TFeld& cell = doc.cellAt(row, column);
    doc.releaseCell(cell);
    ASSERT_TRUE(doc.placeStitch(cell, s));
    doc.cellsChanged();
}

QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

} // namespace

TEST(PageMetrics, MillimetresBecomeDevicePixels) {
    PageSettings s;
    const PageMetrics screen = PageMetrics::forDpi(s, 96);
    EXPECT_EQ(screen.c, 24);
    EXPECT_EQ(screen.L, 24);
    EXPECT_EQ(screen.M, 37);
    EXPECT_EQ(screen.lw, 1);
    EXPECT_EQ(screen.pw, 1);
    const PageMetrics print = PageMetrics::forDpi(s, 300);
    EXPECT_EQ(print.c, 76);
    EXPECT_EQ(print.lw, 4);
    EXPECT_EQ(print.pw, 4);
}

TEST(PageRenderer, RowNumbersCountFromTheBottomAndAlternateSides) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(5, 3, -1));
    PageSettings s;
    s.firstRow = 1;
    PageRenderer plain(doc, s, 96, false, 500);
    const int expected[] = {5, 4, 3, 2, 1};
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(plain.rowNumber(k).number, expected[k - 1]);
        EXPECT_EQ(plain.rowNumber(k).right, k % 2 == 0) << k;
    }
    s.dontShowLinks = true;
    PageRenderer rightSides(doc, s, 96, false, 500);
    const int odd[] = {9, 7, 5, 3, 1};
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(rightSides.rowNumber(k).number, odd[k - 1]);
        EXPECT_TRUE(rightSides.rowNumber(k).right);
    }
    s.dontShowLinks = false;
    s.alleRechts = true;
    EXPECT_TRUE(PageRenderer(doc, s, 96, false, 500).rowNumber(1).right);
}

TEST(PageRenderer, RecordsCellRectanglesAndPaintsBoxesGridAndFrame) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(10, 10, -1));
    PageSettings s;
    PageRenderer* renderer = nullptr;
    const QImage image = render(doc, s, 96, &renderer);
    const int c = 24, M = 37, lw = 1;
    const int y0 = renderer->gridTop();
    EXPECT_GT(y0, M); // the heading comes first
    EXPECT_EQ(doc.cellwh, 24);
    const CellRect& first = doc.cellAt(0, 0).feldrect;
    EXPECT_EQ(first.left, M + c + lw);
    EXPECT_EQ(first.top, y0 + c + lw);
    EXPECT_EQ(first.right, M + 2 * c - lw + 1);
    EXPECT_EQ(first.bottom, y0 + 2 * c - lw + 1);
    const CellRect& last = doc.cellAt(9, 9).feldrect;
    EXPECT_EQ(last.left, M + 10 * c + lw);
    EXPECT_EQ(last.top, y0 + 10 * c + lw);

    // Header box of grid column 3: gradient from (247, 250, 255) down to near (212, 226, 239).
    const int boxX = M + 3 * c + lw + 3;
    const int h = c - lw; // rows from Y0 + lw to Y0 + c - 1
    for (int t : {0, 5, h - 1}) {
        const QColor expected((h - t) * 247 / h + t * 212 / h, (h - t) * 250 / h + t * 226 / h,
                              (h - t) * 255 / h + t * 239 / h);
        EXPECT_EQ(at(image, boxX, y0 + lw + t), expected) << t;
    }
    const QColor frame(154, 185, 215);
    const QColor grid(128, 128, 128);
    const int insideRow = y0 + 5 * c + 10;
    EXPECT_EQ(at(image, M, insideRow), frame);           // left edge
    EXPECT_EQ(at(image, M + c, insideRow), frame);       // right of the number column
    EXPECT_EQ(at(image, M + 4 * c, insideRow), grid);    // inner line
    EXPECT_EQ(at(image, M + 4 * c, y0 + 10), frame);     // inner line within the header row
    EXPECT_EQ(at(image, M + 11 * c, insideRow), frame);  // left of the right number column
    EXPECT_EQ(at(image, M + 5 * c + 10, y0 + c), frame); // under the column numbers
    EXPECT_EQ(at(image, M + 5 * c + 10, y0 + 4 * c), grid);
    EXPECT_EQ(at(image, M + 10, y0 + 4 * c), frame); // inside the number column
    EXPECT_EQ(at(image, first.left + 5, first.top + 5), QColor(Qt::white));
}

TEST(PageRenderer, MarkedColumnIsFilledAndFramedInRedOverTheGrid) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(4, 5, -1));
    doc.selectcol = true;
    doc.colnr = 3;
    const QImage image = render(doc, PageSettings{}, 96);
    const QColor marked(93, 123, 153);
    const QColor red(255, 0, 0);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 5; ++c) {
            const CellRect& f = doc.cellAt(r, c).feldrect;
            const QColor inside = at(image, f.left + 3, f.top + 3);
            EXPECT_EQ(inside, c == 2 ? marked : QColor(Qt::white)) << r << "," << c;
        }
        const CellRect& f = doc.cellAt(r, 2).feldrect;
        EXPECT_EQ(at(image, f.left - 1, f.top + 5), red); // on the grid line left of the cell
        EXPECT_EQ(at(image, f.right, f.top + 5), red);    // on the line right of it
    }
}

TEST(PageRenderer, TheRepeatIsFramedInRedOnTheGridLinesAroundItsCells) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(5, 6, -1));
    doc.repeat = {1, 2, 2, 3}; // rows 1 to 2, columns 2 to 4 (0-based)
    const QColor red(255, 0, 0);
    // Where a line across the page meets red, on the screen (96 dpi: 24-pixel cells, 1-pixel
    // lines, a 2-pixel frame) and in a picture at 300 dpi (76, 4 and 6 pixels: half a mm).
    for (const int dpi : {96, 300}) {
        SCOPED_TRACE(dpi);
        PageRenderer* renderer = nullptr;
        const QImage image = render(doc, PageSettings{}, dpi, &renderer);
        const PageMetrics m = renderer->metrics();
        EXPECT_EQ(m.rw, dpi == 96 ? 2 : 6);
        const int y0 = renderer->gridTop();
        const int left = m.M + m.c * 3;             // grid line left of column 2
        const int right = m.M + m.c * 6 + m.lw - 1; // last pixel of the line right of 4
        const int top = y0 + m.c * 2;               // line above row 1
        const int bottom = y0 + m.c * 4 + m.lw - 1; // last pixel of the line below row 2
        std::vector<int> across, down;
        for (int x = 0; x < image.width(); ++x) {
            if (at(image, x, y0 + m.c * 3 - m.c / 4) == red) {
                across.push_back(x);
            }
        }
        for (int y = 0; y < image.height(); ++y) {
            if (at(image, m.M + m.c * 4 + m.c / 4, y) == red) {
                down.push_back(y);
            }
        }
        std::vector<int> expectedAcross, expectedDown;
        for (int k = 0; k < m.rw; ++k) {
            expectedAcross.push_back(left + k);
            expectedDown.push_back(top + k);
        }
        for (int k = m.rw - 1; k >= 0; --k) {
            expectedAcross.push_back(right - k);
            expectedDown.push_back(bottom - k);
        }
        EXPECT_EQ(across, expectedAcross);
        EXPECT_EQ(down, expectedDown);
    }
    PageSettings settings;
    settings.firstRow = 1;
    EXPECT_EQ(PageRenderer(doc, settings, 96, false, 500).repeatText(),
              QStringLiteral("Rapport: Maschen 2–4, Reihen 3–4"));
    settings.dontShowLinks = true;
    doc.repeat = {4, 5, 1, 1};
    EXPECT_EQ(PageRenderer(doc, settings, 96, false, 500).repeatText(),
              QStringLiteral("Rapport: Masche 1, Reihe 1"));
    doc.repeat = {0, 0, 5, 6};
    EXPECT_EQ(PageRenderer(doc, settings, 96, false, 500).repeatText(),
              QStringLiteral("Rapport: Maschen 1–6, Reihen 1–9"));
    doc.repeat = {};
    EXPECT_TRUE(PageRenderer(doc, settings, 96, false, 500).repeatText().isEmpty());
}

TEST(PageRenderer, LegendTextStartsBesideTheBoxWhateverTheSymbolsShape) {
    // A 4-cell cable whose 160 x 120 picture is limited by the box's height is narrower than
    // its box; the text must not start inside it. 96 dpi: 24-pixel legend cells.
    ChartDocument doc;
    const TStich& zopf = solidStitch(doc, QStringLiteral("Zopf"), 4, 160, 120, 0x0000ff);
    const TStich& masche = solidStitch(doc, QStringLiteral("Masche"), 1, 10, 10, 0x0000ff);
    ASSERT_TRUE(doc.buildChart(2, 4, -1));
    putStitch(doc, 0, 0, zopf);
    putStitch(doc, 1, 0, masche);
    doc.repeat = {0, 0, 2, 4};
    PageSettings settings;
    settings.tessaplan = false;
    const QImage image = render(doc, settings, 96);
    // The first dark pixel of each legend line, from the left: its text.
    std::vector<int> starts;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        int first = -1;
        for (int x = 0; x < image.width() && first < 0; ++x) {
            const QColor px = at(image, x, y);
            if (px.red() < 100 && px.green() < 100 && px.blue() < 100) {
                first = x;
            }
        }
        // The outline's top row starts each line's box; text follows in the rows below it.
        if (at(image, 37, y) == QColor(128, 128, 128) && !inLine) {
            inLine = true;
            starts.push_back(image.width());
        } else if (at(image, 37, y) == QColor(Qt::white)) {
            inLine = false;
        }
        if (first >= 0 && !starts.empty()) {
            starts.back() = std::min(starts.back(), first);
        }
    }
    // Boxes 4, 1 and 1 cells wide: text one cell (less a line) after each box.
    EXPECT_EQ(starts.size(), 3u);
    EXPECT_GE(starts.at(0), 37 + 4 * 24 + 24 - 1);
    EXPECT_GE(starts.at(1), 37 + 24 + 24 - 1);
    EXPECT_GE(starts.at(2), 37 + 24 + 24 - 1);
    EXPECT_LT(starts.at(0), 37 + 4 * 24 + 24 + 4);
    // The repeat's line shows a red frame in its box.
    bool redBox = false;
    for (int y = 0; y < image.height(); ++y) {
        redBox |= at(image, 38, y) == QColor(255, 0, 0);
    }
    EXPECT_TRUE(redBox);
}

TEST(PageRenderer, WideStitchSymbolIsScaledIntoItsCells) {
    ChartDocument doc;
    const TStich& zopf = solidStitch(doc, QStringLiteral("Zopf"), 3, 300, 100, 0x0000ff); // red
    ASSERT_TRUE(doc.buildChart(3, 6, -1));
    putStitch(doc, 1, 1, zopf);
    const QImage image = render(doc, PageSettings{}, 96);
    const CellRect& f = doc.cellAt(1, 1).feldrect;
    // 3 cells of 24 pixels less a line: 71 x 23, starting one line width inside the cell.
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == QColor(255, 0, 0) && y < f.bottom + 5) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_EQ(left, f.left);
    EXPECT_EQ(right - left + 1, 71);
    EXPECT_EQ(bottom - top + 1, 23);
}

TEST(PageRenderer, LegendListsEachStitchOnceByTextsAndPicture) {
    ChartDocument doc;
    TStich& masche = solidStitch(doc, QStringLiteral("Masche"), 1, 10, 10, 0x00ff00);
    const TStich& noppe = solidStitch(doc, QStringLiteral("Noppe"), 1, 10, 10, 0x00ff00);
    ASSERT_TRUE(doc.buildChart(2, 3, -1));
    putStitch(doc, 0, 0, masche);
    putStitch(doc, 1, 2, masche);
    putStitch(doc, 0, 1, noppe);
    auto names = [&] {
        QStringList out;
        for (const TFeld* cell : legendCells(doc)) {
            out << ownedTextToString(cell->stich->bezeichnung);
        }
        return out;
    };
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Masche"), QStringLiteral("Noppe")}));

    // The library picture is edited; cells placed afterwards differ from the earlier ones.
    grafikrw3::setpixel(masche.di, 0, 0, 0x123456);
    putStitch(doc, 1, 0, masche);
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Masche"), QStringLiteral("Noppe"),
                                    QStringLiteral("Masche")}));
}

TEST(PageRenderer, StitchesWhoseFingerprintsCollideKeepLinesOfTheirOwn) {
    ChartDocument doc;
    const TStich& masche = solidStitch(doc, QStringLiteral("Masche"), 1, 10, 10, 0x00ff00);
    const TStich& noppe = solidStitch(doc, QStringLiteral("Noppe"), 1, 10, 10, 0xff0000);
    ASSERT_TRUE(doc.buildChart(3, 3, -1));
    putStitch(doc, 0, 0, masche);
    putStitch(doc, 1, 1, noppe);
    putStitch(doc, 2, 2, noppe);
    // Two different stitches with one fingerprint, as a 64-bit hash allows.
    ASSERT_EQ(doc.cellAt(1, 1).stich, doc.cellAt(2, 2).stich);
    const_cast<SharedStitch*>(doc.cellAt(1, 1).stich)->legendKey =
        doc.cellAt(0, 0).stich->legendKey;
    doc.cellsChanged();
    auto lines = [&] {
        std::vector<std::pair<QString, QPoint>> out;
        for (const ChartDocument::LegendEntry& e : doc.legendEntries()) {
            out.emplace_back(ownedTextToString(doc.cellAt(e.row, e.column).stich->bezeichnung),
                             QPoint(e.column, e.row));
        }
        return out;
    };
    using Lines = std::vector<std::pair<QString, QPoint>>;
    EXPECT_EQ(lines(), (Lines{{QStringLiteral("Masche"), QPoint(0, 0)},
                              {QStringLiteral("Noppe"), QPoint(1, 1)}}));

    // A click puts the first stitch over the first cell of the second: its line now names
    // the cell that still holds it.
    render(doc, PageSettings{}, 96);
    doc.stichnr = 0;
    const CellRect& target = doc.cellAt(1, 1).feldrect;
    ASSERT_TRUE(doc.clickAt(target.left + 2, target.top + 2, true).changed);
    EXPECT_EQ(lines(), (Lines{{QStringLiteral("Masche"), QPoint(0, 0)},
                              {QStringLiteral("Noppe"), QPoint(2, 2)}}));
}

TEST(PageRenderer, WithoutTheChartOnlyLegendAndTextShow) {
    ChartDocument doc;
    const TStich& s = solidStitch(doc, QStringLiteral("Masche"), 1, 10, 10, 0x00ff00);
    ASSERT_TRUE(doc.buildChart(3, 3, 0));
    (void)s;
    PageSettings settings;
    settings.tessaplan = false;
    settings.text = QStringLiteral("Nur Text");
    const QImage image = render(doc, settings, 96);
    bool frameSeen = false;
    bool symbolSeen = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor px = image.pixelColor(x, y);
            frameSeen |= px == QColor(154, 185, 215);
            symbolSeen |= px == QColor(0, 255, 0);
        }
    }
    EXPECT_FALSE(frameSeen);
    EXPECT_TRUE(symbolSeen); // in the legend
}

TEST(PageRenderer, CellsWithoutPictureOrWithZeroWidthDrawNothing) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(2, 2, -1));
    TFeld& cell = doc.cellAt(0, 0);
    fillCell(doc, cell, QStringLiteral("leer"), 0, dib{});
    render(doc, PageSettings{}, 96);
    EXPECT_EQ(cell.breite, 1); // width 0 is read as one cell and stored back
    EXPECT_EQ(legendCells(doc).size(), 1u);
}

TEST(PageRenderer, PartialPaintDrawsTheSameAsTheWholePage) {
    ChartDocument doc;
    // A legend line long enough to wrap twice.
    const TStich& zopf = solidStitch(doc,
                                     QStringLiteral("Zopf").repeated(3) +
                                         QStringLiteral(" aus sechs Maschen, ").repeated(12),
                                     3, 300, 100, 0x0000ff);
    ASSERT_TRUE(doc.buildChart(30, 30, -1));
    for (int r = 0; r < 30; r += 3) {
        putStitch(doc, r, r % 20, zopf);
    }
    doc.selectrow = true;
    doc.rownr = 7;
    doc.repeat = {4, 3, 5, 7}; // its frame and legend line too
    PageSettings settings;
    const QImage whole = render(doc, settings, 96);
    QImage parts(whole.size(), QImage::Format_RGB32);
    parts.fill(Qt::black);
    PageRenderer renderer(doc, settings, 96, false, whole.width());
    // Tiles that cut through wide symbols, marks and numbers.
    for (int y = 0; y < whole.height(); y += 97) {
        for (int x = 0; x < whole.width(); x += 83) {
            QPainter painter(&parts);
            const QRect tile(x, y, 83, 97);
            painter.setClipRect(tile);
            renderer.Drawpage(painter, tile);
        }
    }
    EXPECT_TRUE(parts == whole);
}

TEST(PageRenderer, ClicksAfterAPaintHitTheSameCellsAsAFullScan) {
    // Two equal charts; the second forgets the painted grid and tests every cell.
    ChartDocument fast;
    ChartDocument full;
    for (ChartDocument* doc : {&fast, &full}) {
        solidStitch(*doc, QStringLiteral("x"), 1, 10, 10, 0x00ff00);
        ASSERT_TRUE(doc->buildChart(6, 7, -1));
        render(*doc, PageSettings{}, 96);
    }
    ASSERT_TRUE(fast.cellGrid.valid);
    full.cellGrid.valid = false;
    for (int y = 0; y < 400; y += 3) {
        for (int x = 0; x < 280; x += 5) {
            const auto a = fast.clickAt(x, y, true);
            const auto b = full.clickAt(x, y, true);
            ASSERT_EQ(a.repaint, b.repaint) << x << "," << y;
            ASSERT_EQ(a.changed, b.changed) << x << "," << y;
            ASSERT_EQ(fast.selectcol, full.selectcol);
            ASSERT_EQ(fast.selectrow, full.selectrow);
            ASSERT_EQ(fast.colnr, full.colnr);
            ASSERT_EQ(fast.rownr, full.rownr);
        }
    }
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 7; ++c) {
            EXPECT_EQ(fast.cellAt(r, c).belegt, full.cellAt(r, c).belegt);
        }
    }
}

TEST(PageRenderer, RepaintingWhatAClickChangedGivesTheWholePage) {
    // A page painted once, then after each click only what the click reported as changed is
    // painted again; the result must equal a fresh whole page.
    ChartDocument doc;
    solidStitch(doc, QStringLiteral("Masche"), 1, 10, 10, 0x00ff00);
    solidStitch(doc, QStringLiteral("Zopf"), 3, 300, 100, 0x0000ff);
    solidStitch(doc, QStringLiteral("Noppe"), 1, 12, 12, 0xff0000);
    ASSERT_TRUE(doc.buildChart(12, 14, 0));
    PageSettings settings;
    settings.text = QStringLiteral("Text unter der Tabelle");
    QImage page = render(doc, settings, 96);
    const PageMetrics m = PageMetrics::forDpi(settings, 96);
    const int c = m.c;
    auto cellPoint = [&](int row, int column) { // 0-based cell
        const CellRect& r = doc.cellAt(row, column).feldrect;
        return QPoint(r.left + 3, r.top + 3);
    };
    const int y0 = doc.cellAt(0, 0).feldrect.top - c - m.lw;
    const struct {
        const char* what;
        int stitch;
        QPoint at;
        bool small; // only a few cells repainted
    } clicks[] = {
        {"a wide stitch, new to the legend", 1, cellPoint(6, 2), false},
        {"mark its column", 0, QPoint(m.M + 3 * c + 5, y0 + 5), false},
        {"mark row 5", 0, QPoint(m.M + 5, y0 + 5 * c + 5), false},
        {"move the mark to row 9", 0, QPoint(m.M + 15 * c + 5, y0 + 9 * c + 5), false},
        {"place the fill stitch again", 0, cellPoint(4, 4), false},
        {"the same wide stitch further on", 1, cellPoint(8, 5), true},
        {"the fill stitch over a wide one", 0, cellPoint(8, 5), true},
        {"a stitch over the first cell", 2, cellPoint(0, 0), false},
        {"the fill stitch back at the first cell", 0, cellPoint(0, 0), false},
        {"mark column 12", 0, QPoint(m.M + 12 * c + 5, y0 + 5), false},
        {"corner box", 0, QPoint(m.M + 5, y0 + 5), false},
        {"corner box again", 0, QPoint(m.M + 5, y0 + 5), true},
    };
    for (const auto& click : clicks) {
        doc.stichnr = click.stitch;
        const ChartDocument::ClickResult result = doc.clickAt(click.at.x(), click.at.y(), true);
        ASSERT_TRUE(result.repaint) << click.what;
        if (click.small) {
            EXPECT_LE(result.dirty.boundingRect().width(), 4 * c) << click.what;
            EXPECT_LE(result.dirty.boundingRect().height(), 2 * c) << click.what;
        }
        {
            QPainter painter(&page);
            painter.setClipRegion(result.dirty);
            PageRenderer(doc, settings, 96, false, page.width())
                .Drawpage(painter, result.dirty.boundingRect().intersected(page.rect()));
        }
        const QImage whole = render(doc, settings, 96);
        ASSERT_TRUE(page == whole) << click.what;
    }
}
