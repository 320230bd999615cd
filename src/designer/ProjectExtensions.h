#pragma once

#include "designer/CellBlock.h"

#include <QStringList>

#include <cstdint>

class ByteReader;
class ByteWriter;

// What a project file holds beyond its base layout and its tail (docs/project-file.md): a
// sequence of extensions, each with its own tag, version and length, so that a reader that
// stops after the known parts (as older programs do) still reads the chart, and a reader
// passes over what it does not know. A chart that has nothing to store there is written
// without any, byte for byte as before.
//
//   tag      4 bytes   ASCII, names the extension
//   version  int32     layout of the payload
//   length   int32     bytes of the payload that follow
//   payload  length bytes
namespace ProjectExtensions {

// The chart's repeat, version 1: int32 top, left, rows, columns (0-based, row 0 the top row
// of part 2) and the CRC-32 (as zlib computes it) of these 16 bytes.
inline constexpr char kRepeatTag[4] = {'R', 'A', 'P', 'P'};

// Writes the extensions for what the chart holds: nothing for a chart without a repeat.
void write(ByteWriter& out, const CellBlock& repeat);

// What the extensions told, for a chart of `rows` x `columns` cells.
struct Found {
    CellBlock repeat;
    // An extension that is damaged, cut short or unknown is passed over; each leaves a German
    // sentence for the user. The chart itself loads all the same.
    QStringList notes;
};
// Reads the extensions from the reader's position to its end. Never fails the load; the reader
// may be left at any position.
Found read(ByteReader& in, std::int32_t rows, std::int32_t columns);

} // namespace ProjectExtensions
