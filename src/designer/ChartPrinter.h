#pragma once

#include "designer/ChartDocument.h"
#include "designer/PageRenderer.h"
#include "designer/PageSettings.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

class QPainter;

// Lays the chart page out on sheets of paper. A page that fits goes on one sheet. A larger
// chart is split at cell boundaries into bands of columns and of rows, the fewest that fit
// and as even as they can be; every sheet of the grid shows its part of the grid with the
// column numbers above it and the row-number columns on both sides, so that it can be read
// alone. The heading stands above the grid on the first sheet. The legend and the text follow
// on sheets of their own, broken between their lines.
class ChartPrinter {
public:
    // `painter` is open on the device the sheets are for (its fonts measure the texts); a
    // sheet's printable area is `sheet` pixels at `dpi`.
    ChartPrinter(QPainter& painter, ChartDocument& doc, const PageSettings& settings, int dpi,
                 QSize sheet);

    int sheetCount() const { return int(sheets_.size()); }
    // Draws sheet `index` (0-based) from its top-left corner.
    void drawSheet(QPainter& painter, int index);

    // A run of chart columns or rows, 0-based, `end` exclusive.
    struct Band {
        int begin;
        int end;
    };
    // How the grid is split; empty when it is not.
    const std::vector<Band>& columnBands() const { return columnBands_; }
    const std::vector<Band>& rowBands() const { return rowBands_; }

    // Splits `count` into the fewest bands of at most `room` each, the first of at most
    // `firstRoom`, as even as that allows.
    static std::vector<Band> balancedBands(int count, int firstRoom, int room);

private:
    enum class Source { Whole, Grid, Flow };
    // What lies in `content` (page pixels) of `source`, drawn at `at` on the sheet.
    struct Part {
        Source source;
        QRect content;
        QPoint at;
    };
    using Sheet = std::vector<Part>;

    void layOutGrid();
    void layOutFlow(QPainter& painter);
    PageRenderer& renderer(Source source);

    // The symbols' images, made once for every sheet: a PDF file then holds each picture once.
    DrawDibCache symbols_;
    PageSettings wholeSettings_;
    PageSettings gridSettings_;
    PageSettings flowSettings_;
    PageRenderer whole_;
    PageRenderer grid_;
    PageRenderer flow_;
    ChartDocument& doc_;
    QSize sheet_;
    std::vector<Sheet> sheets_;
    std::vector<Band> columnBands_;
    std::vector<Band> rowBands_;
};
