#include "PageRenderer.h"

#include "Units.h"
#include "foundation/DrawDib.h"
#include "foundation/OwnedText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// Windows system colour indices a stored font colour may name.
constexpr std::uint32_t kSystemWindow = 5;
constexpr std::uint32_t kSystemHighlightText = 14;
constexpr std::uint32_t kSystemButtonHighlight = 20;

// Draws `text` with its top-left corner at (x, y).
void textOut(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

// Where textOut puts `text`: its advance wide and a line high.
QRect textRect(const QPainter& painter, int x, int y, const QString& text) {
    const QFontMetrics fm = painter.fontMetrics();
    return QRect(x, y, fm.horizontalAdvance(text), fm.height());
}

// Symbol size inside a box of `boxWidth` x `boxHeight` keeping the picture's proportions.
QSize symbolSize(const dib& picture, int boxWidth, int boxHeight) {
    const int pw = DIBWidth(picture);
    const int ph = DIBHeight(picture);
    if (pw <= 0 || ph <= 0) {
        return {};
    }
    int w = boxWidth;
    int h = int(std::int64_t(ph) * w / pw);
    if (h > boxHeight) {
        h = boxHeight;
        w = int(std::int64_t(pw) * h / ph);
    }
    return {w, h};
}

} // namespace

PageMetrics PageMetrics::forDpi(const PageSettings& s, int dpi) {
    PageMetrics m;
    m.c = millimetresToPixels(s.breitMm, dpi);
    m.L = millimetresToPixels(s.breitLegendeMm, dpi);
    m.M = millimetresToPixels(s.randMm, dpi);
    m.lw = millimetresToPixels(s.penWidMm, dpi);
    m.pw = int(std::nearbyint(s.penWidMm * dpi / double(kMillimetresPerInch)));
    // Half a millimetre on paper; on the screen never thinner than two pixels.
    constexpr double kRepeatFrameMm = 0.5;
    m.rw = std::max(2, int(std::nearbyint(kRepeatFrameMm * dpi / double(kMillimetresPerInch))));
    return m;
}

QFont deviceFont(const PageFont& font, int dpi) {
    QFont f = font.font;
    f.setPixelSize(std::max(1, font.pixelHeight(dpi)));
    return f;
}

QColor fontColor(const PageFont& font) {
    if ((font.color & 0xff000000u) == kSystemColorFlag) {
        switch (font.color & 0xffu) {
        case kSystemWindow:
        case kSystemHighlightText:
        case kSystemButtonHighlight:
            return Qt::white;
        default:
            return Qt::black; // window text and the other text colours
        }
    }
    return QColor(int(font.color & 0xff), int((font.color >> 8) & 0xff),
                  int((font.color >> 16) & 0xff));
}

std::uint32_t fontColorValue(const QColor& color) {
    return std::uint32_t(color.red()) | std::uint32_t(color.green()) << 8 |
           std::uint32_t(color.blue()) << 16;
}

std::vector<const TFeld*> legendCells(ChartDocument& doc) {
    std::vector<const TFeld*> cells;
    for (const ChartDocument::LegendEntry& e : doc.legendEntries()) {
        cells.push_back(&doc.cellAt(e.row, e.column));
    }
    return cells;
}

PageRenderer::PageRenderer(ChartDocument& doc, const PageSettings& settings, int dpi, bool printit,
                           int pageWidth)
    : doc_(doc), settings_(settings), dpi_(dpi), printit_(printit), pageWidth_(pageWidth),
      m_(PageMetrics::forDpi(settings, dpi)) {}

bool PageRenderer::isMarked(int row, int column) const {
    return (doc_.selectcol && column == doc_.colnr) || (doc_.selectrow && row == doc_.rownr);
}

void PageRenderer::useFont(QPainter& painter, const QFont& font, const QColor& color) {
    painter.setFont(font);
    painter.setPen(color);
}

int PageRenderer::spaceHeight(QPainter& painter) const {
    return painter.fontMetrics().height();
}

void PageRenderer::setFramePen(QPainter& painter, const QColor& color) {
    QPen pen(color);
    pen.setWidth(m_.pw);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
}

