#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <benchmark/benchmark.h>

namespace {

dib makeSymbol(int width, int height, int bits) {
    dib d;
    grafikrw3::newdib(&d, width, height, bits, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(d, x, y, std::uint32_t(x * 31 + y * 17));
        }
    }
    return d;
}

// Shrinking a scanned 1000 x 400 symbol to one cell, as placing a stitch does.
void BM_ResizeDIBShrink(benchmark::State& state) {
    const int bits = int(state.range(0));
    const dib source = makeSymbol(1000, 400, bits);
    for (auto _ : state) {
        dib d = copyDib(source);
        ResizeDIB(d, 100, 40, true);
        benchmark::DoNotOptimize(d.poi);
        FreeDIB(d);
    }
    dib s = source;
    FreeDIB(s);
}
BENCHMARK(BM_ResizeDIBShrink)->Arg(1)->Arg(4)->Arg(8)->Arg(24);

void BM_FilledEllipse(benchmark::State& state) {
    dib d = makeSymbol(1000, 1000, 24);
    for (auto _ : state) {
        grafikrw3::FilledEllipse(d, 10, 10, 990, 990, 0x123456);
        benchmark::ClobberMemory();
    }
    FreeDIB(d);
}
BENCHMARK(BM_FilledEllipse);

} // namespace
