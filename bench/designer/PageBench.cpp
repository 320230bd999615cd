// Painting the chart page: a click in the largest chart with the repaint of what it changed,
// the whole page of a 100 x 100 chart, and what the largest chart holds in memory.
#include "ResidentMemory.h"
#include "designer/ChartDocument.h"
#include "designer/PageRenderer.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// A chart filled with a 1-cell stitch whose 24-bit symbol is 20 x 20 pixels.
std::unique_ptr<ChartDocument> filledChart(int side) {
    auto doc = std::make_unique<ChartDocument>();
    TStich* s = doc->stiche.Add();
    s->bezeichnung = ownedTextFromString(QStringLiteral("Rechte Masche"));
    s->hinreihe = ownedTextFromString(QStringLiteral("rechts stricken"));
    s->breite = 1;
    grafikrw3::newdib(&s->di, 20, 20, 24, nullptr, 0);
    grafikrw3::FilledEllipse(s->di, 2, 2, 17, 17, 0x203040);
    doc->buildChart(side, side, 0);
    return doc;
}

void BM_ClickAndRepaintInLargestChart(benchmark::State& state) {
    static std::unique_ptr<ChartDocument> doc = filledChart(1000);
    PageSettings settings;
    const PageMetrics m = PageMetrics::forDpi(settings, 96);
    const int pageWidth = m.c * 1002 + 2 * m.M;
    // The visible part of the view: a window-sized viewport scrolled into the middle.
    QImage view(1200, 900, QImage::Format_RGB32);
    const QRect exposed(pageWidth / 2, 12000, view.width(), view.height());
    {
        QPainter painter(&view);
        painter.translate(-exposed.topLeft());
        PageRenderer(*doc, settings, 96, false, pageWidth).Drawpage(painter, exposed);
    }
    int k = 0;
    for (auto _ : state) {
        const CellRect& target = doc->cellAt(500, 500 + (k++ % 20)).feldrect;
        const ChartDocument::ClickResult click =
            doc->clickAt(target.left + 2, target.top + 2, true);
        // As the view does: only what the click changed, where it is visible.
        const QRegion dirty = click.dirty.intersected(exposed);
        if (dirty.isEmpty()) {
            continue;
        }
        QPainter painter(&view);
        painter.translate(-exposed.topLeft());
        painter.setClipRegion(dirty);
        PageRenderer(*doc, settings, 96, false, pageWidth).Drawpage(painter, dirty.boundingRect());
    }
}
BENCHMARK(BM_ClickAndRepaintInLargestChart)->Unit(benchmark::kMillisecond);

void BM_WholePageOf100x100Chart(benchmark::State& state) {
    static std::unique_ptr<ChartDocument> doc = filledChart(100);
    PageSettings settings;
    const PageMetrics m = PageMetrics::forDpi(settings, 96);
    QImage page(m.c * 102 + 2 * m.M, m.c * 142 + 2 * m.M, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&page);
        PageRenderer(*doc, settings, 96, false, page.width()).Drawpage(painter);
    }
}
BENCHMARK(BM_WholePageOf100x100Chart)->Unit(benchmark::kMillisecond);

// Resident memory of a 1000 x 1000 chart of one 20 x 20 symbol while it is open, and what is
// left of it once a new 10 x 10 chart replaced it.
void BM_MemoryOfLargestChart(benchmark::State& state) {
    for (auto _ : state) {
        const std::int64_t before = resident::baseline();
        std::unique_ptr<ChartDocument> doc = filledChart(1000);
        const std::int64_t open = resident::bytes();
        doc->buildChart(10, 10, 0);
        const std::int64_t replaced = resident::bytes();
        state.counters["open_MB"] = resident::megabytes(open - before);
        state.counters["after_new_MB"] = resident::megabytes(replaced - before);
    }
}
BENCHMARK(BM_MemoryOfLargestChart)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
