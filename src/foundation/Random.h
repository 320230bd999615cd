#pragma once

#include <cstdint>
#include <random>

// The program's one pseudo-random generator (brush density and sampling, added palette
// entries, noise). It is seeded from the clock at start and where a command asks for a fresh
// seed; tests seed it with a fixed value to get repeatable pictures.
namespace programrandom {

std::mt19937& generator();

// A uniform integer in 0 ... n - 1 (0 when n <= 1).
std::int32_t below(std::int32_t n);

void seed(std::uint32_t value);
void seedFromClock();

} // namespace programrandom
