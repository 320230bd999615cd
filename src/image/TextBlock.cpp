#include "TextBlock.h"

#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

// Text is measured and drawn for a picture of 96 dots per inch, whatever the screen.
constexpr int kDotsPerMeter = 3780;

QFont unsmoothed(QFont font) {
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage canvas(int width, int height) {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
}

} // namespace

QSize textBlockSize(const TextBlock& text) {
    const QImage probe = canvas(1, 1);
    const QFontMetrics metrics(unsmoothed(text.font), &probe);
    int width = 0;
    for (const QString& line : text.lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    return {width, int(text.lines.size()) * metrics.height()};
}

OwnedDib renderTextMask(const TextBlock& text) {
    const QSize size = textBlockSize(text);
    OwnedDib mask;
    if (size.isEmpty()) {
        return mask;
    }
    QImage image = canvas(size.width(), size.height());
    if (image.isNull()) {
        return mask;
    }
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        const QFont font = unsmoothed(text.font);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        const QFontMetrics metrics(font, &image);
        int y = 0;
        for (const QString& line : text.lines) {
            const int free = size.width() - metrics.horizontalAdvance(line);
            const int x = text.alignment == TextBlock::Alignment::Right    ? free
                          : text.alignment == TextBlock::Alignment::Centre ? free / 2
                                                                           : 0;
            painter.drawText(x, y + metrics.ascent(), line);
            y += metrics.height();
        }
    }
    grafikrw3::newdib(&mask.get(), size.width(), size.height(), 1, nullptr, 0);
    if (!mask) {
        return mask;
    }
    for (int y = 0; y < size.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* to = grafikrw3::rowAt(mask.get(), y);
        for (int x = 0; x < size.width(); ++x) {
            if (qGreen(from[x]) >= 128) {
                grafikrw3::putIndex(to, 1, x, 1);
            }
        }
    }
    return mask;
}
