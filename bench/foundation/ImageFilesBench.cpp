// Reading and writing a 4000 x 3000 true-colour picture in the common formats, next to
// ImageMagick's convert doing the same work in the same run:
//   foundation_bench --benchmark_filter=Image
// ImageMagick reads from and writes to PPM, which costs it little; "null:" decodes and drops.
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

struct Fixture {
    QTemporaryDir folder;
    dib picture;

    Fixture() {
        grafikrw3::newdib(&picture, kWidth, kHeight, 24, nullptr, 0);
        // Smooth gradients with some fine texture, like a scanned or photographed pattern.
        std::uint32_t noise = 12345;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = picture.poi + std::int64_t(kHeight - 1 - y) * picture.bytew;
            for (int x = 0; x < kWidth; ++x) {
                noise = noise * 1103515245u + 12345u;
                const int n = int(noise >> 28);
                row[3 * x] = std::uint8_t(x * 255 / kWidth + n);
                row[3 * x + 1] = std::uint8_t(y * 255 / kHeight + n);
                row[3 * x + 2] = std::uint8_t((x + y) * 127 / kWidth + n);
            }
        }
        // The same picture as PPM, ImageMagick's neutral input.
        QFile ppm(path(QStringLiteral("source.ppm")));
        ppm.open(QIODevice::WriteOnly);
        ppm.write(QStringLiteral("P6\n%1 %2\n255\n").arg(kWidth).arg(kHeight).toLatin1());
        QByteArray rgb(qsizetype(kWidth) * 3, '\0');
        for (int y = 0; y < kHeight; ++y) {
            const std::uint8_t* row = picture.poi + std::int64_t(kHeight - 1 - y) * picture.bytew;
            for (int x = 0; x < kWidth; ++x) {
                rgb[3 * x] = char(row[3 * x + 2]);
                rgb[3 * x + 1] = char(row[3 * x + 1]);
                rgb[3 * x + 2] = char(row[3 * x]);
            }
            ppm.write(rgb);
        }
    }
    QString path(const QString& name) const { return folder.filePath(name); }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

const int kCodes[] = {3, 14, 8, 13}; // BMP, PNG, JPG, TIF

QString fileFor(int code) {
    return fixture().path(QStringLiteral("bild") + grafikrw3::formatExtension(code).toLower());
}

void run(benchmark::State& state, const QString& command) {
    const QByteArray line = command.toLocal8Bit();
    for (auto _ : state) {
        if (std::system(line.constData()) != 0) {
            state.SkipWithError("convert failed");
        }
    }
}

void BM_ImageWrite(benchmark::State& state) {
    const int code = kCodes[state.range(0)];
    state.SetLabel(grafikrw3::formatExtension(code).toStdString());
    for (auto _ : state) {
        if (grafikrw3::SaveDib(fixture().picture, fileFor(code), code) != 1) {
            state.SkipWithError("save failed");
        }
    }
}

void BM_ImageRead(benchmark::State& state) {
    const int code = kCodes[state.range(0)];
    state.SetLabel(grafikrw3::formatExtension(code).toStdString());
    grafikrw3::SaveDib(fixture().picture, fileFor(code), code);
    for (auto _ : state) {
        dib d;
        grafikrw3::OpenDib(&d, fileFor(code));
        if (!d.poi) {
            state.SkipWithError("open failed");
        }
        FreeDIB(d);
    }
}

void BM_ImageMagickWrite(benchmark::State& state) {
    const int code = kCodes[state.range(0)];
    state.SetLabel(grafikrw3::formatExtension(code).toStdString());
    const QString out =
        fixture().path(QStringLiteral("im") + grafikrw3::formatExtension(code).toLower());
    run(state, QStringLiteral("convert '%1' -quality 75 '%2'")
                   .arg(fixture().path(QStringLiteral("source.ppm")), out));
}

void BM_ImageMagickRead(benchmark::State& state) {
    const int code = kCodes[state.range(0)];
    state.SetLabel(grafikrw3::formatExtension(code).toStdString());
    grafikrw3::SaveDib(fixture().picture, fileFor(code), code);
    run(state, QStringLiteral("convert '%1' null:").arg(fileFor(code)));
}

BENCHMARK(BM_ImageWrite)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_ImageMagickWrite)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_ImageRead)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_ImageMagickRead)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
