#include "Random.h"

#include <chrono>

namespace programrandom {

std::mt19937& generator() {
    static std::mt19937 instance(
        std::uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    return instance;
}

std::int32_t below(std::int32_t n) {
    if (n <= 1) {
        return 0;
    }
    return std::uniform_int_distribution<std::int32_t>(0, n - 1)(generator());
}

void seed(std::uint32_t value) {
    generator().seed(value);
}

void seedFromClock() {
    seed(std::uint32_t(std::chrono::system_clock::now().time_since_epoch().count()));
}

} // namespace programrandom
