#include "ColourworkStitches.h"

#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

namespace colourwork {

bool makeColourStitch(TStich& out, int number, grafikrw3::Rgb colour) {
    const QString name = QStringLiteral("Farbe %1").arg(number);
    out.bezeichnung = ownedTextFromString(name);
    out.abkuerzung = ownedTextFromString(QStringLiteral("F%1").arg(number));
    out.hinreihe = ownedTextFromString(name);
    out.rueckreihe = ownedTextFromString(name);
    out.breite = 1;
    grafikrw3::newdib(&out.di, kSwatchSide, kSwatchSide, 24, nullptr, 0);
    if (!out.bezeichnung || !out.abkuerzung || !out.hinreihe || !out.rueckreihe || !out.di.poi) {
        releaseStitch(out);
        return false;
    }
    for (std::int32_t y = 0; y < kSwatchSide; ++y) {
        std::uint8_t* row = grafikrw3::rowAt(out.di, y);
        for (std::int32_t x = 0; x < kSwatchSide; ++x, row += 3) {
            row[0] = colour.blue;
            row[1] = colour.green;
            row[2] = colour.red;
        }
    }
    return true;
}

ColourStitches::~ColourStitches() {
    for (TStich& s : stitches_) {
        releaseStitch(s);
    }
}

bool ColourStitches::make(const Chart& chart) {
    stitches_.reserve(chart.colours.size());
    for (std::size_t k = 0; k < chart.colours.size(); ++k) {
        TStich stitch;
        if (!makeColourStitch(stitch, int(k) + 1, chart.colours[k])) {
            return false;
        }
        stitches_.push_back(stitch);
    }
    return true;
}

BuildStatus buildColourworkChart(ChartDocument& doc, const Chart& chart,
                                 std::uint64_t memoryBudget) {
    if (chart.rows < 1 || chart.columns < 1 || chart.colours.empty()) {
        return BuildStatus::NoChart;
    }
    ColourStitches stitches;
    if (!stitches.make(chart)) {
        return BuildStatus::NoMemory;
    }
    // Planned before the old chart goes, so that a chart too large for the machine leaves it.
    std::uint64_t needed = ChartDocument::gridBytes(chart.rows, chart.columns);
    // Cells of one colour share its picture, so each colour costs its picture once.
    for (std::size_t k = 0; k < stitches.size(); ++k) {
        needed += ChartDocument::placedStitchBytes(stitches[k]);
    }
    if (needed > memoryBudget) {
        return BuildStatus::NoMemory;
    }
    // No fill: the cells receive their colours below, each by the same placement.
    if (!doc.buildChart(chart.rows, chart.columns, -1, memoryBudget)) {
        return BuildStatus::NoMemory;
    }
    for (std::int32_t r = 0; r < chart.rows; ++r) {
        for (std::int32_t c = 0; c < chart.columns; ++c) {
            if (!doc.placeStitch(doc.cellAt(r, c), stitches[chart.at(r, c)])) {
                doc.cellsChanged();
                doc.history.clear();
                return BuildStatus::Incomplete;
            }
        }
    }
    doc.cellsChanged();
    // The cells were placed one by one behind the commands: the history starts here.
    doc.history.clear();
    return BuildStatus::Done;
}

} // namespace colourwork
