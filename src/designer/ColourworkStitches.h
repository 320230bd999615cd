#pragma once

#include "designer/ChartDocument.h"
#include "designer/ColourworkFromPicture.h"
#include "designer/TStich.h"

#include <cstdint>
#include <vector>

// A colourwork chart as chart cells: one solid-colour stitch per colour, each cell holding its
// own copy as every cell does. The stitch library is not touched.
namespace colourwork {

// Side of the square picture of a colour stitch, in pixels.
constexpr std::int32_t kSwatchSide = 20;

// Fills the empty `out` with "Farbe <number>": name and both instructions "Farbe <number>",
// abbreviation "F<number>", one cell wide, a 24-bit kSwatchSide square picture of `colour`.
// False when memory ran out; `out` then owns nothing.
bool makeColourStitch(TStich& out, int number, grafikrw3::Rgb colour);

// The colour stitches of a chart, released with this object.
class ColourStitches {
public:
    ColourStitches() = default;
    ~ColourStitches();
    ColourStitches(const ColourStitches&) = delete;
    ColourStitches& operator=(const ColourStitches&) = delete;

    // One stitch per colour of `chart`, "Farbe 1" first. False when memory ran out.
    bool make(const Chart& chart);
    const TStich& operator[](std::size_t k) const { return stitches_[k]; }
    std::size_t size() const { return stitches_.size(); }

private:
    std::vector<TStich> stitches_;
};

enum class BuildStatus {
    Done,
    NoMemory,   // the chart does not fit; the document is unchanged
    Incomplete, // memory ran out while filling the cells: the new chart has empty cells
    NoChart,    // the chart has no cells; the document is unchanged
};

// Replaces the document's chart by `chart`: a new chart of its size, made the way every new
// chart is made, then every cell given its colour's stitch. `memoryBudget` is what the new
// chart may take. The file name, the changed state and the marks are left to the caller.
BuildStatus buildColourworkChart(ChartDocument& doc, const Chart& chart,
                                 std::uint64_t memoryBudget);

} // namespace colourwork
