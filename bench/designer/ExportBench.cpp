// "Exportieren als Bild" of a 100 x 100 chart at 600 dpi: rendering the picture of the page
// (about 16 100 x 16 600 pixels) and writing it, once as BMP and once as PNG.
#include "designer/ChartDocument.h"
#include "designer/ChartOutput.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/grafikrw3.h"

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

} // namespace
