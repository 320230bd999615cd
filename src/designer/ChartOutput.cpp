#include "ChartOutput.h"

#include "ChartPrinter.h"
#include "InstructionSheets.h"
#include "Instructions.h"
#include "PageRenderer.h"
#include "Units.h"
#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace ChartOutput {

namespace {

// Rows of the picture rendered at a time: the only extra pixels an export holds.
constexpr int kBandRows = 256;
// Sides beyond this cannot be pictures.
constexpr std::int64_t kMaxSide = 1 << 30;

int dotsPerMeter(int dpi) {
    return int(std::lround(dpi / 0.0254));
}

// Text is measured on the device it is drawn on: images of the export's resolution.
void setResolution(QImage& image, int dpi) {
    image.setDotsPerMeterX(dotsPerMeter(dpi));
    image.setDotsPerMeterY(dotsPerMeter(dpi));
}

// A new 24-bit picture that records the resolution it is made for.
OwnedDib newPicture(QSize size, int dpi) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), size.width(), size.height(), 24, nullptr, 0);
    if (picture) {
        picture->pmi->bmiHeader.biXPelsPerMeter = dotsPerMeter(dpi);
        picture->pmi->bmiHeader.biYPelsPerMeter = dotsPerMeter(dpi);
    }
    return picture;
}

// Pixel memory of one band: the image it is painted on and the picture rows it becomes.
std::int64_t bandBytes(QSize size) {
    const std::int64_t rows = std::min(kBandRows, size.height());
    return (std::int64_t(size.width()) * 4 + grafikrw3::rowBytes(size.width(), 24)) * rows;
}

// Row `y` of a band as blue, green, red bytes: a row of a 24-bit picture.
void toPictureRow(const QImage& band, int y, std::uint8_t* row) {
    const auto* src = reinterpret_cast<const QRgb*>(band.constScanLine(y));
    const int width = band.width();
    for (int x = 0; x < width; ++x) {
        row[3 * x] = std::uint8_t(qBlue(src[x]));
        row[3 * x + 1] = std::uint8_t(qGreen(src[x]));
        row[3 * x + 2] = std::uint8_t(qRed(src[x]));
    }
}

// The bands of renderBands, for a picture of `size`.
bool renderBandsOf(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                   QSize size, bool bottomUp, const std::function<bool(const dib&, int)>& take) {
    OwnedDib band;
    return paintBands(doc, settings, dpi, pageWidthMm, size, bottomUp,
                      [&](const QImage& image, int top, int rows) {
                          if (!band ||
                              DIBHeight(band.get()) != rows) { // the last band may be shorter
                              band = newPicture(QSize(size.width(), rows), dpi);
                              if (!band) {
                                  return false;
                              }
                          }
                          for (int y = 0; y < rows; ++y) {
                              toPictureRow(image, y, grafikrw3::rowAt(band.get(), y));
                          }
                          return take(band.get(), top);
                      });
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
                      int code, std::uint64_t budgetBytes) {
    const std::int64_t limit =
        std::int64_t(std::min<std::uint64_t>(budgetBytes, grafikrw3::kMaxImageBytes));
    const bool banded = grafikrw3::BandWriter::writesInBands(code);
    auto planAt = [&](int atDpi) {
        ExportPlan plan;
        plan.size = exportSize(doc, settings, atDpi, pageWidthMm);
        const std::int64_t row = grafikrw3::rowBytes(plan.size.width(), 24);
        plan.bytes = row < 0 ? -1 : banded ? bandBytes(plan.size) : row * plan.size.height();
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

bool paintBands(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                QSize size, bool bottomUp,
                const std::function<bool(const QImage& band, int top, int rows)>& take) {
    QImage image(size.width(), std::min(kBandRows, size.height()), QImage::Format_RGB32);
    if (image.isNull()) {
        return false;
    }
    setResolution(image, dpi);
    PageRenderer renderer(doc, settings, dpi, false,
                          exportPageWidth(doc, settings, dpi, pageWidthMm));
    const int bands = (size.height() + kBandRows - 1) / kBandRows;
    for (int i = 0; i < bands; ++i) {
        const int top = (bottomUp ? bands - 1 - i : i) * kBandRows;
        const int rows = std::min(kBandRows, size.height() - top);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.translate(0, -top);
            const QRect part(0, top, size.width(), rows);
            painter.setClipRect(part);
            renderer.Drawpage(painter, part);
        }
        if (!take(image, top, rows)) {
            return false;
        }
    }
    return true;
}

bool renderBands(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                 bool bottomUp, const std::function<bool(const dib& band, int top)>& take) {
    return renderBandsOf(doc, settings, dpi, pageWidthMm,
                         exportSize(doc, settings, dpi, pageWidthMm), bottomUp, take);
}

bool renderPicture(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                   dib& out, const ProgressCallback& progress) {
    out = dib{};
    const QSize size = exportSize(doc, settings, dpi, pageWidthMm);
    OwnedDib picture = newPicture(size, dpi);
    if (!picture) {
        return false;
    }
    ProgressReporter reporter(progress);
    const bool rendered = paintBands(
        doc, settings, dpi, pageWidthMm, size, false, [&](const QImage& band, int top, int rows) {
            for (int y = 0; y < rows; ++y) {
                toPictureRow(band, y, grafikrw3::rowAt(picture.get(), top + y));
            }
            reporter.report(top + rows, size.height());
            return true;
        });
    if (!rendered) {
        return false;
    }
    out = picture.release();
    return true;
}

ExportResult exportPicture(ChartDocument& doc, const PageSettings& settings, int dpi,
                           double pageWidthMm, const QString& fileName, int code,
                           const ProgressCallback& progress) {
    if (!grafikrw3::BandWriter::writesInBands(code)) {
        dib picture;
        if (!renderPicture(doc, settings, dpi, pageWidthMm, picture, progress)) {
            return ExportResult::NoMemory;
        }
        const bool saved = grafikrw3::SaveDib(picture, fileName, code, progress) == 1;
        FreeDIB(picture);
        return saved ? ExportResult::Saved : ExportResult::NotWritten;
    }
    const QSize size = exportSize(doc, settings, dpi, pageWidthMm);
    // The file takes its width, depth and resolution from one row of the picture.
    const OwnedDib like = newPicture(QSize(size.width(), 1), dpi);
    if (!like) {
        return ExportResult::NoMemory;
    }
    bool noMemory = false;
    const SaveOutcome saved = grafikrw3::BandWriter::save(
        fileName, code, like.get(), size.height(),
        [&](grafikrw3::BandWriter& writer) {
            const bool rendered =
                renderBandsOf(doc, settings, dpi, pageWidthMm, size, writer.bottomUp(),
                              [&writer](const dib& band, int) { return writer.write(band); });
            noMemory = !rendered && writer.ok();
            return rendered;
        },
        progress);
    return saved == SaveOutcome::Saved ? ExportResult::Saved
           : noMemory                  ? ExportResult::NoMemory
                                       : ExportResult::NotWritten;
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
