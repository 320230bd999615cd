#include "ChartOutput.h"

#include "PageRenderer.h"
#include "Units.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ChartOutput {

namespace {

// Rows of the picture rendered at a time: the only extra pixels an export holds.
constexpr int kBandRows = 256;
// Sides beyond this cannot be pictures.
constexpr std::int64_t kMaxSide = 1 << 30;

// Text is measured on the device it is drawn on: images of the export's resolution.
void setResolution(QImage& image, int dpi) {
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
}

// Draws what lies in `content` (page coordinates) at (left, top) of the paper.
void drawPart(QPainter& painter, PageRenderer& renderer, const QRect& content, int left, int top) {
    painter.save();
    painter.translate(left - content.left(), top - content.top());
    painter.setClipRect(content);
    renderer.Drawpage(painter, content);
    painter.restore();
}

// Lays the page out without drawing anything, for its measures.
void measure(QPainter& painter, PageRenderer& renderer) {
    painter.save();
    painter.setClipRect(QRect(0, 0, 0, 0));
    renderer.Drawpage(painter, QRect(-2, -2, 1, 1));
    painter.restore();
}

// Splits [0, count) into runs of at most `perPage` (at least 1), the first at most `first`.
std::vector<std::pair<int, int>> bands(int count, int first, int perPage) {
    std::vector<std::pair<int, int>> out;
    int start = 0;
    int size = std::max(1, first);
    while (start < count) {
        const int end = std::min(count, start + size);
        out.emplace_back(start, end);
        start = end;
        size = std::max(1, perPage);
    }
    return out;
}

} // namespace

int exportPageWidth(const ChartDocument& doc, const PageSettings& settings, int dpi,
                    double pageWidthMm) {
    const PageMetrics m = PageMetrics::forDpi(settings, dpi);
    const std::int64_t pageWidth = std::llround(pageWidthMm * dpi / 25.4);
    const std::int64_t grid =
        settings.tessaplan ? std::int64_t(m.c) * (doc.aspalten + 2) + m.lw : 0;
    return int(std::min<std::int64_t>(std::max(pageWidth, grid + 2 * m.M), kMaxSide));
}

QSize exportSize(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm) {
    QImage probe(1, 1, QImage::Format_RGB32);
    setResolution(probe, dpi);
    QPainter painter(&probe);
    PageRenderer page(doc, settings, dpi, false, exportPageWidth(doc, settings, dpi, pageWidthMm));
    measure(painter, page);
    const std::int64_t M = page.metrics().M;
    const QRect content = page.contentRect();
    const std::int64_t right = content.isEmpty() ? M : std::int64_t(content.right()) + 1;
    const std::int64_t bottom = content.isEmpty() ? M : std::int64_t(content.bottom()) + 1;
    return {int(std::clamp<std::int64_t>(right + M, 1, kMaxSide)),
            int(std::clamp<std::int64_t>(bottom + M, 1, kMaxSide))};
}

ExportPlan planExport(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                      std::uint64_t budgetBytes) {
    const std::int64_t limit =
        std::int64_t(std::min<std::uint64_t>(budgetBytes, grafikrw3::kMaxImageBytes));
    auto planAt = [&](int atDpi) {
        ExportPlan plan;
        plan.size = exportSize(doc, settings, atDpi, pageWidthMm);
        const std::int64_t row = grafikrw3::rowBytes(plan.size.width(), 24);
        plan.bytes = row < 0 ? -1 : row * plan.size.height();
        plan.fits = plan.bytes > 0 && plan.bytes <= limit;
        return plan;
    };
    ExportPlan plan = planAt(dpi);
    if (!plan.fits && plan.bytes > 0) {
        // Memory grows about with the square of the resolution; the texts make it inexact.
        int suggested = int(std::floor(dpi * std::sqrt(double(limit) / double(plan.bytes))));
        while (suggested > 0 && !planAt(suggested).fits) {
            --suggested;
        }
        while (suggested + 1 < dpi && planAt(suggested + 1).fits) {
            ++suggested;
        }
        plan.suggestedDpi = suggested;
    }
    return plan;
}

