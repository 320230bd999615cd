// The image document's view and magic wand on the shared 4000 x 3000 picture.
#include "imageops/BenchPicture.h"

#include "image/ImageDocument.h"
#include "image/ViewPainter.h"

#include "foundation/grafikrw3/PixelRows.h"

#include <QImage>
#include <QPainter>

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
// on it: the ground is one connected area around irregular holes, most of the picture.
OwnedDib wandPicture() {
    OwnedDib picture = benchpicture::smoothNoise24();
    for (int y = 0; y < benchpicture::kHeight; ++y) {
        std::uint8_t* row = grafikrw3::rowAt(picture.get(), y);
        for (int x = 0; x < benchpicture::kWidth; ++x) {
            std::uint8_t* p = row + 3 * x;
            if (p[1] >= 50) {
                const std::uint8_t grain = std::uint8_t((p[0] ^ p[2]) & 15);
                p[0] = std::uint8_t(200 + grain);
                p[1] = std::uint8_t(205 + grain);
                p[2] = std::uint8_t(210 + grain);
            }
        }
    }
    return picture;
}

void BM_MagicWand(benchmark::State& state) {
    ImageDocument doc;
    doc.installImage(wandPicture(), QStringLiteral("bench"));
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

} // namespace
