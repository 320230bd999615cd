#pragma once

#include "designer/ChartDocument.h"
#include "designer/PageSettings.h"
#include "foundation/DrawDib.h"

#include <QColor>
#include <QFont>
#include <QRect>

#include <vector>

class QPaintDevice;
class QPainter;

// Device sizes of the page, from the millimetre settings and the device's resolution.
struct PageMetrics {
    int c = 0;  // cell side
    int L = 0;  // legend cell side
    int M = 0;  // margin: left edge of everything and first top position
    int lw = 0; // thickness of grid lines, inset of cell contents
    int pw = 0; // width of the frame pen
    int rw = 0; // width of the repeat's frame: 0.5 mm, at least 2 pixels

    static PageMetrics forDpi(const PageSettings& settings, int dpi);
};

// The page colours.
namespace pageColors {
inline const QColor kHeaderTop{247, 250, 255};
inline const QColor kHeaderBottom{212, 226, 239};
inline const QColor kFrame{154, 185, 215};
inline const QColor kGrid{128, 128, 128};
inline const QColor kMarked{93, 123, 153};
inline const QColor kMarkedFrame{255, 0, 0};
inline const QColor kLegendOutline{128, 128, 128};
inline const QColor kRepeatFrame{255, 0, 0};
} // namespace pageColors

// A page font at the character height it has on a device of `dpi`, and its colour.
QFont deviceFont(const PageFont& font, int dpi);
QColor fontColor(const PageFont& font);
// The value a font stores for `color`: red + 256 × green + 65536 × blue.
std::uint32_t fontColorValue(const QColor& color);

// The cells of the chart whose stitches make up the legend, in reading order: a cell is left
// out when an earlier one holds a stitch with the same texts and the same picture (the width
// in cells does not count).
std::vector<const TFeld*> legendCells(ChartDocument& doc);

// Renders the chart page: heading, header boxes, column and row numbers, the cells with their
// symbols and the marked row or column, grid lines, legend and the text under the chart.
// Rendering records every cell's rectangle (`feldrect`) and the cell side (`cellwh`) in the
// document, whatever part of the page is painted.
class PageRenderer {
public:
    // `dpi` is the device's horizontal resolution, `pageWidth` the page width in its pixels;
    // `printit` is set for printer pages (nothing white is painted under them).
    PageRenderer(ChartDocument& doc, const PageSettings& settings, int dpi, bool printit,
                 int pageWidth);

    // Paints the page; only what meets `exposed` is drawn when it is not empty (the screen
    // repaints just the visible part of a large chart).
    void Drawpage(QPainter& painter, const QRect& exposed = {});

    // Keeps the images of the symbols in `cache`, shared with other renderers of the same
    // chart, instead of making them again for every paint: a printout then draws each symbol
    // picture from one image on all its sheets. Neither the chart nor `cache` may change
    // meanwhile, and `cache` must outlive the renderer's paints.
    void shareSymbols(DrawDibCache& cache) { symbols_ = &cache; }

    const PageMetrics& metrics() const { return m_; }

    // The number chart row k (1-based from the top) carries, and the side it stands on.
    struct RowNumber {
        int number;
        bool right;
    };
    RowNumber rowNumber(int k) const;
    // The legend's line for the repeat, in the page's numbering: "Rapport: Maschen a–b,
    // Reihen c–d" (stitches counted from the right, rows from the bottom); empty without one.
    QString repeatText() const;
    // Top of the grid (the column-number row), known after Drawpage.
    int gridTop() const { return y0_; }
    // Vertical position after the text under the chart, known after Drawpage.
    int bottom() const { return bottom_; }
    // What the page shows (heading, grid, legend lines and their texts, the text under the
    // chart), however long its texts are, known after Drawpage; empty for an empty page.
    const QRect& contentRect() const { return content_; }
    // Where a page may end below the grid without cutting through the legend heading, a
    // legend line or a line of the text, known after Drawpage; ascending.
    const std::vector<int>& flowBreaks() const { return flowBreaks_; }

private:
    void drawHeaderBoxes(QPainter& painter, int firstRow, int lastRow, int firstColumn,
                         int lastColumn);
    void drawNumbers(QPainter& painter, int firstRow, int lastRow, int firstColumn, int lastColumn);
    // Records every cell's rectangle unless the cells hold this page's already.
    void recordCells();
    void drawCells(QPainter& painter, int firstRow, int lastRow, int firstColumn, int lastColumn,
                   bool markedOnly);
    void drawCell(QPainter& painter, TFeld& cell, bool marked);
    void drawGridLines(QPainter& painter);
    // The repeat's red frame, on the grid lines around its cells and reaching inwards.
    void drawRepeatFrame(QPainter& painter);
    // A frame `width` wide inside `outer`, drawn only where it meets the exposed part.
    void fillFrame(QPainter& painter, const QRect& outer, int width, const QColor& color);
    // The legend's lines below each other from `y`; returns the position below the last.
    int drawLegend(QPainter& painter, int y);
    // One line of the legend: a box `cells` legend cells wide with the symbol in it, when there
    // is one, and the text beside it.
    struct LegendLine {
        int cells;
        const dib* symbol;
        QString text;
        bool repeatFrame = false; // the box shows the repeat's frame instead of a symbol
    };
    int drawLegendLine(QPainter& painter, int y, const LegendLine& line);
    void useFont(QPainter& painter, const QFont& font, const QColor& color);
    int spaceHeight(QPainter& painter) const;
    bool isMarked(int row, int column) const;
    void setFramePen(QPainter& painter, const QColor& color);

    ChartDocument& doc_;
    const PageSettings& settings_;
    int dpi_;
    bool printit_;
    int pageWidth_;
    PageMetrics m_;
    int y0_ = 0;
    int bottom_ = 0;
    QRect content_;
    QRect exposed_;
    // The symbols at their drawn sizes, made once per paint unless shared; one header box.
    DrawDibCache ownSymbols_;
    DrawDibCache* symbols_ = &ownSymbols_;
    QImage headerBox_;
    std::vector<const TFeld*> legend_;
    std::vector<int> flowBreaks_;
};
