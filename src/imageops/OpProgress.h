#pragma once

#include "ImageOp.h"

namespace imageops {

// The progress bar of one operation: 0 when it starts, the row or entry percentage while it
// runs (the callback only hears of changes, so a tall picture does not repaint the bar for
// every row), and 0 again when it ends, whichever way it ends.
class OpProgress {
public:
    explicit OpProgress(const ProgressCallback& callback) : callback_(callback) { tell(0); }
    ~OpProgress() { tell(0); }
    OpProgress(const OpProgress&) = delete;
    OpProgress& operator=(const OpProgress&) = delete;

    // After step `step` of `steps` (row t of the height, entry i of the palette).
    void step(std::int64_t step, std::int64_t steps) {
        const int percent = rowPercent(step, steps);
        if (percent != last_) {
            tell(percent);
        }
    }

private:
    void tell(int percent) {
        last_ = percent;
        if (callback_) {
            callback_(percent);
        }
    }

    const ProgressCallback& callback_;
    int last_ = 0;
};

} // namespace imageops
