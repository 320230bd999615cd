// The image document's view, magic wand, brush and flood fill; the view, wand and fill on the
// shared 4000 x 3000 picture.
#include "imageops/BenchPicture.h"

#include "image/BrushEngine.h"
#include "image/ImageDocument.h"
#include "image/ViewPainter.h"

#include "foundation/Random.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include "foundation/grafikrw3/PixelRows.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstring>
#include <numbers>

#include <benchmark/benchmark.h>

namespace {

constexpr int kViewWidth = 1200;
constexpr int kViewHeight = 900;

// Paints a 1200 x 900 view port in the middle of the zoomed picture, as a paint event of the
// frame does (the exposed part of a smaller paint box is all of it).
void paintViewPort(benchmark::State& state, ZoomView zoom) {
    ImageDocument doc;
    doc.installImage(benchpicture::smoothNoise24(), QStringLiteral("bench"));
    doc.SetZoom(zoom.zoomin, zoom.zoomout);
    const QSize box = doc.paintBoxSize();
    const QRect viewPort((box.width() - kViewWidth) / 2, (box.height() - kViewHeight) / 2,
                         kViewWidth, kViewHeight);
    const QRect exposed = viewPort & QRect(QPoint(0, 0), box);
    QImage screen(kViewWidth, kViewHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&screen);
        painter.translate(-viewPort.topLeft());
        painter.setClipRect(exposed);
        paintDocumentView(painter, doc, exposed);
    }
    benchmark::DoNotOptimize(screen.constBits());
    state.counters["exposed_px"] = double(exposed.width()) * exposed.height();
}

void BM_PaintView(benchmark::State& state) {
    paintViewPort(state, ZoomView{std::int32_t(state.range(0)), 1});
}
BENCHMARK(BM_PaintView)->Arg(16)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PaintViewOut(benchmark::State& state) {
    paintViewPort(state, ZoomView{1, std::int32_t(state.range(0))});
}
BENCHMARK(BM_PaintViewOut)->Arg(4)->Unit(benchmark::kMillisecond);

// The picture turned into a light, grainy ground with the darker blobs of the noise standing
// on it: the ground is one connected area around irregular holes, most of the picture. The
// grain adds up to `grain` to each channel.
OwnedDib groundPicture(int grain) {
    OwnedDib picture = benchpicture::smoothNoise24();
    for (int y = 0; y < benchpicture::kHeight; ++y) {
        std::uint8_t* row = grafikrw3::rowAt(picture.get(), y);
        for (int x = 0; x < benchpicture::kWidth; ++x) {
            std::uint8_t* p = row + 3 * x;
            if (p[1] >= 50) {
                const std::uint8_t g = std::uint8_t((p[0] ^ p[2]) & grain);
                p[0] = std::uint8_t(200 + g);
                p[1] = std::uint8_t(205 + g);
                p[2] = std::uint8_t(210 + g);
            }
        }
    }
    return picture;
}

void BM_MagicWand(benchmark::State& state) {
    ImageDocument doc;
    doc.installImage(groundPicture(15), QStringLiteral("bench"));
    // A seed on the ground.
    int seedX = 0, seedY = 0;
    while (grafikrw3::rowAt(doc.di.get(), seedY)[3 * seedX + 1] < 205) {
        ++seedX;
    }
    for (auto _ : state) {
        doc.MagicWandSelect(seedX, seedY, 25);
    }
    std::int64_t selected = 0;
    for (int y = 0; y < benchpicture::kHeight; ++y) {
        for (int x = 0; x < benchpicture::kWidth; ++x) {
            selected += doc.isSelected(x, y);
        }
    }
    state.counters["selected_share"] =
        double(selected) / (double(benchpicture::kWidth) * benchpicture::kHeight);
    state.counters["outline_points"] = double(doc.selpunkte().size());
}
BENCHMARK(BM_MagicWand)->Unit(benchmark::kMillisecond);

// A stroke of 1000 segments with a soft round tip of 200 pixels (hardness 0, density 100) on a
// white 2000 x 2000 picture: once round a circle of radius 600, about 3.8 pixels per segment,
// as a pointer moving briskly at 1:1 reports them. The time per segment is what painting must
// keep below the pointer's pace.
void BM_BrushStroke(benchmark::State& state) {
    constexpr int kSide = 2000, kSegments = 1000, kRadius = 600;
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), kSide, kSide, 24, nullptr, 0);
    std::memset(picture->poi, 0xff, std::size_t(picture->bytew) * kSide);
    BrushStroke stroke;
    stroke.tip = {1, 200, 0, 100, 0};
    std::vector<QPoint> path;
    for (int i = 0; i <= kSegments; ++i) {
        const double a = 2 * std::numbers::pi * i / kSegments;
        path.emplace_back(kSide / 2 + int(std::lround(kRadius * std::cos(a))),
                          kSide / 2 + int(std::lround(kRadius * std::sin(a))));
    }
    programrandom::seed(1);
    int colour = 0;
    for (auto _ : state) {
        colour ^= 0x3060c0;
        for (int i = 0; i < kSegments; ++i) {
            BrushLine(picture.get(), stroke, path[std::size_t(i)].x(), path[std::size_t(i)].y(),
                      path[std::size_t(i) + 1].x(), path[std::size_t(i) + 1].y(), colour);
        }
    }
    benchmark::DoNotOptimize(picture->poi);
    // Seconds per segment ("1.2m" is 1.2 ms).
    state.counters["per_segment_s"] = benchmark::Counter(
        kSegments, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BrushStroke)->Unit(benchmark::kMillisecond);

// A solid flood fill, tolerance 10, of the grainy ground (grain up to 7 per channel), which
// covers most of the picture around the noise's darker blobs. The picture is restored between
// runs outside the timing.
void BM_FloodFillSolid(benchmark::State& state) {
    const OwnedDib original = groundPicture(7);
    OwnedDib picture = groundPicture(7);
    OwnedDib work;
    grafikrw3::newdib(&work.get(), benchpicture::kWidth, benchpicture::kHeight, 1, nullptr, 0);
    const std::size_t bytes = std::size_t(picture->bytew) * benchpicture::kHeight;
    int seedX = 0;
    while (grafikrw3::rowAt(original.get(), 0)[3 * seedX + 1] < 205) {
        ++seedX;
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(picture->poi, original->poi, bytes);
        state.ResumeTiming();
        grafikrw3::filldib(picture.get(), seedX, 0, 0x2040ff, 0, 10, dib{}, 0, work.get(),
                           grafikrw3::kFillSolid, 0, dib{});
    }
    std::int64_t filled = 0;
    for (int y = 0; y < benchpicture::kHeight; ++y) {
        for (int x = 0; x < benchpicture::kWidth; ++x) {
            filled += grafikrw3::getpixel(work.get(), x, y);
        }
    }
    state.counters["filled_share"] =
        double(filled) / (double(benchpicture::kWidth) * benchpicture::kHeight);
}
BENCHMARK(BM_FloodFillSolid)->Unit(benchmark::kMillisecond);

} // namespace
