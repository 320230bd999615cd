#include "ProgramRun.h"
#include "designer/ChartDocument.h"
#include "designer/ChartOutput.h"
#include "designer/PageRenderer.h"
#include "designer/ProjectFile.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

class CommandLine : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString chart;

    void SetUp() override {
        chart = folder.filePath(QStringLiteral("muster.tpd"));
        ChartDocument doc;
        ASSERT_TRUE(doc.buildChart(10, 10, -1));
        QFile file(chart);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(ProjectFile::write(file, doc, PageSettings{}));
    }
    QString path(const QString& name) const { return folder.filePath(name); }
};

} // namespace

TEST_F(CommandLine, HelpListsTheOptions) {
    const ProgramRun run = program({QStringLiteral("--help")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("--export")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("--pdf")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("--image [BILD]")));
}

TEST_F(CommandLine, ExportShowsLongHeadingAndInstructionsCompleteAndTheGridInPlace) {
    // A chart whose heading and legend line are far wider than its grid.
    ChartDocument doc;
    TStich* stich = doc.stiche.Add();
    stich->bezeichnung = ownedTextFromString(QStringLiteral("Zopf"));
    stich->hinreihe = ownedTextFromString(
        QStringLiteral("3 Maschen auf eine Hilfsnadel vor die Arbeit legen, 3 Maschen rechts "
                       "stricken, dann die Maschen der Hilfsnadel rechts stricken"));
    stich->rueckreihe = ownedTextFromString(QStringLiteral("alle Maschen links stricken"));
    stich->breite = 1;
    grafikrw3::newdib(&stich->di, 20, 20, 24, nullptr, 0);
    ASSERT_TRUE(doc.buildChart(10, 10, 0));
    PageSettings settings;
    settings.caption = QStringLiteral("Pullover mit Zopfmuster und Perlmusterblende, Größe 38");
    settings.text = QStringLiteral("Das Muster wird viermal wiederholt.");
    {
        QFile file(chart);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(ProjectFile::write(file, doc, settings));
    }
    const ProgramRun run =
        program({QStringLiteral("--export"), chart, path(QStringLiteral("m.png")),
                 QStringLiteral("--dpi"), QStringLiteral("96")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QImage exported(path(QStringLiteral("m.png")));
    ASSERT_FALSE(exported.isNull());
    EXPECT_NEAR(exported.dotsPerMeterX(), 3780, 1); // 96 dpi

    // 37 pixels of margin right and below, and at most one 24-pixel cell of white more.
    int lastRow = -1;
    int lastColumn = -1;
    for (int y = 0; y < exported.height(); ++y) {
        for (int x = 0; x < exported.width(); ++x) {
            if ((exported.pixel(x, y) & 0xffffff) != 0xffffff) {
                lastRow = std::max(lastRow, y);
                lastColumn = std::max(lastColumn, x);
            }
        }
    }
    const int whiteRight = exported.width() - 1 - lastColumn;
    const int whiteBelow = exported.height() - 1 - lastRow;
    EXPECT_GE(whiteRight, 37);
    EXPECT_LE(whiteRight, 37 + 24);
    EXPECT_GE(whiteBelow, 37);
    EXPECT_LE(whiteBelow, 37 + 24);

    // The grid as the chart view draws it, pixel for pixel from the top-left corner.
    QImage view(362, 1322, QImage::Format_RGB32);
    view.fill(Qt::white);
    QPainter painter(&view);
    PageRenderer page(doc, settings, 96, false, 362);
    page.Drawpage(painter);
    painter.end();
    const QRect grid(0, 0, 37 + 24 * 12 + 1, page.gridTop() + 24 * 11 + 1);
    EXPECT_TRUE(view.copy(grid) == exported.convertToFormat(QImage::Format_RGB32).copy(grid));

    // Without --dpi: 300 dots per inch, recorded in the file.
    ASSERT_EQ(program({QStringLiteral("--export"), chart, path(QStringLiteral("m.bmp"))}).status,
              0);
    QFile bmp(path(QStringLiteral("m.bmp")));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const QByteArray header = bmp.read(46);
    EXPECT_EQ(qFromLittleEndian<std::int32_t>(header.constData() + 38), 11811);
    EXPECT_GT(qFromLittleEndian<std::int32_t>(header.constData() + 18), 2 * 118 + 76 * 12);
}

TEST_F(CommandLine, PdfHoldsThePrintedPages) {
    const QString pdf = path(QStringLiteral("m.pdf"));
    const ProgramRun run = program({QStringLiteral("--pdf"), chart, pdf});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(info.readAllStandardOutput());
    EXPECT_TRUE(output.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))));
    EXPECT_TRUE(output.contains(QStringLiteral("A4")));
}

