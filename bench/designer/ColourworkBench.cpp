#include "designer/ColourworkFromPicture.h"
#include "imageops/BenchPicture.h"

#include <benchmark/benchmark.h>

namespace {

// The shared 4000 x 3000 photo-like picture to a chart 200 stitches wide in 8 colours, at the
// default gauge (205 rows): what the dialog's preview and the command both run.
void pictureToChart(benchmark::State& state, bool dither) {
    const OwnedDib picture = benchpicture::smoothNoise24();
    colourwork::Params params;
    params.stitches = 200;
    params.colours = 8;
    params.dither = dither;
    for (auto _ : state) {
        const colourwork::Chart chart = colourwork::pictureToChart(picture.get(), params);
        benchmark::DoNotOptimize(chart.cells.data());
    }
    state.SetItemsProcessed(state.iterations() * benchpicture::kWidth * benchpicture::kHeight);
}

void BM_PictureToChart(benchmark::State& state) {
    pictureToChart(state, false);
}
BENCHMARK(BM_PictureToChart)->Unit(benchmark::kMillisecond);

void BM_PictureToChartDithered(benchmark::State& state) {
    pictureToChart(state, true);
}
BENCHMARK(BM_PictureToChartDithered)->Unit(benchmark::kMillisecond);

// The preview when only the colours change: the averaged cells are kept.
void BM_PictureToChartColoursOnly(benchmark::State& state) {
    const OwnedDib picture = benchpicture::smoothNoise24();
    colourwork::ColourworkFromPicture steps(picture.get());
    colourwork::Params params;
    params.stitches = 200;
    for (auto _ : state) {
        params.colours = params.colours == 8 ? 9 : 8;
        benchmark::DoNotOptimize(steps.chart(params).cells.data());
    }
}
BENCHMARK(BM_PictureToChartColoursOnly)->Unit(benchmark::kMillisecond);

} // namespace
