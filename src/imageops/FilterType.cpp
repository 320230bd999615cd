#include "FilterType.h"

#include <algorithm>

namespace imageops {

namespace {

void putInt32(std::uint8_t* out, std::int32_t value) {
    const auto v = std::uint32_t(value);
    out[0] = std::uint8_t(v);
    out[1] = std::uint8_t(v >> 8);
    out[2] = std::uint8_t(v >> 16);
    out[3] = std::uint8_t(v >> 24);
}

std::int32_t getInt32(const std::uint8_t* in) {
    return std::int32_t(std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 |
                        std::uint32_t(in[2]) << 16 | std::uint32_t(in[3]) << 24);
}

constexpr std::size_t kNameOffset = 108;
constexpr std::size_t kNameUnits = sizeof(filtertype::name) / sizeof(char16_t);

} // namespace

QString filterName(const filtertype& f) {
    const std::size_t limit = std::size_t(kFilterNameReadUnits);
    const char16_t* end = std::find(f.name, f.name + limit, u'\0');
    return QString::fromUtf16(f.name, qsizetype(end - f.name));
}

void setFilterName(filtertype& f, const QString& name) {
    qsizetype units = std::min<qsizetype>(name.size(), kFilterNameReadUnits);
    if (units > 0 && units < name.size() && name.at(units - 1).isHighSurrogate()) {
        --units; // half a character would read back as garbage
    }
    std::fill(std::begin(f.name), std::end(f.name), u'\0');
    std::copy_n(reinterpret_cast<const char16_t*>(name.utf16()), units, f.name);
}

void filterToBytes(const filtertype& f, std::uint8_t* bytes) {
    putInt32(bytes, f.divisor);
    putInt32(bytes + 4, f.bias);
    for (int k = 0; k < 25; ++k) {
        putInt32(bytes + 8 + 4 * k, f.matrix[k]);
    }
    for (std::size_t i = 0; i < kNameUnits; ++i) {
        bytes[kNameOffset + 2 * i] = std::uint8_t(f.name[i]);
        bytes[kNameOffset + 2 * i + 1] = std::uint8_t(f.name[i] >> 8);
    }
}

filtertype filterFromBytes(const std::uint8_t* bytes) {
    filtertype f;
    f.divisor = getInt32(bytes);
    f.bias = getInt32(bytes + 4);
    for (int k = 0; k < 25; ++k) {
        f.matrix[k] = getInt32(bytes + 8 + 4 * k);
    }
    for (std::size_t i = 0; i < kNameUnits; ++i) {
        f.name[i] = char16_t(bytes[kNameOffset + 2 * i] | bytes[kNameOffset + 2 * i + 1] << 8);
    }
    return f;
}

filtertype fromRowMajor(const std::int32_t (&rows)[25], std::int32_t divisor, std::int32_t bias) {
    filtertype f;
    f.divisor = divisor;
    f.bias = bias;
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 5; ++column) {
            weightAt(f, column, row) = rows[5 * row + column];
        }
    }
    return f;
}

} // namespace imageops
