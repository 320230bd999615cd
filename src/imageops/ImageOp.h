#pragma once

#include "foundation/Progress.h"
#include "foundation/dib.h"
#include "foundation/grafikrw3/PixelRows.h"

#include <cstdint>

// Common ground of the image operations. An operation is a plain function over a `dib`; it
// never shows a window or a message. It tells its caller how it ended, and the editor window
// turns that into a repaint or a German message.
namespace imageops {

enum class OpStatus {
    Done,      // the picture was changed (or a new one made)
    Unchanged, // nothing to do for this picture or these parameters
    NoMemory,  // a work picture could not be made; the picture is as before
    Stopped,   // the user stopped it through the progress callback; the picture is as before
};

// The part of a picture an operation may change: the 1-bit mask of the document's selection
// while one is active, otherwise the whole picture. The mask has the picture's size.
class Selection {
public:
    Selection() = default;
    // `mask` may be null; `active` mirrors the document's flag.
    Selection(const dib* mask, bool active) : mask_(active && mask && mask->poi ? mask : nullptr) {}

    static Selection whole() { return {}; }

    bool active() const { return mask_ != nullptr; }
    const dib* mask() const { return mask_; }

    // Mask row y (from the top), or null when the whole picture is selected.
    const std::uint8_t* row(std::int32_t y) const {
        return mask_ ? grafikrw3::rowAt(*mask_, y) : nullptr;
    }
    // Whether pixel x of a row returned by row() is selected; a null row selects everything.
    static bool contains(const std::uint8_t* maskRow, std::int32_t x) {
        return !maskRow || ((maskRow[x >> 3] >> (7 - (x & 7))) & 1u);
    }
    bool contains(std::int32_t x, std::int32_t y) const {
        if (!mask_) {
            return true;
        }
        if (x < 0 || y < 0 || x >= DIBWidth(*mask_) || y >= DIBHeight(*mask_)) {
            return false;
        }
        return contains(row(y), x);
    }
    // Whether the selection can limit an operation on `picture`: inactive, or a mask of the
    // picture's size (a mask of another size would be read past its rows).
    bool fits(const dib& picture) const {
        return !mask_ || (DIBWidth(*mask_) == DIBWidth(picture) &&
                          DIBHeight(*mask_) == DIBHeight(picture) && DIBBitCount(*mask_) == 1);
    }

private:
    const dib* mask_ = nullptr;
};

// The percentage the progress bar shows after row `row` of `rows` (row * 100 / (rows - 1),
// truncated); a picture of one row is done after its first row.
int rowPercent(std::int64_t row, std::int64_t rows);

} // namespace imageops
