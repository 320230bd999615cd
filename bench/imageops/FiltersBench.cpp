#include "BenchPicture.h"

#include "imageops/Adjustments.h"
#include "imageops/BuiltinFilters.h"

#include <benchmark/benchmark.h>

// Filters and adjustments on the 4000 x 3000 24-bit picture, without a selection, one thread.
// Each run works on the result of the last; none of these loops depends on the pixel values.
namespace {

using namespace imageops;

void runFilter(benchmark::State& state, const char* objectName) {
    OwnedDib picture = benchpicture::smoothNoise24();
    const BuiltinFilter& filter = *findBuiltinFilter(objectName);
    for (auto _ : state) {
        benchmark::DoNotOptimize(runBuiltinFilter(picture.get(), filter));
        benchmark::ClobberMemory();
    }
}

// "Stark W&eichzeichnen": all 25 weights 1, divisor 25.
void BM_Filter5x5(benchmark::State& state) {
    runFilter(state, "StarkSoften1");
}
BENCHMARK(BM_Filter5x5)->Unit(benchmark::kMillisecond);

// "&Weichzeichnen": the 3 x 3 box in the middle, divisor 9.
void BM_Filter3x3(benchmark::State& state) {
    runFilter(state, "Soften1");
}
BENCHMARK(BM_Filter3x3)->Unit(benchmark::kMillisecond);

template <typename Op>
void runAdjustment(benchmark::State& state, Op op) {
    OwnedDib picture = benchpicture::smoothNoise24();
    for (auto _ : state) {
        benchmark::DoNotOptimize(op(picture.get()));
        benchmark::ClobberMemory();
    }
}

void BM_Invert(benchmark::State& state) {
    runAdjustment(state, [](dib& d) { return DibInvert(d); });
}
BENCHMARK(BM_Invert)->Unit(benchmark::kMillisecond);

void BM_Grayscale(benchmark::State& state) {
    runAdjustment(state, [](dib& d) { return DibGrayscale(d); });
}
BENCHMARK(BM_Grayscale)->Unit(benchmark::kMillisecond);

void BM_Gamma(benchmark::State& state) {
    runAdjustment(state, [](dib& d) { return Gamma(d, 1.8); });
}
BENCHMARK(BM_Gamma)->Unit(benchmark::kMillisecond);

// The brightness/contrast/saturation dialog's OK: brightness 20, contrast 130, saturation 10.
void BM_BrightnessContrast(benchmark::State& state) {
    runAdjustment(state, [](dib& d) { return HelligkeitKontrastSaettigung(d, {20, 130, 10}); });
}
BENCHMARK(BM_BrightnessContrast)->Unit(benchmark::kMillisecond);

} // namespace