TEST_F(CommandLine, PdfWithInstructionsAddsThemOnFurtherPages) {
    const QString pdf = path(QStringLiteral("m.pdf"));
    const ProgramRun run =
        program({QStringLiteral("--pdf"), chart, pdf, QStringLiteral("--with-instructions")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-f"), QStringLiteral("2"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString second = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(second.contains(QStringLiteral("Anleitung: Tesaplan"))) << second.toStdString();
    // The chart of empty cells, numbered from 0 as its settings say, every row on the page.
    EXPECT_TRUE(second.contains(QStringLiteral("Reihe 0 (Hinreihe): keine Maschen")));
    EXPECT_TRUE(second.contains(QStringLiteral("Reihe 9 (Rückreihe): wie Reihe 1")));
}

TEST_F(CommandLine, EveryErrorIsNamedWithItsStatus) {
    QFile damaged(path(QStringLiteral("kaputt.tpd")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x01\x00\x00\x00\x01", 5);
    damaged.close();
    const struct {
        QStringList arguments;
        int status;
        const char* message;
    } cases[] = {
        {{"--export", path("fehlt.tpd"), path("a.png")}, 1, "kann nicht geöffnet werden"},
        {{"--export", damaged.fileName(), path("a.png")}, 1, "beschädigt"},
        {{"--export", chart, path("kein/ordner/a.png")}, 1, "kann nicht geschrieben werden"},
        {{"--pdf", chart, path("kein/ordner/a.pdf")}, 1, "kann nicht geschrieben werden"},
        {{"--instructions", chart, path("kein/ordner/a.txt")}, 1, "kann nicht geschrieben werden"},
        {{"--instructions", damaged.fileName(), path("a.txt")}, 1, "beschädigt"},
        {{"--instructions", chart}, 2, "Aufruf"},
        {{"--export", chart, path("a.png"), "--dpi", "9"}, 2, "zwischen 10 und 4000"},
        {{"--export", chart, path("a.png"), "--dpi", "4001"}, 2, "zwischen 10 und 4000"},
        {{"--export", chart, path("a.png"), "--dpi", "viel"}, 2, "ganze Zahl"},
        {{"--export", chart, path("a.xyz")}, 2, "Unbekanntes Bildformat"},
        {{"--export", chart}, 2, "Aufruf"},
        {{"--drucken", chart}, 2, "Aufruf"},
        {{"--export", chart, path("a.png"), "--with-instructions"}, 2, "Aufruf"},
        {{"--instructions", chart, path("a.txt"), "--with-instructions"}, 2, "Aufruf"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = program(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.png"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.txt"))));
}

TEST_F(CommandLine, InstructionsAreWrittenAsUtf8Text) {
    // Two rows of one stitch whose wrong-side instruction has an umlaut; the first row number
    // and the reading side come from the file.
    ChartDocument doc;
    TStich* stich = doc.stiche.Add();
    stich->bezeichnung = ownedTextFromString(QStringLiteral("Rechte Masche"));
    stich->hinreihe = ownedTextFromString(QStringLiteral("rechts"));
    stich->rueckreihe = ownedTextFromString(QStringLiteral("links verschränkt"));
    stich->breite = 1;
    grafikrw3::newdib(&stich->di, 8, 8, 24, nullptr, 0);
    ASSERT_TRUE(doc.buildChart(3, 4, 0));
    PageSettings settings;
    settings.firstRow = 5;
    const QString input = path(QStringLiteral("anleitung.tpd"));
    {
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(ProjectFile::write(file, doc, settings));
    }
    const QString output = path(QStringLiteral("anleitung.txt"));
    const ProgramRun run = program({QStringLiteral("--instructions"), input, output});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QFile written(output);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()),
              QStringLiteral("Reihe 5 (Hinreihe): 4 × rechts (4 Maschen)\n"
                             "Reihe 6 (Rückreihe): 4 × links verschränkt (4 Maschen)\n"
                             "Reihe 7 (Hinreihe): wie Reihe 5\n"));
}
