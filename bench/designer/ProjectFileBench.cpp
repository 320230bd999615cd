// Save, load and preview of a large chart next to a plain copy of the same file, and the
// recovery copies of that chart and of a large picture, in one run:
//   designer_bench --benchmark_filter='Project|Thumbnail|Recovery'
#include "ResidentMemory.h"
#include "designer/ChartDocument.h"
#include "designer/ChartRecovery.h"
#include "designer/ChartThumbnail.h"
#include "designer/ProjectFile.h"
#include "foundation/AtomicSave.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "image/ImageDocument.h"
#include "image/PictureRecovery.h"
#include "imageops/BenchPicture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// 300 rows of 200 cells, each holding a 100 x 100 true-colour symbol.
struct LargeChart {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("gross.tpd"));
    ChartDocument doc;
    PageSettings settings;

    LargeChart() {
        TStich* s = doc.stiche.Add();
        s->bezeichnung = ownedTextFromString(QStringLiteral("Rechte Masche"));
        s->hinreihe = ownedTextFromString(QStringLiteral("rechts stricken"));
        s->rueckreihe = ownedTextFromString(QStringLiteral("links stricken"));
        s->breite = 1;
        grafikrw3::newdib(&s->di, 100, 100, 24, nullptr, 0);
        grafikrw3::FilledEllipse(s->di, 10, 10, 90, 90, 0x204080);
        doc.buildChart(300, 200, 0);
    }

    // As the program saves: through a temporary file that replaces the old one when all is
    // on the disk.
    bool save() {
        return saveAtomically(path, [&](QIODevice& file) {
                   return ProjectFile::write(file, doc, settings);
               }) == SaveOutcome::Saved;
    }
};

LargeChart& chart() {
    static LargeChart instance;
    return instance;
}

void BM_SaveProject(benchmark::State& state) {
    for (auto _ : state) {
        if (!chart().save()) {
            state.SkipWithError("save failed");
        }
    }
    state.counters["file_MB"] = double(QFile(chart().path).size()) / 1e6;
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_LoadProject(benchmark::State& state) {
    chart().save();
    const std::int64_t before = resident::baseline();
    ChartDocument loaded;
    PageSettings settings;
    for (auto _ : state) {
        QFile file(chart().path);
        file.open(QIODevice::ReadOnly);
        if (ProjectFile::read(file, file.size(), loaded, settings,
                              std::numeric_limits<std::uint64_t>::max()) != FileStatus::Ok) {
            state.SkipWithError("load failed");
        }
    }
    // What the loaded chart holds (the earlier loads were replaced by the last one).
    state.counters["loaded_MB"] = resident::megabytes(resident::bytes() - before);
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The preview a file manager asks for (256 pixels) of the same chart, from the file to the
// PNG bytes, beside its load.
void BM_ThumbnailOfLargeChart(benchmark::State& state) {
    chart().save();
    const std::int64_t before = resident::baseline();
    std::int64_t peak = 0;
    for (auto _ : state) {
        QFile file(chart().path);
        file.open(QIODevice::ReadOnly);
        ChartDocument preview;
        PageSettings settings;
        if (ChartThumbnail::read(file, file.size(), 256, preview, settings,
                                 std::numeric_limits<std::uint64_t>::max()) != FileStatus::Ok) {
            state.SkipWithError("read failed");
            break;
        }
        const QImage picture = ChartThumbnail::render(preview, settings, 256);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        if (picture.isNull() || !picture.save(&png, "PNG")) {
            state.SkipWithError("no preview");
        }
        peak = std::max(peak, resident::bytes() - before);
    }
    // What the chart read for the preview and the picture take.
    state.counters["preview_MB"] = resident::megabytes(peak);
}
BENCHMARK(BM_ThumbnailOfLargeChart)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The same file copied with cp, as a yardstick for the disk and the page cache.
void BM_CopyProjectWithCp(benchmark::State& state) {
    chart().save();
    const QByteArray command = QStringLiteral("cp '%1' '%1.kopie'").arg(chart().path).toLocal8Bit();
    // Once untimed, so that cp copies from the file cache, as after a save through the cache.
    if (std::system(command.constData()) != 0) {
        state.SkipWithError("cp failed");
    }
    for (auto _ : state) {
        if (std::system(command.constData()) != 0) {
            state.SkipWithError("cp failed");
        }
    }
}
BENCHMARK(BM_CopyProjectWithCp)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The yardstick of a save that is on the disk when it returns: cp, then sync of the copy.
void BM_CopyProjectWithCpAndSync(benchmark::State& state) {
    chart().save();
    const QByteArray command =
        QStringLiteral("cp '%1' '%1.kopie' && sync '%1.kopie'").arg(chart().path).toLocal8Bit();
    for (auto _ : state) {
        if (std::system(command.constData()) != 0) {
            state.SkipWithError("cp or sync failed");
        }
    }
}
BENCHMARK(BM_CopyProjectWithCpAndSync)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// What a recovery copy costs the window's thread: argument 0 copies the large chart, 1 a
// 4000 x 3000 true-colour picture. The time is the longest stretch the window's thread spent on
// one copy without handling its events; "window_ms" is all its time on it, spread over
// "steps" stretches, while the copy is written on another thread.
void BM_RecoveryCopyBlocksWindow(benchmark::State& state) {
    const bool picture = state.range(0) == 1;
    QTemporaryDir folder;
    ImageDocument image;
    std::unique_ptr<recovery::Source> source;
    if (picture) {
        if (!image.installImage(benchpicture::smoothNoise24(), QStringLiteral("gross.bmp"))) {
            state.SkipWithError("no picture");
            return;
        }
        source = std::make_unique<PictureRecoverySource>(image, false, nullptr);
    } else {
        source =
            std::make_unique<ChartRecoverySource>(chart().doc, [] { return chart().settings; });
    }
    recovery::Timing timing;
    timing.idleMs = 0; // at once, every iteration
    timing.largeBytes = std::numeric_limits<qint64>::max();
    recovery::Keeper keeper(recovery::Store(folder.path()), std::move(source), timing);
    QEventLoop loop;
    bool ok = true;
    keeper.onCopied = [&](bool written) {
        ok = written;
        loop.quit();
    };
    double windowMs = 0;
    double steps = 0;
    for (auto _ : state) {
        image.changed = true;
        image.imageChanged(); // a change the copy must catch
        chart().doc.changed = true;
        keeper.touch();
        loop.exec();
        if (!ok) {
            state.SkipWithError("copy not written");
            break;
        }
        const recovery::Keeper::Cost& cost = keeper.lastCost();
        state.SetIterationTime(double(cost.longestStepNs) / 1e9);
        windowMs += double(cost.windowNs) / 1e6;
        steps += cost.steps;
    }
    chart().doc.changed = false;
    state.counters["window_ms"] = windowMs / double(state.iterations());
    state.counters["steps"] = steps / double(state.iterations());
    state.counters["copy_MB"] = double(keeper.lastCost().bytes) / 1e6;
}
BENCHMARK(BM_RecoveryCopyBlocksWindow)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseManualTime();

} // namespace
