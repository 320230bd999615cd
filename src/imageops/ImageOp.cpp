#include "ImageOp.h"

namespace imageops {

int rowPercent(std::int64_t row, std::int64_t rows) {
    if (rows <= 1) {
        return 100;
    }
    const std::int64_t percent = row * 100 / (rows - 1);
    return int(percent < 0 ? 0 : percent > 100 ? 100 : percent);
}

} // namespace imageops
