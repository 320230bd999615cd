#pragma once

#include "../dib.h"

#include <cstddef>
#include <cstdint>
#include <limits>
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

// The palette entry nearest to a colour: the smallest squared RGB distance, the lowest index on
// ties, exactly as a search through every entry would find it. This is the program's one
// nearest-colour search (colour panel, clipboard, effects, depth conversion, GIF writer).
//
// For each box of 8 x 8 x 8 colours it remembers, on first use, the entries that can be nearest
// to any colour inside; a lookup then compares only those few (one or two for most boxes). A
// box's candidates are taken from those of the enclosing box of 16^3, and those from the
// enclosing box of 32^3 colours, so that a picture touching every box costs little more than
// its pixels.
class NearestColour {
public:
    // `palette` holds 1 to 256 entries (an empty one acts as a single black entry).
    explicit NearestColour(std::span<const Rgb> palette);
    // The entries of a logical palette that are in use (`num`, at least 1, at most 256).
    explicit NearestColour(const LPAL& palette);

    std::uint8_t find(Rgb colour) { return find(colour.red, colour.green, colour.blue); }
    // Each channel 0 to 255.
    std::uint8_t find(int red, int green, int blue) {
        Level& fine = levels_[kFine];
        const std::size_t cell = cellOf(kShifts[kFine], red, green, blue);
        std::uint32_t start = fine.start[cell];
        if (start == kUnknown) {
            start = collectLevel(kFine, cell);
        }
        const Candidate* c = pool_.data() + start;
        const Candidate* end = c + fine.count[cell];
        // Distance and index in one key: the smallest key is the nearest entry with the lowest
        // index, whatever order the candidates are in.
        int best = std::numeric_limits<int>::max();
        for (; c != end; ++c) {
            const int dr = red - c->red;
            const int dg = green - c->green;
            const int db = blue - c->blue;
            const int key = ((dr * dr + dg * dg + db * db) << 8) | c->index;
            best = key < best ? key : best;
        }
        return std::uint8_t(best & 0xff);
    }

    const Rgb& colour(std::uint8_t index) const {
        return palette_[index < palette_.size() ? index : 0];
    }
    std::size_t size() const { return palette_.size(); }

private:
    struct Candidate {
        std::uint8_t red, green, blue, index;
    };
    struct Level {
        std::vector<std::uint32_t> start; // per box: first candidate in pool_, or kUnknown
        std::vector<std::uint16_t> count;
    };
    // Boxes of 32, 16 and 8 values per channel.
    static constexpr int kShifts[3] = {5, 4, 3};
    static constexpr int kFine = 2;
    static constexpr std::uint32_t kUnknown = 0xffffffffu;

    static std::size_t cellOf(int shift, int red, int green, int blue) {
        const int bits = 8 - shift;
        return std::size_t(((red >> shift) << (2 * bits)) | ((green >> shift) << bits) |
                           (blue >> shift));
    }

    // Fills in the candidates of box `cell` of a level (and of the boxes enclosing it).
    std::uint32_t collectLevel(int level, std::size_t cell);
    // Appends to pool_ those of `from` that can be nearest somewhere in the box of side
    // 2^shift at `lo`; returns where they start.
    std::uint32_t collect(const Candidate* from, std::size_t count, const int lo[3], int shift);

    std::vector<Rgb> palette_;
    std::vector<Candidate> all_;
    Level levels_[3];
    std::vector<Candidate> pool_;
};

// Index of the entry of a picture's logical palette nearest to a colour (its entries in use),
// for single lookups: a chosen colour, a colour of an effect dialog, a pasted picture's colour.
// Many lookups with one palette keep one NearestColour instead.
std::uint8_t nearestPaletteIndex(const LPAL& palette, Rgb colour);

// Floyd-Steinberg error diffusion for rows fed one at a time from the top: even rows left to
// right, odd rows right to left. Errors are kept in sixteenths for the current and the next
// row only; a pixel takes its value plus (error + 8) / 16 (truncated), clamped to 0...255, and
// passes 7/16 of its error on along the row and 3/16, 5/16 and 1/16 to the row below (behind,
// under and ahead of it).
class RowDitherer {
public:
    RowDitherer(std::span<const Rgb> palette, std::int32_t width);
    RowDitherer(const LPAL& palette, std::int32_t width);

    // Palette indexes for one row of `width` pixels given as red, green, blue bytes.
    void ditherRow(const std::uint8_t* rgb, std::uint8_t* indexes);
    // The same for pixels given as blue, green, red bytes (a 24-bit picture row).
    void ditherBgrRow(const std::uint8_t* bgr, std::uint8_t* indexes);

private:
    template <int Red, int Blue, int Step>
    void dither(const std::uint8_t* pixels, std::uint8_t* indexes);
    void finishRow();

    NearestColour nearest_;
    std::int32_t width_;
    // Errors in sixteenths, three per pixel, with one spare pixel at each end.
    std::vector<std::int16_t> current_;
    std::vector<std::int16_t> next_;
    bool leftToRight_ = true;
};

} // namespace grafikrw3
