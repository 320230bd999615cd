#pragma once

#include <cstdint>

// Every millimetre setting of the chart designer becomes device pixels through this divisor,
// a single-precision constant slightly below 25.4 that saved charts and printouts depend on.
constexpr float kMillimetresPerInch = 25.39995f;

// Trunc(mm * pixels per inch / 25.39995).
constexpr int millimetresToPixels(double mm, int pixelsPerInch) {
    return static_cast<int>(mm * pixelsPerInch / static_cast<double>(kMillimetresPerInch));
}

// a * b / c rounded to the nearest whole number, halves away from zero, without overflow of
// the product; -1 when c is 0. Font sizes convert between points and pixels this way.
constexpr int mulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t half = (c < 0 ? -std::int64_t(c) : std::int64_t(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (product < 0 ? -product : product) + half;
    const std::int64_t quotient = magnitude / (c < 0 ? -std::int64_t(c) : std::int64_t(c));
    return int(negative ? -quotient : quotient);
}
