#include "ChartOutput.h"

#include "ChartPrinter.h"
#include "InstructionSheets.h"
#include "Instructions.h"
#include "PageRenderer.h"
#include "Units.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

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

// Lays the page out without drawing anything, for its measures.
void measure(QPainter& painter, PageRenderer& renderer) {
    painter.save();
    painter.setClipRect(QRect(0, 0, 0, 0));
    renderer.Drawpage(painter, QRect(-2, -2, 1, 1));
    painter.restore();
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
               const PageSettings& settings, int dpi, QSize page, bool withInstructions) {
    ChartPrinter printer(painter, doc, settings, dpi, page);
    for (int sheet = 0; sheet < printer.sheetCount(); ++sheet) {
        if (sheet > 0) {
            device.newPage();
        }
        printer.drawSheet(painter, sheet);
    }
    if (!withInstructions) {
        return printer.sheetCount();
    }
    const InstructionSheets instructions(
        painter, instructions::lines(doc, instructions::Options::of(settings)), settings, dpi,
        page);
    for (int sheet = 0; sheet < instructions.sheetCount(); ++sheet) {
        device.newPage();
        instructions.drawSheet(painter, sheet);
    }
    return printer.sheetCount() + instructions.sheetCount();
}

bool writePdf(ChartDocument& doc, const PageSettings& settings, const QString& fileName,
              const QString& title, bool withInstructions) {
    constexpr int kResolution = 1200;
    QPdfWriter writer(fileName);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Tessaplan-Designer"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    const QRect page = writer.pageLayout().paintRectPixels(kResolution);
    printChart(writer, painter, doc, settings, kResolution, page.size(), withInstructions);
    return painter.end();
}

} // namespace ChartOutput
