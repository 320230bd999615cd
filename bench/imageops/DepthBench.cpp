// Colour reduction and colour counting on the common 4000 x 3000 picture, next to ImageMagick
// doing the same work on the same pixels in the same run:
//   imageops_bench --benchmark_filter='FloydSteinberg|OrderedDither|CountColors'
// ImageMagick reads the picture from a PPM file each time and writes nothing ("null:");
// BM_ImageMagickReadOnly measures that reading alone.
#include "BenchPicture.h"

#include "imageops/ColorCount.h"
#include "imageops/Depth.h"
#include "imageops/Palettes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>

namespace {

using imageops::DepthDownParams;
using imageops::DepthMethod;

void lower(benchmark::State& state, const DepthDownParams& params) {
    for (auto _ : state) {
        state.PauseTiming();
        OwnedDib picture = benchpicture::smoothNoise24();
        state.ResumeTiming();
        if (imageops::DepthDownTo(picture.get(), params) != imageops::OpStatus::Done) {
            state.SkipWithError("conversion failed");
        }
    }
}

double childCpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The child's processor time is reported as "cpu_ms", comparable with our CPU column when the
// machine is busy with other work.
void magick(benchmark::State& state, const QString& command) {
    const QString line = command.arg(benchpicture::smoothNoisePpm());
    const double before = childCpuMilliseconds();
    for (auto _ : state) {
        if (!benchpicture::runCommand(line)) {
            state.SkipWithError("ImageMagick failed");
        }
    }
    state.counters["cpu_ms"] =
        benchmark::Counter((childCpuMilliseconds() - before) /
                           double(std::max<benchmark::IterationCount>(state.iterations(), 1)));
}

// The standard 256-colour palette as a picture for ImageMagick's -remap.
QString standardPalettePpm() {
    static const QString path = [] {
        const QString file =
            QFileInfo(benchpicture::smoothNoisePpm()).dir().filePath(QStringLiteral("std256.ppm"));
        QFile ppm(file);
        if (ppm.open(QIODevice::WriteOnly)) {
            ppm.write("P6\n256 1\n255\n");
            for (const grafikrw3::Rgb& c : imageops::StdPal256) {
                const char rgb[3] = {char(c.red), char(c.green), char(c.blue)};
                ppm.write(rgb, 3);
            }
        }
        return file;
    }();
    return path;
}

void BM_FloydSteinbergStdPal256(benchmark::State& state) {
    lower(state, {8, DepthMethod::ErrorDiffusion, false, false, 256});
}

void BM_FloydSteinbergOptimised256(benchmark::State& state) {
    lower(state, {8, DepthMethod::ErrorDiffusion, true, false, 256});
}

// The ordered dither exists for the standard palette's colour cube (8 bits) only.
void BM_OrderedDitherStdPal16(benchmark::State& state) {
    state.SetLabel("8x8 ordered dither into the standard palette's 6x6x6 cube");
    lower(state, {8, DepthMethod::OrderedDither, false, false, 256});
}

void BM_CountColors(benchmark::State& state) {
    const OwnedDib picture = benchpicture::smoothNoise24();
    std::int64_t count = 0;
    for (auto _ : state) {
        count = imageops::CountColors(picture.get()).count;
        benchmark::DoNotOptimize(count);
    }
    state.counters["colours"] = double(count);
}

void BM_ImageMagickReadOnly(benchmark::State& state) {
    magick(state, QStringLiteral("convert '%1' null:"));
}

void BM_ImageMagickFloydSteinbergStdPal256(benchmark::State& state) {
    magick(state, QStringLiteral("convert '%1' -dither FloydSteinberg -remap '") +
                      standardPalettePpm() + QStringLiteral("' null:"));
}

void BM_ImageMagickFloydSteinbergOptimised256(benchmark::State& state) {
    magick(state, QStringLiteral("convert '%1' -dither FloydSteinberg -colors 256 null:"));
}

void BM_ImageMagickOrderedDither(benchmark::State& state) {
    state.SetLabel("-ordered-dither o8x8,6");
    magick(state, QStringLiteral("convert '%1' -ordered-dither o8x8,6 null:"));
}

void BM_ImageMagickCountColors(benchmark::State& state) {
    magick(state, QStringLiteral("identify -format %k '%1' > /dev/null"));
}

BENCHMARK(BM_FloydSteinbergStdPal256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloydSteinbergOptimised256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrderedDitherStdPal16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountColors)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickReadOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickFloydSteinbergStdPal256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickFloydSteinbergOptimised256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickOrderedDither)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickCountColors)->Unit(benchmark::kMillisecond)->Iterations(1); // slow

} // namespace
