// "Exportieren als Bild" of a 100 x 100 chart at 600 dpi: rendering the picture of the page
// (about 16 100 x 16 600 pixels) and writing it, once as BMP and once as PNG. A large chart
// printed into a PDF file, and exported at 600 dpi to PNG, rendered and written band by band,
// next to libpng alone encoding the same rows at the same settings:
//   designer_bench --benchmark_filter=ExportLargeChart
#include "ResidentMemory.h"
#include "designer/ChartDocument.h"
#include "designer/ChartOutput.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <png.h>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <ctime>

namespace {

constexpr double kA4WidthMm = 210;

void BM_Export100x100At600Dpi(benchmark::State& state) {
    const int code = int(state.range(0));
    state.SetLabel(grafikrw3::formatExtension(code).toStdString());
    ChartDocument doc;
    TStich* s = doc.stiche.Add();
    s->bezeichnung = ownedTextFromString(QStringLiteral("Rechte Masche"));
    s->breite = 1;
    grafikrw3::newdib(&s->di, 40, 40, 24, nullptr, 0);
    grafikrw3::recht_filled(s->di, 0, 0, 39, 39, 0xffffff);
    grafikrw3::FilledEllipse(s->di, 8, 8, 31, 31, 0x203040);
    doc.buildChart(100, 100, 0);
    const PageSettings settings;
    QTemporaryDir folder;
    const QString file =
        folder.filePath(QStringLiteral("export") + grafikrw3::formatExtension(code));
    for (auto _ : state) {
        dib picture;
        if (!ChartOutput::renderPicture(doc, settings, 600, kA4WidthMm, picture) ||
            grafikrw3::SaveDib(picture, file, code) != 1) {
            state.SkipWithError("export failed");
        }
        state.counters["pixels_M"] = double(DIBWidth(picture)) * DIBHeight(picture) / 1e6;
        FreeDIB(picture);
    }
}
BENCHMARK(BM_Export100x100At600Dpi)
    ->Arg(3)
    ->Arg(14)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// 200 stitches by 300 rows, every third cell holding one 1-bit 32 x 32 symbol.
struct LargeChart {
    ChartDocument doc;
    const PageSettings settings;

    LargeChart() {
        TStich* s = doc.stiche.Add();
        s->bezeichnung = ownedTextFromString(QStringLiteral("Linke Masche"));
        s->hinreihe = ownedTextFromString(QStringLiteral("links stricken"));
        s->rueckreihe = ownedTextFromString(QStringLiteral("rechts stricken"));
        s->breite = 1;
        grafikrw3::newdib(&s->di, 32, 32, 1, nullptr, 0);
        grafikrw3::recht_filled(s->di, 0, 0, 31, 31, 1);
        grafikrw3::FilledEllipse(s->di, 6, 6, 25, 25, 0);
        doc.buildChart(300, 200, -1);
        for (int row = 0; row < doc.azeilen; ++row) {
            for (int column = row % 3; column < doc.aspalten; column += 3) {
                doc.placeStitch(doc.cellAt(row, column), *s);
            }
        }
        doc.cellsChanged();
    }
};

LargeChart& largeChart() {
    static LargeChart chart;
    return chart;
}

// "--pdf" of the large chart: 64 sheets of the grid and one of the legend.
void BM_PdfOfLargeChart(benchmark::State& state) {
    LargeChart& chart = largeChart();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("gross.pdf"));
    for (auto _ : state) {
        if (!ChartOutput::writePdf(chart.doc, chart.settings, file, QStringLiteral("gross.tpd"))) {
            state.SkipWithError("writing the PDF failed");
        }
    }
    state.counters["pdf_MB"] = double(QFileInfo(file).size()) / 1e6;
}
BENCHMARK(BM_PdfOfLargeChart)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_ExportLargeChart600(benchmark::State& state) {
    LargeChart& chart = largeChart();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("gross.png"));
    resident::resetPeak();
    for (auto _ : state) {
        if (ChartOutput::exportPicture(chart.doc, chart.settings, 600, kA4WidthMm, file,
                                       int(grafikrw3::ImageFormat::Png)) !=
            ChartOutput::ExportResult::Saved) {
            state.SkipWithError("export failed");
        }
    }
    state.counters["peak_MB"] = resident::megabytes(resident::peakBytes());
    state.counters["file_MB"] = double(QFile(file).size()) / 1e6;
}
BENCHMARK(BM_ExportLargeChart600)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// libpng writing rows to a file as the export's PNG encoder does: 8-bit RGB from blue, green,
// red rows, default compression and filters, the resolution recorded.
struct PngFile {
    QFile file;
    png_structp png = nullptr;
    png_infop info = nullptr;

    static void write(png_structp png, png_bytep data, std::size_t count) {
        static_cast<QFile*>(png_get_io_ptr(png))
            ->write(reinterpret_cast<const char*>(data), qint64(count));
    }
    static void flush(png_structp) {}

    PngFile(const QString& name, int width, int height, int dpi) : file(name) {
        file.open(QIODevice::WriteOnly);
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            return;
        }
        png_set_write_fn(png, &file, write, flush);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        const auto perMetre = png_uint_32(std::lround(dpi / 0.0254));
        png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
        png_write_info(png, info);
        png_set_bgr(png);
    }
    ~PngFile() { png_destroy_write_struct(&png, &info); }
    bool rows(const dib& band) {
        if (setjmp(png_jmpbuf(png))) {
            return false;
        }
        for (int y = 0; y < DIBHeight(band); ++y) {
            png_write_row(png, grafikrw3::rowAt(band, y));
        }
        return true;
    }
    bool end() {
        if (setjmp(png_jmpbuf(png))) {
            return false;
        }
        png_write_end(png, info);
        return true;
    }
};

// Seconds of processor time this thread has used.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The yardstick of BM_ExportLargeChart600: the page's bands are rendered as there, but only
// libpng's encoding and writing of their rows is timed. Its processor time is "encode_cpu_ms",
// to set beside the export's CPU column when the machine is busy with other work.
void BM_ExportLargeChart600LibpngAlone(benchmark::State& state) {
    LargeChart& chart = largeChart();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("gross.png"));
    const QSize size = ChartOutput::exportSize(chart.doc, chart.settings, 600, kA4WidthMm);
    double processor = 0;
    for (auto _ : state) {
        PngFile png(file, size.width(), size.height(), 600);
        std::chrono::duration<double> elapsed{0};
        auto timed = [&](auto&& encode) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadSeconds();
            const bool done = encode();
            processor += threadSeconds() - cpuStart;
            elapsed += std::chrono::steady_clock::now() - start;
            return done;
        };
        const bool rendered = ChartOutput::renderBands(
            chart.doc, chart.settings, 600, kA4WidthMm, false,
            [&](const dib& band, int) { return timed([&] { return png.rows(band); }); });
        if (!rendered || !timed([&] { return png.end(); })) {
            state.SkipWithError("encoding failed");
        }
        state.SetIterationTime(elapsed.count());
    }
    state.counters["encode_cpu_ms"] =
        1e3 * processor / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["file_MB"] = double(QFile(file).size()) / 1e6;
}
BENCHMARK(BM_ExportLargeChart600LibpngAlone)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

} // namespace
