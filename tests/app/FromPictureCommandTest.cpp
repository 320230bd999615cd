#include "ProgramRun.h"
#include "designer/ChartOutput.h"
#include "designer/ProjectFile.h"
#include "foundation/grafikrw3/ImageFiles.h"

#include "../designer/ColourBlocks.h"

#include <QFile>
#include <QPageSize>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Loaded {
    ChartDocument doc;
    PageSettings settings;
};

bool load(const QString& fileName, Loaded& chart) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) &&
           ProjectFile::read(file, file.size(), chart.doc, chart.settings, 1ull << 32) ==
               FileStatus::Ok;
}

grafikrw3::Rgb colourAt(const dib& picture, int x, int y) {
    const std::uint32_t v = grafikrw3::getpixel(picture, x, y);
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16)};
}

class FromPicture : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString path(const QString& name) const { return folder.filePath(name); }
};

} // namespace

// Flat colour blocks through --from-picture and then --export: every cell of the chart file
// and of the exported page shows exactly its block's colour.
TEST_F(FromPicture, BlocksComeBackExactlyThroughChartFileAndExport) {
    constexpr int kColumns = 12, kRows = 8;
    for (const auto& [n, bits] : {std::pair{2, 1}, {6, 24}, {32, 8}}) {
        const OwnedDib blocks = colourblocks::picture(kColumns, kRows, 6, bits, n);
        const QString picture = path(QStringLiteral("bloecke%1.bmp").arg(n));
        ASSERT_EQ(grafikrw3::SaveDib(blocks.get(), picture, int(grafikrw3::ImageFormat::Bmp)), 1);
        const QString chartFile = path(QStringLiteral("muster%1.tpd").arg(n));
        const QString exported = path(QStringLiteral("muster%1.png").arg(n));
        ProgramRun run = program({"--from-picture", picture, chartFile, "--width", "12", "--gauge",
                                  "10/10", "--colours", QString::number(n)});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        run = program({"--export", chartFile, exported, "--dpi", "96"});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();

        Loaded chart;
        ASSERT_TRUE(load(chartFile, chart));
        ASSERT_EQ(std::pair(chart.doc.aspalten, chart.doc.azeilen), std::pair(kColumns, kRows));
        // The cell rectangles of the page at 96 dpi, where the exported picture shows the cells.
        OwnedDib rendered;
        const double a4WidthMm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter).width();
        ASSERT_TRUE(
            ChartOutput::renderPicture(chart.doc, chart.settings, 96, a4WidthMm, rendered.get()));
        OwnedDib page;
        grafikrw3::OpenDib(&page.get(), exported);
        ASSERT_TRUE(page);

        const std::vector<grafikrw3::Rgb> colours = colourblocks::colours(n);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                const grafikrw3::Rgb want =
                    colours[std::size_t(colourblocks::blockIndex(r, c, kColumns, n))];
                const TFeld& cell = chart.doc.cellAt(r, c);
                ASSERT_TRUE(cell.belegt);
                EXPECT_EQ(colourAt(cell.stich->di, 10, 10), want) << n << ": " << r << "," << c;
                const CellRect& box = cell.feldrect;
                EXPECT_EQ(
                    colourAt(page.get(), (box.left + box.right) / 2, (box.top + box.bottom) / 2),
                    want)
                    << n << ": " << r << "," << c;
            }
        }
    }
}

// The options set the chart's size; a wrong call says what is wrong, with the status of
// --export, and writes nothing.
TEST_F(FromPicture, OptionsAndErrors) {
    OwnedDib dot;
    grafikrw3::newdib(&dot.get(), 1, 1, 24, nullptr, 0);
    const QString picture = path(QStringLiteral("punkt.png"));
    ASSERT_EQ(grafikrw3::SaveDib(dot.get(), picture, int(grafikrw3::ImageFormat::Png)), 1);
    QFile notAPicture(path(QStringLiteral("kaputt.png")));
    ASSERT_TRUE(notAPicture.open(QIODevice::WriteOnly));
    notAPicture.write("kein Bild");
    notAPicture.close();
    const QString out = path(QStringLiteral("a.tpd"));
    const struct {
        QStringList arguments;
        int status;
        const char* message;
        int columns, rows;
    } cases[] = {
        {{picture, out}, 0, "", 60, 82}, // 60 x 30 / 22 = 81.8
        {{picture, out, "--width", "7", "--gauge", "20/20"}, 0, "", 7, 7},
        {{picture, out, "--gauge", "22,5/30", "--dither"}, 0, "", 60, 80},
        {{picture, out, "--width", "12", "--gauge", "1/100"}, 0, "", 12, 1000}, // capped
        {{notAPicture.fileName(), path("b.tpd")}, 1, "kann nicht als Bild gelesen", 0, 0},
        {{picture, path("kein/ordner/a.tpd")}, 1, "kann nicht geschrieben", 0, 0},
        {{picture, path("b.tpd"), "--width", "1001"}, 2, "von 2 bis 1000", 0, 0},
        {{picture, path("b.tpd"), "--width"}, 2, "von 2 bis 1000", 0, 0},
        {{picture, path("b.tpd"), "--colours", "1"}, 2, "von 2 bis 32", 0, 0},
        {{picture, path("b.tpd"), "--gauge", "0/30"}, 2, "etwa 22/30", 0, 0},
        {{picture, path("b.tpd"), "--dpi", "300"}, 2, "Unbekannte Angabe", 0, 0},
        {{picture}, 2, "ein Bild und eine Ausgabedatei", 0, 0},
    };
    for (const auto& c : cases) {
        const ProgramRun run = program(QStringList{"--from-picture"} + c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
        if (c.status == 0) {
            Loaded chart;
            ASSERT_TRUE(load(out, chart));
            EXPECT_EQ(std::pair(chart.doc.aspalten, chart.doc.azeilen),
                      std::pair(c.columns, c.rows))
                << c.arguments.join(' ').toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("b.tpd"))));
}
