#pragma once

#include "ImageOp.h"

#include <cstdint>

namespace imageops {

// The progress bar of one operation: 0 when it begins, the percentage after each row or palette
// entry, 0 again when it ends, whichever way it ends. The callback hears only of changes, so a
// tall picture does not repaint the bar for every row.
class OpProgress {
public:
    explicit OpProgress(const ProgressCallback& callback) : callback_(callback) { tell(0); }
    ~OpProgress() { tell(0); }
    OpProgress(const OpProgress&) = delete;
    OpProgress& operator=(const OpProgress&) = delete;

    // After step `step` (0-based) of `steps` (row t of the height, entry i of the palette), as
    // rowPercent counts; false once the user asked to stop.
    bool step(std::int64_t step, std::int64_t steps) {
        const int percent = rowPercent(step, steps);
        if (percent != last_) {
            goOn_ = tell(percent) && goOn_;
        }
        return goOn_;
    }

private:
    bool tell(int percent) {
        last_ = percent;
        return !callback_ || callback_(percent);
    }

    const ProgressCallback& callback_;
    int last_ = 0;
    bool goOn_ = true;
};

} // namespace imageops