bool renderPicture(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                   dib& out, const ProgressCallback& progress) {
    out = dib{};
    const QSize size = exportSize(doc, settings, dpi, pageWidthMm);
    grafikrw3::newdib(&out, size.width(), size.height(), 24, nullptr, 0);
    if (!out.poi) {
        return false;
    }
    // The file records the resolution the picture was made for.
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    out.pmi->bmiHeader.biXPelsPerMeter = dotsPerMeter;
    out.pmi->bmiHeader.biYPelsPerMeter = dotsPerMeter;
    QImage band(size.width(), std::min(kBandRows, size.height()), QImage::Format_RGB32);
    if (band.isNull()) {
        FreeDIB(out);
        return false;
    }
    setResolution(band, dpi);
    PageRenderer renderer(doc, settings, dpi, false,
                          exportPageWidth(doc, settings, dpi, pageWidthMm));
    ProgressReporter reporter(progress);
    for (int top = 0; top < size.height(); top += band.height()) {
        const int rows = std::min(band.height(), size.height() - top);
        band.fill(Qt::white);
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            const QRect part(0, top, size.width(), rows);
            painter.setClipRect(part);
            renderer.Drawpage(painter, part);
        }
        for (int y = 0; y < rows; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            std::uint8_t* dst = out.poi + std::int64_t(size.height() - 1 - (top + y)) * out.bytew;
            for (int x = 0; x < size.width(); ++x) {
                dst[3 * x] = std::uint8_t(qBlue(src[x]));
                dst[3 * x + 1] = std::uint8_t(qGreen(src[x]));
                dst[3 * x + 2] = std::uint8_t(qRed(src[x]));
            }
        }
        reporter.report(top + rows, size.height());
    }
    return true;
}

int printChart(QPagedPaintDevice& device, QPainter& painter, ChartDocument& doc,
               const PageSettings& settings, int dpi, QSize page) {
    PageRenderer whole(doc, settings, dpi, true, page.width());
    measure(painter, whole);
    const PageMetrics m = whole.metrics();
    const int gridRight = m.M + m.c * (doc.aspalten + 2) + m.lw;
    const bool gridFits = !settings.tessaplan || gridRight + m.M <= page.width();
    if (m.c <= 0 || (gridFits && whole.bottom() + m.M <= page.height())) {
        whole.Drawpage(painter);
        return 1;
    }

    int pages = 0;
    auto nextPage = [&] {
        if (pages++ > 0) {
            device.newPage();
        }
    };

    // The grid in bands of whole cells, the heading above the first.
    PageSettings gridOnly = settings;
    gridOnly.legende = false;
    gridOnly.text.clear();
    PageRenderer grid(doc, gridOnly, dpi, true, page.width());
    if (settings.tessaplan) {
        const int y0 = whole.gridTop();
        const int columnsPerPage = (page.width() - 2 * m.M - m.lw) / m.c;
        const int rowsPerPage = (page.height() - 2 * m.M - m.lw) / m.c;
        const int firstRows = (page.height() - m.M - m.lw - y0) / m.c;
        for (const auto& [r0, r1] : bands(doc.azeilen + 1, firstRows, rowsPerPage)) {
            for (const auto& [i0, i1] : bands(doc.aspalten + 2, columnsPerPage, columnsPerPage)) {
                nextPage();
                const int top = r0 == 0 ? 0 : y0 + m.c * r0;
                const QRect content(QPoint(m.M + m.c * i0, top),
                                    QPoint(m.M + m.c * i1 + m.lw - 1, y0 + m.c * r1 + m.lw - 1));
                drawPart(painter, grid, content, m.M, r0 == 0 ? 0 : m.M);
            }
        }
    }

    // Legend and text, broken between their lines.
    if (settings.legende || !settings.text.isEmpty()) {
        PageSettings flowOnly = settings;
        flowOnly.tessaplan = false;
        PageRenderer flow(doc, flowOnly, dpi, true, page.width());
        measure(painter, flow);
        const std::vector<int>& breaks = flow.flowBreaks();
        const int room = std::max(1, page.height() - 2 * m.M);
        int start = m.M;
        while (start < flow.bottom()) {
            int end = start + room;
            const auto fitting = std::upper_bound(breaks.begin(), breaks.end(), end);
            if (fitting != breaks.begin() && *std::prev(fitting) > start) {
                end = *std::prev(fitting);
            }
            nextPage();
            drawPart(painter, flow, QRect(0, start, page.width(), end - start), 0, m.M);
            start = end;
        }
    }
    return std::max(pages, 1);
}

} // namespace ChartOutput
