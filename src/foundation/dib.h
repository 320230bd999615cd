#pragma once

#include <cstdint>
#include <type_traits>

// The in-memory picture of the whole program: a device-independent bitmap in the classic
// layout (information header, colour table, bottom-up pixel rows padded to 4 bytes) plus a
// logical palette and a few view fields. Copying the record copies the pointers only; exactly
// one copy may be released.

struct BITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// Colour-table entry as stored after the header and in files.
struct RGBQUAD {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};
static_assert(sizeof(RGBQUAD) == 4);

// Information header followed by the colour table (2^bits entries for palette pictures).
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;

    RGBQUAD* colors() { return reinterpret_cast<RGBQUAD*>(this + 1); }
    const RGBQUAD* colors() const { return reinterpret_cast<const RGBQUAD*>(this + 1); }
};
static_assert(sizeof(BITMAPINFO) == 40);

struct PALETTEENTRY {
    std::uint8_t peRed;
    std::uint8_t peGreen;
    std::uint8_t peBlue;
    std::uint8_t peFlags;
};

// Logical palette with room for 256 entries.
struct LPAL {
    std::uint16_t ver;
    std::uint16_t num;
    PALETTEENTRY pal[256];
};

struct dib {
    BITMAPINFO* pmi = nullptr;   // header and colour table; null without picture
    std::uintptr_t poih = 0;     // block holding the pixel rows; may equal pmih
    std::uintptr_t pmih = 0;     // block holding header and colour table
    std::uint8_t* poi = nullptr; // first byte of the bottom pixel row; null without picture
    std::int32_t bytew = 0;      // bytes per pixel row, a multiple of 4
    bool ispal = false;
    LPAL pal{};
    std::uintptr_t NOTUSEDINFIXEDMEMlp = 0;
    std::int32_t zoom = 0, scx = 0, scy = 0;
    std::int32_t mx1 = 0, my1 = 0, mx2 = 0, my2 = 0;
};
static_assert(std::is_trivially_copyable_v<dib>, "pictures live inside record arrays");

// Readers of the record; all accept a record without picture.
std::int32_t DIBWidth(const dib& d);
std::int32_t DIBHeight(const dib& d);
std::uint16_t DIBBitCount(const dib& d);
std::int32_t DIBBytesPerRow(const dib& d);

// 2^n by n doublings in 32-bit arithmetic (1 for n <= 0, 0 for n >= 32).
std::uint32_t PowerOfTwo(std::int32_t n);

// 2, 16, 256 for palette pictures, 16 777 216 for 24 bits. Above 256 means "no colour table".
std::uint32_t DIBColorCount(const dib& d);

// Entries in the colour table: DIBColorCount for palette pictures, 0 otherwise.
std::uint32_t DIBColorTableSize(const dib& d);

// Releases the picture's blocks; the other fields keep their values.
void FreeDIB(dib& d);

// Palette pictures store 1, 4 or 8 bits per pixel; the program handles these and 24.
constexpr bool isSupportedBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}
