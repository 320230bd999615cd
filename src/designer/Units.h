#pragma once

// Every millimetre setting of the chart designer becomes device pixels through this divisor,
// a single-precision constant slightly below 25.4 that saved charts and printouts depend on.
constexpr float kMillimetresPerInch = 25.39995f;

// Trunc(mm * pixels per inch / 25.39995).
constexpr int millimetresToPixels(double mm, int pixelsPerInch) {
    return static_cast<int>(mm * pixelsPerInch / static_cast<double>(kMillimetresPerInch));
}
