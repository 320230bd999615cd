#pragma once

#include "designer/PageSettings.h"

#include <QColor>
#include <QSize>
#include <QStringList>
#include <QTextLayout>

#include <memory>
#include <vector>

class QPainter;

// The written instructions on sheets of paper, as pages after the chart: the heading
// "Anleitung" (with the chart's heading) and one paragraph per line, in the legend's font,
// wrapped within the page margin on every side; a row's continuation lines stand under its
// text, beside "Reihe n (...):". A paragraph moves to the next sheet rather than being split,
// unless it is longer than a whole sheet.
class InstructionSheets {
public:
    // `painter` is open on the device the sheets are for (its fonts measure the texts); a
    // sheet's printable area is `sheet` pixels at `dpi`.
    InstructionSheets(QPainter& painter, const QStringList& lines, const PageSettings& settings,
                      int dpi, QSize sheet);
    ~InstructionSheets();

    int sheetCount() const { return sheets_; }
    // Draws sheet `index` (0-based) from its top-left corner.
    void drawSheet(QPainter& painter, int index) const;

private:
    // A line of text laid out: line `line` of paragraph `paragraph`, its top at `y` on sheet
    // `sheet`.
    struct Placed {
        int sheet;
        std::size_t paragraph;
        int line;
        int y;
    };

    std::vector<std::unique_ptr<QTextLayout>> paragraphs_;
    std::vector<Placed> placed_;
    int sheets_ = 0;
    int margin_ = 0;
    QColor color_;
};
