#include "designer/ChartDocument.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <benchmark/benchmark.h>

namespace {

// A new chart filled with a 1-cell stitch whose 24-bit picture is 40 x 40 pixels.
void BM_NewChartFilled(benchmark::State& state) {
    const int side = int(state.range(0));
    ChartDocument doc;
    TStich* s = doc.stiche.Add();
    s->bezeichnung = ownedTextFromString(QStringLiteral("Rechte Masche"));
    s->breite = 1;
    grafikrw3::newdib(&s->di, 40, 40, 24, nullptr, 0);
    for (auto _ : state) {
        doc.buildChart(side, side, 0);
        benchmark::DoNotOptimize(doc.zeilen.poi);
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_NewChartFilled)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace
