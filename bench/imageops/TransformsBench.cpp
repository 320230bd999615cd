// Geometric transforms and the mosaic on the common 4000 x 3000 24-bit picture. Each figure
// includes making the new picture, as the editor does; BM_NewPicture shows what the system
// alone charges for a fresh block of each result size (its first touch), so that the work of
// the transform itself can be told apart on machines where that is slow.
#include "BenchPicture.h"

#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Effects.h"
#include "imageops/Transforms.h"

#include <benchmark/benchmark.h>

namespace {

using namespace imageops;

void BM_RotateRight(benchmark::State& state) {
    const OwnedDib picture = benchpicture::smoothNoise24();
    for (auto _ : state) {
        OwnedDib turned = RotRight(picture.get());
        benchmark::DoNotOptimize(turned->poi);
    }
}
BENCHMARK(BM_RotateRight)->Unit(benchmark::kMillisecond);

void BM_FlipH(benchmark::State& state) {
    OwnedDib picture = benchpicture::smoothNoise24();
    for (auto _ : state) {
        FlipH(picture.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FlipH)->Unit(benchmark::kMillisecond);

void BM_ResizeNearest200(benchmark::State& state) {
    const OwnedDib picture = benchpicture::smoothNoise24();
    const ResizeParams p{2 * benchpicture::kWidth, 2 * benchpicture::kHeight, false};
    for (auto _ : state) {
        OwnedDib resized = Resize(picture.get(), p);
        benchmark::DoNotOptimize(resized->poi);
    }
}
BENCHMARK(BM_ResizeNearest200)->Unit(benchmark::kMillisecond);

void BM_ResizeBilinear150(benchmark::State& state) {
    const OwnedDib picture = benchpicture::smoothNoise24();
    const ResizeParams p{benchpicture::kWidth * 3 / 2, benchpicture::kHeight * 3 / 2, true};
    for (auto _ : state) {
        OwnedDib resized = Resize(picture.get(), p);
        benchmark::DoNotOptimize(resized->poi);
    }
}
BENCHMARK(BM_ResizeBilinear150)->Unit(benchmark::kMillisecond);

void BM_RotateFree17(benchmark::State& state) {
    const OwnedDib picture = benchpicture::smoothNoise24();
    for (auto _ : state) {
        OwnedDib turned = DibRotxxx(picture.get(), 17, 1, 0xffffff, false);
        benchmark::DoNotOptimize(turned->poi);
    }
}
BENCHMARK(BM_RotateFree17)->Unit(benchmark::kMillisecond);

void BM_Mosaic(benchmark::State& state) {
    OwnedDib picture = benchpicture::smoothNoise24();
    for (auto _ : state) {
        MosaikEffekt(picture.get(), {4, 4}, {});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Mosaic)->Unit(benchmark::kMillisecond);

// A new 24-bit picture of the given size with one byte written per page, then released.
void BM_NewPicture(benchmark::State& state) {
    const auto width = std::int32_t(state.range(0));
    const auto height = std::int32_t(state.range(1));
    for (auto _ : state) {
        OwnedDib picture;
        grafikrw3::newdib(&picture.get(), width, height, 24, nullptr, 0);
        const std::int64_t bytes = std::int64_t(picture->bytew) * height;
        for (std::int64_t i = 0; i < bytes; i += 4096) {
            picture->poi[i] = 1;
        }
        benchmark::DoNotOptimize(picture->poi);
    }
}
BENCHMARK(BM_NewPicture)
    ->Args({3000, 4000}) // a quarter turn
    ->Args({8000, 6000}) // 200 %
    ->Args({6000, 4500}) // 150 %
    ->Args({4702, 4038}) // 17 degrees
    ->Unit(benchmark::kMillisecond);

} // namespace
