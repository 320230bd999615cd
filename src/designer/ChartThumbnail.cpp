// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartThumbnail.h"

#include "ChartOutput.h"
#include "ProjectFile.h"
#include "Units.h"

#include <QPageSize>

#include <algorithm>
#include <cmath>
#include <vector>

namespace ChartThumbnail {

namespace {

// The page is drawn this many times larger than the preview, up to a side of kMaxDrawnSide.
constexpr int kOversample = 4;
constexpr int kMaxDrawnSide = 4096;
// Cells of a large chart stay this large, so that its grid does not vanish.
constexpr int kMinCellPixels = 2;
constexpr int kProbeDpi = 96;
constexpr int kMinDpi = 1;
constexpr int kMaxDpi = ChartOutput::kMaxExportDpi;

int drawnSide(int size) {
    return std::max(size, std::min(kOversample * size, kMaxDrawnSide));
}

// Text under the chart wraps as in an exported picture.
double pageWidthMm() {
    return QPageSize(QPageSize::A4).size(QPageSize::Millimeter).width();
}

} // namespace

int drawingDpi(ChartDocument& doc, const PageSettings& settings, int size) {
    const QSize probe = ChartOutput::exportSize(doc, settings, kProbeDpi, pageWidthMm());
    const double scaled =
        kProbeDpi * double(drawnSide(size)) / std::max(probe.width(), probe.height());
    int dpi = int(std::clamp(scaled, double(kMinDpi), double(kMaxDpi)));
    if (settings.tessaplan && settings.breitMm > 0) {
        int least =
            int(std::min(std::ceil(kMinCellPixels * double(kMillimetresPerInch) / settings.breitMm),
                         double(kMaxDpi)));
        if (millimetresToPixels(settings.breitMm, least) < kMinCellPixels && least < kMaxDpi) {
            ++least; // the division came out a hair short
        }
        dpi = std::max(dpi, least);
    }
    return dpi;
}

namespace {

// Averages a picture down to a smaller one, fed row by row from the top. Each pixel of the
// result is the mean of the area of the picture it covers: a pixel of the picture on the border
// between two of the result counts in both, by the part of it that falls into each.
class Shrinker {
public:
    Shrinker(QSize from, QImage& to)
        : to_(to), columns_(spans(from.width(), to.width())),
          rows_(spans(from.height(), to.height())),
          row_(std::size_t(to.width()) * 3), sums_{std::vector<double>(row_.size()),
                                                   std::vector<double>(row_.size())} {}

    void addRow(const QRgb* pixels) {
        const Span& r = rows_[std::size_t(y_++)];
        while (r.first > current_) {
            flush();
        }
        std::fill(row_.begin(), row_.end(), 0.0);
        for (std::size_t x = 0; x < columns_.size(); ++x) {
            const Span& c = columns_[x];
            const double rgb[3] = {double(qRed(pixels[x])), double(qGreen(pixels[x])),
                                   double(qBlue(pixels[x]))};
            double* target = &row_[std::size_t(c.first) * 3];
            for (int i = 0; i < 3; ++i) {
                target[i] += c.inFirst * rgb[i];
                if (c.inNext > 0) {
                    target[3 + i] += c.inNext * rgb[i];
                }
            }
        }
        for (std::size_t i = 0; i < row_.size(); ++i) {
            sums_[0][i] += r.inFirst * row_[i];
            sums_[1][i] += r.inNext * row_[i];
        }
    }

    // Writes the rows still being summed.
    void finish() {
        while (current_ < to_.height()) {
            flush();
        }
    }

private:
    // The share of one pixel of the picture in pixel `first` of the result and in the next.
    struct Span {
        int first = 0;
        double inFirst = 0;
        double inNext = 0;
    };

    static std::vector<Span> spans(int from, int to) {
        std::vector<Span> list{std::size_t(from), Span{}};
        const double scale = double(to) / from;
        for (int i = 0; i < from; ++i) {
            const double begin = i * scale;
            const double end = (i + 1) * scale;
            Span& s = list[std::size_t(i)];
            s.first = std::min(int(begin), to - 1);
            const double border = s.first + 1;
            s.inFirst = std::min(end, border) - begin;
            s.inNext = s.first + 1 < to ? std::max(0.0, end - border) : 0.0;
        }
        return list;
    }

    // Writes the row of the result being summed and moves on to the next.
    void flush() {
        auto* out = reinterpret_cast<QRgb*>(to_.scanLine(current_));
        for (int x = 0; x < to_.width(); ++x) {
            const double* sum = &sums_[0][std::size_t(x) * 3];
            out[x] =
                qRgb(std::clamp(int(sum[0] + 0.5), 0, 255), std::clamp(int(sum[1] + 0.5), 0, 255),
                     std::clamp(int(sum[2] + 0.5), 0, 255));
        }
        std::swap(sums_[0], sums_[1]);
        std::fill(sums_[1].begin(), sums_[1].end(), 0.0);
        ++current_;
    }

    QImage& to_;
    std::vector<Span> columns_;
    std::vector<Span> rows_;
    std::vector<double> row_;     // the row being added, averaged across: red, green, blue
    std::vector<double> sums_[2]; // the row of the result being summed and the one after it
    int y_ = 0;                   // rows added so far
    int current_ = 0;             // the row of the result being summed
};

} // namespace

std::int32_t cellSide(int size, std::int32_t columns, std::int32_t rows) {
    // The grid spans columns + 2 cells across and rows + 1 down of a page drawn about
    // drawnSide(size) long: a quarter more where the texts do not shrink with the resolution,
    // and a large chart keeps cells of kMinCellPixels (rounded up by one) however long.
    const std::int64_t cells = std::max<std::int64_t>(std::int64_t(columns) + 2, rows + 1);
    return std::int32_t(std::min<std::int64_t>(
        (std::int64_t(drawnSide(size)) * 5 / 4 + cells - 1) / cells + kMinCellPixels + 1,
        drawnSide(size)));
}

FileStatus read(QIODevice& in, std::int64_t bytes, int size, ChartDocument& doc,
                PageSettings& settings, std::uint64_t memoryBudget) {
    return ProjectFile::readPreview(
        in, bytes, doc, settings, memoryBudget,
        [size](std::int32_t columns, std::int32_t rows) { return cellSide(size, columns, rows); });
}

QImage render(ChartDocument& doc, const PageSettings& settings, int size) {
    const int dpi = drawingDpi(doc, settings, size);
    const QSize page = ChartOutput::exportSize(doc, settings, dpi, pageWidthMm());
    QSize target = page;
    if (std::max(page.width(), page.height()) > size) {
        const bool wide = page.width() >= page.height();
        const int other = int(
            std::max<std::int64_t>(1, (std::int64_t(wide ? page.height() : page.width()) * size +
                                       std::max(page.width(), page.height()) / 2) /
                                          std::max(page.width(), page.height())));
        target = wide ? QSize(size, other) : QSize(other, size);
    }
    QImage result(target, QImage::Format_RGB32);
    if (result.isNull()) {
        return {};
    }
    Shrinker shrinker(page, result);
    const bool painted = ChartOutput::paintBands(
        doc, settings, dpi, pageWidthMm(), page, false,
        [&shrinker](const QImage& band, int, int rows) {
            for (int y = 0; y < rows; ++y) {
                shrinker.addRow(reinterpret_cast<const QRgb*>(band.constScanLine(y)));
            }
            return true;
        });
    if (!painted) {
        return {};
    }
    shrinker.finish();
    return result;
}

} // namespace ChartThumbnail