void PageRenderer::Drawpage(QPainter& painter, const QRect& exposed) {
    exposed_ = exposed;
    ownSymbols_.clear();
    flowBreaks_.clear();
    content_ = QRect();
    doc_.cellwh = m_.c;
    int y = m_.M;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Pictures reach paper and PDF files as they are, not as JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.setBackgroundMode(Qt::TransparentMode);
    if (!printit_) {
        painter.fillRect(exposed.isEmpty() ? painter.viewport() : exposed, Qt::white);
    }

    const QFont numbers = deviceFont(settings_.numberFont, dpi_);
    const QFont legend = deviceFont(settings_.textFont, dpi_);
    if (settings_.tessaplan && !settings_.caption.isEmpty()) {
        useFont(painter, deviceFont(settings_.captionFont, dpi_), fontColor(settings_.captionFont));
        textOut(painter, m_.M, y, settings_.caption);
        content_ |= textRect(painter, m_.M, y, settings_.caption);
        y += 2 * spaceHeight(painter);
    }
    y0_ = y;
    recordCells();
    legend_ = settings_.legende ? legendCells(doc_) : std::vector<const TFeld*>{};
    if (settings_.tessaplan) {

        // Rows and columns that can show in the exposed part; wide symbols reach to the right,
        // so cells up to ten columns further left count too.
        int firstRow = 1, lastRow = doc_.azeilen, firstColumn = 1, lastColumn = doc_.aspalten;
        if (!exposed.isEmpty() && m_.c > 0) {
            firstRow = std::max(1, (exposed.top() - y0_) / m_.c - 1);
            lastRow = std::min(doc_.azeilen, (exposed.bottom() - y0_) / m_.c + 1);
            firstColumn = std::max(1, (exposed.left() - m_.M) / m_.c - 1 - kMaxStitchCells);
            lastColumn = std::min(doc_.aspalten, (exposed.right() - m_.M) / m_.c + 1);
        }
        drawHeaderBoxes(painter, firstRow, lastRow, firstColumn, lastColumn);
        useFont(painter, numbers, fontColor(settings_.numberFont));
        drawNumbers(painter, firstRow, lastRow, firstColumn, lastColumn);
        drawCells(painter, firstRow, lastRow, firstColumn, lastColumn, false);
        drawGridLines(painter);
        drawCells(painter, firstRow, lastRow, firstColumn, lastColumn, true);
        drawRepeatFrame(painter);
        content_ |=
            QRect(m_.M, y0_, m_.c * (doc_.aspalten + 2) + m_.lw, m_.c * (doc_.azeilen + 1) + m_.lw);
        y = y0_ + m_.c * (doc_.azeilen + 2);
    }
    flowBreaks_.push_back(y);
    if (settings_.legende) {
        QFont bold = legend;
        bold.setBold(true);
        useFont(painter, bold, fontColor(settings_.textFont));
        textOut(painter, m_.M, y, QStringLiteral("Legende:"));
        content_ |= textRect(painter, m_.M, y, QStringLiteral("Legende:"));
        y += 2 * spaceHeight(painter);
        useFont(painter, legend, fontColor(settings_.textFont));
        y = drawLegend(painter, y);
    }
    y += 2 * spaceHeight(painter);
    flowBreaks_.push_back(y);

    useFont(painter, legend, fontColor(settings_.textFont));
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const QRect area(m_.M, y, std::max(0, pageWidth_ - 2 * m_.M), 1 << 24);
    const QRect measured = painter.fontMetrics().boundingRect(area, flags, settings_.text);
    if (!settings_.text.isEmpty()) {
        painter.drawText(measured, flags, settings_.text);
        content_ |= measured;
    }
    bottom_ = y + measured.height();
    const int lineSpacing = std::max(1, painter.fontMetrics().lineSpacing());
    for (int line = y + lineSpacing; line < bottom_; line += lineSpacing) {
        flowBreaks_.push_back(line);
    }
    flowBreaks_.push_back(bottom_);
    painter.restore();
}

void PageRenderer::recordCells() {
    if (!settings_.tessaplan) {
        return;
    }
    const ChartDocument::CellGrid grid{true, m_.c, m_.lw, m_.M, y0_};
    if (doc_.cellGrid == grid) {
        return; // every cell holds its rectangle already; a large chart need not be visited
    }
    const int c = m_.c;
    const int lw = m_.lw;
    int k = 0;
    for (TZeile row : doc_.zeilen) {
        ++k;
        int j = 0;
        for (TFeld& cell : *row) {
            cell.feldrect = CellRect{m_.M + c * (j + 1) + lw, y0_ + c * k + lw,
                                     m_.M + c * (j + 2) - lw + 1, y0_ + c * (k + 1) - lw + 1};
            ++j;
        }
    }
    doc_.cellGrid = grid;
}

