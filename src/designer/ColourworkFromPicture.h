#pragma once

#include "foundation/dib.h"
#include "foundation/grafikrw3/Quantize.h"

#include <cstdint>
#include <vector>

// A picture turned into a colourwork chart: one cell per stitch, one solid colour per yarn.
// The picture is first averaged into one colour per cell, then reduced to a few colours. Both
// steps are plain functions over a `dib`, so that the dialog's preview, the menu command and
// the command line share one path; ColourworkFromPicture keeps the first step between calls
// because the preview mostly changes only the second.
namespace colourwork {

constexpr std::int32_t kMinStitches = 2;
constexpr std::int32_t kMaxStitches = 1000;
constexpr std::int32_t kDefaultStitches = 60;
constexpr std::int32_t kMaxRows = 1000;
constexpr int kMinColours = 2;
constexpr int kMaxColours = 32;
constexpr int kDefaultColours = 6;
// Stitches and rows per 10 cm, in tenths as the dialog offers them.
constexpr double kMinGauge = 1.0;
constexpr double kMaxGauge = 100.0;
constexpr double kDefaultStitchGauge = 22.0;
constexpr double kDefaultRowGauge = 30.0;

struct Params {
    std::int32_t stitches = kDefaultStitches; // chart width
    double stitchGauge = kDefaultStitchGauge; // stitches per 10 cm
    double rowGauge = kDefaultRowGauge;       // rows per 10 cm
    int colours = kDefaultColours;
    bool dither = false;
    bool operator==(const Params&) const = default;
};

// The same parameters, each brought into its range (gauges to tenths).
Params clamped(Params params);

// Rows of a chart `stitches` wide for a picture of the given size, so that the knitted piece
// keeps the picture's proportions: knitted stitches are wider than tall, so
// rows = round(stitches x height / width x rowGauge / stitchGauge), ties to even, at least 1
// and at most kMaxRows. The gauges count in tenths; 0 for a picture without pixels.
std::int32_t chartRows(std::int32_t pictureWidth, std::int32_t pictureHeight, std::int32_t stitches,
                       double stitchGauge, double rowGauge);

// One colour per cell: the area-weighted mean of the picture's pixels under the cell, the
// picture being stretched over the rows x columns grid. Red, green, blue bytes, rows from the
// top, cells from the left.
struct CellColours {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::vector<std::uint8_t> rgb;
};
// Empty (no rows) for a picture without pixels or of an unknown depth.
CellColours averageCells(const dib& picture, std::int32_t rows, std::int32_t columns);

// The chart: a few colours and the colour of every cell.
struct Chart {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    // Colour k - 1 is "Farbe k"; the most used colour comes first and every colour is used.
    std::vector<grafikrw3::Rgb> colours;
    std::vector<std::uint32_t> uses; // cells of each colour
    std::vector<std::uint8_t> cells; // colour index per cell, rows from the top
    std::uint8_t at(std::int32_t row, std::int32_t column) const {
        return cells[std::size_t(row) * std::size_t(columns) + std::size_t(column)];
    }
};

// At most `colours` colours for the cells: exactly the cells' colours when there are that many
// or fewer, otherwise the median cut's representatives, each cell taking the nearest one or,
// with `dither`, Floyd-Steinberg error diffusion over the cells.
Chart reduceColours(const CellColours& cells, int colours, bool dither);

// Both steps at once.
Chart pictureToChart(const dib& picture, const Params& params);

// The steps for a preview over one picture: averaging runs again only when the chart's size
// changed. The picture must outlive this object and stay unchanged.
class ColourworkFromPicture {
public:
    explicit ColourworkFromPicture(const dib& picture) : picture_(picture) {}

    const dib& picture() const { return picture_; }
    // Rows for these parameters (see chartRows).
    std::int32_t rowsFor(const Params& params) const;
    // The chart for `params`; the reference stays valid until the next call.
    const Chart& chart(const Params& params);

private:
    const dib& picture_;
    CellColours cells_;
    Params last_;
    bool haveChart_ = false;
    Chart chart_;
};

} // namespace colourwork
