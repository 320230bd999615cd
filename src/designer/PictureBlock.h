#pragma once

#include "designer/FileStatus.h"
#include "foundation/ByteStream.h"
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

} // namespace PictureBlock
