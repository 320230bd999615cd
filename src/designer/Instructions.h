#pragma once

#include "designer/PageSettings.h"

#include <QString>
#include <QStringList>

class ChartDocument;

// The chart as written instructions, one line per row, for knitting without the chart:
//
//   Reihe 1 (Hinreihe): 3 × rechts, [2 × links, Zopf] 2-mal (12 Maschen)
//   Reihe 2 (Rückreihe): wie Reihe 0
//
// The bottom row is the first. It is a right-side row (Hinreihe), read from the right or from
// the left as the settings say; the rows then alternate with wrong-side rows (Rückreihe),
// which are read from the other side. When wrong-side rows are hidden, every chart row is a
// right-side row read from the first row's side and numbered as on the page.
//
// A stitch reads as its instruction for the row's side, or as its name when that is empty; an
// instruction with commas of its own stands in parentheses wherever it appears. A stitch of
// width w covers its cell and the w - 1 cells to its right; covered cells are not read,
// whatever they hold, and empty cells and "keine Masche" are no stitch. Equal neighbouring
// stitches are counted ("3 × rechts"); a run of groups that repeats is bracketed
// ("[a, b] 2-mal") wherever that makes the line shortest. A row that reads as an earlier row of
// the same side refers to the first of them ("wie Reihe 3").
//
// The chart's repeat is marked in its rows, and in the copies of its rows above and below it,
// as patterns do: the stitches of one copy between stars, then how often it is worked where
// the chart shows several copies side by side:
//
//   Reihe 3 (Hinreihe): rechts, *2 × links, 2 × rechts*, ab * wiederholen, insgesamt 3-mal,
//                       rechts (14 Maschen)
//
// and a last line says which rows to repeat ("Reihen 3–6 wiederholen").
namespace instructions {

struct Options {
    int firstRow = 0;           // number of the bottom row
    bool firstFromRight = true; // the first row is read from the right
    bool hideWrongSide = false; // every row is a right-side row

    static Options of(const PageSettings& settings);
    bool operator==(const Options&) const = default;
};

// The lines from the first row upwards; none for a chart without rows.
QStringList lines(const ChartDocument& doc, const Options& options);
// The lines, each ended by a line break.
QString text(const ChartDocument& doc, const Options& options);

// Groups (already counted, "3 × rechts") joined with ", ", with repeating runs bracketed so
// that the result is as short as possible.
QString joinGroups(const QStringList& groups);

} // namespace instructions
