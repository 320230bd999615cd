// "Exportieren als Bild" of a 100 x 100 chart at 600 dpi: rendering the picture of the page
// (about 16 100 x 16 600 pixels) and writing it, once as BMP and once as PNG; and a large chart
// printed into a PDF file.
#include "designer/ChartDocument.h"
#include "designer/ChartOutput.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr double kA4WidthMm = 210;

void BM_Export100x100At600Dpi(benchmark::State& state) {
    const int code = int(state.range(0));
    state.SetLabel(grafikrw3::formatExtension(code).toStdString());
    ChartDocument doc;
    TStich* s = doc.stiche.Add();
    s->bezeichnung = ownedTextFromString(QStringLiteral("Rechte Masche"));
    s->breite = 1;
    grafikrw3::newdib(&s->di, 40, 40, 24, nullptr, 0);
    grafikrw3::recht_filled(s->di, 0, 0, 39, 39, 0xffffff);
    grafikrw3::FilledEllipse(s->di, 8, 8, 31, 31, 0x203040);
    doc.buildChart(100, 100, 0);
    const PageSettings settings;
    QTemporaryDir folder;
    const QString file =
        folder.filePath(QStringLiteral("export") + grafikrw3::formatExtension(code));
    for (auto _ : state) {
        dib picture;
        if (!ChartOutput::renderPicture(doc, settings, 600, kA4WidthMm, picture) ||
            grafikrw3::SaveDib(picture, file, code) != 1) {
            state.SkipWithError("export failed");
        }
        state.counters["pixels_M"] = double(DIBWidth(picture)) * DIBHeight(picture) / 1e6;
        FreeDIB(picture);
    }
}
BENCHMARK(BM_Export100x100At600Dpi)
    ->Arg(3)
    ->Arg(14)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// "--pdf" of a 200 x 300 chart (200 stitches, 300 rows) whose every third cell holds one 1-bit
// 32 x 32 symbol: 64 sheets of the grid and one of the legend.
void BM_PdfOfLargeChart(benchmark::State& state) {
    ChartDocument doc;
    TStich* s = doc.stiche.Add();
    s->bezeichnung = ownedTextFromString(QStringLiteral("Linke Masche"));
    s->hinreihe = ownedTextFromString(QStringLiteral("links stricken"));
    s->rueckreihe = ownedTextFromString(QStringLiteral("rechts stricken"));
    s->breite = 1;
    grafikrw3::newdib(&s->di, 32, 32, 1, nullptr, 0);
    grafikrw3::recht_filled(s->di, 0, 0, 31, 31, 1);
    grafikrw3::FilledEllipse(s->di, 6, 6, 25, 25, 0);
    doc.buildChart(300, 200, -1);
    for (int row = 0; row < doc.azeilen; ++row) {
        for (int column = row % 3; column < doc.aspalten; column += 3) {
            doc.placeStitch(doc.cellAt(row, column), *s);
        }
    }
    doc.cellsChanged();
    const PageSettings settings;
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("gross.pdf"));
    for (auto _ : state) {
        if (!ChartOutput::writePdf(doc, settings, file, QStringLiteral("gross.tpd"))) {
            state.SkipWithError("writing the PDF failed");
        }
    }
    state.counters["pdf_MB"] = double(QFileInfo(file).size()) / 1e6;
}
BENCHMARK(BM_PdfOfLargeChart)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace
