#include "BenchPicture.h"

#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <random>
#include <vector>

namespace benchpicture {

namespace {

// Random colours on a coarse grid, interpolated bilinearly between the grid points, plus a
// small per-pixel grain.
OwnedDib makeSmoothNoise() {
    constexpr int kCell = 64;
    constexpr int kGridW = kWidth / kCell + 2;
    constexpr int kGridH = kHeight / kCell + 2;
    std::mt19937 random(20261209u);
    std::uniform_int_distribution<int> channel(0, 255);
    std::vector<int> grid(std::size_t(kGridW) * kGridH * 3);
    for (int& v : grid) {
        v = channel(random);
    }
    std::uniform_int_distribution<int> grain(-6, 6);

    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), kWidth, kHeight, 24, nullptr, 0);
    for (int y = 0; y < kHeight; ++y) {
        const int gy = y / kCell;
        const int fy = y % kCell;
        std::uint8_t* row = grafikrw3::rowAt(picture.get(), y);
        for (int x = 0; x < kWidth; ++x) {
            const int gx = x / kCell;
            const int fx = x % kCell;
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int px, int py) {
                    return grid[(std::size_t(py) * kGridW + px) * 3 + c];
                };
                const int top = at(gx, gy) * (kCell - fx) + at(gx + 1, gy) * fx;
                const int bottom = at(gx, gy + 1) * (kCell - fx) + at(gx + 1, gy + 1) * fx;
                int v = (top * (kCell - fy) + bottom * fy) / (kCell * kCell) + grain(random);
                row[3 * x + c] = std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
    return picture;
}

const OwnedDib& master() {
    static const OwnedDib picture = makeSmoothNoise();
    return picture;
}

} // namespace

OwnedDib smoothNoise24() {
    return OwnedDib(copyDib(master().get()));
}

bool writeSmoothNoisePpm(const QString& file) {
    QFile ppm(file);
    if (!ppm.open(QIODevice::WriteOnly)) {
        return false;
    }
    ppm.write(QStringLiteral("P6\n%1 %2\n255\n").arg(kWidth).arg(kHeight).toLatin1());
    QByteArray rgb(qsizetype(kWidth) * 3, '\0');
    for (int y = 0; y < kHeight; ++y) {
        const std::uint8_t* row = grafikrw3::rowAt(master().get(), y);
        for (int x = 0; x < kWidth; ++x) {
            rgb[3 * x] = char(row[3 * x + 2]);
            rgb[3 * x + 1] = char(row[3 * x + 1]);
            rgb[3 * x + 2] = char(row[3 * x]);
        }
        if (ppm.write(rgb) != rgb.size()) {
            return false;
        }
    }
    return true;
}

QString smoothNoisePpm() {
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString file = folder.filePath(QStringLiteral("smooth-noise.ppm"));
        return writeSmoothNoisePpm(file) ? file : QString();
    }();
    return path;
}

bool runCommand(const QString& command) {
    return std::system(command.toLocal8Bit().constData()) == 0;
}

} // namespace benchpicture