void PageRenderer::drawHeaderBoxes(QPainter& painter, int firstRow, int lastRow, int firstColumn,
                                   int lastColumn) {
    const int c = m_.c;
    const int lw = m_.lw;
    auto rowColor = [](int t, int h) {
        return QColor((h - t) * 247 / h + t * 212 / h, (h - t) * 250 / h + t * 226 / h,
                      (h - t) * 255 / h + t * 239 / h);
    };
    // Every box has the same size. One box is made and copied, which gives the same pixels as
    // filling each box row by row; a PDF file holds it once.
    if (headerBox_.isNull() && c - lw > 0) {
        headerBox_ = QImage(c - lw, c - lw, QImage::Format_RGB32);
        for (int t = 0; t < headerBox_.height(); ++t) {
            std::fill_n(reinterpret_cast<QRgb*>(headerBox_.scanLine(t)), headerBox_.width(),
                        rowColor(t, headerBox_.height()).rgb());
        }
    }
    // Box from (x1, y1) to (x2, y2), corners included, filled row by row.
    auto box = [&](int x1, int y1, int x2, int y2) {
        const int h = y2 - y1 + 1;
        if (h <= 0 || x2 < x1 ||
            (!exposed_.isEmpty() && !exposed_.intersects(QRect(x1, y1, x2 - x1 + 1, h)))) {
            return;
        }
        if (!headerBox_.isNull() && headerBox_.size() == QSize(x2 - x1 + 1, h)) {
            painter.drawImage(QPoint(x1, y1), headerBox_);
            return;
        }
        for (int t = 0; t < h; ++t) {
            painter.fillRect(x1, y1 + t, x2 - x1 + 1, 1, rowColor(t, h));
        }
    };
    const int columns = doc_.aspalten;
    for (int i : {0, columns + 1}) {
        box(m_.M + c * i + lw, y0_ + lw, m_.M + c * (i + 1) - 1, y0_ + c - 1);
    }
    for (int i = std::max(1, firstColumn - 1); i <= std::min(columns, lastColumn + 1); ++i) {
        box(m_.M + c * i + lw, y0_ + lw, m_.M + c * (i + 1) - 1, y0_ + c - 1);
    }
    for (int r = std::max(0, firstRow - 1); r <= std::min(doc_.azeilen, lastRow + 1); ++r) {
        const int top = y0_ + c * r + lw;
        const int bottom = y0_ + c * r + c - 1;
        box(m_.M + lw, top, m_.M + c - 1, bottom);
        box(m_.M + c * (columns + 1) + lw, top, m_.M + c * (columns + 2) - 1, bottom);
    }
}

void PageRenderer::drawNumbers(QPainter& painter, int firstRow, int lastRow, int firstColumn,
                               int lastColumn) {
    const int c = m_.c;
    const QFontMetrics fm = painter.fontMetrics();
    const int columns = doc_.aspalten;
    for (int j = std::max(1, firstColumn); j <= lastColumn; ++j) {
        const QString number = QString::number(columns - j + 1);
        textOut(painter, m_.M + c * j + (c - fm.horizontalAdvance(number)) / 2,
                y0_ + (c - fm.height()) / 2, number);
    }
    for (int k = std::max(1, firstRow); k <= lastRow; ++k) {
        const RowNumber row = rowNumber(k);
        const QString number = QString::number(row.number);
        const int inner = (c - fm.horizontalAdvance(number)) / 2;
        const int x = row.right ? m_.M + c * (columns + 1) + inner : m_.M + inner;
        textOut(painter, x, y0_ + c * k + (c - fm.height()) / 2, number);
    }
}

PageRenderer::RowNumber PageRenderer::rowNumber(int k) const {
    // The bottom row carries the first row number; without wrong-side rows every row counts two.
    const int step = settings_.dontShowLinks ? 2 : 1;
    const bool left = k % 2 == 1 && !settings_.alleRechts && !settings_.dontShowLinks;
    return {settings_.firstRow + step * (doc_.azeilen - k), !left};
}

void PageRenderer::drawCells(QPainter& painter, int firstRow, int lastRow, int firstColumn,
                             int lastColumn, bool markedOnly) {
    for (int k = firstRow; k <= lastRow; ++k) {
        TDynaArrayOf<TFeld>& row = *doc_.zeilen[std::uint32_t(k - 1)];
        const int last = std::min(lastColumn, int(row.count));
        if (markedOnly) {
            for (int column = firstColumn; column <= last; ++column) {
                if (isMarked(k, column)) {
                    drawCell(painter, row[std::uint32_t(column - 1)], true);
                }
            }
        } else {
            // Right to left, so that a wide symbol covers the cells to its right.
            for (int column = last; column >= firstColumn; --column) {
                drawCell(painter, row[std::uint32_t(column - 1)], isMarked(k, column));
            }
        }
    }
}

