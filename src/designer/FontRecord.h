#pragma once

#include "designer/PageSettings.h"
#include "foundation/ByteStream.h"

// The stored form of a page font: byte charset, int32 colour, byte name length m, m UTF-16
// units of the face name, byte pitch, int32 pixels per inch, int32 size in points, byte style
// (bit 0 bold, 1 italic, 2 underline, 3 strike-out).
namespace FontRecord {

bool write(ByteWriter& out, const PageFont& font);

// Reads one record into `font`; false (font untouched) when the record is damaged.
bool read(ByteReader& in, PageFont& font);

} // namespace FontRecord
