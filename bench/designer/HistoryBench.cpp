// Undo and redo in the largest chart with the repaint of what they changed, and the written
// instructions of the largest chart.
#include "designer/ChartDocument.h"
#include "designer/Instructions.h"
#include "designer/PageRenderer.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kSide = 1000;

void addStitch(ChartDocument& doc, const QString& name, const QString& hin, const QString& rueck,
               int breite, std::uint32_t colour) {
    TStich* s = doc.stiche.Add();
    s->bezeichnung = ownedTextFromString(name);
    s->hinreihe = ownedTextFromString(hin);
    s->rueckreihe = ownedTextFromString(rueck);
    s->breite = breite;
    grafikrw3::newdib(&s->di, 20 * breite, 20, 24, nullptr, 0);
    grafikrw3::FilledEllipse(s->di, 2, 2, 20 * breite - 3, 17, colour);
}

// The 1000 x 1000 chart of one 1-cell stitch with a 20 x 20 symbol, and a second stitch for
// the clicks.
std::unique_ptr<ChartDocument> filledChart() {
    auto doc = std::make_unique<ChartDocument>();
    addStitch(*doc, QStringLiteral("Rechte Masche"), QStringLiteral("rechts"),
              QStringLiteral("links"), 1, 0x203040);
    addStitch(*doc, QStringLiteral("Linke Masche"), QStringLiteral("links"),
              QStringLiteral("rechts"), 1, 0x804020);
    doc->buildChart(kSide, kSide, 0);
    return doc;
}

// The screen's view of the page: a window-sized viewport scrolled into the middle.
struct View {
    PageSettings settings;
    int pageWidth = 0;
    QImage image{1200, 900, QImage::Format_RGB32};
    QRect exposed;

    explicit View(ChartDocument& doc) {
        const PageMetrics m = PageMetrics::forDpi(settings, 96);
        pageWidth = m.c * (kSide + 2) + 2 * m.M;
        exposed = QRect(pageWidth / 2, 12000, image.width(), image.height());
        paint(doc, exposed);
    }
    // As the chart view does: only `dirty` where it is visible.
    void paint(ChartDocument& doc, const QRegion& dirty) {
        const QRegion visible = dirty.intersected(exposed);
        if (visible.isEmpty()) {
            return;
        }
        QPainter painter(&image);
        painter.translate(-exposed.topLeft());
        painter.setClipRegion(visible);
        PageRenderer(doc, settings, 96, false, pageWidth).Drawpage(painter, visible.boundingRect());
    }
};

// One iteration is an undo and a redo of a click into a visible cell, each followed by the
// repaint of what it changed.
void BM_UndoClickInLargestChart(benchmark::State& state) {
    std::unique_ptr<ChartDocument> doc = filledChart();
    View view(*doc);
    doc->stichnr = 1;
    const auto& target = doc->cellAt(500, 520).feldrect;
    view.paint(*doc, doc->clickAt(target.left + 2, target.top + 2, true).dirty);
    for (auto _ : state) {
        const ChartHistory::Outcome undone = doc->history.undo();
        view.paint(*doc, undone.dirty);
        const ChartHistory::Outcome redone = doc->history.redo();
        view.paint(*doc, redone.dirty);
        benchmark::DoNotOptimize(redone.done);
    }
    state.counters["history_bytes"] = double(doc->history.bytes());
}
BENCHMARK(BM_UndoClickInLargestChart)->Unit(benchmark::kMillisecond);

// The undo of "Neue Zeile oben" in the middle of the largest chart with the repaint of the
// visible page; the insert itself is not timed.
void BM_UndoRowInsertInLargestChart(benchmark::State& state) {
    std::unique_ptr<ChartDocument> doc = filledChart();
    View view(*doc);
    doc->selectrow = true;
    doc->rownr = 500;
    for (auto _ : state) {
        state.PauseTiming();
        doc->insertRowAbove();
        view.paint(*doc, view.exposed);
        state.ResumeTiming();
        const ChartHistory::Outcome undone = doc->history.undo();
        // Rows moved: the whole visible page is painted again.
        view.paint(*doc, view.exposed);
        benchmark::DoNotOptimize(undone.done);
    }
}
BENCHMARK(BM_UndoRowInsertInLargestChart)->Unit(benchmark::kMillisecond);

// A 1000 x 1000 chart of eight stitches, two of them two cells wide, scattered at random: few
// equal neighbours and no two rows alike, so every row is worked out in full.
void BM_InstructionsOfLargestChart(benchmark::State& state) {
    ChartDocument doc;
    const char* names[] = {
        "rechts",     "links", "Umschlag", "abheben", "rechts verschränkt", "links verschränkt",
        "2 zusammen", "Noppe"};
    for (int k = 0; k < 8; ++k) {
        const QString name = QString::fromUtf8(names[k]);
        addStitch(doc, name, name, QStringLiteral("R: ") + name, k >= 6 ? 2 : 1,
                  0x101010u * std::uint32_t(k + 1));
    }
    doc.buildChart(kSide, kSide, -1);
    std::mt19937 random(2024);
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c) {
            doc.placeStitch(doc.cellAt(r, c), *doc.stiche.at(random() % 8));
        }
    }
    doc.cellsChanged();
    const instructions::Options options;
    std::size_t characters = 0;
    for (auto _ : state) {
        const QStringList lines = instructions::lines(doc, options);
        characters = 0;
        for (const QString& line : lines) {
            characters += std::size_t(line.size());
        }
        benchmark::DoNotOptimize(characters);
    }
    state.counters["characters"] = double(characters);
}
BENCHMARK(BM_InstructionsOfLargestChart)->Unit(benchmark::kMillisecond);

} // namespace