void PageRenderer::drawCell(QPainter& painter, TFeld& cell, bool marked) {
    const CellRect& r = cell.feldrect;
    if (marked) {
        painter.fillRect(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)),
                         pageColors::kMarked);
        setFramePen(painter, pageColors::kMarkedFrame);
        painter.setBrush(Qt::NoBrush);
        // The outline of (left - 1, top - 1) to (right + 1, bottom + 1), right and bottom
        // exclusive: it lies on the grid lines around the cell.
        painter.drawRect(QRect(QPoint(r.left - 1, r.top - 1), QPoint(r.right - 1, r.bottom - 1)));
    }
    if (!cell.belegt) {
        return;
    }
    if (cell.breite == 0) {
        cell.breite = 1;
    }
    const int c = m_.c;
    const int lw = m_.lw;
    const dib& picture = cell.stich->di;
    const QSize size = symbolSize(picture, c * cell.breite - lw, c - lw);
    if (size.isEmpty()) {
        return;
    }
    const int x = r.left + (c * cell.breite - lw - size.width()) / 2;
    const int y = r.top + (c - lw - size.height()) / 2;
    if (!exposed_.isEmpty() && !exposed_.intersects(QRect(x, y, size.width(), size.height()))) {
        return;
    }
    symbols_->draw(painter, x, y, size.width(), size.height(), picture);
}

void PageRenderer::drawGridLines(QPainter& painter) {
    const int c = m_.c;
    const int lw = m_.lw;
    if (lw <= 0) {
        return;
    }
    const int columns = doc_.aspalten;
    const int rows = doc_.azeilen;
    const int gridBottom = y0_ + c * (rows + 1) + lw;
    const int gridRight = m_.M + c * (columns + 2) + lw;
    // Only the lines that meet the exposed part, and only that part of them: a repaint of a
    // few cells costs the same in a chart of any size.
    int firstColumn = 0, lastColumn = columns + 2, firstRow = 0, lastRow = rows + 1;
    if (!exposed_.isEmpty() && c > 0) {
        firstColumn = std::max(0, (exposed_.left() - m_.M) / c - 1);
        lastColumn = std::min(columns + 2, (exposed_.right() - m_.M) / c + 1);
        firstRow = std::max(0, (exposed_.top() - y0_) / c - 1);
        lastRow = std::min(rows + 1, (exposed_.bottom() - y0_) / c + 1);
    }
    auto fill = [&](int x, int y, int w, int h, const QColor& color) {
        const QRect line(x, y, w, h);
        painter.fillRect(exposed_.isEmpty() ? line : line.intersected(exposed_), color);
    };
    auto frameColumn = [&](int i) { return i <= 1 || i >= columns + 1; };
    for (int i = firstColumn; i <= lastColumn; ++i) {
        const int x = m_.M + c * i;
        if (!exposed_.isEmpty() && (x + lw <= exposed_.left() || x > exposed_.right())) {
            continue;
        }
        fill(x, y0_, lw, gridBottom - y0_, frameColumn(i) ? pageColors::kFrame : pageColors::kGrid);
        fill(x, y0_, lw, c, pageColors::kFrame);
    }
    for (int r = firstRow; r <= lastRow; ++r) {
        const int y = y0_ + c * r;
        if (!exposed_.isEmpty() && (y + lw <= exposed_.top() || y > exposed_.bottom())) {
            continue;
        }
        fill(m_.M, y, gridRight - m_.M, lw, r <= 1 ? pageColors::kFrame : pageColors::kGrid);
        fill(m_.M, y, c + lw, lw, pageColors::kFrame);
        fill(m_.M + c * (columns + 1), y, c + lw, lw, pageColors::kFrame);
    }
}

void PageRenderer::fillFrame(QPainter& painter, const QRect& outer, int width,
                             const QColor& color) {
    width = std::min({width, (outer.width() + 1) / 2, (outer.height() + 1) / 2});
    if (width <= 0) {
        return;
    }
    const QRect sides[] = {
        QRect(outer.left(), outer.top(), outer.width(), width),
        QRect(outer.left(), outer.bottom() - width + 1, outer.width(), width),
        QRect(outer.left(), outer.top() + width, width, outer.height() - 2 * width),
        QRect(outer.right() - width + 1, outer.top() + width, width, outer.height() - 2 * width),
    };
    for (const QRect& side : sides) {
        const QRect part = exposed_.isEmpty() ? side : side.intersected(exposed_);
        if (!part.isEmpty()) {
            painter.fillRect(part, color);
        }
    }
}

