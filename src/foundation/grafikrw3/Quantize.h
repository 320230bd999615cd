#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Colour reduction of true-colour pictures for formats that hold at most 256 colours: a
// palette chosen by median cut, nearest-colour lookup and Floyd-Steinberg dithering row by
// row, so that a picture is never copied whole. Every result is deterministic.
namespace grafikrw3 {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// How often the colours of a picture occur, counted in boxes of 5 bits per channel. Each box
// also sums its exact colours, so that a palette entry is the true mean of its pixels.
class ColourHistogram {
public:
    ColourHistogram();

    // Counts `count` pixels given as red, green, blue bytes.
    void add(const std::uint8_t* rgb, std::size_t count);

    static constexpr int kLevels = 32; // boxes per channel
    struct Cell {
        std::uint64_t count = 0;
        std::uint64_t red = 0, green = 0, blue = 0;
    };
    static constexpr int cellIndex(int r, int g, int b) { return (r * kLevels + g) * kLevels + b; }
    const Cell& cell(int r, int g, int b) const { return cells_[std::size_t(cellIndex(r, g, b))]; }

private:
    std::vector<Cell> cells_;
};

// At most `maxColours` (1 to 256) colours for the counted pixels: the boxes are cut at their
// median until there are enough, each entry the mean of its box. Empty for an empty histogram.
std::vector<Rgb> medianCutPalette(const ColourHistogram& histogram, int maxColours);

// The palette entry nearest to a colour (squared RGB distance, the lowest index on ties).
// For each 5-bit box it remembers, on first use, the entries that can be nearest to any colour
// inside, so that a lookup compares only a few entries.
class NearestColour {
public:
    // `palette` holds 1 to 256 entries.
    explicit NearestColour(std::span<const Rgb> palette);

    std::uint8_t find(Rgb colour);

private:
    void collectCandidates(int cell);

    std::vector<Rgb> palette_;
    std::vector<std::uint32_t> start_; // per box: first candidate in pool_, or kUnknown
    std::vector<std::uint16_t> count_; // per box: number of candidates
    std::vector<std::uint8_t> pool_;
};

// Floyd-Steinberg error diffusion for rows fed one at a time from the top, in alternating
// directions. Holds the errors of the current and the next row only.
class RowDitherer {
public:
    RowDitherer(std::span<const Rgb> palette, std::int32_t width);

    // Palette indexes for one row of `width` pixels given as red, green, blue bytes.
    void ditherRow(const std::uint8_t* rgb, std::uint8_t* indexes);

private:
    NearestColour nearest_;
    std::vector<Rgb> palette_;
    std::int32_t width_;
    // Errors in sixteenths, three per pixel, with one spare pixel at each end.
    std::vector<std::int32_t> current_;
    std::vector<std::int32_t> next_;
    bool leftToRight_ = true;
};

} // namespace grafikrw3
