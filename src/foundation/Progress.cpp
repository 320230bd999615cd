#include "Progress.h"

bool ProgressReporter::report(std::int64_t done, std::int64_t total) {
    if (!callback_ || stopped_) {
        return !stopped_;
    }
    const int percent = total > 0 ? int(done * 100 / total) : 100;
    if (percent != last_) {
        last_ = percent;
        stopped_ = !callback_(percent < 0 ? 0 : percent > 100 ? 100 : percent);
    }
    return !stopped_;
}
