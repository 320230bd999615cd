#pragma once

#include "ImageOp.h"

#include <cstdint>

namespace imageops {

// The progress bar of one operation: 0 when it begins, rowPercent after each row, 0 again when
// it ends (also on an early return). The callback is asked only when the figure changes, so a
// tall picture does not pay for thousands of identical reports.
class OpRowProgress {
public:
    OpRowProgress(const ProgressCallback& progress, std::int64_t rows)
        : progress_(progress), rows_(rows) {
        if (progress_) {
            progress_(0);
        }
    }
    ~OpRowProgress() {
        if (progress_) {
            progress_(0);
        }
    }
    OpRowProgress(const OpRowProgress&) = delete;
    OpRowProgress& operator=(const OpRowProgress&) = delete;

    // Reports that row `row` (0-based) is done; false once the user asked to stop.
    bool row(std::int64_t row) {
        if (!progress_) {
            return true;
        }
        const int percent = rowPercent(row, rows_);
        if (percent != last_) {
            last_ = percent;
            goOn_ = progress_(percent) && goOn_;
        }
        return goOn_;
    }

private:
    const ProgressCallback& progress_;
    std::int64_t rows_;
    int last_ = 0;
    bool goOn_ = true;
};

// Whether `selection` can limit an operation on `picture`: inactive, or a mask of the
// picture's size (a mask of another size would be read past its rows).
inline bool selectionFits(const dib& picture, const Selection& selection) {
    return !selection.active() || (DIBWidth(*selection.mask()) == DIBWidth(picture) &&
                                   DIBHeight(*selection.mask()) == DIBHeight(picture) &&
                                   DIBBitCount(*selection.mask()) == 1);
}

} // namespace imageops
