#pragma once

#include <cstdint>
#include <functional>

// Long reads, writes and operations report their progress as a percentage (0 to 100). The
// callback returns false when the user asked to stop.
using ProgressCallback = std::function<bool(int percent)>;

// Turns "done of total" into percentages and calls the callback only when the figure changes.
class ProgressReporter {
public:
    explicit ProgressReporter(ProgressCallback callback = {}) : callback_(std::move(callback)) {}

    // False once the user asked to stop.
    bool report(std::int64_t done, std::int64_t total);
    bool stopped() const { return stopped_; }

private:
    ProgressCallback callback_;
    int last_ = -1;
    bool stopped_ = false;
};
