#pragma once

#include "designer/FileStatus.h"
#include "foundation/ByteStream.h"
#include "foundation/OwnedDib.h"
#include "foundation/dib.h"

// The stored form of a picture in project and library files: int32 H (header length,
// 40 + 4 * P), int32 P (colour-table entries: 2, 16, 256, or 0 for true colour), the 40-byte
// information header and P colour entries, then the pixel rows bottom row first, each `bytew`
// bytes long.
namespace PictureBlock {

// Bytes the block of `picture` takes in a file.
std::int64_t size(const dib& picture);

bool write(ByteWriter& out, const dib& picture);

// Reads a block into a new picture in `out` (which must hold none). Every count and size is
// checked against the rest of the stream before anything is allocated.
FileStatus read(ByteReader& in, dib& out);

// A block read without copying its pixel rows: they stay in the reader's buffer (valid until
// its next read), or, for a picture too large for that, in a picture of its own.
struct InPlace {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bits = 0;
    std::int32_t entries = 0; // colour-table entries
    RGBQUAD colors[256] = {};
    const std::uint8_t* rows = nullptr; // `height` rows of `bytew` bytes, bottom row first
    std::int32_t bytew = 0;
    OwnedDib own;
};
FileStatus readInPlace(ByteReader& in, InPlace& out);
// The same for a preview: a picture larger than `maxWidth` x `maxHeight` comes as a smaller copy
// that fits, in its proportions and sampled as a picture is drawn scaled, in a picture of its
// own; only the rows the copy takes are read, the others are passed over.
FileStatus readInPlace(ByteReader& in, InPlace& out, std::int32_t maxWidth, std::int32_t maxHeight);

} // namespace PictureBlock
