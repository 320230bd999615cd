// Tiling a repeat across the largest chart the designer makes.
#include "designer/ChartDocument.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <benchmark/benchmark.h>

namespace {

// An 8 x 8 motif of knit and purl stitches with a 2-cell cable in every other row, marked as
// the repeat in the corner of a 208 x 208 chart and tiled 100 times (the most the dialog
// offers) across and up: a 1000 x 1000 chart. Undoing between the runs is not timed.
void BM_TileRepeatToLargestChart(benchmark::State& state) {
    constexpr int kMotif = 8;
    ChartDocument doc;
    for (const auto& [name, breite] : {std::pair{"rechts", 1}, {"links", 1}, {"Zopf", 2}}) {
        TStich* s = doc.stiche.Add();
        s->bezeichnung = ownedTextFromString(QString::fromUtf8(name));
        s->breite = breite;
        grafikrw3::newdib(&s->di, 20 * breite, 20, 1, nullptr, 0);
    }
    constexpr int kTimes = ChartDocument::kMaxRepeatCopies;
    constexpr int kStart = kMaxChartLines - kMotif * (kTimes - 1);
    constexpr int kFirst = kStart - kMotif;
    doc.buildChart(kStart, kStart, 0);
    for (int r = kFirst; r < kStart; ++r) {
        for (int c = kFirst; c < kStart; c += 2) {
            TFeld& cell = doc.cellAt(r, c);
            doc.releaseCell(cell);
            doc.placeStitch(cell, doc.stiche[r % 2 == 0 ? 2u : 1u]);
        }
    }
    doc.cellsChanged();
    doc.repeat = {kFirst, kFirst, kMotif, kMotif};
    for (auto _ : state) {
        if (doc.tileRepeat(kTimes, kTimes) != ChartDocument::EditResult::Done ||
            doc.azeilen != kMaxChartLines || doc.aspalten != kMaxChartLines) {
            state.SkipWithError("not tiled");
            break;
        }
        benchmark::DoNotOptimize(doc.zeilen.poi);
        state.PauseTiming();
        doc.history.undo();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kMaxChartLines * kMaxChartLines);
}
BENCHMARK(BM_TileRepeatToLargestChart)->Unit(benchmark::kMillisecond);

} // namespace