void PageRenderer::drawRepeatFrame(QPainter& painter) {
    const CellBlock r = doc_.repeat.clippedTo(doc_.azeilen, doc_.aspalten);
    if (r.isEmpty()) {
        return;
    }
    // From the outer side of the grid lines around the cells inwards; filled rectangles, so
    // that every part of the page gets exactly its pixels of the frame.
    const std::int64_t c = m_.c;
    const QPoint topLeft(int(m_.M + c * (r.left + 1)), int(y0_ + c * (r.top + 1)));
    const QPoint bottomRight(int(m_.M + c * (r.right() + 2) + m_.lw - 1),
                             int(y0_ + c * (r.bottom() + 2) + m_.lw - 1));
    fillFrame(painter, QRect(topLeft, bottomRight), m_.rw, pageColors::kRepeatFrame);
}

QString PageRenderer::repeatText() const {
    const CellBlock r = doc_.repeat.clippedTo(doc_.azeilen, doc_.aspalten);
    if (r.isEmpty()) {
        return {};
    }
    auto span = [](const char* one, const char* many, int first, int last) {
        return first == last
                   ? QStringLiteral("%1 %2").arg(QLatin1String(one)).arg(first)
                   : QStringLiteral("%1 %2–%3").arg(QLatin1String(many)).arg(first).arg(last);
    };
    const int firstRow = rowNumber(r.bottom() + 1).number;
    const int lastRow = rowNumber(r.top + 1).number;
    return QStringLiteral("Rapport: ") +
           span("Masche", "Maschen", doc_.aspalten - r.right(), doc_.aspalten - r.left) +
           QStringLiteral(", ") + span("Reihe", "Reihen", firstRow, lastRow);
}

int PageRenderer::drawLegend(QPainter& painter, int y) {
    for (const TFeld* cell : legend_) {
        const SharedStitch& s = *cell->stich;
        QString text = ownedTextToString(s.bezeichnung);
        if (settings_.inst) {
            if (ownedTextLength(s.hinreihe) > 0) {
                text += QStringLiteral(" Hinreihe: ") + ownedTextToString(s.hinreihe);
            }
            if (ownedTextLength(s.rueckreihe) > 0) {
                text += QStringLiteral(" Rückreihe: ") + ownedTextToString(s.rueckreihe);
            }
        }
        y = drawLegendLine(painter, y, {std::max(cell->breite, 1), &s.di, text});
    }
    const QString repeat = repeatText();
    if (!repeat.isEmpty()) {
        y = drawLegendLine(painter, y, {1, nullptr, repeat, true});
    }
    return y;
}

int PageRenderer::drawLegendLine(QPainter& painter, int y, const LegendLine& line) {
    const int L = m_.L;
    const int lw = m_.lw;
    const QRect box(QPoint(m_.M, y), QPoint(m_.M + line.cells * L, y + L));
    const QSize size =
        line.symbol ? symbolSize(*line.symbol, line.cells * L - lw, L - lw) : QSize();
    // The text stands a legend cell beside the box, as beside a symbol that fills it (a symbol
    // narrower than a wide box must not let it start inside), and wraps within the page's
    // text width, inside a word only when the word alone is wider; continuation lines start
    // under its first letter. A page too narrow for the text beside the box still gets ten
    // characters a line.
    const int left = m_.M + std::max(size.width(), line.cells * L - lw) + L;
    const QFontMetrics fm = painter.fontMetrics();
    const int width = std::max(pageWidth_ - m_.M - left, 10 * fm.averageCharWidth());
    QTextLayout layout(line.text, painter.font(), painter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    int textWidth = 0;
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(width);
        row.setPosition(QPointF(0, lines++ * fm.lineSpacing()));
        textWidth = std::max(textWidth, int(std::ceil(row.naturalTextWidth())));
    }
    layout.endLayout();
    // The last line is a font high, as a single line of text is everywhere on the page.
    const int height = std::max(1, lines) * fm.lineSpacing() - fm.leading();
    const QRect textArea(left, y, textWidth, height);
    content_ |= box | textArea;
    if (exposed_.isEmpty() || exposed_.intersects(box | textArea)) {
        painter.fillRect(box, Qt::white);
        QPen outline(pageColors::kLegendOutline);
        outline.setWidth(lw);
        painter.setPen(outline);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        if (!size.isEmpty()) {
            symbols_->draw(painter, m_.M + 1, y + 1, size.width(), size.height(), *line.symbol);
        }
        if (line.repeatFrame) {
            fillFrame(painter, box.adjusted(1, 1, -1, -1), m_.rw, pageColors::kRepeatFrame);
        }
        painter.setPen(fontColor(settings_.textFont));
        layout.draw(&painter, QPointF(left, y));
    }
    y += 2 * lw + std::max(L, height);
    flowBreaks_.push_back(y);
    return y;
}
