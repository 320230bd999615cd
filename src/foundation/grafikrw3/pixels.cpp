#include "grafikrw3.h"

namespace grafikrw3 {

namespace {

// Address of the byte row for picture row y (counted from the top), or null when (x, y) lies
// outside the picture.
std::uint8_t* rowFor(const dib& picture, std::int32_t x, std::int32_t y) {
    if (!picture.poi || x < 0 || y < 0 || x >= DIBWidth(picture) || y >= DIBHeight(picture)) {
        return nullptr;
    }
    const std::int32_t memoryRow = DIBHeight(picture) - 1 - y;
    return picture.poi + std::int64_t(memoryRow) * picture.bytew;
}

} // namespace

std::uint32_t getpixel(const dib& picture, std::int32_t x, std::int32_t y) {
    const std::uint8_t* row = rowFor(picture, x, y);
    if (!row) {
        return 0;
    }
    switch (DIBBitCount(picture)) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0fu) : (row[x >> 1] >> 4);
    case 8:
        return row[x];
    case 24: {
        const std::uint8_t* p = row + std::int64_t(x) * 3;
        return p[2] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[0]) << 16);
    }
    default:
        return 0;
    }
}

void setpixel(dib& picture, std::int32_t x, std::int32_t y, std::uint32_t value) {
    std::uint8_t* row = rowFor(picture, x, y);
    if (!row) {
        return;
    }
    switch (DIBBitCount(picture)) {
    case 1: {
        const auto bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
        row[x >> 3] = (value & 1u) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
        break;
    }
    case 4: {
        std::uint8_t& b = row[x >> 1];
        b = (x & 1) ? ((b & 0xf0) | (value & 0x0f)) : ((b & 0x0f) | ((value & 0x0f) << 4));
        break;
    }
    case 8:
        row[x] = static_cast<std::uint8_t>(value);
        break;
    case 24: {
        std::uint8_t* p = row + std::int64_t(x) * 3;
        p[0] = static_cast<std::uint8_t>(value >> 16);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value);
        break;
    }
    default:
        break;
    }
}

} // namespace grafikrw3
