#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <type_traits>

// One 5 x 5 convolution filter, as the filter engine runs it and as UserFilt.dat stores it.
// The byte layout is fixed (little-endian, no gaps): divisor at 0, bias at 4, the 25 weights at
// 8, the name at 108, 1136 bytes in all.
struct filtertype {
    std::int32_t divisor = 1; // never 0 where the engine is concerned
    std::int32_t bias = 0;    // added after the division ("Verschiebung:")
    // Column-major: the weight for column c (0 = two pixels left of the target, 4 = two right)
    // and row r (0 = two rows above it on screen, 4 = two rows below) is matrix[5 * c + r].
    std::int32_t matrix[25] = {};
    // Zero-terminated UTF-16; readers take at most kFilterNameReadUnits code units.
    char16_t name[514] = {};
};
static_assert(std::is_trivially_copyable_v<filtertype>);
static_assert(offsetof(filtertype, bias) == 4 && offsetof(filtertype, matrix) == 8 &&
              offsetof(filtertype, name) == 108 && sizeof(filtertype) == 1136);

namespace imageops {

constexpr std::size_t kFilterRecordBytes = 1136;
// Code units of the name that the program shows and keeps when it writes a name; the field
// would hold more, but every reader stops here, so a longer name could not be read back.
constexpr int kFilterNameReadUnits = 257;

constexpr std::int32_t& weightAt(filtertype& f, int column, int row) {
    return f.matrix[5 * column + row];
}
constexpr std::int32_t weightAt(const filtertype& f, int column, int row) {
    return f.matrix[5 * column + row];
}

// The name up to its terminator or kFilterNameReadUnits code units, whichever comes first.
QString filterName(const filtertype& f);
// Stores `name`, cut to kFilterNameReadUnits code units (never inside a surrogate pair);
// every byte after the terminator becomes zero.
void setFilterName(filtertype& f, const QString& name);

// The record as it is stored, and back. `bytes` holds kFilterRecordBytes bytes.
void filterToBytes(const filtertype& f, std::uint8_t* bytes);
filtertype filterFromBytes(const std::uint8_t* bytes);

// A matrix written row by row (top row first, left to right) in the record's column order.
filtertype fromRowMajor(const std::int32_t (&rows)[25], std::int32_t divisor, std::int32_t bias);

} // namespace imageops
