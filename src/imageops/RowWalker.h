#pragma once

#include "OpProgress.h"

#include <cstdint>
#include <utility>

namespace imageops {

// Which pixels of one row an operation may change.
class MaskRow {
public:
    explicit MaskRow(const std::uint8_t* bits) : bits_(bits) {}

    // No selection limits the row.
    bool all() const { return !bits_; }
    bool selected(std::int32_t x) const { return Selection::contains(bits_, x); }
    // fn(x) for each selected x from left to right (inclusive).
    template <typename Fn>
    void eachSelected(std::int32_t left, std::int32_t right, Fn&& fn) const {
        if (!bits_) {
            for (std::int32_t x = left; x <= right; ++x) {
                fn(x);
            }
            return;
        }
        for (std::int32_t x = left; x <= right; ++x) {
            if (selected(x)) {
                fn(x);
            }
        }
    }

private:
    const std::uint8_t* bits_;
};

// The walk of an operation over picture rows first to last (from the top, inclusive): fn(y, mask)
// for each row, where mask tells which of its pixels are selected, and the bar moves on after
// each row. The one place where operations test the mask row by row and report their rows.
// False when the user stopped it.
template <typename Fn>
bool walkRows(const Selection& selection, std::int32_t first, std::int32_t last, OpProgress& bar,
              Fn&& fn) {
    const std::int64_t rows = std::int64_t(last) - first + 1;
    for (std::int32_t y = first; y <= last; ++y) {
        fn(y, MaskRow(selection.row(y)));
        if (!bar.step(std::int64_t(y) - first, rows)) {
            return false;
        }
    }
    return true;
}

// Every row of `picture`.
template <typename Fn>
bool walkRows(const dib& picture, const Selection& selection, OpProgress& bar, Fn&& fn) {
    return walkRows(selection, 0, DIBHeight(picture) - 1, bar, std::forward<Fn>(fn));
}

} // namespace imageops
