#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

// A rectangle of chart cells: the block the user selected, a copied block, and anything else
// that names a part of the grid and must stay on the same cells while the chart changes.
//
// Coordinates are the document's own, 0-based: row 0 is the top row (the first of `zeilen`,
// whatever number the page gives it), column 0 the left column. The block starts at (`top`,
// `left`) and spans `rows` x `columns` cells. A block without rows or columns is no block
// (isEmpty); a default block is empty.
//
// afterRows and afterColumns move a block along when the chart gains or loses whole rows or
// columns, so that it keeps naming the same cells: lines inserted above (left of) it move it,
// lines inserted inside it widen it, lines removed from it narrow it, and a block whose lines
// all went is empty.
struct CellBlock {
    std::int32_t top = 0;
    std::int32_t left = 0;
    std::int32_t rows = 0;
    std::int32_t columns = 0;

    bool isEmpty() const { return rows <= 0 || columns <= 0; }
    std::int32_t bottom() const { return top + rows - 1; }    // last row
    std::int32_t right() const { return left + columns - 1; } // last column
    bool contains(std::int32_t row, std::int32_t column) const {
        return row >= top && row <= bottom() && column >= left && column <= right();
    }
    bool operator==(const CellBlock&) const = default;

    // The block with the two cells as opposite corners, in either order.
    static CellBlock spanning(std::int32_t row1, std::int32_t column1, std::int32_t row2,
                              std::int32_t column2) {
        return {std::min(row1, row2), std::min(column1, column2), std::abs(row2 - row1) + 1,
                std::abs(column2 - column1) + 1};
    }

    // The part of the block inside a chart of `chartRows` x `chartColumns` cells.
    CellBlock clippedTo(std::int32_t chartRows, std::int32_t chartColumns) const {
        const std::int32_t t = std::max(top, 0);
        const std::int32_t l = std::max(left, 0);
        const std::int32_t b = std::min(bottom(), chartRows - 1);
        const std::int32_t r = std::min(right(), chartColumns - 1);
        return b < t || r < l ? CellBlock{} : CellBlock{t, l, b - t + 1, r - l + 1};
    }

    // After `count` rows were inserted at row `at` (the first new row), or, for a negative
    // count, -count rows removed from row `at` on.
    CellBlock afterRows(std::int32_t at, std::int32_t count) const {
        CellBlock b = *this;
        follow(b.top, b.rows, at, count);
        return b.isEmpty() ? CellBlock{} : b;
    }
    // The same for columns.
    CellBlock afterColumns(std::int32_t at, std::int32_t count) const {
        CellBlock b = *this;
        follow(b.left, b.columns, at, count);
        return b.isEmpty() ? CellBlock{} : b;
    }

private:
    static void follow(std::int32_t& first, std::int32_t& size, std::int32_t at,
                       std::int32_t count) {
        if (size <= 0) {
            return;
        }
        if (count >= 0) {
            if (at <= first) {
                first += count;
            } else if (at < first + size) {
                size += count;
            }
            return;
        }
        // The removed lines [at, end) cut out of [first, first + size).
        const std::int64_t end = std::int64_t(at) - count;
        const std::int64_t last = std::int64_t(first) + size;
        const std::int64_t cutBefore =
            std::max<std::int64_t>(0, std::min<std::int64_t>(end, first) - at);
        const std::int64_t cutInside =
            std::max<std::int64_t>(0, std::min(end, last) - std::max<std::int64_t>(at, first));
        first = std::int32_t(first - cutBefore);
        size = std::int32_t(size - cutInside);
    }
};
